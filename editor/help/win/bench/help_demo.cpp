// Opens the help window on a help file, for screenshots and for reading the help text:
//   help_demo HELPFILE [SEARCH]
// With SEARCH it runs Find text for it (whole word) as soon as the window is up, so the window
// shows the first match.
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "editor/help/win/help_window.h"

namespace {

std::wstring search;

BOOL CALLBACK FindQuestion(HWND hwnd, LPARAM found) {
    wchar_t text[32] = {};
    GetWindowTextW(hwnd, text, 32);
    if (std::wstring(text) == L"Text to Find") *reinterpret_cast<HWND*>(found) = hwnd;
    return TRUE;
}

void CALLBACK Drive(HWND, UINT, UINT_PTR id, DWORD) {
    static bool asked = false;
    HWND help = tessaly::help::OpenHelpWindow();
    if (!help) return;
    if (!asked) {
        asked = true;
        PostMessageW(help, WM_COMMAND, tessaly::help::kFindTextCommand, 0);
        return;
    }
    HWND question = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &FindQuestion, reinterpret_cast<LPARAM>(&question));
    if (!question) return;
    KillTimer(nullptr, id);
    SetDlgItemTextW(question, 9999, search.c_str());
    CheckDlgButton(question, 9998, BST_CHECKED);
    PostMessageW(question, WM_COMMAND, IDOK, 0);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    if (argc > 2) {
        search = argv[2];
        SetTimer(nullptr, 0, 200, &Drive);
    }
    tessaly::help::ShowHelp(argv[1], L"Tessaly Help", nullptr, 100, 100);
    return 0;
}
