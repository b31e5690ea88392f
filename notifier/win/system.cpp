// The notifier's clock, on the system's calls.
#include "notifier/win/system.h"

#include <windows.h>

#include "core/date.h"

namespace tessaly {

LocalTime SystemClock::Now() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return {MakeDateKey(t.wYear, t.wMonth, t.wDay), t.wHour, t.wMinute, t.wSecond};
}

}  // namespace tessaly
