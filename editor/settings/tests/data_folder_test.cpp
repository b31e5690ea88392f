// Moving the data file, on real folders: what is copied and when, a data file already in the
// chosen folder, what the settings file holds afterwards, unsaved changes, the folder in use
// again, and failures that must leave everything as it was.
#include "editor/settings/data_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "core/data_file.h"
#include "core/data_location.h"
#include "core/tests/test_reminders.h"

namespace tessaly::editor::settings {
namespace {

namespace fs = std::filesystem;
using tessaly::testing::MakeReminder;

std::string Read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}
void Write(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}
// A data file with `current` reminders and `archived` archived ones.
std::string DataFile(int current, int archived) {
    ReminderData data;
    for (int i = 0; i < current; ++i) {
        data.current.Append(MakeReminder(kMeeting, "now " + std::to_string(i), 20270101 + i));
    }
    for (int i = 0; i < archived; ++i) {
        data.archive.Append(MakeReminder(kMeeting, "past " + std::to_string(i), 20261101 + i));
    }
    const std::vector<std::uint8_t> bytes = EncodeReminderFile(data, kEditorLabel);
    return std::string(bytes.begin(), bytes.end());
}
std::set<std::string> Names(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename().string());
    return names;
}

const std::string kEmptyFile = DataFile(0, 0);  // a header and no reminders
const std::string kReminders = DataFile(1, 0);
const std::string kOtherReminders = DataFile(2, 1);
constexpr DateKey kToday = 20261210;

enum class Answer { kYes, kNo, kCancel };

// The test is the editor: it answers the move's questions as each test sets them up.
class DataFolderTest : public ::testing::Test, public MoveHost {
  protected:
    // The editor's question: Yes saves (new content) unless the save fails, No discards.
    bool OfferSave() override {
        if (!unsaved_) return true;
        ++questions_;
        if (answer_ == Answer::kCancel) return false;
        if (answer_ == Answer::kNo) return true;
        ++saves_;
        if (saveWorks_) Write(location_.dataFile, kOtherReminders);
        return saveWorks_;
    }
    std::optional<std::string> SettingsLine(const fs::path& p) override {
        if (!pathFits_) return std::nullopt;
        return p.string();
    }
    ExistingFileChoice AskAboutExisting(const ExistingFileQuestion& q) override {
        asked_.push_back(q);
        return choice_;
    }
    DateKey Today() override { return kToday; }

    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("tessaly-settings-" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(root_);
        fs::create_directories(oldFolder());
        fs::create_directories(newFolder());
        fs::create_directories(settingsFile().parent_path());
        location_ = {oldFolder() / "Tessaly.tsy", oldFolder()};
    }
    void TearDown() override { fs::remove_all(root_); }

    fs::path oldFolder() const { return root_ / "old"; }
    fs::path newFolder() const { return root_ / "new"; }
    fs::path settingsFile() const { return root_ / "program" / "Tessaly.ini"; }
    fs::path newFile() const { return newFolder() / "Tessaly.tsy"; }
    fs::path keptFile() const { return newFolder() / "Tessaly-before-move-20261210.tsy"; }

    MoveResult Move(const fs::path& folder) {
        return SetDataFolder(location_, settingsFile(), folder, *this);
    }
    // Everything that must stay as it was after a move that did not happen.
    void ExpectNothingChanged(const std::string& settingsBefore, const std::string& newBefore) {
        EXPECT_EQ(location_.dataFile, oldFolder() / "Tessaly.tsy");
        EXPECT_EQ(location_.dataFolder, oldFolder());
        EXPECT_EQ(fs::exists(settingsFile()) ? Read(settingsFile()) : "<none>", settingsBefore);
        EXPECT_EQ(fs::exists(newFile()) ? Read(newFile()) : "<none>", newBefore);
        // No half-made copy, kept file or temporary file is left beside it.
        EXPECT_EQ(Names(newFolder()), newBefore == "<none>" ? std::set<std::string>{}
                                                            : std::set<std::string>{"Tessaly.tsy"});
    }

    fs::path root_;
    DataLocation location_;
    bool pathFits_ = true;  // the settings file's code page holds every path
    bool unsaved_ = false;
    Answer answer_ = Answer::kYes;
    bool saveWorks_ = true;
    int questions_ = 0;
    int saves_ = 0;
    ExistingFileChoice choice_ = ExistingFileChoice::kCancel;
    std::vector<ExistingFileQuestion> asked_;
};

