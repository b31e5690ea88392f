// The installation plan and its run, step by step, over the Installer seam.
#include "setup/installation.h"

#include <algorithm>
#include <string>

namespace tessaly::setup {
namespace {

// A drive root comes with its backslash ("D:\"); other folders without one.
std::wstring Join(std::wstring_view folder, std::wstring_view name) {
    std::wstring path(folder);
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    path += name;
    return path;
}

std::wstring WithoutTrailingBackslash(std::wstring path) {
    while (!path.empty() && path.back() == L'\\') path.pop_back();
    return path;
}

Step Show(Message message) {
    Step s;
    s.action = Action::kShowMessage;
    s.message = std::move(message);
    return s;
}

Step Do(Action action, std::wstring source, std::wstring target) {
    Step s;
    s.action = action;
    s.source = std::move(source);
    s.target = std::move(target);
    return s;
}

Step Cannot(std::wstring what, std::wstring reason, std::wstring folder = {}) {
    Step s;
    s.action = Action::kCannot;
    s.failure = {std::move(what), std::move(reason)};
    s.target = std::move(folder);
    return s;
}

// The installation's folders below a base folder: the vendor's, and the product's inside it.
struct ProductFolders {
    std::wstring vendor, product;
};
ProductFolders FoldersBelow(const std::wstring& base) {
    const std::wstring root = WithoutTrailingBackslash(base);
    return {root + std::wstring(kVendorFolder), root + std::wstring(kProductFolder)};
}

// The elevated installer never writes or deletes through a junction or symbolic link: either
// folder being one refuses the product folder, and everything meant to go into it is left out.
bool RefusedAsLink(const Situation& s, const ProductFolders& f, std::vector<Step>& steps) {
    if (!s.isReparsePoint(f.vendor) && !s.isReparsePoint(f.product)) return false;
    steps.push_back(Cannot(L"The folder " + f.product, ReparsePointReason(), f.product));
    return true;
}

Step WithAccess(Step step, Access access) {
    step.access = access;
    return step;
}

// base + "\Quorvane\Tessaly", with the steps that create it when it is not there yet. The
// shared one (common application data, which every user may write into) gets explicit access
// lists; when it is there already, possibly made in advance by an ordinary user, it is taken
// over first.
std::wstring EnsureProductFolder(const Situation& s, const std::wstring& base, bool shared,
                                 std::vector<Step>& steps) {
    const ProductFolders f = FoldersBelow(base);
    if (RefusedAsLink(s, f, steps)) return f.product;
    if (!shared) {
        if (!s.isFolder(f.product)) {
            steps.push_back(Do(Action::kCreateFolder, {}, f.vendor));
            steps.push_back(Do(Action::kCreateFolder, {}, f.product));
        }
        return f.product;
    }
    for (auto [folder, access] : {std::pair{f.vendor, Access::kVendorFolder},
                                  std::pair{f.product, Access::kProductFolder}}) {
        const Action action = s.isFolder(folder) ? Action::kSecureFolder : Action::kCreateFolder;
        steps.push_back(WithAccess(Do(action, {}, folder), access));
    }
    return f.product;
}

std::wstring NoFolder(std::wstring_view which) {
    return L"this system gives no " + std::wstring(which) + L" folder";
}

std::wstring FileNameOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring Describe(const Step& step) {
    switch (step.action) {
        case Action::kCreateFolder:
        case Action::kSecureFolder:
        case Action::kEnterFolder:
            return L"The folder " + step.target;
        case Action::kCopyFile:
            return FileNameOf(step.source) + L" as " + step.target;
        case Action::kBackupFile:
            return L"The backup of " + step.source + L" as " + step.target;
        case Action::kCreateShortcut:
            return L"The shortcut " + step.target;
        case Action::kRegister:
        case Action::kUnregister:
            return L"Tessaly's entry in the list of installed programs";
        case Action::kRemoveFile:
        case Action::kRemoveShortcut:
            return step.target;
        default:
            return {};
    }
}

}  // namespace

bool SamePath(std::wstring_view a, std::wstring_view b) {
    auto fold = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? wchar_t(c - L'A' + L'a') : c; };
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

Message RequiredFilesMessage() {
    std::wstring text =
        L"The following files must be available\r\nin the same folder as this program:\r\n\r\n";
    bool first = true;
    for (std::wstring_view name : {kHelpFile, kEditorFile, kNotifierFile}) {
        if (!first) text += L"\r\n";
        first = false;
        text += L'\t';
        text += name;
    }
    return {text, L"Required Files", kMbIconInformation};
}

Message CopyingMessage() {
    return {L"copying file now... please wait", std::wstring(kSetupCaption),
            kMbOk | kMbTaskModal | kMbSetForeground};
}

Message RestartQuestion() {
    return {L"Tessaly setup completed... restart Windows now?", L"Confirm Windows Restart",
            kMbYesNo | kMbIconExclamation};
}

Message NoShutdownPrivilegeMessage() {
    return {L"Could not obtain shutdown privilege.", std::wstring(kSetupCaption),
            kMbOk | kMbTaskModal | kMbSetForeground};
}

Message ShutdownFailedMessage() {
    return {L"Shutdown failed.", std::wstring(kSetupCaption),
            kMbOk | kMbTaskModal | kMbSetForeground};
}

Message EditorOpenMessage() {
    return {
        L"Tessaly is open. Setup cannot put the data file Tessaly.tsy in place while the "
        L"editor runs: the editor would later save its own reminders over it.\r\n\r\n"
        L"Close Tessaly and press Retry, or press Cancel to install without the data file.",
        std::wstring(kSetupCaption),
        kMbRetryCancel | kMbIconExclamation | kMbTaskModal | kMbSetForeground};
}

Message UnexpectedErrorMessage(std::string_view what) {
    // The text of a system or library error: ASCII in practice; anything else shows as "?".
    std::wstring reason;
    for (char c : what) reason += static_cast<unsigned char>(c) < 0x80 ? wchar_t(c) : L'?';
    if (reason.empty()) reason = L"an error without a description";
    return {L"Tessaly setup stopped: " + reason +
                L"\r\n\r\nRun TessalySetup again; what it "
                L"has installed so far stays in place.",
            std::wstring(kSetupCaption), kMbOk | kMbIconError | kMbTaskModal | kMbSetForeground};
}

namespace {

std::wstring FailureLines(const std::vector<Failure>& failures) {
    std::wstring text;
    for (const Failure& f : failures) text += L"\r\n" + f.what + L"\r\n\t" + f.reason + L"\r\n";
    return text;
}

Message Notice(std::wstring text, unsigned icon) {
    return {std::move(text), std::wstring(kSetupCaption),
            kMbOk | icon | kMbTaskModal | kMbSetForeground};
}

}  // namespace

Message UninstallQuestion(const std::wstring& dataFolder) {
    std::wstring text = L"Remove Tessaly from this computer?";
    if (!dataFolder.empty()) {
        text += L"\r\n\r\nYour reminders stay in\r\n" + dataFolder;
    }
    return {text, std::wstring(kSetupCaption),
            kMbYesNo | kMbIconQuestion | kMbTaskModal | kMbSetForeground};
}

namespace {

// Files in use were renamed and go at the next restart.
std::wstring RestartLine(bool restartCompletes) {
    return restartCompletes ? L"\r\nSome of Tessaly's files were in use: restart Windows to "
                              L"complete the removal.\r\n"
                            : L"";
}

}  // namespace

Message UninstalledMessage(const std::wstring& dataFolder, const std::wstring& keptSettings,
                           bool restartCompletes) {
    std::wstring text = L"Tessaly has been removed from this computer.\r\n";
    text += RestartLine(restartCompletes);
    if (!dataFolder.empty()) {
        text += L"\r\nYour reminders and their backups stay in\r\n" + dataFolder +
                L"\r\n\r\nDelete that folder yourself once you no longer need them.\r\n";
    }
    if (!keptSettings.empty()) {
        text += L"\r\nThe editor's settings (where your data file is) stay in\r\n" + keptSettings +
                L"\r\n";
    }
    return Notice(text, kMbIconInformation);
}

Message UninstallFailureReport(const std::vector<Failure>& failures, bool restartCompletes) {
    return Notice(L"Tessaly could not be removed completely. These are still there:\r\n" +
                      FailureLines(failures) + RestartLine(restartCompletes) +
                      L"\r\nTessaly stays in the list of installed programs. Put this right "
                      L"and run \"TessalySetup /uninstall\" again.",
                  kMbIconError);
}

std::vector<EntryValue> ProgramEntry(const std::wstring& installFolder) {
    const std::wstring setup = Join(installFolder, kSetupFile);
    return {
        {L"DisplayName", L"" TESSALY_PRODUCT},
        {L"DisplayVersion", std::wstring(kVersionWide)},
        {L"Publisher", std::wstring(kVendor)},
        {L"InstallLocation", installFolder},
        {L"DisplayIcon", Join(installFolder, kEditorFile)},
        {L"UninstallString", L"\"" + setup + L"\" /uninstall"},
        {L"NoModify", {}, 1, true},
        {L"NoRepair", {}, 1, true},
    };
}

// Each shortcut the installation makes: where, its name, and the program it starts.
struct Link {
    int csidl;
    std::wstring_view folderName, link, program;
};
constexpr Link kLinks[] = {
    {kDesktopFolder, L"desktop", kEditorLink, kEditorFile},
    {kStartupFolder, L"start-up", kNotifierLink, kNotifierFile},
    {kProgramsMenuFolder, L"Start-menu", kEditorLink, kEditorFile},
};

UninstallPlan PlanUninstall(const Situation& s) {
    UninstallPlan plan;
    std::vector<Step>& steps = plan.steps;
    // The notifier first: its program file cannot go while it runs.
    steps.push_back(Do(Action::kStopProgram, std::wstring(kNotifierFile), {}));
    const std::wstring programFiles = s.specialFolder(kProgramFilesX86Folder);
    // A shortcut of the same name that starts something else is the user's, and stays; without
    // a program-files folder no shortcut can be told to be ours.
    if (!programFiles.empty()) {
        const std::wstring installed = FoldersBelow(programFiles).product;
        for (const Link& l : kLinks) {
            const std::wstring base = s.specialFolder(l.csidl);
            if (base.empty()) continue;
            steps.push_back(
                Do(Action::kRemoveShortcut, Join(installed, l.program), Join(base, l.link)));
        }
    }
    auto removeProduct = [&](const std::wstring& base,
                             std::initializer_list<std::wstring_view> files) {
        if (base.empty()) return std::wstring();
        const ProductFolders f = FoldersBelow(base);
        if (RefusedAsLink(s, f, steps)) return std::wstring();
        for (std::wstring_view name : files) {
            steps.push_back(Do(Action::kRemoveFile, {}, Join(f.product, name)));
        }
        steps.push_back(Do(Action::kRemoveFolder, {}, f.product));
        steps.push_back(Do(Action::kRemoveFolder, {}, f.vendor));
        return f.product;
    };
    removeProduct(programFiles, {kEditorFile, kNotifierFile, kToolFile, kSetupFile});
    const std::wstring helpFolder =
        removeProduct(s.specialFolder(kCommonAppDataFolder), {kHelpFile});
    if (!helpFolder.empty() && s.isFile(Join(helpFolder, kSettingsFile))) {
        plan.keptSettings = Join(helpFolder, kSettingsFile);
    }
    steps.push_back(Do(Action::kUnregister, {}, {}));
    const std::wstring documents = s.specialFolder(kDocumentsFolder);
    if (!documents.empty()) {
        plan.dataFolder = WithoutTrailingBackslash(documents) + std::wstring(kProductFolder);
    }
    return plan;
}

RunReport RunUninstall(const UninstallPlan& plan, Installer& installer) {
    RunReport report;
    if (installer.ShowMessage(UninstallQuestion(plan.dataFolder)) != kIdYes) {
        report.outcome = Outcome::kKeptInstalled;
        return report;
    }
    auto remove = [&](const std::wstring& file) {
        const Removal r = installer.RemoveFile(file);
        report.restartCompletes = report.restartCompletes || (r.reason.empty() && r.atRestart);
        return r.reason;
    };
    for (const Step& step : plan.steps) {
        std::wstring reason;
        switch (step.action) {
            case Action::kCannot:
                report.failures.push_back(step.failure);
                break;
            case Action::kStopProgram:
                installer.StopProgram(step.source);
                break;
            case Action::kRemoveShortcut:
                if (const std::optional<std::wstring> target =
                        installer.ShortcutTarget(step.target);
                    target && SamePath(*target, step.source)) {
                    reason = remove(step.target);
                }
                break;
            case Action::kRemoveFile:
                reason = remove(step.target);
                break;
            case Action::kRemoveFolder:
                if (installer.RemoveFolder(step.target)) report.restartCompletes = true;
                break;
            case Action::kUnregister:
                // Kept while anything is left, so the list still offers the uninstall.
                if (report.failures.empty()) reason = installer.Unregister();
                break;
            default:
                break;
        }
        if (!reason.empty()) report.failures.push_back({Describe(step), reason});
    }
    if (!report.failures.empty()) {
        installer.ShowMessage(UninstallFailureReport(report.failures, report.restartCompletes));
        report.outcome = Outcome::kFailed;
        return report;
    }
    installer.ShowMessage(
        UninstalledMessage(plan.dataFolder, plan.keptSettings, report.restartCompletes));
    report.outcome = Outcome::kUninstalled;
    return report;
}

Message FailureReport(const std::vector<Failure>& failures,
                      const std::vector<std::wstring>& leftOut) {
    std::wstring text = L"Tessaly setup did not complete. These could not be installed:\r\n";
    text += FailureLines(failures);
    if (!leftOut.empty()) {
        text += L"\r\nLeft out because of this:";
        for (std::size_t i = 0; i < leftOut.size(); ++i) {
            text += (i == 0 ? L" " : L", ") + leftOut[i];
        }
        text += L"\r\n";
    }
    text += L"\r\nPut this right and run TessalySetup again.";
    return {text, std::wstring(kSetupCaption),
            kMbOk | kMbIconError | kMbTaskModal | kMbSetForeground};
}

std::wstring BackupFileName(int today, int n) {
    std::wstring name = L"Tessaly-before-setup-" + std::to_wstring(today);
    if (n > 1) name += L"-" + std::to_wstring(n);
    return name + L".tsy";
}

Plan PlanInstallation(const Situation& s) {
    Plan plan;
    auto beside = [&](std::wstring_view name) { return Join(s.currentFolder, name); };
    for (std::wstring_view name : {kHelpFile, kEditorFile, kNotifierFile}) {
        if (!s.isFile(beside(name))) {
            plan.steps.push_back(Show(RequiredFilesMessage()));
            return plan;
        }
    }
    plan.complete = true;
    std::vector<Step>& steps = plan.steps;
    steps.push_back(Show(CopyingMessage()));

    // The help file goes where the editor keeps its own files.
    const std::wstring common = s.specialFolder(kCommonAppDataFolder);
    if (common.empty()) {
        steps.push_back(Cannot(std::wstring(kHelpFile), NoFolder(L"common application-data")));
    } else {
        const std::wstring folder = EnsureProductFolder(s, common, true, steps);
        // Every user's editor reads it; none may replace it.
        steps.push_back(
            WithAccess(Do(Action::kCopyFile, beside(kHelpFile), Join(folder, kHelpFile)),
                       Access::kReadOnlyFile));
    }

    // The documents folder is made even without a data file: the notifier looks there.
    const bool bringsData = s.isFile(beside(kDataFile));
    const std::wstring documents = s.specialFolder(kDocumentsFolder);
    if (documents.empty()) {
        if (bringsData) {
            steps.push_back(Cannot(std::wstring(kDataFile), NoFolder(L"documents")));
        }
    } else if (const std::wstring folder = EnsureProductFolder(s, documents, false, steps);
               bringsData) {
        const std::wstring target = Join(folder, kDataFile);
        // A running editor would save its own lists over the new file: asked about first.
        steps.push_back(Do(Action::kCheckEditorClosed, {}, target));
        // The user's own data is kept before anything replaces it.
        if (s.isFile(target)) {
            std::wstring backup;
            for (int n = 1;; ++n) {
                backup = Join(folder, BackupFileName(s.today, n));
                if (!s.isFile(backup)) break;
            }
            Step keep = Do(Action::kBackupFile, target, backup);
            keep.afterSuccess = true;
            steps.push_back(keep);
        }
        Step copy = Do(Action::kCopyFile, beside(kDataFile), target);
        copy.afterSuccess = true;
        steps.push_back(copy);
    }

    const std::wstring programFiles = s.specialFolder(kProgramFilesX86Folder);
    if (programFiles.empty()) {
        const std::wstring reason = NoFolder(L"program-files");
        steps.push_back(Cannot(std::wstring(kEditorFile), reason));
        steps.push_back(Cannot(std::wstring(kNotifierFile), reason));
        return plan;  // no programs, so nothing for shortcuts to start
    }
    const std::wstring folder = EnsureProductFolder(s, programFiles, false, steps);
    plan.installFolder = folder;
    // A running notifier holds its program file; stopped first, it can be replaced (and only
    // when its folder is there to take the new one).
    steps.push_back(Do(Action::kStopProgram, std::wstring(kNotifierFile), folder));
    steps.push_back(Do(Action::kCopyFile, beside(kEditorFile), Join(folder, kEditorFile)));
    steps.push_back(Do(Action::kCopyFile, beside(kNotifierFile), Join(folder, kNotifierFile)));
    if (s.isFile(beside(kToolFile))) {
        steps.push_back(Do(Action::kCopyFile, beside(kToolFile), Join(folder, kToolFile)));
    }
    // The installed copy of this program is what the installed-programs list runs to uninstall.
    const std::wstring installedSetup = Join(folder, kSetupFile);
    if (!s.setupProgram.empty() && !SamePath(s.setupProgram, installedSetup)) {
        steps.push_back(Do(Action::kCopyFile, s.setupProgram, installedSetup));
    }
    steps.push_back(Do(Action::kEnterFolder, {}, folder));

    for (const Link& l : kLinks) {
        const std::wstring base = s.specialFolder(l.csidl);
        if (base.empty()) {
            steps.push_back(
                Cannot(L"The shortcut " + std::wstring(l.link), NoFolder(l.folderName)));
            continue;
        }
        Step link = Do(Action::kCreateShortcut, Join(folder, l.program), Join(base, l.link));
        link.workingFolder = folder;
        steps.push_back(link);
    }
    steps.push_back(Do(Action::kRegister, installedSetup, folder));
    return plan;
}

RunReport RunInstallation(const Plan& plan, Installer& installer) {
    RunReport report;
    if (!plan.complete) {
        for (const Step& step : plan.steps) installer.ShowMessage(step.message);
        report.outcome = Outcome::kMissingFiles;
        return report;
    }
    // Paths that are not there as planned: folders not made, files not copied. What lies in
    // them, or starts a program among them, is left out rather than failing again.
    std::vector<std::wstring> missing;
    auto isMissing = [&](const std::wstring& path) {
        for (const std::wstring& m : missing) {
            if (path == m || path.rfind(m + L"\\", 0) == 0) return true;
        }
        return false;
    };
    // Left out because the user chose so, which is no failure to report.
    std::vector<std::wstring> declined;
    bool previousOk = true;
    for (const Step& step : plan.steps) {
        if (step.action == Action::kCannot) {
            report.failures.push_back(step.failure);
            if (!step.target.empty()) missing.push_back(step.target);
            previousOk = false;
            continue;
        }
        const bool leaveOut = (step.afterSuccess && !previousOk) || isMissing(step.target) ||
                              (step.action == Action::kCreateShortcut && isMissing(step.source));
        if (leaveOut) {
            const bool chosen =
                std::find(declined.begin(), declined.end(), step.target) != declined.end();
            const std::wstring name = FileNameOf(step.target);
            // Named once: the desktop's and the Start menu's shortcut share a name.
            if (!chosen &&
                (step.action == Action::kCopyFile || step.action == Action::kCreateShortcut) &&
                std::find(report.leftOut.begin(), report.leftOut.end(), name) ==
                    report.leftOut.end()) {
                report.leftOut.push_back(name);
            }
            missing.push_back(step.target);
            previousOk = false;
            continue;
        }
        std::wstring reason;
        switch (step.action) {
            case Action::kShowMessage:
                installer.ShowMessage(step.message);
                break;
            case Action::kCreateFolder:
                reason = installer.CreateFolder(step.target, step.access);
                break;
            case Action::kSecureFolder:
                reason = installer.SecureFolder(step.target, step.access);
                break;
            case Action::kCheckEditorClosed: {
                // Never replaced under a running editor: the user closes it, or leaves the
                // data file out (the steps after this one, which need it to have gone well).
                bool leftOut = false;
                while (!leftOut && installer.EditorRunning()) {
                    leftOut = installer.ShowMessage(EditorOpenMessage()) != kIdRetry;
                }
                if (leftOut) {
                    declined.push_back(step.target);
                    previousOk = false;
                    continue;
                }
                break;
            }
            case Action::kBackupFile:
                reason = installer.KeepBackup(step.source, step.target);
                break;
            case Action::kCopyFile:
                reason = installer.InstallFile(step.source, step.target, step.access);
                break;
            case Action::kStopProgram:
                installer.StopProgram(step.source);
                break;
            case Action::kEnterFolder:
                reason = installer.EnterFolder(step.target);
                break;
            case Action::kCreateShortcut:
                reason = installer.CreateShortcut(step.target, step.source, step.workingFolder);
                break;
            case Action::kRegister:
                reason = installer.Register(ProgramEntry(step.target));
                break;
            case Action::kCannot:
            case Action::kUnregister:
            case Action::kRemoveFile:
            case Action::kRemoveShortcut:
            case Action::kRemoveFolder:
                break;  // the uninstall's
        }
        previousOk = reason.empty();
        if (!previousOk) {
            report.failures.push_back({Describe(step), reason});
            if (step.action != Action::kBackupFile) missing.push_back(step.target);
        }
    }
    if (!report.failures.empty()) {
        installer.ShowMessage(FailureReport(report.failures, report.leftOut));
        report.outcome = Outcome::kFailed;
        return report;
    }
    if (installer.ShowMessage(RestartQuestion()) == kIdNo) {
        report.outcome = Outcome::kNoRestart;
        return report;
    }
    installer.RestartWindows();
    report.outcome = Outcome::kRestartAsked;
    return report;
}

}  // namespace tessaly::setup
