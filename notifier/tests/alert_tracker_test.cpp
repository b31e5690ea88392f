// The alert state machine over a fake clock: what shows when, what the answers do, sleep and
// clock changes, and a data file that changes while the notifier waits.
#include "notifier/alert_tracker.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "core/tests/test_reminders.h"
#include "notifier/due.h"

namespace tessaly {

void PrintTo(const LocalTime& t, std::ostream* os) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d %02d:%02d:%02d", t.date, t.hour, t.minute, t.second);
    *os << buf;
}

namespace {

using testing::MakeReminder;

constexpr DateKey kTuesday = 20261208;
constexpr DateKey kWednesday = 20261209;

LocalTime At(int hour, int minute, int second = 0, DateKey date = kTuesday) {
    return {date, hour, minute, second};
}

ReminderData Current(std::vector<Reminder> current) {
    ReminderData data;
    data.current = ReminderList(std::move(current));
    return data;
}

class AlertTrackerTest : public ::testing::Test {
  protected:
    // Shows what is due at `now`, one pop-up after another, each answered with Dismiss
    // ('d') or Snooze ('s'); the pop-ups' description and time lines.
    std::vector<std::string> ShowDue(const LocalTime& now, char answer = 'd') {
        std::vector<std::string> shown;
        while (const std::optional<Alert> alert = tracker.Next(now)) {
            const AlertTexts t = ComposeAlertTexts(*alert, now);
            shown.push_back(t.description.substr(0, t.description.find_last_not_of(' ') + 1) +
                            ": " + t.whenLine);
            if (answer == 's') {
                tracker.Snooze(*alert, now);
            } else {
                tracker.Dismiss(*alert);
            }
        }
        return shown;
    }
    using Shown = std::vector<std::string>;

