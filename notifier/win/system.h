// The notifier's ties to the system: the clock and the midnight wait.
#pragma once

#include "notifier/pass.h"

namespace tessaly {

class SystemClock : public Clock {
  public:
    LocalTime Now() override;
};

// Blocks for `seconds` on a one-shot waitable timer that may wake a suspended computer. When
// no timer can be made it sleeps the same time, so the cycle never spins. 0 returns at once.
void WaitUntilAfterMidnight(int seconds);

}  // namespace tessaly
