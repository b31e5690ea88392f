#include "core/date.h"

#include <array>
#include <cstdio>

#include "core/typed_number.h"

namespace tessaly {
namespace {

// Floor division: civil arithmetic must not round negative values toward zero.
std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

constexpr std::array<std::string_view, 12> kMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};
constexpr std::array<std::string_view, 7> kWeekdayNames = {
    "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

}  // namespace

DateKey MakeDateKey(std::int64_t year, std::int64_t month, std::int64_t day) {
    // Conversion to int32 is modular; damaged dates wrap instead of overflowing.
    return static_cast<DateKey>(static_cast<std::uint32_t>(year * 10000 + month * 100 + day));
}

CivilDate SplitDateKey(DateKey key) {
    std::int64_t k = key < 0 ? -static_cast<std::int64_t>(key) : key;
    return {static_cast<int>(k / 10000), static_cast<int>(k / 100 % 100),
            static_cast<int>(k % 100)};
}

bool IsLeapYear(int year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int month, int year) {
    static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 31;
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

std::int64_t DaysFromCivil(std::int64_t year, std::int64_t month, std::int64_t day) {
    // Carry months outside 1..12 into the year first.
    year += FloorDiv(month - 1, 12);
    month = month - 1 - FloorDiv(month - 1, 12) * 12 + 1;  // 1..12
    // Years counted from March, so the leap day ends the year (after H. Hinnant).
    year -= month <= 2;
    const std::int64_t era = FloorDiv(year, 400);
    const std::int64_t yoe = year - era * 400;  // [0, 399]
    const std::int64_t doy =
        (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;  // linear in day
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

CivilDate CivilFromDays(std::int64_t days) {
    days += 719468;
    const std::int64_t era = FloorDiv(days, 146097);
    const std::int64_t doe = days - era * 146097;                                    // [0, 146096]
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;  // [0, 399]
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);                // [0, 365]
    const std::int64_t mp = (5 * doy + 2) / 153;                                     // [0, 11]
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {static_cast<int>(yoe + era * 400 + (month <= 2)), month, day};
}

int DayOfWeek(int month, int year, int day) {
    if (year < 100) year += 2000;
    // 1970-01-01 was a Thursday (4); the remainder is kept non-negative.
    const std::int64_t w = (DaysFromCivil(year, month, day) + 4) % 7;
    return static_cast<int>(w < 0 ? w + 7 : w);
}

int WeekOfMonth(int day) {
    return day / 7 + (day % 7 != 0 ? 1 : 0);
}

CivilDate DatePartsFromText(std::string_view text) {
    std::array<int, 3> parts = {0, 0, 0};
    size_t part = 0;
    size_t start = 0;
    for (size_t i = 0; i <= text.size() && part < parts.size(); ++i) {
        if (i == text.size() || text[i] == '-' || text[i] == '/') {
            parts[part++] =
                static_cast<int>(ReadLeadingNumber(text.substr(start, i - start), 99999));
            start = i + 1;
        }
    }
    return {parts[2], parts[0], parts[1]};
}

DateKey DateKeyFromText(std::string_view text) {
    const CivilDate d = DatePartsFromText(text);
    return MakeDateKey(d.year, d.month, d.day);
}

std::string DateKeyText(DateKey key) {
    const CivilDate d = SplitDateKey(key);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d-%02d-%04d", d.month, d.day, d.year);
    return buf;
}

std::string ValidateDateText(std::string& text, DateKey today) {
    for (char& c : text) {
        if (c == '/') c = '-';
    }
    std::array<std::string, 3> parts;
    size_t part = 0;
    for (char c : text) {
        if (c == '-') {
            if (++part == parts.size()) break;
        } else {
            parts[part] += c;
        }
    }
    std::string& monthText = parts[0];
    std::string& dayText = parts[1];
    std::string yearText(TrimBlanks(parts[2]));
    const std::int64_t month = ReadLeadingNumber(monthText, 99999);
    const std::int64_t day = ReadLeadingNumber(dayText, 99999);

    if (yearText.size() == 2) yearText = "20" + yearText;
    if (yearText.empty()) yearText = std::to_string(SplitDateKey(today).year);
    const std::int64_t year = ReadLeadingNumber(yearText, 99999);
    yearText = std::to_string(year);

    auto lastTwo = [](const std::string& s) {
        const std::string padded = "0" + s;
        return padded.size() < 2 ? padded : padded.substr(padded.size() - 2);
    };
    text = lastTwo(monthText) + "-" + lastTwo(dayText) + "-" + yearText;

    const DateKey typed = DateKeyFromText(text);
    if (month < 1 || month > 12) return "Month out of range";
    if (day < 1 || day > DaysInMonth(static_cast<int>(month), static_cast<int>(year)) ||
        typed < today) {
        return "Incorrect day specified (must be after today)";
    }
    if (year < 2000 || year >= 2100) return "year Must be this 21st century";
    return {};
}

std::string_view MonthName(int month) {
    return month >= 1 && month <= 12 ? kMonthNames[month - 1] : std::string_view{};
}

std::string_view WeekdayName(int weekday) {
    return weekday >= 0 && weekday <= 6 ? kWeekdayNames[weekday] : std::string_view{};
}

}  // namespace tessaly
