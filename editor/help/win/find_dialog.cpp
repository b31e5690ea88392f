// The search question "Text to Find": a text box, "Whole word" and "Ok", laid out in pixels.
#include <windows.h>

#include <string>

#include "win/gdi.h"
#include "win/text.h"
#include "editor/help/win/help_window.h"

namespace tessaly::help {
namespace {

constexpr int kTextBox = 9999;
constexpr int kWholeWordBox = 9998;
constexpr int kClientWidth = 250;
constexpr int kClientHeight = 110;

struct FindState {
    std::wstring text;
    bool wholeWord = false;
    HFONT font = nullptr;
};

HWND Add(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w,
         int h, int id, HFONT font) {
    HWND control = CreateWindowExW(cls == std::wstring_view(L"EDIT") ? WS_EX_CLIENTEDGE : 0, cls,
                                   text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

BOOL OnInit(HWND dialog, FindState& state) {
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&state));
    SetWindowTextW(dialog, L"Text to Find");
    HDC dc = GetDC(dialog);
    state.font = win::MakeFont(dc, "MS Sans Serif", 8);
    ReleaseDC(dialog, dc);
    Add(dialog, L"STATIC", L"Enter text: ", 0, 5, 10, 70, 15, -1, state.font);
    HWND box = Add(dialog, L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP, 75, 10, 160, 20, kTextBox,
                   state.font);
    Add(dialog, L"BUTTON", L"Whole word", BS_AUTOCHECKBOX | WS_TABSTOP, 10, 45, 100, 15,
        kWholeWordBox, state.font);
    Add(dialog, L"BUTTON", L"Ok", BS_DEFPUSHBUTTON | WS_TABSTOP, 140, 70, 60, 30, IDOK, state.font);
    // Checked each time the question opens.
    CheckDlgButton(dialog, kWholeWordBox, BST_CHECKED);

    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE));
    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int w = frame.right - frame.left, h = frame.bottom - frame.top;
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    SetWindowPos(dialog, nullptr, work.left + (work.right - work.left - w) / 2,
                 work.top + (work.bottom - work.top - h) / 2, w, h, SWP_NOZORDER);
    SetFocus(box);
    return FALSE;  // the focus is set
}

INT_PTR CALLBACK FindProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<FindState*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
        case WM_INITDIALOG:
            return OnInit(dialog, *reinterpret_cast<FindState*>(lParam));
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK && state) {
                const int n = GetWindowTextLengthW(GetDlgItem(dialog, kTextBox));
                state->text.assign(static_cast<std::size_t>(n) + 1, L'\0');
                GetDlgItemTextW(dialog, kTextBox, state->text.data(), n + 1);
                state->text.resize(static_cast<std::size_t>(n));
                state->wholeWord = IsDlgButtonChecked(dialog, kWholeWordBox) == BST_CHECKED;
                EndDialog(dialog, IDOK);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            return FALSE;
        case WM_DESTROY:
            if (state && state->font) DeleteObject(state->font);
            return FALSE;
        default:
            return FALSE;
    }
}

struct EmptyTemplate {
    DLGTEMPLATE dialog;
    WORD menu, windowClass, title;
};

}  // namespace

std::optional<std::string> FindTextDialog(HWND owner, bool& wholeWord) {
    EmptyTemplate tmpl{};
    tmpl.dialog.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    FindState state;
    const INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &tmpl.dialog, owner,
                                                   &FindProc, reinterpret_cast<LPARAM>(&state));
    if (result != IDOK) return std::nullopt;
    wholeWord = state.wholeWord;
    const auto first = state.text.find_first_not_of(L' ');
    if (first == std::wstring::npos) return std::string();
    const auto last = state.text.find_last_not_of(L' ');
    const std::wstring trimmed = state.text.substr(first, last - first + 1);
    return win::WideToCp1252(trimmed);
}

}  // namespace tessaly::help
