// The file seam on the disk of whichever system runs the tests: read-only files, folders, and
// saves that race each other.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "core/file_io.h"

namespace tessaly {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

class FileIoTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tessaly-file-io-" +
                std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        file_ = dir_ / "Tessaly.tsy";
    }
    void TearDown() override {
        std::error_code ignored;
        if (fs::exists(file_))
            fs::permissions(file_, fs::perms::owner_write, fs::perm_options::add, ignored);
        fs::remove_all(dir_, ignored);
    }
    void Write(const Bytes& b) {
        std::ofstream out(file_, std::ios::binary);
        out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    }
    Bytes Read() const {
        std::ifstream in(file_, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    long Entries() const { return std::distance(fs::directory_iterator(dir_), {}); }

    fs::path dir_, file_;
};

TEST_F(FileIoTest, AReadOnlyFileIsReadAndStaysReadOnly) {
    Write({'3', '.', '0', '3', 1, 2, 3});
    fs::permissions(file_,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    ASSERT_EQ(fs::status(file_).permissions() & fs::perms::owner_write, fs::perms::none);
    for (IfMissing ifMissing : {IfMissing::kFail, IfMissing::kCreateEmpty}) {
        Bytes bytes;
        const IoResult read = ReadWholeFile(file_, bytes, ifMissing);
        EXPECT_TRUE(read) << read.message;
        EXPECT_EQ(bytes, (Bytes{'3', '.', '0', '3', 1, 2, 3}));
    }
    EXPECT_EQ(fs::status(file_).permissions() & fs::perms::owner_write, fs::perms::none);
}

// Waiting cannot make a folder readable, so the answer comes at once, with the reason.
TEST_F(FileIoTest, AFolderFailsAtOnceWithItsName) {
    Bytes bytes{1};
    const auto start = std::chrono::steady_clock::now();
    const IoResult read = ReadWholeFile(dir_, bytes, IfMissing::kFail);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_FALSE(read);
    EXPECT_NE(read.message.find(dir_.filename().string()), std::string::npos) << read.message;
    EXPECT_LT(took, std::chrono::milliseconds(1500)) << "retried as if another program held it";
    EXPECT_EQ(bytes, Bytes{1});
}

// Two programs saving the same file at the same moment each install their own whole file: no
// save fails for the other's sake, none installs the other's bytes as its own, nothing is left.
TEST_F(FileIoTest, RacingSavesEachInstallTheirOwnWholeFile) {
    Write(Bytes(10, 'o'));
    const Bytes a(300, 'a'), b(700, 'b');
    int failures[2] = {0, 0};
    auto saver = [&](const Bytes& bytes, int& failed) {
        for (int i = 0; i < 40; ++i) {
            if (!ReplaceWholeFile(file_, bytes)) ++failed;
        }
    };
    std::thread first(saver, std::cref(a), std::ref(failures[0]));
    std::thread second(saver, std::cref(b), std::ref(failures[1]));
    first.join();
    second.join();
    EXPECT_EQ(failures[0], 0);
    EXPECT_EQ(failures[1], 0);
    const Bytes last = Read();
    EXPECT_TRUE(last == a || last == b) << last.size() << " bytes";
    EXPECT_EQ(Entries(), 1) << "a temporary file was left behind";
}

// A copy larger than one piece arrives whole over an older, longer file; a missing source
// changes nothing. Either way no temporary file is left.
TEST_F(FileIoTest, CopiesWholeFilesPieceByPiece) {
    Bytes big(2 * kCopyPieceBytes + 12345);
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<std::uint8_t>(i * 7 + i / 997);
    Write(big);
    const fs::path copy = dir_ / "copy.tsy";
    std::ofstream(copy, std::ios::binary) << std::string(3 * kCopyPieceBytes, 'x');
    const IoResult r = CopyWholeFile(file_, copy);
    ASSERT_TRUE(r) << r.message;
    std::ifstream in(copy, std::ios::binary);
    EXPECT_EQ(Bytes(std::istreambuf_iterator<char>(in), {}), big);
    EXPECT_EQ(Entries(), 2);

    const IoResult missing = CopyWholeFile(dir_ / "missing.tsy", copy);
    EXPECT_FALSE(missing);
    EXPECT_NE(missing.message.find("missing.tsy"), std::string::npos) << missing.message;
    EXPECT_EQ(fs::file_size(copy), big.size());
    EXPECT_EQ(Entries(), 2);
}

}  // namespace
}  // namespace tessaly
