// The installation plan and its run, step by step, over the Installer seam.
#include "setup/installation.h"

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

Step Cannot(std::wstring what, std::wstring reason) {
    Step s;
    s.action = Action::kCannot;
    s.failure = {std::move(what), std::move(reason)};
    return s;
}

// base + "\Quorvane\Tessaly", with the steps that create it when it is not there yet.
std::wstring EnsureProductFolder(const Situation& s, const std::wstring& base,
                                 std::vector<Step>& steps) {
    const std::wstring root = WithoutTrailingBackslash(base);
    const std::wstring product = root + std::wstring(kProductFolder);
    if (!s.isFolder(product)) {
        steps.push_back(Do(Action::kCreateFolder, {}, root + std::wstring(kVendorFolder)));
        steps.push_back(Do(Action::kCreateFolder, {}, product));
    }
    return product;
}

std::wstring NoFolder(std::wstring_view which) {
    return L"this system gives no " + std::wstring(which) + L" folder";
}

// Windows paths ignore the case of ASCII letters.
bool SamePath(std::wstring_view a, std::wstring_view b) {
    auto fold = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? wchar_t(c - L'A' + L'a') : c; };
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

std::wstring FileNameOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring Describe(const Step& step) {
    switch (step.action) {
        case Action::kCreateFolder:
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
            return step.target;
        default:
            return {};
    }
}

}  // namespace

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

