// Button sets, results, size and placement of the editor's own message box.
#include "editor/msgbox/msgbox_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tessaly::editor::msgbox {
namespace {

constexpr int kMinWidth = 220;
constexpr int kMinHeight = 120;
constexpr int kTextTop = 5;
constexpr int kLabelLineHeight = 15;
constexpr int kRightMargin = 25;
constexpr int kBelowText = 100;  // buttons, their margins and the caption bar
constexpr int kButtonsAboveBottom = 70;
constexpr int kFarOffset = 1000000;

int RoundedHalf(int n) {
    return static_cast<int>(std::lround(n / 2.0));
}

}  // namespace

BoxStyle ParseStyle(int style) {
    BoxStyle s;
    s.modal = style < 0;
    // Any int has a magnitude that fits once widened.
    const long long magnitude = std::llabs(static_cast<long long>(style));
    switch (magnitude % 16) {
        case 3:
            s.buttons = ButtonSet::kYesNoCancel;
            break;
        case 4:
            s.buttons = ButtonSet::kYesNo;
            break;
        case 1:
            s.buttons = ButtonSet::kOkCancel;
            break;
        default:
            s.buttons = ButtonSet::kOk;
    }
    const long long kind = magnitude - magnitude % 16;
    s.iconKind =
        (kind == 16 || kind == 32 || kind == 48 || kind == 64) ? static_cast<int>(kind) : 0;
    s.indent = magnitude > 6 ? 50 : 10;
    return s;
}

std::vector<Button> Buttons(ButtonSet set) {
    switch (set) {
        case ButtonSet::kYesNoCancel:
            return {
                {kYesId, "&Yes", 10, 60}, {kNoId, "&No", 75, 60}, {kCancelId, "Cancel", 140, 60}};
        case ButtonSet::kYesNo:
            return {{kYesId, "&Yes", 10, 60}, {kNoId, "&No", 75, 60}};
        case ButtonSet::kOkCancel:
            return {{kYesId, "&Ok", 10, 60}, {kCancelId, "&Cancel", 75, 60}};
        case ButtonSet::kOk:
            break;
    }
    return {{kOkId, "&Ok", 30, 80}};
}

int DefaultButton(ButtonSet set) {
    return set == ButtonSet::kOk ? kOkId : kYesId;
}

int FocusButton(ButtonSet set) {
    return set == ButtonSet::kYesNoCancel ? kYesId : 0;
}

std::optional<int> CommandResult(ButtonSet set, int command) {
    switch (command) {
        case kYesId:
        case kCommandOk:
            return kResultYes;
        case kNoId:
            return kResultNo;
        case kCommandCancel:
            return set == ButtonSet::kYesNoCancel || set == ButtonSet::kOkCancel ? kResultCancel
                                                                                 : kResultNo;
        case kCancelId:
            return kResultCancel;
        case kOkId:
            return kResultOk;
        default:
            return std::nullopt;
    }
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    for (;;) {
        const auto lf = text.find('\n');
        std::string_view line = text.substr(0, lf);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (lf == std::string_view::npos) return lines;
        text.remove_prefix(lf + 1);
    }
}

Layout LayoutBox(std::string_view text, std::string_view title, const BoxStyle& style,
                 const TextMeasure& font, const Placement& placement) {
    Layout l;
    const auto lines = SplitLines(text);
    l.lines = static_cast<int>(lines.size());
    int tallestLine = 0;
    for (std::string_view line : lines) {
        const TextExtent e = font.Extent(line);
        l.widestLine = std::max(l.widestLine, e.width);
        tallestLine = std::max(tallestLine, e.height);
    }
    const TextExtent titleExtent = font.Extent(title);
    l.widestLine = std::max(l.widestLine, titleExtent.width);
    // The title's height sizes the box; an empty title measures no height, and the box would
    // then not grow with its lines, so the text's own height stands in.
    l.lineHeight = titleExtent.height > 0 ? titleExtent.height : tallestLine;

    l.text = {style.indent, kTextTop, style.indent + l.widestLine,
              kTextTop + kLabelLineHeight * l.lines};
    const int width = std::max(kMinWidth, style.indent + l.widestLine + kRightMargin);
    const int height = std::max(kMinHeight, l.lineHeight * l.lines + kBelowText);
    l.buttonTop = height - kButtonsAboveBottom;

    Rect frame =
        placement.owner.value_or(Rect{0, 0, placement.workArea.right, placement.workArea.bottom});
    int left = frame.left;
    int top = frame.top;
    const int x = placement.x;
    const int y = placement.y;
    if (x == 0 && y == 0) {
        left += RoundedHalf(frame.Width() - width);
        top += RoundedHalf(frame.Height() - height);
    } else if (x <= kFarOffset && y <= kFarOffset) {
        left += std::max(x, 0);
        top += std::max(y, 0);
    }
    // Offsets beyond a million leave the box at the owner's corner; no caller passes them.
    l.box = {left, top, left + width, top + height};
    return l;
}

}  // namespace tessaly::editor::msgbox
