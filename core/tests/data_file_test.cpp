// The data file's bytes: golden layout, damaged files, atomic saves.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/data_file.h"
#include "core/tests/test_reminders.h"

namespace tessaly {
namespace {

using testing::Make;
using testing::MakeReminder;
using Bytes = std::vector<std::uint8_t>;

void PutInt(Bytes& b, std::int32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i)));
}

Bytes ReadFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::filesystem::path& p, const Bytes& b) {
    std::ofstream out(p, std::ios::binary);
    out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

TEST(ReminderRecordTest, GoldenBytes) {
    Reminder r;
    r.kind = kAppointment;
    r.SetDescription("Dentist");
    r.date = 20261225;  // 0x01352969
    r.timeOrYear = 1430;
    r.notifyDays = 3;
    r.period = 2;
    r.frequency = kWeeklyPeriod;
    std::uint8_t out[kReminderBytes];
    EncodeReminder(r, out);
    EXPECT_EQ(out[0], 4);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out + 1), 7), "Dentist");
    EXPECT_EQ(out[8], ' ');
    EXPECT_EQ(out[48], ' ');
    const std::uint8_t tail[] = {0x69, 0x29, 0x35, 0x01, 0x96, 0x05, 3, 2, 4};
    EXPECT_TRUE(std::equal(std::begin(tail), std::end(tail), out + 49));
    EXPECT_EQ(DecodeReminder(out), r);

    r.timeOrYear = -2;  // signed fields survive the trip
    r.date = -20261225;
    EncodeReminder(r, out);
    EXPECT_EQ(DecodeReminder(out), r);
}

TEST(ReminderRecordTest, DescriptionIsCutOrPadded) {
    Reminder r;
    const std::string exact(48, 'a');
    r.SetDescription(exact);
    EXPECT_EQ(r.Description(), exact);
    r.SetDescription(exact + "b");
    EXPECT_EQ(r.Description(), exact);
    r.SetDescription("hi");
    EXPECT_EQ(r.Description(), "hi" + std::string(46, ' '));
}

TEST(ReminderListTest, InsertByDateKeepsOrderAndPutsTiesLast) {
    ReminderList list;
    EXPECT_EQ(list.InsertByDate(Make(20270101, kOneTime, 1, 4, "a")), 1);
    EXPECT_EQ(list.InsertByDate(Make(20270101, kOneTime, 1, 4, "b")), 2);
    EXPECT_EQ(list.InsertByDate(Make(20261201)), 1);
    EXPECT_EQ(list.InsertByDate(Make(20280101)), 4);
    EXPECT_EQ(list.at(2).description[0], 'a');
    EXPECT_EQ(list.at(3).description[0], 'b');
}

TEST(DataFileTest, LayoutIsExactAndRoundTrips) {
    ReminderData data;
    data.current.Append(Make(20261210));
    data.current.Append(Make(20261224, kAnnual, 1, kBirthday));
    data.archive.Append(Make(20261201));
    const Bytes bytes = EncodeReminderFile(data, kNotifierLabel);
    ASSERT_EQ(bytes.size(), 12u + 58 * 3);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "1.00");
    EXPECT_EQ(bytes[4], 2);
    EXPECT_EQ(bytes[8 + 58 * 2], 1);
    EXPECT_EQ(DecodeReminderFile(bytes), data);
}

