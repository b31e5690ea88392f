#include "tools/tsy/recurrence.h"

#include <algorithm>
#include <array>
#include <map>

#include "core/occurrence.h"

namespace tessaly {

std::string Upper(std::string_view s) {
    std::string u(s);
    for (char& c : u) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return u;
}

std::vector<std::string_view> Split(std::string_view s, char sep) {
    std::vector<std::string_view> parts;
    for (size_t start = 0;;) {
        const size_t at = s.find(sep, start);
        parts.push_back(s.substr(start, at == std::string_view::npos ? at : at - start));
        if (at == std::string_view::npos) return parts;
        start = at + 1;
    }
}

namespace {

constexpr std::int64_t kDay = 86400;
constexpr std::array<std::string_view, 7> kDayCodes = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};
// Expansion stops in this year: no reminder can be dated later.
constexpr int kLastYear = 2100;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

bool IsDigits(std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A small signed number ("+3", "-1", "12"), or none.
std::optional<int> SignedNumber(std::string_view s) {
    int sign = 1;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        sign = s[0] == '-' ? -1 : 1;
        s.remove_prefix(1);
    }
    if (!IsDigits(s) || s.size() > 9) return std::nullopt;
    int n = 0;
    for (char c : s) n = n * 10 + (c - '0');
    return sign * n;
}

int WeekdayOfDay(std::int64_t day) {
    // 1970-01-01 was a Thursday.
    return static_cast<int>(((day % 7) + 7 + 4) % 7);
}

// A list of numbers each within [low, high] and not 0 when low is negative.
bool ReadNumbers(std::string_view text, int low, int high, std::vector<int>& out) {
    for (std::string_view part : Split(text, ',')) {
        const std::optional<int> n = SignedNumber(part);
        if (!n || *n < low || *n > high || (low < 0 && *n == 0)) return false;
        out.push_back(*n);
    }
    return true;
}

// --- The steps of reading an RRULE ---

using RuleParts = std::map<std::string, std::string, std::less<>>;

// NAME=VALUE pairs separated by ";"; a name twice is an error.
bool SplitRuleParts(std::string_view value, RuleParts& parts, std::string& error) {
    for (std::string_view part : Split(value, ';')) {
        if (part.empty()) continue;
        const size_t eq = part.find('=');
        if (eq == std::string_view::npos || eq == 0) {
            error = "RRULE part \"" + std::string(part.substr(0, 40)) + "\" has no value";
            return false;
        }
        if (!parts.emplace(Upper(part.substr(0, eq)), Upper(part.substr(eq + 1))).second) {
            error = "RRULE names " + Upper(part.substr(0, std::min<size_t>(eq, 40))) + " twice";
            return false;
        }
    }
    return true;
}

bool ReadFrequency(const RuleParts& parts, RepeatRule& rule, std::string& error) {
    static const std::array<std::pair<std::string_view, RepeatUnit>, 7> kUnits = {{
        {"YEARLY", RepeatUnit::kYearly},
        {"MONTHLY", RepeatUnit::kMonthly},
        {"WEEKLY", RepeatUnit::kWeekly},
        {"DAILY", RepeatUnit::kDaily},
        {"HOURLY", RepeatUnit::kHourly},
        {"MINUTELY", RepeatUnit::kMinutely},
        {"SECONDLY", RepeatUnit::kSecondly},
    }};
    const auto freq = parts.find("FREQ");
    if (freq == parts.end()) {
        error = "RRULE without FREQ";
        return false;
    }
    for (const auto& [name, unit] : kUnits) {
        if (freq->second == name) {
            rule.unit = unit;
            return true;
        }
    }
    error = "RRULE FREQ=" + freq->second.substr(0, 40) + " is unknown";
    return false;
}

bool ReadLimits(const RuleParts& parts, RepeatRule& rule, std::string& error) {
    if (const auto it = parts.find("INTERVAL"); it != parts.end()) {
        const std::optional<int> n = SignedNumber(it->second);
        if (!n || *n < 1 || !IsDigits(it->second)) {
            error = "RRULE INTERVAL=" + it->second.substr(0, 40) + " is no count";
            return false;
        }
        rule.interval = *n;
    }
    if (const auto it = parts.find("COUNT"); it != parts.end()) {
        const std::optional<int> n = SignedNumber(it->second);
        if (!n || *n < 0 || !IsDigits(it->second)) {
            error = "RRULE COUNT=" + it->second.substr(0, 40) + " is no count";
            return false;
        }
        rule.count = *n;
    }
    if (const auto it = parts.find("UNTIL"); it != parts.end()) {
        rule.until = ParseIcsTime(it->second);
        if (!rule.until) {
            error = "RRULE UNTIL=" + it->second.substr(0, 40) + " is no date";
            return false;
        }
    }
    if (rule.count && rule.until) {
        error = "RRULE has both COUNT and UNTIL";
        return false;
    }
    return true;
}

bool ReadWeekdays(const RuleParts& parts, RepeatRule& rule, std::string& error) {
    auto code = [](std::string_view c) {
        const auto at = std::find(kDayCodes.begin(), kDayCodes.end(), c);
        return at == kDayCodes.end() ? -1 : static_cast<int>(at - kDayCodes.begin());
    };
    if (const auto it = parts.find("BYDAY"); it != parts.end()) {
        for (std::string_view d : Split(it->second, ',')) {
            const int weekday = d.size() >= 2 ? code(d.substr(d.size() - 2)) : -1;
            const std::string_view ordinalText = d.substr(0, d.size() >= 2 ? d.size() - 2 : 0);
            const std::optional<int> ordinal =
                ordinalText.empty() ? std::optional<int>(0) : SignedNumber(ordinalText);
            if (weekday < 0 || !ordinal || *ordinal < -53 || *ordinal > 53 ||
                (*ordinal == 0 && !ordinalText.empty())) {
                error = "RRULE BYDAY=" + it->second.substr(0, 40) + " names no weekday";
                return false;
            }
            rule.byDay.emplace_back(*ordinal, weekday);
        }
    }
    if (const auto it = parts.find("WKST"); it != parts.end()) {
        rule.weekStart = code(it->second);
        if (rule.weekStart < 0) {
            error = "RRULE WKST=" + it->second.substr(0, 40) + " names no weekday";
            return false;
        }
    }
    return true;
}

bool ReadByNumbers(const RuleParts& parts, RepeatRule& rule, std::string& error) {
    struct Part {
        std::string_view name;
        int low, high;
        std::vector<int> RepeatRule::*field;
    };
    static const std::array<Part, 8> kParts = {{
        {"BYMONTH", 1, 12, &RepeatRule::byMonth},
        {"BYWEEKNO", -53, 53, &RepeatRule::byWeekNo},
        {"BYYEARDAY", -366, 366, &RepeatRule::byYearDay},
        {"BYMONTHDAY", -31, 31, &RepeatRule::byMonthDay},
        {"BYHOUR", 0, 23, &RepeatRule::byHour},
        {"BYMINUTE", 0, 59, &RepeatRule::byMinute},
        {"BYSECOND", 0, 60, &RepeatRule::bySecond},
        {"BYSETPOS", -366, 366, &RepeatRule::bySetPos},
    }};
    for (const Part& p : kParts) {
        const auto it = parts.find(p.name);
        if (it == parts.end()) continue;
        if (!ReadNumbers(it->second, p.low, p.high, rule.*p.field)) {
            error = "RRULE " + std::string(p.name) + "=" + it->second.substr(0, 40) +
                    " is out of range";
            return false;
        }
    }
    return true;
}

// --- Expansion ---

// The rule with the defaults every reader fills in: a yearly rule without days repeats on the
// start's month and day, a monthly one on its day, a weekly one on its weekday, and the times
// of a rule repeating by days are the start's unless it names its own.
struct Expander {
    RepeatRule rule;
    std::vector<int> plainWeekdays;                    // BYDAY without ordinal
    std::vector<std::pair<int, int>> ordinalWeekdays;  // (ordinal, weekday)
    std::vector<int> times;                            // seconds of the day, sorted
    std::int64_t startDay = 0;

