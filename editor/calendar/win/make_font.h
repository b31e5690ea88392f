// Fonts for the editor's windows, sized in points for the device they draw on.
#pragma once

#include <windows.h>

#include <string_view>

namespace tessaly {

// Height -(LOGPIXELSY * points / 72), truncated; ANSI character set, TrueType output
// precision. style: "b" bold, "i" italic, "u" underline, in any order; other letters are
// ignored. The caller deletes the font.
HFONT MakeFont(HDC dc, const char* face, int points, std::string_view style = {});

}  // namespace tessaly
