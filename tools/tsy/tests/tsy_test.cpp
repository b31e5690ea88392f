// tsy end to end, in-process: each command's output, exit status and message, and that a
// rejected command leaves the file byte for byte as it was.
#include "tools/tsy/tsy.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "core/data_file.h"
#include "core/tests/test_reminders.h"

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

namespace tessaly {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

constexpr DateKey kSystemToday = 20261208;  // a Tuesday

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}
Bytes Blanks(size_t n) {
    return Bytes(n, 0x20);
}

// "3.03", one appointment on 25 December 2026 at 2:30 pm, one archived birthday whose
// description needs escaping and holds bytes outside ASCII, among them an unassigned one.
const Bytes kGolden = Cat({
    {0x33, 0x2e, 0x30, 0x33, 0x01, 0x00, 0x00, 0x00},
    {0x04, 0x44, 0x65, 0x6e, 0x74, 0x69, 0x73, 0x74},
    Blanks(41),
    {0x69, 0x29, 0x35, 0x01, 0x96, 0x05, 0x03, 0x01, 0x01},
    {0x01, 0x00, 0x00, 0x00},
    {0x01, 0x41, 0x6e, 0x6e, 0x20, 0x22, 0x51, 0x22, 0x20, 0x5c, 0x20, 0xe9, 0x80, 0x81, 0x09},
    Blanks(34),
    {0x51, 0x29, 0x35, 0x01, 0xc6, 0x07, 0x00, 0x01, 0x02},
});

const std::string kGoldenJson =
    "{\"version\":\"3.03\",\"current\":[{\"kind\":4,\"description\":\"Dentist" +
    std::string(41, ' ') +
    "\",\"date\":20261225,\"timeOrYear\":1430,\"notifyDays\":3,\"period\":1,\"frequency\":1}],"
    "\"archive\":[{\"kind\":1,\"description\":\"Ann \\\"Q\\\" \\\\ "
    "\xc3\xa9\xe2\x82\xac\\u0081\\u0009" +
    std::string(34, ' ') +
    "\",\"date\":20261201,\"timeOrYear\":1990,\"notifyDays\":0,\"period\":1,\"frequency\":2}]}\n";

class TsyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        static std::atomic<int> serial{0};
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() /
               ("tsy_test_" + std::string(info->name()) + "_" + std::to_string(serial++));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        file_ = (dir_ / "Tessaly.tsy").string();
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    Outcome Run(std::vector<std::string> args) {
        std::ostringstream out, err;
        const int status = RunTsy(args, out, err, kSystemToday);
        return {status, out.str(), err.str()};
    }

    void Write(const Bytes& bytes) {
        std::ofstream f(file_, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(bytes.data()),
                static_cast<std::streamsize>(bytes.size()));
    }
    Bytes Read() const {
        std::ifstream f(file_, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    }
    ReminderData Decoded() const { return DecodeReminderFile(Read()); }
    std::string Label() const {
        const Bytes b = Read();
        return std::string(b.begin(), b.begin() + std::min<size_t>(4, b.size()));
    }

    fs::path dir_;
    std::string file_;
};

using testing::MakeReminder;

Bytes Encoded(std::vector<Reminder> current, std::vector<Reminder> archive = {},
              std::string_view label = kEditorLabel) {
    return EncodeReminderFile({ReminderList(std::move(current)), ReminderList(std::move(archive))},
                              label);
}

TEST_F(TsyTest, DumpPrintsTheGoldenFileAndLeavesItAlone) {
    Write(kGolden);
    const Outcome o = Run({"dump", file_});
    EXPECT_EQ(o.status, kTsyOk) << o.err;
    EXPECT_EQ(o.out, kGoldenJson);
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(Read(), kGolden);
}

