// Which alert to show, and when to look again, for a notifier that waits between times. It is
// handed the data file's content each time the file has been read, the clock at each call, and
// the user's answers; it keeps in memory only what was shown, dismissed and snoozed, and never
// changes the file.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "core/reminder.h"
#include "notifier/alerts.h"
#include "notifier/local_time.h"

namespace tessaly {

// "&Snooze" shows the alert again this long after the answer.
inline constexpr int kSnoozeMinutes = 5;
// An alert (or snooze) whose time passed while the computer slept, or that a clock set ahead
// jumped over, still shows when its time is less than this long ago; an older one is dropped.
inline constexpr int kLateAlertMinutes = 60;

class AlertTracker {
  public:
    // The data file's content and the lead (0 turns alerts off). An event still in the file
    // keeps what happened to its alert: shown or dismissed ones do not come back, a snoozed one
    // comes at its snooze time. An event gone from the file takes its alert, snoozed or not,
    // with it; one whose time changed is a new event.
    void Reload(ReminderData data, int leadMinutes);

    // The alert to show now: of those whose time, or snooze time, has come and passed less than
    // kLateAlertMinutes ago, the earliest. It counts as shown from this call on, so neither a
    // reload nor another call brings it back; its pop-up answers with Dismiss or Snooze.
    std::optional<Alert> Next(const LocalTime& now);

    void Dismiss(const Alert& alert);
    // Shows it again kSnoozeMinutes after `now`, the time of the answer.
    void Snooze(const Alert& alert, const LocalTime& now);

    // When to call Next again: `now` when an alert is due; else the earliest alert or snooze
    // still to come, or the next midnight (when the next day's alerts are worked out) when
    // that comes first. A clock changed in the meantime needs no more than another call.
    LocalTime NextWake(const LocalTime& now);

  private:
    enum class State { kShown, kDismissed, kSnoozed };
    struct Answer {
        State state = State::kShown;
        std::int64_t snoozedUntil = 0;  // LocalSeconds, for kSnoozed
    };

    // The alerts of the day before `today` (caught up just after midnight) and of today.
    void Refresh(DateKey today);
    // When alert a is to show: its own time, its snooze time, or none once answered.
    std::optional<std::int64_t> ShowsAt(const Alert& a) const;

    ReminderData data_;
    int lead_ = 0;
    DateKey scheduled_ = 0;  // the day alerts_ was worked out for; 0: to work out
    std::vector<Alert> alerts_;
    std::map<AlertKey, Answer> answers_;
};

}  // namespace tessaly
