// iCalendar text for reminders: line folding and escaping, parsing, export, and the reading of
// events into reminders.
#include "tools/tsy/ical.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <map>

#include "core/codepage.h"
#include "core/product.h"
#include "core/reminder_checks.h"
#include "core/time_text.h"
#include "tools/tsy/recurrence.h"

namespace tessaly {
namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// At most n bytes of a value for a message, cut before a UTF-8 sequence, so a message never
// echoes a whole line back.
std::string Excerpt(std::string_view s, size_t n = 40) {
    if (s.size() <= n) return std::string(s);
    while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
    return std::string(s.substr(0, n)) + "...";
}

std::string TwoDigits(int n) {
    return std::string(1, char('0' + n / 10 % 10)) + char('0' + n % 10);
}

std::string DateValue(CivilDate d) {
    const std::string y = std::to_string(d.year);
    return std::string(y.size() < 4 ? 4 - y.size() : 0, '0') + y + TwoDigits(d.month) +
           TwoDigits(d.day);
}

bool RealDay(int y, int m, int d) {
    return y >= 1 && m >= 1 && m <= 12 && d >= 1 && d <= DaysInMonth(m, y);
}

// A stored clock time as hours and minutes of the day (2400..2459 are just after midnight).
std::pair<int, int> ClockOf(int t) {
    if (t >= 2400) t -= 2400;
    return {t / 100, t % 100};
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
    return PrintableText(Cp1252ToUtf8(d));
}

bool NameChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
}

void UpperInPlace(char* first, char* last) {
    for (; first != last; ++first) {
        if (*first >= 'a' && *first <= 'z') *first = static_cast<char>(*first - 'a' + 'A');
    }
}

// Walks the parameters of a property, as written after its name: ";NAME=value[,value]" with
// values that may be quoted and then hold ":", ";" and ",". Calls f(name, value) for each,
// the value unquoted; false when the text is malformed.
template <typename F>
bool ForEachParam(std::string_view text, F&& f) {
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] != ';') return false;
        const size_t start = ++i;
        while (i < text.size() && NameChar(text[i])) ++i;
        if (i == start || i == text.size() || text[i] != '=') return false;
        const std::string_view name = text.substr(start, i - start);
        std::string value;
        ++i;
        for (;;) {
            if (i < text.size() && text[i] == '"') {
                const size_t close = text.find('"', i + 1);
                if (close == std::string_view::npos) return false;
                value.append(text.substr(i + 1, close - i - 1));
                i = close + 1;
            } else {
                const size_t end = text.find_first_of(";,", i);
                const size_t stop = end == std::string_view::npos ? text.size() : end;
                value.append(text.substr(i, stop - i));
                i = stop;
            }
            if (i < text.size() && text[i] == ',') {
                value += text[i++];
                continue;
            }
            break;
        }
        f(name, std::move(value));
    }
    return true;
}

// The end of the parameters: the first ":" outside quotes.
size_t ValueColon(std::string_view text, size_t from) {
    bool quoted = false;
    for (size_t i = from; i < text.size(); ++i) {
        if (text[i] == '"') quoted = !quoted;
        if (text[i] == ':' && !quoted) return i;
    }
    return std::string_view::npos;
}

bool EqualsUpper(std::string_view name, std::string_view upper) {
    return name.size() == upper.size() &&
           std::equal(name.begin(), name.end(), upper.begin(), [](char a, char b) {
               return (a >= 'a' && a <= 'z' ? static_cast<char>(a - 'a' + 'A') : a) == b;
           });
}

// The logical lines of text[from, n): lines that begin with something other than a blank (a
// continuation) or a line end (an empty line).
size_t LineCount(const char* text, size_t from, size_t n) {
    size_t count = 0;
    for (size_t i = from; i < n; ++i) {
        const bool starts = i == from || text[i - 1] == '\r' || text[i - 1] == '\n';
        const char c = text[i];
        if (starts && c != ' ' && c != '\t' && c != '\r' && c != '\n') ++count;
    }
    return count;
}

// How many properties and child components a component holds.
struct ComponentSize {
    size_t properties = 0;
    size_t children = 0;
};

// name *(";" param) ":" value, parsed in place: the name and parameter names become upper case.
bool ParseContentLine(char* line, size_t size, int number, IcsProperty& p, std::string& error) {
    const std::string_view text(line, size);
    size_t i = 0;
    while (i < size && NameChar(line[i])) ++i;
    if (i == 0) {
        error = "a line that is no property: \"" + Excerpt(text) + "\"";
        return false;
    }
    UpperInPlace(line, line + i);
    p.name = text.substr(0, i);
    p.line = number;
    const size_t colon = ValueColon(text, i);
    if (colon == std::string_view::npos) {
        error = "no \":\" after the name " + Excerpt(p.name);
        return false;
    }
    p.params = text.substr(i, colon - i);
    if (!p.params.empty()) {
        bool ok = ForEachParam(p.params, [&](std::string_view name, const std::string&) {
            char* at = line + (name.data() - text.data());
            UpperInPlace(at, at + name.size());
        });
        if (!ok) {
            error = "a malformed parameter of " + Excerpt(p.name);
            return false;
        }
    }
    p.value = text.substr(colon + 1);
    return true;
}

}  // namespace

// --- Content lines ---

