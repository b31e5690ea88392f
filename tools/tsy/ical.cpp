// iCalendar text for reminders: line folding and escaping, parsing, RRULE both ways, export
// and the mapping of events back into reminders.
#include "tools/tsy/ical.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <map>

#include "core/codepage.h"
#include "core/time_text.h"
#include "core/reminder_checks.h"

namespace tessaly {
namespace {

constexpr std::array<std::string_view, 7> kDayCodes = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};

std::string Upper(std::string_view s) {
    std::string u(s);
    for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return u;
}

std::string Lower(std::string_view s) {
    std::string u(s);
    for (char& c : u) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return u;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

std::vector<std::string_view> Split(std::string_view s, char sep) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (;;) {
        const size_t at = s.find(sep, start);
        parts.push_back(s.substr(start, at == std::string_view::npos ? at : at - start));
        if (at == std::string_view::npos) return parts;
        start = at + 1;
    }
}

// Splits at unescaped commas (CATEGORIES and other TEXT lists).
std::vector<std::string> SplitTextList(std::string_view s) {
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            parts.back() += s.substr(i, 2);
            ++i;
        } else if (s[i] == ',') {
            parts.emplace_back();
        } else {
            parts.back() += s[i];
        }
    }
    return parts;
}

bool Digits(std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A small non-negative number, or -1.
int Number(std::string_view s) {
    if (!Digits(s) || s.size() > 6) return -1;
    int n = 0;
    for (char c : s) n = n * 10 + (c - '0');
    return n;
}

bool RealDay(int y, int m, int d) {
    return y >= 1 && m >= 1 && m <= 12 && d >= 1 && d <= DaysInMonth(m, y);
}

// --- Dates and times in values ---

struct IcsDateTime {
    CivilDate date;
    bool hasTime = false;
    int hour = 0;
    int minute = 0;
    bool utc = false;
};

std::optional<IcsDateTime> ParseDateTime(std::string_view v) {
    IcsDateTime dt;
    if (v.size() < 8 || !Digits(v.substr(0, 8))) return std::nullopt;
    dt.date = {Number(v.substr(0, 4)), Number(v.substr(4, 2)), Number(v.substr(6, 2))};
    if (!RealDay(dt.date.year, dt.date.month, dt.date.day)) return std::nullopt;
    if (v.size() == 8) return dt;
    if (v.size() < 15 || v[8] != 'T' || !Digits(v.substr(9, 6))) return std::nullopt;
    dt.hasTime = true;
    dt.hour = Number(v.substr(9, 2));
    dt.minute = Number(v.substr(11, 2));
    if (dt.hour > 23 || dt.minute > 59 || Number(v.substr(13, 2)) > 60) return std::nullopt;
    if (v.size() == 16 && v[15] == 'Z') {
        dt.utc = true;
    } else if (v.size() != 15) {
        return std::nullopt;
    }
    return dt;
}

std::int64_t DayNumber(CivilDate d) {
    return DaysFromCivil(d.year, d.month, d.day);
}

// A signed duration in seconds: [+|-]P nW or [nD][T[nH][nM][nS]].
std::optional<std::int64_t> ParseDuration(std::string_view v) {
    int sign = 1;
    if (!v.empty() && (v[0] == '+' || v[0] == '-')) {
        sign = v[0] == '-' ? -1 : 1;
        v.remove_prefix(1);
    }
    if (v.empty() || v[0] != 'P') return std::nullopt;
    v.remove_prefix(1);
    std::int64_t total = 0;
    bool inTime = false, any = false;
    while (!v.empty()) {
        if (v[0] == 'T') {
            if (inTime) return std::nullopt;
            inTime = true;
            v.remove_prefix(1);
            continue;
        }
        size_t n = 0;
        while (n < v.size() && v[n] >= '0' && v[n] <= '9') ++n;
        if (n == 0 || n > 6 || n == v.size()) return std::nullopt;
        const std::int64_t amount = Number(v.substr(0, n));
        const char unit = v[n];
        v.remove_prefix(n + 1);
        if (!inTime && unit == 'W') {
            total += amount * 7 * 86400;
        } else if (!inTime && unit == 'D') {
            total += amount * 86400;
        } else if (inTime && unit == 'H') {
            total += amount * 3600;
        } else if (inTime && unit == 'M') {
            total += amount * 60;
        } else if (inTime && unit == 'S') {
            total += amount;
        } else {
            return std::nullopt;
        }
        any = true;
    }
    if (!any) return std::nullopt;
    return sign * total;
}

// A stored clock time as hours and minutes of the day (2400..2459 are just after midnight).
std::pair<int, int> ClockOf(int t) {
    if (t >= 2400) t -= 2400;
    return {t / 100, t % 100};
}

std::string TwoDigits(int n) {
    return std::string(1, char('0' + n / 10 % 10)) + char('0' + n % 10);
}

std::string DateValue(CivilDate d) {
    const std::string y = std::to_string(d.year);
    return std::string(y.size() < 4 ? 4 - y.size() : 0, '0') + y + TwoDigits(d.month) +
           TwoDigits(d.day);
}

// FNV-1a: small, fixed across compilers and platforms, so UIDs never change.
std::uint64_t Fnv1a(const std::uint8_t* bytes, size_t n,
                    std::uint64_t h = 14695981039346656037ull) {
    for (size_t i = 0; i < n; ++i) {
        h ^= bytes[i];
        h *= 1099511628211ull;
    }
    return h;
}

std::string TrimmedDescription(const Reminder& r) {
    std::string_view d = r.Description();
    while (!d.empty() && d.back() == ' ') d.remove_suffix(1);
    return Cp1252ToUtf8(d);
}

}  // namespace

