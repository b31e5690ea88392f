// The notifier's hidden window under Wine: power and time-change messages sent to it run a
// pass for a day that has had none, and only then.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "notifier/win/cycle.h"

namespace tessaly {
namespace {

class FakeClock : public Clock {
  public:
    LocalTime now{20261208, 12, 0, 0};
    LocalTime Now() override { return now; }
};

// What each tick of the thread timer does; the timer runs inside the cycle's wait.
struct Script {
    NotifierHost* host = nullptr;
    FakeClock* clock = nullptr;
    int step = 0;
    std::vector<DateKey> passes;
    std::vector<size_t> passesAfterStep;
};
Script* script = nullptr;

void Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    SendMessageW(script->host->hwnd(), message, wParam, lParam);
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    Script& s = *script;
    s.passesAfterStep.push_back(s.passes.size());
    switch (s.step++) {
        case 0:  // resume on the day of the last pass
            Send(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC);
            break;
        case 1:  // resume two days later
            s.clock->now.date = 20261210;
            Send(WM_POWERBROADCAST, PBT_APMRESUMESUSPEND);
            break;
        case 2:  // the clock changed within the day
            s.clock->now.hour = 15;
            Send(WM_TIMECHANGE);
            break;
        case 3:  // two triggers close together on a new day
            s.clock->now.date = 20261211;
            Send(WM_TIMECHANGE);
            Send(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC);
            break;
        case 4:  // clock set back to a day that had its pass
            s.clock->now.date = 20261210;
            Send(WM_TIMECHANGE);
            break;
        case 5: {  // a new time zone moves the date on
            s.clock->now.date = 20261212;
            static wchar_t zone[] = L"intl";
            Send(WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(zone));
            break;
        }
        case 6:  // going to sleep is no wake-up
            s.clock->now.date = 20261220;
            Send(WM_POWERBROADCAST, PBT_APMSUSPEND);
            break;
        default:
            PostQuitMessage(0);
            break;
    }
}

TEST(NotifierCycleTest, ResumeAndTimeChangesRunOnePassForEachNewDay) {
    NotifierHost host;
    ASSERT_NE(host.hwnd(), nullptr);
    EXPECT_FALSE(IsWindowVisible(host.hwnd()));
    EXPECT_EQ(GetParent(host.hwnd()), nullptr);

    FakeClock clock;
    Script s;
    s.host = &host;
    s.clock = &clock;
    script = &s;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, Tick);
    ASSERT_NE(timer, 0u);
    RunNotifierCycle(
        host, clock,
        [&] {
            s.passes.push_back(clock.Today());
            if (clock.Today() == 20261212) {
                // Midnight passes while this pass's pop-up is open and its loop dispatches
                // the clock change: no second pass starts inside this one, but the new day
                // gets its pass as soon as this one ends.
                clock.now.date = 20261213;
                Send(WM_TIMECHANGE);
                EXPECT_EQ(s.passes.size(), 4u);
            }
        },
        [&] { return s.step < 50; });
    KillTimer(nullptr, timer);
    script = nullptr;
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);

    EXPECT_EQ(s.passes, (std::vector<DateKey>{20261208, 20261210, 20261211, 20261212, 20261213}));
    // Passes seen when each step began: none from the same-day resume, the same-day clock
    // change, the day set back or the suspend.
    EXPECT_EQ(s.passesAfterStep, (std::vector<size_t>{1, 1, 2, 2, 3, 3, 5, 5}));
}

}  // namespace
}  // namespace tessaly