    Expander(const RepeatRule& r, const IcsTime& start) : rule(r) {
        startDay = DaysFromCivil(start.date.year, start.date.month, start.date.day);
        const bool noDays = rule.byWeekNo.empty() && rule.byYearDay.empty() &&
                            rule.byMonthDay.empty() && rule.byDay.empty();
        if (noDays) {
            if (rule.unit == RepeatUnit::kYearly) {
                if (rule.byMonth.empty()) rule.byMonth.push_back(start.date.month);
                rule.byMonthDay.push_back(start.date.day);
            } else if (rule.unit == RepeatUnit::kMonthly) {
                rule.byMonthDay.push_back(start.date.day);
            } else if (rule.unit == RepeatUnit::kWeekly) {
                rule.byDay.emplace_back(0, WeekdayOfDay(startDay));
            }
        }
        // Ordinals count within a month or a year; a weekly or daily rule has none.
        for (const auto& [n, w] : rule.byDay) {
            const bool ordinal =
                n != 0 && (rule.unit == RepeatUnit::kYearly || rule.unit == RepeatUnit::kMonthly);
            if (ordinal) {
                ordinalWeekdays.emplace_back(n, w);
            } else {
                plainWeekdays.push_back(w);
            }
        }
        if (!start.hasTime) {
            times = {0};
            return;
        }
        const std::vector<int> hours =
            rule.byHour.empty() ? std::vector<int>{start.hour} : rule.byHour;
        const std::vector<int> minutes =
            rule.byMinute.empty() ? std::vector<int>{start.minute} : rule.byMinute;
        const std::vector<int> seconds =
            rule.bySecond.empty() ? std::vector<int>{start.second} : rule.bySecond;
        for (int h : hours) {
            for (int m : minutes) {
                for (int s : seconds) times.push_back(h * 3600 + m * 60 + s);
            }
        }
        std::sort(times.begin(), times.end());
        times.erase(std::unique(times.begin(), times.end()), times.end());
    }

