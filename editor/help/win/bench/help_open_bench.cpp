// Times the help window under Wine: opening it on a help file until the window is filled and
// visible, and a search over all topics that finds nothing (the search rule alone, and Find
// text in the window from the question's Ok to the "None found" box).
//   help_open_bench RUNS [HELPFILE]
// Without HELPFILE it writes a 2,000-topic file of about 5 MB (50 top-level topics with 39
// sub-topics each) and uses that. Prints each run and the median in milliseconds.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "editor/help/help_file.h"
#include "editor/help/topic_search.h"
#include "editor/help/win/help_window.h"
#include "win/message_box.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

std::vector<tessaly::help::HelpTopic> LargeTopics() {
    std::vector<tessaly::help::HelpTopic> topics;
    const std::string line =
        "Reminders come back on the day you chose, and the notifier counts the days to them.\r\n";
    for (int i = 0; i < 2000; ++i) {
        tessaly::help::HelpTopic t;
        t.title = "Topic " + std::to_string(i + 1);
        while (t.text.size() < 2500) t.text += line;
        t.level = i % 40 == 0 ? 0 : 1;
        topics.push_back(std::move(t));
    }
    return topics;
}

// Opens the window the way the Help command does and stops the clock once it is visible, its
// text pane filled and everything painted.
double TimeOpen(const std::wstring& file) {
    const Clock::time_point start = Clock::now();
    HWND help = tessaly::help::CreateHelpWindow(file, L"Tessaly Help", nullptr, 100, 100, nullptr);
    if (!help) return -1;
    UpdateWindow(help);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    const bool filled =
        IsWindowVisible(help) && GetWindowTextLengthW(GetDlgItem(help, tessaly::help::kTextId)) > 0;
    const double ms = Ms(Clock::now() - start);
    DestroyWindow(help);
    return filled ? ms : -1;
}

Clock::time_point okPressed, boxShown;

BOOL CALLBACK FindQuestion(HWND hwnd, LPARAM found) {
    wchar_t text[32] = {};
    GetWindowTextW(hwnd, text, 32);
    if (std::wstring(text) == L"Text to Find" && IsWindowVisible(hwnd)) {
        *reinterpret_cast<HWND*>(found) = hwnd;
    }
    return TRUE;
}

void CALLBACK AnswerQuestion(HWND, UINT, UINT_PTR id, DWORD) {
    HWND question = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &FindQuestion, reinterpret_cast<LPARAM>(&question));
    if (!question) return;
    KillTimer(nullptr, id);
    SetDlgItemTextW(question, 9999, L"zebra crossing");
    okPressed = Clock::now();
    SendMessageW(question, WM_COMMAND, IDOK, 0);
}

// Find text in the window for a text no topic holds: from Ok to the "None found" box.
double TimeWindowSearch(const std::wstring& file) {
    const tessaly::win::Replaced answered =
        tessaly::win::messageBox.Replace([](HWND, std::string_view, std::string_view, UINT) {
            boxShown = Clock::now();
            return IDOK;
        });
    HWND help = tessaly::help::CreateHelpWindow(file, L"Tessaly Help", nullptr, 100, 100, nullptr);
    if (!help) return -1;
    SetTimer(nullptr, 0, 10, &AnswerQuestion);
    SendMessageW(help, WM_COMMAND, tessaly::help::kFindTextCommand, 0);
    DestroyWindow(help);
    return Ms(boxShown - okPressed);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 5;
    std::filesystem::path file;
    std::vector<tessaly::help::HelpTopic> topics;
    if (argc > 2) {
        file = argv[2];
    } else {
        topics = LargeTopics();
        const auto bytes = tessaly::help::WriteHelpFile(topics);
        file = std::filesystem::temp_directory_path() / L"help-bench-large.ahp";
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        std::printf("generated %zu topics, %zu bytes\n", topics.size(), bytes.size());
    }
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);

    std::vector<double> open;
    for (int i = 0; i < runs; ++i) {
        open.push_back(TimeOpen(file.wstring()));
        std::printf("open run %d: %.1f ms\n", i + 1, open.back());
    }
    std::printf("open median: %.1f ms\n", Median(open));

    // The search step itself over every topic's text, as Find text runs it for a missing word.
    if (topics.empty()) {
        std::ifstream in(file, std::ios::binary);
        std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
        topics = tessaly::help::ReadHelpFile(bytes).topics;
    }
    std::vector<std::string_view> texts;
    for (const auto& t : topics) texts.push_back(t.text);
    std::vector<double> search;
    for (int i = 0; i < runs; ++i) {
        tessaly::help::SearchState state;
        const Clock::time_point start = Clock::now();
        const auto step = tessaly::help::StartSearch(state, "zebra crossing", true, texts);
        search.push_back(Ms(Clock::now() - start));
        if (step.result != tessaly::help::SearchStep::Result::kNoneFound) return 1;
    }
    std::printf("search (nothing found) median: %.2f ms\n", Median(search));

    std::vector<double> command;
    for (int i = 0; i < runs; ++i) command.push_back(TimeWindowSearch(file.wstring()));
    std::printf("Find text in the window, Ok to \"None found\", median: %.1f ms\n",
                Median(command));
    return 0;
}
