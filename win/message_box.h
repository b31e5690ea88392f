// Every message box of every program goes through one replaceable function, so tests answer them.
#pragma once

#include <windows.h>

#include <string_view>

namespace tessaly::win {

// Texts are UTF-8; style is the MessageBox style (MB_ICONHAND, MB_YESNOCANCEL, ...); the
// result is the button pressed (IDYES, IDOK, ...).
using MessageBoxFunction = int (*)(HWND owner, std::string_view text, std::string_view caption,
                                   UINT style);

// The system message box.
int SystemMessageBox(HWND owner, std::string_view text, std::string_view caption, UINT style);

// The function ShowMessage calls; tests replace it and put it back.
extern MessageBoxFunction messageBoxFunction;

inline int ShowMessage(HWND owner, std::string_view text, std::string_view caption, UINT style) {
    return messageBoxFunction(owner, text, caption, style);
}

}  // namespace tessaly::win
