// The editor's own message box, its rules: button sets, results, size and placement in pixels,
// worked out over a text measure so they hold without a window.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "core/text_measure.h"

namespace tessaly::editor::msgbox {

// Control ids of the box.
inline constexpr int kTextId = 9990;
inline constexpr int kYesId = 9991;  // "&Yes", or "&Ok" of the Ok/Cancel set
inline constexpr int kNoId = 9992;
inline constexpr int kCancelId = 9993;
inline constexpr int kOkId = 9994;  // the lone "&Ok"
inline constexpr int kIconId = 9995;

// Results, the standard message-box codes.
inline constexpr int kResultOk = 1;
inline constexpr int kResultCancel = 2;
inline constexpr int kResultYes = 6;
inline constexpr int kResultNo = 7;

// The dialog manager's own commands: Enter without a default button, and Escape / close box.
inline constexpr int kCommandOk = 1;
inline constexpr int kCommandCancel = 2;

enum class ButtonSet { kOk, kOkCancel, kYesNoCancel, kYesNo };

// A style argument taken apart: a negative style runs the box modally; the low four bits of
// its absolute value choose the buttons, the next four the icon.
struct BoxStyle {
    bool modal = false;
    ButtonSet buttons = ButtonSet::kOk;
    int iconKind = 0;  // 16, 32, 48, 64, or 0 for none (also the MessageBeep type)
    int indent = 10;   // left edge of the text: 50 leaves room for an icon
};
BoxStyle ParseStyle(int style);

struct Button {
    int id;
    std::string_view caption;
    int x;
    int width;
};
inline constexpr int kButtonHeight = 30;
// The buttons of a set, left to right.
std::vector<Button> Buttons(ButtonSet set);
// The button that looks like the default and that Enter presses.
int DefaultButton(ButtonSet set);
// The button the box gives the focus to itself, or 0 to leave it to the dialog.
int FocusButton(ButtonSet set);
// What a command does to the box: the result it closes with, or nothing when it does not close
// it. Escape answers Cancel where the box has a Cancel button, so that a question such as "save
// changes?" never takes Escape for "discard"; elsewhere Escape answers No.
std::optional<int> CommandResult(ButtonSet set, int command);

// The message's lines: split at line breaks (CR LF; a lone LF counts too).
std::vector<std::string_view> SplitLines(std::string_view text);

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const Rect&) const = default;
};

// Where the box is placed: against the owner's window rectangle, or without an owner against
// the work area (its right and bottom edges taken as the size, from the screen's corner).
struct Placement {
    std::optional<Rect> owner;
    Rect workArea;
    int x = 0;  // offsets from the owner's corner; both 0 centres the box
    int y = 0;
};

struct Layout {
    int lines = 1;
    int widestLine = 0;  // in pixels, the title included
    int lineHeight = 0;  // the title's extent height
    Rect text;           // the text label, in client pixels
    int buttonTop = 0;   // the row of buttons, in client pixels
    Rect box;            // the outer window, in screen pixels
};
// Lines and title are measured in the box's own font.
Layout LayoutBox(std::string_view text, std::string_view title, const BoxStyle& style,
                 const TextMeasure& font, const Placement& placement);

}  // namespace tessaly::editor::msgbox
