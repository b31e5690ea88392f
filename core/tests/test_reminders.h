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

}  // namespace tessaly::testing
