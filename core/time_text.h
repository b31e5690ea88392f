// How a stored clock time (hhmm, afternoon raised by 1200, 24xx after midnight) reads.
#pragma once

#include <string>

namespace tessaly {

// "9:30 am", "12:00 pm", "12:05 am" for 2405; empty for 0 or a negative value. The same
// text in the form, the list, the printout and the pop-up.
std::string StoredTimeText(int t);

}  // namespace tessaly
