// Text at the Win32 boundary: UTF-16 for the system, Windows-1252 bytes for reminder texts, and
// the measuring helpers the editor's windows share.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace tessaly::editor {

std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);
// Reminder texts are stored as Windows-1252 bytes whatever the system's code page.
std::wstring Cp1252ToWide(std::string_view bytes);
std::string WideToCp1252(std::wstring_view wide);
// The system's ANSI code page (the settings file is written in it).
std::wstring AnsiToWide(std::string_view bytes);

// A control's text as Windows-1252 bytes, and back.
std::string GetItemText(HWND dialog, int id);
void SetItemText(HWND dialog, int id, std::string_view cp1252);

// Width in pixels of the text in the DC's current font (at most 255 characters take part).
int TextWidth(HDC dc, std::string_view text);
// The leading part of the text that fits in maxWidth pixels.
std::string FitTextToWidth(HDC dc, std::string_view text, int maxWidth);
void DrawTextAt(HDC dc, int x, int y, std::string_view text);

}  // namespace tessaly::editor