    // Whether an ordinal weekday rule picks the day, counting within [first, last].
    bool OrdinalMatch(std::int64_t day, std::int64_t first, std::int64_t last) const {
        for (const auto& [n, w] : ordinalWeekdays) {
            std::int64_t pick;
            if (n > 0) {
                pick = first + (w - WeekdayOfDay(first) + 7) % 7 + 7 * (n - 1);
            } else {
                pick = last - (WeekdayOfDay(last) - w + 7) % 7 + 7 * (n + 1);
            }
            if (pick == day && pick >= first && pick <= last) return true;
        }
        return false;
    }

    bool DayFits(std::int64_t day) const {
        const CivilDate c = CivilFromDays(day);
        const auto has = [](const std::vector<int>& v, int x) {
            return std::find(v.begin(), v.end(), x) != v.end();
        };
        if (!rule.byMonth.empty() && !has(rule.byMonth, c.month)) return false;
        const std::int64_t yearFirst = DaysFromCivil(c.year, 1, 1);
        const std::int64_t yearLast = DaysFromCivil(c.year + 1, 1, 1) - 1;
        if (!rule.byYearDay.empty()) {
            const int n = static_cast<int>(day - yearFirst) + 1;
            const int back = static_cast<int>(day - yearLast) - 1;
            if (!has(rule.byYearDay, n) && !has(rule.byYearDay, back)) return false;
        }
        if (!rule.byMonthDay.empty()) {
            const int back = c.day - DaysInMonth(c.month, c.year) - 1;
            if (!has(rule.byMonthDay, c.day) && !has(rule.byMonthDay, back)) return false;
        }
        if (!rule.byDay.empty()) {
            bool any = has(plainWeekdays, WeekdayOfDay(day));
            if (!any && !ordinalWeekdays.empty()) {
                const bool inMonth = rule.unit == RepeatUnit::kMonthly ||
                                     (rule.unit == RepeatUnit::kYearly && !rule.byMonth.empty());
                any = inMonth ? OrdinalMatch(
                                    day, DaysFromCivil(c.year, c.month, 1),
                                    DaysFromCivil(c.year, c.month, DaysInMonth(c.month, c.year)))
                              : OrdinalMatch(day, yearFirst, yearLast);
            }
            if (!any) return false;
        }
        return true;
    }

    // The days of period k: [first, last].
    std::pair<std::int64_t, std::int64_t> Period(std::int64_t k, const IcsTime& start) const {
        const std::int64_t step = k * rule.interval;
        switch (rule.unit) {
            case RepeatUnit::kYearly: {
                const std::int64_t y = start.date.year + step;
                return {DaysFromCivil(y, 1, 1), DaysFromCivil(y + 1, 1, 1) - 1};
            }
            case RepeatUnit::kMonthly: {
                const std::int64_t index = start.date.year * 12LL + (start.date.month - 1) + step;
                const std::int64_t y = FloorDiv(index, 12), m = index - y * 12 + 1;
                return {DaysFromCivil(y, m, 1), DaysFromCivil(y, m + 1, 1) - 1};
            }
            case RepeatUnit::kWeekly: {
                const std::int64_t weekFirst =
                    startDay - (WeekdayOfDay(startDay) - rule.weekStart + 7) % 7 + 7 * step;
                return {weekFirst, weekFirst + 6};
            }
            default:
                return {startDay + step, startDay + step};
        }
    }

