// Where the notifier looks for the data file.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "notifier/location.h"

namespace tessaly {
namespace {

TEST(DataFileLocation, DocumentsFolderWhenItExistsElseProgramFolder) {
    const std::wstring program = L"C:\\Program Files\\Tessaly\\TessalyStartup.exe";
    std::set<std::wstring> folders = {L"C:\\Users\\ann\\Documents\\Quorvane\\Tessaly\\",
                                      L"D:\\Quorvane\\Tessaly\\"};
    std::vector<std::wstring> asked;
    auto exists = [&](const std::wstring& f) {
        asked.push_back(f);
        return folders.count(f) > 0;
    };
    EXPECT_EQ(NotifierDataFilePath(L"C:\\Users\\ann\\Documents", program, exists),
              L"C:\\Users\\ann\\Documents\\Quorvane\\Tessaly\\Tessaly.tsy");
    EXPECT_EQ(NotifierDataFilePath(L"D:\\", program, exists),
              L"D:\\Quorvane\\Tessaly\\Tessaly.tsy");
    EXPECT_EQ(NotifierDataFilePath(L"C:\\Users\\bob\\Documents", program, exists),
              L"C:\\Program Files\\Tessaly\\Tessaly.tsy");

    asked.clear();
    EXPECT_EQ(NotifierDataFilePath(L"", program, exists),
              L"C:\\Program Files\\Tessaly\\Tessaly.tsy");
    EXPECT_TRUE(asked.empty()) << "no documents folder: nothing at the drive root is tried";
}

}  // namespace
}  // namespace tessaly
