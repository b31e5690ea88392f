// iCalendar rules: folding and escaping, the recurrence mapping both ways, export then import,
// malformed files, skipped events and calendar files shaped like other programs' exports.
#include "tools/tsy/ical.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "core/codepage.h"
#include "core/data_file.h"
#include "core/tests/test_reminders.h"
#include "tools/tsy/tsy.h"

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
            // A continuation never starts inside a UTF-8 sequence.
            EXPECT_NE(static_cast<unsigned char>(lines[i][1]) & 0xC0, 0x80) << "line " << i;
            unfolded += lines[i].substr(1);
        }
    }
    EXPECT_EQ(unfolded, value);
    EXPECT_EQ(FoldIcsLine(std::string(75, 'x')), std::string(75, 'x') + "\r\n");
    EXPECT_EQ(FoldIcsLine(std::string(76, 'x')), std::string(75, 'x') + "\r\n x\r\n");

    const IcsParseResult parsed = ParseIcs("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\n" + folded +
                                           "END:VEVENT\r\nEND:VCALENDAR\r\n");
    ASSERT_EQ(parsed.errorLine, 0) << parsed.error;
    EXPECT_EQ("SUMMARY:" + parsed.calendars[0].children[0].Find("SUMMARY")->value, value);
}

TEST(IcsParse, QuotedParametersAndLineNumbers) {
    const IcsParseResult parsed = ParseIcs(
        "\xEF\xBB\xBF"
        "BEGIN:VCALENDAR\n"
        "BEGIN:VEVENT\n"
        "dtstart;tzid=\"W. Europe; Standard: Time\";X-A=1,\"b:c\":20270105T143000\n"
        "SUMMARY:long\n"
        "  folded\n"
        "END:VEVENT\n"
        "END:VCALENDAR\n");
    ASSERT_EQ(parsed.errorLine, 0) << parsed.error;
    const IcsComponent& event = parsed.calendars.at(0).children.at(0);
    const IcsProperty* start = event.Find("DTSTART");
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(start->Param("TZID"), "W. Europe; Standard: Time");
    EXPECT_EQ(start->Param("X-A"), "1,b:c");
    EXPECT_EQ(start->value, "20270105T143000");
    EXPECT_EQ(start->line, 3);
    EXPECT_EQ(event.Find("SUMMARY")->value, "long folded");
    EXPECT_EQ(event.line, 2);
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
        {head + "DTSTART:20270105\r\nBEGIN:VALARM\r\nTRIGGER:-1 day\r\nEND:VALARM\r\n" + tail, 5},
        {head + "DTSTART:20270105\r\nEXDATE:20270105,soon\r\n" + tail, 4},
    };
    for (const Case& c : cases) {
        const IcsImport read = ReadIcsEvents(c.text, {kToday, 0});
        EXPECT_EQ(read.errorLine, c.line) << c.text << " -> " << read.error;
        EXPECT_FALSE(read.error.empty()) << c.text;
        EXPECT_TRUE(read.events.empty()) << c.text;
    }
}

// Reminder -> RRULE, and that RRULE read back against the reminder's date gives the same
// frequency and period.
TEST(IcsRecurrence, MappingBothWays) {
    struct Case {
        DateKey date;
        int frequency, period;
        std::string rule;
    };
    const Case cases[] = {
        {20261225, kOneTime, 1, ""},
        {20270314, kAnnual, 1, "FREQ=YEARLY"},
        {20261231, kMonthlyPeriod, 1, "FREQ=MONTHLY;INTERVAL=1;BYMONTHDAY=31"},
        {20270115, kMonthlyPeriod, 3, "FREQ=MONTHLY;INTERVAL=3;BYMONTHDAY=15"},
        {20261224, kWeeklyPeriod, 2, "FREQ=WEEKLY;INTERVAL=2"},
        {20261208, kWeekdayMonths, 1, "FREQ=MONTHLY;INTERVAL=1;BYDAY=2TU"},
        {20261222, kWeekdayMonths, 2, "FREQ=MONTHLY;INTERVAL=2;BYDAY=4TU"},
        {20261229, kWeekdayMonths, 1, "FREQ=MONTHLY;INTERVAL=1;BYDAY=-1TU"},  // fifth = last
        {20261201, kWeekdayMonths, 12, "FREQ=MONTHLY;INTERVAL=12;BYDAY=1TU"},
    };
    for (const Case& c : cases) {
        const Reminder r = MakeReminder(kReminderKind, "x", c.date, 0, 0, c.frequency, c.period);
        EXPECT_EQ(WriteRecurrenceRule(r), c.rule) << c.date;
        if (c.rule.empty()) continue;
        const RuleReading back = ReadRecurrenceRule(c.rule, SplitDateKey(c.date));
        ASSERT_EQ(back.status, RuleReading::kMapped) << c.rule << ": " << back.reason;
        EXPECT_EQ(back.rule.frequency, c.frequency) << c.rule;
        EXPECT_EQ(back.rule.period, c.period) << c.rule;
    }
    // A stored period of 0 repeats every month, as the roll-over treats it.
    EXPECT_EQ(
        WriteRecurrenceRule(MakeReminder(kReminderKind, "x", 20270115, 0, 0, kMonthlyPeriod, 0)),
        "FREQ=MONTHLY;INTERVAL=1;BYMONTHDAY=15");
    // A frequency the editor never stores exports as a single event.
    EXPECT_EQ(WriteRecurrenceRule(MakeReminder(kReminderKind, "x", 20270115, 0, 0, 9, 1)), "");
}

