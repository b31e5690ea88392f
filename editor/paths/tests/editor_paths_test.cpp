// The editor's start-up rules: argument splitting and the data-file precedence.
#include "editor/paths/editor_paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

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

TEST(FirstLine, StopsAtEitherLineBreak) {
    EXPECT_EQ(FirstLine("C:\\data\\x.tsy\r\nsecond"), "C:\\data\\x.tsy");
    EXPECT_EQ(FirstLine("C:\\data\\x.tsy\nsecond"), "C:\\data\\x.tsy");
    EXPECT_EQ(FirstLine("no break"), "no break");
    EXPECT_EQ(FirstLine(""), "");
}

TEST(FolderPart, CutsAtTheLastSeparator) {
    EXPECT_EQ(FolderPart(L"C:\\a\\b\\Tessaly.tsy"), L"C:\\a\\b");
    EXPECT_EQ(FolderPart(L"\\Quorvane\\Tessaly\\Tessaly.tsy"), L"\\Quorvane\\Tessaly");
    EXPECT_EQ(FolderPart(L"Tessaly.tsy"), L"");
}

TEST(ChooseDataFilePath, FirstMatchWinsAndMissingFilesFallBackToTheDefault) {
    const std::set<std::wstring> files = {L"C:\\arg.tsy", L"C:\\ini.tsy"};
    const auto exists = [&](const std::wstring& p) { return files.count(p) > 0; };
    const auto fromAnsi = [](std::string_view s) { return std::wstring(s.begin(), s.end()); };
    const std::wstring def = L"C:\\Docs\\Quorvane\\Tessaly\\Tessaly.tsy";
    struct Case {
        std::wstring_view arg;
        std::optional<std::string> settings;
        std::wstring expected;
    };
    const Case cases[] = {
        {L"C:\\arg.tsy", "C:\\ini.tsy", L"C:\\arg.tsy"},  // the command line wins
        {L"C:\\gone.tsy", "C:\\ini.tsy", def},            // never falls back to the settings
        {L"", "C:\\ini.tsy", L"C:\\ini.tsy"},
        {L"", "C:\\gone.tsy", def},
        {L"", "", def},
        {L"", std::nullopt, def},
        {L"C:\\arg.tsy", std::nullopt, L"C:\\arg.tsy"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(
            ChooseDataFilePath(c.arg, c.settings, L"C:\\Docs\\Quorvane\\Tessaly", fromAnsi, exists),
            c.expected);
    }
}

// A settings file the user made read-only (or one on a read-only share) still names the data
// file; a missing one, or a folder in its place, names nothing.
TEST(ReadSettingsFirstLine, ReadsReadOnlyFilesAndOnlyTheFirstLine) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "tessaly-editor-paths-settings";
    fs::remove_all(dir);
    fs::create_directories(dir / "folder.ini");
    const fs::path ini = dir / "Tessaly.ini";
    std::ofstream(ini, std::ios::binary) << "D:\\Data\\Tessaly.tsy\r\nsecond line";
    fs::permissions(ini, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_EQ(ReadSettingsFirstLine(ini), std::optional<std::string>("D:\\Data\\Tessaly.tsy"));
    EXPECT_EQ(ReadSettingsFirstLine(dir / "missing.ini"), std::nullopt);
    EXPECT_EQ(ReadSettingsFirstLine(dir / "folder.ini"), std::nullopt);
    fs::permissions(ini, fs::perms::owner_write, fs::perm_options::add);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace tessaly::editor
