// The search question "Text to Find": a text box, "Whole word" and "Ok", laid out in pixels.
#include <windows.h>

#include <string>

#include "core/typed_number.h"
#include "win/dialog.h"
#include "win/gdi.h"
#include "win/handles.h"
#include "win/text.h"
#include "editor/help/win/help_window.h"

namespace tessaly::help {
namespace {

constexpr int kTextBox = 9999;
constexpr int kWholeWordBox = 9998;
constexpr int kClientWidth = 250;
constexpr int kClientHeight = 110;

class FindDialog final : public win::Dialog {
  public:
    std::wstring text;
    bool wholeWord = false;

  private:
    INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInit();
    void OnOk();

    win::Font font_;
};

BOOL FindDialog::OnInit() {
    SetWindowTextW(hwnd, L"Text to Find");
    {
        const win::WindowDc dc(hwnd);
        font_ = win::MakeOwnedFont(dc.get(), "MS Sans Serif", 8);
    }
    HFONT font = font_.get();
    win::AddControl(hwnd, {L"STATIC", L"Enter text: ", 0, -1, 5, 10, 70, 15}, font);
    HWND box = win::AddControl(
        hwnd,
        {L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP, kTextBox, 75, 10, 160, 20, WS_EX_CLIENTEDGE},
        font);
    win::AddControl(
        hwnd,
        {L"BUTTON", L"Whole word", BS_AUTOCHECKBOX | WS_TABSTOP, kWholeWordBox, 10, 45, 100, 15},
        font);
    win::AddControl(hwnd, {L"BUTTON", L"Ok", BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK, 140, 70, 60, 30},
                    font);
    // Checked each time the question opens.
    CheckDlgButton(hwnd, kWholeWordBox, BST_CHECKED);

    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE));
    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int w = frame.right - frame.left, h = frame.bottom - frame.top;
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    SetWindowPos(hwnd, nullptr, work.left + (work.right - work.left - w) / 2,
                 work.top + (work.bottom - work.top - h) / 2, w, h, SWP_NOZORDER);
    SetFocus(box);
    return FALSE;  // the focus is set
}

void FindDialog::OnOk() {
    const int n = GetWindowTextLengthW(GetDlgItem(hwnd, kTextBox));
    text.assign(static_cast<std::size_t>(n) + 1, L'\0');
    GetDlgItemTextW(hwnd, kTextBox, text.data(), n + 1);
    text.resize(static_cast<std::size_t>(n));
    wholeWord = IsDlgButtonChecked(hwnd, kWholeWordBox) == BST_CHECKED;
    End(IDOK);
}

INT_PTR FindDialog::OnMessage(UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
        case WM_INITDIALOG:
            return OnInit();
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                OnOk();
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                End(IDCANCEL);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

std::optional<std::string> FindTextDialog(HWND owner, bool& wholeWord) {
    FindDialog state;
    const INT_PTR result = win::RunModal(
        state, owner, win::DialogTemplate(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME));
    if (result != IDOK) return std::nullopt;
    wholeWord = state.wholeWord;
    return std::string(TrimSpaces(win::WideToCp1252(state.text)));
}

}  // namespace tessaly::help
