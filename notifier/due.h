// Which reminders pop up today, and what acknowledging one does to the lists.
#pragma once

#include "core/reminder.h"

namespace tessaly {

// Due when dated no later than its notification limit; a consumed entry is never due.
bool IsDue(const Reminder& r, DateKey today);

// "&Acknowledge" on current entry `index` (1-based): archives a copy exactly as shown, then
// moves the entry on to its next occurrence (a one-time entry is only consumed). The caller
// removes consumed entries before saving.
void Acknowledge(ReminderData& data, int index, DateKey today);

}  // namespace tessaly
