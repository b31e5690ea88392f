// Finding and stopping a running program, and restarting Windows.
#include <windows.h>
#include <tlhelp32.h>

#include "setup/win/machine.h"
#include "win/handles.h"

namespace tessaly::setup {
namespace {

using win::Handle;

// The process-status functions live in psapi.dll on older systems; looked up at run time so
// the installer starts on every system.
struct Psapi {
    using EnumProcessesFn = BOOL(WINAPI*)(DWORD*, DWORD, DWORD*);
    using EnumProcessModulesFn = BOOL(WINAPI*)(HANDLE, HMODULE*, DWORD, DWORD*);
    using GetModuleFileNameExWFn = DWORD(WINAPI*)(HANDLE, HMODULE, LPWSTR, DWORD);
    EnumProcessesFn enumProcesses = nullptr;
    EnumProcessModulesFn enumProcessModules = nullptr;
    GetModuleFileNameExWFn moduleFileName = nullptr;

    Psapi() {
        HMODULE module = GetModuleHandleW(L"psapi.dll");
        if (!module) module = LoadLibraryW(L"psapi.dll");
        if (!module) return;
        enumProcesses = reinterpret_cast<EnumProcessesFn>(
            reinterpret_cast<void*>(GetProcAddress(module, "EnumProcesses")));
        enumProcessModules = reinterpret_cast<EnumProcessModulesFn>(
            reinterpret_cast<void*>(GetProcAddress(module, "EnumProcessModules")));
        moduleFileName = reinterpret_cast<GetModuleFileNameExWFn>(
            reinterpret_cast<void*>(GetProcAddress(module, "GetModuleFileNameExW")));
    }
    bool ok() const { return enumProcesses && enumProcessModules && moduleFileName; }
};

// Calls list(buffer, bytes, &needed), doubling from 100 bytes while the answer may not fit.
template <typename T, typename List>
bool GrowingList(std::vector<T>& items, List list) {
    DWORD bytes = 100;
    for (;;) {
        items.assign(bytes / sizeof(T) + 1, T{});
        DWORD needed = 0;
        if (!list(items.data(), bytes, &needed)) return false;
        if (needed < bytes) {
            items.resize(needed / sizeof(T));
            return true;
        }
        if (bytes > (1u << 24)) return false;  // no sane system lists this many
        bytes *= 2;
    }
}

}  // namespace

bool IsNtFamily() {
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const BOOL ok = GetVersionExW(&info);
#pragma GCC diagnostic pop
    return ok && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

std::vector<RunningProcess> ProcessesByModules() {
    std::vector<RunningProcess> result;
    const Psapi psapi;
    if (!psapi.ok()) return result;
    std::vector<DWORD> ids;
    if (!GrowingList(ids, psapi.enumProcesses)) return result;
    for (DWORD id : ids) {
        // Other users' and the system's processes cannot be opened; they are skipped.
        Handle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id));
        if (!process) continue;
        std::vector<HMODULE> modules;
        const bool listed = GrowingList(modules, [&](HMODULE* m, DWORD size, DWORD* needed) {
            return psapi.enumProcessModules(process.get(), m, size, needed);
        });
        if (!listed || modules.empty()) continue;
        wchar_t path[MAX_PATH] = {};
        const DWORD n = psapi.moduleFileName(process.get(), modules[0], path, MAX_PATH);
        if (n == 0) continue;
        result.push_back({id, std::wstring(path, n)});
    }
    return result;
}

std::vector<RunningProcess> ProcessesBySnapshot() {
    std::vector<RunningProcess> result;
    Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return result;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
        result.push_back({entry.th32ProcessID, entry.szExeFile});
    }
    return result;
}

bool EndProcess(std::uint32_t processId) {
    Handle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId));
    if (!process || !TerminateProcess(process.get(), 0)) return false;
    // Ending is asynchronous; its program file stays locked until the process is gone.
    WaitForSingleObject(process.get(), 5000);
    return true;
}

win::SystemCall<bool(std::uint32_t)> endProcess{&EndProcess};

std::uint32_t StopRunningProgram(const std::wstring& fileName) {
    const auto found =
        FirstProcessRunning(IsNtFamily() ? ProcessesByModules() : ProcessesBySnapshot(), fileName);
    if (!found || !endProcess(*found)) return 0;
    return *found;
}

bool WindowsRestart::IsNtFamily() {
    return setup::IsNtFamily();
}

bool WindowsRestart::EnableShutdownPrivilege() {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw)) {
        return false;
    }
    const Handle token(raw);
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid)) {
        return false;
    }
    if (!AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr)) return false;
    // A token without the privilege "succeeds" but says it assigned nothing.
    return GetLastError() != ERROR_NOT_ALL_ASSIGNED;
}

bool WindowsRestart::RequestRestart() {
    return ExitWindowsEx(EWX_SHUTDOWN | EWX_REBOOT, SHTDN_REASON_MAJOR_APPLICATION |
                                                        SHTDN_REASON_MINOR_INSTALLATION |
                                                        SHTDN_REASON_FLAG_PLANNED) != 0;
}

void WindowsRestart::ShowMessage(const Message& message) {
    ShowSetupMessage(message);
}

}  // namespace tessaly::setup
