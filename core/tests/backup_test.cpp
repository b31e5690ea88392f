// The daily backup: which saves back up, what is pruned, and that a failure leaves the data
// file and the older backups alone; over a fake clock (the day passed in) and a fake folder.
#include "core/backup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "core/data_file.h"
#include "core/tests/test_reminders.h"

namespace tessaly {
namespace {

namespace fs = std::filesystem;

TEST(BackupNames, ReadAndWritten) {
    EXPECT_EQ(BackupName(20261208), "Tessaly-2026-12-08.tsy");
    EXPECT_EQ(BackupDay("Tessaly-2026-12-08.tsy"), 20261208);
    EXPECT_EQ(BackupDay("TESSALY-2027-01-31.TSY"), 20270131);
    for (const char* other : {"Tessaly-2026-12-8.tsy", "Tessaly-2026-13-01.tsy",
                              "Tessaly-2027-02-29.tsy", "Tessaly-2026-12-08.tsy.tmp",
                              "Tessaly-2026-12-08.tsy.AbC123", "notes.txt", "Tessaly.tsy"}) {
        EXPECT_EQ(BackupDay(other), std::nullopt) << other;
    }
    EXPECT_EQ(BackupFolder(fs::path("a") / "b" / "Tessaly.tsy"), fs::path("a") / "b" / "Backups");
}

// Backups of the days before `today`, one a day, newest last.
std::vector<std::string> Days(DateKey from, int count) {
    std::vector<std::string> names;
    std::int64_t day = DaysFromCivil(from / 10000, from / 100 % 100, from % 100);
    for (int i = 0; i < count; ++i, ++day) {
        const CivilDate c = CivilFromDays(day);
        names.push_back(BackupName(MakeDateKey(c.year, c.month, c.day)));
    }
    return names;
}

TEST(BackupPlanTest, WhichSavesBackUpAndWhatGoes) {
    struct Case {
        const char* what;
        std::vector<std::string> existing;
        bool dataFileHasContent;
        bool backUp;
        std::vector<std::string> prune;
    };
    std::vector<std::string> fourteen = Days(20261124, 14);   // 24 Nov .. 7 Dec
    std::vector<std::string> withToday = Days(20261125, 14);  // 25 Nov .. 8 Dec
    std::vector<std::string> many = Days(20261101, 37);       // 1 Nov .. 7 Dec
    many.push_back("notes.txt");
    std::vector<std::string> manyPruned = Days(20261101, 24);  // all but the newest 13
    const Case cases[] = {
        {"first save of the day", {}, true, true, {}},
        {"no data file yet, or an empty one: nothing to keep", {}, false, false, {}},
        {"second save of the day", {"Tessaly-2026-12-08.tsy"}, true, false, {}},
        {"today's made by the other program, in other case",
         {"TESSALY-2026-12-08.TSY"},
         true,
         false,
         {}},
        {"fourteen older days: the oldest goes", fourteen, true, true, {fourteen[0]}},
        {"fourteen with today: all stay", withToday, true, false, {}},
        {"many: only backups beyond the newest 14 days go", many, true, true, manyPruned},
        {"no backup of today and no data file: nothing pruned", many, false, false, {}},
        {"clock set back: today's is made, the newest later ones stay",
         Days(20261209, 14),
         true,
         true,
         {BackupName(20261208)}},
    };
    for (const Case& c : cases) {
        const BackupPlan plan = PlanDailyBackup(c.existing, 20261208, c.dataFileHasContent);
        EXPECT_EQ(plan.backUp, c.backUp) << c.what;
        EXPECT_EQ(plan.name, "Tessaly-2026-12-08.tsy") << c.what;
        EXPECT_EQ(plan.prune, c.prune) << c.what;
    }
}

// An in-memory folder tree with failures to order.
class FakeFiles : public BackupFiles {
  public:
    std::map<fs::path, std::string> files;
    std::set<fs::path> folders;
    bool failCopy = false, failRemove = false, failFolder = false;
    int copies = 0;

