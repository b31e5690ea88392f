#include "core/reminder.h"

#include <algorithm>

namespace tessaly {
namespace {

void PutLe(std::uint8_t* out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t GetLe(const std::uint8_t* in, int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= static_cast<std::uint32_t>(in[i]) << (8 * i);
    return v;
}

}  // namespace

void Reminder::SetDescription(std::string_view bytes) {
    description = BlankDescription();
    std::copy_n(bytes.begin(), std::min(bytes.size(), kDescriptionBytes), description.begin());
}

void EncodeReminder(const Reminder& r, std::uint8_t* out) {
    out[0] = r.kind;
    std::copy(r.description.begin(), r.description.end(), out + 1);
    PutLe(out + 49, static_cast<std::uint32_t>(r.date), 4);
    PutLe(out + 53, static_cast<std::uint16_t>(r.timeOrYear), 2);
    out[55] = r.notifyDays;
    out[56] = r.period;
    out[57] = r.frequency;
}

Reminder DecodeReminder(const std::uint8_t* in) {
    Reminder r;
    r.kind = in[0];
    std::copy(in + 1, in + 49, r.description.begin());
    r.date = static_cast<DateKey>(GetLe(in + 49, 4));
    r.timeOrYear = static_cast<std::int16_t>(GetLe(in + 53, 2));
    r.notifyDays = in[55];
    r.period = in[56];
    r.frequency = in[57];
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
