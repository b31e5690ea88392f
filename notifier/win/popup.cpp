// The pop-up dialog: its template, buttons, colours, painting and answers.
#include "notifier/win/popup.h"

#include <algorithm>
#include <string>

#include "win/dialog.h"
#include "win/gdi.h"

namespace tessaly {
namespace {

class PopupWindow final : public win::Dialog {
  public:
    explicit PopupWindow(const PopupTexts& texts) : texts_(texts) {}
    PopupAnswer answer = PopupAnswer::kRemindAgain;

  private:
    INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog();
    void Close(PopupAnswer chosen);

    const PopupTexts& texts_;
    win::Brush background_;
};

struct TextSpot {
    int x, y, points;
    COLORREF colour;
};
constexpr TextSpot kTitleSpot{15, 16, 20, kPopupTitleColour};
constexpr TextSpot kDescriptionSpot{15, 49, 15, win::kBlack};
constexpr TextSpot kDateSpot{15, 81, 12, win::kBlack};
constexpr TextSpot kTimeSpot{38, 101, 12, win::kBlack};

// One font per text, made for it and deleted right after it is drawn.
void DrawPopupText(HDC hdc, const std::string& text, const TextSpot& spot) {
    // Up to the first NUL and at most 254 characters; an empty text draws nothing.
    const std::size_t length = std::min<std::size_t>(text.find('\0'), 254);
    const std::size_t shown = std::min(length, text.size());
    if (shown == 0) return;
    const win::Font font = win::MakeOwnedFont(hdc, "Times New Roman", spot.points);
    const win::SelectedObject selected(hdc, font.get());
    SetTextColor(hdc, spot.colour);
    win::DrawTextAt(hdc, spot.x, spot.y, std::string_view(text).substr(0, shown));
}

// A dialog template with no controls: the buttons are made in pixels when it opens, since a
// template counts in dialog units. "arial" 10 points is the notifier's dialog font.
win::DialogTemplate PopupTemplate() {
    return win::DialogTemplate(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX |
                               WS_CLIPCHILDREN | DS_MODALFRAME)
        .Title(kPopupCaption)
        .Font(10, L"arial");
}

void AddButton(HWND dialog, int id, const wchar_t* caption, int x, DWORD kind) {
    win::AddControl(dialog, {L"BUTTON", caption, WS_TABSTOP | kind, id, x, 150, 100, 40});
}

BOOL PopupWindow::OnInitDialog() {
    background_.reset(CreateSolidBrush(kPopupBackground));

    RECT frame{0, 0, kPopupWidth, kPopupHeight};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(hwnd, GWL_EXSTYLE)));
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    SetWindowPos(hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);

    AddButton(hwnd, kAcknowledgeId, L"&Acknowledge", 40, BS_PUSHBUTTON);
    AddButton(hwnd, kRemindAgainId, L"&Remind Again", 240, BS_DEFPUSHBUTTON);
    SetFocus(GetDlgItem(hwnd, kRemindAgainId));
    return FALSE;  // focus set here
}

void PopupWindow::Close(PopupAnswer chosen) {
    answer = chosen;
    End(0);
}

INT_PTR PopupWindow::OnMessage(UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
        case WM_INITDIALOG:
            return OnInitDialog();
        case WM_COMMAND:
            // Escape (IDCANCEL) is deliberately ignored: only the three answers close it.
            if (LOWORD(wParam) == kRemindAgainId) Close(PopupAnswer::kRemindAgain);
            if (LOWORD(wParam) == kAcknowledgeId) Close(PopupAnswer::kAcknowledge);
            return TRUE;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) != SC_CLOSE) return FALSE;
            Close(PopupAnswer::kClose);
            return TRUE;
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORBTN:
            return reinterpret_cast<INT_PTR>(background_.get());
        case WM_ERASEBKGND:
            return TRUE;  // WM_PAINT fills the whole client area
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC hdc = BeginPaint(hwnd, &ps);
            RECT client;
            GetClientRect(hwnd, &client);
            PaintPopup(hdc, client, texts_);
            EndPaint(hwnd, &ps);
            return TRUE;
        }
        default:
            return FALSE;
    }
}

}  // namespace

void PaintPopup(HDC hdc, const RECT& client, const PopupTexts& texts) {
    const win::Brush brush(CreateSolidBrush(kPopupBackground));
    FillRect(hdc, &client, brush.get());
    SetBkMode(hdc, OPAQUE);
    SetBkColor(hdc, kPopupBackground);
    DrawPopupText(hdc, texts.title, kTitleSpot);
    DrawPopupText(hdc, texts.description, kDescriptionSpot);
    DrawPopupText(hdc, texts.dateLine, kDateSpot);
    DrawPopupText(hdc, texts.timeLine, kTimeSpot);
}

PopupAnswer ShowReminderPopup(const PopupTexts& texts) {
    PopupWindow popup(texts);
    if (win::RunModal(popup, nullptr, PopupTemplate()) == -1) return PopupAnswer::kRemindAgain;
    return popup.answer;
}

}  // namespace tessaly
