// The day's alerts: which reminders go off when, and the texts of an alert's pop-up.
#include "notifier/alerts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/tests/test_reminders.h"
#include "core/time_text.h"

namespace tessaly {
namespace {

using testing::MakeReminder;

constexpr DateKey kTuesday = 20261208;

// "20261208 14:15" for a minute of the local clock.
std::string MinuteText(LocalMinute m) {
    const LocalTime t = LocalTimeFromSeconds(m * 60);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d %02d:%02d", t.date, t.hour, t.minute);
    return buf;
}

std::string Trimmed(std::string_view description) {
    return std::string(description.substr(0, description.find_last_not_of(' ') + 1));
}

// One line per alert: when it goes off, the event's time, where the entry is, what it is.
std::vector<std::string> Lines(const std::vector<Alert>& alerts) {
    std::vector<std::string> lines;
    for (const Alert& a : alerts) {
        lines.push_back(MinuteText(a.at) + " for " + MinuteText(a.eventAt) + " " +
                        (a.list == AlertList::kCurrent ? "current " : "archive ") +
                        std::to_string(a.index) + " " + Trimmed(a.reminder.Description()));
    }
    return lines;
}

// Every kind with and without a time, every frequency recurring onto the day from a date
// stored before it, archived copies, an event early the next morning.
TEST(AlertScheduleTest, TheDaysTimedRemindersOfEveryKindAndFrequency) {
    ReminderData data;
    data.current = ReminderList({
        MakeReminder(kAppointment, "Dentist", kTuesday, 1430),
        MakeReminder(kMeeting, "Board weekly", 20261201, 1000, 0, kWeeklyPeriod),
        MakeReminder(kReminderKind, "No time", kTuesday, 0),
        MakeReminder(kReminderKind, "Pills", kTuesday, 800),
        MakeReminder(kBirthday, "Ann born 1990", kTuesday, 1990, 0, kAnnual),
        MakeReminder(kAnniversary, "Year 1200", kTuesday, 1200, 0, kAnnual),
        MakeReminder(0, "No kind", kTuesday, 1430),
        MakeReminder(kMeeting, "Just after midnight", 20261209, 2410),
        MakeReminder(kAppointment, "Early today", kTuesday, 2405),
        MakeReminder(kAppointment, "At 12:15 am tomorrow", 20261209, 15),
        MakeReminder(kReminderKind, "Rent monthly", 20261108, 900, 0, kMonthlyPeriod),
        MakeReminder(kMeeting, "Team 2nd Tuesday", 20261110, 1300, 0, kWeekdayMonths),
        MakeReminder(kAppointment, "Checkup annual", 20251208, 1100, 0, kAnnual),
        MakeReminder(kMeeting, "Every 2 weeks", 20261201, 1600, 0, kWeeklyPeriod, 2),
        MakeReminder(kAppointment, "Tomorrow", 20261209, 1000),
        MakeReminder(kMeeting, "Damaged time", kTuesday, 1375),
        MakeReminder(kAppointment, "Next week", 20261215, 1000),
    });
    data.archive = ReminderList({
        MakeReminder(kMeeting, "Acknowledged standup", kTuesday, 930, 0, kWeeklyPeriod),
        MakeReminder(kAppointment, "Dentist", kTuesday, 1430),  // the same event as current 1
        MakeReminder(kMeeting, "Archived last week", 20261201, 930, 0, kWeeklyPeriod),
    });
    EXPECT_EQ(Lines(AlertSchedule(data, kTuesday, 15)),
              (std::vector<std::string>{
                  "20261208 07:45 for 20261208 08:00 current 4 Pills",
                  "20261208 08:45 for 20261208 09:00 current 11 Rent monthly",
                  "20261208 09:15 for 20261208 09:30 archive 1 Acknowledged standup",
                  "20261208 09:45 for 20261208 10:00 current 2 Board weekly",
                  "20261208 10:45 for 20261208 11:00 current 13 Checkup annual",
                  "20261208 12:45 for 20261208 13:00 current 12 Team 2nd Tuesday",
                  "20261208 14:15 for 20261208 14:30 current 1 Dentist",
                  "20261208 23:55 for 20261209 00:10 current 8 Just after midnight",
              }));
    // The alert is for the occurrence on the day, whatever date the entry holds.
    const std::vector<Alert> alerts = AlertSchedule(data, kTuesday, 15);
    EXPECT_EQ(alerts[3].reminder.date, kTuesday);
    EXPECT_EQ(alerts[7].reminder.date, 20261209);

    EXPECT_TRUE(AlertSchedule(data, kTuesday, 0).empty()) << "0 turns alerts off";
    EXPECT_TRUE(AlertSchedule({}, kTuesday, 15).empty());
}

// An alert belongs to the day its own time falls on, from midnight up to the next: leads reach
// back across midnight, and an alert at midnight exactly is the new day's.
TEST(AlertScheduleTest, LeadsAcrossMidnight) {
    struct Case {
        const char* what;
        DateKey date;
        int time, lead;
        const char* at;  // the one alert, on whichever day it falls
    } cases[] = {
        {"12:10 am, 15 minutes", 20261209, 2410, 15, "20261208 23:55"},
        {"12:00 am stored as 2400", 20261209, 2400, 15, "20261208 23:45"},
        {"12:15 am stored as 15, alert at midnight", 20261209, 15, 15, "20261209 00:00"},
        {"12:16 am", 20261209, 16, 15, "20261209 00:01"},
        {"1:00 am, two hours", 20261209, 100, 120, "20261208 23:00"},
        {"11:59 pm, two hours", 20261208, 2359, 120, "20261208 21:59"},
        {"12:00 am, one minute", 20261209, 2400, 1, "20261208 23:59"},
        {"over the new year", 20270101, 2405, 15, "20261231 23:50"},
        {"over the end of February", 20270301, 2400, 30, "20270228 23:30"},
        {"a whole day", 20261209, 1430, 1440, "20261208 14:30"},
    };
    for (const Case& c : cases) {
        ReminderData data;
        data.current.Append(MakeReminder(kMeeting, "m", c.date, c.time));
        std::vector<std::string> found;
        const std::int64_t day = LocalMinuteOf(c.date, 0) / 1440;
        for (std::int64_t n = day - 2; n <= day + 1; ++n) {
            const CivilDate d = CivilFromDays(n);
            for (const Alert& a : AlertSchedule(data, MakeDateKey(d.year, d.month, d.day), c.lead))
                found.push_back(MinuteText(a.at));
        }
        EXPECT_EQ(found, std::vector<std::string>{c.at}) << c.what;
    }
}

TEST(AlertTextsTest, KindDescriptionAndTimeLeft) {
    struct Case {
        int kind, time;
        DateKey eventDay;
        LocalTime now;
        const char* title;
        const char* when;
    } cases[] = {
        {kMeeting, 1430, kTuesday, {kTuesday, 14, 15, 0}, "Meeting", "at 2:30 pm, in 15 minutes"},
        {kAppointment,
         1430,
         kTuesday,
         {kTuesday, 14, 29, 59},
         "Appointment",
         "at 2:30 pm, in 1 minute"},
        {kReminderKind, 1430, kTuesday, {kTuesday, 14, 30, 0}, "Reminder", "at 2:30 pm, now"},
        {kMeeting, 1430, kTuesday, {kTuesday, 14, 30, 59}, "Meeting", "at 2:30 pm, now"},
        {kMeeting,
         1430,
         kTuesday,
         {kTuesday, 14, 31, 0},
         "Meeting",
         "at 2:30 pm, started 1 minute ago"},
        {kMeeting,
         1430,
         kTuesday,
         {kTuesday, 14, 35, 10},
         "Meeting",
         "at 2:30 pm, started 5 minutes ago"},
        {kMeeting, 2410, 20261209, {kTuesday, 23, 55, 0}, "Meeting", "at 12:10 am, in 15 minutes"},
        {kMeeting,
         2359,
         kTuesday,
         {20261209, 0, 20, 0},
         "Meeting",
         "at 11:59 pm, started 21 minutes ago"},
        {kAppointment,
         930,
         kTuesday,
         {kTuesday, 7, 30, 0},
         "Appointment",
         "at 9:30 am, in 120 minutes"},
    };
    for (const Case& c : cases) {
        Alert alert;
        alert.reminder = MakeReminder(c.kind, "Board \x80 room", c.eventDay, c.time);
        alert.eventAt = LocalMinuteOf(c.eventDay, *StoredTimeMinutes(c.time));
        const AlertTexts t = ComposeAlertTexts(alert, c.now);
        EXPECT_EQ(t.title, c.title);
        EXPECT_EQ(t.description, "Board \x80 room" + std::string(36, ' ')) << "as stored";
        EXPECT_EQ(t.whenLine, c.when);
    }
}

}  // namespace
}  // namespace tessaly
