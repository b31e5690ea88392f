// One copy of a program per logged-on user: a named mutex, held while the holder lives.
#pragma once

#include <string>

#include "win/handles.h"

namespace tessaly::win {

class SingleInstance {
  public:
    // Claims the mutex `name`. When another copy holds it, tells the user "<name> is already
    // loaded" through the message-box seam. A mutex that cannot be created at all counts as
    // being the only copy: better two copies than none.
    explicit SingleInstance(const std::string& name);
    // False when another copy runs; the caller then ends.
    bool IsOnlyCopy() const { return onlyCopy_; }

  private:
    Handle mutex_;
    bool onlyCopy_ = true;
};

}  // namespace tessaly::win
