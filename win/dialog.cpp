// The one dialog procedure and the templates it opens.
#include "win/dialog.h"

#include <cstring>

namespace tessaly::win {

void Dialog::End(INT_PTR result) {
    if (!hwnd) return;
    if (modal_) {
        EndDialog(hwnd, result);
    } else {
        DestroyWindow(hwnd);
    }
}

INT_PTR CALLBACK DialogProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Dialog* dialog = nullptr;
    if (msg == WM_INITDIALOG) {
        dialog = reinterpret_cast<Dialog*>(lParam);
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        dialog->hwnd = hwnd;
    } else {
        dialog = reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    // A few messages (the font, the frame's size) come before WM_INITDIALOG.
    if (!dialog) return FALSE;
    INT_PTR result = FALSE;
    try {
        result = dialog->OnMessage(msg, wParam, lParam);
    } catch (...) {
        // Nothing may unwind through the system's dispatcher; the message counts as unhandled.
        result = FALSE;
    }
    if (msg == WM_NCDESTROY) {
        // The window's last message: its state is no longer reached through it.
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        dialog->hwnd = nullptr;
        if (dialog->ownedByWindow_) delete dialog;
        return FALSE;
    }
    return result;
}

Dialog* DialogAt(HWND hwnd) {
    // DWLP_USER is any dialog's own to use; only ours hold a Dialog there.
    if (!hwnd ||
        GetWindowLongPtrW(hwnd, DWLP_DLGPROC) != reinterpret_cast<LONG_PTR>(&DialogProcedure)) {
        return nullptr;
    }
    return reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
}

DialogTemplate& DialogTemplate::Size(short cx, short cy) {
    cx_ = cx;
    cy_ = cy;
    return *this;
}

DialogTemplate& DialogTemplate::Title(std::wstring_view title) {
    title_ = title;
    return *this;
}

DialogTemplate& DialogTemplate::Font(WORD points, std::wstring_view face) {
    points_ = points;
    face_ = face;
    style_ |= DS_SETFONT;
    return *this;
}

std::vector<WORD> DialogTemplate::InMemory() const {
    DLGTEMPLATE head{};
    head.style = style_;
    head.dwExtendedStyle = exStyle_;
    head.cx = cx_;
    head.cy = cy_;
    std::vector<WORD> words(sizeof head / sizeof(WORD));
    std::memcpy(words.data(), &head, sizeof head);
    words.push_back(0);  // no menu
    words.push_back(0);  // the standard dialog class
    for (wchar_t c : title_) words.push_back(static_cast<WORD>(c));
    words.push_back(0);
    if (style_ & DS_SETFONT) {
        words.push_back(points_);
        for (wchar_t c : face_) words.push_back(static_cast<WORD>(c));
        words.push_back(0);
    }
    return words;
}

INT_PTR RunModal(Dialog& dialog, HWND owner, const DialogTemplate& from) {
    dialog.modal_ = true;
    dialog.ownedByWindow_ = false;
    const LPARAM state = reinterpret_cast<LPARAM>(&dialog);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (from.resourceId_ != 0) {
        return DialogBoxParamW(instance, MAKEINTRESOURCEW(from.resourceId_), owner,
                               &DialogProcedure, state);
    }
    const std::vector<WORD> words = from.InMemory();
    return DialogBoxIndirectParamW(instance, reinterpret_cast<const DLGTEMPLATE*>(words.data()),
                                   owner, &DialogProcedure, state);
}

HWND CreateModeless(std::unique_ptr<Dialog> dialog, HWND owner, const DialogTemplate& from) {
    dialog->modal_ = false;
    // Kept here while the window opens: one that closes itself during WM_INITDIALOG leaves its
    // state to this holder, not to its last message.
    dialog->ownedByWindow_ = false;
    const LPARAM state = reinterpret_cast<LPARAM>(dialog.get());
    HINSTANCE instance = GetModuleHandleW(nullptr);
    HWND hwnd = nullptr;
    if (from.resourceId_ != 0) {
        hwnd = CreateDialogParamW(instance, MAKEINTRESOURCEW(from.resourceId_), owner,
                                  &DialogProcedure, state);
    } else {
        const std::vector<WORD> words = from.InMemory();
        hwnd =
            CreateDialogIndirectParamW(instance, reinterpret_cast<const DLGTEMPLATE*>(words.data()),
                                       owner, &DialogProcedure, state);
    }
    if (!hwnd || !IsWindow(hwnd)) return nullptr;
    dialog->ownedByWindow_ = true;
    dialog.release();  // the window's now; it deletes it at WM_NCDESTROY
    return hwnd;
}

HWND AddControl(HWND dialog, const Control& c, HFONT font) {
    const std::wstring text(c.text);
    HWND control = CreateWindowExW(c.exStyle, c.windowClass, text.c_str(),
                                   WS_CHILD | WS_VISIBLE | c.style, c.x, c.y, c.width, c.height,
                                   dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)),
                                   GetModuleHandleW(nullptr), nullptr);
    // A dialog without a font of its own leaves its controls in theirs.
    if (!font) font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    if (control && font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

}  // namespace tessaly::win
