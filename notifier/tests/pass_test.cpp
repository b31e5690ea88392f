// The daily pass over a fake clock, store and pop-up.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "core/data_file.h"
#include "notifier/pass.h"
#include "notifier/tests/notifier_fixture.h"
#include "notifier/wait.h"

namespace tessaly {
namespace {

using testing::FakeClock;
using testing::MakeReminder;
using testing::MemoryStore;
using testing::ScriptedResponder;
using enum PopupAnswer;

constexpr DateKey kToday = 20261208;

ReminderData Lists(std::vector<Reminder> current, std::vector<Reminder> archive = {}) {
    return {ReminderList(std::move(current)), ReminderList(std::move(archive))};
}

std::vector<DateKey> Dates(const ReminderList& list) {
    std::vector<DateKey> out;
    for (const Reminder& r : list.entries()) out.push_back(r.date);
    return out;
}

struct PassTest : ::testing::Test {
    PassReport Run(ScriptedResponder& popup) { return RunPass(lists, store, clock, popup); }
    ReminderData lists;
    MemoryStore store;
    FakeClock clock{kToday};
};

TEST_F(PassTest, DueEntriesPopUpInListOrderAndRemindAgainKeepsThem) {
    store = MemoryStore(Lists({
        MakeReminder(kBirthday, "first", kToday, 1990, 0, kAnnual),
        MakeReminder(kAppointment, "second", kToday, 1430, 0),
        MakeReminder(kReminderKind, "five days off", 20261212, 0, 5),
        MakeReminder(kReminderKind, "not yet", 20261220, 0, 3),
        MakeReminder(kMeeting, "later but long notice", 20261230, 900, 30),
    }));
    ScriptedResponder popup;
    PassReport report = Run(popup);
    EXPECT_EQ(popup.Descriptions(), (std::vector<std::string>{"first", "second", "five days off",
                                                              "later but long notice"}));
    EXPECT_TRUE(report.saved);
    EXPECT_EQ(store.Label(), "1.00");
    EXPECT_EQ(store.Contents().current.count(), 5);

    // The next day they are all due again; the birthday now shows that it has passed.
    clock.now.date = 20261209;
    ScriptedResponder next;
    Run(next);
    EXPECT_EQ(next.Descriptions(),
              (std::vector<std::string>{"five days off", "later but long notice"}))
        << "the past birthday moved on to 2027 and the one-time appointment was archived";
    EXPECT_EQ(store.Contents().archive.count(), 1);
}

TEST_F(PassTest, FourDaysAheadWithFiveDaysNoticePopsUpDailyUntilTheDay) {
    store = MemoryStore(Lists({MakeReminder(kReminderKind, "r", 20261212, 0, 5)}));
    for (DateKey day = kToday; day <= 20261212; ++day) {
        clock.now.date = day;
        ScriptedResponder popup;
        Run(popup);
        ASSERT_EQ(popup.shown.size(), 1u) << day;
    }
}

TEST_F(PassTest, CloseCommandEndsThisPassButNotTheNext) {
    store = MemoryStore(
        Lists({MakeReminder(kReminderKind, "a", kToday), MakeReminder(kReminderKind, "b", kToday),
               MakeReminder(kReminderKind, "c", kToday)}));
    ScriptedResponder popup({kClose});
    PassReport report = Run(popup);
    EXPECT_TRUE(report.stopPopups);
    EXPECT_EQ(popup.shown.size(), 1u);
    EXPECT_EQ(store.Contents().current.count(), 3);

    ScriptedResponder next;
    EXPECT_FALSE(Run(next).stopPopups);
    EXPECT_EQ(next.Descriptions(), (std::vector<std::string>{"a", "b", "c"}));
}

TEST_F(PassTest, AcknowledgedWeeklyCopyWithinTheTestedEntriesPopsUpAgain) {
    store = MemoryStore(Lists({MakeReminder(kMeeting, "weekly", kToday, 1000, 7, kWeeklyPeriod, 1),
                               MakeReminder(kBirthday, "far", 20270601, 1990, 0, kAnnual)}));
    ScriptedResponder popup({kAcknowledge, kAcknowledge});
    PassReport report = Run(popup);
    // Entry 1 acknowledged inserts 15 December at position 3 (within n = 2 after the consumed
    // entry is counted), so it is tested and shown; its own copy lands beyond n.
    ASSERT_EQ(popup.shown.size(), 2u);
    EXPECT_EQ(popup.shown[1].date, 20261215);
    EXPECT_EQ(report.acknowledged, 2);
    const ReminderData saved = store.Contents();
    EXPECT_EQ(Dates(saved.current), (std::vector<DateKey>{20261222, 20270601}));
    EXPECT_EQ(Dates(saved.archive), (std::vector<DateKey>{kToday, 20261215}));
}

TEST_F(PassTest, PastOneTimeAppointmentIsArchivedAndWrittenBeforeAnyPopUp) {
    store = MemoryStore(Lists({MakeReminder(kAppointment, "yesterday", 20261207, 1000),
                               MakeReminder(kReminderKind, "today", kToday)}));
    ScriptedResponder popup;
    ReminderData atPopup;
    popup.onShow = [&](const Reminder&) { atPopup = store.Contents(); };
    Run(popup);
    ASSERT_EQ(popup.shown.size(), 1u);
    EXPECT_EQ(Dates(atPopup.archive), (std::vector<DateKey>{20261207}));
    EXPECT_EQ(store.Contents().current.count(), 1);
    EXPECT_EQ(store.Contents().archive.count(), 1) << "archived once, not twice";
}

TEST_F(PassTest, EditorSavingDuringAPopUpLosesNothing) {
    const Reminder weekly = MakeReminder(kMeeting, "weekly", kToday, 1000, 0, kWeeklyPeriod, 1);
    const Reminder dentist = MakeReminder(kAppointment, "dentist", kToday, 1430);
    const Reminder oldOne = MakeReminder(kReminderKind, "deleted in the editor", 20270101);
    store = MemoryStore(Lists({weekly, dentist, oldOne}));

    // While the first pop-up is open the editor saves: it adds a reminder and deletes one.
    const Reminder added =
        MakeReminder(kBirthday, "added in the editor", 20270301, 1980, 0, kAnnual);
    ScriptedResponder popup({kAcknowledge, kAcknowledge});
    popup.onShow = [&](const Reminder& r) {
        if (r == weekly) store = MemoryStore(Lists({weekly, dentist, added}));
    };
    PassReport report = Run(popup);

    EXPECT_TRUE(report.mergedOthers);
    EXPECT_TRUE(report.saved);
    const ReminderData saved = store.Contents();
    EXPECT_EQ(store.Label(), "1.00");
    EXPECT_EQ(Dates(saved.current), (std::vector<DateKey>{20261215, 20270301}));
    EXPECT_EQ(saved.current.at(2), added);
    ASSERT_EQ(saved.archive.count(), 2);
    EXPECT_EQ(saved.archive.at(1), weekly);
    EXPECT_EQ(saved.archive.at(2), dentist);
    EXPECT_EQ(lists, saved) << "the next pass goes on from what was written";
}

TEST_F(PassTest, AnEntryTheEditorChangedMeanwhileKeepsTheEditorsVersion) {
    const Reminder dentist = MakeReminder(kAppointment, "dentist", kToday, 1430);
    store = MemoryStore(Lists({dentist}));
    Reminder moved = dentist;
    moved.date = 20261210;
    ScriptedResponder popup({kAcknowledge});
    popup.onShow = [&](const Reminder&) { store = MemoryStore(Lists({moved})); };
    const std::vector<std::uint8_t> editorBytes = MemoryStore(Lists({moved})).bytes;
    Run(popup);
    EXPECT_EQ(store.bytes, editorBytes) << "nothing of ours applies, so the file is left alone";
}

TEST_F(PassTest, UnreadableFileIsNeverOverwritten) {
    // Lists carried over from an earlier pass.
    lists = Lists({MakeReminder(kReminderKind, "from memory", kToday)});
    store = MemoryStore(Lists({MakeReminder(kReminderKind, "on disk", 20270101)}));
    store.readable = false;
    ScriptedResponder popup({kAcknowledge});
    PassReport report = Run(popup);
    EXPECT_FALSE(report.loaded);
    EXPECT_EQ(popup.Descriptions(), (std::vector<std::string>{"from memory"}));
    EXPECT_EQ(store.writes, 0);
    EXPECT_EQ(lists.current.count(), 0) << "the acknowledged one-time entry is gone from memory";
}

TEST_F(PassTest, MissingFileBecomesTwelveBytes) {
    ScriptedResponder popup;
    PassReport report = Run(popup);
    EXPECT_TRUE(report.saved);
    EXPECT_EQ(store.bytes, (std::vector<std::uint8_t>{'1', '.', '0', '0', 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(popup.shown.empty());
}

TEST_F(PassTest, DamagedDataNeitherStopsThePassNorLosesEntries) {
    ReminderData d =
        Lists({MakeReminder(9, "odd kind", kToday, 1200), MakeReminder(kReminderKind, "x", kToday),
               MakeReminder(kMeeting, "bad month", 20271308, 1000, 0, kAnnual)});
    std::vector<std::uint8_t> bytes = EncodeReminderFile(d, kEditorLabel);
    bytes.resize(bytes.size() - 20);  // the last record and the archive count are cut off
    store.bytes = bytes;
    ScriptedResponder popup;
    Run(popup);
    EXPECT_EQ(popup.shown.size(), 2u);
    const ReminderData saved = store.Contents();
    ASSERT_EQ(saved.current.count(), 2);
    EXPECT_EQ(saved.current.at(1).kind, 9);
    // The cut-off record is kept, zero-filled where cut: its date of 0 makes it a past
    // one-time entry, so it moved to the archive.
    ASSERT_EQ(saved.archive.count(), 1);
    EXPECT_EQ(saved.archive.at(1).kind, kMeeting);
}

TEST_F(PassTest, NoCapacityLimit) {
    std::vector<Reminder> many;
    for (int i = 0; i < 500; ++i)
        many.push_back(MakeReminder(kReminderKind, std::to_string(i), kToday));
    store = MemoryStore(Lists(many));
    std::vector<PopupAnswer> script(500, kAcknowledge);
    ScriptedResponder popup(script);
    Run(popup);
    EXPECT_EQ(popup.shown.size(), 500u);
    EXPECT_EQ(store.Contents().current.count(), 0);
    EXPECT_EQ(store.Contents().archive.count(), 500);
}

TEST_F(PassTest, APopUpAnsweredAfterMidnightActsOnTheNewDay) {
    store =
        MemoryStore(Lists({MakeReminder(kMeeting, "weekly", kToday, 1000, 0, kWeeklyPeriod, 1)}));
    ScriptedResponder popup({kAcknowledge});
    popup.onShow = [&](const Reminder&) { clock.now = {20261209, 0, 5, 0}; };
    PassReport report = Run(popup);
    EXPECT_EQ(report.began, kToday);
    // The acknowledgement was made on the new day. (That day's own pass follows at once:
    // CatchUpTest.APassEndingOnALaterDayIsFollowedByThatDaysPass.)
    EXPECT_EQ(Dates(store.Contents().current), (std::vector<DateKey>{20261215}));
}

TEST_F(PassTest, TheDaysBackupComesBeforeTheFirstSaveAndNeverBlocksIt) {
    store = MemoryStore(Lists({MakeReminder(kAppointment, "Dentist", kToday, 1430)}));
    ScriptedResponder popup({kAcknowledge});
    PassReport report = Run(popup);
    EXPECT_EQ(store.backupDays, std::vector<DateKey>{kToday});
    EXPECT_EQ(store.writesBeforeBackup, std::vector<int>{0});
    EXPECT_EQ(report.backupProblem, "");

    store.backupFails = true;
    report = Run(popup);
    EXPECT_EQ(report.backupProblem, "backup not made: disk full");
    EXPECT_TRUE(report.saved);

    store.readable = false;  // nothing is written, so nothing is backed up
    Run(popup);
    EXPECT_EQ(store.backupDays.size(), 2u);
}

// A failed backup is told once a day, after the pass, with the reason.
TEST_F(PassTest, AFailedBackupIsToldOnceADay) {
    BackupNotice notice;
    ScriptedResponder popup;
    EXPECT_EQ(notice.After(Run(popup)), std::nullopt) << "a backup that worked";
    store.backupFails = true;
    const std::optional<std::string> told = notice.After(Run(popup));
    ASSERT_TRUE(told);
    EXPECT_NE(told->find("backup not made: disk full"), std::string::npos) << *told;
    EXPECT_EQ(notice.After(Run(popup)), std::nullopt) << "a second pass the same day";
    clock.now.date = 20261209;
    EXPECT_TRUE(notice.After(Run(popup))) << "the next day, still failing";
    store.backupFails = false;
    clock.now.date = 20261210;
    EXPECT_EQ(notice.After(Run(popup)), std::nullopt);
}

TEST(FileStorePass, MissingFolderIsNeitherCreatedNorWritten) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() /
        ("tessaly-notifier-" +
         std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    std::filesystem::remove_all(dir);
    FileStore store(dir / "Quorvane" / "Tessaly.tsy");
    FakeClock clock(kToday);
    ScriptedResponder popup;
    ReminderData lists;
    const PassReport report = RunPass(lists, store, clock, popup);
    EXPECT_FALSE(report.loaded);
    EXPECT_FALSE(std::filesystem::exists(dir));

    // With the folder there, a missing file is created and written as two empty lists.
    std::filesystem::create_directories(dir / "Quorvane");
    EXPECT_TRUE(RunPass(lists, store, clock, popup).saved);
    EXPECT_EQ(std::filesystem::file_size(dir / "Quorvane" / "Tessaly.tsy"), 12u);
    EXPECT_FALSE(std::filesystem::exists(dir / "Quorvane" / "Backups")) << "nothing to keep";

    // The next day's first pass keeps the twelve bytes.
    clock.now.date = 20261209;
    EXPECT_TRUE(RunPass(lists, store, clock, popup).saved);
    EXPECT_EQ(std::filesystem::file_size(dir / "Quorvane" / "Backups" / "Tessaly-2026-12-09.tsy"),
              12u);
    std::filesystem::remove_all(dir);
}

TEST(Wait, SecondsUntilJustAfterMidnight) {
    struct {
        int h, m, s, seconds;
    } cases[] = {
        {21, 30, 15, 9025},  // ends 00:00:40
        {0, 0, 0, 86410},    // a whole day and 10 seconds
        {23, 59, 59, 129},   // 1 second to midnight, ends at 00:02:08
        {12, 0, 30, 43240},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SecondsUntilAfterMidnight(c.h, c.m, c.s), c.seconds) << c.h << ":" << c.m;
        const int after = c.seconds - (3600 * (23 - c.h) + 60 * (59 - c.m) + (60 - c.s));
        EXPECT_GE(after, 10);
        EXPECT_LE(after, 128);
    }
}

}  // namespace
}  // namespace tessaly
