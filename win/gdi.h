// Drawing helpers every window and printout shares: the colours, fonts sized in points, and
// texts measured and drawn as the characters their bytes stand for.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "core/text_measure.h"
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

// What the bytes of a text are: reminder, help and window texts are Windows-1252 whatever the
// system's code page; message texts are UTF-8.
enum class TextBytes { kCp1252, kUtf8 };

// Texts measured in the font selected into a DC, in its pixels.
class DcMeasure final : public TextMeasure {
  public:
    explicit DcMeasure(HDC dc, TextBytes bytes = TextBytes::kCp1252) : dc_(dc), bytes_(bytes) {}
    TextExtent Extent(std::string_view text) const override;
    std::size_t FitLeading(std::string_view text, int width) const override;
    std::size_t FitTrailing(std::string_view text, int width) const override;

  private:
    HDC dc_;
    TextBytes bytes_;
};

// Width in pixels of the Windows-1252 text in the DC's current font (at most 255 characters take
// part, as no field of a form holds more).
int TextWidth(HDC dc, std::string_view text);
// The leading part of the text (of its first 255 characters) that fits in maxWidth pixels.
std::string FitTextToWidth(HDC dc, std::string_view text, int maxWidth);
// Draws the Windows-1252 text with its top left corner at x, y.
void DrawTextAt(HDC dc, int x, int y, std::string_view text);

// The answer to WM_CTLCOLORDLG, WM_CTLCOLORSTATIC and WM_CTLCOLORBTN in the windows painted
// black on white: sets the DC's colours and returns the stock white brush, which nobody frees.
INT_PTR BlackOnWhite(HDC dc);
// The same for a dialog painted black on white throughout, buttons included: the answer to
// those three messages, nothing for any other.
std::optional<INT_PTR> BlackOnWhiteDialog(UINT msg, WPARAM wParam);

}  // namespace tessaly::win