    bool HasContent(const fs::path& f) override {
        return files.contains(f) && !files.at(f).empty();
    }
    std::vector<std::string> List(const fs::path& folder) override {
        std::vector<std::string> names;
        for (const auto& [p, bytes] : files) {
            if (p.parent_path() == folder) names.push_back(p.filename().string());
        }
        return names;
    }
    IoResult MakeFolder(const fs::path& folder) override {
        if (failFolder) return IoResult::Failure("cannot create " + folder.string());
        folders.insert(folder);
        return {};
    }
    IoResult Copy(const fs::path& from, const fs::path& to) override {
        if (failCopy || !folders.contains(to.parent_path())) {
            return IoResult::Failure("cannot write " + to.string() + ": disk full");
        }
        ++copies;
        files[to] = files.at(from);
        return {};
    }
    IoResult Remove(const fs::path& f) override {
        if (failRemove) return IoResult::Failure("cannot remove " + f.string());
        files.erase(f);
        return {};
    }
};

TEST(KeepDailyBackupTest, OneBackupADayAndFourteenDaysKept) {
    FakeFiles fake;
    const fs::path data = fs::path("docs") / "Tessaly.tsy";
    const fs::path folder = fs::path("docs") / "Backups";
    fake.files[data] = "day 0";
    // Thirty days, two saves a day by two programs: the backup holds the file as it was
    // before the day's first save.
    std::int64_t day = DaysFromCivil(2026, 11, 20);
    for (int i = 1; i <= 30; ++i, ++day) {
        const CivilDate c = CivilFromDays(day);
        const DateKey today = MakeDateKey(c.year, c.month, c.day);
        for (int save = 0; save < 2; ++save) {
            const BackupResult r = KeepDailyBackup(data, today, fake);
            EXPECT_TRUE(r.status) << r.status.message;
            EXPECT_EQ(r.made, save == 0) << today;
            fake.files[data] = "day " + std::to_string(i) + " save " + std::to_string(save);
        }
    }
    EXPECT_EQ(fake.copies, 30);
    std::vector<std::string> left = fake.List(folder);
    EXPECT_EQ(left, Days(20261206, 14));
    EXPECT_EQ(fake.files.at(folder / "Tessaly-2026-12-19.tsy"), "day 29 save 1");
    EXPECT_EQ(fake.files.at(folder / "Tessaly-2026-12-06.tsy"), "day 16 save 1");
}

TEST(KeepDailyBackupTest, FailuresAreReportedAndKeepOlderBackups) {
    FakeFiles fake;
    const fs::path data = fs::path("docs") / "Tessaly.tsy";
    const fs::path folder = fs::path("docs") / "Backups";
    fake.files[data] = "now";
    fake.folders.insert(folder);
    for (const std::string& name : Days(20261120, 14)) fake.files[folder / name] = "old";

    fake.failCopy = true;
    BackupResult r = KeepDailyBackup(data, 20261208, fake);
    EXPECT_FALSE(r.status);
    EXPECT_NE(r.status.message.find("disk full"), std::string::npos);
    EXPECT_FALSE(r.made);
    EXPECT_TRUE(r.pruned.empty()) << "nothing goes while today's backup is missing";
    EXPECT_EQ(fake.List(folder).size(), 14u);

    fake.failCopy = false;
    fake.failFolder = true;
    r = KeepDailyBackup(data, 20261208, fake);
    EXPECT_FALSE(r.status);
    EXPECT_EQ(fake.List(folder).size(), 14u);

    fake.failFolder = false;
    fake.failRemove = true;
    r = KeepDailyBackup(data, 20261208, fake);
    EXPECT_TRUE(r.made);
    EXPECT_FALSE(r.status) << "an old backup that cannot be removed is reported";
    EXPECT_EQ(fake.List(folder).size(), 15u);
    EXPECT_EQ(fake.files.at(data), "now");
}

// The real file system: the backup is a whole copy in Backups beside the data file.
TEST(KeepDailyBackupTest, OnDisk) {
    const fs::path dir = fs::temp_directory_path() / "tessaly_backup_test";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path data = dir / "Tessaly.tsy";
    ReminderData lists;
    lists.current.InsertByDate(testing::MakeReminder(kAppointment, "Dentist", 20261225, 1430));
    ASSERT_TRUE(SaveReminderFile(data, lists, kEditorLabel));
    std::ofstream(dir / "Backups") << "";  // a file where the folder should be
    BackupResult r = KeepDailyBackup(data, 20261208);
    EXPECT_FALSE(r.status);
    fs::remove(dir / "Backups");

    r = KeepDailyBackup(data, 20261208);
    EXPECT_TRUE(r.status) << r.status.message;
    EXPECT_TRUE(r.made);
    ReminderData copy;
    ASSERT_TRUE(
        LoadReminderFile(dir / "Backups" / "Tessaly-2026-12-08.tsy", copy, IfMissing::kFail));
    EXPECT_EQ(copy, lists);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "Backups"), fs::directory_iterator()), 1);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace tessaly
