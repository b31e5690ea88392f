// Moving the data file, on real folders: what is copied and when, what the settings file holds,
// unsaved changes, the same folder again, and failures that must leave everything as it was.
#include "editor/settings/data_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace tessaly::editor::settings {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}
void Write(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}

const std::string kEmptyFile = std::string(12, '\0');      // a header and no reminders
const std::string kReminders = std::string(12 + 58, 'r');  // one reminder's worth
const std::string kOtherReminders = std::string(12 + 2 * 58, 'o');

enum class Answer { kYes, kNo, kCancel };

class DataFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("tessaly-settings-" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(root_);
        fs::create_directories(oldFolder());
        fs::create_directories(newFolder());
        fs::create_directories(settingsFile().parent_path());
        location_ = {oldFolder() / "Tessaly.tsy", oldFolder()};
        // The editor's question: Yes saves (new content) unless the save fails, No discards.
        host_.offerSave = [this] {
            if (!unsaved_) return true;
            ++questions_;
            if (answer_ == Answer::kCancel) return false;
            if (answer_ == Answer::kNo) return true;
            ++saves_;
            if (saveWorks_) Write(location_.dataFile, kOtherReminders);
            return saveWorks_;
        };
        host_.settingsLine = [](const fs::path& p) { return std::optional(p.string()); };
    }
    void TearDown() override { fs::remove_all(root_); }

    fs::path oldFolder() const { return root_ / "old"; }
    fs::path newFolder() const { return root_ / "new"; }
    fs::path settingsFile() const { return root_ / "program" / "Tessaly.ini"; }
    fs::path newFile() const { return newFolder() / "Tessaly.tsy"; }

    MoveResult Move(const fs::path& folder) {
        return SetDataFolder(location_, settingsFile(), folder, host_);
    }
    // Everything that must stay as it was after a move that did not happen.
    void ExpectNothingChanged(const std::string& settingsBefore, const std::string& newBefore) {
        EXPECT_EQ(location_.dataFile, oldFolder() / "Tessaly.tsy");
        EXPECT_EQ(location_.dataFolder, oldFolder());
        EXPECT_EQ(fs::exists(settingsFile()) ? Read(settingsFile()) : "<none>", settingsBefore);
        EXPECT_EQ(fs::exists(newFile()) ? Read(newFile()) : "<none>", newBefore);
        // No half-made copy or temporary file is left beside it.
        int entries = 0;
        for ([[maybe_unused]] auto& e : fs::directory_iterator(newFolder())) ++entries;
        EXPECT_EQ(entries, newBefore == "<none>" ? 0 : 1);
    }

    fs::path root_;
    DataLocation location_;
    MoveHost host_;
    bool unsaved_ = false;
    Answer answer_ = Answer::kYes;
    bool saveWorks_ = true;
    int questions_ = 0;
    int saves_ = 0;
};

TEST_F(DataFolderTest, CopiesOnlyAFileThatHoldsReminders) {
    struct Case {
        const char* what;
        const char* oldName;  // the old folder's data file, "" for none
        std::string oldBytes;
        std::string newBefore;  // "<none>": no file in the new folder
        std::string newAfter;
    };
    const Case cases[] = {
        {"copied", "Tessaly.tsy", kReminders, "<none>", kReminders},
        {"replaces the new folder's file", "Tessaly.tsy", kReminders, kOtherReminders, kReminders},
        {"16 bytes stay behind", "Tessaly.tsy", std::string(16, 'x'), "<none>", "<none>"},
        {"17 bytes go", "Tessaly.tsy", std::string(17, 'x'), "<none>", std::string(17, 'x')},
        {"empty file: the new folder's file is used", "Tessaly.tsy", kEmptyFile, kOtherReminders,
         kOtherReminders},
        {"no old file", "", "", "<none>", "<none>"},
        // Found whatever the case of its name, also where names are case-sensitive.
        {"lower-case name", "tessaly.tsy", kReminders, "<none>", kReminders},
        {"mixed-case name", "TESSALY.Tsy", kReminders, "<none>", kReminders},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(oldFolder());
        fs::remove_all(newFolder());
        fs::create_directories(oldFolder());
        fs::create_directories(newFolder());
        location_ = {oldFolder() / "Tessaly.tsy", oldFolder()};
        if (*c.oldName) Write(oldFolder() / c.oldName, c.oldBytes);
        if (c.newBefore != "<none>") Write(newFile(), c.newBefore);

        const MoveResult result = Move(newFolder());
        EXPECT_EQ(result.outcome, MoveOutcome::kMoved) << result.message;
        EXPECT_EQ(location_.dataFile, newFile());
        EXPECT_EQ(location_.dataFolder, newFolder());
        EXPECT_EQ(Read(settingsFile()), newFile().string() + "\r\n");
        EXPECT_EQ(fs::exists(newFile()) ? Read(newFile()) : "<none>", c.newAfter);
        if (*c.oldName) {
            EXPECT_EQ(Read(oldFolder() / c.oldName), c.oldBytes);  // left in place
        }
    }
}

// A data file named on the command line (not Tessaly.tsy) is the one that moves.
TEST_F(DataFolderTest, TakesTheFileInUseAlong) {
    Write(oldFolder() / "Tessaly.tsy", kOtherReminders);
    Write(oldFolder() / "mine.tsy", kReminders);
    location_ = {oldFolder() / "mine.tsy", oldFolder()};
    EXPECT_EQ(FindOldDataFile(location_), oldFolder() / "mine.tsy");
    ASSERT_EQ(Move(newFolder()).outcome, MoveOutcome::kMoved);
    EXPECT_EQ(Read(newFile()), kReminders);
}

