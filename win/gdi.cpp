// Fonts and text measuring for every window.
#include "win/gdi.h"

#include <algorithm>

namespace tessaly::win {
namespace {

std::string_view Measured(std::string_view text) {
    return text.substr(0, 255);
}

}  // namespace

HFONT MakeFont(HDC dc, const char* face, int points, std::string_view style) {
    const int height = -(GetDeviceCaps(dc, LOGPIXELSY) * points / 72);
    const int weight = style.find('b') != std::string_view::npos ? FW_BOLD : FW_NORMAL;
    const DWORD italic = style.find('i') != std::string_view::npos;
    const DWORD underline = style.find('u') != std::string_view::npos;
    return CreateFontA(height, 0, 0, 0, weight, italic, underline, 0, ANSI_CHARSET, OUT_TT_PRECIS,
                       0, 0, 0, face);
}

int TextWidth(HDC dc, std::string_view text) {
    const std::string_view measured = Measured(text);
    SIZE size{};
    GetTextExtentPoint32A(dc, measured.data(), static_cast<int>(measured.size()), &size);
    return size.cx;
}

std::string FitTextToWidth(HDC dc, std::string_view text, int maxWidth) {
    const std::string buffer(Measured(text));
    int fit = 0;
    SIZE size{};
    if (!GetTextExtentExPointA(dc, buffer.c_str(), static_cast<int>(buffer.size()), maxWidth, &fit,
                               nullptr, &size)) {
        return buffer;
    }
    return buffer.substr(0, static_cast<std::size_t>(std::clamp(fit, 0, int(buffer.size()))));
}

void DrawTextAt(HDC dc, int x, int y, std::string_view text) {
    TextOutA(dc, x, y, text.data(), static_cast<int>(text.size()));
}

INT_PTR BlackOnWhite(HDC dc) {
    SetTextColor(dc, kBlack);
    SetBkColor(dc, kWhite);
    return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
}

}  // namespace tessaly::win
