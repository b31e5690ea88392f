// The real Installer: files, folders and shell links on this machine.
#include "setup/win/machine.h"

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <memory>

#include "win/folders.h"
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

int Today() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return t.wYear * 10000 + t.wMonth * 100 + t.wDay;
}

struct ComReleaser {
    void operator()(IUnknown* p) const { p->Release(); }
};
template <typename T>
using ComPtr = std::unique_ptr<T, ComReleaser>;

struct ComScope {
    HRESULT hr = CoInitialize(nullptr);
    ~ComScope() {
        if (SUCCEEDED(hr)) CoUninitialize();
    }
};

}  // namespace

Situation MachineSituation() {
    return {CurrentFolder(), win::SpecialFolderPath, win::IsExistingFile, win::IsExistingFolder,
            Today(),         win::ProgramFile()};
}

bool AsksForUninstall(const wchar_t* commandLine) {
    int count = 0;
    wchar_t** args = CommandLineToArgvW(commandLine ? commandLine : L"", &count);
    if (!args) return false;
    // With an empty command line the list holds the program's own path only.
    bool uninstall = false;
    if (commandLine && *commandLine && count >= 1) {
        uninstall = lstrcmpiW(args[0], L"/uninstall") == 0;
    }
    LocalFree(args);
    return uninstall;
}

std::wstring CreateShortcut(const std::wstring& link, const std::wstring& target,
                            const std::wstring& workingFolder) {
    ComScope com;
    IShellLinkW* raw = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&raw));
    if (FAILED(hr) || !raw) return ComReason(hr);
    ComPtr<IShellLinkW> shellLink(raw);
    for (HRESULT step : {shellLink->SetPath(target.c_str()), shellLink->SetArguments(L""),
                         shellLink->SetWorkingDirectory(workingFolder.c_str()),
                         shellLink->SetShowCmd(SW_SHOW), shellLink->SetDescription(L"")}) {
        if (FAILED(step)) return ComReason(step);
    }
    IPersistFile* rawFile = nullptr;
    hr = shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&rawFile));
    if (FAILED(hr) || !rawFile) return ComReason(hr);
    ComPtr<IPersistFile> file(rawFile);
    hr = file->Save(link.c_str(), TRUE);
    if (FAILED(hr)) return ComReason(hr);
    return {};
}

int ShowSetupMessage(const Message& message) {
    return win::ShowMessage(nullptr, win::WideToUtf8(message.text),
                            win::WideToUtf8(message.caption), message.style);
}

int MachineInstaller::ShowMessage(const Message& message) {
    return seams_.showMessage ? seams_.showMessage(message) : ShowSetupMessage(message);
}

std::wstring MachineInstaller::CreateFolder(const std::wstring& folder) {
    if (CreateDirectoryW(folder.c_str(), nullptr)) return {};
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS) {
        if (win::IsExistingFolder(folder)) return {};
        return L"A file of that name is in the way.";
    }
    return SystemReason(error);
}

std::wstring MachineInstaller::InstallFile(const std::wstring& from, const std::wstring& to) {
    // Copied beside the target first and then swapped in, so the target is always either the
    // old file or the whole new one.
    const std::wstring fresh = to + L".setup-new";
    if (!CopyFileW(from.c_str(), fresh.c_str(), FALSE)) {
        const std::wstring reason = LastReason();
        DeleteFileW(fresh.c_str());
        return reason;
    }
    if (!MoveFileExW(fresh.c_str(), to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const std::wstring reason = LastReason();
        DeleteFileW(fresh.c_str());
        return reason;
    }
    return {};
}

std::wstring MachineInstaller::KeepBackup(const std::wstring& from, const std::wstring& to) {
    // Never over an existing file: an older backup is kept as it is.
    if (CopyFileW(from.c_str(), to.c_str(), TRUE)) return {};
    return LastReason();
}

void MachineInstaller::StopProgram(const std::wstring& fileName) {
    if (seams_.mayStop) {
        StopRunningProgram(fileName, seams_.mayStop);
    } else {
        StopRunningProgram(fileName);
    }
}

std::wstring MachineInstaller::EnterFolder(const std::wstring& folder) {
    if (SetCurrentDirectoryW(folder.c_str())) return {};
    return LastReason();
}

std::wstring MachineInstaller::CreateShortcut(const std::wstring& link, const std::wstring& target,
                                              const std::wstring& workingFolder) {
    return setup::CreateShortcut(link, target, workingFolder);
}

void MachineInstaller::RestartWindows() {
    if (seams_.restartWindows) {
        seams_.restartWindows();
        return;
    }
    WindowsRestart system;
    setup::RestartWindows(system);
}

std::wstring MachineInstaller::Register(const std::vector<EntryValue>& entry) {
    HKEY key = nullptr;
    LSTATUS status = RegCreateKeyExW(
        seams_.entryForCurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE,
        seams_.entryKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) return SystemReason(DWORD(status));
    for (const EntryValue& v : entry) {
        if (v.isNumber) {
            const DWORD number = v.number;
            status = RegSetValueExW(key, v.name.c_str(), 0, REG_DWORD,
                                    reinterpret_cast<const BYTE*>(&number), sizeof number);
        } else {
            status = RegSetValueExW(key, v.name.c_str(), 0, REG_SZ,
                                    reinterpret_cast<const BYTE*>(v.text.c_str()),
                                    DWORD((v.text.size() + 1) * sizeof(wchar_t)));
        }
        if (status != ERROR_SUCCESS) break;
    }
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? std::wstring() : SystemReason(DWORD(status));
}

std::wstring MachineInstaller::Unregister() {
    const LSTATUS status =
        RegDeleteTreeW(seams_.entryForCurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE,
                       seams_.entryKey.c_str());
    if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) return {};
    return SystemReason(DWORD(status));
}

std::wstring MachineInstaller::RemoveFile(const std::wstring& file) {
    if (DeleteFileW(file.c_str())) return {};
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return {};
    // A program that runs (this very uninstaller among them) goes at the next restart.
    if ((error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION) &&
        MoveFileExW(file.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
        removedAtRestart_.push_back(file.substr(0, file.find_last_of(L'\\')));
        return {};
    }
    return SystemReason(error);
}

void MachineInstaller::RemoveFolder(const std::wstring& folder) {
    // A folder that still holds something (the user's own files) simply stays.
    if (RemoveDirectoryW(folder.c_str())) return;
    for (const std::wstring& f : removedAtRestart_) {
        if (f == folder) {
            MoveFileExW(folder.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
            removedAtRestart_.push_back(folder.substr(0, folder.find_last_of(L'\\')));
            return;
        }
    }
}

}  // namespace tessaly::setup