    // The period that holds a day, counted from the start's (at least 0).
    std::int64_t PeriodOf(std::int64_t day, const IcsTime& start) const {
        const CivilDate c = CivilFromDays(day);
        std::int64_t units = 0;
        switch (rule.unit) {
            case RepeatUnit::kYearly:
                units = c.year - start.date.year;
                break;
            case RepeatUnit::kMonthly:
                units = (c.year * 12LL + c.month) - (start.date.year * 12LL + start.date.month);
                break;
            case RepeatUnit::kWeekly:
                units = FloorDiv(day - Period(0, start).first, 7);
                break;
            default:
                units = day - startDay;
        }
        return std::max<std::int64_t>(0, FloorDiv(units, rule.interval));
    }
};

}  // namespace

WallSeconds IcsTime::Wall() const {
    return DaysFromCivil(date.year, date.month, date.day) * kDay + hour * 3600 + minute * 60 +
           second;
}

std::int64_t DayOf(WallSeconds wall) {
    return FloorDiv(wall, kDay);
}

int SecondOfDay(WallSeconds wall) {
    return static_cast<int>(wall - FloorDiv(wall, kDay) * kDay);
}

std::optional<IcsTime> ParseIcsTime(std::string_view v) {
    IcsTime t;
    if (v.size() < 8 || !IsDigits(v.substr(0, 8))) return std::nullopt;
    auto number = [&](size_t at, size_t n) { return *SignedNumber(v.substr(at, n)); };
    t.date = {number(0, 4), number(4, 2), number(6, 2)};
    if (t.date.year < 1 || t.date.month < 1 || t.date.month > 12 || t.date.day < 1 ||
        t.date.day > DaysInMonth(t.date.month, t.date.year)) {
        return std::nullopt;
    }
    // Some programs mark a plain date as UTC ("20131210Z"); it is still that date.
    if (v.size() == 8 || (v.size() == 9 && (v[8] == 'Z' || v[8] == 'z'))) return t;
    if (v.size() < 15 || v[8] != 'T' || !IsDigits(v.substr(9, 6))) return std::nullopt;
    t.hasTime = true;
    t.hour = number(9, 2);
    t.minute = number(11, 2);
    t.second = number(13, 2);
    if (t.hour > 23 || t.minute > 59 || t.second > 60) return std::nullopt;
    if (t.second == 60) t.second = 59;  // a leap second reads as the second before it
    if (v.size() == 16 && (v[15] == 'Z' || v[15] == 'z')) {
        t.utc = true;
    } else if (v.size() != 15) {
        return std::nullopt;
    }
    return t;
}

RuleReading ReadRecurrenceRule(std::string_view value) {
    RuleReading reading;
    RuleParts parts;
    reading.ok = SplitRuleParts(value, parts, reading.error) &&
                 ReadFrequency(parts, reading.rule, reading.error) &&
                 ReadLimits(parts, reading.rule, reading.error) &&
                 ReadWeekdays(parts, reading.rule, reading.error) &&
                 ReadByNumbers(parts, reading.rule, reading.error);
    return reading;
}

std::string WriteRecurrenceRule(const Reminder& r) {
    const int n = r.period == 0 ? 1 : r.period;
    const CivilDate d = SplitDateKey(r.date);
    switch (r.frequency) {
        case kAnnual:
            return "FREQ=YEARLY";
        case kMonthlyPeriod:
            return "FREQ=MONTHLY;INTERVAL=" + std::to_string(n) +
                   ";BYMONTHDAY=" + std::to_string(d.day);
        case kWeeklyPeriod:
            return "FREQ=WEEKLY;INTERVAL=" + std::to_string(n);
        case kWeekdayMonths: {
            // A fifth weekday is always the month's last; in a month without one the
            // reminder moves to the last such weekday.
            const int k = WeekOfMonth(d.day);
            const std::string ordinal = k >= 5 ? "-1" : std::to_string(k);
            return "FREQ=MONTHLY;INTERVAL=" + std::to_string(n) + ";BYDAY=" + ordinal +
                   std::string(kDayCodes[DayOfWeek(d.month, d.year, d.day)]);
        }
        default:
            return "";
    }
}

