// The message box's rules without a window: styles, button sets, results, size and placement.
#include "editor/msgbox/msgbox_layout.h"

#include <gtest/gtest.h>

#include <string>

#include "core/tests/fixed_pitch.h"

namespace tessaly::editor::msgbox {
namespace {

// A fixed-pitch stand-in for the box's font: 6 pixels a character, 13 high (0 when empty, as
// some systems measure an empty text).
const tessaly::testing::FixedPitch Fixed(6, 13);

TEST(MsgBoxStyle, ButtonsIconIndentAndModality) {
    struct Case {
        int style;
        bool modal;
        ButtonSet buttons;
        int icon;
        int indent;
    };
    const Case cases[] = {
        {-64, true, ButtonSet::kOk, 64, 50},           // the settings dialog's box
        {4, false, ButtonSet::kYesNo, 0, 10},          // no icon: text at 10
        {20, false, ButtonSet::kYesNo, 16, 50},        // error icon
        {-35, true, ButtonSet::kYesNoCancel, 32, 50},  // question
        {49, false, ButtonSet::kOkCancel, 48, 50},     // warning
        {0, false, ButtonSet::kOk, 0, 10},
        {6, false, ButtonSet::kOk, 0, 10},               // unknown set: lone Ok
        {7, false, ButtonSet::kOk, 0, 50},               // indent follows the style, not the icon
        {80, false, ButtonSet::kOk, 0, 50},              // 64 + 16 is no icon kind
        {0x1000 + 64, false, ButtonSet::kOk, 0, 50},     // other bits set: no icon
        {-2147483647 - 1, true, ButtonSet::kOk, 0, 50},  // the most negative int
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        const BoxStyle s = ParseStyle(c.style);
        EXPECT_EQ(s.modal, c.modal);
        EXPECT_EQ(s.buttons, c.buttons);
        EXPECT_EQ(s.iconKind, c.icon);
        EXPECT_EQ(s.indent, c.indent);
    }
}

TEST(MsgBoxButtons, SetsCaptionsPositionsDefaultAndFocus) {
    auto row = [](ButtonSet set) {
        std::string s;
        for (const Button& b : Buttons(set)) {
            s += std::to_string(b.id) + ":" + std::string(b.caption) + "@" + std::to_string(b.x) +
                 "/" + std::to_string(b.width) + " ";
        }
        return s;
    };
    EXPECT_EQ(row(ButtonSet::kYesNoCancel), "9991:&Yes@10/60 9992:&No@75/60 9993:Cancel@140/60 ");
    EXPECT_EQ(row(ButtonSet::kYesNo), "9991:&Yes@10/60 9992:&No@75/60 ");
    EXPECT_EQ(row(ButtonSet::kOkCancel), "9991:&Ok@10/60 9993:&Cancel@75/60 ");
    EXPECT_EQ(row(ButtonSet::kOk), "9994:&Ok@30/80 ");

    EXPECT_EQ(DefaultButton(ButtonSet::kOk), kOkId);
    for (ButtonSet set : {ButtonSet::kYesNoCancel, ButtonSet::kYesNo, ButtonSet::kOkCancel}) {
        EXPECT_EQ(DefaultButton(set), kYesId);
    }
    EXPECT_EQ(FocusButton(ButtonSet::kYesNoCancel), kYesId);
    EXPECT_EQ(FocusButton(ButtonSet::kYesNo), 0);
    EXPECT_EQ(FocusButton(ButtonSet::kOk), 0);
}

TEST(MsgBoxResult, EveryCommandInEverySet) {
    // Columns: 9991, 9992, 9993, 9994, IDOK (Enter without default), IDCANCEL (Escape).
    struct Case {
        ButtonSet set;
        int results[6];
    };
    const Case cases[] = {
        {ButtonSet::kYesNoCancel, {6, 7, 2, 1, 6, 2}},
        {ButtonSet::kOkCancel, {6, 7, 2, 1, 6, 2}},  // its "&Ok" is 9991: 6, like "&Yes"
        {ButtonSet::kYesNo, {6, 7, 2, 1, 6, 7}},
        {ButtonSet::kOk, {6, 7, 2, 1, 6, 7}},
    };
    const int commands[6] = {kYesId, kNoId, kCancelId, kOkId, kCommandOk, kCommandCancel};
    for (const Case& c : cases) {
        for (int i = 0; i < 6; ++i) {
            SCOPED_TRACE(commands[i]);
            EXPECT_EQ(CommandResult(c.set, commands[i]), c.results[i]);
        }
    }
    EXPECT_EQ(CommandResult(ButtonSet::kOk, kTextId), std::nullopt);
    EXPECT_EQ(CommandResult(ButtonSet::kOk, 0), std::nullopt);
}

TEST(MsgBoxLines, SplitAtLineBreaks) {
    using V = std::vector<std::string_view>;
    EXPECT_EQ(SplitLines(""), V{""});
    EXPECT_EQ(SplitLines("one"), V{"one"});
    EXPECT_EQ(SplitLines("File has changed...\r\nDo you want"),
              (V{"File has changed...", "Do you want"}));
    EXPECT_EQ(SplitLines("a\nb\r\n"), (V{"a", "b", ""}));
    EXPECT_EQ(SplitLines("\r\n\r\n"), (V{"", "", ""}));
}

TEST(MsgBoxLayout, SizeFromLinesTitleAndIndent) {
    const Placement none{std::nullopt, {0, 0, 1000, 700}, 0, 0};
    struct Case {
        const char* what;
        std::string text, title;
        int style;
        int lines, widest, labelHeight, width, height;
    };
    const std::string wide(60, 'w');  // 360 pixels
    const Case cases[] = {
        // Short text, short title: the minimum box.
        {"minimum", "Hi", "T", 4, 1, 12, 15, 220, 120},
        // A one-line text narrower than the title: as wide as the title + indent + 25.
        {"title wider", "x", std::string(40, 't'), 4, 1, 240, 15, 10 + 240 + 25, 120},
        {"title wider, icon", "x", std::string(40, 't'), 20, 1, 240, 15, 50 + 240 + 25, 120},
        // Five lines: label 75 high, box max(120, 5 * 13 + 100).
        {"five lines", "a\r\nb\r\nc\r\nd\r\ne", "T", 4, 5, 6, 75, 220, 165},
        // No title: the lines' own height still makes room for them above the buttons.
        {"five lines, empty title", "a\r\nb\r\nc\r\nd\r\ne", "", 4, 5, 6, 75, 220, 165},
        // A long line sets the width; the indent moves with the icon.
        {"long, no icon", wide, "T", 4, 1, 360, 15, 10 + 360 + 25, 120},
        {"long, icon", wide, "T", 20, 1, 360, 15, 50 + 360 + 25, 120},
        {"widest of several", "ab\r\n" + wide + "\r\nc", "T", -64, 3, 360, 45, 435, 139},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const BoxStyle style = ParseStyle(c.style);
        const Layout l = LayoutBox(c.text, c.title, style, Fixed, none);
        EXPECT_EQ(l.lines, c.lines);
        EXPECT_EQ(l.widestLine, c.widest);
        EXPECT_EQ(l.lineHeight, 13);
        EXPECT_EQ(l.text, (Rect{style.indent, 5, style.indent + c.widest, 5 + c.labelHeight}));
        EXPECT_EQ(l.box.Width(), c.width);
        EXPECT_EQ(l.box.Height(), c.height);
        EXPECT_EQ(l.buttonTop, c.height - 70);
    }
}

TEST(MsgBoxLayout, Placement) {
    const Rect owner{100, 50, 501, 351};  // 401 x 301
    const Rect work{0, 0, 1024, 738};
    struct Case {
        const char* what;
        std::optional<Rect> owner;
        int x, y;
        int left, top;
    };
    const Case cases[] = {
        {"offsets from the owner", owner, 100, 100, 200, 150},
        {"one offset is enough", owner, 0, 30, 100, 80},
        {"negative offsets count as 0", owner, -40, 20, 100, 70},
        {"centred on the owner, halves rounded", owner, 0, 0, 100 + 91, 50 + 91},  // 181/2, 181/2
        {"centred in the work area", std::nullopt, 0, 0, 402, 309},
        {"offsets without an owner", std::nullopt, 100, 100, 100, 100},
        {"far offsets: the owner's corner", owner, 1000001, 5, 100, 50},
        {"a million is still an offset", owner, 1000000, 0, 1000100, 50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Layout l =
            LayoutBox("Hi", "T", ParseStyle(-64), Fixed, Placement{c.owner, work, c.x, c.y});
        EXPECT_EQ(l.box, (Rect{c.left, c.top, c.left + 220, c.top + 120}));
    }
}

}  // namespace
}  // namespace tessaly::editor::msgbox
