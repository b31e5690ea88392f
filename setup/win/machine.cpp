// The real Installer: files, folders and shell links on this machine.
#include "setup/win/machine.h"

#include <windows.h>
#include <aclapi.h>
#include <objidl.h>
#include <sddl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <atomic>
#include <memory>

#include "core/file_io.h"
#include "win/clock.h"
#include "win/com.h"
#include "win/folders.h"
#include "win/handles.h"
#include "win/message_box.h"
#include "win/text.h"

namespace tessaly::setup {
namespace {

// The system's text for an error, with its number kept for reports.
std::wstring SystemReason(DWORD error) {
    return win::Utf8ToWide(win::ErrorText(error));
}

std::wstring LastReason() {
    return SystemReason(GetLastError());
}

std::wstring ComReason(HRESULT hr) {
    // Win32 errors wrapped in an HRESULT read better as themselves.
    if (HRESULT_FACILITY(hr) == FACILITY_WIN32) return SystemReason(HRESULT_CODE(hr));
    return SystemReason(static_cast<DWORD>(hr));
}

std::wstring CurrentFolder() {
    const DWORD n = GetCurrentDirectoryW(0, nullptr);
    std::wstring path(n, L'\0');
    const DWORD got = GetCurrentDirectoryW(n, path.data());
    path.resize(got < n ? got : 0);
    return path;
}

using win::ComPtr;
using win::ComScope;
using win::Handle;

// A count shared by every temporary and in-use name this process makes.
std::uint64_t NextNumber() {
    static std::atomic<std::uint64_t> count{0};
    return ++count;
}

std::wstring FolderOf(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L'\\'));
}

// Enables one of this process's privileges; an administrator holds them, disabled.
void EnablePrivilege(const wchar_t* name) {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw)) return;
    const Handle token(raw);
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (LookupPrivilegeValueW(nullptr, name, &privileges.Privileges[0].Luid)) {
        AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr);
    }
}

// A security descriptor the system made for us.
using Descriptor = win::LocalMemory;

// None for kInherited: the folder above decides.
Descriptor DescriptorFor(Access access, bool withOwner) {
    if (access == Access::kInherited) return Descriptor();
    PSECURITY_DESCRIPTOR sd = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorW(
        SecurityDescriptor(access, withOwner).c_str(), SDDL_REVISION_1, &sd, nullptr);
    return Descriptor(sd);
}

