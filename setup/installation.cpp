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

Message FailureReport(const std::vector<Failure>& failures,
                      const std::vector<std::wstring>& leftOut) {
    std::wstring text = L"Tessaly setup did not complete. These could not be installed:\r\n";
    for (const Failure& f : failures) text += L"\r\n" + f.what + L"\r\n\t" + f.reason + L"\r\n";
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
            case Action::kCannot:
                break;
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
