// iCalendar rules: folding and escaping, the parser on any line ends and any depth, time zones,
// the recurrence rule and its expansion, and the import of events (times, series, alarms,
// titles) from hand-made probes and from real calendar programs' exports.
#include "tools/tsy/ical.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "core/codepage.h"
#include "core/data_file.h"
#include "core/tests/test_reminders.h"
#include "tools/tsy/recurrence.h"
#include "tools/tsy/tsy.h"
#include "tools/tsy/zones.h"

namespace tessaly {
namespace {

namespace fs = std::filesystem;
using testing::MakeReminder;

constexpr DateKey kToday = 20261208;  // a Tuesday

std::string Fixture(const std::string& name) {
    std::ifstream f(fs::path(TESSALY_ICS_FIXTURES) / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// Every physical line of folded text, without its CR LF.
std::vector<std::string> PhysicalLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2) {
        lines.push_back(text.substr(start, at - start));
    }
    EXPECT_EQ(start, text.size()) << "text after the last CR LF";
    return lines;
}

UtcSeconds Utc(int y, int m, int d, int h = 0, int min = 0, int s = 0) {
    return DaysFromCivil(y, m, d) * 86400 + h * 3600 + min * 60 + s;
}

// The tests run as a computer in Berlin: TZ is set for the test and put back afterwards.
class BerlinClock {
  public:
    BerlinClock() {
        const char* old = std::getenv("TZ");
        if (old) saved_ = old;
        setenv("TZ", "Europe/Berlin", 1);
        tzset();
        zones_ = MakeSystemZones();
    }
    ~BerlinClock() {
        if (saved_) {
            setenv("TZ", saved_->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }
    SystemZones* zones() { return zones_.get(); }

  private:
    std::optional<std::string> saved_;
    std::unique_ptr<SystemZones> zones_;
};

// --- Content lines and the parser ---

TEST(IcsText, EscapingBothWays) {
    struct Case {
        std::string plain, escaped;
    };
    const Case cases[] = {
        {"Dinner, then a walk; bring \\ shoes", "Dinner\\, then a walk\\; bring \\\\ shoes"},
        {"two\nlines", "two\\nlines"},
        {"", ""},
        {"caf\xc3\xa9 \"Q\"", "caf\xc3\xa9 \"Q\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EscapeIcsText(c.plain), c.escaped) << c.plain;
        EXPECT_EQ(UnescapeIcsText(c.escaped), c.plain) << c.escaped;
    }
    EXPECT_EQ(EscapeIcsText("a\r\nb"), "a\\nb");
    EXPECT_EQ(UnescapeIcsText("A\\NB\\,C"), "A\nB,C");
    // Tabs and line breaks read as blanks; other controls, DEL and the C1 controls go.
    EXPECT_EQ(PrintableText(std::string("a\tb\r\nc\0d\x7f"
                                        "e\xc2\x85"
                                        "f\xc2\xa0g",
                                        16)),
              "a b  cdef\xc2\xa0g");
}

TEST(IcsText, FoldingKeepsLinesAt75OctetsAndUtf8Whole) {
    // ASCII, then two-byte and three-byte characters straddling every fold position.
    std::string value = "SUMMARY:" + std::string(70, 'a');
    for (int i = 0; i < 40; ++i) value += "\xc3\xa9\xe2\x82\xac";
    const std::string folded = FoldIcsLine(value);
    const std::vector<std::string> lines = PhysicalLines(folded);
    ASSERT_GT(lines.size(), 3u);
    std::string unfolded = lines[0];
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_LE(lines[i].size(), 75u) << "line " << i;
        if (i > 0) {
            ASSERT_EQ(lines[i][0], ' ');
            EXPECT_NE(static_cast<unsigned char>(lines[i][1]) & 0xC0, 0x80) << "line " << i;
            unfolded += lines[i].substr(1);
        }
    }
    EXPECT_EQ(unfolded, value);
    EXPECT_EQ(FoldIcsLine(std::string(75, 'x')), std::string(75, 'x') + "\r\n");
    EXPECT_EQ(FoldIcsLine(std::string(76, 'x')), std::string(75, 'x') + "\r\n x\r\n");

    const IcsDocument doc = ParseIcs("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\n" + folded +
                                     "END:VEVENT\r\nEND:VCALENDAR\r\n");
    ASSERT_EQ(doc.errorLine, 0) << doc.error;
    EXPECT_EQ("SUMMARY:" +
                  std::string(doc.at(doc.at(doc.calendars[0]).children[0]).Find("SUMMARY")->value),
              value);
}

TEST(IcsParse, QuotedParametersAndLineNumbers) {
    const IcsDocument doc = ParseIcs(
        "\xEF\xBB\xBF"
        "BEGIN:VCALENDAR\n"
        "BEGIN:VEVENT\n"
        "dtstart;tzid=\"W. Europe; Standard: Time\";X-A=1,\"b:c\":20270105T143000\n"
        "SUMMARY:long\n"
        "  folded\n"
        "END:VEVENT\n"
        "END:VCALENDAR\n");
    ASSERT_EQ(doc.errorLine, 0) << doc.error;
    const IcsComponent& event = doc.at(doc.at(doc.calendars.at(0)).children.at(0));
    const IcsProperty* start = event.Find("DTSTART");
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(start->Param("TZID"), "W. Europe; Standard: Time");
    EXPECT_EQ(start->Param("X-A"), "1,b:c");
    EXPECT_EQ(start->value, "20270105T143000");
    EXPECT_EQ(start->line, 3);
    EXPECT_EQ(event.Find("SUMMARY")->value, "long folded");
    EXPECT_EQ(event.line, 2);
}

// The same calendar with CR LF, LF and CR alone (and a mix) reads the same.
TEST(IcsParse, AnyLineEnds) {
    const std::vector<std::string> lines = {"BEGIN:VCALENDAR", "BEGIN:VEVENT",     "SUMMARY:Tea at",
                                            " five",           "DTSTART:20270105", "END:VEVENT",
                                            "END:VCALENDAR"};
    for (const std::string eol : {"\r\n", "\n", "\r", "mixed"}) {
        std::string text;
        for (size_t i = 0; i < lines.size(); ++i) {
            text += lines[i] + (eol == "mixed" ? (i % 3 == 0   ? "\r"
                                                  : i % 3 == 1 ? "\n"
                                                               : "\r\n")
                                               : eol);
        }
        const IcsDocument doc = ParseIcs(text);
        ASSERT_EQ(doc.errorLine, 0) << doc.error;
        const IcsComponent& event = doc.at(doc.at(doc.calendars.at(0)).children.at(0));
        EXPECT_EQ(event.Find("SUMMARY")->value, "Tea atfive");
        EXPECT_EQ(event.Find("DTSTART")->line, 5) << "line ends " << eol.size();
    }
}

TEST(IcsParse, MalformedFilesNameTheLine) {
    struct Case {
        std::string text;
        int line;
    };
    const std::string head = "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\n";
    const std::string tail = "END:VEVENT\r\nEND:VCALENDAR\r\n";
    const Case cases[] = {
        {"", 1},
        {" leading continuation\r\n", 1},
        {"BEGIN:VEVENT\r\nEND:VEVENT\r\n", 1},  // no calendar around it
        {head + "SUMMARY no colon\r\n" + tail, 3},
        {head + ":no name\r\n" + tail, 3},
        {head + "DTSTART;TZID=\"open:20270101\r\n" + tail, 3},
        {head + "END:VCALENDAR\r\n", 3},  // closes the wrong one
        {head + "SUMMARY:x\r\n", 2},      // never closed
        {"BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\nEND:VCALENDAR\r\n", 3},
        {head + "DTSTART:2027-01-05\r\n" + tail, 3},  // bad date value
        {head + "DTSTART:20270230\r\n" + tail, 3},    // no such day
        {head + "DTSTART;VALUE=DATE:20270105T100000\r\n" + tail, 3},
        {head + "DTSTART:20270105T256000\r\n" + tail, 3},
        {head + "DTSTART:20270105\r\nRRULE:INTERVAL=2\r\n" + tail, 4},
        {head + "DTSTART:20270105\r\nRRULE:FREQ=FORTNIGHTLY\r\n" + tail, 4},
        {head + "DTSTART:20270105\r\nRRULE:FREQ=WEEKLY;INTERVAL=0\r\n" + tail, 4},
        {head + "DTSTART:20270105\r\nRRULE:FREQ=MONTHLY;BYDAY=2XY\r\n" + tail, 4},
        {head + "DTSTART:20270105\r\nRRULE:FREQ=MONTHLY;BYMONTHDAY=32\r\n" + tail, 4},
        {head + "DTSTART:20270105\r\nRRULE:FREQ=DAILY;COUNT=2;UNTIL=20270201\r\n" + tail, 4},
        {head + "DTSTART:20270105\r\nEXDATE:20270105,soon\r\n" + tail, 4},
        {head + "DTSTART:20270105\r\nRECURRENCE-ID:someday\r\n" + tail, 4},
    };
    for (const Case& c : cases) {
        const IcsImport read = ReadIcsEvents(c.text, {kToday, false, nullptr});
        EXPECT_EQ(read.errorLine, c.line) << c.text << " -> " << read.error;
        EXPECT_FALSE(read.error.empty()) << c.text;
        EXPECT_TRUE(read.events.empty()) << c.text;
    }
    // A message never echoes a whole line: a file of one 100,000-byte line with CRs that are
    // no line ends of any program still names it in a few words.
    const IcsImport huge =
        ReadIcsEvents(std::string(100000, 'Q') + ":x\r\n", {kToday, false, nullptr});
    EXPECT_EQ(huge.errorLine, 1);
    EXPECT_LT(huge.error.size(), 120u) << huge.error.substr(0, 200);
}

// Components nest side by side in one list: a depth that would overflow the stack of a
// recursive reader (or of a recursive destructor) parses, reads and frees in a loop.
TEST(IcsParse, DeepNestingCostsNoStack) {
    constexpr int kDepth = 100000;
    std::string text = "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART:20270105\r\nSUMMARY:Deep\r\n";
    text.reserve(text.size() + kDepth * 24);
    for (int i = 0; i < kDepth; ++i) text += "BEGIN:X-BOX\r\n";
    for (int i = 0; i < kDepth; ++i) text += "END:X-BOX\r\n";
    text += "END:VEVENT\r\nEND:VCALENDAR\r\n";
    const IcsImport read = ReadIcsEvents(text, {kToday, false, nullptr});
    ASSERT_EQ(read.errorLine, 0) << read.error;
    ASSERT_EQ(read.events.size(), 1u);
    EXPECT_TRUE(read.events[0].mapped) << read.events[0].reason;
}

// --- Time zones ---

// A zone like Berlin's in 2027: summer time from 28 March 01:00 UTC to 31 October 01:00 UTC.
TransitionZone Berlin2027() {
    return TransitionZone(3600, {{Utc(2027, 10, 31, 1), 3600}, {Utc(2027, 3, 28, 1), 7200}});
}

TEST(Zones, ClockTimeToUtcAcrossBothChanges) {
    const TransitionZone zone = Berlin2027();
    struct Case {
        WallSeconds wall;
        UtcSeconds utc;
    };
    const Case cases[] = {
        {Utc(2027, 1, 15, 10), Utc(2027, 1, 15, 9)},
        {Utc(2027, 7, 15, 10), Utc(2027, 7, 15, 8)},
        {Utc(2027, 3, 28, 1, 59), Utc(2027, 3, 28, 0, 59)},
        {Utc(2027, 3, 28, 2, 30), Utc(2027, 3, 28, 1, 30)},  // skipped: read as 03:30
        {Utc(2027, 3, 28, 3, 0), Utc(2027, 3, 28, 1, 0)},
        {Utc(2027, 10, 31, 2, 30), Utc(2027, 10, 31, 0, 30)},  // twice: the first
        {Utc(2027, 10, 31, 3, 0), Utc(2027, 10, 31, 2, 0)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UtcFromWall(zone, c.wall), c.utc) << c.wall;
    }
    EXPECT_EQ(WallFromUtc(zone, Utc(2027, 10, 31, 0, 59, 59)), Utc(2027, 10, 31, 2, 59, 59));
    EXPECT_EQ(WallFromUtc(zone, Utc(2027, 10, 31, 1)), Utc(2027, 10, 31, 2));
}

// A zone learned from a probe answers as the zone behind the probe, to the second, and asks
// it only for the years in question.
TEST(Zones, ProbedZoneFindsEachChangeToTheSecond) {
    class Probe : public OffsetProbe {
      public:
        explicit Probe(int& calls) : calls_(calls) {}
        int OffsetAt(UtcSeconds t) override {
            ++calls_;
            return zone_.OffsetAt(t);
        }

      private:
        TransitionZone zone_ = Berlin2027();
        int& calls_;
    };
    int calls = 0;
    const ProbedZone probed(std::make_unique<Probe>(calls));
    const TransitionZone truth = Berlin2027();
    for (UtcSeconds t :
         {Utc(2027, 1, 1), Utc(2027, 3, 28, 0, 59, 59), Utc(2027, 3, 28, 1), Utc(2027, 6, 1),
          Utc(2027, 10, 31, 0, 59, 59), Utc(2027, 10, 31, 1), Utc(2027, 12, 31, 23, 59, 59)}) {
        EXPECT_EQ(probed.OffsetAt(t), truth.OffsetAt(t)) << t;
    }
    EXPECT_LT(calls, 150);  // one year: weekly samples and two searches
}

TEST(Zones, NamesOfTheSystemsZones) {
    EXPECT_EQ(WindowsZoneOfIana("Europe/Berlin"), "W. Europe Standard Time");
    EXPECT_EQ(WindowsZoneOfIana("America/New_York"), "Eastern Standard Time");
    EXPECT_EQ(WindowsZoneOfIana("Nowhere/Atlantis"), "");
    EXPECT_EQ(IanaZoneOfWindows("GMT Standard Time"), "Europe/London");
    EXPECT_EQ(IanaZoneOfWindows("Tokyo Standard Time"), "Asia/Tokyo");
    const std::vector<std::string_view> mozilla =
        ZoneNameCandidates("/mozilla.org/20050126_1/America/New_York");
    EXPECT_NE(std::find(mozilla.begin(), mozilla.end(), "America/New_York"), mozilla.end());
    const std::vector<std::string_view> windows = ZoneNameCandidates("W. Europe Standard Time");
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_EQ(windows[1], "Europe/Berlin");
}

#ifndef _WIN32
// The C library's own rules, in both directions of summer time and for other zones by name.
TEST(Zones, SystemZonesNatively) {
    BerlinClock berlin;
    const ZoneRules& local = berlin.zones()->Local();
    EXPECT_EQ(local.OffsetAt(Utc(2027, 1, 15, 12)), 3600);
    EXPECT_EQ(local.OffsetAt(Utc(2027, 3, 28, 0, 59, 59)), 3600);
    EXPECT_EQ(local.OffsetAt(Utc(2027, 3, 28, 1)), 7200);
    EXPECT_EQ(local.OffsetAt(Utc(2027, 10, 31, 0, 59, 59)), 7200);
    EXPECT_EQ(local.OffsetAt(Utc(2027, 10, 31, 1)), 3600);
    const ZoneRules* york = berlin.zones()->Find("America/New_York");
    ASSERT_NE(york, nullptr);
    EXPECT_EQ(york->OffsetAt(Utc(2027, 1, 15, 12)), -5 * 3600);
    EXPECT_EQ(york->OffsetAt(Utc(2027, 3, 15, 12)), -4 * 3600);  // the US changes two weeks earlier
    const ZoneRules* tokyo = berlin.zones()->Find("Tokyo Standard Time");
    ASSERT_NE(tokyo, nullptr);
    EXPECT_EQ(tokyo->OffsetAt(Utc(2027, 7, 1)), 9 * 3600);
    EXPECT_EQ(berlin.zones()->Find("Nowhere/Atlantis"), nullptr);
    EXPECT_EQ(berlin.zones()->Find("../../etc/passwd"), nullptr);
    EXPECT_EQ(berlin.zones()->Find("CET-1CEST,M3.5.0,M10.5.0/3"), nullptr);
    // Asking about other zones leaves the local one alone.
    EXPECT_EQ(local.OffsetAt(Utc(2028, 7, 1)), 7200);
}
#endif

// --- Recurrence ---

TEST(Recurrence, ExpansionNamesTheDatesOfTheRule) {
    struct Case {
        std::string rule;
        DateKey start;
        std::vector<DateKey> dates;  // the first ones
    };
    const Case cases[] = {
        {"FREQ=MONTHLY;BYDAY=-1FR", 20270129, {20270129, 20270226, 20270326, 20270430}},
        {"FREQ=MONTHLY", 20270131, {20270131, 20270331, 20270531, 20270731, 20270831}},
        {"FREQ=YEARLY", 20240229, {20240229, 20280229, 20320229}},
        {"FREQ=MONTHLY;BYDAY=TU;BYSETPOS=2", 20261208, {20261208, 20270112, 20270209}},
        {"FREQ=YEARLY;BYMONTH=5;BYDAY=2SU", 20270509, {20270509, 20280514, 20290513}},
        {"FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH;WKST=SU",
         20270104,
         {20270104, 20270107, 20270118, 20270121}},
        {"FREQ=WEEKLY;COUNT=3", 20270105, {20270105, 20270112, 20270119}},
        {"FREQ=DAILY;UNTIL=20270107", 20270105, {20270105, 20270106, 20270107}},
        {"FREQ=MONTHLY;BYMONTHDAY=-1", 20270131, {20270131, 20270228, 20270331}},
        {"FREQ=YEARLY;BYYEARDAY=1,-1", 20270101, {20270101, 20271231, 20280101}},
        {"FREQ=MONTHLY;INTERVAL=2;BYDAY=1MO,-1MO",
         20270104,
         {20270104, 20270125, 20270301, 20270329}},
    };
    for (const Case& c : cases) {
        const RuleReading r = ReadRecurrenceRule(c.rule);
        ASSERT_TRUE(r.ok) << c.rule << ": " << r.error;
        IcsTime start;
        start.date = SplitDateKey(c.start);
        std::optional<WallSeconds> until;
        if (r.rule.until) until = r.rule.until->Wall() + 86399;
        std::vector<DateKey> got;
        EXPECT_TRUE(
            ExpandRule(r.rule, start, until, start.Wall(), Utc(2040, 1, 1), [&](WallSeconds w) {
                const CivilDate d = CivilFromDays(DayOf(w));
                got.push_back(MakeDateKey(d.year, d.month, d.day));
                return got.size() < c.dates.size() + 1;
            }));
        if (got.size() > c.dates.size() && (r.rule.count || r.rule.until)) {
            ADD_FAILURE() << c.rule << " runs past its end";
        }
        got.resize(std::min(got.size(), c.dates.size()));
        EXPECT_EQ(got, c.dates) << c.rule;
    }
    // Rules by the hour and by week number are not followed.
    IcsTime start;
    start.date = {2027, 1, 5};
    for (const char* rule : {"FREQ=HOURLY", "FREQ=YEARLY;BYWEEKNO=20"}) {
        EXPECT_FALSE(ExpandRule(ReadRecurrenceRule(rule).rule, start, std::nullopt, 0,
                                Utc(2030, 1, 1), [](WallSeconds) { return true; }))
            << rule;
    }
}

// A reminder keeps a list of dates only when its own steps give exactly those dates.
TEST(Recurrence, FitScheduleUsesTheRemindersOwnSteps) {
    struct Case {
        std::vector<DateKey> dates;
        bool complete;
        std::optional<Schedule> fit;
    };
    const Case cases[] = {
        {{20270314, 20280314, 20290314}, false, Schedule{kAnnual, 1}},
        {{20270115, 20270215, 20270315}, false, Schedule{kMonthlyPeriod, 1}},
        {{20270131, 20270331, 20270531, 20270731, 20270831},
         false,
         std::nullopt},  // the core cuts to 30
        {{20270105, 20270119, 20270202}, false, Schedule{kWeeklyPeriod, 2}},
        {{20261208, 20270112, 20270209}, false, Schedule{kWeekdayMonths, 1}},
        {{20270129, 20270226, 20270326, 20270430}, false, std::nullopt},  // last Fridays
        {{20270509, 20280514, 20290513}, false, Schedule{kWeekdayMonths, 12}},
        {{20270314, 20290314, 20310314}, false, Schedule{kMonthlyPeriod, 24}},
        {{20270105}, true, Schedule{kOneTime, 1}},
        {{20270105, 20270112}, true, std::nullopt},  // a reminder never stops repeating
    };
    for (const Case& c : cases) {
        const std::optional<Schedule> got = FitSchedule(c.dates, c.complete);
        ASSERT_EQ(got.has_value(), c.fit.has_value()) << c.dates[0];
        if (got) {
            EXPECT_EQ(got->frequency, c.fit->frequency) << c.dates[0];
            EXPECT_EQ(got->period, c.fit->period) << c.dates[0];
        }
    }
}

// Reminder -> RRULE, and that RRULE expanded gives the dates the reminder's steps give.
TEST(Recurrence, ExportedRulesReadBackAsTheSameSchedule) {
    struct Case {
        DateKey date;
        int frequency, period;
        std::string rule;
    };
    const Case cases[] = {
        {20261225, kOneTime, 1, ""},
        {20270314, kAnnual, 1, "FREQ=YEARLY"},
        {20270115, kMonthlyPeriod, 3, "FREQ=MONTHLY;INTERVAL=3;BYMONTHDAY=15"},
        {20261224, kWeeklyPeriod, 2, "FREQ=WEEKLY;INTERVAL=2"},
        {20261208, kWeekdayMonths, 1, "FREQ=MONTHLY;INTERVAL=1;BYDAY=2TU"},
        {20261222, kWeekdayMonths, 2, "FREQ=MONTHLY;INTERVAL=2;BYDAY=4TU"},
        {20261201, kWeekdayMonths, 12, "FREQ=MONTHLY;INTERVAL=12;BYDAY=1TU"},
    };
    for (const Case& c : cases) {
        const Reminder r = MakeReminder(kReminderKind, "x", c.date, 0, 0, c.frequency, c.period);
        EXPECT_EQ(WriteRecurrenceRule(r), c.rule) << c.date;
        if (c.rule.empty()) continue;
        IcsTime start;
        start.date = SplitDateKey(c.date);
        std::vector<DateKey> dates;
        ExpandRule(ReadRecurrenceRule(c.rule).rule, start, std::nullopt, start.Wall(),
                   Utc(2036, 1, 1), [&](WallSeconds w) {
                       const CivilDate d = CivilFromDays(DayOf(w));
                       dates.push_back(MakeDateKey(d.year, d.month, d.day));
                       return true;
                   });
        const std::optional<Schedule> fit = FitSchedule(dates, false);
        ASSERT_TRUE(fit) << c.rule;
        EXPECT_EQ(fit->frequency, c.frequency) << c.rule;
        EXPECT_EQ(fit->period, c.period) << c.rule;
    }
    // A stored period of 0 repeats every month, as the roll-over treats it.
    EXPECT_EQ(
        WriteRecurrenceRule(MakeReminder(kReminderKind, "x", 20270115, 0, 0, kMonthlyPeriod, 0)),
        "FREQ=MONTHLY;INTERVAL=1;BYMONTHDAY=15");
    EXPECT_EQ(WriteRecurrenceRule(MakeReminder(kReminderKind, "x", 20270115, 0, 0, 9, 1)), "");
}

// --- Import ---

class ImportTest : public ::testing::Test {
  protected:
    ImportedEvent One(const std::string& lines, bool nextOnly = false, DateKey today = kToday) {
        const IcsImport read = ReadIcsEvents("BEGIN:VCALENDAR\r\n" + zones_ + "BEGIN:VEVENT\r\n" +
                                                 lines + "END:VEVENT\r\nEND:VCALENDAR\r\n",
                                             {today, nextOnly, berlin_.zones()});
        EXPECT_EQ(read.errorLine, 0) << read.error;
        EXPECT_EQ(read.events.size(), 1u);
        return read.events.empty() ? ImportedEvent{} : read.events[0];
    }
    static std::string Notes(const ImportedEvent& e) {
        std::string all;
        for (const std::string& n : e.notes) all += n + "\n";
        return all;
    }

    BerlinClock berlin_;
    // Zones the calendar defines: one nobody else knows, one that gives a known name other
    // rules (the file's definition wins), and one whose rule changes its offset every day, more
    // than any zone does (the system's zone of that name is used instead).
    std::string zones_ =
        "BEGIN:VTIMEZONE\r\nTZID:Custom/Mumbai\r\nBEGIN:STANDARD\r\nDTSTART:19700101T000000\r\n"
        "TZOFFSETFROM:+0530\r\nTZOFFSETTO:+0530\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n"
        "BEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\nBEGIN:STANDARD\r\nDTSTART:19700101T000000\r\n"
        "TZOFFSETFROM:+0300\r\nTZOFFSETTO:+0300\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n"
        "BEGIN:VTIMEZONE\r\nTZID:Outlook Berlin\r\nBEGIN:STANDARD\r\nDTSTART:16010101T030000\r\n"
        "TZOFFSETFROM:+0200\r\nTZOFFSETTO:+0100\r\nRRULE:FREQ=YEARLY;BYDAY=-1SU;BYMONTH=10\r\n"
        "END:STANDARD\r\nBEGIN:DAYLIGHT\r\nDTSTART:16010101T020000\r\nTZOFFSETFROM:+0100\r\n"
        "TZOFFSETTO:+0200\r\nRRULE:FREQ=YEARLY;BYDAY=-1SU;BYMONTH=3\r\nEND:DAYLIGHT\r\nEND:"
        "VTIMEZONE\r\n"
        "BEGIN:VTIMEZONE\r\nTZID:America/Chicago\r\nBEGIN:STANDARD\r\nDTSTART:19700101T000000\r\n"
        "TZOFFSETFROM:+0300\r\nTZOFFSETTO:+0300\r\nRRULE:FREQ=DAILY\r\nEND:STANDARD\r\n"
        "END:VTIMEZONE\r\n";
};

// A computer in Berlin in December: every time lands on Berlin's clock of its own date.
TEST_F(ImportTest, TimesWhereTheyBelong) {
    struct Case {
        std::string start;
        DateKey date;
        int time;
        std::string note;
    };
    const Case cases[] = {
        {"DTSTART:20270715T100000Z", 20270715, 1200, ""},  // summer: two hours on
        {"DTSTART:20270715T223000Z", 20270716, 2430, ""},  // and over midnight: 00:30
        {"DTSTART:20270115T100000Z", 20270115, 1100, ""},  // winter: one hour
        {"DTSTART:20261231T233000Z", 20270101, 2430, ""},  // into the new year
        {"DTSTART:20270328T003000Z", 20270328, 130, ""},   // before the spring change
        {"DTSTART:20270328T013000Z", 20270328, 330, ""},   // after it
        {"DTSTART:20271031T003000Z", 20271031, 230, ""},   // summer time's 02:30
        {"DTSTART:20271031T013000Z", 20271031, 230, ""},   // winter time's 02:30
        {"DTSTART:20270101T010000Z", 20270101, 200, ""},
        // The system's zone: New York is already on summer time, Berlin not yet.
        {"DTSTART;TZID=America/New_York:20270315T200000", 20270316, 100, ""},
        {"DTSTART;TZID=America/New_York:20270115T200000", 20270116, 200, ""},
        // Zones the file defines, one of them overriding a name the system knows.
        {"DTSTART;TZID=Custom/Mumbai:20270115T100000", 20270115, 530, ""},
        {"DTSTART;TZID=Europe/Berlin:20270115T100000", 20270115, 800, ""},
        {"DTSTART;TZID=\"Outlook Berlin\":20270715T100000", 20270715, 1000, ""},
        {"DTSTART;TZID=\"Outlook Berlin\":20270328T023000", 20270328, 330, ""},  // skipped hour
        {"DTSTART;TZID=America/Chicago:20270115T100000", 20270115, 1700, ""},    // the system's
        // Nobody knows this zone: as written, with a note.
        {"DTSTART;TZID=Mars/Olympus:20270115T100000", 20270115, 1000,
         "\"Mars/Olympus\" is unknown here"},
        {"DTSTART:20270115T100000", 20270115, 1000, ""},  // floating: this computer's clock
    };
    for (const Case& c : cases) {
        const ImportedEvent e = One(c.start + "\r\nSUMMARY:Call\r\n");
        ASSERT_TRUE(e.mapped) << c.start << ": " << e.reason;
        EXPECT_EQ(e.reminder.date, c.date) << c.start;
        EXPECT_EQ(e.reminder.timeOrYear, c.time) << c.start;
        if (c.note.empty()) {
            EXPECT_TRUE(e.notes.empty()) << c.start << ": " << Notes(e);
        } else {
            EXPECT_NE(Notes(e).find(c.note), std::string::npos) << c.start << ": " << Notes(e);
        }
    }
}

// A series is kept only where a frequency gives exactly its dates; otherwise it is skipped
// with a reason that names --next-only, which then imports the next date once.
TEST_F(ImportTest, NoSeriesBecomesAnotherSchedule) {
    struct Case {
        std::string lines;
        int frequency, period;   // kept as; 0: skipped
        DateKey date;            // the first date from today, kept or not
        std::string reasonPart;  // when skipped
    };
    const Case cases[] = {
        {"DTSTART;VALUE=DATE:20270129\r\nRRULE:FREQ=MONTHLY;BYDAY=-1FR\r\n", 0, 0, 20270129,
         "last Friday"},
        {"DTSTART;VALUE=DATE:20270131\r\nRRULE:FREQ=MONTHLY\r\n", 0, 0, 20270131, "day 31"},
        {"DTSTART;VALUE=DATE:20270129\r\nRRULE:FREQ=MONTHLY;BYDAY=5FR\r\n", 0, 0, 20270129,
         "fifth Friday"},
        {"DTSTART:20261215T090000\r\nRRULE:FREQ=WEEKLY;COUNT=5\r\n", 0, 0, 20261215,
         "ends after 5 times"},
        {"DTSTART:20261215T090000\r\nRRULE:FREQ=WEEKLY;UNTIL=20270301T000000Z\r\n", 0, 0, 20261215,
         "ends on 2027-03-01"},
        {"DTSTART;VALUE=DATE:20261215\r\nRRULE:FREQ=YEARLY\r\nRDATE;VALUE=DATE:20270601\r\n", 0, 0,
         20261215, "extra dates (RDATE)"},
        {"DTSTART;VALUE=DATE:20261215\r\nRRULE:FREQ=YEARLY\r\nEXDATE;VALUE=DATE:20281215\r\n", 0, 0,
         20261215, "left out"},
        {"DTSTART;VALUE=DATE:20261214\r\nRRULE:FREQ=WEEKLY;BYDAY=MO,WE\r\n", 0, 0, 20261214,
         "several weekdays"},
        {"DTSTART;VALUE=DATE:20261209\r\nRRULE:FREQ=DAILY\r\n", 0, 0, 20261209, "every day"},
        // UTC times keep their UTC clock; Berlin's shifts with summer time.
        {"DTSTART:20270105T090000Z\r\nRRULE:FREQ=WEEKLY\r\n", 0, 0, 20270105, "summer time"},
        // Kept: shapes other programs write for what a reminder does.
        {"DTSTART;VALUE=DATE:20270115\r\nRRULE:FREQ=MONTHLY\r\n", kMonthlyPeriod, 1, 20270115, ""},
        {"DTSTART:20261208T180000\r\nRRULE:FREQ=MONTHLY;BYDAY=TU;BYSETPOS=2\r\n", kWeekdayMonths, 1,
         20261208, ""},
        {"DTSTART;VALUE=DATE:20270509\r\nRRULE:FREQ=YEARLY;BYMONTH=5;BYDAY=2SU\r\n", kWeekdayMonths,
         12, 20270509, ""},
        {"DTSTART;VALUE=DATE:20261215\r\nRRULE:FREQ=DAILY;INTERVAL=14\r\n", kWeeklyPeriod, 2,
         20261215, ""},
        {"DTSTART;VALUE=DATE:20250314\r\nRRULE:FREQ=YEARLY;INTERVAL=2\r\n", kMonthlyPeriod, 24,
         20270314, ""},
        // 29 February comes every fourth year up to 2096: every 48 months.
        {"DTSTART;VALUE=DATE:20240229\r\nRRULE:FREQ=YEARLY\r\n", kMonthlyPeriod, 48, 20280229, ""},
        {"DTSTART;VALUE=DATE:19990101\r\nRRULE:FREQ=YEARLY\r\nEXDATE;VALUE=DATE:20050101\r\n",
         kAnnual, 1, 20270101, ""},
        {"DTSTART;TZID=Europe/Paris:20261210T190000\r\nRRULE:FREQ=WEEKLY\r\n", kWeeklyPeriod, 1,
         20261210, ""},
        // Only one date left: a one-time reminder is exact.
        {"DTSTART;VALUE=DATE:20261201\r\nRRULE:FREQ=WEEKLY;COUNT=2\r\n", kOneTime, 1, 20261208, ""},
    };
    for (const Case& c : cases) {
        const ImportedEvent e = One(c.lines + "SUMMARY:Series\r\n");
        if (c.frequency) {
            ASSERT_TRUE(e.mapped) << c.lines << e.reason;
            EXPECT_EQ(e.reminder.frequency, c.frequency) << c.lines;
            EXPECT_EQ(e.reminder.period, c.period) << c.lines;
            EXPECT_EQ(e.reminder.date, c.date) << c.lines;
            continue;
        }
        EXPECT_FALSE(e.mapped) << c.lines;
        EXPECT_NE(e.reason.find(c.reasonPart), std::string::npos) << c.lines << e.reason;
        const std::string iso = std::to_string(c.date / 10000) + "-" +
                                std::to_string(c.date / 100 % 100 + 100).substr(1) + "-" +
                                std::to_string(c.date % 100 + 100).substr(1);
        EXPECT_NE(e.reason.find("--next-only imports its next date, " + iso), std::string::npos)
            << e.reason;
        const ImportedEvent next = One(c.lines + "SUMMARY:Series\r\n", true);
        ASSERT_TRUE(next.mapped) << c.lines << next.reason;
        EXPECT_EQ(next.reminder.frequency, kOneTime);
        EXPECT_EQ(next.reminder.date, c.date);
        EXPECT_NE(Notes(next).find("only its next date, " + iso + ", is imported"),
                  std::string::npos)
            << Notes(next);
    }
    // What cannot be followed at all, and what has no date left.
    EXPECT_NE(One("DTSTART:20261215T090000\r\nRRULE:FREQ=HOURLY\r\nSUMMARY:x\r\n", true)
                  .reason.find("by the hour"),
              std::string::npos);
    EXPECT_EQ(One("DTSTART:20261201T090000\r\nRRULE:FREQ=WEEKLY;COUNT=1\r\nSUMMARY:x\r\n").reason,
              "its last date has passed, so there is nothing to remind of");
    EXPECT_EQ(One("DTSTART:20261201T090000\r\nSUMMARY:x\r\n").reason,
              "it lies in the past, so there is nothing to remind of");
}

TEST_F(ImportTest, AlarmsAsPeopleSetThem) {
    struct Case {
        std::string alarms;
        int notify;
    };
    const std::string start =
        "DTSTART:20261230T090000\r\nDTEND:20261231T100000\r\nSUMMARY:Trip\r\n";
    auto alarm = [](const std::string& body) {
        return "BEGIN:VALARM\r\n" + body + "END:VALARM\r\n";
    };
    const Case cases[] = {
        {alarm("ACTION:DISPLAY\r\nTRIGGER:-P3D\r\n"), 3},
        // The earliest of several, held at 30.
        {alarm("TRIGGER:-P3D\r\n") + alarm("TRIGGER:-P6W\r\n") +
             alarm("TRIGGER;RELATED=END:-PT5M\r\n"),
         30},
        // Placeholders: an alarm that does nothing at a fixed time in 1976, a default alarm.
        {alarm("ACTION:NONE\r\nTRIGGER;VALUE=DATE-TIME:19760401T005545Z\r\n"), 0},
        {alarm("ACTION:AUDIO\r\nTRIGGER;VALUE=DATE-TIME:19760401T005545Z\r\n"), 0},
        {alarm("ACTION:DISPLAY\r\nTRIGGER:-P2D\r\nX-APPLE-DEFAULT-ALARM:TRUE\r\n"), 0},
        // Relative to the end: 26 hours before 10:00 on the 31st is 08:00 on the 30th.
        {alarm("TRIGGER;RELATED=END:-PT26H\r\n"), 0},
        {alarm("TRIGGER;RELATED=END:-P3D\r\n"), 2},
        // At a fixed time three days before.
        {alarm("TRIGGER;VALUE=DATE-TIME:20261227T080000Z\r\n"), 3},
        // After the start: no notice.
        {alarm("TRIGGER:PT1H\r\n"), 0},
    };
    for (const Case& c : cases) {
        const ImportedEvent e = One(start + c.alarms);
        ASSERT_TRUE(e.mapped) << c.alarms << e.reason;
        EXPECT_EQ(e.reminder.notifyDays, c.notify) << c.alarms;
    }
    // Words, more digits than any duration has (once read past the end of a 64-bit number),
    // and parts repeated past ten thousand years.
    std::string manyWeeks = "-P";
    for (int i = 0; i < 600; ++i) manyWeeks += "9999999W";
    for (const std::string& trigger :
         std::vector<std::string>{"soon", "-PT66666666666666666666666M", manyWeeks}) {
        const ImportedEvent unreadable = One(start + alarm("TRIGGER:" + trigger + "\r\n"));
        EXPECT_TRUE(unreadable.mapped) << trigger.substr(0, 40);
        EXPECT_NE(Notes(unreadable).find("an alarm whose time cannot be read"), std::string::npos)
            << trigger.substr(0, 40);
    }
}

TEST_F(ImportTest, TitlesKeepWhatTheyCanAndSaySo) {
    // Japanese and Chinese titles become question marks with a note, and two of them that come
    // out equal are both added, each naming the other.
    const IcsImport read = ReadIcsEvents(
        "BEGIN:VCALENDAR\r\n"
        "BEGIN:VEVENT\r\nDTSTART;VALUE=DATE:20270101\r\nSUMMARY:\xe5\x85\x83\xe6\x97\xa5\r\nEND:"
        "VEVENT\r\n"
        "BEGIN:VEVENT\r\nDTSTART;VALUE=DATE:20270101\r\nSUMMARY:\xe6\x96\xb0\xe5\xb9\xb4\r\nEND:"
        "VEVENT\r\n"
        "END:VCALENDAR\r\n",
        {kToday, false, berlin_.zones()});
    ASSERT_EQ(read.events.size(), 2u);
    for (const ImportedEvent& e : read.events) {
        ASSERT_TRUE(e.mapped);
        EXPECT_EQ(e.reminder.Description().substr(0, 3), "?? ");
        EXPECT_NE(Notes(e).find("became \"?\""), std::string::npos);
        EXPECT_NE(Notes(e).find("both are added"), std::string::npos) << Notes(e);
    }
    ReminderList list;
    EXPECT_EQ(AddImportedEvents(read.events, list).added, 2);
    const ImportCounts again = AddImportedEvents(read.events, list);
    EXPECT_EQ(again.added, 0);
    EXPECT_EQ(again.present, 2);

    // Many copies of one event are all added, each with one note naming another copy (a note
    // for every other copy made 4,000 copies cost 16 million notes).
    std::string copies = "BEGIN:VCALENDAR\r\n";
    for (int i = 0; i < 4000; ++i) {
        copies += "BEGIN:VEVENT\r\nDTSTART;VALUE=DATE:20270301\r\nSUMMARY:Lunch\r\nEND:VEVENT\r\n";
    }
    const IcsImport many =
        ReadIcsEvents(copies + "END:VCALENDAR\r\n", {kToday, false, berlin_.zones()});
    ASSERT_EQ(many.events.size(), 4000u);
    for (const ImportedEvent& copy : many.events) {
        ASSERT_EQ(copy.notes.size(), 1u);
        EXPECT_EQ(copy.notes[0], copy.line == 2
                                     ? "it becomes the same reminder as \"Lunch\" (line 6) "
                                       "and 3998 more; all are added"
                                     : "it becomes the same reminder as \"Lunch\" (line 2) "
                                       "and 3998 more; all are added");
    }

    // Cut to 48 characters with a note; controls and NUL never reach the record.
    ImportedEvent e =
        One("DTSTART;VALUE=DATE:20270101\r\nSUMMARY:" + std::string(60, 'w') + "\r\n");
    EXPECT_EQ(e.reminder.Description(), std::string(48, 'w'));
    EXPECT_NE(Notes(e).find("cut to 48"), std::string::npos);
    e = One("DTSTART;VALUE=DATE:20270101\r\nSUMMARY:Tab\there\\nNUL" + std::string(1, '\0') +
            "bell\x07\r\n");
    EXPECT_EQ(e.reminder.Description().substr(0, 17), "Tab here NULbell ");
    EXPECT_TRUE(e.notes.empty()) << Notes(e);
    // A long title shows about 60 characters in messages.
    e = One("DTSTART;VALUE=DATE:20260101\r\nSUMMARY:" + std::string(5000, 'x') + "\r\n");
    EXPECT_FALSE(e.mapped);
    EXPECT_EQ(e.summary, std::string(60, 'x') + "\xE2\x80\xA6");

    e = One("DTSTART;VALUE=DATE:20270101\r\nSUMMARY: \\n \r\n");
    EXPECT_FALSE(e.mapped);
    EXPECT_EQ(e.reason.substr(0, 21), "it has no summary; gi");
    // An all-day event in a category that needs a time is a reminder, with a note.
    e = One("DTSTART;VALUE=DATE:20270101\r\nCATEGORIES:Meeting\r\nSUMMARY:Board\r\n");
    ASSERT_TRUE(e.mapped) << e.reason;
    EXPECT_EQ(e.reminder.kind, kReminderKind);
    EXPECT_NE(Notes(e).find("it lasts all day"), std::string::npos);
}

TEST_F(ImportTest, KindsYearsAndOverrides) {
    // Category names a kind; the first that does wins; the time is dropped for a birthday.
    ImportedEvent e =
        One("DTSTART:20261220T100000\r\nCATEGORIES:Work,Birthdays\r\nCATEGORIES:meeting\r\nSUMMARY:"
            "Sam\r\n");
    EXPECT_EQ(e.reminder.kind, kBirthday);
    EXPECT_EQ(e.reminder.timeOrYear, 0);
    // A yearly all-day event whose summary says anniversary, started years ago.
    e = One("DTSTART;VALUE=DATE:19990101\r\nRRULE:FREQ=YEARLY\r\nSUMMARY:Our ANNIVERSARY\r\n");
    EXPECT_EQ(e.reminder.kind, kAnniversary);
    EXPECT_EQ(e.reminder.date, 20270101);
    EXPECT_EQ(e.reminder.timeOrYear, 1999);
    // A year of origin the editor cannot keep costs the year, never the birthday.
    e =
        One("DTSTART;VALUE=DATE:17000315\r\nRRULE:FREQ=YEARLY\r\nSUMMARY:Great-grandmother's "
            "birthday\r\n");
    ASSERT_TRUE(e.mapped) << e.reason;
    EXPECT_EQ(e.reminder.kind, kBirthday);
    EXPECT_EQ(e.reminder.timeOrYear, 0);
    EXPECT_NE(Notes(e).find("its year 1700 is left out"), std::string::npos) << Notes(e);
    // Beyond the editor's century.
    e = One("DTSTART;VALUE=DATE:21000101\r\nSUMMARY:Far\r\n");
    EXPECT_FALSE(e.mapped);
    EXPECT_EQ(e.reason, "it lies after 2099, later than a reminder can be dated");

    // A series with one date moved: the series is not what a reminder keeps, the moved date
    // is a reminder of its own; a copy that changes only details is not imported twice.
    const IcsImport read = ReadIcsEvents(
        "BEGIN:VCALENDAR\r\n"
        "BEGIN:VEVENT\r\nUID:a\r\nDTSTART:20261210T190000\r\nRRULE:FREQ=WEEKLY\r\nSUMMARY:"
        "Choir\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nUID:a\r\nRECURRENCE-ID:20261217T190000\r\nDTSTART:20261218T190000\r\n"
        "SUMMARY:Choir (Friday)\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nUID:a\r\nRECURRENCE-ID:20261224T190000\r\nDTSTART:20261224T190000\r\n"
        "SUMMARY:Choir, carols\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nUID:a\r\nRECURRENCE-ID:20261231T190000\r\nDTSTART:20261231T190000\r\n"
        "STATUS:CANCELLED\r\nSUMMARY:Choir\r\nEND:VEVENT\r\n"
        "END:VCALENDAR\r\n",
        {kToday, false, berlin_.zones()});
    ASSERT_EQ(read.events.size(), 4u);
    EXPECT_FALSE(read.events[0].mapped);
    EXPECT_NE(read.events[0].reason.find("left out or moved"), std::string::npos)
        << read.events[0].reason;
    EXPECT_TRUE(read.events[1].mapped);
    EXPECT_EQ(read.events[1].reminder.date, 20261218);
    EXPECT_EQ(read.events[1].reminder.frequency, kOneTime);
    EXPECT_NE(read.events[2].reason.find("only changes details"), std::string::npos);
    EXPECT_NE(read.events[3].reason.find("cancels one date"), std::string::npos);
}

struct Expected {
    int kind;
    std::string description;  // UTF-8, before the cut to 48
    DateKey date;
    int timeOrYear, notifyDays, frequency, period;
};

// Real programs' exports (tests/fixtures/README.md names each file's origin), each imported on
// a day that leaves some of its events ahead, by a computer in Berlin.
TEST_F(ImportTest, CalendarProgramsExports) {
    struct Case {
        std::string fixture;
        DateKey today;
        std::vector<Expected> mapped;
        std::vector<std::pair<std::string, std::string>> skipped;  // summary, part of the reason
    };
    const Case cases[] = {
        {"web-calendar.ics",
         kToday,
         {{kBirthday, "Anna's birthday", 20270314, 1985, 2, kAnnual, 1},
          {kAppointment, "Team stand-up, room 4", 20261215, 930, 0, kWeeklyPeriod, 1},
          {kAppointment,
           "Dinner with Jo and Sam; bring the cake we promised back in the summer, and", 20261220,
           1800, 0, kOneTime, 1}},
         {{"Vitamins", "every day"}, {"Pottery course", "ends after 5 times"}}},
        {"desktop-mail.ics",
         kToday,
         {{kAppointment, "Zahn\xc3\xa4rztin ? Kontrolle", 20270105, 1430, 0, kWeekdayMonths, 3},
          {kMeeting, "Budget review", 20261210, 1100, 2, kOneTime, 1},
          {kAnniversary, "Wedding anniversary", 20270612, 2010, 7, kAnnual, 1},
          {kAppointment, "Book club", 20261208, 1800, 0, kWeekdayMonths, 1}},
         {{"Gym", "several weekdays"}}},
        {"desktop-calendar.ics",
         kToday,
         {{kBirthday, "Birthday Ben", 20270219, 0, 1, kAnnual, 1},
          // 23:59 in New York is 05:59 the next morning in Berlin.
          {kReminderKind, "New Year countdown", 20270101, 559, 0, kOneTime, 1}},
         {{"Car service", "in the past"}, {"Choir", "ends on 2027-06-01"}, {"Pay rent", "day 31"}}},
        {"google-birthdays.ics",
         20121201,
         {{kReminderKind, "PErson #2's birthday", 20121210, 0, 0, kOneTime, 1},
          {kReminderKind, "PErson #2's birthday", 20131210, 0, 0, kOneTime, 1},
          {kReminderKind, "PErson #2's birthday", 20141210, 0, 0, kOneTime, 1}},
         {{"PErson #2's birthday", "extra dates (RDATE)"}}},
        {"google-last-friday.ics",
         20211201,
         {{kAppointment, "Karaoke", 20211217, 2130, 0, kOneTime, 1}},
         {{"Karaoke",
           "last Friday of the month; tsy import --next-only imports its next date, 2022-01-28"}}},
        // 19:00 in Los Angeles is 04:00 the next day in Berlin; the 1976 alarm is a placeholder.
        {"google-placeholder-alarm.ics",
         20240701,
         {{kAppointment, "Vespers for the Feast of St. Joseph", 20240802, 400, 0, kAnnual, 1}},
         {{"Vespers for the Feast of St. Joseph", "in the past"}}},
        {"google-alarms-utc.ics",
         20241001,
         {{kAppointment, "event with alarms", 20241004, 2015, 0, kOneTime, 1}},
         {}},
        {"google-override-first.ics",
         20260209,
         {{kAppointment, "TEST RECURR 3 - MODIFIED", 20260211, 1830, 0, kOneTime, 1}},
         {{"TEST RECURR 3", "left out or moved"}}},
        {"exchange-owa-zones.ics",
         20201020,
         {{kAppointment, "TEST Syd", 20201028, 1330, 0, kOneTime, 1},
          {kAppointment, "TEST", 20201028, 1330, 0, kOneTime, 1},
          {kAppointment, "TEST 3", 20201102, 1330, 0, kOneTime, 1}},
         {{"TEST2", "ends on 2021-08-28"}}},
        {"exchange-moved-all-day.ics",
         20260218,
         {{kReminderKind, "Exchange Recurring Test", 20260227, 0, 0, kOneTime, 1}},
         {{"Exchange Recurring Test", "left out or moved"}}},
        {"exchange-alarm-gmt.ics",
         20240701,
         {{kAppointment, "outlook event with alarm", 20241004, 1930, 0, kOneTime, 1}},
         {{"test123", "left out or moved"}, {"test123 - edited event!!!!", "left out or moved"}}},
        {"thunderbird-overrides.ics",
         20250421,
         {{kAppointment, "event", 20250424, 1200, 0, kOneTime, 1}},
         {{"event", "left out or moved"}, {"event", "only changes details"}}},
        {"android-etar-alarms.ics",
         20241001,
         {{kAppointment, "event with alarms android", 20241005, 1400, 0, kOneTime, 1}},
         {}},
        {"korganizer-birthday.ics",
         kToday,
         {{kBirthday, "Ted's Birthday", 20270116, 2005, 0, kAnnual, 1}},
         {}},
        {"calendarlabs-germany.ics",
         20201201,
         {{kReminderKind, "Christmas Day", 20201225, 0, 0, kOneTime, 1},
          {kReminderKind, "Boxing Day", 20201226, 0, 0, kOneTime, 1}},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fixture);
        const IcsImport read = ReadIcsEvents(Fixture(c.fixture), {c.today, false, berlin_.zones()});
        ASSERT_EQ(read.errorLine, 0) << read.error;
        std::vector<Reminder> got, want;
        std::vector<std::pair<std::string, std::string>> skipped;
        for (const ImportedEvent& e : read.events) {
            if (e.mapped) got.push_back(e.reminder);
            if (!e.mapped) skipped.emplace_back(e.summary, e.reason);
        }
        for (const Expected& x : c.mapped) {
            want.push_back(MakeReminder(x.kind, Utf8ToCp1252(x.description), x.date, x.timeOrYear,
                                        x.notifyDays, x.frequency, x.period));
        }
        auto byDate = [](const Reminder& a, const Reminder& b) {
            return a.date != b.date ? a.date < b.date : a.Description() < b.Description();
        };
        std::sort(got.begin(), got.end(), byDate);
        std::sort(want.begin(), want.end(), byDate);
        EXPECT_EQ(got, want);
        for (const auto& [summary, part] : c.skipped) {
            const bool found = std::any_of(skipped.begin(), skipped.end(), [&](const auto& s) {
                return s.first == summary && s.second.find(part) != std::string::npos;
            });
            EXPECT_TRUE(found) << summary << ": " << part;
        }
    }
}

// tsy import and export end to end on files.
class TsyCalendarTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tsy_ical_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    int Run(std::vector<std::string> args, std::string* out = nullptr, std::string* err = nullptr) {
        std::ostringstream o, e;
        const int status = RunTsy(args, o, e, kToday, berlin_.zones());
        if (out) *out = o.str();
        if (err) *err = e.str();
        return status;
    }
    static std::string Read(const fs::path& p) {
        std::ifstream f(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    }
    BerlinClock berlin_;
    fs::path dir_;
};

TEST_F(TsyCalendarTest, ImportTwiceThenExportRoundTrip) {
    const std::string data = (dir_ / "Tessaly.tsy").string();
    const std::string ics = (dir_ / "in.ics").string();
    std::ofstream(ics, std::ios::binary) << Fixture("desktop-mail.ics");

    std::string out, err;
    EXPECT_EQ(Run({"import", data, ics, "--dry-run"}, &out, &err), kTsyOk);
    EXPECT_EQ(out, "would add 4, already there 0, skipped 1\n");
    EXPECT_FALSE(fs::exists(data));

    EXPECT_EQ(Run({"import", data, ics}, &out, &err), kTsyOk);
    EXPECT_EQ(out, "added 4, already there 0, skipped 1\n");
    EXPECT_NE(
        err.find("tsy import: skipped \"Gym\" (line 70): it falls on several weekdays; tsy import "
                 "--next-only imports its next date, 2026-12-14, once\n"),
        std::string::npos)
        << err;
    EXPECT_NE(err.find("tsy import: note on \"Zahnärztin → Kontrolle\" (line 21): characters"),
              std::string::npos)
        << err;
    const std::string once = Read(data);
    EXPECT_EQ(once.substr(0, 4), "3.03");
    EXPECT_EQ(once.size(), 12u + 4 * 58);

    EXPECT_EQ(Run({"import", data, ics}, &out, &err), kTsyOk);
    EXPECT_EQ(out, "added 0, already there 4, skipped 1\n");
    EXPECT_EQ(Read(data), once);

    // --next-only brings the series that cannot be kept as its next date.
    EXPECT_EQ(Run({"import", data, ics, "--next-only"}, &out, &err), kTsyOk);
    EXPECT_EQ(out, "added 1, already there 4, skipped 0\n");
    EXPECT_NE(err.find("note on \"Gym\" (line 70): it falls on several weekdays, which a reminder "
                       "cannot keep; "
                       "only its next date, 2026-12-14, is imported"),
              std::string::npos)
        << err;

    const std::string exported = (dir_ / "out.ics").string();
    EXPECT_EQ(Run({"export", data, "-o", exported}), kTsyOk);
    std::string stdoutCopy;
    EXPECT_EQ(Run({"export", data}, &stdoutCopy), kTsyOk);
    EXPECT_EQ(Read(exported), stdoutCopy);
    const std::string fresh = (dir_ / "fresh.tsy").string();
    EXPECT_EQ(Run({"import", fresh, exported}, &out), kTsyOk);
    EXPECT_EQ(out, "added 5, already there 0, skipped 0\n");
    const std::string withGym = Read(data), twice = Read(fresh);
    EXPECT_EQ(DecodeReminderFile(std::vector<std::uint8_t>(withGym.begin(), withGym.end())),
              DecodeReminderFile(std::vector<std::uint8_t>(twice.begin(), twice.end())));
}

TEST_F(TsyCalendarTest, MalformedFileChangesNothing) {
    const std::string data = (dir_ / "Tessaly.tsy").string();
    ReminderData existing;
    existing.current.InsertByDate(MakeReminder(kAppointment, "Keep", 20261225, 1430, 3, kOneTime));
    ASSERT_TRUE(SaveReminderFile(data, existing, kNotifierLabel));
    const std::string before = Read(data);

    const std::string ics = (dir_ / "bad.ics").string();
    std::ofstream(ics, std::ios::binary)
        << "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART:20261224T100000\r\nSUMMARY:Fine\r\n"
           "END:VEVENT\r\nBEGIN:VEVENT\r\nDTSTART:tomorrow\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
    std::string out, err;
    EXPECT_EQ(Run({"import", data, ics}, &out, &err), kTsyBadInput);
    EXPECT_EQ(err, "tsy import: " + ics + " line 7: DTSTART \"tomorrow\" is no date\n");
    EXPECT_EQ(out, "");
    EXPECT_EQ(Read(data), before);

    EXPECT_EQ(Run({"import", data, (dir_ / "missing.ics").string()}), kTsyFileError);
    EXPECT_EQ(Run({"export", (dir_ / "missing.tsy").string()}), kTsyFileError);
    EXPECT_EQ(Run({"export", data, "--archive=yes"}), kTsyBadInput);
    EXPECT_EQ(Read(data), before);
}

// A skipped event with a huge title costs one short line on stderr.
TEST_F(TsyCalendarTest, SkipLinesStayShort) {
    const std::string data = (dir_ / "Tessaly.tsy").string();
    const std::string ics = (dir_ / "long.ics").string();
    std::ofstream(ics, std::ios::binary)
        << "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART:20200101\r\nSUMMARY:"
        << std::string(1000000, 'z') << "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
    std::string out, err;
    EXPECT_EQ(Run({"import", data, ics}, &out, &err), kTsyOk);
    EXPECT_LT(err.size(), 200u);
    EXPECT_EQ(out, "added 0, already there 0, skipped 1\n");
}

}  // namespace
}  // namespace tessaly
