// Alerts before timed reminders: which go off on a day, and what an alert's pop-up says.
// They are worked out from the data file as it stands and change nothing in it.
#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <string>
#include <vector>

#include "core/reminder.h"
#include "notifier/local_time.h"

namespace tessaly {

enum class AlertList { kCurrent, kArchive };

struct Alert {
    LocalMinute at = 0;       // when it goes off: the reminder's time less the lead
    LocalMinute eventAt = 0;  // the reminder's time on the day it occurs
    AlertList list = AlertList::kCurrent;
    int index = 0;      // the entry's 1-based position in that list
    Reminder reminder;  // the entry, dated on the day of the occurrence it is for
};

// One event, whichever list and position it comes from: an acknowledged reminder's archived
// copy and the current entry it was taken from are the same event on the same day.
struct AlertKey {
    LocalMinute eventAt = 0;
    std::uint8_t kind = 0;
    std::array<char, kDescriptionBytes> description{};
    auto operator<=>(const AlertKey&) const = default;
};
AlertKey KeyOf(const Alert& alert);

// Every alert that goes off on `day`, from its midnight up to the next: each current reminder
// of kind 3 to 5 with a time that occurs (OccursOn) on the day, or on the next day early enough
// for the lead to reach back past midnight (12:10 am less 15 minutes goes off at 11:55 pm the
// evening before), and each archived one dated so, since acknowledging a reminder moves the
// current entry on and leaves only the archived copy on that day. One alert per event, the
// current entry's where both lists hold it. In order of the time they go off, then of the
// event's time, then the current list first, then by position. None with a lead of 0 or less.
std::vector<Alert> AlertSchedule(const ReminderData& data, DateKey day, int leadMinutes);

// What an alert's pop-up shows, composed when it opens.
struct AlertTexts {
    std::string title;        // "Meeting"
    std::string description;  // the 48 stored bytes, as stored (Windows-1252)
    std::string whenLine;     // "at 2:30 pm, in 15 minutes", "at 2:30 pm, now",
                              // "at 2:30 pm, started 5 minutes ago"
};
AlertTexts ComposeAlertTexts(const Alert& alert, const LocalTime& now);

}  // namespace tessaly
