// The notifier's clock and its midnight wait, on the system's calls.
#include "notifier/win/system.h"

#include <windows.h>

#include "core/date.h"
#include "win/handles.h"

namespace tessaly {

LocalTime SystemClock::Now() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return {MakeDateKey(t.wYear, t.wMonth, t.wDay), t.wHour, t.wMinute, t.wSecond};
}

void WaitUntilAfterMidnight(int seconds) {
    if (seconds <= 0) return;
    const win::Handle timer(CreateWaitableTimerA(nullptr, TRUE, nullptr));
    LARGE_INTEGER due;
    due.QuadPart = -static_cast<LONGLONG>(seconds) * 10'000'000;  // relative, 100 ns units
    // Resume TRUE: the timer may wake a suspended computer.
    if (timer && SetWaitableTimer(timer.get(), &due, 0, nullptr, nullptr, TRUE)) {
        WaitForSingleObject(timer.get(), INFINITE);
    } else {
        Sleep(static_cast<DWORD>(seconds) * 1000);
    }
}

}  // namespace tessaly