TEST(IcsRecurrence, RulesFromOtherProgramsThatMap) {
    const CivilDate tue{2026, 12, 8};  // second Tuesday
    struct Case {
        std::string rule;
        int frequency, period, weekday, ordinal, monthDay;
    };
    const Case cases[] = {
        {"FREQ=YEARLY;INTERVAL=1;BYMONTH=12;BYMONTHDAY=8", kAnnual, 1, -1, 0, 0},
        {"freq=weekly;wkst=mo;byday=TU", kWeeklyPeriod, 1, -1, 0, 0},
        {"FREQ=MONTHLY", kMonthlyPeriod, 1, -1, 0, 0},
        {"FREQ=MONTHLY;BYMONTHDAY=20", kMonthlyPeriod, 1, -1, 0, 20},
        {"FREQ=MONTHLY;INTERVAL=6;BYDAY=+3FR", kWeekdayMonths, 6, 5, 3, 0},
        {"FREQ=MONTHLY;BYDAY=-1SU", kWeekdayMonths, 1, 0, -1, 0},
    };
    for (const Case& c : cases) {
        const RuleReading r = ReadRecurrenceRule(c.rule, tue);
        ASSERT_EQ(r.status, RuleReading::kMapped) << c.rule << ": " << r.reason;
        EXPECT_EQ(r.rule.frequency, c.frequency) << c.rule;
        EXPECT_EQ(r.rule.period, c.period) << c.rule;
        EXPECT_EQ(r.rule.weekday, c.weekday) << c.rule;
        EXPECT_EQ(r.rule.weekOrdinal, c.ordinal) << c.rule;
        EXPECT_EQ(r.rule.monthDay, c.monthDay) << c.rule;
    }
}

TEST(IcsRecurrence, RulesThatCannotBeKeptSayWhy) {
    const CivilDate tue{2026, 12, 8};
    struct Case {
        std::string rule, reasonPart;
    };
    const Case cases[] = {
        {"FREQ=WEEKLY;COUNT=5", "COUNT or UNTIL"},
        {"FREQ=MONTHLY;UNTIL=20270601T000000Z", "COUNT or UNTIL"},
        {"FREQ=DAILY", "daily"},
        {"FREQ=HOURLY;INTERVAL=4", "hourly"},
        {"FREQ=WEEKLY;BYDAY=MO,WE", "several values"},
        {"FREQ=MONTHLY;BYDAY=TU;BYSETPOS=2", "BYSETPOS"},
        {"FREQ=MONTHLY;BYDAY=TU", "every TU"},
        {"FREQ=MONTHLY;BYDAY=5TU", "only first to fourth and last"},
        {"FREQ=MONTHLY;BYDAY=-2TU", "only first to fourth and last"},
        {"FREQ=MONTHLY;BYMONTHDAY=-1", "end of the month"},
        {"FREQ=YEARLY;INTERVAL=2", "every 2 years"},
        {"FREQ=YEARLY;BYMONTH=5;BYDAY=2SU", "not the month"},
        {"FREQ=YEARLY;BYDAY=2TU", "weekday of the year"},
        {"FREQ=WEEKLY;BYDAY=FR", "not the weekday"},
        {"FREQ=YEARLY;BYWEEKNO=20", "BYWEEKNO"},
        {"FREQ=WEEKLY;INTERVAL=300", "above 255"},
    };
    for (const Case& c : cases) {
        const RuleReading r = ReadRecurrenceRule(c.rule, tue);
        EXPECT_EQ(r.status, RuleReading::kUnmappable) << c.rule;
        EXPECT_NE(r.reason.find(c.reasonPart), std::string::npos) << c.rule << ": " << r.reason;
    }
}

