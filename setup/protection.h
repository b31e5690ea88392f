// How the elevated installer stays out of reach of ordinary users: which folders it writes
// through, who may own and change the folder every user's editor reads, the names of its
// temporary files, and which DLLs it may load before it has restricted the search for them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly::setup {

// Why the installer will not write into, or delete from, a folder that is a junction or a
// symbolic link, or lies under one: as administrator it would reach wherever the link points.
std::wstring ReparsePointReason();

// The security principals the installer names, as the system's SID strings.
inline constexpr std::wstring_view kAdministratorsSid = L"S-1-5-32-544";
inline constexpr std::wstring_view kSystemSid = L"S-1-5-18";
inline constexpr std::wstring_view kUsersSid = L"S-1-5-32-545";
inline constexpr std::wstring_view kOwnerRightsSid = L"S-1-3-4";
inline constexpr std::wstring_view kInstallerServiceSid =
    L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";

// An existing folder owned by anyone but the administrators, the system or the installer
// service was made by a user, who could change it at will: it is taken over (owner and access
// list reset) before anything is written into it.
bool NeedsTakeOver(std::wstring_view ownerSid);

// The access a folder or file of the installation gets.
enum class Access {
    kInherited,      // whatever its parent passes on (program files, the user's documents)
    kVendorFolder,   // the shared Quorvane folder: everyone may look, only administrators change
    kProductFolder,  // the shared Tessaly folder (help file, settings file): see below
    kReadOnlyFile,   // the help file in it: every user reads, nobody but administrators writes
};

// File-system rights, as the system numbers them.
namespace rights {
inline constexpr std::uint32_t kReadData = 0x1;    // also: list the folder
inline constexpr std::uint32_t kWriteData = 0x2;   // also: create files in the folder
inline constexpr std::uint32_t kAppendData = 0x4;  // also: create sub-folders
inline constexpr std::uint32_t kReadEa = 0x8;
inline constexpr std::uint32_t kWriteEa = 0x10;
inline constexpr std::uint32_t kExecute = 0x20;  // also: pass through the folder
inline constexpr std::uint32_t kDeleteChild = 0x40;
inline constexpr std::uint32_t kReadAttributes = 0x80;
inline constexpr std::uint32_t kWriteAttributes = 0x100;
inline constexpr std::uint32_t kDelete = 0x10000;
inline constexpr std::uint32_t kReadControl = 0x20000;
inline constexpr std::uint32_t kWriteDac = 0x40000;
inline constexpr std::uint32_t kWriteOwner = 0x80000;
inline constexpr std::uint32_t kSynchronize = 0x100000;
inline constexpr std::uint32_t kFullControl = 0x1F01FF;
}  // namespace rights

// One entry of an access list: whom it allows what, and where it applies.
struct AccessEntry {
    std::wstring_view sid;
    std::uint32_t mask = 0;
    bool thisObject = true;  // the folder or file itself
    bool toFiles = false;    // files created inside later inherit it
    bool toFolders = false;  // sub-folders created inside later inherit it
};

// The explicit list of `access` (none for kInherited). The shared product folder keeps its use:
// every user's editor reads the help file and reads, writes and replaces the settings file (a
// new file beside it, then renamed over it). But no ordinary user may delete, rename or replace
// the folder, make sub-folders in it, change its list, or replace the help file, which gets
// kReadOnlyFile of its own.
std::vector<AccessEntry> AccessEntries(Access access);
// The same list as a security descriptor string: explicit, inheriting nothing from the folder
// above, and (withOwner) owned by the administrators. A folder made new gets the list alone,
// its owner being whoever made it: the elevated installer.
std::wstring SecurityDescriptor(Access access, bool withOwner = true);

// "<target>.<process>-<count>.setup-new", beside the file it becomes: opened only if new, so
// a file planted under a guessed name is never written through, and two runs never meet.
std::wstring TemporaryName(const std::wstring& target, std::uint64_t process, std::uint64_t count);
// "<file>.<process>-<count>.removed": the name a file in use is given before it is scheduled
// for deletion at the next restart, so an install made before that restart is not deleted.
std::wstring InUseName(const std::wstring& file, std::uint64_t process, std::uint64_t count);

// Whether the installer may import `dll` (a file name, any case) statically: only the system's
// known DLLs, which the loader takes from the system folder whatever lies beside the program.
// Everything else is loaded after the search has been limited to the system folder.
bool MayImportStatically(std::wstring_view dll);

}  // namespace tessaly::setup
