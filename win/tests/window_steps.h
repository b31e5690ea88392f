// Steps a window test runs inside a modal loop: on a thread timer, each waits for this thread's
// window with its caption and then acts on it.
//   windowSteps = {{L"Caption", [](HWND w) { ... }}};
//   const UINT_PTR timer = SetTimer(nullptr, 0, 10, RunWindowSteps);  // then open the dialog
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <utility>

namespace tessaly::win::test {

// This thread's visible, enabled window with that caption (the innermost modal one), or null.
inline HWND FindWindowTitled(const std::wstring& title) {
    struct Search {
        std::wstring title;
        HWND found = nullptr;
    } search{title};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM p) {
            auto* s = reinterpret_cast<Search*>(p);
            std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
            text.resize(static_cast<std::size_t>(
                GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
            if (IsWindowVisible(hwnd) && IsWindowEnabled(hwnd) && text == s->title) {
                s->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

struct WindowStep {
    std::wstring window;
    std::function<void(HWND)> act;
};
inline std::deque<WindowStep> windowSteps;

// The timer's procedure: runs the next step once its window is up.
inline void CALLBACK RunWindowSteps(HWND, UINT, UINT_PTR, DWORD) {
    if (windowSteps.empty()) return;
    HWND hwnd = FindWindowTitled(windowSteps.front().window);
    if (!hwnd) return;
    WindowStep step = std::move(windowSteps.front());
    windowSteps.pop_front();
    step.act(hwnd);
}

}  // namespace tessaly::win::test
