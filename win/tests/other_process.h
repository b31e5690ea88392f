// Another program, driven as a person would: started, its windows found, its message boxes
// read and answered from a thread of the test, then ended if it still runs.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace tessaly::win::test {

inline std::wstring WindowText(HWND hwnd) {
    wchar_t text[2048] = {};
    GetWindowTextW(hwnd, text, 2048);
    return text;
}

// ASCII for test messages; anything else as "?".
inline std::string Narrow(const std::wstring& w) {
    std::string s;
    for (wchar_t c : w) s += c < 128 ? char(c) : '?';
    return s;
}

inline bool WaitFor(const std::function<bool()>& done, int ms = 20000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (done()) return true;
        Sleep(50);
    }
    return done();
}

// A program the test starts; ended at the end if it still runs.
class Process {
  public:
    Process(const std::filesystem::path& exe, const std::filesystem::path& folder,
            const std::wstring& arguments = {}) {
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        std::wstring line = L"\"" + exe.wstring() + L"\"";
        if (!arguments.empty()) line += L" " + arguments;
        started_ = CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  folder.c_str(), &si, &pi_);
    }
    ~Process() {
        if (!started_) return;
        if (Running()) TerminateProcess(pi_.hProcess, 0);
        CloseHandle(pi_.hProcess);
        CloseHandle(pi_.hThread);
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool started() const { return started_; }
    HANDLE handle() const { return pi_.hProcess; }
    bool Running() const { return WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }
    DWORD id() const { return pi_.dwProcessId; }
    // The exit code, or -1 when it did not end in time.
    int Wait(DWORD ms) const {
        if (WaitForSingleObject(pi_.hProcess, ms) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        GetExitCodeProcess(pi_.hProcess, &code);
        return int(code);
    }
    // Ends it at once, as a crash, a power cut or a log-off that kills it would.
    void Kill() const {
        TerminateProcess(pi_.hProcess, 1);
        WaitForSingleObject(pi_.hProcess, 5000);
    }
    // Its visible top-level window with that caption, or null.
    HWND FindWindowTitled(const std::wstring& title) const {
        struct Search {
            DWORD id;
            const std::wstring* title;
            HWND found = nullptr;
        } search{id(), &title};
        EnumWindows(
            [](HWND hwnd, LPARAM p) -> BOOL {
                auto* s = reinterpret_cast<Search*>(p);
                DWORD owner = 0;
                GetWindowThreadProcessId(hwnd, &owner);
                if (owner == s->id && IsWindowVisible(hwnd) && WindowText(hwnd) == *s->title) {
                    s->found = hwnd;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

  private:
    PROCESS_INFORMATION pi_ = {};
    bool started_ = false;
};

// Picks the button for a box shown as "caption: text"; 0 leaves it to the usual answer.
using Answers = std::function<int(const std::string& box)>;

// Answers the message boxes of one process as they appear: "Yes" to a question, OK to a
// notice, unless `answers` says otherwise. Each box is recorded as "caption: text".
class BoxAnswerer {
  public:
    explicit BoxAnswerer(DWORD processId, Answers answers = {})
        : processId_(processId), answers_(std::move(answers)), thread_([this] { Loop(); }) {}
    ~BoxAnswerer() {
        stop_ = true;
        thread_.join();
    }
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    std::vector<std::string> boxes() {
        std::lock_guard<std::mutex> lock(mutex_);
        return boxes_;
    }

  private:
    void Loop() {
        while (!stop_) {
            EnumWindows(
                [](HWND hwnd, LPARAM p) -> BOOL {
                    reinterpret_cast<BoxAnswerer*>(p)->Consider(hwnd);
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(this));
            Sleep(50);
        }
    }
    void Consider(HWND box) {
        DWORD owner = 0;
        GetWindowThreadProcessId(box, &owner);
        wchar_t className[64] = {};
        GetClassNameW(box, className, 64);
        // A message box is a dialog with its text in control 0xFFFF; the program's own
        // dialogs are left alone.
        if (owner != processId_ || std::wstring(className) != L"#32770" || !IsWindowVisible(box) ||
            !GetDlgItem(box, 0xFFFF) || answered_.count(box)) {
            return;
        }
        answered_.insert(box);
        const std::wstring caption = WindowText(box);
        const std::wstring text = WindowText(GetDlgItem(box, 0xFFFF));  // a message box's text
        const std::string shown = Narrow(caption + L": " + text);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            boxes_.push_back(shown);
        }
        int button = GetDlgItem(box, IDYES) ? IDYES : IDOK;
        if (answers_) {
            if (const int chosen = answers_(shown)) button = chosen;
        }
        PostMessageW(box, WM_COMMAND, button, 0);
    }

    DWORD processId_;
    Answers answers_;
    std::atomic<bool> stop_{false};
    std::set<HWND> answered_;
    std::mutex mutex_;
    std::vector<std::string> boxes_;
    std::thread thread_;
};

}  // namespace tessaly::win::test