// Every kind, frequency and field the editor stores survives export and import into an
// empty list.
TEST(IcsRoundTrip, ExportThenImportGivesTheSameReminders) {
    ReminderData data;
    const Reminder all[] = {
        MakeReminder(kBirthday, "Anna, \"Nan\"; born at home", 20270314, 1985, 2, kAnnual),
        MakeReminder(kAnniversary, "Wedding", 20270612, 2010, 7, kAnnual),
        MakeReminder(kBirthday, "Ben (year unknown)", 20270219, 0, 0, kAnnual),
        MakeReminder(kReminderKind, "Pay rent \\ or else", 20261231, 0, 0, kMonthlyPeriod, 1),
        MakeReminder(kReminderKind, "Bins out", 20261210, 730, 1, kWeeklyPeriod, 2),
        MakeReminder(kAppointment, "Dentist", 20261225, 1430, 3, kOneTime),
        MakeReminder(kAppointment, "Late call", 20261209, 2405, 0, kOneTime),
        MakeReminder(kAppointment, "Lunch", 20261211, 1215, 0, kOneTime),
        MakeReminder(kMeeting, "Club", 20261229, 1900, 30, kWeekdayMonths, 1),
        MakeReminder(kMeeting, "Board", 20270105, 900, 0, kWeekdayMonths, 3),
        MakeReminder(kReminderKind, "Caf\xe9 \x80 week", 20261208, 0, 0, kOneTime),
        MakeReminder(kReminderKind, std::string(48, 'w'), 20261220, 0, 5, kMonthlyPeriod, 14),
    };
    for (const Reminder& r : all) data.current.InsertByDate(r);
    data.archive.Append(MakeReminder(kAppointment, "Past", 20261201, 1000, 0, kOneTime));

    const IcsExport ics = ExportIcs(data, false, kToday);
    EXPECT_TRUE(ics.notes.empty());
    const IcsImport read = ReadIcsEvents(ics.text, {kToday, 0});
    ASSERT_EQ(read.errorLine, 0) << read.error;
    for (const ImportedEvent& e : read.events)
        EXPECT_TRUE(e.mapped) << e.summary << ": " << e.reason;

    ReminderList imported;
    const ImportCounts counts = AddImportedEvents(read.events, imported);
    EXPECT_EQ(counts.added, data.current.count());
    EXPECT_EQ(imported, data.current);

    // Importing the same events again adds nothing.
    const ImportCounts again = AddImportedEvents(read.events, imported);
    EXPECT_EQ(again.added, 0);
    EXPECT_EQ(again.present, data.current.count());
    EXPECT_EQ(imported, data.current);
}

TEST(IcsExportTest, EventShapeUidsAndArchive) {
    ReminderData data;
    data.current.InsertByDate(MakeReminder(kAppointment, "Dentist", 20261225, 1430, 3, kOneTime));
    data.current.InsertByDate(MakeReminder(kAppointment, "Dentist", 20261225, 1430, 3, kOneTime));
    data.current.InsertByDate(MakeReminder(kBirthday, "Leap", 20290229, 2004, 0, kAnnual));
    data.current.InsertByDate(MakeReminder(kReminderKind, "Damaged", 20271301, 0, 0, kOneTime));
    data.archive.Append(MakeReminder(kMeeting, "Old, weekly", 20261201, 1000, 2, kWeeklyPeriod));

    const IcsExport first = ExportIcs(data, true, kToday);
    EXPECT_EQ(first.text, ExportIcs(data, true, kToday).text) << "export is stable";
    const std::string& t = first.text;
    const std::string uid = ReminderUid(data.current.at(1), false, 0);
    EXPECT_NE(t.find("UID:" + uid + "\r\n"), std::string::npos);
    EXPECT_NE(t.find("UID:" + ReminderUid(data.current.at(1), false, 1) + "\r\n"),
              std::string::npos);
    EXPECT_NE(ReminderUid(data.current.at(1), false, 1), uid);
    EXPECT_NE(t.find("DTSTART:20261225T143000\r\n"), std::string::npos);
    EXPECT_NE(t.find("TRIGGER:-P3D\r\n"), std::string::npos);
    EXPECT_NE(t.find("CATEGORIES:appointment\r\n"), std::string::npos);
    EXPECT_NE(t.find("DTSTAMP:20261208T000000Z\r\n"), std::string::npos);
    // A 29 February that the annual step carried into a common year.
    EXPECT_NE(t.find("DTSTART;VALUE=DATE:20290228\r\n"), std::string::npos);
    EXPECT_NE(t.find("X-TESSALY-YEAR:2004\r\n"), std::string::npos);
    EXPECT_NE(t.find("DESCRIPTION:Year of birth: 2004\r\n"), std::string::npos);
    EXPECT_EQ(t.find("Damaged"), std::string::npos);
    ASSERT_EQ(first.notes.size(), 2u);
    EXPECT_NE(first.notes[0].find("20271301"), std::string::npos);
    EXPECT_NE(first.notes[1].find("29 February"), std::string::npos);
    // The archived entry is one past event: no rule, no alarm.
    const size_t archived = t.find("SUMMARY:Old\\, weekly");
    ASSERT_NE(archived, std::string::npos);
    EXPECT_EQ(t.find("RRULE", archived), std::string::npos);
    EXPECT_EQ(t.find("VALARM", archived), std::string::npos);
    EXPECT_EQ(ExportIcs(data, false, kToday).text.find("Old"), std::string::npos);
    for (const std::string& line : PhysicalLines(t)) EXPECT_LE(line.size(), 75u);
}

