// The window of AppMsgBox: an in-memory dialog template, filled and sized at WM_INITDIALOG from
// the portable layout, measured in the dialog's own font.
#include "editor/msgbox/win/app_msgbox.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "editor/msgbox/msgbox_layout.h"
#include "win/controls.h"
#include "win/gdi.h"
#include "win/text.h"

namespace tessaly::editor {
namespace {

using namespace msgbox;

struct Box {
    std::string text;
    std::string title;
    BoxStyle style;
    bool beep = false;
    int x = 0;
    int y = 0;
    HWND owner = nullptr;
    HWND hwnd = nullptr;
};

// An empty dialog in the system's dialog font; the controls are added once the text is measured.
std::vector<WORD> EmptyDialogTemplate() {
    DLGTEMPLATE head{};
    head.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    head.cx = 200;  // replaced by the measured size
    head.cy = 100;
    std::vector<WORD> t(sizeof head / sizeof(WORD));
    std::memcpy(t.data(), &head, sizeof head);
    t.push_back(0);  // no menu
    t.push_back(0);  // the standard dialog class
    t.push_back(0);  // no title yet
    t.push_back(8);  // point size
    for (const wchar_t* face = L"MS Shell Dlg"; *face; ++face) t.push_back(*face);
    t.push_back(0);
    return t;
}

HWND AddControl(HWND box, const wchar_t* cls, const std::wstring& text, DWORD style, int id,
                const Rect& r) {
    HWND control = CreateWindowExW(
        0, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.Width(), r.Height(),
        box, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, SendMessageW(box, WM_GETFONT, 0, 0), FALSE);
    return control;
}

Layout Measure(const Box& b) {
    HDC dc = GetDC(b.hwnd);
    HGDIOBJ oldFont =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(b.hwnd, WM_GETFONT, 0, 0)));
    auto measure = [dc](std::string_view line) {
        const std::wstring w = win::Utf8ToWide(line);
        SIZE size{};
        GetTextExtentPoint32W(dc, w.c_str(), static_cast<int>(w.size()), &size);
        return Extent{static_cast<int>(size.cx), static_cast<int>(size.cy)};
    };
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
    const Layout layout = LayoutBox(b.text, b.title, b.style, measure, placement);
    SelectObject(dc, oldFont);
    ReleaseDC(b.hwnd, dc);
    return layout;
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
    AddControl(b.hwnd, L"STATIC", win::Utf8ToWide(b.text), SS_LEFTNOWORDWRAP | SS_NOPREFIX, kTextId,
               l.text);
    for (const Button& button : Buttons(b.style.buttons)) {
        AddControl(b.hwnd, L"BUTTON", win::Utf8ToWide(button.caption), WS_TABSTOP | BS_PUSHBUTTON,
                   button.id,
                   {button.x, l.buttonTop, button.x + button.width, l.buttonTop + kButtonHeight});
    }
    MoveWindow(b.hwnd, l.box.left, l.box.top, l.box.Width(), l.box.Height(), FALSE);

    HWND icon = AddControl(b.hwnd, L"STATIC", L"", SS_ICON, kIconId, {10, 5, 42, 37});
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
    if (b.style.modal) {
        EndDialog(b.hwnd, *result);
    } else {
        DestroyWindow(b.hwnd);  // nobody waits for the answer
    }
}

INT_PTR CALLBACK BoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    try {
        Box* b = win::DialogObject<Box>(hwnd, msg, lParam);
        if (!b) return FALSE;
        if (msg == WM_INITDIALOG) return OnInitDialog(*b);
        switch (msg) {
            case WM_COMMAND:
                OnCommand(*b, LOWORD(wParam), HIWORD(wParam));
                return TRUE;
            case WM_CTLCOLORDLG:
            case WM_CTLCOLORSTATIC:
            case WM_CTLCOLORBTN:
                return win::BlackOnWhite(reinterpret_cast<HDC>(wParam));
            case WM_NCDESTROY:
                SetWindowLongPtrW(hwnd, DWLP_USER, 0);
                if (!b->style.modal) delete b;
                return FALSE;
            default:
                return FALSE;
        }
    } catch (...) {
        // Nothing may unwind through the system's dispatcher.
        return FALSE;
    }
}

}  // namespace

void SystemBeep(unsigned type) {
    MessageBeep(type);
}

BeepFunction appMsgBoxBeep = &SystemBeep;

int AppMsgBox(std::string_view text, int style, std::string_view title, int beep, int x, int y) {
    Box box;
    box.text = text;
    box.title = title;
    box.style = ParseStyle(style);
    box.beep = beep != 0;
    box.x = x;
    box.y = y;
    box.owner = GetActiveWindow();
    const std::vector<WORD> dialog = EmptyDialogTemplate();
    const auto* tmpl = reinterpret_cast<const DLGTEMPLATE*>(dialog.data());
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (box.style.modal) {
        const INT_PTR result = DialogBoxIndirectParamW(instance, tmpl, box.owner, BoxProc,
                                                       reinterpret_cast<LPARAM>(&box));
        return result < 0 ? 0 : static_cast<int>(result);
    }
    auto* modeless = new Box(std::move(box));
    HWND hwnd = CreateDialogIndirectParamW(instance, tmpl, modeless->owner, BoxProc,
                                           reinterpret_cast<LPARAM>(modeless));
    if (!hwnd) {
        delete modeless;  // never reached WM_INITDIALOG, so nothing else holds it
        return 0;
    }
    ShowWindow(hwnd, SW_SHOW);
    return 0;
}

}  // namespace tessaly::editor
