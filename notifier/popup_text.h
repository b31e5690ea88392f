// The four texts of a reminder's pop-up, composed once when it opens; `tsy due` prints the same.
#pragma once

#include <string>

#include "core/reminder.h"

namespace tessaly {

struct PopupTexts {
    std::string title;        // "36th Birthday", "Appointment", ...
    std::string description;  // the 48 stored bytes, as stored (Windows-1252)
    std::string dateLine;     // "Sunday, December 20         ...12 more days"
    std::string timeLine;     // "Appointment time:  2:30 pm", empty without a time
};

PopupTexts ComposePopupTexts(const Reminder& r, DateKey today);

// A pop-up's title for a kind: its name with a capital, "Meeting"; empty outside 1..5.
std::string KindTitle(int kind);

}  // namespace tessaly
