// The recovery file on disk: written after changes, never over the data file, offered back
// only when it holds something the data file does not, and set aside on "No".
#include "editor/recovery/recovery.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/backup.h"
#include "core/data_file.h"
#include "core/tests/test_reminders.h"
#include "editor/model/editor_model.h"

namespace tessaly::editor {
namespace {

namespace fs = std::filesystem;
using tessaly::testing::MakeReminder;

constexpr DateKey kToday = 20261210;

class RecoveryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tessaly-recovery-" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        data_ = dir_ / "Tessaly.tsy";
        saved_.current.InsertByDate(MakeReminder(kMeeting, "Saved", 20261220, 900));
        ASSERT_TRUE(SaveReminderFile(data_, saved_, kEditorLabel));
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Bytes(const fs::path& file) const {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    ReminderData Read(const fs::path& file) const {
        ReminderData lists;
        EXPECT_TRUE(LoadReminderFile(file, lists, IfMissing::kFail));
        return lists;
    }
    ReminderData Changed() const {
        ReminderData lists = saved_;
        lists.current.InsertByDate(MakeReminder(kAppointment, "Added", 20261224, 1430, 3));
        return lists;
    }

    fs::path dir_, data_;
    ReminderData saved_;
};

TEST_F(RecoveryTest, WrittenAfterEachChangeNeverOverTheDataFile) {
    const std::string before = Bytes(data_);
    const fs::path recovery = RecoveryFile(data_);
    EXPECT_EQ(recovery, dir_ / "Tessaly.tsy.recovery");
    RecoveryKeeper keeper;
    keeper.Keep(data_, true, false, saved_);
    EXPECT_FALSE(fs::exists(recovery)) << "nothing unsaved";

    ReminderData lists = Changed();
    keeper.Keep(data_, true, true, lists);
    EXPECT_EQ(Read(recovery), lists);
    lists.current.RemoveAt(1);
    keeper.Keep(data_, true, true, lists);
    EXPECT_EQ(Read(recovery), lists) << "each change";
    fs::remove(recovery);
    keeper.Keep(data_, true, true, lists);
    EXPECT_FALSE(fs::exists(recovery)) << "a command that changed no list writes nothing";
    EXPECT_EQ(Bytes(data_), before) << "the data file is never written";

    lists.current.InsertByDate(MakeReminder(kReminderKind, "More", 20261230));
    keeper.Keep(data_, true, true, lists);
    EXPECT_TRUE(fs::exists(recovery));
    keeper.Keep(data_, true, false, lists);  // saved, or the changes given up
    EXPECT_FALSE(fs::exists(recovery));

    // Lists never read from the data file are never kept: restored, they would replace it.
    keeper.Keep(data_, false, true, Changed());
    EXPECT_FALSE(fs::exists(recovery));

    keeper.Keep(data_, true, true, Changed());
    keeper.Discard(data_);  // a normal close
    EXPECT_FALSE(fs::exists(recovery));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), {}), 1) << "no temporary file left";
}

TEST_F(RecoveryTest, OfferedOnlyWhenItHoldsWhatTheDataFileDoesNot) {
    EXPECT_EQ(FindRecovery(data_, saved_), std::nullopt) << "none there";

    RecoveryKeeper keeper;
    keeper.Keep(data_, true, true, saved_);  // changed, then changed back
    ASSERT_TRUE(fs::exists(RecoveryFile(data_)));
    EXPECT_EQ(FindRecovery(data_, saved_), std::nullopt);
    EXPECT_FALSE(fs::exists(RecoveryFile(data_))) << "holding nothing new, it goes";

    keeper.Keep(data_, true, true, Changed());
    // Offered even when the data file is newer: the notifier's pass at the next log-on saves
    // it after every power cut.
    ReminderData notifierSaved = saved_;
    notifierSaved.archive.Append(MakeReminder(kMeeting, "Old", 20261201));
    ASSERT_TRUE(SaveReminderFile(data_, notifierSaved, kNotifierLabel));
    const std::optional<FoundRecovery> found = FindRecovery(data_, notifierSaved);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->lists, Changed());
    EXPECT_TRUE(fs::exists(RecoveryFile(data_))) << "it stays until answered";

    EXPECT_EQ(RecoveryQuestion(found->lists, notifierSaved),
              "Tessaly did not close properly. Restore the changes made then?\r\n\r\n"
              "Not saved then: 2 reminders and 0 archived.\r\n"
              "In the data file: 1 reminder and 1 archived.");
}

TEST_F(RecoveryTest, NoKeepsItAsADatedFileInBackups) {
    RecoveryKeeper keeper;
    for (int n = 1; n <= 2; ++n) {
        keeper.Keep(data_, true, true, Changed());
        fs::path kept;
        ASSERT_TRUE(SetRecoveryAside(data_, kToday, &kept));
        EXPECT_EQ(kept, dir_ / "Backups" /
                            (n == 1 ? "Tessaly-unsaved-2026-12-10.tsy"
                                    : "Tessaly-unsaved-2026-12-10-2.tsy"));
        EXPECT_EQ(Read(kept), Changed());
        EXPECT_FALSE(fs::exists(RecoveryFile(data_)));
        // Never taken for a daily backup, so never pruned with them.
        EXPECT_EQ(BackupDay("Tessaly", kept.filename().string()), std::nullopt);
        keeper.Discard(data_);
    }
    EXPECT_FALSE(SetRecoveryAside(data_, kToday)) << "nothing to keep";
}

// Restored, the lists are the editor's unsaved changes: rolled over to today, and the closing
// question decides whether they reach the data file.
TEST_F(RecoveryTest, RestoredListsAreUnsavedChanges) {
    for (Answer answer : {Answer::kNo, Answer::kYes}) {
        ReminderData recovered = Changed();
        recovered.current.InsertByDate(MakeReminder(kAppointment, "Past", 20261201, 1000));
        EditorModel m;
        m.Start(data_, kToday);
        m.StartupMaintenance();
        m.AdoptUnsaved(recovered);
        EXPECT_TRUE(m.state().dirty);
        EXPECT_EQ(m.state().data.current, Changed().current) << "past one-time: archived";
        EXPECT_EQ(m.state().data.archive.count(), 1);

        std::vector<Question> asked;
        Update u;
        EXPECT_EQ(m.Close(
                      [&](const Question& q) {
                          asked.push_back(q);
                          return answer;
                      },
                      u),
                  CloseOutcome::kClose);
        ASSERT_EQ(asked.size(), 1u) << "the usual question";
        EXPECT_EQ(Read(data_).current, answer == Answer::kYes ? Changed().current : saved_.current);
    }
}

}  // namespace
}  // namespace tessaly::editor
