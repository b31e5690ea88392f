// Text at the Win32 boundary: UTF-16 for the system, UTF-8 inside, Windows-1252 bytes for
// reminder texts, and the system's reason for an error.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "core/codepage.h"

namespace tessaly::win {

std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);
// The system's ANSI code page (the settings file is written in it).
std::wstring AnsiToWide(std::string_view bytes);

// Reminder texts are Windows-1252 bytes whatever the system's code page. Both directions go
// through core's rule (link tessaly_core to use them), so every program turns an unmappable
// character into the same "?" (the system's own conversion would pick a look-alike instead).
inline std::wstring Cp1252ToWide(std::string_view bytes) {
    return Utf8ToWide(Cp1252ToUtf8(bytes));
}
inline std::string WideToCp1252(std::wstring_view wide) {
    return Utf8ToCp1252(WideToUtf8(wide));
}

// The system's text for an error number, in UTF-8, with the number kept for reports:
// "Access is denied. (error 5)".
std::string ErrorText(DWORD error);

}  // namespace tessaly::win