// --- Content lines ---

std::string EscapeIcsText(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\' || c == ';' || c == ',') {
            out += '\\';
            out += c;
        } else if (c == '\r') {
            out += "\\n";
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out;
}

std::string UnescapeIcsText(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char next = text[++i];
            out += next == 'n' || next == 'N' ? '\n' : next;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string FoldIcsLine(std::string_view line) {
    std::string out;
    size_t width = 0;  // octets on the current physical line
    size_t limit = 75;
    for (size_t i = 0; i < line.size();) {
        size_t n = 1;  // the whole UTF-8 sequence moves together
        while (i + n < line.size() && (static_cast<unsigned char>(line[i + n]) & 0xC0) == 0x80) ++n;
        if (width + n > limit) {
            out += "\r\n ";
            width = 1;
        }
        out.append(line.substr(i, n));
        width += n;
        i += n;
    }
    out += "\r\n";
    return out;
}

std::optional<std::string> IcsProperty::Param(std::string_view wanted) const {
    for (const auto& [name, value] : params) {
        if (name == wanted) return value;
    }
    return std::nullopt;
}

const IcsProperty* IcsComponent::Find(std::string_view wanted) const {
    for (const IcsProperty& p : properties) {
        if (p.name == wanted) return &p;
    }
    return nullptr;
}

namespace {

bool NameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-';
}

// name *(";" param) ":" value; parameter values may be quoted and then hold ":" and ";".
std::optional<IcsProperty> ParseContentLine(std::string_view text, int line, std::string& error) {
    IcsProperty p;
    p.line = line;
    size_t i = 0;
    while (i < text.size() && NameChar(text[i])) ++i;
    if (i == 0) {
        error = "a line that is no property";
        return std::nullopt;
    }
    p.name = Upper(text.substr(0, i));
    while (i < text.size() && text[i] == ';') {
        const size_t start = ++i;
        while (i < text.size() && NameChar(text[i])) ++i;
        if (i == start || i == text.size() || text[i] != '=') {
            error = "a malformed parameter of " + p.name;
            return std::nullopt;
        }
        std::string name = Upper(text.substr(start, i - start));
        std::string value;
        ++i;
        for (;;) {  // one or more comma-separated values, kept together
            if (i < text.size() && text[i] == '"') {
                const size_t close = text.find('"', i + 1);
                if (close == std::string_view::npos) {
                    error = "an unclosed quote in a parameter of " + p.name;
                    return std::nullopt;
                }
                value.append(text.substr(i + 1, close - i - 1));
                i = close + 1;
            } else {
                while (i < text.size() && text[i] != ';' && text[i] != ':' && text[i] != ',') {
                    value += text[i++];
                }
            }
            if (i < text.size() && text[i] == ',') {
                value += text[i++];
                continue;
            }
            break;
        }
        p.params.emplace_back(std::move(name), std::move(value));
    }
    if (i == text.size() || text[i] != ':') {
        error = "no \":\" after the name " + p.name;
        return std::nullopt;
    }
    p.value = std::string(text.substr(i + 1));
    return p;
}

}  // namespace

