// The local date and time, behind one replaceable function, so tests choose "today".
#pragma once

#include <windows.h>

#include "core/date.h"
#include "win/system_call.h"

namespace tessaly::win {

// GetLocalTime, unless a test sets the clock.
extern SystemCall<SYSTEMTIME()> localTime;

// Today's date from localTime.
DateKey Today();

}  // namespace tessaly::win
