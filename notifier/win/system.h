// The notifier's ties to the system: the clock.
#pragma once

#include "notifier/pass.h"

namespace tessaly {

class SystemClock : public Clock {
  public:
    LocalTime Now() override;
};

}  // namespace tessaly
