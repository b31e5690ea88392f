// Times a Windows program from its process start until its main window is ready, several runs:
//   startup_timer RUNS PROGRAM.exe [ARGUMENT]
// Ready: a visible top-level window of the process, and when it has a status bar (control 250),
// the status bar's first part filled in (the editor writes it after its start-up maintenance).
// The window is then closed with SC_CLOSE. Prints each run and the median in milliseconds.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Search {
    DWORD process = 0;
    HWND found = nullptr;
};

BOOL CALLBACK FindVisibleWindow(HWND hwnd, LPARAM param) {
    auto* s = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == s->process && IsWindowVisible(hwnd)) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

bool Ready(HWND window) {
    HWND status = GetDlgItem(window, 250);
    if (!status) return true;
    return LOWORD(SendMessageW(status, SB_GETTEXTLENGTHW, 0, 0)) > 0;
}

double OneRun(const std::wstring& commandLine) {
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    std::wstring line = commandLine;
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi)) {
        std::fprintf(stderr, "CreateProcess failed: %lu\n", GetLastError());
        return -1;
    }
    double elapsed = -1;
    for (int i = 0; i < 60000; ++i) {
        Search s{pi.dwProcessId, nullptr};
        EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&s));
        if (s.found && Ready(s.found)) {
            QueryPerformanceCounter(&now);
            elapsed = 1000.0 * double(now.QuadPart - start.QuadPart) / double(frequency.QuadPart);
            PostMessageW(s.found, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        }
        Sleep(1);
    }
    if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return elapsed;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: startup_timer RUNS PROGRAM.exe [ARGUMENT]\n");
        return 2;
    }
    const int runs = std::max(1, _wtoi(argv[1]));
    std::wstring commandLine = L"\"" + std::wstring(argv[2]) + L"\"";
    if (argc > 3) commandLine += L" \"" + std::wstring(argv[3]) + L"\"";
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double ms = OneRun(commandLine);
        std::printf("run %d: %.1f ms\n", i + 1, ms);
        times.push_back(ms);
    }
    std::sort(times.begin(), times.end());
    std::printf("median: %.1f ms\n", times[times.size() / 2]);
    return 0;
}
