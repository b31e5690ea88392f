// The pop-up dialog: its template, buttons, colours, painting and answers.
#include "notifier/win/popup.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "win/gdi.h"

namespace tessaly {
namespace {

struct PopupState {
    const PopupTexts* texts = nullptr;
    win::Brush background;
    PopupAnswer answer = PopupAnswer::kRemindAgain;
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
std::vector<WORD> PopupTemplate() {
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
    auto* t = reinterpret_cast<DLGTEMPLATE*>(words.data());
    t->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN |
               DS_MODALFRAME | DS_SETFONT;
    words.push_back(0);  // no menu
    words.push_back(0);  // the standard dialog class
    for (const wchar_t* c = kPopupCaption; *c; ++c) words.push_back(static_cast<WORD>(*c));
    words.push_back(0);
    words.push_back(10);  // points
    for (const wchar_t* c = L"arial"; *c; ++c) words.push_back(static_cast<WORD>(*c));
    words.push_back(0);
    return words;
}

void AddButton(HWND dialog, int id, const wchar_t* caption, int x, DWORD kind) {
    HWND button = CreateWindowExW(
        0, L"BUTTON", caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | kind, x, 150, 100, 40, dialog,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(button, WM_SETFONT, SendMessageW(dialog, WM_GETFONT, 0, 0), FALSE);
}

BOOL OnInitDialog(HWND hwnd, PopupState* state) {
    SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
    state->background.reset(CreateSolidBrush(kPopupBackground));

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

void Close(HWND hwnd, PopupState* state, PopupAnswer answer) {
    state->answer = answer;
    EndDialog(hwnd, 0);
}

INT_PTR HandlePopupMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) return OnInitDialog(hwnd, reinterpret_cast<PopupState*>(lParam));
    auto* state = reinterpret_cast<PopupState*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!state) return FALSE;
    switch (msg) {
        case WM_COMMAND:
            // Escape (IDCANCEL) is deliberately ignored: only the three answers close it.
            if (LOWORD(wParam) == kRemindAgainId) Close(hwnd, state, PopupAnswer::kRemindAgain);
            if (LOWORD(wParam) == kAcknowledgeId) Close(hwnd, state, PopupAnswer::kAcknowledge);
            return TRUE;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) != SC_CLOSE) return FALSE;
            Close(hwnd, state, PopupAnswer::kClose);
            return TRUE;
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORBTN:
            return reinterpret_cast<INT_PTR>(state->background.get());
        case WM_ERASEBKGND:
            return TRUE;  // WM_PAINT fills the whole client area
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC hdc = BeginPaint(hwnd, &ps);
            RECT client;
            GetClientRect(hwnd, &client);
            PaintPopup(hdc, client, *state->texts);
            EndPaint(hwnd, &ps);
            return TRUE;
        }
        case WM_DESTROY:
            state->background.reset();
            return FALSE;
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK PopupProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    try {
        return HandlePopupMessage(hwnd, msg, wParam, lParam);
    } catch (...) {
        return FALSE;  // nothing may unwind into the dialog manager
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
    PopupState state;
    state.texts = &texts;
    const std::vector<WORD> dialog = PopupTemplate();
    const INT_PTR result = DialogBoxIndirectParamW(
        GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(dialog.data()), nullptr,
        PopupProc, reinterpret_cast<LPARAM>(&state));
    if (result == -1) return PopupAnswer::kRemindAgain;
    return state.answer;
}

}  // namespace tessaly
