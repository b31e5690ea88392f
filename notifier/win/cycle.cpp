// The notifier's cycle: its hidden host window, the timer wait and the passes it runs.
#include "notifier/win/cycle.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "notifier/catch_up.h"
#include "notifier/win/alert_watch.h"
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

enum class WaitEnd { kTimer, kWake, kQuit, kChanged };

struct WaitResult {
    WaitEnd end = WaitEnd::kTimer;
    std::size_t changed = 0;  // for kChanged: which of the watched handles
};

// Waits on a one-shot waitable timer (which may wake a suspended computer) and the watched
// handles while dispatching the thread's messages, until the timer fires, a watched handle is
// signalled, a wake-up arrives or WM_QUIT comes.
WaitResult WaitForTimerOrWake(int seconds, bool& woke, const std::vector<HANDLE>& watched) {
    win::Handle timer(CreateWaitableTimerW(nullptr, TRUE, nullptr));
    LARGE_INTEGER due;
    due.QuadPart = -static_cast<LONGLONG>(seconds) * 10'000'000;  // relative, 100 ns units
    if (timer && !SetWaitableTimer(timer.get(), &due, 0, nullptr, nullptr, TRUE)) timer.reset();
    std::vector<HANDLE> handles;
    if (timer) handles.push_back(timer.get());
    const std::size_t firstWatched = handles.size();
    handles.insert(handles.end(), watched.begin(), watched.end());
    // Without a timer the same time is waited out in slices.
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000;
    for (;;) {
        DWORD wait = INFINITE;
        if (!timer) {
            const ULONGLONG now = GetTickCount64();
            if (now >= deadline) return {};
            wait = static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 60'000));
        }
        const DWORD count = static_cast<DWORD>(handles.size());
        const DWORD r =
            MsgWaitForMultipleObjectsEx(count, handles.empty() ? nullptr : handles.data(), wait,
                                        QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (r >= WAIT_OBJECT_0 && r < WAIT_OBJECT_0 + count) {
            const std::size_t which = r - WAIT_OBJECT_0;
            if (which < firstWatched) return {};
            return {WaitEnd::kChanged, which - firstWatched};
        }
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));  // for whoever runs the loop above
                return {WaitEnd::kQuit};
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (woke) return {WaitEnd::kWake};
    }
}

constexpr UINT_PTR kAlarmTimer = 1;

}  // namespace

// The host's window: it hears the broadcasts and tells the cycle.
class NotifierHost::Window final : public win::Dialog {
  public:
    std::function<void()> onWake;
    std::function<void()> onAlarm;

  private:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM) override {
        if (message == WM_TIMER && wParam == kAlarmTimer) {
            KillTimer(hwnd, kAlarmTimer);  // one-shot
            if (onAlarm) onAlarm();
            return TRUE;
        }
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

void NotifierHost::SetOnAlarm(std::function<void()> onAlarm) {
    if (window_) window_->onAlarm = std::move(onAlarm);
}

void NotifierHost::SetAlarm(std::chrono::milliseconds after) {
    // Within a day at most; USER_TIMER_MAXIMUM is some 24 days.
    const auto ms = std::clamp<std::chrono::milliseconds::rep>(after.count(), USER_TIMER_MINIMUM,
                                                               USER_TIMER_MAXIMUM);
    if (hwnd_) SetTimer(hwnd_, kAlarmTimer, static_cast<UINT>(ms), nullptr);
}

void RunNotifierCycle(NotifierHost& host, Clock& clock, const std::function<void()>& pass,
                      const std::function<bool()>& keepGoing, AlertWatch* alerts) {
    CatchUp catchUp;
    bool woke = false;
    host.SetOnWake([&] {
        if (alerts) alerts->Woke();
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
        const WaitResult waited =
            WaitForTimerOrWake(SecondsUntilAfterMidnight(now.hour, now.minute, now.second), woke,
                               alerts ? alerts->Handles() : std::vector<HANDLE>{});
        if (waited.end == WaitEnd::kQuit) break;
        if (waited.end == WaitEnd::kChanged) {
            try {
                alerts->Changed(waited.changed);
            } catch (...) {
                // The schedule stays as it was; the next change or pass reads the file again.
            }
            continue;  // the wait starts again, measured from the clock as it now stands
        }
        // The timer brings the new day's pass; a wake-up, a pass for a day that has had none.
        // Otherwise the wait starts again, measured from the clock as it now stands.
        passNow = waited.end == WaitEnd::kTimer ? catchUp.MidnightTimer(now.date, clock.Today())
                                                : catchUp.Wake(clock.Today());
    }
    host.SetOnWake({});
}

}  // namespace tessaly
