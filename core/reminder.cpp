#include "core/reminder.h"

#include <algorithm>

#include "core/bytes.h"

namespace tessaly {

void Reminder::SetDescription(std::string_view bytes) {
    description = BlankDescription();
    std::copy_n(bytes.begin(), std::min(bytes.size(), kDescriptionBytes), description.begin());
}

void EncodeReminder(const Reminder& r, std::uint8_t* out) {
    ByteWriter record({out, kReminderBytes});
    record.U8(r.kind);
    record.Text(r.Description());
    record.I32(r.date);
    record.I16(r.timeOrYear);
    record.U8(r.notifyDays);
    record.U8(r.period);
    record.U8(r.frequency);
}

Reminder DecodeReminder(const std::uint8_t* in) {
    ByteReader record({in, kReminderBytes});
    Reminder r;
    r.kind = record.U8();
    record.Bytes({reinterpret_cast<std::uint8_t*>(r.description.data()), r.description.size()});
    r.date = record.I32();
    r.timeOrYear = record.I16();
    r.notifyDays = record.U8();
    r.period = record.U8();
    r.frequency = record.U8();
    return r;
}

std::string_view KindName(int kind) {
    static constexpr std::string_view kNames[] = {"birthday", "anniversary", "reminder",
                                                  "appointment", "meeting"};
    return kind >= 1 && kind <= 5 ? kNames[kind - 1] : std::string_view{};
}

void ReminderList::RemoveAt(int position) {
    entries_.erase(entries_.begin() + (position - 1));
}

int ReminderList::InsertByDate(const Reminder& r) {
    // A plain scan, not a binary search: consumed entries (negative dates) may stand
    // among the others while a pass is running, and the first later date decides.
    auto it = std::find_if(entries_.begin(), entries_.end(),
                           [&](const Reminder& e) { return e.date > r.date; });
    it = entries_.insert(it, r);
    return static_cast<int>(it - entries_.begin()) + 1;
}

void ReminderList::RemoveConsumed() {
    std::erase_if(entries_, [](const Reminder& e) { return e.date < 0; });
}

}  // namespace tessaly
