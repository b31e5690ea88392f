// The Windows file layer against another program's open handles: readers share, writers are
// waited for briefly, and a replace that cannot happen is a failure that leaves nothing behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "core/file_io.h"
#include "win/handles.h"

namespace tessaly {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

class FileIoWin32Test : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tessaly-file-io-win32-" + std::to_string(GetCurrentProcessId()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        file_ = dir_ / "Tessaly.tsy";
        std::ofstream(file_, std::ios::binary) << "3.03old";
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    // Another program's open of the data file.
    win::Handle Open(DWORD access, DWORD share) const {
        return win::Handle(CreateFileW(file_.c_str(), access, share, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    std::string Contents() const {
        std::ifstream in(file_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    long Entries() const { return std::distance(fs::directory_iterator(dir_), {}); }

    fs::path dir_, file_;
};

TEST_F(FileIoWin32Test, ReadingSharesTheFileWithAnotherReader) {
    const win::Handle reader = Open(GENERIC_READ, FILE_SHARE_READ);
    ASSERT_TRUE(reader);
    const ULONGLONG start = GetTickCount64();
    Bytes bytes;
    const IoResult read = ReadWholeFile(file_, bytes, IfMissing::kFail);
    EXPECT_TRUE(read) << read.message;
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "3.03old");
    EXPECT_LT(GetTickCount64() - start, 1000u) << "waited for a reader";
}

TEST_F(FileIoWin32Test, AWriterIsWaitedForAboutTwoSeconds) {
    {
        win::Handle writer = Open(GENERIC_READ | GENERIC_WRITE, 0);
        ASSERT_TRUE(writer);
        std::thread letGo([&] {
            Sleep(300);
            writer.reset();
        });
        Bytes bytes;
        const IoResult read = ReadWholeFile(file_, bytes, IfMissing::kFail);
        letGo.join();
        EXPECT_TRUE(read) << read.message;
        EXPECT_EQ(bytes.size(), 7u);
    }
    const win::Handle writer = Open(GENERIC_READ | GENERIC_WRITE, 0);
    ASSERT_TRUE(writer);
    const ULONGLONG start = GetTickCount64();
    Bytes bytes;
    const IoResult read = ReadWholeFile(file_, bytes, IfMissing::kFail);
    EXPECT_FALSE(read);
    EXPECT_NE(read.message.find("(error 32)"), std::string::npos) << read.message;
    EXPECT_GE(GetTickCount64() - start, 1500u);
}

TEST_F(FileIoWin32Test, AReplaceThatCannotHappenIsAFailureAndLeavesNothingBehind) {
    IoResult save;
    {
        const win::Handle holder = Open(GENERIC_READ, 0);
        ASSERT_TRUE(holder);
        save = ReplaceWholeFile(file_, Bytes(100, 'n'));
    }
    EXPECT_FALSE(save);
    EXPECT_NE(save.message.find("cannot replace"), std::string::npos) << save.message;
    EXPECT_NE(save.message.find("Tessaly.tsy"), std::string::npos) << save.message;
    EXPECT_EQ(Contents(), "3.03old");
    EXPECT_EQ(Entries(), 1) << "the temporary file was left behind";
}

}  // namespace
}  // namespace tessaly
