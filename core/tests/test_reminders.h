// Small builders shared by the core tests.
#pragma once

#include <string_view>

#include "core/reminder.h"

namespace tessaly::testing {

inline Reminder Make(DateKey date, std::uint8_t frequency = kOneTime, std::uint8_t period = 1,
                     std::uint8_t kind = kAppointment, std::string_view text = "x") {
    Reminder r;
    r.kind = kind;
    r.SetDescription(text);
    r.date = date;
    r.frequency = frequency;
    r.period = period;
    return r;
}

// Every field in the order the form shows them.
inline Reminder MakeReminder(int kind, std::string_view description, DateKey date,
                             int timeOrYear = 0, int notifyDays = 0, int frequency = kOneTime,
                             int period = 1) {
    Reminder r;
    r.kind = static_cast<std::uint8_t>(kind);
    r.SetDescription(description);
    r.date = date;
    r.timeOrYear = static_cast<std::int16_t>(timeOrYear);
    r.notifyDays = static_cast<std::uint8_t>(notifyDays);
    r.frequency = static_cast<std::uint8_t>(frequency);
    r.period = static_cast<std::uint8_t>(period);
    return r;
}

}  // namespace tessaly::testing
