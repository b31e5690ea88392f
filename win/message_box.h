// Every message box of every program goes through one replaceable function, so tests answer
// them. (The editor's own self-sizing box, AppMsgBox, is a window of the editor's; see
// editor/msgbox.)
#pragma once

#include <windows.h>

#include <string_view>

#include "win/system_call.h"

namespace tessaly::win {

// Texts are UTF-8; style is the MessageBox style (MB_ICONHAND, MB_YESNOCANCEL, ...); the
// result is the button pressed (IDYES, IDOK, ...).
using MessageBoxCall = int(HWND owner, std::string_view text, std::string_view caption, UINT style);

// The system message box.
int SystemMessageBox(HWND owner, std::string_view text, std::string_view caption, UINT style);

// The box ShowMessage shows: the system's, unless a test answers instead.
extern SystemCall<MessageBoxCall> messageBox;

inline int ShowMessage(HWND owner, std::string_view text, std::string_view caption, UINT style) {
    return messageBox(owner, text, caption, style);
}

}  // namespace tessaly::win