TEST_F(TsyTest, DumpOfShortAndEmptyFiles) {
    Write({});
    EXPECT_EQ(Run({"dump", file_}).out, "{\"version\":\"\",\"current\":[],\"archive\":[]}\n");
    Write({0x31, 0x2e, 0x30, 0x30, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
    EXPECT_EQ(Run({"dump", file_}).out, "{\"version\":\"1.00\",\"current\":[],\"archive\":[]}\n");
}

// A data file made read-only (a copy kept for reference) is shown as it is and stays so.
TEST_F(TsyTest, DumpReadsAReadOnlyFile) {
    Write(kGolden);
    const auto writable = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    fs::permissions(file_, writable, fs::perm_options::remove);
    const Outcome o = Run({"dump", file_});
    const bool stillReadOnly = (fs::status(file_).permissions() & writable) == fs::perms::none;
    fs::permissions(file_, fs::perms::owner_write, fs::perm_options::add);  // so it can be removed
    EXPECT_EQ(o.status, kTsyOk) << o.err;
    EXPECT_EQ(o.out, kGoldenJson);
    EXPECT_TRUE(stillReadOnly);
}

TEST_F(TsyTest, DumpOfAMissingFileFailsWithoutCreatingIt) {
    const Outcome o = Run({"dump", file_});
    EXPECT_EQ(o.status, kTsyFileError);
    EXPECT_NE(o.err.find("Tessaly.tsy"), std::string::npos) << o.err;
    EXPECT_EQ(o.out, "");
    EXPECT_FALSE(fs::exists(file_));
}

TEST_F(TsyTest, UsageErrors) {
    Write(kGolden);
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"frobnicate", file_},
        {"dump"},
        {"dump", file_, "extra"},
        {"dump", file_, "--today", "2026-12-08"},
        {"rollover", file_, "--today"},
        {"rollover", file_, "--today", "2026-12-08", "--today", "2026-12-09"},
        {"rollover", file_, "--today", "12-08-2026"},
        {"due", file_, "--today", "2026-02-30"},
        {"acknowledge", file_},
        {"acknowledge", file_, "one", "--today", "2026-12-08"},
        {"add", file_, "--kind", "meeting", "--description", "x", "--date", "12-25-2026"},
        {"add", file_, "--kind", "meeting", "--description", "x", "--date", "12-25-2026",
         "--notify", "1", "--time", "1 pm", "--frequency", "6"},
        {"add", file_, "--kind", "meeting", "--colour", "red"},
    };
    for (const auto& args : cases) {
        const Outcome o = Run(args);
        std::string shown;
        for (const auto& a : args) shown += a + " ";
        EXPECT_EQ(o.status, kTsyBadInput) << shown;
        EXPECT_FALSE(o.err.empty()) << shown;
        EXPECT_EQ(o.out, "") << shown;
        EXPECT_EQ(Read(), kGolden) << shown;
    }
    EXPECT_EQ(Run({"--help"}).status, kTsyOk);
}

