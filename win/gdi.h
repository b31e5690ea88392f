// Drawing helpers every window shares: the colours, fonts sized in points, and text drawn and
// measured in Windows-1252.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "win/handles.h"

namespace tessaly::win {

inline constexpr COLORREF kBlack = RGB(0, 0, 0);
inline constexpr COLORREF kWhite = RGB(255, 255, 255);
inline constexpr COLORREF kTitleBarBlue = RGB(128, 128, 255);  // the calendar's month titles
inline constexpr COLORREF kShadedGrey = RGB(211, 211, 211);    // past days and marked cells

// Height -(LOGPIXELSY * points / 72), truncated; ANSI character set, TrueType output
// precision. style: "b" bold, "i" italic, "u" underline, in any order; other letters are
// ignored.
HFONT MakeFont(HDC dc, const char* face, int points, std::string_view style = {});
// The same, held: deleted when the holder goes.
inline Font MakeOwnedFont(HDC dc, const char* face, int points, std::string_view style = {}) {
    return Font(MakeFont(dc, face, points, style));
}

// Width in pixels of the text in the DC's current font (at most 255 characters take part, as
// no field of a form holds more).
int TextWidth(HDC dc, std::string_view text);
// The leading part of the text that fits in maxWidth pixels.
std::string FitTextToWidth(HDC dc, std::string_view text, int maxWidth);
void DrawTextAt(HDC dc, int x, int y, std::string_view text);

// The answer to WM_CTLCOLORDLG, WM_CTLCOLORSTATIC and WM_CTLCOLORBTN in the windows painted
// black on white: sets the DC's colours and returns the stock white brush, which nobody frees.
INT_PTR BlackOnWhite(HDC dc);

}  // namespace tessaly::win
