// The yardstick for start-up timings: the smallest Win32 program that shows a modal dialog.
#include <windows.h>

namespace {

INT_PTR CALLBACK MinimalProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_INITDIALOG) return TRUE;
    if (msg == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        EndDialog(hwnd, 0);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // An in-memory template: a captioned, system-menu dialog with no controls.
    struct alignas(4) {
        DLGTEMPLATE header;
        WORD menu = 0, windowClass = 0;
        wchar_t title[8] = L"Minimal";
    } dialog{};
    dialog.header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
    dialog.header.cx = 200;
    dialog.header.cy = 100;
    return static_cast<int>(DialogBoxIndirectW(instance, &dialog.header, nullptr, MinimalProc));
}
