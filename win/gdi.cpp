// Fonts and text measuring for every window.
#include "win/gdi.h"

#include <algorithm>
#include <vector>

#include "win/text.h"

namespace tessaly::win {
namespace {

std::string_view Measured(std::string_view text) {
    return text.substr(0, 255);
}

// The byte offsets at which a UTF-8 text may be cut: where each character starts, and its end.
std::vector<std::size_t> Cuts(std::string_view text) {
    std::vector<std::size_t> cuts;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            cuts.push_back(i);
        }
    }
    return cuts;
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

TextExtent DcMeasure::Extent(std::string_view text) const {
    const std::wstring wide = bytes_ == TextBytes::kUtf8 ? Utf8ToWide(text) : Cp1252ToWide(text);
    SIZE size{};
    GetTextExtentPoint32W(dc_, wide.c_str(), static_cast<int>(wide.size()), &size);
    return {static_cast<int>(size.cx), static_cast<int>(size.cy)};
}

std::size_t DcMeasure::FitLeading(std::string_view text, int width) const {
    if (text.empty() || width < 0) return 0;
    if (bytes_ == TextBytes::kUtf8) {
        // A character may take several bytes, and a cut may not fall inside one.
        const std::vector<std::size_t> cuts = Cuts(text);
        return cuts[LargestFitting(cuts.size() - 1, [&](std::size_t k) {
            return Width(text.substr(0, cuts[k])) <= width;
        })];
    }
    // Windows-1252 has one UTF-16 unit per byte, so characters that fit are bytes that fit.
    const std::wstring wide = Cp1252ToWide(text);
    int fit = 0;
    SIZE size{};
    if (!GetTextExtentExPointW(dc_, wide.c_str(), static_cast<int>(wide.size()), width, &fit,
                               nullptr, &size)) {
        return text.size();  // nothing measured, nothing to cut: as Width says, it all fits
    }
    return static_cast<std::size_t>(std::clamp(fit, 0, static_cast<int>(text.size())));
}

std::size_t DcMeasure::FitTrailing(std::string_view text, int width) const {
    if (bytes_ == TextBytes::kCp1252) return TextMeasure::FitTrailing(text, width);
    if (text.empty() || width < 0) return 0;
    // Counted from the end: k characters' worth of the last cuts.
    const std::vector<std::size_t> cuts = Cuts(text);
    const std::size_t last = cuts.size() - 1;
    return text.size() - cuts[last - LargestFitting(last, [&](std::size_t k) {
                                  return Width(text.substr(cuts[last - k])) <= width;
                              })];
}

int TextWidth(HDC dc, std::string_view text) {
    return DcMeasure(dc).Width(Measured(text));
}

std::string FitTextToWidth(HDC dc, std::string_view text, int maxWidth) {
    return std::string(DcMeasure(dc).Fit(Measured(text), maxWidth));
}

void DrawTextAt(HDC dc, int x, int y, std::string_view text) {
    const std::wstring wide = Cp1252ToWide(text);
    TextOutW(dc, x, y, wide.c_str(), static_cast<int>(wide.size()));
}

std::optional<INT_PTR> BlackOnWhiteDialog(UINT msg, WPARAM wParam) {
    switch (msg) {
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            return BlackOnWhite(reinterpret_cast<HDC>(wParam));
        default:
            return std::nullopt;
    }
}

INT_PTR BlackOnWhite(HDC dc) {
    SetTextColor(dc, kBlack);
    SetBkColor(dc, kWhite);
    return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
}

}  // namespace tessaly::win
