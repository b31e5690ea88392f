// The list window's line texts: columns, times, trimming and the width cut.
#include "editor/list/list_rules.h"

#include <gtest/gtest.h>

#include "core/tests/fixed_pitch.h"
#include "core/tests/test_reminders.h"

namespace tessaly::list {
namespace {

using testing::MakeReminder;

// Every character 7 pixels wide: 300 pixels hold 42 characters.
const testing::FixedPitch kSevenPixels(7);

TEST(ListLine, TimeColumn) {
    struct Case {
        int kind, timeOrYear;
        const char* text;
    };
    const Case cases[] = {
        {kAppointment, 0, ""},
        {kAppointment, 1, "12:01 am"},
        {kAppointment, 15, "12:15 am"},
        {kMeeting, 59, "12:59 am"},
        {kMeeting, 100, "1:00 am"},
        {kReminderKind, 930, "9:30 am"},
        {kAppointment, 1200, "12:00 pm"},
        {kAppointment, 1259, "12:59 pm"},
        {kAppointment, 1300, "1:00 pm"},
        {kAppointment, 1415, "2:15 pm"},
        {kAppointment, 2359, "11:59 pm"},
        {kAppointment, 2400, "12:00 am"},
        {kAppointment, 2415, "12:15 am"},
        // Birthdays and anniversaries hold a year, never shown as a time.
        {kBirthday, 1985, ""},
        {kAnniversary, 1300, ""},
        {kBirthday, 930, ""},
        {0, 930, ""},
    };
    for (const Case& c : cases) {
        const Reminder r = MakeReminder(c.kind, "x", 20261225, c.timeOrYear);
        EXPECT_EQ(ListLineColumns(r, kSevenPixels).time, c.text)
            << "kind " << c.kind << " time " << c.timeOrYear;
    }
}

TEST(ListLine, WholeLines) {
    struct Case {
        Reminder r;
        const char* line;
    };
    const Case cases[] = {
        {MakeReminder(kMeeting, "Team lunch", 20261225, 1430, 3),
         "12/25/2026\tFri\t2:30 pm\tmeeting\tTeam lunch\t 3"},
        {MakeReminder(kBirthday, "  Ann  ", 20270105, 1990, 14, kAnnual),
         "01/05/2027\tTue\t\tbirthday\tAnn\t 14"},
        {MakeReminder(kAnniversary, "", 20280229, 0, 0, kAnnual),
         "02/29/2028\tTue\t\tanniversary\t\t 0"},
        {MakeReminder(kReminderKind, "Pay rent", 20261101, 0, 255),
         "11/01/2026\tSun\t\treminder\tPay rent\t 255"},
    };
    for (const Case& c : cases) EXPECT_EQ(ListLineText(c.r, kSevenPixels), c.line);
}

TEST(ListLine, LongDescriptionIsCutWithoutEllipsis) {
    const std::string wide(48, 'W');
    const ListColumns c =
        ListLineColumns(MakeReminder(kAppointment, "  " + wide, 20261225), kSevenPixels);
    EXPECT_EQ(c.description, std::string(42, 'W'));
    // Trimmed first, so the leading blanks do not take room from the text.
    const ListColumns fits = ListLineColumns(
        MakeReminder(kAppointment, "   " + std::string(42, 'a'), 20261225), kSevenPixels);
    EXPECT_EQ(fits.description, std::string(42, 'a'));
}

TEST(ListLine, DateTexts) {
    EXPECT_EQ(ListDateText(20261225, '/'), "12/25/2026");
    EXPECT_EQ(ListDateText(20270105, '-'), "01-05-2027");
    EXPECT_EQ(ListDateText(9991231, '/'), "12/31/0999");
    EXPECT_EQ(ListWeekdayText(20261227), "Sun");
    EXPECT_EQ(ListWeekdayText(20270102), "Sat");
}

}  // namespace
}  // namespace tessaly::list
