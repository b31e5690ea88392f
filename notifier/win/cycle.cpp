// The notifier's cycle: its hidden host window, the timer wait and the passes it runs.
#include "notifier/win/cycle.h"

#include <algorithm>
#include <memory>

#include "notifier/catch_up.h"
#include "notifier/wait.h"
#include "win/dialog.h"
#include "win/handles.h"

namespace tessaly {
namespace {

bool IsWakeUp(UINT message, WPARAM wParam) {
    switch (message) {
        case WM_POWERBROADCAST:
            return wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND;
        case WM_TIMECHANGE:
        case WM_SETTINGCHANGE:  // a new time zone arrives as a setting change
            return true;
        default:
            return false;
    }
}

enum class WaitEnd { kTimer, kWake, kQuit };

// Waits on a one-shot waitable timer (which may wake a suspended computer) while dispatching
// the thread's messages, until the timer fires, a wake-up arrives or WM_QUIT comes.
WaitEnd WaitForTimerOrWake(int seconds, bool& woke) {
    win::Handle timer(CreateWaitableTimerW(nullptr, TRUE, nullptr));
    LARGE_INTEGER due;
    due.QuadPart = -static_cast<LONGLONG>(seconds) * 10'000'000;  // relative, 100 ns units
    if (timer && !SetWaitableTimer(timer.get(), &due, 0, nullptr, nullptr, TRUE)) timer.reset();
    // Without a timer the same time is waited out in slices.
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000;
    WaitEnd end = WaitEnd::kTimer;
    for (;;) {
        DWORD wait = INFINITE;
        if (!timer) {
            const ULONGLONG now = GetTickCount64();
            if (now >= deadline) break;
            wait = static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 60'000));
        }
        const HANDLE handle = timer.get();
        const DWORD r = MsgWaitForMultipleObjectsEx(timer ? 1 : 0, timer ? &handle : nullptr, wait,
                                                    QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (timer && r == WAIT_OBJECT_0) break;
        MSG msg;
        bool quit = false;
        while (!quit && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));  // for whoever runs the loop above
                quit = true;
                break;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (quit) {
            end = WaitEnd::kQuit;
            break;
        }
        if (woke) {
            end = WaitEnd::kWake;
            break;
        }
    }
    return end;
}

}  // namespace

// The host's window: it hears the broadcasts and tells the cycle.
class NotifierHost::Window final : public win::Dialog {
  public:
    std::function<void()> onWake;

  private:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM) override {
        // An exception from the wake-up counts as unhandled; the midnight timer still comes.
        if (IsWakeUp(message, wParam) && onWake) onWake();
        return FALSE;  // the dialog's default answers the broadcasts (resume: TRUE)
    }
};

NotifierHost::NotifierHost() {
    auto window = std::make_unique<Window>();
    window_ = window.get();
    // Never shown: no WS_VISIBLE.
    hwnd_ = win::CreateModeless(std::move(window), nullptr,
                                win::DialogTemplate(WS_OVERLAPPED).Title(L"Reminders"));
    if (!hwnd_) window_ = nullptr;
}

NotifierHost::~NotifierHost() {
    if (hwnd_) DestroyWindow(hwnd_);
}

void NotifierHost::SetOnWake(std::function<void()> onWake) {
    if (window_) window_->onWake = std::move(onWake);
}

void RunNotifierCycle(NotifierHost& host, Clock& clock, const std::function<void()>& pass,
                      const std::function<bool()>& keepGoing) {
    CatchUp catchUp;
    bool woke = false;
    host.SetOnWake([&] {
        if (catchUp.Running()) {
            catchUp.Wake(clock.Today());  // kept until the pass ends
        } else {
            woke = true;
        }
    });
    bool passNow = true;
    while (keepGoing()) {
        if (passNow) {
            catchUp.PassStarted(clock.Today());
            try {
                pass();
            } catch (...) {
                // Whatever went wrong, the notifier keeps its daily rhythm: the next pass may
                // do better.
            }
            catchUp.PassEnded();
            // A pass that ended on a later day (a pop-up answered after midnight), or a
            // wake-up during it that found a new day, means that day's pass runs at once.
            passNow = catchUp.AfterPass(clock.Today());
            continue;
        }
        const LocalTime now = clock.Now();
        woke = false;
        const WaitEnd end =
            WaitForTimerOrWake(SecondsUntilAfterMidnight(now.hour, now.minute, now.second), woke);
        if (end == WaitEnd::kQuit) break;
        // The timer brings the new day's pass; a wake-up, a pass for a day that has had none.
        // Otherwise the wait starts again, measured from the clock as it now stands.
        passNow = end == WaitEnd::kTimer ? catchUp.MidnightTimer(now.date, clock.Today())
                                         : catchUp.Wake(clock.Today());
    }
    host.SetOnWake({});
}

}  // namespace tessaly