IcsParseResult ParseIcs(std::string_view text) {
    IcsParseResult result;
    auto fail = [&](int line, std::string message) {
        result.calendars.clear();
        result.errorLine = line;
        result.error = std::move(message);
        return result;
    };
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);

    // Unfold into logical lines, each with the number of its first physical line.
    std::vector<std::pair<int, std::string>> lines;
    int physical = 0;
    for (size_t pos = 0; pos < text.size();) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view raw = text.substr(pos, end - pos);
        pos = end + 1;
        ++physical;
        if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
        if (!raw.empty() && (raw[0] == ' ' || raw[0] == '\t')) {
            if (lines.empty())
                return fail(physical, "a continuation line with nothing to continue");
            lines.back().second.append(raw.substr(1));
        } else if (!raw.empty()) {
            lines.emplace_back(physical, std::string(raw));
        }
    }
    if (lines.empty()) return fail(1, "the file is empty");

    std::vector<IcsComponent> stack;
    for (const auto& [line, content] : lines) {
        std::string error;
        std::optional<IcsProperty> p = ParseContentLine(content, line, error);
        if (!p) return fail(line, error);
        if (p->name == "BEGIN") {
            const std::string name = Upper(Trim(p->value));
            if (name.empty()) return fail(line, "BEGIN names no component");
            if (stack.empty() && name != "VCALENDAR") {
                return fail(line, "BEGIN:" + name + " outside a VCALENDAR");
            }
            stack.push_back({name, line, {}, {}});
        } else if (p->name == "END") {
            const std::string name = Upper(Trim(p->value));
            if (stack.empty()) return fail(line, "END:" + name + " with nothing open");
            if (stack.back().name != name) {
                return fail(line, "END:" + name + " closes BEGIN:" + stack.back().name +
                                      " of line " + std::to_string(stack.back().line));
            }
            IcsComponent done = std::move(stack.back());
            stack.pop_back();
            if (stack.empty()) {
                result.calendars.push_back(std::move(done));
            } else {
                stack.back().children.push_back(std::move(done));
            }
        } else {
            if (stack.empty()) return fail(line, p->name + " outside a VCALENDAR");
            stack.back().properties.push_back(std::move(*p));
        }
    }
    if (!stack.empty()) {
        return fail(stack.back().line, "BEGIN:" + stack.back().name + " is never closed");
    }
    return result;
}

// --- Recurrence ---

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

