// The help compiler: the source format, the round trip through the file, and its errors.
#include "tools/helpc/help_source.h"

#include <gtest/gtest.h>

namespace tessaly::helpc {
namespace {

CompileResult Compile(std::string_view source) {
    CompileResult r;
    CompileHelpSource(source, "help.txt", r);
    CheckHelpTopics(r);
    return r;
}

TEST(HelpSourceTest, RoundTripThroughTheFile) {
    const CompileResult r = Compile(
        "= Getting started\r\n"
        "\n"
        "Tessaly keeps your\n"
        "reminders.\n"
        "\n"
        "Second paragraph.\n"
        "1.5 is joined\n"
        "- an item that goes\n"
        "  on here\n"
        "- caf\xC3\xA9 \xE2\x80\x94 \xE2\x82\xAC\n"
        "12. numbered\n"
        "Ctrl+F\tFind text\n"
        "\tindented\n"
        "\\= not a title\n"
        "\n"
        "== Sub topic\n"
        "Body.\n"
        "=\tMain again  \n");
    ASSERT_TRUE(r.errors.empty()) << r.errors.front();
    const std::vector<help::HelpTopic> expected = {
        {"Tessaly keeps your reminders.\r\n"
         "\r\n"
         "Second paragraph. 1.5 is joined\r\n"
         "- an item that goes on here\r\n"
         "- caf\xE9 \x97 \x80\r\n"
         "12. numbered\r\n"
         "Ctrl+F\tFind text\r\n"
         "\tindented\r\n"
         "= not a title",
         "Getting started", 0},
        {"Body.", "Sub topic", 1},
        {"", "Main again", 0},
    };
    const help::HelpFile file = help::ReadHelpFile(help::WriteHelpFile(r.topics));
    ASSERT_EQ(file.topics.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(file.topics[i].text, expected[i].text) << i;
        EXPECT_EQ(file.topics[i].title, expected[i].title) << i;
        EXPECT_EQ(file.topics[i].level, expected[i].level) << i;
    }
}

TEST(HelpSourceTest, SeveralSourcesAppendInOrder) {
    CompileResult r;
    CompileHelpSource("= One\na\n", "1.txt", r);
    CompileHelpSource("== Two\nb\n", "2.txt", r);
    ASSERT_EQ(r.topics.size(), 2u);
    EXPECT_EQ(r.topics[1].title, "Two");
    EXPECT_EQ(r.topics[1].level, 1);
}

// A source saved with CR line ends once compiled to one topic whose title held the whole file.
TEST(HelpSourceTest, EveryKindOfLineEndGivesTheSameTopics) {
    const std::string lines[] = {"= One", "a paragraph", "joined", "", "- item", "== Two", "b"};
    std::vector<CompileResult> results;
    for (const char* end : {"\n", "\r\n", "\r"}) {
        std::string source;
        for (const std::string& line : lines) source += line + end;
        results.push_back(Compile(source));
        ASSERT_TRUE(results.back().errors.empty()) << results.back().errors.front();
        ASSERT_EQ(results.back().topics.size(), 2u);
        EXPECT_EQ(results.back().topics[0].title, "One");
        EXPECT_EQ(results.back().topics[0].text, "a paragraph joined\r\n\r\n- item");
        EXPECT_EQ(results.back().topics[1].title, "Two");
    }
    // Line numbers count each kind of end once.
    const CompileResult r = Compile("= A\r\nx\r- one\rtwo\n");
    ASSERT_FALSE(r.errors.empty());
    EXPECT_NE(r.errors.front().find("help.txt:4:"), std::string::npos) << r.errors.front();
}

TEST(HelpSourceTest, ErrorsNameTheFileLineAndCause) {
    struct Case {
        std::string source;
        std::string error;  // a part of the first message
    } const cases[] = {
        {"= Arrows\nLeft \xE2\x86\x90 right\n", "help.txt:1: topic \"Arrows\": the character"},
        {"= Arrows\nLeft \xE2\x86\x90 right\n", "(U+2190) has no place in Windows-1252"},
        {"= Emoji \xF0\x9F\x98\x80\n", "U+1F600"},
        {"= Bad\nbyte \xFF here\n", "help.txt:1: topic \"Bad\": not valid UTF-8"},
        {"= Bad\ncut \xC3", "not valid UTF-8"},
        {"Stray text\n= Title\n", "help.txt:1: text before the first topic title"},
        {"= One\n==\n", "help.txt:2: a topic needs a title"},
        {"", "no topics"},
        {"= Long\n" + std::string(65536, 'a') + "\n", "its text is 65536 bytes"},
        {"= " + std::string(65536, 't') + "\n", "its title is 65536 bytes"},
        // A list item's second line without its indent would print as a paragraph of its own.
        {"= Steps\n\n1. Start Tessaly from the\nshortcut.\n",
         "help.txt:4: this line continues the list item above: indent it by two spaces"},
        {"= Steps\n- one\n  two\nthree\n", "help.txt:4: this line continues the list item"},
    };
    for (const Case& c : cases) {
        const CompileResult r = Compile(c.source);
        ASSERT_FALSE(r.errors.empty()) << c.error;
        EXPECT_NE(r.errors.front().find(c.error), std::string::npos) << r.errors.front();
    }
    // Exactly the limit is fine; so are a list's next item, a table row after an item, and a
    // paragraph after a blank line.
    EXPECT_TRUE(Compile("= Long\n" + std::string(65535, 'a') + "\n").errors.empty());
    EXPECT_TRUE(
        Compile("= List\n1. a\n2. b\n- c\nx\ty\nrow after row\n\nparagraph\n").errors.empty());
}

}  // namespace
}  // namespace tessaly::helpc