struct Expected {
    int kind;
    std::string description;  // UTF-8, before the cut to 48
    DateKey date;
    int timeOrYear, notifyDays, frequency, period;
};

void ExpectImported(const std::string& fixture, int utcOffset, const std::vector<Expected>& mapped,
                    const std::vector<std::pair<std::string, std::string>>& skipped) {
    SCOPED_TRACE(fixture);
    const IcsImport read = ReadIcsEvents(Fixture(fixture), {kToday, utcOffset});
    ASSERT_EQ(read.errorLine, 0) << read.error;
    size_t m = 0, s = 0;
    for (const ImportedEvent& e : read.events) {
        if (e.mapped) {
            ASSERT_LT(m, mapped.size()) << e.summary;
            const Expected& x = mapped[m++];
            EXPECT_EQ(e.reminder, MakeReminder(x.kind, Utf8ToCp1252(x.description), x.date,
                                               x.timeOrYear, x.notifyDays, x.frequency, x.period))
                << e.summary;
        } else {
            ASSERT_LT(s, skipped.size()) << e.summary << ": " << e.reason;
            EXPECT_EQ(e.summary, skipped[s].first);
            EXPECT_NE(e.reason.find(skipped[s].second), std::string::npos) << e.reason;
            ++s;
        }
    }
    EXPECT_EQ(m, mapped.size());
    EXPECT_EQ(s, skipped.size());
}

TEST(IcsImportTest, WebCalendarExport) {
    ExpectImported(
        "web-calendar.ics", 60,
        {
            {kBirthday, "Anna's birthday", 20270314, 1985, 2, kAnnual, 1},
            {kAppointment, "Team stand-up, room 4", 20261215, 930, 0, kWeeklyPeriod, 1},
            // 17:00 UTC is 18:00 an hour east.
            {kAppointment,
             "Dinner with Jo and Sam; bring the cake we promised back in the summer, and", 20261220,
             1800, 0, kOneTime, 1},
        },
        {{"Vitamins", "daily"}, {"Pottery course", "COUNT or UNTIL"}});
}

TEST(IcsImportTest, DesktopMailExport) {
    ExpectImported(
        "desktop-mail.ics", 0,
        {
            {kAppointment, "Zahn\xc3\xa4rztin ? Kontrolle", 20270105, 1430, 0, kWeekdayMonths, 3},
            // 11:00 less 36 hours is late on 8 December: two days' notice.
            {kMeeting, "Budget review", 20261210, 1100, 2, kOneTime, 1},
            {kAnniversary, "Wedding anniversary", 20270612, 2010, 7, kAnnual, 1},
        },
        {{"Gym", "several values"}, {"Book club", "BYSETPOS"}});
}

TEST(IcsImportTest, DesktopCalendarExport) {
    ExpectImported("desktop-calendar.ics", 0,
                   {
                       // The day before at 9:00 (15 hours before midnight): one day's notice.
                       {kBirthday, "Birthday Ben", 20270219, 0, 1, kAnnual, 1},
                       {kReminderKind, "New Year countdown", 20261231, 2359, 0, kOneTime, 1},
                       // From 31 January on: the next one is 31 December.
                       {kReminderKind, "Pay rent", 20261231, 0, 0, kMonthlyPeriod, 1},
                   },
                   {{"Car service", "in the past"}, {"Choir", "COUNT or UNTIL"}});
}