RuleReading ReadRecurrenceRule(std::string_view value, CivilDate start) {
    RuleReading reading;
    auto malformed = [&](std::string why) {
        reading.status = RuleReading::kMalformed;
        reading.reason = std::move(why);
        return reading;
    };
    auto unmappable = [&](std::string why) {
        reading.status = RuleReading::kUnmappable;
        reading.reason = std::move(why);
        return reading;
    };

    std::map<std::string, std::string, std::less<>> parts;
    for (std::string_view part : Split(Trim(value), ';')) {
        if (part.empty()) continue;
        const size_t eq = part.find('=');
        if (eq == std::string_view::npos || eq == 0) {
            return malformed("RRULE part \"" + std::string(part) + "\" has no value");
        }
        if (!parts.emplace(Upper(part.substr(0, eq)), Upper(part.substr(eq + 1))).second) {
            return malformed("RRULE names " + Upper(part.substr(0, eq)) + " twice");
        }
    }
    const auto freq = parts.find("FREQ");
    if (freq == parts.end()) return malformed("RRULE without FREQ");
    static const std::array<std::string_view, 7> kFreqs = {
        "SECONDLY", "MINUTELY", "HOURLY", "DAILY", "WEEKLY", "MONTHLY", "YEARLY"};
    if (std::find(kFreqs.begin(), kFreqs.end(), freq->second) == kFreqs.end()) {
        return malformed("RRULE FREQ=" + freq->second + " is unknown");
    }

    int interval = 1;
    if (const auto it = parts.find("INTERVAL"); it != parts.end()) {
        interval = Number(it->second);
        if (interval < 1) return malformed("RRULE INTERVAL=" + it->second + " is no count");
    }
    if (parts.contains("COUNT") || parts.contains("UNTIL")) {
        return unmappable("it repeats a limited number of times (COUNT or UNTIL)");
    }
    for (std::string_view key :
         {"BYSETPOS", "BYYEARDAY", "BYWEEKNO", "BYHOUR", "BYMINUTE", "BYSECOND"}) {
        if (parts.contains(key)) return unmappable("its rule uses " + std::string(key));
    }
    if (freq->second != "YEARLY" && freq->second != "MONTHLY" && freq->second != "WEEKLY") {
        return unmappable("it repeats " + Lower(freq->second));
    }
    if (interval > 255) return unmappable("its interval is above 255");

    // Each BY part may hold one value only, and it has to fit the start date.
    auto single = [&](std::string_view key) -> std::optional<std::string> {
        const auto it = parts.find(key);
        if (it == parts.end()) return std::nullopt;
        return it->second;
    };
    for (std::string_view key : {"BYMONTH", "BYMONTHDAY", "BYDAY"}) {
        if (const auto v = single(key); v && v->find(',') != std::string::npos) {
            return unmappable("its " + std::string(key) + " has several values");
        }
    }
    const auto byMonth = single("BYMONTH");
    const auto byMonthDay = single("BYMONTHDAY");
    const auto byDay = single("BYDAY");
    if (byMonth && Number(*byMonth) != start.month) {
        if (Number(*byMonth) < 1 || Number(*byMonth) > 12) {
            return malformed("RRULE BYMONTH=" + *byMonth + " is no month");
        }
        return unmappable("its BYMONTH is not the month it starts in");
    }

    RecurrenceRule& rule = reading.rule;
    rule.period = interval;
    if (freq->second == "YEARLY") {
        if (interval != 1)
            return unmappable("it repeats every " + std::to_string(interval) + " years");
        if (byDay) return unmappable("it repeats on a weekday of the year");
        if (byMonthDay && Number(*byMonthDay) != start.day) {
            return unmappable("its BYMONTHDAY is not the day it starts on");
        }
        rule.frequency = kAnnual;
        return reading;
    }
    if (byMonth) return unmappable("it repeats in one month only");
    if (freq->second == "WEEKLY") {
        if (byMonthDay) return unmappable("its weekly rule uses BYMONTHDAY");
        if (byDay && *byDay != kDayCodes[DayOfWeek(start.month, start.year, start.day)]) {
            return unmappable("its BYDAY is not the weekday it starts on");
        }
        rule.frequency = kWeeklyPeriod;
        return reading;
    }
    // MONTHLY
    if (byDay) {
        if (byMonthDay) return unmappable("its rule uses BYDAY and BYMONTHDAY together");
        std::string_view d = *byDay;
        const std::string_view code = d.size() >= 2 ? d.substr(d.size() - 2) : d;
        const auto day = std::find(kDayCodes.begin(), kDayCodes.end(), code);
        if (day == kDayCodes.end()) return malformed("RRULE BYDAY=" + *byDay + " names no weekday");
        std::string_view ordinal = d.substr(0, d.size() - 2);
        if (!ordinal.empty() && ordinal[0] == '+') ordinal.remove_prefix(1);
        int k = 0;
        if (ordinal == "-1") {
            k = -1;
        } else if (ordinal.empty()) {
            return unmappable("it repeats on every " + std::string(code) + " of the month");
        } else {
            k = Number(ordinal);
            if (k < 1 && ordinal[0] != '-')
                return malformed("RRULE BYDAY=" + *byDay + " is unreadable");
            if (ordinal[0] == '-' || k > 4) {
                return unmappable("it repeats on weekday " + std::string(ordinal) +
                                  " of the month (only first to fourth and last fit)");
            }
        }
        rule.frequency = kWeekdayMonths;
        rule.weekday = static_cast<int>(day - kDayCodes.begin());
        rule.weekOrdinal = k;
        return reading;
    }
    if (byMonthDay) {
        const int d = Number(*byMonthDay);
        if (d < 1) {
            if (!byMonthDay->empty() && (*byMonthDay)[0] == '-') {
                return unmappable("it counts days from the end of the month");
            }
            return malformed("RRULE BYMONTHDAY=" + *byMonthDay + " is unreadable");
        }
        if (d > 31) return malformed("RRULE BYMONTHDAY=" + *byMonthDay + " is no day");
        rule.monthDay = d;
    }
    rule.frequency = kMonthlyPeriod;
    return reading;
}

