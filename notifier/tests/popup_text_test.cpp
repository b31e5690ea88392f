// The pop-up's four texts and the due test.
#include <gtest/gtest.h>

#include <string>

#include "core/occurrence.h"
#include "notifier/due.h"
#include "notifier/popup_text.h"
#include "notifier/tests/notifier_fixture.h"

namespace tessaly {
namespace {

using testing::MakeReminder;

constexpr DateKey kToday = 20261208;  // a Tuesday
const std::string kGap = "         ...";

struct TextCase {
    const char* what;
    Reminder r;
    const char* title;
    std::string dateLine;
    const char* timeLine;
};

TEST(PopupTexts, ComposedFromTheEntry) {
    const TextCase cases[] = {
        {"birthday with an age", MakeReminder(kBirthday, "Ann", 20261220, 1990), "36th Birthday",
         "Sunday, December 20" + kGap + "12 more days", ""},
        {"21st", MakeReminder(kBirthday, "x", 20261220, 2005), "21st Birthday",
         "Sunday, December 20" + kGap + "12 more days", ""},
        {"11th", MakeReminder(kAnniversary, "x", 20261209, 2015), "11th Anniversary",
         "Wednesday, December 9" + kGap + "1 more days", ""},
        {"12th", MakeReminder(kAnniversary, "x", 20261209, 2014), "12th Anniversary",
         "Wednesday, December 9" + kGap + "1 more days", ""},
        {"13th", MakeReminder(kAnniversary, "x", 20261209, 2013), "13th Anniversary",
         "Wednesday, December 9" + kGap + "1 more days", ""},
        {"22nd", MakeReminder(kAnniversary, "x", 20261209, 2004), "22nd Anniversary",
         "Wednesday, December 9" + kGap + "1 more days", ""},
        {"111st", MakeReminder(kBirthday, "x", 20261209, 1915), "111st Birthday",
         "Wednesday, December 9" + kGap + "1 more days", ""},
        {"year of origin after the date", MakeReminder(kBirthday, "x", 20261209, 2027),
         "-1th Birthday", "Wednesday, December 9" + kGap + "1 more days", ""},
        {"appointment today", MakeReminder(kAppointment, "Dentist", kToday, 1430), "Appointment",
         "Tuesday, December 8" + kGap + "This is the day!", "Appointment time:  2:30 pm"},
        {"meeting", MakeReminder(kMeeting, "x", kToday, 1200), "Meeting",
         "Tuesday, December 8" + kGap + "This is the day!", "Meeting time:  12:00 pm"},
        {"reminder morning", MakeReminder(kReminderKind, "x", kToday, 930), "Reminder",
         "Tuesday, December 8" + kGap + "This is the day!", "Time:  9:30 am"},
        {"reminder afternoon", MakeReminder(kReminderKind, "x", kToday, 1545), "Reminder",
         "Tuesday, December 8" + kGap + "This is the day!", "Time:  3:45 pm"},
        {"past midnight", MakeReminder(kReminderKind, "x", kToday, 5), "Reminder",
         "Tuesday, December 8" + kGap + "This is the day!", "Time:  12:05 am"},
        {"typed midnight", MakeReminder(kAppointment, "x", kToday, 2400), "Appointment",
         "Tuesday, December 8" + kGap + "This is the day!", "Appointment time:  12:00 am"},
        {"no time", MakeReminder(kAppointment, "x", kToday, 0), "Appointment",
         "Tuesday, December 8" + kGap + "This is the day!", ""},
        {"second Tuesday", MakeReminder(kMeeting, "x", 20261208, 1000, 7, kWeekdayMonths),
         "Meeting", "Second Tuesday" + kGap + "This is the day!", "Meeting time:  10:00 am"},
        {"fifth weekday has no word", MakeReminder(kMeeting, "x", 20261229, 0, 30, kWeekdayMonths),
         "Meeting", " Tuesday" + kGap + "21 more days", ""},
        {"already passed", MakeReminder(kBirthday, "x", 20261205, 0, 0, kAnnual), "Birthday",
         "Saturday, December 5" + kGap + "3 days ago", ""},
        {"kind outside 1..5", MakeReminder(9, "x", kToday, 0), "",
         "Tuesday, December 8" + kGap + "This is the day!", ""},
        {"kind 0 with a year", MakeReminder(0, "x", kToday, 1990), "36th ",
         "Tuesday, December 8" + kGap + "This is the day!", ""},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.what);
        const PopupTexts t = ComposePopupTexts(c.r, kToday);
        EXPECT_EQ(t.title, c.title);
        EXPECT_EQ(t.dateLine, c.dateLine);
        EXPECT_EQ(t.timeLine, c.timeLine);
    }
}

TEST(PopupTexts, MonthOutsideTheYearGivesAnEmptyMonthName) {
    const PopupTexts t = ComposePopupTexts(MakeReminder(kReminderKind, "x", 20261308), kToday);
    // The weekday is whatever the damaged date runs into; the month word is empty.
    EXPECT_NE(t.dateLine.find(",  8" + kGap), std::string::npos) << t.dateLine;
}

TEST(PopupTexts, DescriptionIsTheStoredFieldAndFourDaysAheadCounts) {
    Reminder r = MakeReminder(kReminderKind, "Call the bank \xe9", 20261212, 0, 5);
    const PopupTexts t = ComposePopupTexts(r, kToday);
    EXPECT_EQ(t.description, std::string(r.Description()));
    EXPECT_EQ(t.description.size(), 48u);
    EXPECT_EQ(t.dateLine, "Saturday, December 12" + kGap + "4 more days");
}

TEST(Due, NotifyLimitDecides) {
    struct {
        DateKey date, today;
        int notify;
        bool due;
    } cases[] = {
        {20261208, 20261208, 0, true},   {20261209, 20261208, 0, false},
        {20261201, 20261208, 0, true},   {20261212, 20261208, 5, true},
        {20261213, 20261208, 5, true},   {20261214, 20261208, 5, false},
        {20270102, 20261230, 3, true},   {20270103, 20261230, 3, false},
        {20270301, 20270131, 30, false},  // 31 January + 30 stops at "30 February"
        {21000301, 21000228, 1, true},    // 2100 is no leap year here either
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.date);
        EXPECT_EQ(
            IsDue(MakeReminder(kReminderKind, "x", c.date, 0, std::uint8_t(c.notify)), c.today),
            c.due);
    }
    EXPECT_FALSE(IsDue(MakeReminder(kReminderKind, "x", -20261208), 20261208)) << "consumed";
}

TEST(Due, AcknowledgeArchivesAsShownAndMovesOn) {
    ReminderData d;
    d.current.Append(MakeReminder(kMeeting, "weekly", 20261224, 900, 7, kWeeklyPeriod, 2));
    d.current.Append(MakeReminder(kAppointment, "once", 20261230, 1000, 30));
    Acknowledge(d, 1, 20261208);
    ASSERT_EQ(d.archive.count(), 1);
    EXPECT_EQ(d.archive.at(1).date, 20261224);
    Acknowledge(d, 2, 20261208);  // the one-time entry, still at position 2
    ASSERT_EQ(d.archive.count(), 2);
    EXPECT_EQ(d.archive.at(2).date, 20261230);
    d.current.RemoveConsumed();
    ASSERT_EQ(d.current.count(), 1);
    EXPECT_EQ(d.current.at(1).date, 20270107);
}

}  // namespace
}  // namespace tessaly
