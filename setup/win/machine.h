// The installer's Win32 side: the real Installer over files, folders, shell links, processes
// and the restart. Message boxes (win::messageBox), ending a process and asking whether the
// editor runs are replaceable calls, and the restart a RestartSystem the installer is given, so
// a test never restarts or stops anything it did not start.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "setup/installation.h"
#include "setup/stop_restart.h"
#include "win/system_call.h"

namespace tessaly::setup {

// What the installer finds: the current folder, the shell's folders, the files there, today
// and its own program file.
Situation MachineSituation();

// "/uninstall" as the first argument (any case) asks for the uninstall; nothing else is read.
bool AsksForUninstall(const wchar_t* commandLine);

// Run first, before anything can load a DLL by name: from then on DLLs come from the system
// folder only, never from the folder the installer was started in (Downloads, say), where a
// planted one would run as administrator.
bool LimitDllSearchToSystemFolder();

// Whether the path is a junction or a symbolic link itself.
bool IsReparsePoint(const std::wstring& path);

// Whether the editor runs in this session: its single-instance mutex exists.
bool EditorRunsInThisSession();
// What the installer asks: EditorRunsInThisSession, unless a test answers.
extern win::SystemCall<bool()> editorRunning;

// Saves a shell link (arguments and description empty, shown normally). Returns the
// system's reason when it could not, else an empty text.
std::wstring CreateShortcut(const std::wstring& link, const std::wstring& target,
                            const std::wstring& workingFolder);
// What a shell link starts, as saved; none when the file is missing or no link.
std::optional<std::wstring> ShortcutTarget(const std::wstring& link);

// The processes and their executables, by the process-status functions (NT family) or by a
// process snapshot (which gives file names only). Processes that cannot be read are left out.
std::vector<RunningProcess> ProcessesByModules();
std::vector<RunningProcess> ProcessesBySnapshot();
bool IsNtFamily();

// Ends a process and waits briefly for it to go, so its program file can be replaced; false
// when it could not be ended.
bool EndProcess(std::uint32_t processId);
// What StopRunningProgram calls: EndProcess, unless a test spares the processes it did not
// start.
extern win::SystemCall<bool(std::uint32_t processId)> endProcess;

// Stops the first process that runs fileName. Returns the id stopped, or 0.
std::uint32_t StopRunningProgram(const std::wstring& fileName);

// The real restart: shutdown privilege, then ExitWindowsEx, with message boxes.
class WindowsRestart : public RestartSystem {
  public:
    bool IsNtFamily() override;
    bool EnableShutdownPrivilege() override;
    bool RequestRestart() override;
    void ShowMessage(const Message& message) override;
};

// Where Tessaly's entry in the installed-programs list goes: under HKEY_LOCAL_MACHINE (the
// installer runs elevated); tests name a key of their own under HKEY_CURRENT_USER.
struct EntryKey {
    std::wstring path = std::wstring(kUninstallKey);
    bool currentUser = false;
};

class MachineInstaller : public Installer {
  public:
    // restart is how Windows restarts when the user asks for it.
    explicit MachineInstaller(RestartSystem& restart, EntryKey entry = {})
        : restart_(restart), entry_(std::move(entry)) {}
    int ShowMessage(const Message& message) override;
    std::wstring CreateFolder(const std::wstring& folder, Access access) override;
    std::wstring SecureFolder(const std::wstring& folder, Access access) override;
    std::wstring InstallFile(const std::wstring& from, const std::wstring& to,
                             Access access) override;
    std::wstring KeepBackup(const std::wstring& from, const std::wstring& to) override;
    bool EditorRunning() override;
    void StopProgram(const std::wstring& fileName) override;
    std::wstring EnterFolder(const std::wstring& folder) override;
    std::wstring CreateShortcut(const std::wstring& link, const std::wstring& target,
                                const std::wstring& workingFolder) override;
    std::optional<std::wstring> ShortcutTarget(const std::wstring& link) override;
    void RestartWindows() override;
    std::wstring Register(const std::vector<EntryValue>& entry) override;
    std::wstring Unregister() override;
    Removal RemoveFile(const std::wstring& file) override;
    bool RemoveFolder(const std::wstring& folder) override;

  private:
    std::vector<std::wstring> removedAtRestart_;  // folders holding files that go at restart
    RestartSystem& restart_;
    EntryKey entry_;
};

// The message box as the installer shows it: no owner, the message's own style.
int ShowSetupMessage(const Message& message);

}  // namespace tessaly::setup
