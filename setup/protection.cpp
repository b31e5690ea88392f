// The installer's protection rules: folder checks, access lists, temporary names, DLLs.
#include "setup/protection.h"

#include <algorithm>
#include <cwchar>

namespace tessaly::setup {
namespace {

std::wstring Lower(std::wstring_view text) {
    std::wstring lower(text);
    for (wchar_t& c : lower) {
        if (c >= L'A' && c <= L'Z') c = wchar_t(c - L'A' + L'a');
    }
    return lower;
}

std::wstring Hex(std::uint32_t n) {
    wchar_t text[16];
    std::swprintf(text, 16, L"0x%x", static_cast<unsigned>(n));
    return text;
}

using namespace rights;

// Read, list and pass through: what "read and execute" means for a folder or file.
constexpr std::uint32_t kReadAndExecute =
    kReadData | kReadEa | kExecute | kReadAttributes | kReadControl | kSynchronize;
// Everything a user needs on a file of their own except changing its list or owner.
constexpr std::uint32_t kModifyFile =
    kReadAndExecute | kWriteData | kAppendData | kWriteEa | kWriteAttributes | kDelete;

}  // namespace

std::wstring ReparsePointReason() {
    return L"It is a junction or a symbolic link to another place, or lies inside one. Setup "
           L"does not write or delete through it. Remove the link, then run setup again.";
}

bool NeedsTakeOver(std::wstring_view ownerSid) {
    const std::wstring owner = Lower(ownerSid);
    for (std::wstring_view trusted : {kAdministratorsSid, kSystemSid, kInstallerServiceSid}) {
        if (owner == Lower(trusted)) return false;
    }
    return true;
}

std::vector<AccessEntry> AccessEntries(Access access) {
    const AccessEntry admins{kAdministratorsSid, kFullControl, true, true, true};
    const AccessEntry system{kSystemSid, kFullControl, true, true, true};
    switch (access) {
        case Access::kInherited:
            return {};
        case Access::kVendorFolder:
            return {system, admins, {kUsersSid, kReadAndExecute, true, true, true}};
        case Access::kProductFolder:
            return {
                system,
                admins,
                // The folder: look, pass through, and create files (the settings file's new
                // copy); no sub-folders, no deleting or renaming it, no change to its list.
                {kUsersSid, kReadAndExecute | kWriteData, true, false, false},
                // Files made in it later (the settings file): read, write, replace, delete.
                {kUsersSid, kModifyFile, false, true, false},
                // And whoever made one gets no more than that: no changing its list, which
                // could shut the other users out of the settings file.
                {kOwnerRightsSid, kModifyFile, false, true, false},
            };
        case Access::kReadOnlyFile:
            return {{kSystemSid, kFullControl},
                    {kAdministratorsSid, kFullControl},
                    {kUsersSid, kReadAndExecute}};
    }
    return {};
}

std::wstring SecurityDescriptor(Access access, bool withOwner) {
    if (access == Access::kInherited) return {};
    // O: owner, D:P a protected list (nothing inherited from above); each entry
    // (A;flags;mask;;;sid) with OI files and CI folders inheriting it, IO not the object itself.
    std::wstring sddl = withOwner ? L"O:" + std::wstring(kAdministratorsSid) : L"";
    sddl += L"D:P";
    for (const AccessEntry& e : AccessEntries(access)) {
        std::wstring flags;
        if (e.toFiles) flags += L"OI";
        if (e.toFolders) flags += L"CI";
        if (!e.thisObject) flags += L"IO";
        sddl += L"(A;" + flags + L";" + Hex(e.mask) + L";;;" + std::wstring(e.sid) + L")";
    }
    return sddl;
}

std::wstring TemporaryName(const std::wstring& target, std::uint64_t process, std::uint64_t count) {
    return target + L"." + std::to_wstring(process) + L"-" + std::to_wstring(count) + L".setup-new";
}

std::wstring InUseName(const std::wstring& file, std::uint64_t process, std::uint64_t count) {
    return file + L"." + std::to_wstring(process) + L"-" + std::to_wstring(count) + L".removed";
}

bool MayImportStatically(std::wstring_view dll) {
    // The system's known DLLs (HKLM\System\CurrentControlSet\Control\Session Manager\KnownDLLs)
    // and ntdll, which every process has already.
    static constexpr std::wstring_view kKnown[] = {
        L"advapi32.dll", L"clbcatq.dll",  L"combase.dll",  L"comdlg32.dll", L"coml2.dll",
        L"gdi32.dll",    L"gdiplus.dll",  L"imagehlp.dll", L"imm32.dll",    L"kernel32.dll",
        L"msctf.dll",    L"msvcrt.dll",   L"normaliz.dll", L"nsi.dll",      L"ntdll.dll",
        L"ole32.dll",    L"oleaut32.dll", L"psapi.dll",    L"rpcrt4.dll",   L"sechost.dll",
        L"setupapi.dll", L"shcore.dll",   L"shell32.dll",  L"shlwapi.dll",  L"user32.dll",
        L"wldap32.dll",  L"ws2_32.dll",
    };
    const std::wstring name = Lower(dll);
    return std::find(std::begin(kKnown), std::end(kKnown), name) != std::end(kKnown);
}

}  // namespace tessaly::setup