TEST(IcsImportTest, KindsDatesAndTheFormsChecks) {
    auto one = [](const std::string& lines) {
        const IcsImport read = ReadIcsEvents(
            "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\n" + lines + "END:VEVENT\r\nEND:VCALENDAR\r\n",
            {kToday, -300});
        EXPECT_EQ(read.errorLine, 0) << read.error;
        return read.events.empty() ? ImportedEvent{} : read.events[0];
    };
    // Category names a kind; the first that does wins; the time is dropped for a birthday.
    ImportedEvent e =
        one("DTSTART:20261220T100000\r\nCATEGORIES:Work,Birthdays\r\n"
            "CATEGORIES:meeting\r\nSUMMARY:Sam\r\n");
    EXPECT_TRUE(e.mapped) << e.reason;
    EXPECT_EQ(e.reminder.kind, kBirthday);
    EXPECT_EQ(e.reminder.timeOrYear, 0);
    // A yearly all-day event whose summary says anniversary, started years ago.
    e = one("DTSTART;VALUE=DATE:19990101\r\nRRULE:FREQ=YEARLY\r\nSUMMARY:Our ANNIVERSARY\r\n");
    EXPECT_EQ(e.reminder.kind, kAnniversary);
    EXPECT_EQ(e.reminder.date, 20270101);
    EXPECT_EQ(e.reminder.timeOrYear, 1999);
    // A one-time all-day event that says birthday stays a reminder.
    e = one("DTSTART;VALUE=DATE:20261224\r\nSUMMARY:Birthday party\r\n");
    EXPECT_EQ(e.reminder.kind, kReminderKind);
    EXPECT_EQ(e.reminder.frequency, kOneTime);
    // An appointment must have a time: the form's own message.
    e = one("DTSTART;VALUE=DATE:20261224\r\nCATEGORIES:Appointment\r\nSUMMARY:Vet\r\n");
    EXPECT_FALSE(e.mapped);
    EXPECT_NE(e.reason.find("Must fill all fields"), std::string::npos) << e.reason;
    // No summary: the form refuses an empty description.
    e = one("DTSTART;VALUE=DATE:20261224\r\n");
    EXPECT_FALSE(e.mapped);
    EXPECT_NE(e.reason.find("Must fill all fields"), std::string::npos) << e.reason;
    // UTC converted five hours west crosses midnight backwards; 00:30 is 12:30 am.
    e = one("DTSTART:20261221T053000Z\r\nSUMMARY:Early\r\n");
    EXPECT_EQ(e.reminder.date, 20261221);
    EXPECT_EQ(e.reminder.timeOrYear, 2430);
    e = one("DTSTART:20261221T013000Z\r\nSUMMARY:Late\r\n");
    EXPECT_EQ(e.reminder.date, 20261220);
    EXPECT_EQ(e.reminder.timeOrYear, 2030);
    // Beyond the editor's century.
    e = one("DTSTART;VALUE=DATE:21000101\r\nSUMMARY:Far\r\n");
    EXPECT_FALSE(e.mapped);
    EXPECT_NE(e.reason.find("21st century"), std::string::npos) << e.reason;
    // A weekly series that started long ago lands on its next date from today on.
    e = one("DTSTART:20260113T090000\r\nRRULE:FREQ=WEEKLY;INTERVAL=2\r\nSUMMARY:Swim\r\n");
    EXPECT_EQ(e.reminder.date, 20261215);
    // Today itself counts.
    e = one("DTSTART:20251208T090000\r\nRRULE:FREQ=YEARLY\r\nSUMMARY:Today\r\n");
    EXPECT_EQ(e.reminder.date, 20261208);
    // The last Sunday of the month, every other month from October.
    e =
        one("DTSTART;VALUE=DATE:20261025\r\nRRULE:FREQ=MONTHLY;INTERVAL=2;BYDAY=-1SU\r\n"
            "SUMMARY:Market\r\n");
    EXPECT_EQ(e.reminder.date, 20261227);
    EXPECT_EQ(e.reminder.frequency, kWeekdayMonths);
    // Notice: the earliest of several alarms, held at 30; an alarm after the start adds none.
    e =
        one("DTSTART:20261230T090000\r\nSUMMARY:Trip\r\n"
            "BEGIN:VALARM\r\nTRIGGER:-P3D\r\nEND:VALARM\r\n"
            "BEGIN:VALARM\r\nTRIGGER:-P6W\r\nEND:VALARM\r\n"
            "BEGIN:VALARM\r\nTRIGGER;RELATED=END:-PT5M\r\nEND:VALARM\r\n");
    EXPECT_EQ(e.reminder.notifyDays, 30);
    e =
        one("DTSTART:20261230T090000\r\nSUMMARY:Trip\r\n"
            "BEGIN:VALARM\r\nTRIGGER;VALUE=DATE-TIME:20261227T080000Z\r\nEND:VALARM\r\n");
    EXPECT_EQ(e.reminder.notifyDays, 3);
    // Exceptions still to come cannot be kept; past ones do not matter.
    e =
        one("DTSTART;VALUE=DATE:20260101\r\nRRULE:FREQ=MONTHLY\r\nEXDATE;VALUE=DATE:20260201\r\n"
            "SUMMARY:Ok\r\n");
    EXPECT_TRUE(e.mapped) << e.reason;
    e =
        one("DTSTART;VALUE=DATE:20260101\r\nRRULE:FREQ=MONTHLY\r\nEXDATE;VALUE=DATE:20270201\r\n"
            "SUMMARY:Gap\r\n");
    EXPECT_FALSE(e.mapped);
    e = one("DTSTART:20261224T100000\r\nRECURRENCE-ID:20261224T100000\r\nSUMMARY:Moved\r\n");
    EXPECT_FALSE(e.mapped);
    e = one("SUMMARY:No start\r\n");
    EXPECT_NE(e.reason.find("no start date"), std::string::npos);
}