std::string EscapeIcsText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
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
    out.reserve(text.size());
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
    out.reserve(line.size() + line.size() / 37 + 2);
    size_t width = 0;  // octets on the current physical line
    for (size_t i = 0; i < line.size();) {
        size_t n = 1;  // the whole UTF-8 sequence moves together
        while (i + n < line.size() && (static_cast<unsigned char>(line[i + n]) & 0xC0) == 0x80) ++n;
        if (width + n > 75) {
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

std::string PrintableText(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c == '\t' || c == '\r' || c == '\n') {
            out += ' ';
        } else if (c < 0x20 || c == 0x7F) {
            // dropped
        } else if (c == 0xC2 && i + 1 < utf8.size() &&
                   static_cast<unsigned char>(utf8[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(utf8[i + 1]) <= 0x9F) {
            ++i;  // a C1 control, U+0080..U+009F
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::optional<std::string> IcsProperty::Param(std::string_view wanted) const {
    std::optional<std::string> found;
    ForEachParam(params, [&](std::string_view name, std::string value) {
        if (!found && name == wanted) found = std::move(value);
    });
    return found;
}

const IcsProperty* IcsComponent::Find(std::string_view wanted) const {
    for (const IcsProperty& p : properties) {
        if (p.name == wanted) return &p;
    }
    return nullptr;
}

IcsDocument ParseIcs(std::string_view text) {
    return ParseIcs(std::vector<std::uint8_t>(text.begin(), text.end()));
}

IcsDocument ParseIcs(std::vector<std::uint8_t> bytes) {
    IcsDocument doc;
    doc.text = std::move(bytes);
    char* const t = reinterpret_cast<char*>(doc.text.data());
    const size_t n = doc.text.size();
    auto fail = [&](int line, std::string message) {
        doc.components.clear();
        doc.calendars.clear();
        doc.errorLine = line;
        doc.error = std::move(message);
        return std::move(doc);
    };

    // Unfold in place: each logical line is moved down to the write position w, its
    // continuations appended without their leading blank. Nothing moves up, so the text never
    // grows and each line's place is final once the next one starts.
    struct Span {
        size_t start, end;
        int line;
    };
    std::vector<Span> lines;
    size_t r = n >= 3 && std::memcmp(t, "\xEF\xBB\xBF", 3) == 0 ? 3 : 0;
    lines.reserve(LineCount(t, r, n));
    size_t w = 0;
    for (int physical = 1; r < n; ++physical) {
        const size_t start = r;
        while (r < n && t[r] != '\r' && t[r] != '\n') ++r;
        const size_t end = r;
        if (r < n && t[r] == '\r') {
            ++r;
            if (r < n && t[r] == '\n') ++r;
        } else if (r < n) {
            ++r;
        }
        if (end == start) continue;
        if (t[start] == ' ' || t[start] == '\t') {
            if (lines.empty())
                return fail(physical, "a continuation line with nothing to continue");
            std::memmove(t + w, t + start + 1, end - start - 1);
            w += end - start - 1;
            lines.back().end = w;
        } else {
            std::memmove(t + w, t + start, end - start);
            lines.push_back({w, w + (end - start), physical});
            w += end - start;
        }
    }
    if (lines.empty()) return fail(1, "the file is empty");

    // Each list is made once at its final size: grown step by step, the lists of a file of
    // short lines held two to three times their records at once.
    std::vector<ComponentSize> sizes;
    {
        std::vector<size_t> nesting;
        for (const Span& span : lines) {
            const std::string_view line(t + span.start, span.end - span.start);
            size_t i = 0;
            while (i < line.size() && NameChar(line[i])) ++i;
            const std::string_view name = line.substr(0, i);
            if (EqualsUpper(name, "BEGIN")) {
                if (!nesting.empty()) ++sizes[nesting.back()].children;
                nesting.push_back(sizes.size());
                sizes.emplace_back();
            } else if (EqualsUpper(name, "END")) {
                if (!nesting.empty()) nesting.pop_back();
            } else if (!nesting.empty()) {
                ++sizes[nesting.back()].properties;
            }
        }
    }
    doc.components.reserve(sizes.size());

    std::vector<int> open;  // the components still open, innermost last
    for (const Span& span : lines) {
        IcsProperty p;
        std::string error;
        if (!ParseContentLine(t + span.start, span.end - span.start, span.line, p, error)) {
            return fail(span.line, error);
        }
        if (p.name == "BEGIN" || p.name == "END") {
            const std::string_view trimmed = Trim(p.value);
            char* at = t + (trimmed.data() - t);
            UpperInPlace(at, at + trimmed.size());
            const std::string_view name = trimmed;
            if (name.empty()) return fail(span.line, std::string(p.name) + " names no component");
            if (p.name == "BEGIN") {
                if (open.empty() && name != "VCALENDAR") {
                    return fail(span.line, "BEGIN:" + Excerpt(name) + " outside a VCALENDAR");
                }
                const int index = static_cast<int>(doc.components.size());
                IcsComponent c;
                c.name = name;
                c.line = span.line;
                c.parent = open.empty() ? -1 : open.back();
                if (static_cast<size_t>(index) < sizes.size()) {
                    c.properties.reserve(sizes[static_cast<size_t>(index)].properties);
                    c.children.reserve(sizes[static_cast<size_t>(index)].children);
                }
                doc.components.push_back(std::move(c));
                if (open.empty()) {
                    doc.calendars.push_back(index);
                } else {
                    doc.components[static_cast<size_t>(open.back())].children.push_back(index);
                }
                open.push_back(index);
            } else {
                if (open.empty())
                    return fail(span.line, "END:" + Excerpt(name) + " with nothing open");
                const IcsComponent& top = doc.at(open.back());
                if (top.name != name) {
                    return fail(span.line, "END:" + Excerpt(name) +
                                               " closes BEGIN:" + Excerpt(top.name) + " of line " +
                                               std::to_string(top.line));
                }
                open.pop_back();
            }
        } else {
            if (open.empty()) return fail(span.line, Excerpt(p.name) + " outside a VCALENDAR");
            doc.components[static_cast<size_t>(open.back())].properties.push_back(p);
        }
    }
    if (!open.empty()) {
        const IcsComponent& top = doc.at(open.back());
        return fail(top.line, "BEGIN:" + Excerpt(top.name) + " is never closed");
    }
    return doc;
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
    line("PRODID:-//" TESSALY_VENDOR "//" TESSALY_PRODUCT "//EN");
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
            if (const std::string rule = WriteRecurrenceRule(r); !rule.empty())
                line("RRULE:" + rule);
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

constexpr std::int64_t kDay = 86400;
constexpr std::string_view kTitleCut = "\xE2\x80\xA6";  // an ellipsis

std::int64_t DayNumber(CivilDate d) {
    return DaysFromCivil(d.year, d.month, d.day);
}

std::int64_t LastImportDay() {
    return DaysFromCivil(2099, 12, 31);  // the editor's last year
}

std::string IsoDate(std::int64_t day) {
    const CivilDate c = CivilFromDays(day);
    const std::string v = DateValue(c);
    return v.substr(0, 4) + "-" + v.substr(4, 2) + "-" + v.substr(6, 2);
}

std::string Quoted(std::string_view shown) {
    return "\"" + std::string(shown) + "\"";
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

constexpr std::int64_t kMostDurationSeconds = std::int64_t{10000} * 366 * kDay;

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
        std::int64_t amount = 0;
        while (n < v.size() && v[n] >= '0' && v[n] <= '9') {
            if (++n > 7) return std::nullopt;  // no real duration needs more digits
            amount = amount * 10 + (v[n - 1] - '0');
        }
        if (n == 0 || n == v.size()) return std::nullopt;
        const char unit = v[n];
        v.remove_prefix(n + 1);
        if (!inTime && unit == 'W') {
            total += amount * 7 * kDay;
        } else if (!inTime && unit == 'D') {
            total += amount * kDay;
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
        // Parts may repeat ("P1W1W…"): past ten thousand years nothing is meant, and the sum
        // stays far from overflowing.
        if (total > kMostDurationSeconds) return std::nullopt;
    }
    if (!any) return std::nullopt;
    return sign * total;
}

// A UTC offset: +hhmm or +hhmmss.
std::optional<int> ParseUtcOffset(std::string_view v) {
    v = Trim(v);
    if (v.size() != 5 && v.size() != 7) return std::nullopt;
    if (v[0] != '+' && v[0] != '-') return std::nullopt;
    int digits[6] = {};
    for (size_t i = 1; i < v.size(); ++i) {
        if (v[i] < '0' || v[i] > '9') return std::nullopt;
        digits[i - 1] = v[i] - '0';
    }
    const int seconds = (digits[0] * 10 + digits[1]) * 3600 + (digits[2] * 10 + digits[3]) * 60 +
                        digits[4] * 10 + digits[5];
    return v[0] == '-' ? -seconds : seconds;
}

// What clock a time value is on.
struct Clock {
    enum Kind { kDate, kFloating, kUtc, kZone, kUnknownZone } kind = kFloating;
    const ZoneRules* zone = nullptr;
    std::string tzid;
};

struct When {
    IcsTime time;
    Clock clock;
};

// One date of an event: on its own clock and on this computer's.
struct Occurrence {
    WallSeconds own = 0;
    WallSeconds local = 0;
};

// A date a series leaves out (EXDATE, or a date another event moves or cancels).
struct Exclusion {
    WallSeconds own = 0;
    WallSeconds local = 0;
    bool dateOnly = false;
};

// What the event's date properties say.
struct EventDates {
    When start;
    std::vector<RepeatRule> rules;
    std::vector<When> extra;  // RDATE
    std::vector<Exclusion> exclusions;
    std::optional<std::int64_t> length;  // from DTEND or DURATION
};

// A zone defined in the file: its STANDARD and DAYLIGHT parts give the instants at which the
// offset changes, each part from its start, by its rule and its extra dates. A real zone
// changes a few times a year at most, but a rule may name a change every day of two centuries:
// a definition that needs more than `budget` changes is not used (its TZID is then looked up
// on this computer), and one that is used takes its changes off the budget.
std::unique_ptr<ZoneRules> ZoneFromDefinition(const IcsDocument& doc, const IcsComponent& zone,
                                              std::size_t& budget) {
    std::vector<std::pair<UtcSeconds, int>> changes;
    bool tooMany = false;
    std::optional<std::pair<UtcSeconds, int>> earliest;  // (instant, offset before it)
    const WallSeconds from = DaysFromCivil(1900, 1, 1) * kDay;
    const WallSeconds last = DaysFromCivil(2100, 12, 31) * kDay;
    for (int index : zone.children) {
        const IcsComponent& part = doc.at(index);
        if (part.name != "STANDARD" && part.name != "DAYLIGHT") continue;
        const IcsProperty* start = part.Find("DTSTART");
        const IcsProperty* before = part.Find("TZOFFSETFROM");
        const IcsProperty* after = part.Find("TZOFFSETTO");
        if (!start || !before || !after) return nullptr;
        const std::optional<IcsTime> onset = ParseIcsTime(Trim(start->value));
        const std::optional<int> offsetBefore = ParseUtcOffset(before->value);
        const std::optional<int> offsetAfter = ParseUtcOffset(after->value);
        if (!onset || !offsetBefore || !offsetAfter) return nullptr;
        auto add = [&](WallSeconds wall) {
            if (changes.size() >= budget) {
                tooMany = true;
                return false;
            }
            const UtcSeconds at = wall - *offsetBefore;
            changes.emplace_back(at, *offsetAfter);
            if (!earliest || at < earliest->first) earliest = {at, *offsetBefore};
            return true;
        };
        add(onset->Wall());
        for (const IcsProperty& p : part.properties) {
            if (tooMany) return nullptr;
            if (p.name == "RRULE") {
                const RuleReading rule = ReadRecurrenceRule(Trim(p.value));
                if (!rule.ok) return nullptr;
                std::optional<WallSeconds> until;
                if (rule.rule.until) {
                    until = rule.rule.until->Wall() + (rule.rule.until->utc ? *offsetBefore : 0) +
                            (rule.rule.until->hasTime ? 0 : kDay - 1);
                }
                ExpandRule(rule.rule, *onset, until, std::max(from, onset->Wall()), last, add);
            } else if (p.name == "RDATE") {
                for (std::string_view v : Split(p.value, ',')) {
                    if (const std::optional<IcsTime> t =
                            ParseIcsTime(Trim(v.substr(0, v.find('/')))))
                        add(t->Wall());
                }
            }
        }
    }
    if (tooMany || !earliest) return nullptr;
    budget -= changes.size();
    return std::make_unique<TransitionZone>(earliest->second, std::move(changes));
}

class ImportContext {
  public:
    ImportContext(const IcsDocument& doc, const ImportOptions& options)
        : doc_(doc), options_(options) {
        if (!options.zones) ownZones_ = MakeSystemZones();
        for (int calendar : doc.calendars) {
            for (int index : doc.at(calendar).children) {
                const IcsComponent& c = doc.at(index);
                if (c.name != "VTIMEZONE") continue;
                if (const IcsProperty* id = c.Find("TZID"))
                    definitions_.emplace(std::string(Trim(id->value)), index);
            }
        }
    }

    const ImportOptions& options() const { return options_; }
    SystemZones& zones() const { return options_.zones ? *options_.zones : *ownZones_; }

    // The file's own definition first, then the system's zone of that name; null for a zone
    // nobody knows.
    const ZoneRules* FindZone(const std::string& tzid) {
        if (const auto known = resolved_.find(tzid); known != resolved_.end()) return known->second;
        const ZoneRules* found = nullptr;
        if (const auto def = definitions_.find(tzid); def != definitions_.end()) {
            if (std::unique_ptr<ZoneRules> zone =
                    ZoneFromDefinition(doc_, doc_.at(def->second), zoneChangesLeft_)) {
                found = zone.get();
                owned_.push_back(std::move(zone));
            }
        }
        if (!found) found = zones().Find(tzid);
        resolved_.emplace(tzid, found);
        return found;
    }

    // The clock of a DATE or DATE-TIME property's value.
    Clock ClockOf(const IcsProperty& p, const IcsTime& t) {
        Clock c;
        if (!t.hasTime) {
            c.kind = Clock::kDate;
        } else if (t.utc) {
            c.kind = Clock::kUtc;
        } else if (const std::optional<std::string> tzid = p.Param("TZID")) {
            c.tzid = std::string(Trim(*tzid));
            c.zone = FindZone(c.tzid);
            c.kind = c.zone ? Clock::kZone : Clock::kUnknownZone;
        }
        return c;
    }

    // A time on a clock as this computer's clock shows it. A floating time, and a time of a
    // zone nobody knows, is taken as written.
    WallSeconds ToLocal(const Clock& c, WallSeconds wall) const {
        switch (c.kind) {
            case Clock::kUtc:
                return WallFromUtc(zones().Local(), wall);
            case Clock::kZone:
                return WallFromUtc(zones().Local(), UtcFromWall(*c.zone, wall));
            default:
                return wall;
        }
    }

    // A rule's UNTIL on the clock of the event's start.
    std::optional<WallSeconds> UntilOn(const RepeatRule& rule, const Clock& c) const {
        if (!rule.until) return std::nullopt;
        const IcsTime& u = *rule.until;
        if (!u.hasTime) return u.Wall() + kDay - 1;
        if (!u.utc) return u.Wall();
        switch (c.kind) {
            case Clock::kUtc:
                return u.Wall();
            case Clock::kZone:
                return WallFromUtc(*c.zone, u.Wall());
            default:
                return WallFromUtc(zones().Local(), u.Wall());
        }
    }

  private:
    const IcsDocument& doc_;
    const ImportOptions& options_;
    std::unique_ptr<SystemZones> ownZones_;
    std::map<std::string, int, std::less<>> definitions_;  // TZID -> VTIMEZONE
    // The offset changes the file's own zones may hold together: plenty for every zone a real
    // calendar defines, and memory of the order of the file's size whatever its rules say.
    std::size_t zoneChangesLeft_ = 8192 + doc_.text.size() / 4;
    std::vector<std::unique_ptr<ZoneRules>> owned_;                  // zones the file defines
    std::map<std::string, const ZoneRules*, std::less<>> resolved_;  // TZID -> zone or null
};

// An event's title as the data file will hold it.
struct Title {
    std::string stored;  // Windows-1252, at most 48 bytes
    std::string shown;   // UTF-8, at most 60 characters and an ellipsis, for messages
    std::string head;    // the first 200 characters, ASCII in lower case, to look for words in
    bool lossy = false;  // a character became "?"
    bool cut = false;    // more than 48 characters
};

// Reads an escaped TEXT value once, from start to end, keeping only what the title needs:
// however long the value, the work is one pass and the memory a few hundred bytes.
Title ReadTitle(std::string_view escaped) {
    Title t;
    size_t storedChars = 0, shownChars = 0, headChars = 0;
    size_t pendingBlanks = 0;  // blanks wait until something follows them
    bool started = false, shownCut = false;
    auto put = [&](char32_t c, std::string_view utf8) {
        if (c == ' ') {
            if (started) ++pendingBlanks;
            return;
        }
        started = true;
        if (t.cut && shownCut && headChars >= 200) return;  // nothing more to learn
        const size_t units = pendingBlanks + 1;
        std::string unit(std::min<size_t>(pendingBlanks, 256), ' ');
        unit += utf8;
        pendingBlanks = 0;
        if (storedChars + units <= kDescriptionBytes) {
            const std::string cp = Utf8ToCp1252(unit);
            if (c != '?' && !cp.empty() && cp.back() == '?') t.lossy = true;
            t.stored += cp;
            storedChars += units;
        } else {
            t.cut = true;
        }
        if (shownChars + units <= 60) {
            t.shown += unit;
            shownChars += units;
        } else if (!shownCut) {
            t.shown += kTitleCut;
            shownCut = true;
        }
        if (headChars < 200) {
            for (char& ch : unit) {
                if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
            }
            t.head += unit;
            headChars += units;
        }
    };
    for (size_t i = 0; i < escaped.size();) {
        auto b = static_cast<unsigned char>(escaped[i]);
        if (b == '\\' && i + 1 < escaped.size()) {
            const char next = escaped[i + 1];
            i += 2;
            if (next == 'n' || next == 'N') {
                put(' ', " ");
                continue;
            }
            b = static_cast<unsigned char>(next);
            if (b < 0x80) {
                if (b >= 0x20 && b != 0x7F) put(b, std::string_view(&escaped[i - 1], 1));
                continue;
            }
            --i;  // an escaped non-ASCII byte reads as itself
        }
        const int extra = b < 0x80             ? 0
                          : (b & 0xE0) == 0xC0 ? 1
                          : (b & 0xF0) == 0xE0 ? 2
                          : (b & 0xF8) == 0xF0 ? 3
                                               : -1;
        bool valid = extra >= 0 && i + static_cast<size_t>(extra) < escaped.size();
        char32_t c = extra > 0 ? b & (0x3F >> extra) : b;
        for (int k = 1; valid && k <= extra; ++k) {
            const auto cont = static_cast<unsigned char>(escaped[i + static_cast<size_t>(k)]);
            valid = (cont & 0xC0) == 0x80;
            c = (c << 6) | (cont & 0x3F);
        }
        if (!valid) {
            put(0xFFFD, "\xEF\xBF\xBD");  // a broken sequence: one unknown character
            ++i;
            continue;
        }
        const std::string_view utf8 = escaped.substr(i, static_cast<size_t>(extra) + 1);
        i += static_cast<size_t>(extra) + 1;
        if (c == '\t' || c == '\r' || c == '\n') {
            put(' ', " ");
        } else if (c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F)) {
            continue;  // control characters never reach a reminder
        } else {
            put(c, utf8);
        }
    }
    return t;
}

// An alarm as it matters for notice: when it goes off.
struct Alarm {
    bool absolute = false;
    WallSeconds localAt = 0;  // absolute: this computer's clock
    std::int64_t offset = 0;  // relative: seconds from the start or the end
    bool fromEnd = false;
};

// The result of mapping one event.
struct Mapping {
    bool malformed = false;
    int line = 0;  // where the malformed value is
    bool mapped = false;
    std::string reason;
    std::vector<std::string> notes;
    Reminder reminder;
    Title title;
};

// Reading the event's date properties: DTSTART, RRULE, RDATE, EXDATE, DTEND and DURATION.
// Values that are no dates make the file malformed.
bool ReadEventDates(ImportContext& ctx, const IcsComponent& event, bool single, EventDates& d,
                    Mapping& m) {
    auto malformed = [&](int line, std::string why) {
        m.malformed = true;
        m.line = line;
        m.reason = std::move(why);
        return false;
    };
    const IcsProperty* start = event.Find("DTSTART");
    const std::optional<IcsTime> t = ParseIcsTime(Trim(start->value));
    if (!t) return malformed(start->line, "DTSTART \"" + Excerpt(start->value) + "\" is no date");
    if (start->Param("VALUE") == "DATE" && t->hasTime) {
        return malformed(start->line, "DTSTART is marked as a date but holds a time");
    }
    d.start = {*t, ctx.ClockOf(*start, *t)};

    for (const IcsProperty& p : event.properties) {
        const bool rrule = p.name == "RRULE", rdate = p.name == "RDATE",
                   exdate = p.name == "EXDATE";
        if (!rrule && !rdate && !exdate) continue;
        if (rrule) {
            if (Trim(p.value).empty()) continue;  // an empty rule repeats nothing
            const RuleReading rule = ReadRecurrenceRule(Trim(p.value));
            if (!rule.ok) return malformed(p.line, rule.error);
            if (!single) d.rules.push_back(rule.rule);
            continue;
        }
        for (std::string_view v : Split(p.value, ',')) {
            v = Trim(v);
            if (v.empty()) continue;
            const std::string_view value =
                rdate ? v.substr(0, v.find('/')) : v;  // a PERIOD's start
            const std::optional<IcsTime> at = ParseIcsTime(value);
            if (!at)
                return malformed(p.line, p.name == "RDATE"
                                             ? "RDATE \"" + Excerpt(v) + "\" is no date"
                                             : "EXDATE \"" + Excerpt(v) + "\" is no date");
            const Clock clock = ctx.ClockOf(p, *at);
            if (single) continue;
            if (rdate) {
                d.extra.push_back({*at, clock});
            } else {
                d.exclusions.push_back({at->Wall(), ctx.ToLocal(clock, at->Wall()), !at->hasTime});
            }
        }
    }
    if (const IcsProperty* end = event.Find("DTEND")) {
        if (const std::optional<IcsTime> e = ParseIcsTime(Trim(end->value))) {
            const WallSeconds endLocal = ctx.ToLocal(ctx.ClockOf(*end, *e), e->Wall());
            d.length = std::max<std::int64_t>(0, endLocal - ctx.ToLocal(d.start.clock, t->Wall()));
        }
    } else if (const IcsProperty* duration = event.Find("DURATION")) {
        d.length = ParseDuration(Trim(duration->value));
    }
    return true;
}

// Alarms that people set: not the ones that do nothing (ACTION:NONE), not the placeholders
// some programs write into every event (a default alarm, or a fixed time in 1976).
std::vector<Alarm> ReadAlarms(ImportContext& ctx, const IcsDocument& doc, const IcsComponent& event,
                              std::vector<std::string>& notes) {
    std::vector<Alarm> alarms;
    for (int index : event.children) {
        const IcsComponent& alarm = doc.at(index);
        if (alarm.name != "VALARM") continue;
        if (const IcsProperty* action = alarm.Find("ACTION");
            action && Upper(Trim(action->value)) == "NONE")
            continue;
        bool placeholder = false;
        for (std::string_view name : {"X-APPLE-DEFAULT-ALARM", "X-APPLE-LOCAL-DEFAULT-ALARM"}) {
            if (const IcsProperty* p = alarm.Find(name); p && Upper(Trim(p->value)) == "TRUE")
                placeholder = true;
        }
        const IcsProperty* trigger = alarm.Find("TRIGGER");
        if (placeholder || !trigger) continue;
        const std::string_view value = Trim(trigger->value);
        if (const std::optional<IcsTime> at = ParseIcsTime(value)) {
            Clock c = ctx.ClockOf(*trigger, *at);
            alarms.push_back({true, ctx.ToLocal(c, at->Wall()), 0, false});
        } else if (const std::optional<std::int64_t> offset = ParseDuration(value)) {
            alarms.push_back({false, 0, *offset, trigger->Param("RELATED") == "END"});
        } else {
            notes.push_back("an alarm whose time cannot be read (\"" + Excerpt(value) +
                            "\") is left out");
        }
    }
    return alarms;
}

// The dates of the event from fromDay to toDay on this computer's clock, in order, at most
// `want` of them. followable turns false for a rule that cannot be followed.
std::vector<Occurrence> Occurrences(const ImportContext& ctx, const EventDates& d,
                                    std::int64_t fromDay, std::int64_t toDay, size_t want,
                                    bool& followable) {
    std::vector<Occurrence> out;
    auto inRange = [&](WallSeconds local) {
        return DayOf(local) >= fromDay && DayOf(local) <= toDay;
    };
    const bool allDay = !d.start.time.hasTime;
    auto excluded = [&](const Occurrence& o) {
        return std::any_of(d.exclusions.begin(), d.exclusions.end(), [&](const Exclusion& x) {
            return allDay || x.dateOnly ? DayOf(x.own) == DayOf(o.own) : x.local == o.local;
        });
    };
    // Only the earliest `want` are kept after each rule, so an event of many rules costs the
    // dates asked for, not a full window of dates for every rule.
    auto keepEarliest = [&] {
        std::sort(out.begin(), out.end(),
                  [](const Occurrence& a, const Occurrence& b) { return a.local < b.local; });
        out.erase(std::unique(
                      out.begin(), out.end(),
                      [](const Occurrence& a, const Occurrence& b) { return a.local == b.local; }),
                  out.end());
        if (out.size() > want) out.resize(want);
    };
    const Occurrence first{d.start.time.Wall(), ctx.ToLocal(d.start.clock, d.start.time.Wall())};
    if (inRange(first.local) && !excluded(first)) out.push_back(first);
    for (const When& e : d.extra) {
        const Occurrence o{e.time.Wall(), ctx.ToLocal(e.clock, e.time.Wall())};
        if (inRange(o.local) && !excluded(o)) out.push_back(o);
    }
    keepEarliest();
    for (const RepeatRule& rule : d.rules) {
        size_t taken = 0;
        followable &=
            ExpandRule(rule, d.start.time, ctx.UntilOn(rule, d.start.clock), (fromDay - 2) * kDay,
                       (toDay + 3) * kDay - 1, [&](WallSeconds own) {
                           const Occurrence o{own, ctx.ToLocal(d.start.clock, own)};
                           if (DayOf(o.local) < fromDay) return true;
                           if (DayOf(o.local) > toDay) return false;
                           if (excluded(o)) return true;
                           out.push_back(o);
                           return ++taken < want;
                       });
        keepEarliest();
    }
    return out;
}

// Why a rule's dates are not a reminder's: the first thing about its shape that no frequency
// of the form can keep.
std::string ShapeReason(const RepeatRule& rule, const IcsTime& start) {
    const bool monthly = rule.unit == RepeatUnit::kMonthly,
               yearly = rule.unit == RepeatUnit::kYearly;
    if (rule.unit == RepeatUnit::kDaily) {
        return rule.interval == 1 ? "it repeats every day"
                                  : "it repeats every " + std::to_string(rule.interval) + " days";
    }
    if (rule.byDay.size() > 1) return "it falls on several weekdays";
    if (rule.byMonthDay.size() > 1) return "it falls on several days of the month";
    if (rule.byMonth.size() > 1) return "it falls in several months of the year";
    if (rule.byHour.size() > 1 || rule.byMinute.size() > 1 || rule.bySecond.size() > 1) {
        return "it repeats several times a day";
    }
    if (!rule.bySetPos.empty()) return "it picks its days by their position (BYSETPOS)";
    if (!rule.byYearDay.empty()) return "it counts days of the year";
    if (rule.byDay.size() == 1 && (monthly || yearly)) {
        const auto [n, w] = rule.byDay[0];
        const std::string day(WeekdayName(w));
        if (yearly && rule.byMonth.empty() && n != 0) return "it counts weekdays of the whole year";
        if (n == 0) return "it falls on every " + day + " of the month";
        if (n == -1) return "it falls on the last " + day + " of the month";
        if (n == 5) return "it falls on the fifth " + day + " of the month";
        if (n < 0) return "it counts weekdays from the end of the month";
    }
    if (rule.byMonthDay.size() == 1 && rule.byMonthDay[0] < 0)
        return "it counts days from the end of the month";
    const int day = rule.byMonthDay.empty() ? start.date.day : rule.byMonthDay[0];
    const int month = rule.byMonth.empty() ? start.date.month : rule.byMonth[0];
    if (monthly && day >= 29)
        return "it falls on day " + std::to_string(day) + ", which some months lack";
    if (yearly && month == 2 && day == 29) return "it falls on 29 February";
    if (yearly && rule.interval * 12 > 255)
        return "it repeats every " + std::to_string(rule.interval) + " years";
    if (rule.interval > 255) return "it repeats at intervals longer than 255";
    return "";
}

// What the dates of an event come to.
struct DatePlan {
    enum Outcome { kPast, kUnfollowable, kKept, kNotKept } outcome = kPast;
    Occurrence first;
    Schedule schedule;
    std::string why;  // kNotKept: why no frequency keeps the dates
};

DatePlan PlanDates(const ImportContext& ctx, const EventDates& d, DateKey today) {
    DatePlan plan;
    const CivilDate t = SplitDateKey(today);
    const std::int64_t todayDay = DaysFromCivil(t.year, t.month, t.day), lastDay = LastImportDay();
    bool followable = true;
    const std::vector<Occurrence> next = Occurrences(ctx, d, todayDay, lastDay, 1, followable);
    if (!followable) {
        plan.outcome = DatePlan::kUnfollowable;
        return plan;
    }
    if (next.empty()) return plan;
    plan.first = next[0];
    const std::int64_t firstDay = DayOf(plan.first.local);

    // Every date of the next ten years, and as far as any extra or left-out date reaches, is
    // compared with the dates a reminder's own steps give; at least four when there are so many.
    std::int64_t window = std::min(lastDay, firstDay + 3653);
    for (const When& e : d.extra)
        window = std::max(window, std::min(lastDay, DayOf(ctx.ToLocal(e.clock, e.time.Wall()))));
    for (const Exclusion& x : d.exclusions)
        window = std::max(window, std::min(lastDay, DayOf(x.local)));
    std::vector<Occurrence> dates = Occurrences(ctx, d, firstDay, window, 2000, followable);
    if (dates.size() < 4 && window < lastDay)
        dates = Occurrences(ctx, d, firstDay, lastDay, 4, followable);
    const bool more =
        !Occurrences(ctx, d, DayOf(dates.back().local) + 1, lastDay, 1, followable).empty();

    const int clockTime = SecondOfDay(plan.first.local);
    const bool timeMoves =
        d.start.time.hasTime && std::any_of(dates.begin(), dates.end(), [&](const Occurrence& o) {
            return SecondOfDay(o.local) != clockTime;
        });
    std::vector<DateKey> keys;
    for (const Occurrence& o : dates) {
        const CivilDate c = CivilFromDays(DayOf(o.local));
        keys.push_back(MakeDateKey(c.year, c.month, c.day));
    }
    const std::optional<Schedule> fit = timeMoves ? std::nullopt : FitSchedule(keys, !more);
    if (fit) {
        plan.outcome = DatePlan::kKept;
        plan.schedule = *fit;
        return plan;
    }
    plan.outcome = DatePlan::kNotKept;
    const RepeatRule* rule = d.rules.empty() ? nullptr : &d.rules[0];
    if (d.rules.size() > 1) {
        plan.why = "it has several repeat rules";
    } else if (std::any_of(d.extra.begin(), d.extra.end(), [&](const When& e) {
                   return DayOf(ctx.ToLocal(e.clock, e.time.Wall())) >= firstDay;
               })) {
        plan.why = "it has extra dates (RDATE) besides its rule";
    } else if (std::any_of(d.exclusions.begin(), d.exclusions.end(),
                           [&](const Exclusion& x) { return DayOf(x.local) >= firstDay; })) {
        plan.why = "some of its dates still to come are left out or moved";
    } else if (!more && dates.size() > 1) {
        plan.why = rule && rule->count ? "it ends after " + std::to_string(*rule->count) +
                                             (*rule->count == 1 ? " time" : " times")
                   : rule && rule->until
                       ? "it ends on " + IsoDate(DayNumber(rule->until->date))
                       : "it has " + std::to_string(dates.size()) + " dates still to come";
    } else if (timeMoves) {
        plan.why =
            "its time here shifts when summer time starts or ends in " +
            (d.start.clock.kind == Clock::kUtc ? std::string("UTC") : Quoted(d.start.clock.tzid));
    } else if (rule) {
        plan.why = ShapeReason(*rule, d.start.time);
        if (plan.why.empty() && DayOf(plan.first.own) != DayOf(plan.first.local)) {
            plan.why = "on this computer's clock its dates move to another day";
        }
    }
    if (plan.why.empty()) plan.why = "its dates follow no rule a reminder can keep";
    return plan;
}

std::string CategoryKind(std::string_view category) {
    std::string c(Trim(category));
    for (char& ch : c) {
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
    }
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

// The kind: a category naming one, else a yearly all-day event that says what it is, else by
// whether it has a time. An all-day event in a category that needs a time is a reminder.
std::string ChooseKind(const IcsComponent& event, const Title& title, bool timed, bool annual,
                       std::vector<std::string>& notes) {
    std::string kind;
    for (const IcsProperty& p : event.properties) {
        if (p.name != "CATEGORIES" || !kind.empty()) continue;
        for (const std::string& c : SplitTextList(p.value)) {
            kind = CategoryKind(UnescapeIcsText(c));
            if (!kind.empty()) break;
        }
    }
    if (!timed && (kind == "appointment" || kind == "meeting")) {
        notes.push_back("it lasts all day, so it becomes a reminder: an " +
                        std::string(kind == "meeting" ? "meeting" : "appointment") +
                        " needs a time");
        kind = "reminder";
    }
    if (kind.empty() && annual && !timed) {
        if (title.head.find("birthday") != std::string::npos) {
            kind = "birthday";
        } else if (title.head.find("anniversary") != std::string::npos) {
            kind = "anniversary";
        }
    }
    if (kind.empty()) kind = timed ? "appointment" : "reminder";
    return kind;
}

// Notice: the earliest alarm before the date, as whole days before it, at most 30. An alarm at
// a fixed time belongs to the event's own first date only, and one more than a year before
// it is no alarm anyone set.
int NoticeDays(const std::vector<Alarm>& alarms, const EventDates& d, const Occurrence& first,
               WallSeconds startLocal) {
    const std::int64_t firstDay = DayOf(first.local);
    const std::int64_t length = d.length.value_or(d.start.time.hasTime ? 0 : kDay);
    int notify = 0;
    for (const Alarm& a : alarms) {
        std::int64_t fireDay;
        if (a.absolute) {
            if (firstDay != DayOf(startLocal)) continue;
            fireDay = DayOf(a.localAt);
        } else {
            fireDay = DayOf(first.local + (a.fromEnd ? length : 0) + a.offset);
        }
        const std::int64_t before = firstDay - fireDay;
        if (before < 0 || (a.absolute && before > 366)) continue;
        notify = std::max(notify, static_cast<int>(std::min<std::int64_t>(before, 30)));
    }
    return notify;
}

std::string WithNextOnly(const std::string& why, std::int64_t day) {
    return why + "; tsy import --next-only imports its next date, " + IsoDate(day) + ", once";
}

// Why the planned dates leave nothing to import, or nothing. A series the reminder cannot keep
// becomes its next date alone when the user asked for that (--next-only), and says so.
std::optional<std::string> DatesToSkip(ImportContext& ctx, const EventDates& dates, DatePlan& plan,
                                       std::vector<std::string>& notes) {
    const bool repeats = !dates.rules.empty() || !dates.extra.empty();
    switch (plan.outcome) {
        case DatePlan::kPast:
            if (DayOf(ctx.ToLocal(dates.start.clock, dates.start.time.Wall())) > LastImportDay()) {
                return "it lies after 2099, later than a reminder can be dated";
            }
            return repeats ? "its last date has passed, so there is nothing to remind of"
                           : "it lies in the past, so there is nothing to remind of";
        case DatePlan::kUnfollowable:
            return "it repeats by the hour, minute or second or by week numbers, which tsy cannot "
                   "follow; add it with tsy add";
        case DatePlan::kNotKept:
            if (!ctx.options().nextOnly) return WithNextOnly(plan.why, DayOf(plan.first.local));
            notes.push_back(plan.why + ", which a reminder cannot keep; only its next date, " +
                            IsoDate(DayOf(plan.first.local)) + ", is imported");
            plan.schedule = {kOneTime, 1};
            return std::nullopt;
        case DatePlan::kKept:
            break;
    }
    return std::nullopt;
}

// The year of origin of a birthday or anniversary; 0 for none. A year the editor cannot keep (a
// calendar's guess such as 1700, or a typing slip) costs the year, never the birthday.
int YearOfOrigin(const IcsComponent& event, const EventDates& dates, const CivilDate& firstDate,
                 DateKey today, std::vector<std::string>& notes) {
    int year = 0;
    if (const IcsProperty* y = event.Find("X-TESSALY-YEAR")) {
        const std::string_view v = Trim(y->value);
        if (!v.empty() && v.size() <= 5 &&
            std::all_of(v.begin(), v.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            year = std::stoi(std::string(v));
        }
    } else if (dates.start.time.date.year < firstDate.year && dates.start.time.date.year != 1604) {
        // Calendars keep a birthday on its first day; 1604 stands for "year unknown".
        year = dates.start.time.date.year;
    }
    const int thisYear = SplitDateKey(today).year;
    if (year != 0 && (year < kEarliestYear || year > thisYear)) {
        notes.push_back("its year " + std::to_string(year) + " is left out (years from " +
                        std::to_string(kEarliestYear) + " to " + std::to_string(thisYear) +
                        " are kept)");
        year = 0;
    }
    return year;
}

// The form as a person would fill it in for the reminder: the editor's checks then decide.
FormInput FormFor(const std::string& kind, const Title& title, const CivilDate& firstDate,
                  bool withYear, int year, bool timed, const DatePlan& plan, int notify) {
    FormInput form;
    form.kindText = kind;
    form.description = title.stored;
    form.dateText = DateKeyText(MakeDateKey(firstDate.year, firstDate.month, firstDate.day));
    if (withYear) {
        form.timeText = year > 0 ? std::to_string(std::min(year, 32767)) : "";
    } else if (timed) {
        const int minutes = SecondOfDay(plan.first.local) / 60;
        const int hour = minutes / 60, minute = minutes % 60;
        form.timeText = StoredTimeText(hour == 0 ? 2400 + minute : hour * 100 + minute);
    }
    form.notifyText = std::to_string(notify);
    form.periodText = std::to_string(plan.schedule.period);
    form.frequency = plan.schedule.frequency;
    return form;
}

// A message box's text on one line.
std::string OnOneLine(std::string_view text) {
    std::string line;
    for (char c : text) {
        if (c == '\r') continue;
        line += c == '\n' ? ' ' : c;
    }
    return line;
}

// One event into a reminder, step by step: its title, its dates, its alarms, then the kind,
// the year and the time, and last the editor's own checks. single reads a date that another
// event moved as an event of its own, without the series' rules.
Mapping MapEvent(ImportContext& ctx, const IcsDocument& doc, const IcsComponent& event, bool single,
                 const std::vector<Exclusion>& moved) {
    Mapping m;
    auto skip = [&](std::string why) {
        m.reason = std::move(why);
        return std::move(m);
    };
    const IcsProperty* summary = event.Find("SUMMARY");
    m.title = ReadTitle(summary ? summary->value : std::string_view());
    if (!event.Find("DTSTART")) {
        return skip(
            "it has no start date; give it one in the calendar program and export it again");
    }
    EventDates dates;
    if (!ReadEventDates(ctx, event, single, dates, m)) return m;
    dates.exclusions.insert(dates.exclusions.end(), moved.begin(), moved.end());
    const std::vector<Alarm> alarms = ReadAlarms(ctx, doc, event, m.notes);

    if (m.title.stored.empty()) {
        return skip(
            "it has no summary; give it a title in the calendar program and export it again");
    }
    if (const IcsProperty* status = event.Find("STATUS");
        status && Upper(Trim(status->value)) == "CANCELLED") {
        return skip("it is cancelled in the calendar, so there is nothing to remind of");
    }
    if (dates.start.clock.kind == Clock::kUnknownZone) {
        m.notes.push_back("its time zone " + Quoted(Excerpt(dates.start.clock.tzid)) +
                          " is unknown here, so its time is taken as written");
    }

    DatePlan plan = PlanDates(ctx, dates, ctx.options().today);
    if (std::optional<std::string> why = DatesToSkip(ctx, dates, plan, m.notes)) {
        return skip(std::move(*why));
    }

    const bool timed = dates.start.time.hasTime;
    const std::string kind =
        ChooseKind(event, m.title, timed, plan.schedule.frequency == kAnnual, m.notes);
    const bool withYear = kind == "birthday" || kind == "anniversary";
    const CivilDate firstDate = CivilFromDays(DayOf(plan.first.local));
    const int year =
        withYear ? YearOfOrigin(event, dates, firstDate, ctx.options().today, m.notes) : 0;
    const int notify = NoticeDays(alarms, dates, plan.first,
                                  ctx.ToLocal(dates.start.clock, dates.start.time.Wall()));

    const FormResult checked =
        CheckReminderForm(FormFor(kind, m.title, firstDate, withYear, year, timed, plan, notify),
                          ctx.options().today);
    if (!checked.ok) {
        return skip("the editor's checks refuse it (" + OnOneLine(checked.message.text) +
                    "); change it in the calendar program, or add it with tsy add");
    }
    if (m.title.lossy)
        m.notes.push_back("characters of its title that the data file cannot hold became \"?\"");
    if (m.title.cut) m.notes.push_back("its title is cut to 48 characters");
    m.mapped = true;
    m.reminder = checked.reminder;
    return m;
}

std::string UidOf(const IcsComponent& event) {
    const IcsProperty* uid = event.Find("UID");
    return uid ? std::string(Trim(uid->value)) : std::string();
}

int SequenceOf(const IcsComponent& event) {
    const IcsProperty* s = event.Find("SEQUENCE");
    if (!s) return 0;
    const std::string_view v = Trim(s->value);
    if (v.empty() || v.size() > 9 ||
        !std::all_of(v.begin(), v.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return 0;
    }
    return std::stoi(std::string(v));
}

}  // namespace

IcsImport ReadIcsEvents(std::string_view text, const ImportOptions& options) {
    return ReadIcsEvents(std::vector<std::uint8_t>(text.begin(), text.end()), options);
}

namespace {

// The file's events, in file order.
std::vector<int> EventsOf(const IcsDocument& doc) {
    std::vector<int> events;
    for (int calendar : doc.calendars) {
        for (int index : doc.at(calendar).children) {
            if (doc.at(index).name == "VEVENT") events.push_back(index);
        }
    }
    return events;
}

// Which event stands for a UID: of several copies the one with the highest SEQUENCE (the later
// one of equals). Events with a RECURRENCE-ID only change one date of that event.
std::map<std::string, int> MastersByUid(const IcsDocument& doc, const std::vector<int>& events) {
    std::map<std::string, int> master;
    for (int index : events) {
        const IcsComponent& e = doc.at(index);
        const std::string uid = UidOf(e);
        if (uid.empty() || e.Find("RECURRENCE-ID")) continue;
        const auto [at, added] = master.emplace(uid, index);
        if (!added && SequenceOf(e) >= SequenceOf(doc.at(at->second))) at->second = index;
    }
    return master;
}

// What the events with a RECURRENCE-ID do to their series.
struct Overrides {
    std::map<int, std::vector<Exclusion>> moved;  // master -> dates other events move or cancel
    std::map<int, std::string> reason;            // an event that only changes a series
    std::map<int, int> of;                        // an event that moves a date of a series
    int malformedLine = 0;                        // a RECURRENCE-ID that is no date
    std::string malformed;
};

Overrides ReadOverrides(ImportContext& ctx, const IcsDocument& doc, const std::vector<int>& events,
                        const std::map<std::string, int>& master) {
    Overrides o;
    for (int index : events) {
        const IcsComponent& e = doc.at(index);
        const IcsProperty* rid = e.Find("RECURRENCE-ID");
        if (!rid) continue;
        const std::optional<IcsTime> original = ParseIcsTime(Trim(rid->value));
        if (!original) {
            o.malformedLine = rid->line;
            o.malformed = "RECURRENCE-ID \"" + Excerpt(rid->value) + "\" is no date";
            return o;
        }
        const auto found = master.find(UidOf(e));
        const bool cancelled =
            e.Find("STATUS") && Upper(Trim(e.Find("STATUS")->value)) == "CANCELLED";
        if (found == master.end()) {
            if (cancelled)
                o.reason[index] = "it cancels a date of a series that is not in the file";
            continue;
        }
        const std::string seriesLine = "line " + std::to_string(doc.at(found->second).line);
        const WallSeconds originalLocal =
            ctx.ToLocal(ctx.ClockOf(*rid, *original), original->Wall());
        bool sameStart = false;
        if (const IcsProperty* start = e.Find("DTSTART")) {
            if (const std::optional<IcsTime> s = ParseIcsTime(Trim(start->value))) {
                sameStart = s->hasTime == original->hasTime &&
                            ctx.ToLocal(ctx.ClockOf(*start, *s), s->Wall()) == originalLocal;
            }
        }
        if (sameStart && !cancelled) {
            o.reason[index] = "it only changes details of one date of the series on " + seriesLine;
            continue;
        }
        o.moved[found->second].push_back({original->Wall(), originalLocal, !original->hasTime});
        if (cancelled) {
            o.reason[index] = "it cancels one date of the series on " + seriesLine;
        } else {
            o.of[index] = found->second;
        }
    }
    return o;
}

// What became of one event, once its mapping is known: an override or a replaced copy says
// why it is not imported, anything else carries the mapping.
ImportedEvent Imported(const IcsDocument& doc, int index, const std::map<std::string, int>& master,
                       const Overrides& overrides, Mapping m) {
    const IcsComponent& e = doc.at(index);
    ImportedEvent out;
    out.line = e.line;
    out.summary = m.title.shown;
    const std::string uid = UidOf(e);
    const bool replaced = !e.Find("RECURRENCE-ID") && !uid.empty() && master.at(uid) != index;
    if (const auto reason = overrides.reason.find(index); reason != overrides.reason.end()) {
        out.reason = reason->second;
    } else if (replaced) {
        out.reason = "the copy of this event on line " +
                     std::to_string(doc.at(master.at(uid)).line) +
                     " (same UID, newer or later) is read instead";
    } else {
        out.mapped = m.mapped;
        out.reminder = m.reminder;
        out.reason = m.reason;
        out.notes = std::move(m.notes);
        if (const auto series = overrides.of.find(index);
            series != overrides.of.end() && out.mapped) {
            out.notes.push_back("it moves one date of the series on line " +
                                std::to_string(doc.at(series->second).line) +
                                " and becomes a reminder of its own");
        }
    }
    return out;
}

// Events that become the same reminder are all added, and each says so in one note that names
// another of them: a note for every other one would grow with the square of the copies a
// calendar holds of one event.
void NoteSameReminders(std::vector<ImportedEvent>& events) {
    std::map<std::string, std::vector<size_t>> same;
    for (size_t i = 0; i < events.size(); ++i) {
        if (!events[i].mapped) continue;
        std::array<std::uint8_t, kReminderBytes> bytes{};
        EncodeReminder(events[i].reminder, bytes.data());
        same[std::string(bytes.begin(), bytes.end())].push_back(i);
    }
    for (const auto& [record, group] : same) {
        if (group.size() < 2) continue;
        for (size_t i : group) {
            const ImportedEvent& other = events[group[i == group[0] ? 1 : 0]];
            std::string note = "it becomes the same reminder as " + Quoted(other.summary) +
                               " (line " + std::to_string(other.line) + ")";
            if (group.size() == 2) {
                note += "; both are added";
            } else {
                note += " and " + std::to_string(group.size() - 2) + " more; all are added";
            }
            events[i].notes.push_back(std::move(note));
        }
    }
}

}  // namespace

IcsImport ReadIcsEvents(std::vector<std::uint8_t> bytes, const ImportOptions& options) {
    IcsImport result;
    const IcsDocument doc = ParseIcs(std::move(bytes));
    if (doc.errorLine != 0) {
        result.errorLine = doc.errorLine;
        result.error = doc.error;
        return result;
    }
    ImportContext ctx(doc, options);
    auto malformed = [&](int line, std::string why) {
        result.events.clear();
        result.errorLine = line;
        result.error = std::move(why);
        return std::move(result);
    };

    const std::vector<int> events = EventsOf(doc);
    const std::map<std::string, int> master = MastersByUid(doc, events);
    const Overrides overrides = ReadOverrides(ctx, doc, events, master);
    if (overrides.malformedLine != 0)
        return malformed(overrides.malformedLine, overrides.malformed);

    static const std::vector<Exclusion> kNone;
    result.events.reserve(events.size());
    for (int index : events) {
        const IcsComponent& e = doc.at(index);
        const auto movedDates = overrides.moved.find(index);
        Mapping m = MapEvent(ctx, doc, e, e.Find("RECURRENCE-ID") != nullptr,
                             movedDates == overrides.moved.end() ? kNone : movedDates->second);
        if (m.malformed) return malformed(m.line, m.reason);
        result.events.push_back(Imported(doc, index, master, overrides, std::move(m)));
    }
    NoteSameReminders(result.events);
    return result;
}

ImportCounts AddImportedEvents(const std::vector<ImportedEvent>& events, ReminderList& current) {
    std::vector<Reminder> mapped;
    for (const ImportedEvent& e : events) {
        if (e.mapped) mapped.push_back(e.reminder);
    }
    std::stable_sort(mapped.begin(), mapped.end(),
                     [](const Reminder& a, const Reminder& b) { return a.date < b.date; });
    auto key = [](const Reminder& r) {
        std::array<std::uint8_t, kReminderBytes> bytes{};
        EncodeReminder(r, bytes.data());
        return std::string(bytes.begin(), bytes.end());
    };
    // Each reminder already in the list answers for one event.
    std::map<std::string, int> there;
    for (const Reminder& r : current.entries()) ++there[key(r)];
    ImportCounts counts;
    for (const Reminder& r : mapped) {
        if (int& left = there[key(r)]; left > 0) {
            --left;
            ++counts.present;
            continue;
        }
        current.InsertByDate(r);
        ++counts.added;
    }
    return counts;
}

}  // namespace tessaly
