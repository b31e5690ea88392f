// The installer's rules: what to install where, in which order, and what to tell the user.
// Everything that touches the machine goes through the Installer seam, so the whole run can
// be played against a fake.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/product.h"
#include "setup/protection.h"

namespace tessaly::setup {

// The files the installer carries, the folders it installs them to and the shell's folders it
// asks for are named in core/product.h.

// Message-box styles and answers, as the system numbers them.
inline constexpr unsigned kMbOk = 0x0;
inline constexpr unsigned kMbYesNo = 0x4;
inline constexpr unsigned kMbRetryCancel = 0x5;
inline constexpr unsigned kMbIconError = 0x10;
inline constexpr unsigned kMbIconQuestion = 0x20;
inline constexpr unsigned kMbIconExclamation = 0x30;
inline constexpr unsigned kMbIconInformation = 0x40;
inline constexpr unsigned kMbTaskModal = 0x2000;
inline constexpr unsigned kMbSetForeground = 0x10000;
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdRetry = 4;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

// The caption of the boxes that have no title of their own.
inline constexpr std::wstring_view kSetupCaption = L"Tessaly Setup";

struct Message {
    std::wstring text;
    std::wstring caption;
    unsigned style = 0;
    bool operator==(const Message&) const = default;
};

Message RequiredFilesMessage();
Message CopyingMessage();
Message RestartQuestion();
Message NoShutdownPrivilegeMessage();
Message ShutdownFailedMessage();
// The editor runs while a data file beside the installer would replace the one it works on.
Message EditorOpenMessage();
// What the installer says when something it did not foresee stopped it, in that thing's words.
Message UnexpectedErrorMessage(std::string_view what);

// Something that could not be installed, and the system's reason.
struct Failure {
    std::wstring what;
    std::wstring reason;
    bool operator==(const Failure&) const = default;
};
// Names every failure, then what was left out because of them (file names); never says the
// setup completed and offers no restart.
Message FailureReport(const std::vector<Failure>& failures,
                      const std::vector<std::wstring>& leftOut = {});

// The uninstall's question, and what it says at the end: where the user's data stays.
Message UninstallQuestion(const std::wstring& dataFolder);
// restartCompletes: files in use were scheduled to go at the next restart.
Message UninstalledMessage(const std::wstring& dataFolder, const std::wstring& keptSettings,
                           bool restartCompletes);
Message UninstallFailureReport(const std::vector<Failure>& failures, bool restartCompletes);

// The system's list of installed programs: the values of Tessaly's entry.
struct EntryValue {
    std::wstring name;
    std::wstring text;  // a text value, unless isNumber
    std::uint32_t number = 0;
    bool isNumber = false;
    bool operator==(const EntryValue&) const = default;
};
inline constexpr std::wstring_view kUninstallKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tessaly";
std::vector<EntryValue> ProgramEntry(const std::wstring& installFolder);

// What the installer finds when it starts.
struct Situation {
    std::wstring currentFolder;                            // where it was started
    std::function<std::wstring(int csidl)> specialFolder;  // empty when the system has none
    std::function<bool(const std::wstring&)> isFile;
    std::function<bool(const std::wstring&)> isFolder;
    // True when the path itself is a junction or a symbolic link (a reparse point).
    std::function<bool(const std::wstring&)> isReparsePoint;
    int today = 0;              // yyyymmdd, names the backup of a replaced data file
    std::wstring setupProgram;  // this program's own file, installed to uninstall with
};

enum class Action {
    kShowMessage,        // message
    kCreateFolder,       // target, with access
    kSecureFolder,       // target, an existing folder: taken over if need be, given access
    kBackupFile,         // source -> target, never over an existing file
    kCheckEditorClosed,  // before target (the data file) is replaced: asks while the editor runs
    kCopyFile,           // source -> target, replacing it whole; the new file gets access
    kStopProgram,        // source: the program's file name; target: the folder its new file goes to
    kEnterFolder,        // target becomes the current folder
    kCreateShortcut,     // target: the link file; source: what it starts; workingFolder
    kCannot,             // failure: what could not be installed and why, found while planning;
                         // target (a folder) when nothing is to go into it
    kRegister,           // the entry in the installed-programs list; target: the install folder
    kUnregister,         // that entry removed
    kRemoveFile,         // target removed (now, or at the next restart when it is in use)
    kRemoveShortcut,     // target removed if it is a shortcut to source, else left alone
    kRemoveFolder,       // target removed when it is empty; never a failure
};

struct Step {
    Action action = Action::kShowMessage;
    std::wstring source;
    std::wstring target;
    std::wstring workingFolder;
    Message message;
    Failure failure;  // kCannot only
    Access access = Access::kInherited;
    bool afterSuccess = false;  // left out unless the step before it succeeded
    bool operator==(const Step&) const = default;
};

struct Plan {
    // False when a required file is missing: the plan is then only the message saying so.
    bool complete = false;
    std::vector<Step> steps;
    std::wstring installFolder;  // where the programs go; empty without a program-files folder
};

// The ordered steps up to, not including, the closing question.
Plan PlanInstallation(const Situation& situation);

// "Tessaly-before-setup-YYYYMMDD.tsy", or with "-2", "-3" ... before ".tsy" for the n-th
// backup of one day.
std::wstring BackupFileName(int today, int n);

// How a file went: at once, or renamed and scheduled for the next restart because it was in
// use; or not at all, with the system's reason.
struct Removal {
    std::wstring reason;
    bool atRestart = false;
};

// The machine, as the run of a plan meets it. Operations that can fail return the system's
// reason, or an empty text on success. None of them writes or deletes through a junction or
// symbolic link.
class Installer {
  public:
    virtual ~Installer() = default;
    virtual int ShowMessage(const Message& message) = 0;  // the button pressed
    // A folder that is already there is secured as SecureFolder does.
    virtual std::wstring CreateFolder(const std::wstring& folder, Access access) = 0;
    virtual std::wstring SecureFolder(const std::wstring& folder, Access access) = 0;
    virtual std::wstring InstallFile(const std::wstring& from, const std::wstring& to,
                                     Access access) = 0;
    virtual std::wstring KeepBackup(const std::wstring& from, const std::wstring& to) = 0;
    // Whether the editor runs in this session, and so may save its lists over a new data file.
    virtual bool EditorRunning() = 0;
    virtual void StopProgram(const std::wstring& fileName) = 0;
    virtual std::wstring EnterFolder(const std::wstring& folder) = 0;
    virtual std::wstring CreateShortcut(const std::wstring& link, const std::wstring& target,
                                        const std::wstring& workingFolder) = 0;
    // What a shortcut starts; none when there is no such file or it cannot be read as one.
    virtual std::optional<std::wstring> ShortcutTarget(const std::wstring& link) = 0;
    virtual void RestartWindows() = 0;
    virtual std::wstring Register(const std::vector<EntryValue>& entry) = 0;
    virtual std::wstring Unregister() = 0;
    virtual Removal RemoveFile(const std::wstring& file) = 0;  // a missing file is fine
    // True when the folder, still holding files that go at the next restart, goes then too
    // (if it is empty by then).
    virtual bool RemoveFolder(const std::wstring& folder) = 0;
};

enum class Outcome {
    kMissingFiles,   // required files were missing; nothing was changed
    kFailed,         // something was not installed, and the user was told what
    kNoRestart,      // installed; the user declined the restart
    kRestartAsked,   // installed; the restart was asked for
    kUninstalled,    // everything installed is gone, the user's data kept
    kKeptInstalled,  // the user declined the uninstall
};

struct RunReport {
    Outcome outcome = Outcome::kMissingFiles;
    std::vector<Failure> failures;
    // Files and shortcuts not attempted because a folder, a program or a backup before them
    // failed, by file name.
    std::vector<std::wstring> leftOut;
    bool restartCompletes = false;  // the uninstall scheduled files for the next restart
};

// Carries the plan out, step by step, then asks the closing question or reports failures.
RunReport RunInstallation(const Plan& plan, Installer& installer);

// Stops the notifier, removes what the installation put in place and its entry; the user's
// data folder (data file, backups) and the editor's settings file stay.
struct UninstallPlan {
    std::vector<Step> steps;
    std::wstring dataFolder;    // where the user's data stays; empty without a documents folder
    std::wstring keptSettings;  // the editor's settings file, when there is one
};
UninstallPlan PlanUninstall(const Situation& situation);
// Asks first; then removes and says where the data stays, or names what is still there. The
// installed-programs entry goes only when everything else went (now or at the next restart),
// so the user can run the uninstall again.
RunReport RunUninstall(const UninstallPlan& plan, Installer& installer);

// Windows paths ignore the case of ASCII letters.
bool SamePath(std::wstring_view a, std::wstring_view b);

}  // namespace tessaly::setup