// --- Export ---

std::string ReminderUid(const Reminder& r, bool archived, int duplicate) {
    std::array<std::uint8_t, kReminderBytes> bytes{};
    EncodeReminder(r, bytes.data());
    std::uint64_t h = Fnv1a(bytes.data(), bytes.size());
    const std::uint8_t tag = archived ? 'A' : 'C';
    h = Fnv1a(&tag, 1, h);
    static constexpr char kHex[] = "0123456789abcdef";
    std::string uid;
    for (int shift = 60; shift >= 0; shift -= 4) uid += kHex[(h >> shift) & 15];
    if (duplicate > 0) uid += "-" + std::to_string(duplicate + 1);
    return uid + "@tessaly";
}

IcsExport ExportIcs(const ReminderData& data, bool withArchive, DateKey stamp) {
    IcsExport result;
    std::string& out = result.text;
    auto line = [&](std::string_view l) { out += FoldIcsLine(l); };
    line("BEGIN:VCALENDAR");
    line("VERSION:2.0");
    line("PRODID:-//Quorvane//Tessaly//EN");
    line("CALSCALE:GREGORIAN");
    const std::string dtstamp = "DTSTAMP:" + DateValue(SplitDateKey(stamp)) + "T000000Z";

    std::map<std::string, int> seen;  // UID -> how many equal records came before
    auto event = [&](const Reminder& r, bool archived, int position) {
        CivilDate d = SplitDateKey(r.date);
        if (d.month == 2 && d.day == 29 && !IsLeapYear(d.year)) {
            // An annual 29 February steps into years without one; the last day of
            // February stands in for it.
            d.day = 28;
            result.notes.push_back((archived ? "archive entry " : "entry ") +
                                   std::to_string(position) +
                                   ": 29 February in a year without one, exported as 28 February");
        } else if (r.date <= 0 || !RealDay(d.year, d.month, d.day)) {
            result.notes.push_back((archived ? "archive entry " : "entry ") +
                                   std::to_string(position) + ": date " + std::to_string(r.date) +
                                   " is no calendar day, left out");
            return;
        }
        std::string uid = ReminderUid(r, archived, 0);
        const int duplicate = seen[uid]++;
        if (duplicate > 0) uid = ReminderUid(r, archived, duplicate);

        line("BEGIN:VEVENT");
        line("UID:" + uid);
        line(dtstamp);
        const bool timed = r.kind >= kReminderKind && r.kind <= kMeeting && r.timeOrYear > 0 &&
                           r.timeOrYear <= 2459 && r.timeOrYear % 100 < 60;
        if (timed) {
            const auto [h, m] = ClockOf(r.timeOrYear);
            line("DTSTART:" + DateValue(d) + "T" + TwoDigits(h) + TwoDigits(m) + "00");
        } else {
            line("DTSTART;VALUE=DATE:" + DateValue(d));
        }
        line("SUMMARY:" + EscapeIcsText(TrimmedDescription(r)));
        if (!KindName(r.kind).empty()) line("CATEGORIES:" + std::string(KindName(r.kind)));
        if ((r.kind == kBirthday || r.kind == kAnniversary || r.kind == 0) && r.timeOrYear > 0) {
            const std::string what = r.kind == kBirthday      ? "Year of birth: "
                                     : r.kind == kAnniversary ? "Year of the wedding: "
                                                              : "Year: ";
            line("DESCRIPTION:" + what + std::to_string(r.timeOrYear));
            line("X-TESSALY-YEAR:" + std::to_string(r.timeOrYear));
        }
        if (!archived) {
            if (const std::string rule = WriteRecurrenceRule(r); !rule.empty()) {
                line("RRULE:" + rule);
            }
            if (r.notifyDays > 0) {
                line("BEGIN:VALARM");
                line("ACTION:DISPLAY");
                line("DESCRIPTION:" + EscapeIcsText(TrimmedDescription(r)));
                line("TRIGGER:-P" + std::to_string(r.notifyDays) + "D");
                line("END:VALARM");
            }
        }
        line("END:VEVENT");
    };
    for (int i = 1; i <= data.current.count(); ++i) event(data.current.at(i), false, i);
    if (withArchive) {
        for (int i = 1; i <= data.archive.count(); ++i) event(data.archive.at(i), true, i);
    }
    line("END:VCALENDAR");
    return result;
}