// tsy export and import end to end on files.
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
        const int status = RunTsy(args, o, e, kToday);
        if (out) *out = o.str();
        if (err) *err = e.str();
        return status;
    }
    static std::string Read(const fs::path& p) {
        std::ifstream f(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    }
    fs::path dir_;
};

TEST_F(TsyCalendarTest, ImportTwiceThenExportRoundTrip) {
    const std::string data = (dir_ / "Tessaly.tsy").string();
    const std::string ics = (dir_ / "in.ics").string();
    std::ofstream(ics, std::ios::binary) << Fixture("desktop-mail.ics");

    std::string out, err;
    EXPECT_EQ(Run({"import", data, ics, "--dry-run"}, &out, &err), kTsyOk);
    EXPECT_EQ(out, "would add 3, already there 0, skipped 2\n");
    EXPECT_FALSE(fs::exists(data));

    EXPECT_EQ(Run({"import", data, ics}, &out, &err), kTsyOk);
    EXPECT_EQ(out, "added 3, already there 0, skipped 2\n");
    EXPECT_NE(err.find("skipped \"Gym\" (line 70): its BYDAY has several values"),
              std::string::npos)
        << err;
    const std::string once = Read(data);
    EXPECT_EQ(once.substr(0, 4), "3.03");
    EXPECT_EQ(once.size(), 12u + 3 * 58);

    EXPECT_EQ(Run({"import", data, ics}, &out, &err), kTsyOk);
    EXPECT_EQ(out, "added 0, already there 3, skipped 2\n");
    EXPECT_EQ(Read(data), once);

    const std::string exported = (dir_ / "out.ics").string();
    EXPECT_EQ(Run({"export", data, "-o", exported}), kTsyOk);
    std::string stdoutCopy;
    EXPECT_EQ(Run({"export", data}, &stdoutCopy), kTsyOk);
    EXPECT_EQ(Read(exported), stdoutCopy);
    const std::string fresh = (dir_ / "fresh.tsy").string();
    EXPECT_EQ(Run({"import", fresh, exported}, &out), kTsyOk);
    EXPECT_EQ(out, "added 3, already there 0, skipped 0\n");
    const std::string twice = Read(fresh);
    EXPECT_EQ(DecodeReminderFile(std::vector<std::uint8_t>(once.begin(), once.end())),
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

TEST_F(TsyCalendarTest, HelpDocumentsTheKindRule) {
    std::string out;
    EXPECT_EQ(Run({"--help"}, &out), kTsyOk);
    EXPECT_NE(out.find("tsy import FILE IN.ics [--dry-run]"), std::string::npos);
    EXPECT_NE(out.find("a CATEGORIES value naming a kind"), std::string::npos);
}

}  // namespace
}  // namespace tessaly