bool ExpandRule(const RepeatRule& rule, const IcsTime& start, std::optional<WallSeconds> untilWall,
                WallSeconds from, WallSeconds last, const std::function<bool(WallSeconds)>& visit) {
    const bool byDays = rule.unit == RepeatUnit::kYearly || rule.unit == RepeatUnit::kMonthly ||
                        rule.unit == RepeatUnit::kWeekly || rule.unit == RepeatUnit::kDaily;
    if (!byDays || !rule.byWeekNo.empty()) return false;
    const Expander e(rule, start);
    const WallSeconds startWall = start.Wall();
    const std::int64_t lastDay = std::min(DayOf(last), DaysFromCivil(kLastYear, 12, 31));
    std::int64_t counted = 0;
    // Without COUNT nothing before `from` matters, so the periods before it are skipped.
    std::int64_t k = rule.count ? 0 : std::max<std::int64_t>(0, e.PeriodOf(DayOf(from), start) - 1);
    std::vector<WallSeconds> instances;
    for (;; ++k) {
        const auto [first, periodLast] = e.Period(k, start);
        if (first > lastDay) return true;
        instances.clear();
        for (std::int64_t day = first; day <= periodLast; ++day) {
            if (!e.DayFits(day)) continue;
            for (int s : e.times) instances.push_back(day * kDay + s);
        }
        if (!rule.bySetPos.empty()) {
            std::vector<WallSeconds> picked;
            const auto n = static_cast<std::int64_t>(instances.size());
            for (int pos : rule.bySetPos) {
                const std::int64_t at = pos > 0 ? pos - 1 : n + pos;
                if (at >= 0 && at < n) picked.push_back(instances[static_cast<size_t>(at)]);
            }
            std::sort(picked.begin(), picked.end());
            picked.erase(std::unique(picked.begin(), picked.end()), picked.end());
            instances.swap(picked);
        }
        for (WallSeconds at : instances) {
            if (at < startWall) continue;
            if (untilWall && at > *untilWall) return true;
            if (rule.count && counted >= *rule.count) return true;
            ++counted;
            if (at > last) return true;
            if (at >= from && !visit(at)) return true;
        }
    }
}

std::optional<Schedule> FitSchedule(const std::vector<DateKey>& dates, bool complete) {
    if (dates.empty()) return std::nullopt;
    if (complete) {
        if (dates.size() == 1) return Schedule{kOneTime, 1};
        return std::nullopt;  // a reminder that repeats never stops
    }
    if (dates.size() < 2) return std::nullopt;
    const CivilDate a = SplitDateKey(dates[0]), b = SplitDateKey(dates[1]);
    const int months = (b.year - a.year) * 12 + (b.month - a.month);
    const std::int64_t days =
        DaysFromCivil(b.year, b.month, b.day) - DaysFromCivil(a.year, a.month, a.day);
    std::vector<Schedule> candidates;
    if (months == 12 && a.day == b.day) candidates.push_back({kAnnual, 1});
    if (days % 7 == 0 && days / 7 >= 1 && days / 7 <= 255) {
        candidates.push_back({kWeeklyPeriod, static_cast<int>(days / 7)});
    }
    if (months >= 1 && months <= 255) {
        if (a.day == b.day) candidates.push_back({kMonthlyPeriod, months});
        candidates.push_back({kWeekdayMonths, months});
    }
    // Each candidate walks the reminder's own steps from the first date and must meet every
    // listed date and no other.
    for (const Schedule& s : candidates) {
        Reminder r;
        r.date = dates[0];
        r.frequency = static_cast<std::uint8_t>(s.frequency);
        r.period = static_cast<std::uint8_t>(s.period);
        bool same = true;
        for (size_t i = 1; i < dates.size() && same; ++i) {
            const std::optional<DateKey> next = NextOccurrence(r, r.date);
            same = next && *next == dates[i];
            if (same) r.date = *next;
        }
        if (same) return s;
    }
    return std::nullopt;
}

}  // namespace tessaly
