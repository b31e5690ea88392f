// Dialogs: the texts of their controls as the Windows-1252 bytes the reminder rules work in, and
// the object behind each dialog.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace tessaly::win {

std::string GetItemText(HWND dialog, int id);
void SetItemText(HWND dialog, int id, std::string_view cp1252);

// The object a dialog procedure serves, T with a member `hwnd`: WM_INITDIALOG's lParam, which is
// kept with the window and given its handle; null for the few messages that come before.
template <class T>
T* DialogObject(HWND hwnd, UINT msg, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        auto* object = reinterpret_cast<T*>(lParam);
        object->hwnd = hwnd;
        return object;
    }
    return reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, DWLP_USER));
}

}  // namespace tessaly::win