// --- Import ---

namespace {

struct Mapping {
    bool malformed = false;
    bool mapped = false;
    std::string reason;  // the skip reason, or what is malformed
    int line = 0;        // where the malformed value is
    Reminder reminder;
};

std::string CategoryKind(std::string_view category) {
    const std::string c = Lower(Trim(category));
    static const std::array<std::pair<std::string_view, std::string_view>, 10> kNames = {{
        {"birthday", "birthday"},
        {"birthdays", "birthday"},
        {"anniversary", "anniversary"},
        {"anniversaries", "anniversary"},
        {"reminder", "reminder"},
        {"reminders", "reminder"},
        {"appointment", "appointment"},
        {"appointments", "appointment"},
        {"meeting", "meeting"},
        {"meetings", "meeting"},
    }};
    for (const auto& [name, kind] : kNames) {
        if (c == name) return std::string(kind);
    }
    return "";
}

// The first occurrence on or after today of a rule starting at start, or none before 2100.
std::optional<CivilDate> FirstOccurrence(const RecurrenceRule& rule, CivilDate start,
                                         DateKey today) {
    const CivilDate t = SplitDateKey(today);
    auto fits = [&](CivilDate c) {
        return MakeDateKey(c.year, c.month, c.day) >= today &&
               MakeDateKey(c.year, c.month, c.day) >=
                   MakeDateKey(start.year, start.month, start.day);
    };
    switch (rule.frequency) {
        case kOneTime:
            if (MakeDateKey(start.year, start.month, start.day) >= today) return start;
            return std::nullopt;
        case kAnnual:
            for (int y = std::max(start.year, t.year - 1); y < 2100; ++y) {
                const CivilDate c{y, start.month, start.day};
                if (RealDay(c.year, c.month, c.day) && fits(c)) return c;
            }
            return std::nullopt;
        case kWeeklyPeriod: {
            const std::int64_t step = 7LL * rule.period;
            std::int64_t day = DayNumber(start);
            const std::int64_t target = DayNumber(t);
            if (day < target) day += (target - day + step - 1) / step * step;
            return CivilFromDays(day);
        }
        case kMonthlyPeriod:
        case kWeekdayMonths: {
            std::int64_t month = start.year * 12LL + (start.month - 1);
            for (; month / 12 < 2100; month += rule.period) {
                const int y = static_cast<int>(month / 12), m = static_cast<int>(month % 12 + 1);
                const int length = DaysInMonth(m, y);
                CivilDate c{y, m, 0};
                if (rule.frequency == kMonthlyPeriod) {
                    c.day = std::min(rule.monthDay > 0 ? rule.monthDay : start.day, length);
                } else {
                    const int first = DayOfWeek(m, y, 1);
                    const int firstDay = (rule.weekday - first + 7) % 7 + 1;
                    c.day = rule.weekOrdinal > 0 ? firstDay + 7 * (rule.weekOrdinal - 1)
                                                 : firstDay + 7 * ((length - firstDay) / 7);
                }
                if (fits(c)) return c;
            }
            return std::nullopt;
        }
        default:
            return std::nullopt;
    }
}

Mapping MapEvent(const IcsComponent& event, const ImportOptions& options) {
    Mapping m;
    auto malformed = [&](int line, std::string why) {
        m.malformed = true;
        m.line = line;
        m.reason = std::move(why);
        return m;
    };
    auto skip = [&](std::string why) {
        m.reason = std::move(why);
        return m;
    };

    const IcsProperty* start = event.Find("DTSTART");
    if (!start) return skip("it has no start date");
    std::optional<IcsDateTime> dt = ParseDateTime(Trim(start->value));
    if (!dt) return malformed(start->line, "DTSTART \"" + start->value + "\" is no date");
    if (start->Param("VALUE") == "DATE" && dt->hasTime) {
        return malformed(start->line, "DTSTART is marked as a date but holds a time");
    }
    if (dt->utc) {
        // Reminders keep local clock times.
        const std::int64_t minutes =
            DayNumber(dt->date) * 1440 + dt->hour * 60 + dt->minute + options.utcOffsetMinutes;
        const std::int64_t days = minutes >= 0 ? minutes / 1440 : (minutes - 1439) / 1440;
        dt->date = CivilFromDays(days);
        dt->hour = static_cast<int>((minutes - days * 1440) / 60);
        dt->minute = static_cast<int>((minutes - days * 1440) % 60);
    }
    // Every value is read before anything is skipped, so a malformed file is always reported.
    RuleReading rule;
    int rules = 0;
    for (const IcsProperty& p : event.properties) {
        if (p.name != "RRULE") continue;
        ++rules;
        rule = ReadRecurrenceRule(p.value, dt->date);
        if (rule.status == RuleReading::kMalformed) return malformed(p.line, rule.reason);
    }
    std::vector<DateKey> exceptions;
    for (const IcsProperty& p : event.properties) {
        if (p.name != "EXDATE") continue;
        for (std::string_view v : Split(p.value, ',')) {
            const std::optional<IcsDateTime> ex = ParseDateTime(Trim(v));
            if (!ex) return malformed(p.line, "EXDATE \"" + std::string(v) + "\" is no date");
            exceptions.push_back(MakeDateKey(ex->date.year, ex->date.month, ex->date.day));
        }
    }
    struct Trigger {
        bool absolute;
        CivilDate date;       // absolute
        std::int64_t offset;  // relative, seconds
        bool afterEnd;
    };
    std::vector<Trigger> triggers;
    for (const IcsComponent& alarm : event.children) {
        if (alarm.name != "VALARM") continue;
        const IcsProperty* trigger = alarm.Find("TRIGGER");
        if (!trigger) continue;
        if (trigger->Param("VALUE") == "DATE-TIME") {
            const std::optional<IcsDateTime> at = ParseDateTime(Trim(trigger->value));
            if (!at) {
                return malformed(trigger->line, "TRIGGER \"" + trigger->value + "\" is no time");
            }
            triggers.push_back({true, at->date, 0, false});
        } else {
            const std::optional<std::int64_t> d = ParseDuration(Trim(trigger->value));
            if (!d) {
                return malformed(trigger->line,
                                 "TRIGGER \"" + trigger->value + "\" is no duration");
            }
            triggers.push_back({false, {}, *d, trigger->Param("RELATED") == "END"});
        }
    }

    if (event.Find("RECURRENCE-ID")) return skip("it changes one occurrence of another event");
    if (event.Find("RDATE")) return skip("it has extra dates (RDATE)");
    if (rules > 1) return skip("it has several repeat rules");
    if (rule.status == RuleReading::kUnmappable) return skip(rule.reason);

    const std::optional<CivilDate> first = FirstOccurrence(rule.rule, dt->date, options.today);
    if (!first) {
        return skip(rule.rule.frequency == kOneTime ? "it lies in the past"
                                                    : "it has no date before 2100");
    }
    const DateKey firstKey = MakeDateKey(first->year, first->month, first->day);
    for (DateKey ex : exceptions) {
        if (ex >= firstKey) return skip("it leaves out dates still to come (EXDATE)");
    }

    // Kind: a category naming one, else a yearly all-day event that says what it is,
    // else by whether it has a time.
    std::string kind;
    for (const IcsProperty& p : event.properties) {
        if (p.name != "CATEGORIES" || !kind.empty()) continue;
        for (const std::string& c : SplitTextList(p.value)) {
            kind = CategoryKind(UnescapeIcsText(c));
            if (!kind.empty()) break;
        }
    }
    std::string summary;
    if (const IcsProperty* s = event.Find("SUMMARY")) summary = UnescapeIcsText(s->value);
    for (char& c : summary) {
        if (c == '\r' || c == '\n' || c == '\t') c = ' ';
    }
    summary = std::string(Trim(summary));
    if (kind.empty() && rule.rule.frequency == kAnnual && !dt->hasTime) {
        const std::string lower = Lower(summary);
        if (lower.find("birthday") != std::string::npos) {
            kind = "birthday";
        } else if (lower.find("anniversary") != std::string::npos) {
            kind = "anniversary";
        }
    }
    if (kind.empty()) kind = dt->hasTime ? "appointment" : "reminder";
    const bool withYear = kind == "birthday" || kind == "anniversary";

    // Notice: the earliest alarm before the start, as whole calendar days before the date.
    int notify = 0;
    const std::int64_t startSeconds =
        DayNumber(*first) * 86400LL + (dt->hasTime ? dt->hour * 3600 + dt->minute * 60 : 0);
    for (const Trigger& t : triggers) {
        if (t.afterEnd) continue;  // after the start: no notice
        // An absolute alarm belongs to the start date the file names.
        const std::int64_t fire =
            t.absolute ? startSeconds - (DayNumber(dt->date) - DayNumber(t.date)) * 86400LL
                       : startSeconds + t.offset;
        const std::int64_t fireDay = fire >= 0 ? fire / 86400 : (fire - 86399) / 86400;
        notify =
            static_cast<int>(std::clamp<std::int64_t>(DayNumber(*first) - fireDay, notify, 30));
    }

    int year = 0;
    if (withYear) {
        if (const IcsProperty* y = event.Find("X-TESSALY-YEAR")) {
            year = std::max(0, Number(Trim(y->value)));
        } else if (dt->date.year < first->year && dt->date.year != 1604) {
            // Calendars keep a birthday on its first day; 1604 stands for "year unknown".
            year = dt->date.year;
        }
    }

    FormInput form;
    form.kindText = kind;
    form.description = Utf8ToCp1252(summary);
    form.dateText = DateKeyText(firstKey);
    if (withYear) {
        form.timeText = year > 0 ? std::to_string(std::min(year, 32767)) : "";
    } else if (dt->hasTime) {
        form.timeText =
            StoredTimeText(dt->hour == 0 ? 2400 + dt->minute : dt->hour * 100 + dt->minute);
    }
    form.notifyText = std::to_string(notify);
    form.periodText = std::to_string(rule.rule.period);
    form.frequency = rule.rule.frequency;
    const FormResult checked = CheckReminderForm(form, options.today);
    if (!checked.ok) {
        std::string message;
        for (char c : checked.message.text) {
            if (c == '\r') continue;
            message += c == '\n' ? ' ' : c;
        }
        return skip("the form refuses it: " + message);
    }
    m.mapped = true;
    m.reminder = checked.reminder;
    return m;
}

}  // namespace

