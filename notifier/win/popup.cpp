// The pop-ups: the day's reminder pop-up and the alert before a timed reminder share one window
// style (template, size, place, colours, fonts); each has its own texts, buttons and answers.
#include "notifier/win/popup.h"

#include <algorithm>
#include <string>

#include "win/dialog.h"
#include "win/gdi.h"

namespace tessaly {
namespace {

struct TextSpot {
    int x, y, points;
    COLORREF colour;
};
constexpr TextSpot kTitleSpot{15, 16, 20, kPopupTitleColour};
constexpr TextSpot kDescriptionSpot{15, 49, 15, win::kBlack};
constexpr TextSpot kDateSpot{15, 81, 12, win::kBlack};
constexpr TextSpot kTimeSpot{38, 101, 12, win::kBlack};
constexpr TextSpot kWhenSpot = kDateSpot;  // the alert's time left takes the date line's place

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

// Fills the client area with the pop-up's colour, ready for texts drawn on it.
void PaintBackground(HDC hdc, const RECT& client) {
    const win::Brush brush(CreateSolidBrush(kPopupBackground));
    FillRect(hdc, &client, brush.get());
    SetBkMode(hdc, OPAQUE);
    SetBkColor(hdc, kPopupBackground);
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

// What both pop-ups are: a client area of 400 x 220 centred on the screen, topmost, in their
// colour, with two buttons; the right-hand one is the default and has the focus.
class PopupFrame : public win::Dialog {
  protected:
    struct Button {
        int id;
        const wchar_t* caption;
    };
    virtual void Paint(HDC hdc, const RECT& client) = 0;
    // Answers a button, Enter or Escape (WM_COMMAND).
    virtual void OnCommand(int id) = 0;
    INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

    BOOL Open(const Button& left, const Button& right);

  private:
    win::Brush background_;
};

BOOL PopupFrame::Open(const Button& left, const Button& right) {
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

    AddButton(hwnd, left.id, left.caption, 40, BS_PUSHBUTTON);
    AddButton(hwnd, right.id, right.caption, 240, BS_DEFPUSHBUTTON);
    SetFocus(GetDlgItem(hwnd, right.id));
    return FALSE;  // focus set here
}

INT_PTR PopupFrame::OnMessage(UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam));
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
            Paint(hdc, client);
            EndPaint(hwnd, &ps);
            return TRUE;
        }
        default:
            return FALSE;
    }
}

class ReminderPopup final : public PopupFrame {
  public:
    explicit ReminderPopup(const PopupTexts& texts) : texts_(texts) {}
    PopupAnswer answer = PopupAnswer::kRemindAgain;

  private:
    INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_INITDIALOG) {
            return Open({kAcknowledgeId, L"&Acknowledge"}, {kRemindAgainId, L"&Remind Again"});
        }
        if (msg == WM_SYSCOMMAND) {
            if ((wParam & 0xFFF0) != SC_CLOSE) return FALSE;
            Close(PopupAnswer::kClose);
            return TRUE;
        }
        return PopupFrame::OnMessage(msg, wParam, lParam);
    }
    void OnCommand(int id) override {
        // Escape (IDCANCEL) is deliberately ignored: only the three answers close it.
        if (id == kRemindAgainId) Close(PopupAnswer::kRemindAgain);
        if (id == kAcknowledgeId) Close(PopupAnswer::kAcknowledge);
    }
    void Paint(HDC hdc, const RECT& client) override { PaintPopup(hdc, client, texts_); }
    void Close(PopupAnswer chosen) {
        answer = chosen;
        End(0);
    }

    const PopupTexts& texts_;
};

class AlertPopup final : public PopupFrame {
  public:
    explicit AlertPopup(const AlertTexts& texts) : texts_(texts) {}
    AlertAnswer answer = AlertAnswer::kSnooze;

  private:
    INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_INITDIALOG) {
            return Open({kDismissId, L"&Dismiss"}, {kSnoozeId, L"&Snooze"});
        }
        return PopupFrame::OnMessage(msg, wParam, lParam);
    }
    void OnCommand(int id) override {
        // Enter, Escape and the close box (IDCANCEL) snooze: only "&Dismiss" ends an alert, so
        // a key meant for another window never loses one.
        if (id == kDismissId) Close(AlertAnswer::kDismiss);
        if (id == kSnoozeId || id == IDCANCEL) Close(AlertAnswer::kSnooze);
    }
    void Paint(HDC hdc, const RECT& client) override { PaintAlertPopup(hdc, client, texts_); }
    void Close(AlertAnswer chosen) {
        answer = chosen;
        End(0);
    }

    const AlertTexts& texts_;
};

}  // namespace

void PaintPopup(HDC hdc, const RECT& client, const PopupTexts& texts) {
    PaintBackground(hdc, client);
    DrawPopupText(hdc, texts.title, kTitleSpot);
    DrawPopupText(hdc, texts.description, kDescriptionSpot);
    DrawPopupText(hdc, texts.dateLine, kDateSpot);
    DrawPopupText(hdc, texts.timeLine, kTimeSpot);
}

void PaintAlertPopup(HDC hdc, const RECT& client, const AlertTexts& texts) {
    PaintBackground(hdc, client);
    DrawPopupText(hdc, texts.title, kTitleSpot);
    DrawPopupText(hdc, texts.description, kDescriptionSpot);
    DrawPopupText(hdc, texts.whenLine, kWhenSpot);
}

PopupAnswer ShowReminderPopup(const PopupTexts& texts) {
    ReminderPopup popup(texts);
    if (win::RunModal(popup, nullptr, PopupTemplate()) == -1) return PopupAnswer::kRemindAgain;
    return popup.answer;
}

AlertAnswer ShowAlertPopup(const AlertTexts& texts) {
    AlertPopup popup(texts);
    // One that cannot be created comes back as a snooze, so the alert is not lost.
    if (win::RunModal(popup, nullptr, PopupTemplate()) == -1) return AlertAnswer::kSnooze;
    return popup.answer;
}

}  // namespace tessaly
