// The editor's command line and the folder part of its data file's path.
#include "editor/paths/editor_paths.h"

#include <gtest/gtest.h>

namespace tessaly::editor {
namespace {

TEST(SplitArguments, BlanksSeparateAndQuotesKeepBlanks) {
    struct Case {
        std::wstring_view line;
        std::vector<std::wstring> args;
    };
    const Case cases[] = {
        {L"", {}},
        {L"   ", {}},
        {L"a.tsy", {L"a.tsy"}},
        {L"  a.tsy   b  ", {L"a.tsy", L"b"}},
        {L"\"C:\\My Files\\a.tsy\" second", {L"C:\\My Files\\a.tsy", L"second"}},
        {L"x\"y z\"w", {L"xy zw"}},
        {L"\"\" b", {L"", L"b"}},
        {L"\"unclosed quote here", {L"unclosed quote here"}},
    };
    for (const auto& c : cases) EXPECT_EQ(SplitArguments(c.line), c.args);
    EXPECT_EQ(FirstArgument(L"  \"D:\\a b\\c.tsy\"  x"), L"D:\\a b\\c.tsy");
    EXPECT_EQ(FirstArgument(L""), L"");
}

TEST(FolderPart, CutsAtTheLastSeparator) {
    EXPECT_EQ(FolderPart(L"C:\\a\\b\\Tessaly.tsy"), L"C:\\a\\b");
    EXPECT_EQ(FolderPart(L"\\Quorvane\\Tessaly\\Tessaly.tsy"), L"\\Quorvane\\Tessaly");
    EXPECT_EQ(FolderPart(L"Tessaly.tsy"), L"");
}

}  // namespace
}  // namespace tessaly::editor