IcsImport ReadIcsEvents(std::string_view text, const ImportOptions& options) {
    IcsImport result;
    const IcsParseResult parsed = ParseIcs(text);
    if (parsed.errorLine != 0) {
        result.errorLine = parsed.errorLine;
        result.error = parsed.error;
        return result;
    }
    for (const IcsComponent& calendar : parsed.calendars) {
        for (const IcsComponent& c : calendar.children) {
            if (c.name != "VEVENT") continue;
            const Mapping m = MapEvent(c, options);
            if (m.malformed) {
                result.events.clear();
                result.errorLine = m.line;
                result.error = m.reason;
                return result;
            }
            ImportedEvent e;
            e.line = c.line;
            if (const IcsProperty* s = c.Find("SUMMARY")) e.summary = UnescapeIcsText(s->value);
            e.mapped = m.mapped;
            e.reminder = m.reminder;
            e.reason = m.reason;
            result.events.push_back(std::move(e));
        }
    }
    return result;
}

ImportCounts AddImportedEvents(const std::vector<ImportedEvent>& events, ReminderList& current) {
    std::vector<Reminder> mapped;
    for (const ImportedEvent& e : events) {
        if (e.mapped) mapped.push_back(e.reminder);
    }
    std::stable_sort(mapped.begin(), mapped.end(),
                     [](const Reminder& a, const Reminder& b) { return a.date < b.date; });
    ImportCounts counts;
    for (const Reminder& r : mapped) {
        const auto& entries = current.entries();
        if (std::find(entries.begin(), entries.end(), r) != entries.end()) {
            ++counts.present;
            continue;
        }
        current.InsertByDate(r);
        ++counts.added;
    }
    return counts;
}

}  // namespace tessaly