std::vector<std::string> AddArgs(const std::string& file, std::vector<std::string> more) {
    std::vector<std::string> args = {"add", file, "--today", "2026-12-08"};
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

TEST_F(TsyTest, AddCreatesTheFileAndRoundTripsANonAsciiDescription) {
    // "Café – 5€ 日本": the dash and the euro exist in Windows-1252, the two CJK characters not.
    const Outcome o =
        Run(AddArgs(file_, {"--kind", "appointment", "--description",
                            "Caf\xc3\xa9 \xe2\x80\x93 5\xe2\x82\xac \xe6\x97\xa5\xe6\x9c\xac",
                            "--date", "12/25/26", "--time", "2:30 pm", "--notify", "3"}));
    ASSERT_EQ(o.status, kTsyOk) << o.err;
    EXPECT_EQ(o.out, "1\n");
    EXPECT_EQ(Read().size(), 12u + 58u);
    EXPECT_EQ(Label(), "3.03");
    const Reminder stored = Decoded().current.at(1);
    EXPECT_EQ(stored.Description().substr(0, 12), "Caf\xe9 \x96 5\x80 ??");

    const Outcome dump = Run({"dump", file_});
    EXPECT_EQ(dump.out,
              "{\"version\":\"3.03\",\"current\":[{\"kind\":4,\"description\":\"Caf\xc3\xa9 "
              "\xe2\x80\x93 5\xe2\x82\xac ??" +
                  std::string(36, ' ') +
                  "\",\"date\":20261225,\"timeOrYear\":1430,\"notifyDays\":3,"
                  "\"period\":1,\"frequency\":1}],\"archive\":[]}\n");
}

TEST_F(TsyTest, AddInsertsByDateAndPrintsThePosition) {
    const auto add = [&](const char* date) {
        return Run(AddArgs(file_, {"--kind", "reminder", "--description", date, "--date", date,
                                   "--notify", "0"}))
            .out;
    };
    EXPECT_EQ(add("12-25-2026"), "1\n");
    EXPECT_EQ(add("12-20-2026"), "1\n");
    EXPECT_EQ(add("12-25-2026"), "3\n");  // after the entry of the same date
    EXPECT_EQ(add("1-2-2027"), "4\n");
    const ReminderData data = Decoded();
    ASSERT_EQ(data.current.count(), 4);
    EXPECT_EQ(data.current.at(2).date, 20261225);
    EXPECT_EQ(data.current.at(3).date, 20261225);
}

// --date takes tsy's own YYYY-MM-DD like every other option, and the form's formats as before;
// a date in either is checked by the form's rule with its message.
TEST_F(TsyTest, AddTakesIsoDatesAndTheFormsOwn) {
    struct Case {
        std::string date;
        DateKey stored;  // 0: refused
        std::string message;
    };
    const Case cases[] = {
        {"2027-01-02", 20270102, ""},
        {"2027-1-2", 20270102, ""},
        {"2026-12-08", 20261208, ""},  // today
        {"01-02-2027", 20270102, ""},
        {"1/2/27", 20270102, ""},
        {"2027-02-30", 0, "Incorrect day specified (must be after today)"},
        {"2026-12-07", 0, "Incorrect day specified (must be after today)"},
        {"2027-13-01", 0, "Month out of range"},
        {"2101-01-01", 0, "year Must be this 21st century"},
    };
    for (const Case& c : cases) {
        fs::remove(file_);
        const Outcome o = Run(AddArgs(file_, {"--kind", "reminder", "--description", "d", "--date",
                                              c.date, "--notify", "0"}));
        if (c.stored == 0) {
            EXPECT_EQ(o.status, kTsyBadInput) << c.date;
            EXPECT_EQ(o.err, c.message + "\n") << c.date;
            EXPECT_FALSE(fs::exists(file_)) << c.date;
            continue;
        }
        ASSERT_EQ(o.status, kTsyOk) << c.date << ": " << o.err;
        EXPECT_EQ(Decoded().current.at(1).date, c.stored) << c.date;
    }
    // The help says which formats each option takes, the kinds and the frequency numbers.
    const Outcome help = Run({"--help"});
    for (const char* part :
         {"--date DATE         YYYY-MM-DD, or as typed in the editor's form",
          "--today DATE        YYYY-MM-DD",
          "1 birthday, 2 anniversary, 3 reminder, 4 appointment, 5 meeting",
          "1 One time, 2 Annual, 3 Monthly period", "5 Weekday months", "--next-only"}) {
        EXPECT_NE(help.out.find(part), std::string::npos) << part;
    }
}

TEST_F(TsyTest, AddKeepsControlCharactersOut) {
    const Outcome o = Run(AddArgs(
        file_, {"--kind", "reminder", "--description", std::string("two\nlines\x01\x7f\xc2\x85!"),
                "--date", "2027-01-02", "--notify", "0"}));
    ASSERT_EQ(o.status, kTsyOk) << o.err;
    EXPECT_EQ(Decoded().current.at(1).Description().substr(0, 10), "two lines!");
}

TEST_F(TsyTest, AddDefaultsFollowTheKind) {
    struct Case {
        std::vector<std::string> args;
        int kind;
        int timeOrYear;
        int frequency;
        int period;
    };
    const std::vector<Case> cases = {
        {{"--kind", "Birthday", "--time", "1990"}, 1, 1990, 2, 1},
        {{"--kind", "anniversary"}, 2, 0, 2, 1},
        {{"--kind", "meeting", "--time", "12:00 am"}, 5, 2400, 1, 1},
        {{"--kind", "appointment", "--time", "9 am", "--frequency", "4", "--period", "2"},
         4,
         900,
         4,
         2},
        {{"--kind", "reminder", "--period", "0", "--frequency", "3"}, 3, 0, 3, 1},
        // A kind's number stands for its name.
        {{"--kind", "4", "--time", "9 am"}, 4, 900, 1, 1},
        {{"--kind", "1", "--time", "1990"}, 1, 1990, 2, 1},
    };
    for (const Case& c : cases) {
        fs::remove(file_);
        std::vector<std::string> more = {"--description", "d",        "--date",
                                         "12-31-2026",    "--notify", "2"};
        more.insert(more.end(), c.args.begin(), c.args.end());
        const Outcome o = Run(AddArgs(file_, more));
        ASSERT_EQ(o.status, kTsyOk) << c.args[1] << ": " << o.err;
        const Reminder r = Decoded().current.at(1);
        EXPECT_EQ(r.kind, c.kind) << c.args[1];
        EXPECT_EQ(r.timeOrYear, c.timeOrYear) << c.args[1];
        EXPECT_EQ(r.frequency, c.frequency) << c.args[1];
        EXPECT_EQ(r.period, c.period) << c.args[1];
    }
}

TEST_F(TsyTest, AddRejectsWithTheFormMessagesAndTouchesNothing) {
    struct Case {
        std::vector<std::string> args;
        const char* message;
    };
    const std::vector<Case> cases = {
        // Every row also breaks the checks after its own; the first one reports.
        {{"--date", "13-01-2027", "--notify", "31", "--time", "13:00 pm", "--description", ""},
         "Month out of range\n"},
        {{"--date", "12-07-2026", "--notify", "3", "--time", "1 pm", "--description", "d"},
         "Incorrect day specified (must be after today)\n"},
        {{"--date", "1-1-2101", "--notify", "3", "--time", "1 pm", "--description", "d"},
         "year Must be this 21st century\n"},
        {{"--date", "12-25-2026", "--notify", "31", "--time", "13:00 pm", "--description", ""},
         "Maximum of 30 days\n"},
        {{"--date", "12-25-2026", "--notify", "30", "--time", "13:00 pm", "--description", ""},
         "Bad time format\n"},
        {{"--date", "12-25-2026", "--notify", "30", "--time", "1 pm", "--description", ""},
         "Must fill all fields\n"},
        {{"--date", "12-25-2026", "--notify", "", "--time", "1 pm", "--description", "d"},
         "Must fill all fields\n"},
        {{"--date", "12-25-2026", "--notify", "3", "--time", "9:30", "--description", "d"},
         "Must fill all fields\n... and time must include am or pm\n"},
        {{"--date", "12-25-2026", "--notify", "3", "--time", "9:30 PM", "--description", "d"},
         "Must fill all fields\n... and time must include am or pm\n"},
    };
    for (bool existing : {true, false}) {
        if (existing)
            Write(kGolden);
        else
            fs::remove(file_);
        for (const Case& c : cases) {
            std::vector<std::string> more = {"--kind", "appointment"};
            more.insert(more.end(), c.args.begin(), c.args.end());
            const Outcome o = Run(AddArgs(file_, more));
            EXPECT_EQ(o.status, kTsyBadInput) << c.message;
            EXPECT_EQ(o.err, c.message);
            EXPECT_EQ(o.out, "");
            if (existing)
                EXPECT_EQ(Read(), kGolden) << c.message;
            else
                EXPECT_FALSE(fs::exists(file_)) << c.message;
        }
    }
}

// Mend: a kind that names none (or a number outside 1..5) and a year of origin outside
// 1800..this year are refused, as in the editor, instead of being stored as kind 0 or year 2.
TEST_F(TsyTest, AddRefusesAKindThatNamesNoneAndAYearThatIsNone) {
    const std::string unknownKind =
        "Unknown event kind\nThe event must be birthday, anniversary, reminder, appointment or "
        "meeting\n";
    const std::string badYear = "Bad year\nThe year must be from 1800 to 2026, or empty\n";
    struct Case {
        std::string kind, time, message;
    };
    const std::vector<Case> cases = {
        {"party", "1 pm", unknownKind}, {"9", "1 pm", unknownKind},
        {"0", "1 pm", unknownKind},     {"app", "1 pm", unknownKind},
        {"4x", "1 pm", unknownKind},    {"birthday", "2:30 pm", badYear},
        {"1", "3000", badYear},         {"anniversary", "2", badYear},
    };
    Write(kGolden);
    for (const Case& c : cases) {
        const Outcome o = Run(AddArgs(file_, {"--kind", c.kind, "--time", c.time, "--description",
                                              "d", "--date", "12-25-2026", "--notify", "3"}));
        EXPECT_EQ(o.status, kTsyBadInput) << c.kind;
        EXPECT_EQ(o.err, c.message) << c.kind;
        EXPECT_EQ(Read(), kGolden) << c.kind;
    }
}

TEST_F(TsyTest, RolloverArchivesAdvancesAndSavesAsTheEditor) {
    Write(
        Encoded({MakeReminder(1, "x", 20261130, 1990, 0, 2),  // past annual birthday
                 MakeReminder(4, "x", 20261201, 930, 0, 1),   // past one-time appointment: archived
                 MakeReminder(5, "x", 20261201, 1000, 0, 4),  // weekly meeting, passes today's date
                 MakeReminder(3, "x", 20261220, 0, 0, 1)},    // still to come
                {MakeReminder(3, "x", 20261107, 0, 0, 1),     // older than a month: pruned
                 MakeReminder(3, "x", 20261108, 0, 0, 1)},    // exactly the cut-off: kept
                kNotifierLabel));
    const Outcome o = Run({"rollover", file_, "--today", "2026-12-08"});
    ASSERT_EQ(o.status, kTsyOk) << o.err;
    EXPECT_EQ(Label(), "3.03");
    const ReminderData data = Decoded();
    ASSERT_EQ(data.current.count(), 3);
    EXPECT_EQ(data.current.at(1).date, 20261215);  // weekly, the occurrence of today passed over
    EXPECT_EQ(data.current.at(2).date, 20261220);
    EXPECT_EQ(data.current.at(3).date, 20271130);
    ASSERT_EQ(data.archive.count(), 2);
    EXPECT_EQ(data.archive.at(1).date, 20261108);
    EXPECT_EQ(data.archive.at(2).date, 20261201);
    EXPECT_EQ(data.archive.at(2).kind, 4);
}

TEST_F(TsyTest, RolloverOfAMissingFileFails) {
    const Outcome o = Run({"rollover", file_, "--today", "2026-12-08"});
    EXPECT_EQ(o.status, kTsyFileError);
    EXPECT_FALSE(o.err.empty());
    EXPECT_FALSE(fs::exists(file_));
}

TEST_F(TsyTest, DueListsThePopupsAfterAnInMemoryRollover) {
    const Bytes before = Encoded({
        MakeReminder(4, "x", 20261201, 930, 0,
                     1),  // past: rolled away, so numbering starts after it
        MakeReminder(4, "Dentist", 20261208, 1430, 0, 1),
        MakeReminder(5, "Board", 20261208, 1000, 0, 5),  // second Tuesday, today
        MakeReminder(5, "x", 20261210, 1000, 1, 1),  // 2 days ahead, 1 day's notice: not yet due
        MakeReminder(1, "Ann", 20261220, 1990, 14, 2),
    });
    Write(before);
    const Outcome o = Run({"due", file_, "--today", "2026-12-08"});
    ASSERT_EQ(o.status, kTsyOk) << o.err;
    EXPECT_EQ(o.out, "{\"index\":1,\"title\":\"Appointment\",\"description\":\"Dentist" +
                         std::string(41, ' ') +
                         "\",\"dateLine\":\"Tuesday, December 8         ...This is the day!\","
                         "\"timeLine\":\"Appointment time:  2:30 pm\"}\n"
                         "{\"index\":2,\"title\":\"Meeting\",\"description\":\"Board" +
                         std::string(43, ' ') +
                         "\",\"dateLine\":\"Second Tuesday         ...This is the day!\","
                         "\"timeLine\":\"Meeting time:  10:00 am\"}\n"
                         "{\"index\":4,\"title\":\"36th Birthday\",\"description\":\"Ann" +
                         std::string(45, ' ') +
                         "\",\"dateLine\":\"Sunday, December 20         ...12 more days\","
                         "\"timeLine\":\"\"}\n");
    EXPECT_EQ(Read(), before);
}

TEST_F(TsyTest, AcknowledgeArchivesAdvancesAndSavesAsTheNotifier) {
    Write(Encoded({MakeReminder(5, "Weekly", 20261209, 1000, 7, 4),
                   MakeReminder(4, "Later", 20261225, 1430, 3, 1)}));
    const Outcome o = Run({"acknowledge", file_, "1", "--today", "2026-12-08"});
    ASSERT_EQ(o.status, kTsyOk) << o.err;
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(Label(), "1.00");
    const ReminderData data = Decoded();
    ASSERT_EQ(data.current.count(), 2);
    EXPECT_EQ(data.current.at(1).date, 20261216);
    EXPECT_EQ(data.current.at(1).Description().substr(0, 6), "Weekly");
    EXPECT_EQ(data.current.at(2).date, 20261225);
    ASSERT_EQ(data.archive.count(), 1);
    EXPECT_EQ(data.archive.at(1).date, 20261209);
}

TEST_F(TsyTest, AcknowledgeRejectsAnEntryThatIsNotDue) {
    const Bytes before = Encoded({MakeReminder(4, "x", 20261225, 1430, 3, 1)});
    Write(before);
    for (const char* index : {"1", "2", "0", "-1", "x"}) {
        const Outcome o = Run({"acknowledge", file_, index, "--today", "2026-12-08"});
        EXPECT_EQ(o.status, kTsyBadInput) << index;
        EXPECT_FALSE(o.err.empty()) << index;
        EXPECT_EQ(Read(), before) << index;
    }
}

TEST_F(TsyTest, AddToAFolderThatDoesNotExistFails) {
    const std::string file = (dir_ / "missing" / "Tessaly.tsy").string();
    const Outcome o = Run(AddArgs(file, {"--kind", "reminder", "--description", "d", "--date",
                                         "12-25-2026", "--notify", "1"}));
    EXPECT_EQ(o.status, kTsyFileError);
    EXPECT_NE(o.err.find("Tessaly.tsy"), std::string::npos) << o.err;
    EXPECT_EQ(o.out, "");
    EXPECT_FALSE(fs::exists(dir_ / "missing"));
}

#ifndef _WIN32
// A save that cannot be written (here: no room for even one record) fails with status 1 and
// leaves the old file whole. Run in a child, since the limit binds the whole process.
TEST_F(TsyTest, SaveThatCannotBeWrittenFailsAndKeepsTheOldFile) {
    Write(kGolden);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit small{16, 16};
        setrlimit(RLIMIT_FSIZE, &small);
        std::ostringstream out, err;
        const std::vector<std::string> args = {"rollover", file_, "--today", "2026-12-08"};
        const int status = RunTsy(args, out, err, kSystemToday);
        _exit(status == kTsyFileError && err.str().find("Tessaly.tsy") != std::string::npos ? 0
                                                                                            : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(Read(), kGolden);
    // Neither the save nor the day's backup leaves a partial file behind.
    for (const auto& e : fs::recursive_directory_iterator(dir_)) {
        EXPECT_TRUE(e.path().filename() == "Tessaly.tsy" || e.path().filename() == "Backups")
            << e.path();
    }
}
#endif

TEST_F(TsyTest, EverySaveKeepsTheDaysFirstBackupAndBackupsListsThem) {
    auto add = [&](const char* today, const char* text) {
        return Run({"add", file_, "--today", today, "--kind", "reminder", "--description", text,
                    "--date", "12-31-2026", "--notify", "0"});
    };
    EXPECT_EQ(Run({"backups", file_}).out, "");
    ASSERT_EQ(add("2026-12-08", "one").status, kTsyOk);  // creates the file: nothing to keep
    EXPECT_FALSE(fs::exists(dir_ / "Backups"));
    ASSERT_EQ(add("2026-12-08", "two").status, kTsyOk);  // keeps the one-reminder file
    ASSERT_EQ(add("2026-12-08", "three").status, kTsyOk);
    ASSERT_EQ(Run({"rollover", file_, "--today", "2026-12-09"}).status, kTsyOk);
    ASSERT_EQ(add("2026-12-09", "four").status, kTsyOk);

    const Outcome listed = Run({"backups", file_});
    EXPECT_EQ(listed.status, kTsyOk);
    EXPECT_EQ(listed.out,
              "Tessaly-2026-12-08.tsy: 1 current, 0 archived\n"
              "Tessaly-2026-12-09.tsy: 3 current, 0 archived\n");
    EXPECT_EQ(listed.err, "");

    // A backup that cannot be made is reported; the save itself goes ahead.
    fs::remove_all(dir_ / "Backups");
    Write(Encoded({}));
    std::ofstream(dir_ / "Backups") << "in the way";
    const Outcome blocked = add("2026-12-10", "five");
    EXPECT_EQ(blocked.status, kTsyOk);
    EXPECT_NE(blocked.err.find("backup not made"), std::string::npos) << blocked.err;
    EXPECT_EQ(Decoded().current.count(), 1);
}

// The day's alerts as JSON lines, in the order they go off: a weekly meeting stored last week
// recurs today, an archived copy of an acknowledged appointment still alerts, an event just
// after midnight alerts the evening before. Nothing is written.
TEST_F(TsyTest, AlertsPrintsTheDaysScheduleAndLeavesTheFileAlone) {
    const Bytes before = Encoded(
        {
            MakeReminder(5, "Board \"A\" \x80", 20261201, 1000, 0, 4),
            MakeReminder(4, "No time is no alert", 20261208, 0),
            MakeReminder(1, "Ann", 20261208, 1990, 0, 2),
            MakeReminder(5, "Late", 20261209, 2410),
            MakeReminder(5, "Tomorrow", 20261209, 900),
        },
        {MakeReminder(4, "Dentist", 20261208, 1430)});
    Write(before);
    const std::string board = "\"Board \\\"A\\\" \xe2\x82\xac" + std::string(37, ' ') + "\"";
    const Outcome o = Run({"alerts", file_, "--today", "2026-12-08"});
    ASSERT_EQ(o.status, kTsyOk) << o.err;
    EXPECT_EQ(o.out,
              "{\"alert\":\"2026-12-08T09:45\",\"event\":\"2026-12-08T10:00\",\"list\":"
              "\"current\",\"index\":1,\"kind\":5,\"description\":" +
                  board +
                  "}\n"
                  "{\"alert\":\"2026-12-08T14:15\",\"event\":\"2026-12-08T14:30\",\"list\":"
                  "\"archive\",\"index\":1,\"kind\":4,\"description\":\"Dentist" +
                  std::string(41, ' ') +
                  "\"}\n"
                  "{\"alert\":\"2026-12-08T23:55\",\"event\":\"2026-12-09T00:10\",\"list\":"
                  "\"current\",\"index\":4,\"kind\":5,\"description\":\"Late" +
                  std::string(44, ' ') + "\"}\n");
    EXPECT_EQ(o.err, "");

    const Outcome lead = Run({"alerts", file_, "--today", "2026-12-09", "--minutes", "120"});
    ASSERT_EQ(lead.status, kTsyOk) << lead.err;
    EXPECT_EQ(lead.out,
              "{\"alert\":\"2026-12-09T07:00\",\"event\":\"2026-12-09T09:00\",\"list\":"
              "\"current\",\"index\":5,\"kind\":5,\"description\":\"Tomorrow" +
                  std::string(40, ' ') + "\"}\n");
    EXPECT_EQ(Run({"alerts", file_, "--today", "2026-12-08", "--minutes", "0"}).out, "");
    // Without --today the system's date (here 8 December 2026) and 15 minutes.
    EXPECT_EQ(Run({"alerts", file_}).out, o.out);
    EXPECT_EQ(Read(), before);
}

TEST_F(TsyTest, AlertsRefusesABadLeadOrDayAndAMissingFile) {
    Write(Encoded({MakeReminder(5, "x", 20261208, 1000)}));
    for (const char* minutes : {"121", "-1", "abc", "", "15m", "1.5"}) {
        const Outcome o = Run({"alerts", file_, "--minutes", minutes});
        EXPECT_EQ(o.status, kTsyBadInput) << minutes;
        EXPECT_EQ(o.out, "");
        EXPECT_EQ(o.err,
                  std::string("tsy alerts: --minutes must be a whole number from 0 to 120 (0 "
                              "turns alerts off): ") +
                      minutes + "\n");
    }
    EXPECT_EQ(Run({"alerts", file_, "--today", "2026-02-30"}).status, kTsyBadInput);
    EXPECT_EQ(Run({"alerts", file_, "--hours", "1"}).status, kTsyBadInput);

    const Outcome missing = Run({"alerts", (dir_ / "none.tsy").string()});
    EXPECT_EQ(missing.status, kTsyFileError);
    EXPECT_FALSE(fs::exists(dir_ / "none.tsy"));
}

TEST(JsonString, EscapesQuotesBackslashesAndControls) {
    EXPECT_EQ(JsonString(""), "\"\"");
    EXPECT_EQ(JsonString("a\"b\\c/"), "\"a\\\"b\\\\c/\"");
    EXPECT_EQ(JsonString(std::string("\n\t\x01\x1f\x7f", 5)),
              "\"\\u000a\\u0009\\u0001\\u001f\\u007f\"");
    EXPECT_EQ(JsonString(std::string("\0", 1)), "\"\\u0000\"");
    EXPECT_EQ(JsonString("\xc2\x85\xc2\xa0\xc3\xa9\xe2\x82\xac"),
              "\"\\u0085\xc2\xa0\xc3\xa9\xe2\x82\xac\"");
}

}  // namespace
}  // namespace tessaly
