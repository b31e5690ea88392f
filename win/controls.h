// Dialogs: the texts of their controls as the Windows-1252 bytes the reminder rules work in.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace tessaly::win {

std::string GetItemText(HWND dialog, int id);
void SetItemText(HWND dialog, int id, std::string_view cp1252);

}  // namespace tessaly::win
