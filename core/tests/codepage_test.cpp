#include <gtest/gtest.h>

#include "core/codepage.h"
#include "core/typed_number.h"

namespace tessaly {
namespace {

TEST(CodepageTest, EveryByteRoundTripsThroughUtf8) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
    EXPECT_EQ(Cp1252ToUtf8("\x80 caf\xe9"), "\u20ac caf\u00e9");
    EXPECT_EQ(Cp1252ToUtf8("\x81"), "\u0081");  // unassigned: the C1 control of that number
}

TEST(CodepageTest, UnrepresentableAndMalformedBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToCp1252("a\u4e2db"), "a?b");
    EXPECT_EQ(Utf8ToCp1252("\xf0\x9f\x8e\x82!"), "?!");  // a character beyond the page
    EXPECT_EQ(Utf8ToCp1252("\xc3"), "?");                // cut-off sequence
    EXPECT_EQ(Utf8ToCp1252("\xff\xfex"), "??x");
}

TEST(TypedNumberTest, LeadingNumberRule) {
    struct Case {
        const char* text;
        std::int64_t max;
        std::int64_t value;
    } cases[] = {{"12", 255, 12},
                 {"  7 days", 255, 7},
                 {"-5", 255, 0},
                 {"abc", 255, 0},
                 {"", 255, 0},
                 {"300", 255, 255},
                 {"99999999999999999999", 32767, 32767},
                 {"1e3", 1000, 1},
                 {"\t4", 255, 4}};
    for (const Case& c : cases) EXPECT_EQ(ReadLeadingNumber(c.text, c.max), c.value) << c.text;
}

TEST(TypedNumberTest, HundredthsRoundToNearest) {
    struct Case {
        const char* text;
        std::int64_t value;
    } cases[] = {{"9.30", 930}, {"9.3", 930},   {"12.59", 1259}, {"9", 900},     {"9.", 900},
                 {".5", 50},    {"1.005", 101}, {"1.004", 100},  {" 2.5x", 250}, {"x", 0}};
    for (const Case& c : cases) EXPECT_EQ(ReadLeadingHundredths(c.text), c.value) << c.text;
}

// Blanks are what a typed field may be padded with; spaces alone pad a stored description and
// a help line, whose TAB is a column stop that must stay.
TEST(TypedNumberTest, BlanksAndSpacesAreTrimmedApart) {
    struct Case {
        const char* text;
        const char* blanks;
        const char* spaces;
    } cases[] = {
        {"  Carl  ", "Carl", "Carl"},
        {"\tCarl\t", "Carl", "\tCarl\t"},
        {" \t ", "", "\t"},
        {"   ", "", ""},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TrimBlanks(c.text), c.blanks) << c.text;
        EXPECT_EQ(TrimSpaces(c.text), c.spaces) << c.text;
    }
}

}  // namespace
}  // namespace tessaly