Message UninstalledMessage(const std::wstring& dataFolder, const std::wstring& keptSettings) {
    std::wstring text = L"Tessaly has been removed from this computer.\r\n";
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

Message UninstallFailureReport(const std::vector<Failure>& failures) {
    return Notice(L"Tessaly could not be removed completely. These are still there:\r\n" +
                      FailureLines(failures) +
                      L"\r\nPut this right and run \"TessalySetup /uninstall\" again.",
                  kMbIconError);
}

std::vector<EntryValue> ProgramEntry(const std::wstring& installFolder) {
    const std::wstring setup = Join(installFolder, kSetupFile);
    return {
        {L"DisplayName", L"Tessaly"},
        {L"DisplayVersion", L"3.03"},
        {L"Publisher", L"Quorvane"},
        {L"InstallLocation", installFolder},
        {L"DisplayIcon", Join(installFolder, kEditorFile)},
        {L"UninstallString", L"\"" + setup + L"\" /uninstall"},
        {L"NoModify", {}, 1, true},
        {L"NoRepair", {}, 1, true},
    };
}

UninstallPlan PlanUninstall(const Situation& s) {
    UninstallPlan plan;
    std::vector<Step>& steps = plan.steps;
    // The notifier first: its program file cannot go while it runs.
    steps.push_back(Do(Action::kStopProgram, std::wstring(kNotifierFile), {}));
    for (auto [csidl, link] :
         {std::pair{kCsidlDesktop, kEditorLink}, std::pair{kCsidlStartup, kNotifierLink}}) {
        const std::wstring base = s.specialFolder(csidl);
        if (!base.empty()) steps.push_back(Do(Action::kRemoveFile, {}, Join(base, link)));
    }
    auto removeProduct = [&](int csidl, std::initializer_list<std::wstring_view> files) {
        const std::wstring base = s.specialFolder(csidl);
        if (base.empty()) return std::wstring();
        const std::wstring root = WithoutTrailingBackslash(base);
        const std::wstring folder = root + std::wstring(kProductFolder);
        for (std::wstring_view f : files) {
            steps.push_back(Do(Action::kRemoveFile, {}, Join(folder, f)));
        }
        steps.push_back(Do(Action::kRemoveFolder, {}, folder));
        steps.push_back(Do(Action::kRemoveFolder, {}, root + std::wstring(kVendorFolder)));
        return folder;
    };
    removeProduct(kCsidlProgramFilesX86, {kEditorFile, kNotifierFile, kSetupFile});
    const std::wstring helpFolder = removeProduct(kCsidlCommonAppData, {kHelpFile});
    if (!helpFolder.empty() && s.isFile(Join(helpFolder, kSettingsFile))) {
        plan.keptSettings = Join(helpFolder, kSettingsFile);
    }
    steps.push_back(Do(Action::kUnregister, {}, {}));
    const std::wstring documents = s.specialFolder(kCsidlPersonal);
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
    for (const Step& step : plan.steps) {
        std::wstring reason;
        switch (step.action) {
            case Action::kStopProgram:
                installer.StopProgram(step.source);
                break;
            case Action::kRemoveFile:
                reason = installer.RemoveFile(step.target);
                break;
            case Action::kRemoveFolder:
                installer.RemoveFolder(step.target);
                break;
            case Action::kUnregister:
                reason = installer.Unregister();
                break;
            default:
                break;
        }
        if (!reason.empty()) report.failures.push_back({Describe(step), reason});
    }
    if (!report.failures.empty()) {
        installer.ShowMessage(UninstallFailureReport(report.failures));
        report.outcome = Outcome::kFailed;
        return report;
    }
    installer.ShowMessage(UninstalledMessage(plan.dataFolder, plan.keptSettings));
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
    const std::wstring common = s.specialFolder(kCsidlCommonAppData);
    if (common.empty()) {
        steps.push_back(Cannot(std::wstring(kHelpFile), NoFolder(L"common application-data")));
    } else {
        const std::wstring folder = EnsureProductFolder(s, common, steps);
        steps.push_back(Do(Action::kCopyFile, beside(kHelpFile), Join(folder, kHelpFile)));
    }

    // The documents folder is made even without a data file: the notifier looks there.
    const bool bringsData = s.isFile(beside(kDataFile));
    const std::wstring documents = s.specialFolder(kCsidlPersonal);
    if (documents.empty()) {
        if (bringsData) {
            steps.push_back(Cannot(std::wstring(kDataFile), NoFolder(L"documents")));
        }
    } else {
        const std::wstring folder = EnsureProductFolder(s, documents, steps);
        if (bringsData) {
            const std::wstring target = Join(folder, kDataFile);
            // The user's own data is kept before anything replaces it.
            const bool keepOld = s.isFile(target);
            if (keepOld) {
                std::wstring backup;
                for (int n = 1;; ++n) {
                    backup = Join(folder, BackupFileName(s.today, n));
                    if (!s.isFile(backup)) break;
                }
                steps.push_back(Do(Action::kBackupFile, target, backup));
            }
            Step copy = Do(Action::kCopyFile, beside(kDataFile), target);
            copy.afterSuccess = keepOld;
            steps.push_back(copy);
        }
    }

    const std::wstring programFiles = s.specialFolder(kCsidlProgramFilesX86);
    if (programFiles.empty()) {
        const std::wstring reason = NoFolder(L"program-files");
        steps.push_back(Cannot(std::wstring(kEditorFile), reason));
        steps.push_back(Cannot(std::wstring(kNotifierFile), reason));
        return plan;  // no programs, so nothing for shortcuts to start
    }
    const std::wstring folder = EnsureProductFolder(s, programFiles, steps);
    plan.installFolder = folder;
    // A running notifier holds its program file; stopped first, it can be replaced.
    steps.push_back(Do(Action::kStopProgram, std::wstring(kNotifierFile), {}));
    steps.push_back(Do(Action::kCopyFile, beside(kEditorFile), Join(folder, kEditorFile)));
    steps.push_back(Do(Action::kCopyFile, beside(kNotifierFile), Join(folder, kNotifierFile)));
    // The installed copy of this program is what the installed-programs list runs to uninstall.
    const std::wstring installedSetup = Join(folder, kSetupFile);
    if (!s.setupProgram.empty() && !SamePath(s.setupProgram, installedSetup)) {
        steps.push_back(Do(Action::kCopyFile, s.setupProgram, installedSetup));
    }
    steps.push_back(Do(Action::kEnterFolder, {}, folder));

    struct Link {
        int csidl;
        std::wstring_view folderName, link, program;
    };
    for (const Link& l : {Link{kCsidlDesktop, L"desktop", kEditorLink, kEditorFile},
                          Link{kCsidlStartup, L"start-up", kNotifierLink, kNotifierFile}}) {
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
    bool previousOk = true;
    for (const Step& step : plan.steps) {
        if (step.action == Action::kCannot) {
            report.failures.push_back(step.failure);
            previousOk = false;
            continue;
        }
        const bool leaveOut = (step.afterSuccess && !previousOk) || isMissing(step.target) ||
                              (step.action == Action::kCreateShortcut && isMissing(step.source));
        if (leaveOut) {
            if (step.action == Action::kCopyFile || step.action == Action::kCreateShortcut) {
                report.leftOut.push_back(FileNameOf(step.target));
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
                reason = installer.CreateFolder(step.target);
                break;
            case Action::kBackupFile:
                reason = installer.KeepBackup(step.source, step.target);
                break;
            case Action::kCopyFile:
                reason = installer.InstallFile(step.source, step.target);
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
