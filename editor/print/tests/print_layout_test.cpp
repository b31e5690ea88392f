// The print object's arithmetic on the test printer's metrics, with a fixed-pitch font.
#include "editor/print/print_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/tests/fixed_pitch.h"

namespace tessaly::print {
namespace {

// Letter at 300 dpi, printable area inset a quarter inch at the left, right and top and half an
// inch at the bottom: the test prefix's printers.
constexpr DeviceMetrics kLetter{300, 300, 2550, 3300, 75, 75, 2400, 3075};
constexpr Margins kMargins{0.75, 0.75, 0.25, 0.5};
constexpr double kLineHeight = 0.14;  // 42 pixels

// Every character 30 pixels (0.1 inch) wide.
const testing::FixedPitch kTenthOfAnInch(30);

TEST(FitText, LeadingOrTrailingPartWithinTheWidthInWholePixels) {
    const TextMeasure& measure = kTenthOfAnInch;
    struct Case {
        double inches;
        const char* expected;
    } cases[] = {
        {0, ""},
        {0.35, "abc"},        // 105 pixels
        {-0.35, "hij"},       // from the other end
        {0.2999, "abc"},      // 89.97 pixels round to 90, which holds three characters
        {0.01, ""},           // less than one character
        {2.0, "abcdefghij"},  // wider than the text
        {-2.0, "abcdefghij"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FitText(measure, 300, "abcdefghij", c.inches), c.expected) << c.inches;
    }
}

TEST(LinesLeft, FromTheLowestOfPositionTopMarginAndPrintableArea) {
    struct Case {
        Margins margins;
        double lineHeight, y;
        int expected;
    } cases[] = {
        {kMargins, kLineHeight, 0, 73},                  // (11 - 0.5 - 0.25) / 0.14 = 73.2
        {{0.75, 0.75, 1.0, 0.5}, kLineHeight, 0.1, 67},  // y above the top margin counts from it
        {kMargins, kLineHeight, 5.0, 39},                // (11 - 0.5 - 5) / 0.14 = 39.3
        {{0, 0, 0, 0}, kLineHeight, 0, 73},              // the printable area's borders stand in
        {{0, 0, 0, 2.0}, kLineHeight, 0, 62},            // a bottom margin above the printable area
        {{0, 0, 0.3, 0.5}, 0.1, 0, 102},   // a whole number of lines, though 10.2 / 0.1
        {{0, 0, 0.3, 0.5}, 0.2, 0, 51},    // comes out a hair short in binary fractions
        {kMargins, kLineHeight, 10.6, 0},  // below the bottom margin: none, never fewer
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LinesLeft(kLetter, c.margins, c.lineHeight, c.y), c.expected)
            << "y " << c.y << ", top " << c.margins.top << ", line " << c.lineHeight;
    }
}

// One PlaceLine call and what it should produce.
struct Step {
    std::string text;
    double x, y;
    bool draw;
    int px, py;
    std::string printed;
    double yAfter;
};

void RunSteps(const std::vector<Step>& steps, const Margins& margins = kMargins) {
    const TextMeasure& measure = kTenthOfAnInch;
    Position position;
    for (size_t i = 0; i < steps.size(); ++i) {
        const Step& step = steps[i];
        SCOPED_TRACE("step " + std::to_string(i) + ": \"" + step.text + "\"");
        PlacedLine line =
            PlaceLine(kLetter, margins, kLineHeight, measure, position, step.text, step.x, step.y);
        EXPECT_EQ(line.draw, step.draw);
        EXPECT_EQ(line.px, step.px);
        EXPECT_EQ(line.py, step.py);
        EXPECT_EQ(line.text, step.printed);
        EXPECT_DOUBLE_EQ(position.y, step.yAfter);
    }
}

TEST(PlaceLine, LinesWithYZeroFollowOneLineHeightApartAtTheKeptX) {
    RunSteps({
        {"first", 1.0, 1.0, true, 225, 225, "first", 1.0},
        {"second", 0, 0, true, 225, 267, "second", 1.14},  // x 0 keeps 1 inch
        {"third", 0, 0, true, 225, 309, "third", 1.28},
        {"moved", 2.0, 0, true, 525, 351, "moved", 1.42},
    });
}

TEST(PlaceLine, TextLeftOfTheLeftMarginLosesItsLeadingCharactersAndStartsAtTheMargin) {
    RunSteps({
        // 1.0 inch of text from 0.5 inch: the last 0.75 inch (7 characters) are left.
        {"abcdefghij", 0.5, 1.0, true, 150, 225, "defghij", 1.0},
        // Wholly left of the margin: nothing of it is printed.
        {"abc", 0.2, 0, true, 150, 267, "", 1.14},
    });
}

TEST(PlaceLine, TextPastTheRightMarginIsCutAtTheLastWholeCharacter) {
    // The right limit is 2550 - 75 - 225 = 2250 pixels; from 1725 there are 525, 17.5 characters.
    RunSteps({
        {std::string(30, 'x'), 6.0, 1.0, true, 1725, 225, std::string(17, 'x'), 1.0},
        // Exactly up to the limit: kept whole.
        {std::string(5, 'y'), 7.25, 0, true, 2100, 267, std::string(5, 'y'), 1.14},
        // Starting past the limit: nothing.
        {"z", 7.9, 0, true, 2295, 309, "", 1.28},
    });
}

TEST(PlaceLine, ALineBelowTheBottomMarginOrAboveTheTopIsNotPrintedButYAdvances) {
    // The bottom limit is 3300 - 75 - 150 = 3075; a line of 42 pixels may start at 3033.
    RunSteps({
        {"last", 1.0, 10.36, true, 225, 3033, "last", 10.36},
        {"below", 0, 0, false, 225, 3075, "below", 10.5},
        {"further", 0, 0, false, 225, 3117, "further", 10.64},
        {"above", 1.0, 0.2, false, 225, 0, "above", 0.2},  // above the top margin (and the area)
        {"top", 0, 0.25, true, 225, 0, "top", 0.25},
    });
}

}  // namespace
}  // namespace tessaly::print
