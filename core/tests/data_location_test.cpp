// Where the editor and the notifier find the data file, and the settings file's lines.
#include "core/data_location.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <vector>

namespace tessaly {
namespace {

namespace fs = std::filesystem;

// One rule for both programs: the editor passes its command line and its documents default, the
// notifier no command line and its own default; a settings line naming an existing file wins
// over either default, and nothing else does.
TEST(ChooseDataFile, OneRuleForTheEditorAndTheNotifier) {
    const std::set<std::wstring> files = {L"C:\\arg.tsy", L"E:\\Moved\\Tessaly.tsy"};
    const auto exists = [&](const std::wstring& p) { return files.count(p) > 0; };
    const auto fromAnsi = [](std::string_view s) { return std::wstring(s.begin(), s.end()); };
    const std::wstring editorDefault = L"C:\\Docs\\Quorvane\\Tessaly\\Tessaly.tsy";
    const std::wstring notifierDefault = L"C:\\Program Files\\Tessaly\\Tessaly.tsy";
    struct Case {
        const char* what;
        std::wstring_view arg;
        std::optional<std::string> settings;
        std::wstring_view defaultFile;
        std::wstring_view expected;
    };
    const Case cases[] = {
        {"editor: the command line wins", L"C:\\arg.tsy", "E:\\Moved\\Tessaly.tsy", editorDefault,
         L"C:\\arg.tsy"},
        {"editor: a missing argument never falls back to the settings", L"C:\\gone.tsy",
         "E:\\Moved\\Tessaly.tsy", editorDefault, editorDefault},
        {"editor: the moved file", L"", "E:\\Moved\\Tessaly.tsy", editorDefault,
         L"E:\\Moved\\Tessaly.tsy"},
        {"editor: a moved file that is gone (drive unplugged)", L"", "E:\\Gone\\Tessaly.tsy",
         editorDefault, editorDefault},
        {"editor: an empty settings line", L"", "", editorDefault, editorDefault},
        {"editor: no settings file", L"", std::nullopt, editorDefault, editorDefault},
        {"editor: argument without settings", L"C:\\arg.tsy", std::nullopt, editorDefault,
         L"C:\\arg.tsy"},
        {"notifier: follows the moved file", L"", "E:\\Moved\\Tessaly.tsy", notifierDefault,
         L"E:\\Moved\\Tessaly.tsy"},
        {"notifier: a moved file that is gone", L"", "E:\\Gone\\Tessaly.tsy", notifierDefault,
         notifierDefault},
        {"notifier: no settings file", L"", std::nullopt, notifierDefault, notifierDefault},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ChooseDataFile({c.arg, c.settings, c.defaultFile}, fromAnsi, exists), c.expected);
    }
}

TEST(NotifierDefaultDataFile, DocumentsFolderWhenItExistsElseProgramFolder) {
    const std::wstring program = L"C:\\Program Files\\Tessaly\\TessalyStartup.exe";
    std::set<std::wstring> folders = {L"C:\\Users\\ann\\Documents\\Quorvane\\Tessaly\\",
                                      L"D:\\Quorvane\\Tessaly\\"};
    std::vector<std::wstring> asked;
    auto exists = [&](const std::wstring& f) {
        asked.push_back(f);
        return folders.count(f) > 0;
    };
    EXPECT_EQ(NotifierDefaultDataFile(L"C:\\Users\\ann\\Documents", program, exists),
              L"C:\\Users\\ann\\Documents\\Quorvane\\Tessaly\\Tessaly.tsy");
    EXPECT_EQ(NotifierDefaultDataFile(L"D:\\", program, exists),
              L"D:\\Quorvane\\Tessaly\\Tessaly.tsy");
    EXPECT_EQ(NotifierDefaultDataFile(L"C:\\Users\\bob\\Documents", program, exists),
              L"C:\\Program Files\\Tessaly\\Tessaly.tsy");

    asked.clear();
    EXPECT_EQ(NotifierDefaultDataFile(L"", program, exists),
              L"C:\\Program Files\\Tessaly\\Tessaly.tsy");
    EXPECT_TRUE(asked.empty()) << "no documents folder: nothing at the drive root is tried";
}

// The first line is the data file; lines after it are other settings, kept by a rewrite.
TEST(SettingsFile, FirstLineIsTheDataFileAndLaterLinesStay) {
    EXPECT_EQ(FirstLine("C:\\data\\x.tsy\r\nAlertMinutes=10"), "C:\\data\\x.tsy");
    EXPECT_EQ(FirstLine("C:\\data\\x.tsy\nsecond"), "C:\\data\\x.tsy");
    EXPECT_EQ(FirstLine("no break"), "no break");
    EXPECT_EQ(FirstLine(""), "");

    struct Case {
        std::string_view old, expected;
    };
    const Case cases[] = {
        {"", "D:\\New\\Tessaly.tsy\r\n"},
        {"C:\\Old\\Tessaly.tsy", "D:\\New\\Tessaly.tsy\r\n"},
        {"C:\\Old\\Tessaly.tsy\r\n", "D:\\New\\Tessaly.tsy\r\n"},
        {"C:\\Old\\Tessaly.tsy\r\nAlertMinutes=10\r\nLater=x",
         "D:\\New\\Tessaly.tsy\r\nAlertMinutes=10\r\nLater=x"},
        {"C:\\Old\\Tessaly.tsy\nAlertMinutes=10\n", "D:\\New\\Tessaly.tsy\r\nAlertMinutes=10\n"},
        {"C:\\Old\\Tessaly.tsy\r\r\nthird", "D:\\New\\Tessaly.tsy\r\n\r\nthird"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SettingsWithFirstLine(c.old, "D:\\New\\Tessaly.tsy"), c.expected) << c.old;
    }
    EXPECT_EQ(SettingsFilePath(L"C:\\ProgramData"),
              L"C:\\ProgramData\\Quorvane\\Tessaly\\Tessaly.ini");
}

// What the settings box accepts as the lead is what the file's line means; anything else in the
// file counts as no line at all, so a damaged value never silently turns alerts off.
TEST(AlertMinutes, TypedValuesAndTheSettingsLine) {
    struct Typed {
        std::string_view text;
        std::optional<int> minutes;
    };
    const Typed typed[] = {
        {"0", 0},    {"15", 15},  {" 120 ", 120}, {"\t30", 30}, {"007", 7},
        {"121", {}}, {"-5", {}},  {"+5", {}},     {"abc", {}},  {"", {}},
        {"  ", {}},  {"1.5", {}}, {"15 min", {}}, {"1 5", {}},  {"99999999999999999999999", {}},
    };
    for (const Typed& t : typed) EXPECT_EQ(ParseAlertMinutes(t.text), t.minutes) << t.text;

    struct Setting {
        std::optional<std::string> text;
        int minutes;
    };
    const Setting settings[] = {
        {std::nullopt, 15},
        {"C:\\d.tsy", 15},
        {"C:\\d.tsy\r\nAlertMinutes=30\r\n", 30},
        {"C:\\d.tsy\r\n  alertminutes = 0 \r\n", 0},
        {"C:\\d.tsy\rAlertMinutes=45", 45},
        {"C:\\d.tsy\nOther=1\nAlertMinutes=5", 5},
        {"C:\\d.tsy\r\nAlertMinutes=10\r\nAlertMinutes=20\r\n", 10},
        {"AlertMinutes=5\r\n", 15},  // the first line is the data file, whatever it says
        {"\r\nAlertMinutes=5\r\n", 5},
        {"C:\\d.tsy\r\nAlertMinutes=500\r\n", 15},
        {"C:\\d.tsy\r\nAlertMinutes=\r\n", 15},
        {"C:\\d.tsy\r\nAlertMinutes=ten\r\n", 15},
        {"C:\\d.tsy\r\nAlertMinutesX=5\r\n", 15},
    };
    for (const Setting& s : settings) {
        EXPECT_EQ(AlertMinutesSetting(s.text), s.minutes) << s.text.value_or("(no file)");
    }
}

// Setting the lead keeps the data file's line and every other line byte for byte; setting the
// data file keeps the lead. Readers of the first line see the same path before and after.
TEST(AlertMinutes, WritingKeepsEveryOtherLine) {
    struct Case {
        std::string_view old, expected;
    };
    const Case cases[] = {
        {"", "\r\nAlertMinutes=30\r\n"},
        {"C:\\d.tsy", "C:\\d.tsy\r\nAlertMinutes=30\r\n"},
        {"C:\\d.tsy\r\n", "C:\\d.tsy\r\nAlertMinutes=30\r\n"},
        {"C:\\d.tsy\nOther=1\nalertminutes=5\nLater=2",
         "C:\\d.tsy\nOther=1\nAlertMinutes=30\nLater=2"},
        {"C:\\d.tsy\r\nAlertMinutes=5\r\nX=1\r\nAlertMinutes=9\r\n",
         "C:\\d.tsy\r\nAlertMinutes=30\r\nX=1\r\n"},
        {"C:\\d.tsy\r\nAlertMinutes=5", "C:\\d.tsy\r\nAlertMinutes=30\r\n"},
        {"C:\\d.tsy\r\nOther=1", "C:\\d.tsy\r\nOther=1\r\nAlertMinutes=30\r\n"},
        {"AlertMinutes=5", "AlertMinutes=5\r\nAlertMinutes=30\r\n"},
        // The dropped line stood between a CR and an empty line's LF, which must not become
        // one CR LF break: the empty line stays.
        {"C:\\d.tsy\r\nAlertMinutes=5\r\nNote\rAlertMinutes=6\n\nEnd\r\n",
         "C:\\d.tsy\r\nAlertMinutes=30\r\nNote\r\r\nEnd\r\n"},
    };
    for (const Case& c : cases) {
        const std::string written = SettingsWithAlertMinutes(c.old, 30);
        EXPECT_EQ(written, c.expected) << c.old;
        EXPECT_EQ(FirstLine(written), FirstLine(c.old)) << c.old;
        EXPECT_EQ(AlertMinutesSetting(written), 30) << c.old;
        EXPECT_EQ(AlertMinutesSetting(SettingsWithFirstLine(written, "E:\\New.tsy")), 30) << c.old;
    }
    EXPECT_EQ(AlertMinutesSetting(SettingsWithAlertMinutes("C:\\d.tsy\r\n", 0)), 0);
}

// A settings file the user made read-only (or one on a read-only share) still names the data
// file; a missing one, or a folder in its place, names nothing.
TEST(ReadSettingsFirstLine, ReadsReadOnlyFilesAndOnlyTheFirstLine) {
    const fs::path dir = fs::temp_directory_path() / "tessaly-data-location-settings";
    fs::remove_all(dir);
    fs::create_directories(dir / "folder.ini");
    const fs::path ini = dir / "Tessaly.ini";
    std::ofstream(ini, std::ios::binary) << "D:\\Data\\Tessaly.tsy\r\nAlertMinutes=5\r\n";
    fs::permissions(ini, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_EQ(ReadSettingsFirstLine(ini), std::optional<std::string>("D:\\Data\\Tessaly.tsy"));
    EXPECT_EQ(ReadSettingsFirstLine(dir / "missing.ini"), std::nullopt);
    EXPECT_EQ(ReadSettingsFirstLine(dir / "folder.ini"), std::nullopt);
    EXPECT_EQ(AlertMinutesSetting(ReadSettingsText(ini)), 5);
    EXPECT_EQ(AlertMinutesSetting(ReadSettingsText(dir / "missing.ini")), kDefaultAlertMinutes);
    fs::permissions(ini, fs::perms::owner_write, fs::perm_options::add);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace tessaly