TEST_F(DataFolderTest, CarriesAFileWithRemindersAndNeverLosesTheOneThere) {
    using Choice = ExistingFileChoice;
    struct Case {
        const char* what;
        const char* oldName;  // the old folder's data file, "" for none
        std::string oldBytes;
        std::string newBefore;  // "<none>": no file in the new folder
        Choice choice;          // the answer, should the question come
        bool asked;
        MoveOutcome outcome;
        std::string newAfter;
        std::string keptAfter;  // the file there kept beside, "<none>" for none
    };
    const Case cases[] = {
        {"copied", "Tessaly.tsy", kReminders, "<none>", Choice::kCancel, false, MoveOutcome::kMoved,
         kReminders, "<none>"},
        {"the file there is used", "Tessaly.tsy", kReminders, kOtherReminders, Choice::kUseIt, true,
         MoveOutcome::kMoved, kOtherReminders, "<none>"},
        {"the file there is replaced and kept", "Tessaly.tsy", kReminders, kOtherReminders,
         Choice::kReplaceIt, true, MoveOutcome::kMoved, kReminders, kOtherReminders},
        {"cancel changes nothing", "Tessaly.tsy", kReminders, kOtherReminders, Choice::kCancel,
         true, MoveOutcome::kCancelled, kOtherReminders, "<none>"},
        {"an empty file there is replaced unasked", "Tessaly.tsy", kReminders, kEmptyFile,
         Choice::kCancel, false, MoveOutcome::kMoved, kReminders, "<none>"},
        {"16 bytes stay behind", "Tessaly.tsy", std::string(16, 'x'), "<none>", Choice::kCancel,
         false, MoveOutcome::kMoved, "<none>", "<none>"},
        {"17 bytes go", "Tessaly.tsy", std::string(17, 'x'), "<none>", Choice::kCancel, false,
         MoveOutcome::kMoved, std::string(17, 'x'), "<none>"},
        {"nothing to carry: the file there is used unasked", "Tessaly.tsy", kEmptyFile,
         kOtherReminders, Choice::kCancel, false, MoveOutcome::kMoved, kOtherReminders, "<none>"},
        {"no old file", "", "", "<none>", Choice::kCancel, false, MoveOutcome::kMoved, "<none>",
         "<none>"},
        // Found whatever the case of its name, also where names are case-sensitive.
        {"lower-case name", "tessaly.tsy", kReminders, "<none>", Choice::kCancel, false,
         MoveOutcome::kMoved, kReminders, "<none>"},
        {"mixed-case name", "TESSALY.Tsy", kReminders, "<none>", Choice::kCancel, false,
         MoveOutcome::kMoved, kReminders, "<none>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(oldFolder());
        fs::remove_all(newFolder());
        fs::remove(settingsFile());
        fs::create_directories(oldFolder());
        fs::create_directories(newFolder());
        location_ = {oldFolder() / "Tessaly.tsy", oldFolder()};
        if (*c.oldName) Write(oldFolder() / c.oldName, c.oldBytes);
        if (c.newBefore != "<none>") Write(newFile(), c.newBefore);
        choice_ = c.choice;
        asked_.clear();

        const MoveResult result = Move(newFolder());
        EXPECT_EQ(result.outcome, c.outcome) << result.message;
        EXPECT_EQ(asked_.size(), c.asked ? 1u : 0u);
        EXPECT_EQ(fs::exists(newFile()) ? Read(newFile()) : "<none>", c.newAfter);
        EXPECT_EQ(fs::exists(keptFile()) ? Read(keptFile()) : "<none>", c.keptAfter);
        if (c.outcome == MoveOutcome::kMoved) {
            EXPECT_EQ(location_.dataFile, newFile());
            EXPECT_EQ(location_.dataFolder, newFolder());
            EXPECT_EQ(Read(settingsFile()), newFile().string() + "\r\n");
        } else {
            ExpectNothingChanged("<none>", c.newBefore);
        }
        if (*c.oldName) {
            EXPECT_EQ(Read(oldFolder() / c.oldName), c.oldBytes);  // left in place
        }
    }
}

// The question names the folder, what each file holds and the name the file there keeps; that
// name is never one a file already has.
TEST_F(DataFolderTest, TheQuestionCountsBothFilesAndTheKeptNameIsFree) {
    Write(location_.dataFile, DataFile(12, 3));
    Write(newFile(), DataFile(1, 0));
    Write(keptFile(), "an earlier move's");
    Write(newFolder() / "Tessaly-before-move-20261210-2.tsy", "and another");
    choice_ = ExistingFileChoice::kReplaceIt;
    ASSERT_EQ(Move(newFolder()).outcome, MoveOutcome::kMoved);
    ASSERT_EQ(asked_.size(), 1u);
    const ExistingFileQuestion& q = asked_[0];
    EXPECT_EQ(q.folder, newFolder());
    EXPECT_EQ(q.there.current, 1);
    EXPECT_EQ(q.there.archived, 0);
    EXPECT_EQ(q.inUse.current, 12);
    EXPECT_EQ(q.inUse.archived, 3);
    EXPECT_EQ(q.keptAs, "Tessaly-before-move-20261210-3.tsy");
    EXPECT_EQ(Read(keptFile()), "an earlier move's");
    EXPECT_EQ(Read(newFolder() / "Tessaly-before-move-20261210-3.tsy"), DataFile(1, 0));
    EXPECT_EQ(Read(newFile()), DataFile(12, 3));

    EXPECT_EQ(ExistingFileQuestionText(q),
              "The folder\r\n" + newFolder().string() +
                  "\r\nalready holds a data file with 1 reminder.\r\n"
                  "The data file in use holds 12 reminders and 3 archived.\r\n\r\n"
                  "Yes: use the data file that is there; nothing is copied.\r\n"
                  "No: replace it with the data file in use; the file there is kept\r\n"
                  "beside it as Tessaly-before-move-20261210-3.tsy.\r\n"
                  "Cancel: change nothing.");
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

// Choosing the folder in use (or "Reset settings" there) moves nothing and reloads nothing, but
// the settings file names the file in use again: after a start-up that fell back to the
// documents folder, the next start no longer goes back to a folder that was gone.
TEST_F(DataFolderTest, TheFolderInUseOnlyPutsTheSettingsFileRight) {
    Write(location_.dataFile, kReminders);
    unsaved_ = true;
    for (const fs::path& same : {oldFolder(), oldFolder() / ".", root_ / "new" / ".." / "old"}) {
        SCOPED_TRACE(same.string());
        Write(settingsFile(), "E:\\Unplugged\\Tessaly.tsy\r\nAlertMinutes=10\r\n");
        EXPECT_EQ(Move(same).outcome, MoveOutcome::kSameFolder);
        EXPECT_EQ(questions_, 0);  // nothing is reloaded, so unsaved changes are safe
        EXPECT_EQ(Read(settingsFile()), location_.dataFile.string() + "\r\nAlertMinutes=10\r\n");
        EXPECT_EQ(Read(location_.dataFile), kReminders);
        EXPECT_EQ(location_.dataFolder, oldFolder());
    }
    // A settings file that cannot be written is said, not swallowed.
    const MoveResult result =
        SetDataFolder(location_, root_ / "no-such-folder" / "Tessaly.ini", oldFolder(), *this);
    EXPECT_EQ(result.outcome, MoveOutcome::kFailed);
    EXPECT_NE(result.message.find("settings file could not be written"), std::string::npos)
        << result.message;
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

    // Something that is not a file stands where the data file would go.
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
    pathFits_ = false;
    EXPECT_EQ(Move(newFolder()).outcome, MoveOutcome::kFailed);
    EXPECT_EQ(questions_, 0);
    ExpectNothingChanged("before\r\n", "<none>");
}

// The settings file is the last step: when it cannot be written, the new folder is put back as
// it was, the file there with its own content and no kept copy left over.
TEST_F(DataFolderTest, AnUnwritableSettingsFileLeavesTheNewFolderAsItWas) {
    Write(location_.dataFile, kReminders);
    const fs::path nowhere = root_ / "no-such-folder" / "Tessaly.ini";
    for (const std::string& there : {std::string("<none>"), kOtherReminders}) {
        SCOPED_TRACE(there);
        fs::remove_all(newFolder());
        fs::create_directories(newFolder());
        if (there != "<none>") Write(newFile(), there);
        choice_ = ExistingFileChoice::kReplaceIt;
        const MoveResult result = SetDataFolder(location_, nowhere, newFolder(), *this);
        EXPECT_EQ(result.outcome, MoveOutcome::kFailed);
        EXPECT_NE(result.message.find("settings file could not be written"), std::string::npos)
            << result.message;
        EXPECT_FALSE(fs::exists(nowhere));
        ExpectNothingChanged("<none>", there);
    }
}

// A rewrite names the new file on the first line and keeps the lines after it for the
// settings that live there.
TEST_F(DataFolderTest, LaterSettingsLinesStay) {
    Write(location_.dataFile, kReminders);
    Write(settingsFile(), "C:\\old\\Tessaly.tsy\r\nAlertMinutes=15\r\n");
    ASSERT_EQ(Move(newFolder()).outcome, MoveOutcome::kMoved);
    EXPECT_EQ(Read(settingsFile()), newFile().string() + "\r\nAlertMinutes=15\r\n");
}

// The settings box's lead: refused texts, a lead the file already gives, and a new one written
// with every other line kept; a file that cannot be read is never replaced.
TEST_F(DataFolderTest, AlertMinutesTypedIntoTheSettingsBox) {
    using Outcome = AlertMinutesResult::Outcome;
    const std::string none = "<no file>";
    struct Case {
        std::string before;  // the settings file, or none
        std::string typed;
        Outcome outcome;
        std::string after;  // the file afterwards, or none
    };
    const std::string named = "C:\\data\\Tessaly.tsy\r\n";
    const Case cases[] = {
        {none, "15", Outcome::kUnchanged, none},  // the default needs no file
        {none, " 30 ", Outcome::kWritten, "\r\nAlertMinutes=30\r\n"},
        {named, "0", Outcome::kWritten, named + "AlertMinutes=0\r\n"},
        {named + "AlertMinutes=30\r\nOther=1\r\n", "30", Outcome::kUnchanged,
         named + "AlertMinutes=30\r\nOther=1\r\n"},
        {named + "AlertMinutes=30\r\nOther=1\r\n", "120", Outcome::kWritten,
         named + "AlertMinutes=120\r\nOther=1\r\n"},
        {named + "AlertMinutes=30\r\n", "15", Outcome::kWritten, named + "AlertMinutes=15\r\n"},
        {named, "121", Outcome::kRefused, named},
        {named, "-5", Outcome::kRefused, named},
        {named, "", Outcome::kRefused, named},
        {named, "1 5", Outcome::kRefused, named},
        {named, "ten", Outcome::kRefused, named},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before + " typed [" + c.typed + "]");
        fs::remove(settingsFile());
        if (c.before != none) Write(settingsFile(), c.before);
        fs::create_directories(settingsFile().parent_path());
        const AlertMinutesResult result = SetAlertMinutes(settingsFile(), c.typed);
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(result.message,
                  c.outcome == Outcome::kRefused ? std::string(kAlertMinutesRefused) : "");
        EXPECT_EQ(fs::exists(settingsFile()) ? Read(settingsFile()) : none, c.after);
        if (c.outcome != Outcome::kRefused) {
            EXPECT_EQ(SettingsAlertMinutes(settingsFile()), *ParseAlertMinutes(c.typed));
        }
        // No temporary file is left beside it.
        EXPECT_LE(Names(settingsFile().parent_path()).size(), 1u);
    }
    // A folder where the settings file should be, or no folder at all: reported, nothing made.
    fs::remove(settingsFile());
    fs::create_directories(settingsFile());
    EXPECT_EQ(SetAlertMinutes(settingsFile(), "30").outcome, Outcome::kFailed);
    EXPECT_TRUE(fs::is_directory(settingsFile()));
    fs::remove(settingsFile());
    const fs::path nowhere = root_ / "no-such-folder" / "Tessaly.ini";
    const AlertMinutesResult failed = SetAlertMinutes(nowhere, "30");
    EXPECT_EQ(failed.outcome, Outcome::kFailed);
    EXPECT_NE(failed.message.find("settings file could not be written"), std::string::npos);
    EXPECT_FALSE(fs::exists(nowhere));
}

}  // namespace
}  // namespace tessaly::editor::settings
