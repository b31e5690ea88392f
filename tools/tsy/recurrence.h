// Repeating calendar events: date and time values, the RRULE and its expansion into the dates
// it names, and the test whether a reminder's own frequencies keep exactly those dates.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/date.h"
#include "core/reminder.h"
#include "tools/tsy/zones.h"

namespace tessaly {

// A name or code of an iCalendar text in capitals (names are ASCII, compared in any case).
std::string Upper(std::string_view s);
// The parts of a value between separators, empty parts included.
std::vector<std::string_view> Split(std::string_view s, char sep);

// A DATE or DATE-TIME value as written: YYYYMMDD, YYYYMMDDThhmmss, or that with Z for UTC.
struct IcsTime {
    CivilDate date;
    bool hasTime = false;
    int hour = 0, minute = 0, second = 0;
    bool utc = false;

    // The value as seconds on its own clock (00:00 for a date).
    WallSeconds Wall() const;
};
std::optional<IcsTime> ParseIcsTime(std::string_view value);
// Days since 1970-01-01 and seconds of the day of a clock time.
std::int64_t DayOf(WallSeconds wall);
int SecondOfDay(WallSeconds wall);

enum class RepeatUnit { kYearly, kMonthly, kWeekly, kDaily, kHourly, kMinutely, kSecondly };

// An RRULE as parsed; weekdays count 0 Sunday .. 6 Saturday.
struct RepeatRule {
    RepeatUnit unit = RepeatUnit::kYearly;
    int interval = 1;
    std::optional<std::int64_t> count;
    std::optional<IcsTime> until;
    std::vector<int> byMonth, byWeekNo, byYearDay, byMonthDay, byHour, byMinute, bySecond, bySetPos;
    std::vector<std::pair<int, int>> byDay;  // (ordinal, 0 for every one; weekday)
    int weekStart = 1;                       // Monday
};

struct RuleReading {
    bool ok = false;
    RepeatRule rule;
    std::string error;  // what is malformed, when not ok
};
// Reads an RRULE value; names and values in any case, parts in any order.
RuleReading ReadRecurrenceRule(std::string_view value);

// The RRULE value that says how a reminder repeats, empty for one that happens once. A stored
// period of 0 counts as 1.
std::string WriteRecurrenceRule(const Reminder& r);

// Calls visit with each time the rule names, on the start's own clock and in order, from the
// start (when it fits the rule) on, as far as `last` and the rule's COUNT and UNTIL allow;
// times before `from` are left out (but counted). untilWall is the rule's UNTIL on the same
// clock. visit returns false to stop. Periods the rule cannot reach are jumped over unless
// it counts its times, so the work is bounded by the span from `from` (or the start) to `last`.
// Rules by the hour, minute or second and BYWEEKNO are not followed (the result is false).
bool ExpandRule(const RepeatRule& rule, const IcsTime& start, std::optional<WallSeconds> untilWall,
                WallSeconds from, WallSeconds last, const std::function<bool(WallSeconds)>& visit);

// How a reminder could keep a list of dates: a frequency and period whose steps, from the
// first date on, give exactly the listed dates, or none. dates are in order; `complete`
// says the list holds every date up to its end (there are none after it before 2100);
// otherwise the list runs on beyond its last date and only its span is compared.
struct Schedule {
    int frequency = kOneTime;
    int period = 1;
};
std::optional<Schedule> FitSchedule(const std::vector<DateKey>& dates, bool complete);

}  // namespace tessaly
