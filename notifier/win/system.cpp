// The notifier's clock, on the local clock every program reads.
#include "notifier/win/system.h"

#include "core/date.h"
#include "win/clock.h"

namespace tessaly {

LocalTime SystemClock::Now() {
    const SYSTEMTIME t = win::localTime();
    return {MakeDateKey(t.wYear, t.wMonth, t.wDay), t.wHour, t.wMinute, t.wSecond};
}

}  // namespace tessaly