// Opens the folder itself: a junction or link in its place is opened, never followed.
Handle OpenFolderItself(const std::wstring& folder, DWORD access) {
    return Handle(CreateFileW(
        folder.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

std::wstring OwnerOf(HANDLE object) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (GetSecurityInfo(object, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                        nullptr, nullptr, &sd) != ERROR_SUCCESS) {
        return {};
    }
    const Descriptor held(sd);
    wchar_t* text = nullptr;
    if (!owner || !ConvertSidToStringSidW(owner, &text)) return {};
    const win::LocalMemory heldText(text);
    return text;
}

// Gives an open file or folder the explicit list of `access`, and with takeOver the
// administrators as owner first, so the list can be set whatever a user's list said.
std::wstring ApplyAccess(HANDLE object, Access access, bool takeOver) {
    const Descriptor sd = DescriptorFor(access, true);
    if (!sd) return LastReason();
    BOOL present = FALSE, defaulted = FALSE;
    PACL list = nullptr;
    PSID owner = nullptr;
    GetSecurityDescriptorDacl(sd.get(), &present, &list, &defaulted);
    GetSecurityDescriptorOwner(sd.get(), &owner, &defaulted);
    if (takeOver) {
        const DWORD r = SetSecurityInfo(object, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, owner,
                                        nullptr, nullptr, nullptr);
        if (r != ERROR_SUCCESS) return SystemReason(r);
    }
    const DWORD r = SetSecurityInfo(object, SE_FILE_OBJECT,
                                    DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                                    nullptr, nullptr, list, nullptr);
    return r == ERROR_SUCCESS ? std::wstring() : SystemReason(r);
}

// Copies `from` into a new file beside `to` under a name of its own, opened only if new and
// shared with nobody, gives it `access`, flushes it and renames it to `to`: over an existing
// file only with `replace`. The target is always either the old file or the whole new one.
std::wstring CopyInto(const std::wstring& from, const std::wstring& to, Access access,
                      bool replace) {
    const Handle in(CreateFileW(from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!in) return LastReason();
    std::wstring temp;
    Handle out;
    for (int attempt = 0; !out; ++attempt) {
        temp = TemporaryName(to, GetCurrentProcessId(), NextNumber());
        out.reset(CreateFileW(temp.c_str(), GENERIC_WRITE | WRITE_DAC, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
        const DWORD error = GetLastError();
        if (!out && (error != ERROR_FILE_EXISTS || attempt >= 100)) return SystemReason(error);
    }
    auto abandon = [&](DWORD error) {
        out.reset();
        DeleteFileW(temp.c_str());
        return SystemReason(error);
    };
    if (access != Access::kInherited) {
        // Set while nobody else can open the file, so no one keeps a handle from before.
        if (std::wstring reason = ApplyAccess(out.get(), access, false); !reason.empty()) {
            out.reset();
            DeleteFileW(temp.c_str());
            return reason;
        }
    }
    std::vector<char> piece(1 << 20);
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(in.get(), piece.data(), DWORD(piece.size()), &got, nullptr)) {
            return abandon(GetLastError());
        }
        if (got == 0) break;
        DWORD put = 0;
        if (!WriteFile(out.get(), piece.data(), got, &put, nullptr) || put != got) {
            return abandon(GetLastError());
        }
    }
    if (!FlushFileBuffers(out.get())) return abandon(GetLastError());
    out.reset();
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (!MoveFileExW(temp.c_str(), to.c_str(), flags)) return abandon(GetLastError());
    return {};
}

}  // namespace

Situation MachineSituation() {
    return {CurrentFolder(), win::SpecialFolderPath, &FileExists,       win::IsExistingFolder,
            IsReparsePoint,  win::Today(),           win::ProgramFile()};
}

bool LimitDllSearchToSystemFolder() {
    // Looked up: systems without the call still drop the current folder from the search.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    SetDllDirectoryW(L"");
    return setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

bool IsReparsePoint(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool EditorRunsInThisSession() {
    const Handle mutex(OpenMutexA(SYNCHRONIZE, FALSE, std::string(kEditorMutex).c_str()));
    // Another account's editor in this session (an administrator's, say) shuts us out of its
    // mutex, which is there all the same.
    return mutex.valid() || GetLastError() == ERROR_ACCESS_DENIED;
}

win::SystemCall<bool()> editorRunning{&EditorRunsInThisSession};

bool AsksForUninstall(const wchar_t* commandLine) {
    int count = 0;
    wchar_t** args = CommandLineToArgvW(commandLine ? commandLine : L"", &count);
    if (!args) return false;
    const win::LocalMemory heldArgs(args);
    // With an empty command line the list holds the program's own path only.
    bool uninstall = false;
    if (commandLine && *commandLine && count >= 1) {
        uninstall = lstrcmpiW(args[0], L"/uninstall") == 0;
    }
    return uninstall;
}

std::wstring CreateShortcut(const std::wstring& link, const std::wstring& target,
                            const std::wstring& workingFolder) {
    const ComScope com;  // outlives the pointers below
    ComPtr<IShellLinkW> shellLink;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(shellLink.GetAddressOf()));
    if (FAILED(hr) || !shellLink) return ComReason(hr);
    for (HRESULT step : {shellLink->SetPath(target.c_str()), shellLink->SetArguments(L""),
                         shellLink->SetWorkingDirectory(workingFolder.c_str()),
                         shellLink->SetShowCmd(SW_SHOW), shellLink->SetDescription(L"")}) {
        if (FAILED(step)) return ComReason(step);
    }
    ComPtr<IPersistFile> file;
    hr = shellLink.As(&file);
    if (FAILED(hr) || !file) return ComReason(hr);
    hr = file->Save(link.c_str(), TRUE);
    if (FAILED(hr)) return ComReason(hr);
    return {};
}

std::optional<std::wstring> ShortcutTarget(const std::wstring& link) {
    if (!FileExists(link)) return std::nullopt;
    const ComScope com;  // outlives the pointers below
    ComPtr<IShellLinkW> shellLink;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(shellLink.GetAddressOf()))) ||
        !shellLink || FAILED(shellLink.As(&file)) || !file) {
        return std::nullopt;
    }
    if (FAILED(file->Load(link.c_str(), STGM_READ))) return std::nullopt;
    wchar_t target[MAX_PATH] = {};
    if (FAILED(shellLink->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)) || !*target) {
        return std::nullopt;
    }
    return std::wstring(target);
}

int ShowSetupMessage(const Message& message) {
    return win::ShowMessage(nullptr, win::WideToUtf8(message.text),
                            win::WideToUtf8(message.caption), message.style);
}

int MachineInstaller::ShowMessage(const Message& message) {
    return ShowSetupMessage(message);
}

std::wstring MachineInstaller::CreateFolder(const std::wstring& folder, Access access) {
    // A shared folder is made with its list, so there is no moment in which a user could
    // make a sub-folder or a link inside it.
    const Descriptor sd = DescriptorFor(access, false);
    if (access != Access::kInherited && !sd) return LastReason();
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, sd.get(), FALSE};
    if (CreateDirectoryW(folder.c_str(), sd ? &attributes : nullptr)) return {};
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS) {
        if (IsReparsePoint(folder)) return ReparsePointReason();
        if (!win::IsExistingFolder(folder)) return L"A file of that name is in the way.";
        return SecureFolder(folder, access);
    }
    return SystemReason(error);
}