TEST(DataFileTest, LoadDropsConsumedEntriesAndPutsTheRestInStableDateOrder) {
    struct Case {
        const char* name;
        std::vector<Reminder> stored;
        std::string loadedOrder;  // first description letters, in loaded order
    };
    const Case cases[] = {
        {"in order",
         {Make(20261210, kOneTime, 1, 4, "a"), Make(20261212, kOneTime, 1, 4, "b")},
         "ab"},
        {"consumed among ordered",
         {Make(-20261201, kOneTime, 1, 4, "x"), Make(20261210, kOneTime, 1, 4, "a"),
          Make(-20261230, kOneTime, 1, 4, "y"), Make(20261212, kOneTime, 1, 4, "b")},
         "ab"},
        {"out of order, ties kept as stored",
         {Make(20261212, kOneTime, 1, 4, "b"), Make(-20261201, kOneTime, 1, 4, "x"),
          Make(20261210, kOneTime, 1, 4, "a"), Make(20261212, kOneTime, 1, 4, "c")},
         "abc"},
        {"only consumed", {Make(-20261201, kOneTime, 1, 4, "x")}, ""},
    };
    for (const Case& c : cases) {
        ReminderData data;
        data.current = ReminderList(c.stored);
        const ReminderData loaded = DecodeReminderFile(EncodeReminderFile(data, kEditorLabel));
        std::string order;
        for (const Reminder& r : loaded.current.entries()) order += r.description[0];
        EXPECT_EQ(order, c.loadedOrder) << c.name;
    }
}

TEST(DataFileTest, DamagedFilesLoadWithoutSurprises) {
    // Empty and tiny files are two empty lists.
    for (size_t n : {0, 3, 4, 7, 8, 11}) {
        const ReminderData d = DecodeReminderFile(Bytes(n, 0));
        EXPECT_EQ(d.current.count(), 0) << n;
        EXPECT_EQ(d.archive.count(), 0) << n;
    }
    ReminderData two;
    two.current.Append(Make(20261210));
    two.current.Append(Make(20261211));
    Bytes full = EncodeReminderFile(two, kEditorLabel);

    // A cut-off last record is zero-filled; the archive count beyond the end reads 0.
    Bytes cut(full.begin(), full.begin() + 8 + 58 + 10);
    ReminderData d = DecodeReminderFile(cut);
    ASSERT_EQ(d.current.count(), 2);
    EXPECT_EQ(d.current.at(1).date, 0);  // the zero-filled record sorts first
    EXPECT_EQ(d.current.at(2).date, 20261210);

    // Absurd and negative counts.
    Bytes absurd = full;
    absurd[4] = 0xFF, absurd[5] = 0xFF, absurd[6] = 0xFF, absurd[7] = 0x7F;
    EXPECT_EQ(DecodeReminderFile(absurd).current.count(), 3);  // records that begin in the file
    Bytes negative = full;
    negative[7] = 0x80;
    d = DecodeReminderFile(negative);
    EXPECT_EQ(d.current.count(), 0);
    Bytes archiveNegative;
    for (char c : std::string("3.03")) archiveNegative.push_back(static_cast<std::uint8_t>(c));
    PutInt(archiveNegative, 0);
    PutInt(archiveNegative, -7);
    EXPECT_EQ(DecodeReminderFile(archiveNegative).archive.count(), 0);

    // Bytes after the archive list are ignored.
    Bytes trailing = full;
    trailing.insert(trailing.end(), 100, 0xAB);
    EXPECT_EQ(DecodeReminderFile(trailing), two);
}

TEST(DataFileTest, ConsumedEntriesAreDroppedAndOrderRestored) {
    ReminderData data;
    data.current.Append(Make(20261220, kOneTime, 1, 4, "c"));
    data.current.Append(Make(-20261201));
    data.current.Append(Make(20261210, kOneTime, 1, 4, "a"));
    data.current.Append(Make(20261220, kOneTime, 1, 4, "d"));
    data.current.Append(Make(20261210, kOneTime, 1, 4, "b"));
    const ReminderData d = DecodeReminderFile(EncodeReminderFile(data, kEditorLabel));
    ASSERT_EQ(d.current.count(), 4);
    std::string order;
    for (const Reminder& r : d.current.entries()) order += r.description[0];
    EXPECT_EQ(order, "abcd");
}

class DataFileOnDiskTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ =
            std::filesystem::temp_directory_path() /
            ("tessaly-core-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::filesystem::path dir_;
};

