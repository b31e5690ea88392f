// How long the notifier sleeps between passes.
#pragma once

#include "core/date.h"

namespace tessaly {

// From a time of day to 10..128 seconds after the next midnight: the rest of the day plus
// 2 * second + 10, so 21:30:15 gives 9025.
int SecondsUntilAfterMidnight(int hour, int minute, int second);

}  // namespace tessaly
