// Times "&List" to a filled, visible, painted list window under Wine, for 100 and 10,000
// reminders in one run, and prints the medians and their ratio.
//   scripts/wine-run.sh build/win/bin/list_open_bench.exe [ROUNDS]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/data_file.h"
#include "editor/list/win/list_resource.h"
#include "editor/win/main_window.h"
#include "win/folders.h"
#include "win/tests/fixed_clock.h"
#include "editor/win/resource.h"

namespace fs = std::filesystem;
using namespace tessaly;

namespace {

LARGE_INTEGER start, painted;
int expectedLines = 0;
WNDPROC mainProc = nullptr;

bool NeedsPaint(HWND hwnd) {
    return GetUpdateRect(hwnd, nullptr, FALSE) != FALSE;
}

// The list's modal loop tells its owner whenever it has run out of messages, paints included.
// (A hook on sent messages would cost every one of the ten thousand LB_ADDSTRINGs a trip to
// the wineserver and measure the hook instead of the window.)
LRESULT CALLBACK MainSubclass(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_ENTERIDLE && wParam == MSGF_DIALOGBOX && painted.QuadPart == 0) {
        HWND dialog = reinterpret_cast<HWND>(lParam);
        HWND box = GetDlgItem(dialog, IDC_LIST_BOX);
        if (IsWindowVisible(dialog) && !NeedsPaint(dialog) && !NeedsPaint(box) &&
            SendMessageW(box, LB_GETCOUNT, 0, 0) == expectedLines) {
            QueryPerformanceCounter(&painted);
            PostMessageW(dialog, WM_COMMAND, IDC_LIST_CLOSE, 0);
        }
    }
    return CallWindowProcW(mainProc, hwnd, msg, wParam, lParam);
}

std::vector<Reminder> Reminders(int count) {
    static const char* const kTexts[] = {"Dentist, Dr. Hale", "Mum", "Project review",
                                         "Renew car insurance and check the roof gutters too",
                                         "Book club"};
    std::vector<Reminder> list;
    list.reserve(count);
    for (int i = 0; i < count; ++i) {
        Reminder r;
        r.kind = static_cast<std::uint8_t>(1 + i % 5);
        r.SetDescription(kTexts[i % 5]);
        r.date = MakeDateKey(2027 + i / 365, 1 + (i / 28) % 12, 1 + i % 28);
        r.timeOrYear = static_cast<std::int16_t>(r.kind <= 2 ? 1980 : 900 + (i % 12) * 100);
        r.notifyDays = static_cast<std::uint8_t>(i % 31);
        r.frequency = 1;
        r.period = 1;
        list.push_back(r);
    }
    std::sort(list.begin(), list.end(), [](auto& a, auto& b) { return a.date < b.date; });
    return list;
}

double OpenListOnce(const fs::path& root, int count) {
    const win::Replaced folders = win::specialFolder.Replace([&](int csidl) {
        return (root / (csidl == kCommonAppDataFolder ? "common" : "docs")).wstring();
    });
    const win::Replaced today = win::test::FixToday(20261209);
    HWND main = editor::CreateMainDialog();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    mainProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(main, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MainSubclass)));
    expectedLines = count;
    painted.QuadPart = 0;
    QueryPerformanceCounter(&start);
    SendMessageW(main, WM_COMMAND, MAKEWPARAM(IDC_LIST, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(main, IDC_LIST)));
    DestroyWindow(main);
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * double(painted.QuadPart - start.QuadPart) / double(frequency.QuadPart);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const fs::path base =
        fs::path(temp) / ("tessaly-list-bench-" + std::to_string(GetCurrentProcessId()));
    const int sizes[] = {100, 10000};
    std::vector<double> times[2];
    for (int s = 0; s < 2; ++s) {
        const fs::path root = base / std::to_string(sizes[s]);
        const fs::path file = root / "docs" / "Quorvane" / "Tessaly" / "Tessaly.tsy";
        fs::create_directories(file.parent_path());
        fs::create_directories(root / "common");
        ReminderData data{ReminderList(Reminders(sizes[s])), {}};
        SaveReminderFile(file, data, kEditorLabel);
    }
    OpenListOnce(base / "100", 100);  // warm-up: fonts, classes, code pages
    // Alternating rounds, so a slow moment of the machine falls on both sizes alike.
    for (int round = 0; round < rounds; ++round) {
        for (int s = 0; s < 2; ++s)
            times[s].push_back(OpenListOnce(base / std::to_string(sizes[s]), sizes[s]));
    }
    std::error_code ignored;
    fs::remove_all(base, ignored);
    const double small = Median(times[0]), large = Median(times[1]);
    std::printf("list window, \"&List\" to a filled, painted window (median of %d):\n", rounds);
    std::printf("  100 reminders:    %8.2f ms\n", small);
    std::printf("  10,000 reminders: %8.2f ms\n", large);
    std::printf("  ratio:            %8.2f\n", large / small);
    return 0;
}
