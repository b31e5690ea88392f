// How a stored clock time (hhmm, afternoon raised by 1200, 24xx after midnight) reads.
#pragma once

#include <optional>
#include <string>

namespace tessaly {

// "9:30 am", "12:00 pm", "12:05 am" for 2405; empty for 0 or a negative value. The same
// text in the form, the list, the printout and the pop-up.
std::string StoredTimeText(int t);

// Minutes after the midnight that begins the reminder's date: 1..59 and 2400..2459 are the
// first hour (12:mm am), 100..2359 h:mm. None for 0 (no time) and for a value that names no
// clock time (minutes above 59, hours above 24, negative), which only damaged records hold.
std::optional<int> StoredTimeMinutes(int t);

}  // namespace tessaly
