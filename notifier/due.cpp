#include "notifier/due.h"

#include "core/occurrence.h"

namespace tessaly {

bool IsDue(const Reminder& r, DateKey today) {
    return r.date >= 0 && r.date <= NotifyLimit(r.notifyDays, today);
}

void Acknowledge(ReminderData& data, int index, DateKey today) {
    data.archive.Append(data.current.at(index));
    AdvanceReminder(data.current, index, today);
}

}  // namespace tessaly
