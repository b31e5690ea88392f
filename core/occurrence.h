// How reminders move through time: next occurrence, the daily roll-over into the archive,
// the notification window and the days left. Today is always an argument.
#pragma once

#include <functional>
#include <optional>

#include "core/reminder.h"

namespace tessaly {

// The date an entry moves to when it is advanced past today, or none for a one-time entry
// (frequency 1 or 0). An unknown frequency keeps its date.
std::optional<DateKey> NextOccurrence(const Reminder& r, DateKey today);

// True when the reminder happens on `day`, a real calendar date: its own date, or a date it
// recurs on after it, reached one occurrence at a time as acknowledgements and daily
// roll-overs move it (so a monthly reminder once cut to the 28th stays there). A consumed
// entry happens on no day.
bool OccursOn(const Reminder& r, DateKey day);

// Writes the next occurrence into a copy of entry `position`, inserts the copy by date and
// marks the entry itself consumed (negative date). A one-time entry is only consumed.
void AdvanceReminder(ReminderList& list, int position, DateKey today);

// Steps 1-3 of the roll-over: prune the archive to about a month of history and archive
// past one-time reminders (kinds 3..5).
void ArchivePastReminders(ReminderList& current, ReminderList& archive, DateKey today);

// Steps 5-6: advance the past entries at the front, then drop the consumed ones. The result
// is that of advancing entries 1, 2, ... up to the count at the start in turn, stopping at the
// first entry not before today (a copy landing within that count is advanced again), but it
// runs in O(n log n). A past one-time entry is dropped even when no turn was left for it:
// the archiving step has taken it already.
void AdvancePastReminders(ReminderList& current, DateKey today);

// The same steps 5-6 done literally, one insertion at a time; quadratic. Kept as the
// reference for the fast version and for lists that are not in date order.
void AdvancePastRemindersStepByStep(ReminderList& current, DateKey today);

// The whole daily roll-over. saveAfterArchiving, when set, runs between archiving and
// advancing: both programs save the file at that point.
void RollOver(ReminderList& current, ReminderList& archive, DateKey today,
              const std::function<void()>& saveAfterArchiving = {});

// The last date that counts as due today for a reminder with notifyDays days' notice.
// Carries into the next month only once (31 January + 30 gives 30 February).
DateKey NotifyLimit(int notifyDays, DateKey today);

// Whole days from today to key, negative for a date already passed.
int DaysUntil(DateKey key, DateKey today);

}  // namespace tessaly
