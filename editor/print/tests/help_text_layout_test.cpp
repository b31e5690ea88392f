// How a help topic falls into printed lines and pages, measured in characters.
#include "editor/print/help_text_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/tests/fixed_pitch.h"

namespace tessaly::print {
namespace {

using Lines = std::vector<std::string>;

// One unit per character.
testing::FixedPitch Characters() {
    return testing::FixedPitch(1);
}

// All lines of all pages, for the cases where pages do not matter.
Lines LinesOf(std::string_view text, int width) {
    Lines all;
    for (const Lines& page : LayoutHelpText(text, width, 1000, Characters())) {
        all.insert(all.end(), page.begin(), page.end());
    }
    return all;
}

TEST(ExpandTabs, EachTabReachesTheNextMultipleOfEight) {
    struct Case {
        const char* line;
        const char* expected;
    } cases[] = {
        {"abc\tx", "abc     x"},               // 5 spaces: x in column 8
        {"abcdefgh\tx", "abcdefgh        x"},  // 8 spaces after exactly 8: x in column 16
        {"\tx", "        x"},
        {"a\tbcdefghijk\tx", "a       bcdefghijk      x"},  // the second TAB: column 24
        {"no tabs", "no tabs"},
        {"end\t", "end     "},
    };
    for (const Case& c : cases) EXPECT_EQ(ExpandTabs(c.line), c.expected) << c.line;
}

TEST(LayoutHelpText, LinesEndAtCrLf) {
    struct Case {
        const char* text;
        Lines expected;
    } cases[] = {
        {"abc\r\nd", {"abc", "d"}},  // a last line of one character is printed
        {"abc\r\n", {"abc"}},        // a final CR LF adds no line
        {"abc\r\n\r\nd", {"abc", "", "d"}},
        {"\r\n", {""}},
        {"a\nb", {"a\nb"}},  // a bare LF does not end a line
        {"", {}},
        {"ab\tc\r\nd", {"ab      c", "d"}},
    };
    for (const Case& c : cases) EXPECT_EQ(LinesOf(c.text, 20), c.expected) << c.text;
}

TEST(LayoutHelpText, WideLinesBreakAfterTheLastWordBreakOrBeforeAnOpeningBracket) {
    struct Case {
        const char* text;
        int width;
        Lines expected;
    } cases[] = {
        // Fits exactly: not broken.
        {"aaaa bbbb", 9, {"aaaa bbbb"}},
        // After the last space of the fitting part; the space is not printed.
        {"aaa bbb ccc ddd eee", 10, {"aaa bbb", "ccc ddd", "eee"}},
        // The fitting part "abcdefghijk (lmn" ends in a word, a space, "(" and letters: the
        // bracket starts the next line and the space before it is dropped.
        {"abcdefghijk (lmnopqrstuvw", 16, {"abcdefghijk", "(lmnopqrstuvw"}},
        {"xx [yy] {zz} <ww>", 10, {"xx [yy]", "{zz} <ww>"}},
        // Other break characters stay at the end of their line.
        {"well-known-fact-about", 12, {"well-known-", "fact-about"}},
        {"a=b;c,d:e.f~g/h|i\\j)k]l}m>n",
         4,
         {"a=b;", "c,d:", "e.f~", "g/h|", "i\\j)", "k]l}", "m>n"}},
        // A TAB counts as the spaces it becomes.
        {"ab\tcd ef", 10, {"ab", "cd ef"}},
    };
    for (const Case& c : cases) EXPECT_EQ(LinesOf(c.text, c.width), c.expected) << c.text;
}

TEST(LayoutHelpText, AWordWiderThanTheLineBreaksAtTheFittingLengthAndLosesNothing) {
    struct Case {
        const char* text;
        int width;
        Lines expected;
    } cases[] = {
        {"0123456789012345678901234", 10, {"0123456789", "0123456789", "01234"}},
        {"see 0123456789012345", 10, {"see", "0123456789", "012345"}},
        // A bracket first in the fitting part gives no earlier place to cut; this must not
        // print empty lines for ever.
        {"(abcdefghijklmno", 10, {"(abcdefghi", "jklmno"}},
        {"x (abcdefghijklmno", 10, {"x", "(abcdefghi", "jklmno"}},
    };
    for (const Case& c : cases) EXPECT_EQ(LinesOf(c.text, c.width), c.expected) << c.text;
}

TEST(LayoutHelpText, EveryWordOfALongTextIsPrintedInOrderAtAnyWidth) {
    const std::string text =
        "Reminders\tare kept in date order (oldest first); each one has a kind, a "
        "description [up to 48 characters] and {optionally} a time.\r\n\r\n"
        "A-very-long-hyphenated-word-that-goes-on-and-on and "
        "https://example.invalid/path/to/a/page?x=1 and 12345678901234567890123456789\r\n"
        "<angle> brackets, ~tildes~, back\\slashes and pipes|too.";
    auto squeezed = [](std::string_view s) {
        std::string out;
        for (char c : s) {
            if (c != ' ' && c != '\t' && c != '\r' && c != '\n') out += c;
        }
        return out;
    };
    for (int width = 1; width <= 40; ++width) {
        std::string joined;
        for (const std::string& line : LinesOf(text, width)) {
            EXPECT_LE(line.size(), static_cast<std::size_t>(width)) << line;
            joined += line;
        }
        EXPECT_EQ(squeezed(joined), squeezed(text)) << "width " << width;
    }
}

TEST(LayoutHelpText, APageHoldsLinesUntilItsCounterPassesTheCapacity) {
    auto pageSizes = [](int lines, int capacity) {
        std::string text;
        for (int i = 1; i <= lines; ++i) text += "line " + std::to_string(i) + "\r\n";
        std::vector<std::size_t> sizes;
        for (const Lines& page : LayoutHelpText(text, 80, capacity, Characters())) {
            sizes.push_back(page.size());
        }
        return sizes;
    };
    using Sizes = std::vector<std::size_t>;
    // The counter starts at 4 and a page is full once it passes the capacity: 7 - 3 lines.
    EXPECT_EQ(pageSizes(3, 7), Sizes({3}));
    // Exactly full: no page is begun for nothing.
    EXPECT_EQ(pageSizes(4, 7), Sizes({4}));
    EXPECT_EQ(pageSizes(5, 7), Sizes({4, 1}));
    EXPECT_EQ(pageSizes(9, 7), Sizes({4, 4, 1}));
    // A sheet too small for its header still takes one line a page.
    EXPECT_EQ(pageSizes(2, 3), Sizes({1, 1}));

    // The lines of a broken line count one each.
    auto pages = LayoutHelpText("aaa bbb ccc ddd eee fff", 8, 6, Characters());
    EXPECT_EQ(pages, std::vector<Lines>({{"aaa bbb", "ccc ddd", "eee fff"}}));
    pages = LayoutHelpText("aaa bbb ccc ddd eee fff", 8, 5, Characters());
    EXPECT_EQ(pages, std::vector<Lines>({{"aaa bbb", "ccc ddd"}, {"eee fff"}}));
}

}  // namespace
}  // namespace tessaly::print
