// Times the editor's "&Help" command under Wine: from the command to a filled, visible and
// painted help window, on the built help file and on a generated 2,000-topic file of about 5 MB.
//   help_command_bench RUNS HELPFILE
// The editor's main window runs in-process over a private folder that holds HELPFILE as its
// program folder's help file. Prints each run and the median in milliseconds.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "editor/help/win/help_window.h"
#include "editor/win/main_window.h"
#include "win/folders.h"
#include "editor/win/resource.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

Clock::time_point started;
double elapsed = -1;

// Posted before the command, so it is handled by the help window's own loop as soon as the
// window stands: paint everything, stop the clock, close.
LRESULT CALLBACK Stopwatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) {
        HWND help = tessaly::help::OpenHelpWindow();
        if (help && IsWindowVisible(help) &&
            GetWindowTextLengthW(GetDlgItem(help, tessaly::help::kTextId)) > 0) {
            RedrawWindow(help, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            elapsed = std::chrono::duration<double, std::milli>(Clock::now() - started).count();
        }
        if (help) SendMessageW(help, WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    const int runs = std::max(1, _wtoi(argv[1]));
    const fs::path root = fs::temp_directory_path() / L"help-command-bench";
    fs::create_directories(root / L"common" / L"Quorvane" / L"Tessaly");
    fs::create_directories(root / L"docs");
    fs::copy_file(argv[2], root / L"common" / L"Quorvane" / L"Tessaly" / L"Tessaly.ahp",
                  fs::copy_options::overwrite_existing);

    WNDCLASSW cls{};
    cls.lpfnWndProc = &Stopwatch;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpszClassName = L"HelpCommandStopwatch";
    RegisterClassW(&cls);
    HWND stopwatch = CreateWindowW(cls.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   cls.hInstance, nullptr);

    const tessaly::win::Replaced folders = tessaly::win::specialFolder.Replace([&](int csidl) {
        return (root / (csidl == tessaly::kCommonAppDataFolder ? L"common" : L"docs")).wstring();
    });
    HWND main = tessaly::editor::CreateMainDialog();
    if (!main) return 1;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);

    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        elapsed = -1;
        PostMessageW(stopwatch, WM_APP, 0, 0);
        started = Clock::now();
        SendMessageW(main, WM_COMMAND, MAKEWPARAM(IDC_HELP_BUTTON, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(main, IDC_HELP_BUTTON)));
        times.push_back(elapsed);
        std::printf("Help run %d: %.1f ms\n", i + 1, elapsed);
    }
    std::sort(times.begin(), times.end());
    std::printf("Help median: %.1f ms\n", times[times.size() / 2]);
    DestroyWindow(main);
    std::error_code ignored;
    fs::remove_all(root, ignored);
    return 0;
}
