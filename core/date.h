// Calendar dates as DateKeys (yyyymmdd in one int32) and the helpers every program shares.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tessaly {

// year * 10000 + month * 100 + day; ordering the numbers orders the dates.
using DateKey = std::int32_t;

struct CivilDate {
    int year = 0;
    int month = 0;
    int day = 0;
};

// Wraps modulo 2^32 for years beyond the int32 range instead of overflowing.
DateKey MakeDateKey(std::int64_t year, std::int64_t month, std::int64_t day);
// Splits a non-negative key into its digits; a negative key is split by its absolute value.
CivilDate SplitDateKey(DateKey key);

// Gregorian rule, the same in every program.
bool IsLeapYear(int year);
// Month outside 1..12 (only from damaged data) counts as 31 days.
int DaysInMonth(int month, int year);
// 0 Sunday .. 6 Saturday; a year below 100 means 2000 + year. Linear in day, so an
// overlong day (31 February) gives the weekday of the day it runs into.
int DayOfWeek(int month, int year, int day);
// Which occurrence of its weekday the day is within its month: 1..5.
int WeekOfMonth(int day);

// Days since 1970-01-01 of a civil date; months outside 1..12 carry into the year and
// days beyond the month's length run into the next, so the result is linear in day.
std::int64_t DaysFromCivil(std::int64_t year, std::int64_t month, std::int64_t day);
CivilDate CivilFromDays(std::int64_t days);

// Month, day and year of a "m-d-y" text (separators "-" or "/"), each by its leading number
// (held at 99999); a missing part is 0.
CivilDate DatePartsFromText(std::string_view text);
// The same parts as one key.
DateKey DateKeyFromText(std::string_view text);
// mm-dd-yyyy with leading zeros.
std::string DateKeyText(DateKey key);

// Checks a typed date and rewrites it in place to mm-dd-yyyy; empty result when it is
// acceptable, else the one message of the first failing rule. A missing year is today's.
std::string ValidateDateText(std::string& text, DateKey today);

// Word tables picked by position; an out-of-range position gives an empty word.
std::string_view MonthName(int month);
std::string_view WeekdayName(int weekday);

}  // namespace tessaly