std::wstring MachineInstaller::SecureFolder(const std::wstring& folder, Access access) {
    if (access == Access::kInherited) return {};
    // A folder a user made may shut the administrators out; these privileges open it anyway.
    EnablePrivilege(L"SeTakeOwnershipPrivilege");
    EnablePrivilege(L"SeRestorePrivilege");
    const Handle handle = OpenFolderItself(folder, READ_CONTROL | WRITE_DAC | WRITE_OWNER);
    if (!handle) return LastReason();
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!GetFileInformationByHandle(handle.get(), &info)) return LastReason();
    if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return ReparsePointReason();
    if (!(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return L"A file of that name is in the way.";
    }
    return ApplyAccess(handle.get(), access, NeedsTakeOver(OwnerOf(handle.get())));
}

std::wstring MachineInstaller::InstallFile(const std::wstring& from, const std::wstring& to,
                                           Access access) {
    return CopyInto(from, to, access, true);
}

std::wstring MachineInstaller::KeepBackup(const std::wstring& from, const std::wstring& to) {
    // Never over an existing file: an older backup is kept as it is.
    return CopyInto(from, to, Access::kInherited, false);
}

bool MachineInstaller::EditorRunning() {
    return editorRunning();
}

void MachineInstaller::StopProgram(const std::wstring& fileName) {
    StopRunningProgram(fileName);
}

std::wstring MachineInstaller::EnterFolder(const std::wstring& folder) {
    if (SetCurrentDirectoryW(folder.c_str())) return {};
    return LastReason();
}

std::wstring MachineInstaller::CreateShortcut(const std::wstring& link, const std::wstring& target,
                                              const std::wstring& workingFolder) {
    return setup::CreateShortcut(link, target, workingFolder);
}

std::optional<std::wstring> MachineInstaller::ShortcutTarget(const std::wstring& link) {
    return setup::ShortcutTarget(link);
}

void MachineInstaller::RestartWindows() {
    setup::RestartWindows(restart_);
}

std::wstring MachineInstaller::Register(const std::vector<EntryValue>& entry) {
    HKEY opened = nullptr;
    LSTATUS status = RegCreateKeyExW(entry_.currentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE,
                                     entry_.path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                     &opened, nullptr);
    if (status != ERROR_SUCCESS) return SystemReason(DWORD(status));
    const win::RegistryKey key(opened);
    for (const EntryValue& v : entry) {
        if (v.isNumber) {
            const DWORD number = v.number;
            status = RegSetValueExW(key.get(), v.name.c_str(), 0, REG_DWORD,
                                    reinterpret_cast<const BYTE*>(&number), sizeof number);
        } else {
            status = RegSetValueExW(key.get(), v.name.c_str(), 0, REG_SZ,
                                    reinterpret_cast<const BYTE*>(v.text.c_str()),
                                    DWORD((v.text.size() + 1) * sizeof(wchar_t)));
        }
        if (status != ERROR_SUCCESS) break;
    }
    return status == ERROR_SUCCESS ? std::wstring() : SystemReason(DWORD(status));
}

std::wstring MachineInstaller::Unregister() {
    const LSTATUS status = RegDeleteTreeW(
        entry_.currentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE, entry_.path.c_str());
    if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) return {};
    return SystemReason(DWORD(status));
}

Removal MachineInstaller::RemoveFile(const std::wstring& file) {
    if (DeleteFileW(file.c_str())) return {};
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return {};
    if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) {
        return {SystemReason(error)};
    }
    // In use: this very uninstaller, the editor when it is open. Scheduled by its own name, it
    // would take with it a file of that name installed before the restart; so it is renamed
    // first, and the new name goes at the restart.
    std::wstring renamed;
    for (int attempt = 0;; ++attempt) {
        renamed = InUseName(file, GetCurrentProcessId(), NextNumber());
        if (MoveFileExW(file.c_str(), renamed.c_str(), 0)) break;
        const DWORD renameError = GetLastError();
        if (renameError != ERROR_ALREADY_EXISTS || attempt >= 100) {
            return {SystemReason(renameError)};
        }
    }
    if (DeleteFileW(renamed.c_str())) return {};
    if (!MoveFileExW(renamed.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
        return {LastReason()};
    }
    removedAtRestart_.push_back(FolderOf(file));
    return {{}, true};
}

bool MachineInstaller::RemoveFolder(const std::wstring& folder) {
    // A folder that still holds something (the user's own files) simply stays.
    if (RemoveDirectoryW(folder.c_str())) return false;
    for (const std::wstring& f : removedAtRestart_) {
        // It holds files that go at the restart. Scheduled after them, it goes too, but only
        // if it is empty by then: a new installation in it keeps it.
        if (f == folder && MoveFileExW(folder.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
            removedAtRestart_.push_back(FolderOf(folder));
            return true;
        }
    }
    return false;
}

}  // namespace tessaly::setup
