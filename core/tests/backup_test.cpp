// The daily backup: which saves back up, what is pruned, and that a failure leaves the data
// file and the older backups alone; over a fake clock (the day passed in) and a fake folder.
#include "core/backup.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "core/data_file.h"
#include "core/tests/test_reminders.h"

namespace tessaly {
namespace {

namespace fs = std::filesystem;

TEST(BackupNames, EachDataFileHasItsOwn) {
    EXPECT_EQ(BackupStem(fs::path("a") / "Tessaly.tsy"), "Tessaly");
    EXPECT_EQ(BackupStem(fs::path("a") / "Work 2026.tsy"), "Work 2026");
    EXPECT_EQ(BackupName("Tessaly", 20261208), "Tessaly-2026-12-08.tsy") << "today's names stay";
    EXPECT_EQ(BackupName("Work", 20261208), "Work-2026-12-08.tsy");
    struct Case {
        const char* stem;
        const char* name;
        std::optional<DateKey> day;
    };
    const Case cases[] = {
        {"Tessaly", "Tessaly-2026-12-08.tsy", 20261208},
        {"Tessaly", "TESSALY-2027-01-31.TSY", 20270131},
        {"Work", "Work-2026-12-08.tsy", 20261208},
        {"Work", "Tessaly-2026-12-08.tsy", std::nullopt},  // another data file's
        {"Tessaly", "Work-2026-12-08.tsy", std::nullopt},
        {"Tessaly", "Tessaly-2026-2026-12-08.tsy", std::nullopt},  // Tessaly-2026.tsy's
        {"Tessaly-2026", "Tessaly-2026-2026-12-08.tsy", 20261208},
        {"Tessaly-2026", "Tessaly-2026-12-08.tsy", std::nullopt},
        {"Tessaly", "Tessaly-2026-12-8.tsy", std::nullopt},
        {"Tessaly", "Tessaly-2026-13-01.tsy", std::nullopt},
        {"Tessaly", "Tessaly-2027-02-29.tsy", std::nullopt},
        {"Tessaly", "Tessaly-2026-12-08.tsy.tmp", std::nullopt},
        {"Tessaly", "Tessaly-2026-12-08.tsy.123-4.saving", std::nullopt},
        {"Tessaly", "notes.txt", std::nullopt},
        {"Tessaly", "Tessaly.tsy", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BackupDay(c.stem, c.name), c.day) << c.stem << " " << c.name;
    EXPECT_EQ(BackupFolder(fs::path("a") / "b" / "Tessaly.tsy"), fs::path("a") / "b" / "Backups");
}

// Backups of the days before `today`, one a day, newest last.
std::vector<std::string> Days(DateKey from, int count, std::string_view stem = "Tessaly") {
    std::vector<std::string> names;
    std::int64_t day = DaysFromCivil(from / 10000, from / 100 % 100, from % 100);
    for (int i = 0; i < count; ++i, ++day) {
        const CivilDate c = CivilFromDays(day);
        names.push_back(BackupName(stem, MakeDateKey(c.year, c.month, c.day)));
    }
    return names;
}

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
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
        // A clock once set ahead left backups dated after today: they neither push today's
        // out nor count among the fourteen, and they stay.
        {"fourteen future days: today's is made and kept", Days(20261209, 14), true, true, {}},
        {"future days beside thirteen real ones: the oldest real one stays",
         Days(20261125, 13) + Days(20270101, 20),
         true,
         true,
         {}},
        {"future days beside fourteen real ones: only the oldest real one goes",
         Days(20261124, 14) + Days(20270101, 20),
         true,
         true,
         {BackupName("Tessaly", 20261124)}},
        {"another data file's backups are neither counted nor pruned",
         Days(20261101, 37, "Work") + Days(20261124, 14),
         true,
         true,
         {BackupName("Tessaly", 20261124)}},
    };
    for (const Case& c : cases) {
        const BackupPlan plan =
            PlanDailyBackup("Tessaly", c.existing, 20261208, c.dataFileHasContent);
        EXPECT_EQ(plan.backUp, c.backUp) << c.what;
        EXPECT_EQ(plan.name, "Tessaly-2026-12-08.tsy") << c.what;
        EXPECT_EQ(plan.prune, c.prune) << c.what;
    }
}

TEST(SaveLeftoversTest, OnlyTheDataFilesOwnTemporaryFiles) {
    const fs::path data = fs::path("docs") / "Tessaly.tsy";
    const std::vector<std::string> beside = {
        "Tessaly.tsy",
        "Tessaly.tsy.1234-5.saving",
        "TESSALY.TSY.77-1.SAVING",
        "Tessaly.tsy.recovery.88-2.saving",  // the editor's recovery file's
        "Work.tsy.1234-5.saving",            // another data file's save
        "Tessaly.tsy.saving",                // not a save's name
        "Tessaly.tsy.12a-5.saving",
        "Tessaly.tsy.1234-5.saving.txt",
        "notes.1234-5.saving",
        "Tessaly-2026-12-08.tsy.9-9.saving",  // a backup's, but not in Backups
    };
    EXPECT_EQ(SaveLeftovers(data, beside, false),
              (std::vector<std::string>{"Tessaly.tsy.1234-5.saving", "TESSALY.TSY.77-1.SAVING",
                                        "Tessaly.tsy.recovery.88-2.saving"}));
    const std::vector<std::string> inBackups = {
        "Tessaly-2026-12-08.tsy",
        "Tessaly-2026-12-08.tsy.9-9.saving",
        "Work-2026-12-08.tsy.9-9.saving",
        "Tessaly.tsy.1234-5.saving",
    };
    EXPECT_EQ(SaveLeftovers(data, inBackups, true),
              std::vector<std::string>{"Tessaly-2026-12-08.tsy.9-9.saving"});
}

// An in-memory folder tree with failures to order.
class FakeFiles : public BackupFiles {
  public:
    std::map<fs::path, std::string> files;
    std::set<fs::path> folders;
    std::map<fs::path, std::int64_t> ages;  // seconds; files not named here are new
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
    std::optional<std::int64_t> AgeInSeconds(const fs::path& f) override {
        if (!files.contains(f)) return std::nullopt;
        return ages.contains(f) ? ages.at(f) : 0;
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

// Two data files in one folder: each keeps its own backup of the day, whichever saves first.
TEST(KeepDailyBackupTest, TwoDataFilesInOneFolderEachKeepTheirOwn) {
    FakeFiles fake;
    const fs::path folder = fs::path("docs") / "Backups";
    fake.files[fs::path("docs") / "Tessaly.tsy"] = "home";
    fake.files[fs::path("docs") / "Work.tsy"] = "work";
    EXPECT_TRUE(KeepDailyBackup(fs::path("docs") / "Work.tsy", 20261208, fake).made);
    EXPECT_TRUE(KeepDailyBackup(fs::path("docs") / "Tessaly.tsy", 20261208, fake).made);
    EXPECT_FALSE(KeepDailyBackup(fs::path("docs") / "Work.tsy", 20261208, fake).made);
    EXPECT_EQ(fake.files.at(folder / "Work-2026-12-08.tsy"), "work");
    EXPECT_EQ(fake.files.at(folder / "Tessaly-2026-12-08.tsy"), "home");
}

// What a crashed save left goes once it is a day old; everything else stays as it is.
TEST(KeepDailyBackupTest, CrashLeftoversOlderThanADayGo) {
    FakeFiles fake;
    const fs::path docs("docs");
    const fs::path data = docs / "Tessaly.tsy";
    const std::int64_t day = kLeftoverAgeSeconds;
    fake.files[data] = "now";
    fake.folders.insert(docs / "Backups");
    const std::map<fs::path, std::int64_t> files = {
        {docs / "Tessaly.tsy.4711-1.saving", 2 * day},
        {docs / "Tessaly.tsy.4712-3.saving", day - 60},  // perhaps a save under way
        {docs / "Work.tsy.4711-2.saving", 2 * day},      // another data file's
        {docs / "notes.txt", 30 * day},
        {docs / "Backups" / "Tessaly-2026-12-01.tsy.4711-1.saving", 3 * day},
        {docs / "Backups" / "Work-2026-12-01.tsy.4711-1.saving", 3 * day},
    };
    for (const auto& [path, age] : files) {
        fake.files[path] = "x";
        fake.ages[path] = age;
    }
    const BackupResult r = KeepDailyBackup(data, 20261208, fake);
    EXPECT_TRUE(r.status) << r.status.message;
    EXPECT_EQ(r.leftoversRemoved,
              (std::vector<std::string>{"Tessaly.tsy.4711-1.saving",
                                        "Tessaly-2026-12-01.tsy.4711-1.saving"}));
    for (const auto& [path, age] : files) {
        const bool gone = path.filename() == "Tessaly.tsy.4711-1.saving" ||
                          path.filename() == "Tessaly-2026-12-01.tsy.4711-1.saving";
        EXPECT_EQ(fake.files.contains(path), !gone) << path;
    }
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

    // The next day, with a save's leftover from two days ago beside the data file.
    const fs::path leftover = dir / "Tessaly.tsy.99-1.saving";
    std::ofstream(leftover) << "half";
    fs::last_write_time(leftover, fs::file_time_type::clock::now() - std::chrono::hours(48));
#ifndef _WIN32
    // A private data file keeps private backups.
    fs::permissions(data, fs::perms::owner_read | fs::perms::owner_write);
#endif
    r = KeepDailyBackup(data, 20261209);
    EXPECT_TRUE(r.made);
    EXPECT_FALSE(fs::exists(leftover));
#ifndef _WIN32
    EXPECT_EQ(fs::status(dir / "Backups" / "Tessaly-2026-12-09.tsy").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
#endif
    fs::remove_all(dir);
}

}  // namespace
}  // namespace tessaly