    AlertTracker tracker;
};

TEST_F(AlertTrackerTest, EachAlertShowsOnceAtItsTimeAndTheWaitEndsAtTheNext) {
    tracker.Reload(Current({MakeReminder(kMeeting, "Board", kTuesday, 1000),
                            MakeReminder(kAppointment, "Dentist", kTuesday, 1430),
                            MakeReminder(kMeeting, "Call", kTuesday, 1430)}),
                   15);
    EXPECT_EQ(ShowDue(At(8, 0)), Shown{});
    EXPECT_EQ(tracker.NextWake(At(8, 0)), At(9, 45));
    EXPECT_EQ(tracker.NextWake(At(9, 44, 59)), At(9, 45));
    EXPECT_EQ(ShowDue(At(9, 45)), Shown{"Board: at 10:00 am, in 15 minutes"});
    EXPECT_EQ(ShowDue(At(9, 46)), Shown{}) << "once";
    EXPECT_EQ(tracker.NextWake(At(9, 46)), At(14, 15));
    // Due together: one pop-up after the other, in list order.
    EXPECT_EQ(ShowDue(At(14, 15, 2)),
              (Shown{"Dentist: at 2:30 pm, in 15 minutes", "Call: at 2:30 pm, in 15 minutes"}));
    EXPECT_EQ(tracker.NextWake(At(14, 16)), At(0, 0, 0, kWednesday))
        << "nothing left today: the next day's alerts are worked out at midnight";
}

TEST_F(AlertTrackerTest, SnoozeShowsItAgainFiveMinutesAfterTheAnswer) {
    tracker.Reload(Current({MakeReminder(kMeeting, "Board", kTuesday, 1430)}), 15);
    const std::optional<Alert> shown = tracker.Next(At(14, 15));
    ASSERT_TRUE(shown);
    tracker.Snooze(*shown, At(14, 16, 30));  // answered a minute and a half after it opened
    EXPECT_EQ(tracker.NextWake(At(14, 16, 30)), At(14, 21, 30));
    EXPECT_EQ(ShowDue(At(14, 21, 29)), Shown{});
    EXPECT_EQ(ShowDue(At(14, 21, 30), 's'), Shown{"Board: at 2:30 pm, in 9 minutes"});
    EXPECT_EQ(ShowDue(At(14, 26, 30), 's'), Shown{"Board: at 2:30 pm, in 4 minutes"});
    EXPECT_EQ(ShowDue(At(14, 31, 30), 'd'), Shown{"Board: at 2:30 pm, started 1 minute ago"});
    EXPECT_EQ(ShowDue(At(14, 40)), Shown{}) << "dismissed";
    EXPECT_EQ(tracker.NextWake(At(14, 40)), At(0, 0, 0, kWednesday));
}

// The computer slept, or the clock was set ahead, across an alert's time: it shows once, late,
// while its time is less than an hour ago; an older one is dropped. The same for a snooze.
TEST_F(AlertTrackerTest, SleepAcrossAnAlert) {
    const ReminderData data = Current({MakeReminder(kMeeting, "Board", kTuesday, 1430),
                                       MakeReminder(kMeeting, "Later", kTuesday, 1700)});
    struct Case {
        LocalTime resumed;
        Shown shown;
        LocalTime wake;
    } cases[] = {
        {At(14, 40), {"Board: at 2:30 pm, started 10 minutes ago"}, At(16, 45)},
        {At(15, 14, 59), {"Board: at 2:30 pm, started 44 minutes ago"}, At(16, 45)},
        {At(15, 15), {}, At(16, 45)},
        {At(17, 10), {"Later: at 5:00 pm, started 10 minutes ago"}, At(0, 0, 0, kWednesday)},
        {At(0, 5, 0, kWednesday), {}, At(0, 0, 0, 20261210)},
    };
    for (const Case& c : cases) {
        tracker = AlertTracker();
        tracker.Reload(data, 15);
        EXPECT_EQ(tracker.NextWake(At(14, 0)), At(14, 15));
        EXPECT_EQ(ShowDue(c.resumed), c.shown) << c.resumed.hour << ":" << c.resumed.minute;
        EXPECT_EQ(tracker.NextWake(c.resumed), (c.wake));
    }

    tracker = AlertTracker();
    tracker.Reload(data, 15);
    ASSERT_EQ(ShowDue(At(14, 15), 's').size(), 1u);
    EXPECT_EQ(ShowDue(At(15, 19, 59)), Shown{"Board: at 2:30 pm, started 49 minutes ago"});
    tracker = AlertTracker();
    tracker.Reload(data, 15);
    ASSERT_EQ(ShowDue(At(14, 15), 's').size(), 1u);
    EXPECT_EQ(ShowDue(At(15, 20)), Shown{}) << "a snooze an hour late is dropped too";
}

// Just after midnight, yesterday evening's alerts are still caught up.
TEST_F(AlertTrackerTest, SleepAcrossMidnight) {
    tracker.Reload(Current({MakeReminder(kMeeting, "Late call", kWednesday, 2410),
                            MakeReminder(kMeeting, "Early call", kWednesday, 50)}),
                   15);
    EXPECT_EQ(tracker.NextWake(At(23, 0)), At(23, 55));
    EXPECT_EQ(ShowDue(At(0, 20, 0, kWednesday)),
              (Shown{"Late call: at 12:10 am, started 10 minutes ago"}));
    EXPECT_EQ(tracker.NextWake(At(0, 20, 0, kWednesday)), At(0, 35, 0, kWednesday));
}

// Changing the clock neither repeats an answered alert nor loses one still to come.
TEST_F(AlertTrackerTest, ClockSetBackOrAhead) {
    tracker.Reload(Current({MakeReminder(kMeeting, "Board", kTuesday, 1430),
                            MakeReminder(kMeeting, "Next day", kWednesday, 900)}),
                   15);
    EXPECT_EQ(ShowDue(At(14, 15)).size(), 1u);
    EXPECT_EQ(ShowDue(At(14, 15)), Shown{}) << "clock set back a few minutes";
    EXPECT_EQ(ShowDue(At(8, 45, 0, kWednesday)).size(), 1u) << "set ahead a day";
    EXPECT_EQ(ShowDue(At(14, 20)), Shown{}) << "and back again";
    EXPECT_EQ(tracker.NextWake(At(14, 20)), At(0, 0, 0, kWednesday));
    EXPECT_EQ(ShowDue(At(8, 45, 0, kWednesday)), Shown{}) << "the real next morning";
}

// The editor saved at noon: a meeting added for this afternoon is alerted, a deleted one is
// not, a moved one at its new time; what was answered before stays answered, and a snooze goes
// with its deleted reminder.
TEST_F(AlertTrackerTest, AFileChangedAtNoon) {
    const Reminder noon = MakeReminder(kMeeting, "Noon", kTuesday, 1200);
    const Reminder deleted = MakeReminder(kMeeting, "Deleted", kTuesday, 1500);
    const Reminder moved = MakeReminder(kMeeting, "Moved", kTuesday, 1600);
    const Reminder snoozed = MakeReminder(kMeeting, "Snoozed then deleted", kTuesday, 1210);
    tracker.Reload(Current({noon, deleted, moved, snoozed}), 15);
    EXPECT_EQ(ShowDue(At(11, 45)), Shown{"Noon: at 12:00 pm, in 15 minutes"});
    EXPECT_EQ(ShowDue(At(11, 55), 's'), Shown{"Snoozed then deleted: at 12:10 pm, in 15 minutes"});

    Reminder later = moved;
    later.timeOrYear = 1630;
    tracker.Reload(Current({noon, later, MakeReminder(kAppointment, "Added", kTuesday, 1300)}), 15);
    EXPECT_EQ(ShowDue(At(12, 0)), Shown{});
    EXPECT_EQ(tracker.NextWake(At(12, 0)), At(12, 45));
    EXPECT_EQ(ShowDue(At(12, 45)), Shown{"Added: at 1:00 pm, in 15 minutes"});
    EXPECT_EQ(tracker.NextWake(At(12, 46)), At(16, 15));
    EXPECT_EQ(ShowDue(At(16, 15)), Shown{"Moved: at 4:30 pm, in 15 minutes"});

    // An alert on screen while the file is read again does not come a second time.
    const Reminder late = MakeReminder(kMeeting, "Late", kTuesday, 2330);
    tracker.Reload(Current({noon, later, late}), 15);
    ASSERT_TRUE(tracker.Next(At(23, 15)));
    tracker.Reload(Current({noon, later, late}), 15);
    EXPECT_EQ(ShowDue(At(23, 16)), Shown{});
}

// "&Acknowledge" in the morning's pop-up (or on a day before, with notify days) moves the
// current entry on or removes it; the archived copy still brings the alert.
TEST_F(AlertTrackerTest, RemindersAcknowledgedBeforeTheirTime) {
    struct Case {
        const char* what;
        Reminder reminder;
        DateKey acknowledged;
    } cases[] = {
        {"one time, this morning", MakeReminder(kMeeting, "Board", kTuesday, 1430, 0), kTuesday},
        {"weekly, this morning", MakeReminder(kMeeting, "Board", kTuesday, 1430, 0, kWeeklyPeriod),
         kTuesday},
        {"one time, two days before", MakeReminder(kMeeting, "Board", kTuesday, 1430, 3, kOneTime),
         20261206},
        {"monthly, the day before",
         MakeReminder(kMeeting, "Board", kTuesday, 1430, 1, kMonthlyPeriod), 20261207},
    };
    for (const Case& c : cases) {
        ReminderData data = Current({c.reminder});
        Acknowledge(data, 1, c.acknowledged);
        data.current.RemoveConsumed();
        tracker = AlertTracker();
        tracker.Reload(data, 15);
        EXPECT_EQ(ShowDue(At(14, 15)), Shown{"Board: at 2:30 pm, in 15 minutes"}) << c.what;
    }
}

TEST_F(AlertTrackerTest, LeadZeroTurnsAlertsOffAndANewLeadTakesEffect) {
    const ReminderData data = Current({MakeReminder(kMeeting, "Board", kTuesday, 1430)});
    tracker.Reload(data, 0);
    EXPECT_EQ(ShowDue(At(14, 15)), Shown{});
    EXPECT_EQ(tracker.NextWake(At(14, 0)), At(0, 0, 0, kWednesday));
    tracker.Reload(data, 60);  // set at 14:00: its alert went off at 13:30
    EXPECT_EQ(ShowDue(At(14, 0)), Shown{"Board: at 2:30 pm, in 30 minutes"});
    tracker.Reload(data, 15);
    EXPECT_EQ(ShowDue(At(14, 15)), Shown{}) << "answered under the old lead";
}

}  // namespace
}  // namespace tessaly