TEST_F(DataFolderTest, TheSameFolderChangesNothing) {
    Write(location_.dataFile, kReminders);
    Write(settingsFile(), "C:\\before\r\n");
    unsaved_ = true;
    for (const fs::path& same : {oldFolder(), oldFolder() / ".", root_ / "new" / ".." / "old"}) {
        SCOPED_TRACE(same.string());
        EXPECT_EQ(Move(same).outcome, MoveOutcome::kSameFolder);
        EXPECT_EQ(questions_, 0);  // nothing is reloaded, so unsaved changes are safe
        EXPECT_EQ(Read(settingsFile()), "C:\\before\r\n");
        EXPECT_EQ(Read(location_.dataFile), kReminders);
        EXPECT_EQ(location_.dataFolder, oldFolder());
    }
}

TEST_F(DataFolderTest, UnsavedChangesAreAskedAbout) {
    struct Case {
        const char* what;
        Answer answer;
        bool saveWorks;
        MoveOutcome outcome;
        int saves;
        std::string newAfter;
    };
    const Case cases[] = {
        {"Yes saves, then the saved file moves", Answer::kYes, true, MoveOutcome::kMoved, 1,
         kOtherReminders},
        {"No moves the file as it is on disk", Answer::kNo, true, MoveOutcome::kMoved, 0,
         kReminders},
        {"Cancel changes nothing", Answer::kCancel, true, MoveOutcome::kCancelled, 0, "<none>"},
        {"a failed save changes nothing", Answer::kYes, false, MoveOutcome::kCancelled, 1,
         "<none>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(newFolder());
        fs::create_directories(newFolder());
        fs::remove(settingsFile());
        location_ = {oldFolder() / "Tessaly.tsy", oldFolder()};
        Write(location_.dataFile, kReminders);
        unsaved_ = true;
        answer_ = c.answer;
        saveWorks_ = c.saveWorks;
        questions_ = saves_ = 0;

        EXPECT_EQ(Move(newFolder()).outcome, c.outcome);
        EXPECT_EQ(questions_, 1);
        EXPECT_EQ(saves_, c.saves);
        if (c.outcome == MoveOutcome::kMoved) {
            EXPECT_EQ(Read(newFile()), c.newAfter);
        } else {
            ExpectNothingChanged("<none>", "<none>");
        }
    }
    // Without unsaved changes nobody is asked.
    unsaved_ = false;
    questions_ = 0;
    fs::remove_all(newFolder());
    fs::create_directories(newFolder());
    location_ = {oldFolder() / "Tessaly.tsy", oldFolder()};
    EXPECT_EQ(Move(newFolder()).outcome, MoveOutcome::kMoved);
    EXPECT_EQ(questions_, 0);
}

TEST_F(DataFolderTest, AFailedMoveKeepsTheOldLocation) {
    Write(location_.dataFile, kReminders);
    Write(settingsFile(), "before\r\n");

    // The new folder's data file cannot be replaced (here: a folder stands in its way).
    fs::create_directories(newFile());
    MoveResult result = Move(newFolder());
    EXPECT_EQ(result.outcome, MoveOutcome::kFailed);
    EXPECT_NE(result.message.find("could not be moved"), std::string::npos) << result.message;
    EXPECT_TRUE(fs::is_directory(newFile()));
    EXPECT_EQ(Read(settingsFile()), "before\r\n");
    EXPECT_EQ(location_.dataFile, oldFolder() / "Tessaly.tsy");
    fs::remove(newFile());

    // A folder that is gone by the time it is used.
    result = Move(root_ / "gone");
    EXPECT_EQ(result.outcome, MoveOutcome::kFailed);
    EXPECT_NE(result.message.find("does not exist"), std::string::npos) << result.message;
    ExpectNothingChanged("before\r\n", "<none>");

    // A path the settings file cannot hold: refused before anything is asked or written.
    unsaved_ = true;
    host_.settingsLine = [](const fs::path&) { return std::optional<std::string>(); };
    EXPECT_EQ(Move(newFolder()).outcome, MoveOutcome::kFailed);
    EXPECT_EQ(questions_, 0);
    ExpectNothingChanged("before\r\n", "<none>");
}

TEST_F(DataFolderTest, AnUnwritableSettingsFileCopiesNothing) {
    Write(location_.dataFile, kReminders);
    const fs::path nowhere = root_ / "no-such-folder" / "Tessaly.ini";
    const MoveResult result = SetDataFolder(location_, nowhere, newFolder(), host_);
    EXPECT_EQ(result.outcome, MoveOutcome::kFailed);
    EXPECT_FALSE(fs::exists(nowhere));
    ExpectNothingChanged("<none>", "<none>");
}

// When the settings file was written but the copy then fails, its old content comes back.
TEST_F(DataFolderTest, AFailedCopyRestoresTheSettingsFile) {
    Write(location_.dataFile, kReminders);
    for (const std::string& before : {std::string("C:\\old\\Tessaly.tsy\r\n"), std::string()}) {
        SCOPED_TRACE(before.empty() ? "no settings file" : "a settings file");
        if (before.empty()) {
            fs::remove(settingsFile());
        } else {
            Write(settingsFile(), before);
        }
        fs::create_directories(newFile());  // the copy cannot replace it
        EXPECT_EQ(Move(newFolder()).outcome, MoveOutcome::kFailed);
        EXPECT_EQ(fs::exists(settingsFile()), !before.empty());
        if (!before.empty()) {
            EXPECT_EQ(Read(settingsFile()), before);
        }
        fs::remove(newFile());
    }
}

}  // namespace
}  // namespace tessaly::editor::settings
