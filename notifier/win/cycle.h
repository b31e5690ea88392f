// The notifier's cycle of passes and its hidden window, which hears of resumes from sleep and
// of clock and time-zone changes, so a day the computer slept through still gets its pass.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>

#include "notifier/pass.h"

namespace tessaly {

// A hidden top-level dialog: power and time-change broadcasts reach only top-level windows.
class NotifierHost {
  public:
    NotifierHost();
    ~NotifierHost();
    NotifierHost(const NotifierHost&) = delete;
    NotifierHost& operator=(const NotifierHost&) = delete;

    HWND hwnd() const { return hwnd_; }
    // Called for each resume, clock change or time-zone change, whatever the thread is doing.
    void SetOnWake(std::function<void()> onWake);
    // A one-shot alarm on the thread's message queue: onAlarm runs once `after` has passed,
    // inside whatever loop the thread is in then (the cycle's wait or a pop-up's), so nothing
    // waits for another window to close. Setting it again replaces the alarm.
    void SetOnAlarm(std::function<void()> onAlarm);
    void SetAlarm(std::chrono::milliseconds after);

  private:
    class Window;
    HWND hwnd_ = nullptr;
    Window* window_ = nullptr;  // the window's state, which the window holds
};

class AlertWatch;

// Runs a pass at once, then one whenever the midnight timer, a resume or a clock change finds
// a day that has had none. A wake-up during a pass (a pop-up's loop dispatches messages) is
// decided when the pass ends. Between passes the wait also watches the folders of `alerts`,
// which hears of every wake-up too. keepGoing is asked before every wait; the cycle also ends
// on WM_QUIT. The program never stops it; tests do.
void RunNotifierCycle(NotifierHost& host, Clock& clock, const std::function<void()>& pass,
                      const std::function<bool()>& keepGoing, AlertWatch* alerts = nullptr);

}  // namespace tessaly
