// The elevated installer's protection rules: owners, access lists, temporary names and DLLs.
#include "setup/protection.h"

#include <gtest/gtest.h>

#include <string>

namespace tessaly::setup {
namespace {

TEST(Protection, AFolderOwnedByAnyoneButTheSystemsOwnIsTakenOver) {
    struct Case {
        std::wstring owner;
        bool takeOver;
    };
    const Case cases[] = {
        {L"S-1-5-32-544", false},  // the administrators
        {L"S-1-5-18", false},      // the system
        {L"s-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464", false},  // installer
        {L"S-1-5-21-1004336348-1177238915-682003330-1001", true},  // an ordinary user
        {L"S-1-5-32-545", true},                                   // the users group
        {L"S-1-1-0", true},                                        // everyone
        {L"S-1-5-32-5440", true},
        {L"", true},  // an owner that could not be read
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NeedsTakeOver(c.owner), c.takeOver)
            << std::string(c.owner.begin(), c.owner.end());
    }
}

// What the shared folder's list lets ordinary users do, summed over every entry that names
// them (the users group, or the owner of a file a user made).
struct UserRights {
    std::uint32_t onObject = 0, onNewFiles = 0, onNewFolders = 0;
};
UserRights ForUsers(Access access) {
    UserRights r;
    for (const AccessEntry& e : AccessEntries(access)) {
        if (e.sid != kUsersSid && e.sid != kOwnerRightsSid) continue;
        if (e.thisObject) r.onObject |= e.mask;
        if (e.toFiles) r.onNewFiles |= e.mask;
        if (e.toFolders) r.onNewFolders |= e.mask;
    }
    return r;
}

TEST(Protection, TheSharedFolderKeepsItsUseAndNothingMore) {
    using namespace rights;
    const UserRights folder = ForUsers(Access::kProductFolder);
    // Every user's editor lists the folder, reads the help file and writes the settings file
    // the safe way: a new file beside it, then renamed over it.
    EXPECT_EQ(folder.onObject & (kReadData | kExecute | kWriteData),
              kReadData | kExecute | kWriteData);
    EXPECT_EQ(folder.onNewFiles & (kReadData | kWriteData | kDelete),
              kReadData | kWriteData | kDelete);
    // But no user may delete, rename or replace the folder, make sub-folders, or change the
    // list or owner of the folder or of anything in it.
    EXPECT_EQ(folder.onObject & (kAppendData | kDelete | kDeleteChild | kWriteDac | kWriteOwner),
              0u);
    EXPECT_EQ(folder.onNewFiles & (kWriteDac | kWriteOwner), 0u);
    EXPECT_EQ(folder.onNewFolders, 0u);

    // The help file: read, nothing else.
    const UserRights help = ForUsers(Access::kReadOnlyFile);
    EXPECT_EQ(help.onObject & kReadData, kReadData);
    EXPECT_EQ(help.onObject & (kWriteData | kAppendData | kDelete | kWriteDac | kWriteOwner |
                               kWriteAttributes | kWriteEa),
              0u);
    // The vendor folder: look and pass through only.
    const UserRights vendor = ForUsers(Access::kVendorFolder);
    EXPECT_EQ(vendor.onObject &
                  (kWriteData | kAppendData | kDelete | kDeleteChild | kWriteDac | kWriteOwner),
              0u);

    for (Access a : {Access::kVendorFolder, Access::kProductFolder, Access::kReadOnlyFile}) {
        bool admins = false, system = false;
        for (const AccessEntry& e : AccessEntries(a)) {
            admins = admins || (e.sid == kAdministratorsSid && e.mask == kFullControl);
            system = system || (e.sid == kSystemSid && e.mask == kFullControl);
        }
        EXPECT_TRUE(admins && system) << "administrators and the system keep full control";
    }
    EXPECT_TRUE(AccessEntries(Access::kInherited).empty());
}

TEST(Protection, TheListAsTheSystemReadsIt) {
    // Owned by the administrators, protected (nothing inherited from ProgramData).
    EXPECT_EQ(SecurityDescriptor(Access::kProductFolder),
              L"O:S-1-5-32-544D:P(A;OICI;0x1f01ff;;;S-1-5-18)(A;OICI;0x1f01ff;;;S-1-5-32-544)"
              L"(A;;0x1200ab;;;S-1-5-32-545)(A;OIIO;0x1301bf;;;S-1-5-32-545)"
              L"(A;OIIO;0x1301bf;;;S-1-3-4)");
    EXPECT_EQ(SecurityDescriptor(Access::kReadOnlyFile),
              L"O:S-1-5-32-544D:P(A;;0x1f01ff;;;S-1-5-18)(A;;0x1f01ff;;;S-1-5-32-544)"
              L"(A;;0x1200a9;;;S-1-5-32-545)");
    EXPECT_EQ(SecurityDescriptor(Access::kReadOnlyFile, false),
              L"D:P(A;;0x1f01ff;;;S-1-5-18)(A;;0x1f01ff;;;S-1-5-32-544)"
              L"(A;;0x1200a9;;;S-1-5-32-545)");
    EXPECT_EQ(SecurityDescriptor(Access::kInherited), L"");
}

TEST(Protection, TemporaryAndInUseNamesStayBesideTheirFile) {
    EXPECT_EQ(TemporaryName(L"C:\\P\\Tessaly.ahp", 4711, 2),
              L"C:\\P\\Tessaly.ahp.4711-2.setup-new");
    EXPECT_NE(TemporaryName(L"C:\\P\\Tessaly.ahp", 4711, 2),
              TemporaryName(L"C:\\P\\Tessaly.ahp", 4711, 3));
    EXPECT_NE(TemporaryName(L"C:\\P\\Tessaly.ahp", 4711, 2),
              TemporaryName(L"C:\\P\\Tessaly.ahp", 4712, 2));
    EXPECT_EQ(InUseName(L"C:\\P\\TessalySetup.exe", 8, 1), L"C:\\P\\TessalySetup.exe.8-1.removed");
}

TEST(Protection, OnlyTheSystemsKnownDllsAreImported) {
    for (const wchar_t* dll : {L"KERNEL32.dll", L"USER32.dll", L"ADVAPI32.dll", L"msvcrt.dll",
                               L"shell32.dll", L"ole32.dll"}) {
        EXPECT_TRUE(MayImportStatically(dll)) << dll;
    }
    // Looked for beside the program first: a copy planted in Downloads would run elevated.
    for (const wchar_t* dll : {L"VERSION.dll", L"comctl32.dll", L"uxtheme.dll", L"winspool.drv",
                               L"dwmapi.dll", L"cryptbase.dll", L"kernel32.dll.evil"}) {
        EXPECT_FALSE(MayImportStatically(dll)) << dll;
    }
}

}  // namespace
}  // namespace tessaly::setup
