// A second yardstick for start-up timings: the editor's own window (common controls, manifest,
// dialog template) with nothing behind it, ready as soon as it shows its status bar text. The
// editor can start no faster than this; what it takes beyond is folders, file and form.
#include <windows.h>

#include <commctrl.h>

#include "editor/win/resource.h"

namespace {

INT_PTR CALLBACK DialogOnlyProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_INITDIALOG) {
        SendDlgItemMessageW(hwnd, IDC_STATUS, SB_SETTEXTW, 0, LPARAM(L"ready"));
        return TRUE;
    }
    if (msg == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE) {
        EndDialog(hwnd, 0);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    return static_cast<int>(
        DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_MAIN_DIALOG), nullptr, DialogOnlyProc, 0));
}
