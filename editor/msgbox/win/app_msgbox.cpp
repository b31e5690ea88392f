// The window of AppMsgBox: an in-memory dialog template, filled and sized at WM_INITDIALOG from
// the portable layout, measured in the dialog's own font.
#include "editor/msgbox/win/app_msgbox.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "editor/msgbox/msgbox_layout.h"
#include "win/dialog.h"
#include "win/gdi.h"
#include "win/handles.h"
#include "win/text.h"

namespace tessaly::editor {
namespace {

using namespace msgbox;

struct Box final : win::Dialog {
    std::string text;
    std::string title;
    BoxStyle style;
    bool beep = false;
    int x = 0;
    int y = 0;
    HWND owner = nullptr;

  private:
    INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

// An empty dialog in the system's dialog font; the controls are added once the text is measured.
win::DialogTemplate EmptyDialogTemplate() {
    return win::DialogTemplate(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME)
        .Size(200, 100)  // replaced by the measured size
        .Font(8, L"MS Shell Dlg");
}

HWND AddControl(HWND box, const wchar_t* cls, const std::string& utf8, DWORD style, int id,
                const Rect& r) {
    return win::AddControl(
        box, {cls, win::Utf8ToWide(utf8), style, id, r.left, r.top, r.Width(), r.Height()});
}

Layout Measure(const Box& b) {
    const win::WindowDc dc(b.hwnd);
    // The dialog's own font, which its text label takes.
    const win::SelectedObject font(
        dc.get(), reinterpret_cast<HGDIOBJ>(SendMessageW(b.hwnd, WM_GETFONT, 0, 0)));
    Placement placement;
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    placement.workArea = {work.left, work.top, work.right, work.bottom};
    RECT owner{};
    if (b.owner && GetWindowRect(b.owner, &owner)) {
        placement.owner = Rect{owner.left, owner.top, owner.right, owner.bottom};
    }
    placement.x = b.x;
    placement.y = b.y;
    return LayoutBox(b.text, b.title, b.style, win::DcMeasure(dc.get(), win::TextBytes::kUtf8),
                     placement);
}

}  // namespace

const wchar_t* SystemIconName(int kind) {
    switch (kind) {
        case 16:
            return MAKEINTRESOURCEW(32513);  // IDI_HAND, the error icon
        case 32:
            return MAKEINTRESOURCEW(32514);  // IDI_QUESTION
        case 48:
            return MAKEINTRESOURCEW(32515);  // IDI_EXCLAMATION, the warning icon
        case 64:
            return MAKEINTRESOURCEW(32516);  // IDI_ASTERISK, the information icon
        default:
            return nullptr;
    }
}

namespace {

BOOL OnInitDialog(Box& b) {
    SetWindowTextW(b.hwnd, win::Utf8ToWide(b.title).c_str());
    const Layout l = Measure(b);
    // No prefix: a path such as "Tom & Jerry" shows its ampersand. No wrapping: the label is
    // exactly as wide as the widest line.
    AddControl(b.hwnd, L"STATIC", b.text, SS_LEFTNOWORDWRAP | SS_NOPREFIX, kTextId, l.text);
    for (const Button& button : Buttons(b.style.buttons)) {
        AddControl(b.hwnd, L"BUTTON", std::string(button.caption), WS_TABSTOP | BS_PUSHBUTTON,
                   button.id,
                   {button.x, l.buttonTop, button.x + button.width, l.buttonTop + kButtonHeight});
    }
    MoveWindow(b.hwnd, l.box.left, l.box.top, l.box.Width(), l.box.Height(), FALSE);

    HWND icon = AddControl(b.hwnd, L"STATIC", "", SS_ICON, kIconId, {10, 5, 42, 37});
    if (const wchar_t* name = SystemIconName(b.style.iconKind)) {
        HANDLE image = LoadImageW(nullptr, name, IMAGE_ICON, 32, 32, LR_SHARED);
        SendMessageW(icon, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(image));
    }
    if (b.beep) appMsgBoxBeep(static_cast<unsigned>(b.style.iconKind));

    const int defaultId = DefaultButton(b.style.buttons);
    SendDlgItemMessageW(b.hwnd, defaultId, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    SendMessageW(b.hwnd, DM_SETDEFID, static_cast<WPARAM>(defaultId), 0);
    SetWindowPos(b.hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    if (const int focus = FocusButton(b.style.buttons)) {
        SetFocus(GetDlgItem(b.hwnd, focus));
        return FALSE;
    }
    return TRUE;  // the dialog gives the focus to its first button
}

void OnCommand(Box& b, int id, int code) {
    if (code != BN_CLICKED) return;
    const auto result = CommandResult(b.style.buttons, id);
    if (!result) return;
    b.End(*result);  // a modeless box is destroyed: nobody waits for its answer
}

INT_PTR Box::OnMessage(UINT msg, WPARAM wParam, LPARAM) {
    if (const auto colors = win::BlackOnWhiteDialog(msg, wParam)) return *colors;
    switch (msg) {
        case WM_INITDIALOG:
            return OnInitDialog(*this);
        case WM_COMMAND:
            OnCommand(*this, LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

void SystemBeep(unsigned type) {
    MessageBeep(type);
}

win::SystemCall<void(unsigned)> appMsgBoxBeep{&SystemBeep};

int AppMsgBox(std::string_view text, int style, std::string_view title, int beep, int x, int y) {
    auto box = std::make_unique<Box>();
    box->text = text;
    box->title = title;
    box->style = ParseStyle(style);
    box->beep = beep != 0;
    box->x = x;
    box->y = y;
    box->owner = GetActiveWindow();
    HWND owner = box->owner;
    if (box->style.modal) {
        const INT_PTR result = win::RunModal(*box, owner, EmptyDialogTemplate());
        return result < 0 ? 0 : static_cast<int>(result);
    }
    if (HWND hwnd = win::CreateModeless(std::move(box), owner, EmptyDialogTemplate())) {
        ShowWindow(hwnd, SW_SHOW);
    }
    return 0;
}

}  // namespace tessaly::editor
