// A hint for the few buffers that hold a whole large list (a million reminders is 64 MB).
#pragma once

#include <cstddef>

namespace tessaly {

// Says that [data, data + bytes) is about to be filled from start to end, so the system may
// back it with large pages: filling a list of a million reminders then takes a few dozen page
// faults instead of sixteen thousand. Buffers smaller than a large page, and systems without
// such a hint, are left as they are; the contents are never touched.
void HintLargeBuffer(void* data, std::size_t bytes);

}  // namespace tessaly