TEST_F(DataFileOnDiskTest, LoadCreatesAMissingFileOnlyWhenAsked) {
    ReminderData data;
    data.current.Append(Make(20261210));
    const auto path = dir_ / "Tessaly.tsy";
    EXPECT_FALSE(LoadReminderFile(path, data, IfMissing::kFail));
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(data.current.count(), 1);  // a failed load changes nothing

    EXPECT_TRUE(LoadReminderFile(path, data));
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(data.current.count(), 0);
    ASSERT_TRUE(SaveReminderFile(path, data, kEditorLabel));
    EXPECT_EQ(ReadFile(path), (Bytes{'3', '.', '0', '3', 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(DataFileOnDiskTest, SaveReplacesTheWholeFileAndLeavesNoTemporary) {
    const auto path = dir_ / "Tessaly.tsy";
    WriteFile(path, Bytes(5000, 0xEE));  // an older, longer file
    ReminderData data;
    data.current.Append(Make(20261210));
    data.current.Append(Make(-20261201));  // consumed: never written
    ASSERT_TRUE(SaveReminderFile(path, data, kNotifierLabel));
    EXPECT_EQ(ReadFile(path).size(), 12u + 58);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1);
}

TEST_F(DataFileOnDiskTest, FailuresAreReportedAndChangeNothing) {
    const auto missingDir = dir_ / "no-such-folder" / "Tessaly.tsy";
    ReminderData data;
    data.current.Append(Make(20261210));
    const IoResult save = SaveReminderFile(missingDir, data, kEditorLabel);
    EXPECT_FALSE(save);
    EXPECT_NE(save.message.find("no-such-folder"), std::string::npos);
    const IoResult load = LoadReminderFile(missingDir, data);
    EXPECT_FALSE(load);
    EXPECT_EQ(data.current.count(), 1);
    EXPECT_FALSE(LoadReminderFile(dir_, data));  // a folder is not a data file
}

// Files larger than the pieces they are read and written in: records straddle the seams.
TEST_F(DataFileOnDiskTest, LargeFilesSaveAndLoadAcrossPieces) {
    ReminderData data;
    for (int i = 0; i < 40000; ++i) {
        data.current.Append(MakeReminder(1 + i % 5, "entry " + std::to_string(i),
                                         20260101 + i / 100, i % 1440, i % 7, 1 + i % 5,
                                         1 + i % 6));
        if (i % 9 == 0) data.current.Append(Make(-20260101 - i));  // consumed: never written
        if (i % 3 == 0) data.archive.Append(Make(20250101 + i % 28, kOneTime, 1, 1, "old"));
    }
    const auto path = dir_ / "Tessaly.tsy";
    ASSERT_TRUE(SaveReminderFile(path, data, kEditorLabel));
    ReminderData kept = data;
    kept.current.RemoveConsumed();
    const Bytes written = ReadFile(path);
    ASSERT_GT(written.size(), 2 * kCopyPieceBytes);
    EXPECT_EQ(written, EncodeReminderFile(kept, kEditorLabel));

    // Whole, cut inside a record past the first piece, and with overstated counts: the file
    // on disk loads exactly as its bytes decode.
    Bytes cut(written.begin(), written.begin() + kCopyPieceBytes + 29);
    Bytes overstated = written;
    overstated[4] = overstated[5] = 0xFF;
    const std::size_t archiveCount = 8 + 58 * static_cast<std::size_t>(kept.current.count());
    overstated[archiveCount + 2] = 0x7F;
    for (const Bytes& bytes : {written, cut, overstated}) {
        WriteFile(path, bytes);
        ReminderData loaded;
        ASSERT_TRUE(LoadReminderFile(path, loaded, IfMissing::kFail));
        EXPECT_EQ(loaded, DecodeReminderFile(bytes));
    }
    ReminderData loaded;
    WriteFile(path, written);
    ASSERT_TRUE(LoadReminderFile(path, loaded, IfMissing::kFail));
    EXPECT_EQ(loaded, kept);
}

}  // namespace
}  // namespace tessaly
