// Fonts for the editor's windows.
#include "editor/calendar/win/make_font.h"

namespace tessaly {

HFONT MakeFont(HDC dc, const char* face, int points, std::string_view style) {
    const int height = -(GetDeviceCaps(dc, LOGPIXELSY) * points / 72);
    const int weight = style.find('b') != std::string_view::npos ? FW_BOLD : FW_NORMAL;
    const DWORD italic = style.find('i') != std::string_view::npos;
    const DWORD underline = style.find('u') != std::string_view::npos;
    return CreateFontA(height, 0, 0, 0, weight, italic, underline, 0, ANSI_CHARSET, OUT_TT_PRECIS,
                       0, 0, 0, face);
}

}  // namespace tessaly
