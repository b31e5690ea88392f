// Times Windows programs from process start until their main window is ready, side by side:
//   startup_timer RUNS PROGRAM.exe[|ARGUMENT] [PROGRAM.exe[|ARGUMENT]...]
// Each round starts every program once, in turn, so a busy machine slows them alike. Ready: a
// visible top-level window of the process, and when it has a status bar (control 250), the
// status bar's first part filled in (the editor writes it after its start-up maintenance). The
// window is then closed with SC_CLOSE. Prints each program's median in milliseconds and its
// ratio to the first program's. A program that writes start-up marks (Tessaly_trace.exe) gets
// the file to write them to in TESSALY_STARTUP_TRACE; their medians are printed as a breakdown.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
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

double Milliseconds(long long from, long long to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * double(to - from) / double(frequency.QuadPart);
}

struct Program {
    std::wstring commandLine, name;
    std::vector<double> totals;
    std::vector<std::string> labels;  // marks in the order of the first run
    std::map<std::string, std::vector<double>> marks;
};

// One start of the program; its marks (ms since the start) are added to it.
double OneRun(Program& program, const std::wstring& traceFile) {
    DeleteFileW(traceFile.c_str());
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    std::wstring line = program.commandLine;
    LARGE_INTEGER start, now;
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
            elapsed = Milliseconds(start.QuadPart, now.QuadPart);
            PostMessageW(s.found, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        }
        Sleep(1);
    }
    if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);

    std::ifstream marks{std::filesystem::path(traceFile)};
    std::string label;
    long long counter = 0;
    while (marks >> label >> counter) {
        // Labels are single words joined by "_" in the file; shown with blanks.
        if (!program.marks.count(label)) program.labels.push_back(label);
        program.marks[label].push_back(Milliseconds(start.QuadPart, counter));
    }
    return elapsed;
}

double Median(std::vector<double> values) {
    if (values.empty()) return -1;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::string Narrow(const std::wstring& w) {
    return std::string(w.begin(), w.end());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: startup_timer RUNS PROGRAM.exe[|ARGUMENT]...\n");
        return 2;
    }
    const int runs = std::max(1, _wtoi(argv[1]));
    std::vector<Program> programs;
    for (int i = 2; i < argc; ++i) {
        const std::wstring item = argv[i];
        const size_t bar = item.find(L'|');
        Program p;
        p.name = item;
        p.commandLine = L"\"" + item.substr(0, bar) + L"\"";
        if (bar != std::wstring::npos) p.commandLine += L" \"" + item.substr(bar + 1) + L"\"";
        programs.push_back(std::move(p));
    }
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring traceFile = std::wstring(temp) + L"tessaly-startup-marks.txt";
    SetEnvironmentVariableW(L"TESSALY_STARTUP_TRACE", traceFile.c_str());

    for (int round = 0; round < runs; ++round) {
        for (Program& p : programs) p.totals.push_back(OneRun(p, traceFile));
    }
    const double first = Median(programs[0].totals);
    for (Program& p : programs) {
        const double median = Median(p.totals);
        std::printf("%s: median %.1f ms over %d runs, %.2fx the first\n", Narrow(p.name).c_str(),
                    median, runs, median / first);
        for (const std::string& label : p.labels) {
            std::string shown = label;
            std::replace(shown.begin(), shown.end(), '_', ' ');
            std::printf("    %-24s %8.1f ms\n", shown.c_str(), Median(p.marks[label]));
        }
    }
    return 0;
}
