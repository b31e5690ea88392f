// The installation plan and its run, played against a fake machine.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "setup/installation.h"

namespace tessaly::setup {
namespace {

const std::wstring kHere = L"E:\\Tessaly-3.03";
const std::wstring kCommon = L"C:\\ProgramData";
const std::wstring kDocs = L"C:\\Users\\ann\\Documents";
const std::wstring kProgramFiles = L"C:\\Program Files (x86)";
const std::wstring kDesktop = L"C:\\Users\\ann\\Desktop";
const std::wstring kStartMenu = L"C:\\Users\\ann\\Start Menu\\Programs";
const std::wstring kStartup = kStartMenu + L"\\Startup";
const std::wstring kInstalled = kProgramFiles + L"\\Quorvane\\Tessaly";
const std::wstring kUserData = kDocs + L"\\Quorvane\\Tessaly";
const std::wstring kHelpHome = kCommon + L"\\Quorvane\\Tessaly";

// A machine as the plan sees it: which files and folders exist, and which special folders.
struct Machine {
    std::set<std::wstring> files{kHere + L"\\Tessaly.ahp", kHere + L"\\Tessaly.exe",
                                 kHere + L"\\TessalyStartup.exe", kHere + L"\\tsy.exe"};
    std::set<std::wstring> folders;
    std::set<std::wstring> links;  // junctions and symbolic links
    std::map<int, std::wstring> special{{kCommonAppDataFolder, kCommon},
                                        {kDocumentsFolder, kDocs},
                                        {kProgramFilesX86Folder, kProgramFiles},
                                        {kDesktopFolder, kDesktop},
                                        {kStartupFolder, kStartup},
                                        {kProgramsMenuFolder, kStartMenu}};

    Situation Situate() const {
        return {kHere,
                [this](int csidl) {
                    auto it = special.find(csidl);
                    return it == special.end() ? std::wstring() : it->second;
                },
                [this](const std::wstring& p) { return files.count(p) > 0; },
                [this](const std::wstring& p) { return folders.count(p) > 0; },
                [this](const std::wstring& p) {
                    for (const std::wstring& l : links) {
                        if (p == l || p.rfind(l + L"\\", 0) == 0) return true;
                    }
                    return false;
                },
                20261210,
                kHere + L"\\TessalySetup.exe"};
    }
    void Installed() {
        folders = {kInstalled,
                   kUserData,
                   kHelpHome,
                   kProgramFiles + L"\\Quorvane",
                   kDocs + L"\\Quorvane",
                   kCommon + L"\\Quorvane"};
    }
};

const wchar_t* AccessName(Access a) {
    switch (a) {
        case Access::kInherited:
            return L"";
        case Access::kVendorFolder:
            return L" [vendor]";
        case Access::kProductFolder:
            return L" [product]";
        case Access::kReadOnlyFile:
            return L" [read-only]";
    }
    return L"?";
}

// Records every call as one line; an operation on a path in `failing` fails with that reason.
struct FakeInstaller : Installer {
    std::vector<std::wstring> calls;
    std::vector<Message> shown;
    std::map<std::wstring, std::wstring> failing;
    std::set<std::wstring> inUse;                    // removed at the next restart
    std::map<std::wstring, std::wstring> shortcuts;  // link -> what it starts
    int editorRunningChecks = 0;                     // answers "running" this many times
    std::vector<int> editorAnswers;                  // to the editor-open box, in turn
    int restartAnswer = kIdNo;
    int uninstallAnswer = kIdYes;

    std::wstring Result(const std::wstring& path) {
        auto it = failing.find(path);
        return it == failing.end() ? std::wstring() : it->second;
    }
    int ShowMessage(const Message& m) override {
        shown.push_back(m);
        calls.push_back(L"show " + m.caption);
        if (m == RestartQuestion()) return restartAnswer;
        if (m == EditorOpenMessage()) {
            const int answer = editorAnswers.empty() ? kIdCancel : editorAnswers.front();
            if (!editorAnswers.empty()) editorAnswers.erase(editorAnswers.begin());
            return answer;
        }
        if (m.text.rfind(L"Remove Tessaly", 0) == 0) return uninstallAnswer;
        return kIdOk;
    }
    std::wstring CreateFolder(const std::wstring& f, Access a) override {
        calls.push_back(L"mkdir " + f + AccessName(a));
        return Result(f);
    }
    std::wstring SecureFolder(const std::wstring& f, Access a) override {
        calls.push_back(L"secure " + f + AccessName(a));
        return Result(f);
    }
    std::wstring InstallFile(const std::wstring& from, const std::wstring& to, Access a) override {
        calls.push_back(L"copy " + from + L" > " + to + AccessName(a));
        return Result(to);
    }
    bool EditorRunning() override {
        calls.push_back(L"editor?");
        if (editorRunningChecks == 0) return false;
        --editorRunningChecks;
        return true;
    }
    std::optional<std::wstring> ShortcutTarget(const std::wstring& link) override {
        auto it = shortcuts.find(link);
        if (it == shortcuts.end()) return std::nullopt;
        return it->second;
    }
    std::wstring KeepBackup(const std::wstring& from, const std::wstring& to) override {
        calls.push_back(L"backup " + from + L" > " + to);
        return Result(to);
    }
    void StopProgram(const std::wstring& name) override { calls.push_back(L"stop " + name); }
    std::wstring EnterFolder(const std::wstring& f) override {
        calls.push_back(L"cd " + f);
        return Result(L"cd " + f);
    }
    std::wstring CreateShortcut(const std::wstring& link, const std::wstring& target,
                                const std::wstring& folder) override {
        calls.push_back(L"link " + link + L" > " + target + L" in " + folder);
        return Result(link);
    }
    void RestartWindows() override { calls.push_back(L"restart"); }
    std::wstring Register(const std::vector<EntryValue>& entry) override {
        calls.push_back(L"register " + entry.at(3).text);
        return Result(L"register");
    }
    std::wstring Unregister() override {
        calls.push_back(L"unregister");
        return Result(L"unregister");
    }
    Removal RemoveFile(const std::wstring& f) override {
        calls.push_back(L"rm " + f);
        return {Result(f), inUse.count(f) > 0};
    }
    bool RemoveFolder(const std::wstring& f) override {
        calls.push_back(L"rmdir " + f);
        for (const std::wstring& file : inUse) {
            if (file.rfind(f + L"\\", 0) == 0) return true;
        }
        return false;
    }
};

RunReport Install(const Machine& m, FakeInstaller& fake) {
    return RunInstallation(PlanInstallation(m.Situate()), fake);
}

TEST(InstallationPlan, AMissingRequiredFileShowsTheListAndChangesNothing) {
    const Message expected{
        L"The following files must be available\r\nin the same folder as this program:\r\n\r\n"
        L"\tTessaly.ahp\r\n\tTessaly.exe\r\n\tTessalyStartup.exe",
        L"Required Files", 64};
    EXPECT_EQ(RequiredFilesMessage(), expected);
    for (const wchar_t* missing : {L"Tessaly.ahp", L"Tessaly.exe", L"TessalyStartup.exe"}) {
        SCOPED_TRACE(missing);
        Machine m;
        m.files.erase(kHere + L"\\" + missing);
        m.files.insert(kHere + L"\\Tessaly.tsy");
        FakeInstaller fake;
        EXPECT_EQ(Install(m, fake).outcome, Outcome::kMissingFiles);
        EXPECT_EQ(fake.calls, std::vector<std::wstring>{L"show Required Files"});
        EXPECT_EQ(fake.shown.at(0), expected);
    }
}

TEST(InstallationPlan, FirstInstallWithoutDataFile) {
    Machine m;
    FakeInstaller fake;
    EXPECT_EQ(Install(m, fake).outcome, Outcome::kNoRestart);
    const std::vector<std::wstring> expected = {
        L"show Tessaly Setup",
        // The folder every user's editor reads is made with its own access lists.
        L"mkdir C:\\ProgramData\\Quorvane [vendor]",
        L"mkdir " + kHelpHome + L" [product]",
        L"copy " + kHere + L"\\Tessaly.ahp > " + kHelpHome + L"\\Tessaly.ahp [read-only]",
        L"mkdir " + kDocs + L"\\Quorvane",
        L"mkdir " + kUserData,
        L"mkdir " + kProgramFiles + L"\\Quorvane",
        L"mkdir " + kInstalled,
        L"stop TessalyStartup.exe",  // before the copy, so a running notifier is replaced
        L"copy " + kHere + L"\\Tessaly.exe > " + kInstalled + L"\\Tessaly.exe",
        L"copy " + kHere + L"\\TessalyStartup.exe > " + kInstalled + L"\\TessalyStartup.exe",
        L"copy " + kHere + L"\\tsy.exe > " + kInstalled + L"\\tsy.exe",
        L"copy " + kHere + L"\\TessalySetup.exe > " + kInstalled + L"\\TessalySetup.exe",
        L"cd " + kInstalled,
        L"link " + kDesktop + L"\\Tessaly.lnk > " + kInstalled + L"\\Tessaly.exe in " + kInstalled,
        L"link " + kStartup + L"\\TessalyStart.lnk > " + kInstalled + L"\\TessalyStartup.exe in " +
            kInstalled,
        L"link " + kStartMenu + L"\\Tessaly.lnk > " + kInstalled + L"\\Tessaly.exe in " +
            kInstalled,
        L"register " + kInstalled,
        L"show Confirm Windows Restart",
    };
    EXPECT_EQ(fake.calls, expected);
    EXPECT_EQ(fake.shown.front(),
              (Message{L"copying file now... please wait", L"Tessaly Setup", 0x12000}));
    EXPECT_EQ(fake.shown.back(), (Message{L"Tessaly setup completed... restart Windows now?",
                                          L"Confirm Windows Restart", 0x34}));
}

TEST(InstallationPlan, ReinstallCreatesNoFoldersAndReplacesTheFiles) {
    Machine m;
    m.Installed();
    m.files.insert(kUserData + L"\\Tessaly.tsy");  // the user's data, nothing beside the installer
    const Plan plan = PlanInstallation(m.Situate());
    EXPECT_EQ(plan.installFolder, kInstalled);
    std::vector<Action> actions;
    for (const Step& s : plan.steps) {
        actions.push_back(s.action);
        EXPECT_NE(s.target, kUserData + L"\\Tessaly.tsy") << "the user's data stays as it is";
    }
    // The shared folder is secured again (an earlier version may have left it open); nothing
    // else is made.
    EXPECT_EQ(actions, (std::vector<Action>{
                           Action::kShowMessage, Action::kSecureFolder, Action::kSecureFolder,
                           Action::kCopyFile, Action::kStopProgram, Action::kCopyFile,
                           Action::kCopyFile, Action::kCopyFile, Action::kCopyFile,
                           Action::kEnterFolder, Action::kCreateShortcut, Action::kCreateShortcut,
                           Action::kCreateShortcut, Action::kRegister}));
}

TEST(InstallationPlan, ADataFileBesideTheInstallerKeepsTheUsersDataAsABackup) {
    struct Case {
        const char* name;
        std::vector<std::wstring> existing;  // in the user's data folder
        std::vector<std::wstring> expected;  // the data-file calls
    };
    const std::wstring copy = L"copy " + kHere + L"\\Tessaly.tsy > " + kUserData + L"\\Tessaly.tsy";
    const std::wstring backup = L"backup " + kUserData + L"\\Tessaly.tsy > " + kUserData + L"\\";
    const Case cases[] = {
        {"no data yet", {}, {copy}},
        {"data", {L"Tessaly.tsy"}, {backup + L"Tessaly-before-setup-20261210.tsy", copy}},
        {"second setup of the day",
         {L"Tessaly.tsy", L"Tessaly-before-setup-20261210.tsy",
          L"Tessaly-before-setup-20261210-2.tsy"},
         {backup + L"Tessaly-before-setup-20261210-3.tsy", copy}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Machine m;
        m.Installed();
        m.files.insert(kHere + L"\\Tessaly.tsy");
        for (const std::wstring& f : c.existing) m.files.insert(kUserData + L"\\" + f);
        FakeInstaller fake;
        EXPECT_EQ(Install(m, fake).outcome, Outcome::kNoRestart);
        std::vector<std::wstring> dataCalls;
        for (const std::wstring& call : fake.calls) {
            if (call.find(L".tsy") != std::wstring::npos) dataCalls.push_back(call);
        }
        EXPECT_EQ(dataCalls, c.expected) << "nothing else touches a data file, no drive root";
    }
}

TEST(InstallationRun, AFailedBackupLeavesTheUsersDataInPlaceAndIsReported) {
    Machine m;
    m.Installed();
    m.files.insert(kHere + L"\\Tessaly.tsy");
    m.files.insert(kUserData + L"\\Tessaly.tsy");
    FakeInstaller fake;
    fake.failing[kUserData + L"\\Tessaly-before-setup-20261210.tsy"] = L"The disk is full.";
    const RunReport report = Install(m, fake);
    EXPECT_EQ(report.outcome, Outcome::kFailed);
    for (const std::wstring& call : fake.calls) {
        EXPECT_NE(call.rfind(L"copy " + kHere + L"\\Tessaly.tsy", 0), 0u);
    }
    ASSERT_EQ(report.failures.size(), 1u);
    EXPECT_EQ(report.failures[0].reason, L"The disk is full.");
    EXPECT_EQ(report.leftOut, std::vector<std::wstring>{L"Tessaly.tsy"});
    EXPECT_NE(fake.shown.back().text.find(L"Left out because of this: Tessaly.tsy"),
              std::wstring::npos);
}

TEST(InstallationRun, AnyFailureIsNamedWithWhatItLeftOutAndNoRestartIsOffered) {
    struct Case {
        std::wstring failing;
        std::wstring what;
        std::vector<std::wstring> leftOut;
    };
    const Case cases[] = {
        {kInstalled + L"\\TessalyStartup.exe",
         L"TessalyStartup.exe as " + kInstalled + L"\\TessalyStartup.exe",
         {L"TessalyStart.lnk"}},
        {kHelpHome, L"The folder " + kHelpHome, {L"Tessaly.ahp"}},
        {kProgramFiles + L"\\Quorvane",
         L"The folder " + kProgramFiles + L"\\Quorvane",
         {L"Tessaly.exe", L"TessalyStartup.exe", L"tsy.exe", L"TessalySetup.exe", L"Tessaly.lnk",
          L"TessalyStart.lnk"}},
        {L"register", L"Tessaly's entry in the list of installed programs", {}},
        {L"cd " + kInstalled, L"The folder " + kInstalled, {L"Tessaly.lnk", L"TessalyStart.lnk"}},
        {kStartup + L"\\TessalyStart.lnk", L"The shortcut " + kStartup + L"\\TessalyStart.lnk", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Machine m;
        FakeInstaller fake;
        fake.restartAnswer = 6;  // would restart, if it were asked
        fake.failing[c.failing] = L"Access is denied.";
        const RunReport report = Install(m, fake);
        EXPECT_EQ(report.outcome, Outcome::kFailed);
        EXPECT_EQ(report.failures, (std::vector<Failure>{{c.what, L"Access is denied."}}))
            << "one cause, told once";
        EXPECT_EQ(report.leftOut, c.leftOut);
        for (const std::wstring& call : fake.calls) {
            for (const std::wstring& name : c.leftOut) {
                EXPECT_EQ(call.find(L"\\" + name), std::wstring::npos) << call;
            }
            EXPECT_NE(call, L"restart");
        }
        EXPECT_EQ(fake.calls.back(), L"show Tessaly Setup");
        const Message& last = fake.shown.back();
        EXPECT_NE(last.text.find(c.what + L"\r\n\tAccess is denied."), std::wstring::npos);
        EXPECT_EQ(last.text.find(L"completed"), std::wstring::npos);
        EXPECT_EQ(last.style, 0x12010u);  // OK, error icon, task-modal, foreground
    }
}

TEST(InstallationRun, TheRestartRunsForEveryAnswerButNo) {
    for (int answer : {1, 2, 6}) {  // OK, Cancel (the box closed), Yes
        Machine m;
        FakeInstaller fake;
        fake.restartAnswer = answer;
        EXPECT_EQ(Install(m, fake).outcome, Outcome::kRestartAsked);
        EXPECT_EQ(fake.calls.back(), L"restart");
    }
}

TEST(InstallationPlan, AMissingSpecialFolderIsReportedNeverReplacedByADriveRoot) {
    struct Case {
        int csidl;
        std::vector<std::wstring> whats;
    };
    const Case cases[] = {
        {kCommonAppDataFolder, {L"Tessaly.ahp"}},
        {kDocumentsFolder, {L"Tessaly.tsy"}},
        {kProgramFilesX86Folder, {L"Tessaly.exe", L"TessalyStartup.exe"}},
        {kDesktopFolder, {L"The shortcut Tessaly.lnk"}},
        {kStartupFolder, {L"The shortcut TessalyStart.lnk"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.csidl);
        Machine m;
        m.files.insert(kHere + L"\\Tessaly.tsy");
        m.special.erase(c.csidl);
        FakeInstaller fake;
        const RunReport report = Install(m, fake);
        EXPECT_EQ(report.outcome, Outcome::kFailed);
        std::vector<std::wstring> whats;
        for (const Failure& f : report.failures) {
            whats.push_back(f.what);
            EXPECT_EQ(f.reason.rfind(L"this system gives no ", 0), 0u) << f.reason;
        }
        EXPECT_EQ(whats, c.whats);
        for (const std::wstring& call : fake.calls) {
            EXPECT_EQ(call.find(L"> \\"), std::wstring::npos) << call;
            EXPECT_EQ(call.find(L"mkdir \\"), std::wstring::npos) << call;
        }
    }
}

TEST(InstallationPlan, DriveRootsAsBaseFolders) {
    Machine m;
    m.special[kDocumentsFolder] = L"D:\\";
    const Plan plan = PlanInstallation(m.Situate());
    std::set<std::wstring> targets;
    for (const Step& s : plan.steps) targets.insert(s.target);
    EXPECT_TRUE(targets.count(L"D:\\Quorvane\\Tessaly"));
    EXPECT_TRUE(targets.count(L"D:\\Quorvane"));
}

TEST(InstallationPlan, TheInstalledProgramsListRunsTheInstalledSetupToUninstall) {
    const std::vector<EntryValue> entry = ProgramEntry(kInstalled);
    auto value = [&](const wchar_t* name) {
        for (const EntryValue& v : entry) {
            if (v.name == name) return v;
        }
        return EntryValue{};
    };
    EXPECT_EQ(value(L"UninstallString").text,
              L"\"" + kInstalled + L"\\TessalySetup.exe\" /uninstall");
    EXPECT_EQ(value(L"DisplayName").text, L"Tessaly");
    EXPECT_EQ(value(L"InstallLocation").text, kInstalled);
    EXPECT_EQ(value(L"NoModify"), (EntryValue{L"NoModify", {}, 1, true}));

    Machine m;  // started from the installed copy: it is not copied over itself
    Situation s = m.Situate();
    s.setupProgram = L"c:\\program files (x86)\\quorvane\\tessaly\\TESSALYSETUP.EXE";
    for (const Step& step : PlanInstallation(s).steps) {
        EXPECT_NE(step.source, s.setupProgram);
    }
}

TEST(Uninstall, RemovesWhatWasInstalledAndKeepsTheData) {
    Machine m;
    m.Installed();
    m.files.insert(kHelpHome + L"\\Tessaly.ini");
    const UninstallPlan plan = PlanUninstall(m.Situate());
    EXPECT_EQ(plan.dataFolder, kUserData);
    EXPECT_EQ(plan.keptSettings, kHelpHome + L"\\Tessaly.ini");

    FakeInstaller yes;
    yes.shortcuts = {{kDesktop + L"\\Tessaly.lnk", kInstalled + L"\\Tessaly.exe"},
                     {kStartup + L"\\TessalyStart.lnk", kInstalled + L"\\TessalyStartup.exe"},
                     {kStartMenu + L"\\Tessaly.lnk", kInstalled + L"\\Tessaly.exe"}};
    const RunReport report = RunUninstall(plan, yes);
    EXPECT_EQ(report.outcome, Outcome::kUninstalled);
    EXPECT_FALSE(report.restartCompletes);
    const std::vector<std::wstring> expected = {
        L"show Tessaly Setup",
        L"stop TessalyStartup.exe",  // first, so its program file can go
        L"rm " + kDesktop + L"\\Tessaly.lnk",
        L"rm " + kStartup + L"\\TessalyStart.lnk",
        L"rm " + kStartMenu + L"\\Tessaly.lnk",
        L"rm " + kInstalled + L"\\Tessaly.exe",
        L"rm " + kInstalled + L"\\TessalyStartup.exe",
        L"rm " + kInstalled + L"\\tsy.exe",
        L"rm " + kInstalled + L"\\TessalySetup.exe",
        L"rmdir " + kInstalled,
        L"rmdir " + kProgramFiles + L"\\Quorvane",
        L"rm " + kHelpHome + L"\\Tessaly.ahp",
        L"rmdir " + kHelpHome,
        L"rmdir " + kCommon + L"\\Quorvane",
        L"unregister",
        L"show Tessaly Setup",
    };
    EXPECT_EQ(yes.calls, expected) << "nothing in the documents folder is touched";
    EXPECT_NE(yes.shown.front().text.find(L"Your reminders stay in\r\n" + kUserData),
              std::wstring::npos);
    EXPECT_EQ(yes.shown.front().style & 0xF, unsigned(kMbYesNo));
    const std::wstring& done = yes.shown.back().text;
    EXPECT_NE(done.find(L"stay in\r\n" + kUserData), std::wstring::npos) << "says where";
    EXPECT_NE(done.find(kHelpHome + L"\\Tessaly.ini"), std::wstring::npos);
    EXPECT_EQ(done.find(L"restart"), std::wstring::npos) << "nothing waits for a restart";

    // "No" leaves everything as it is.
    FakeInstaller no;
    no.uninstallAnswer = kIdNo;
    EXPECT_EQ(RunUninstall(plan, no).outcome, Outcome::kKeptInstalled);
    EXPECT_EQ(no.calls, std::vector<std::wstring>{L"show Tessaly Setup"});
}

// Files in use (always the running uninstaller; the editor when it is open) go at the next
// restart, and the message says so; the entry in the list of installed programs goes only when
// everything went or was scheduled, so that the user can try again.
TEST(Uninstall, FilesInUseAndFailuresDecideTheEntryAndTheClosingMessage) {
    struct Case {
        const char* what;
        std::set<std::wstring> inUse;
        std::wstring failing;
        Outcome outcome;
        bool restart;
        bool unregistered;
    };
    const std::wstring setup = kInstalled + L"\\TessalySetup.exe";
    const std::wstring editor = kInstalled + L"\\Tessaly.exe";
    const Case cases[] = {
        {"the running uninstaller", {setup}, L"", Outcome::kUninstalled, true, true},
        {"and the open editor", {setup, editor}, L"", Outcome::kUninstalled, true, true},
        {"a file that cannot go", {setup}, editor, Outcome::kFailed, true, false},
        {"the entry itself", {}, L"unregister", Outcome::kFailed, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Machine m;
        m.Installed();
        FakeInstaller fake;
        fake.inUse = c.inUse;
        if (!c.failing.empty()) fake.failing[c.failing] = L"Access is denied.";
        const RunReport report = RunUninstall(PlanUninstall(m.Situate()), fake);
        EXPECT_EQ(report.outcome, c.outcome);
        EXPECT_EQ(report.restartCompletes, c.restart);
        EXPECT_EQ(std::count(fake.calls.begin(), fake.calls.end(), L"unregister"),
                  c.unregistered ? 1 : 0);
        const std::wstring& last = fake.shown.back().text;
        EXPECT_EQ(last.find(L"restart Windows to complete the removal") != std::wstring::npos,
                  c.restart)
            << std::string(last.begin(), last.end());
        if (c.outcome == Outcome::kFailed && !c.unregistered) {
            EXPECT_NE(last.find(L"stays in the list of installed programs"), std::wstring::npos);
        }
    }
}

TEST(Uninstall, OnlyShortcutsToTheInstalledProgramsAreRemoved) {
    Machine m;
    m.Installed();
    FakeInstaller fake;
    fake.shortcuts = {
        // Ours, as the shell may give it back in other case.
        {kDesktop + L"\\Tessaly.lnk", L"c:\\program files (x86)\\quorvane\\tessaly\\TESSALY.EXE"},
        // The user's own shortcut of the same name, to another program.
        {kStartup + L"\\TessalyStart.lnk", L"D:\\Tools\\TessalyStartup.exe"},
        // kStartMenu: no shortcut there at all.
    };
    EXPECT_EQ(RunUninstall(PlanUninstall(m.Situate()), fake).outcome, Outcome::kUninstalled);
    std::vector<std::wstring> removedLinks;
    for (const std::wstring& call : fake.calls) {
        if (call.size() > 4 && call.substr(call.size() - 4) == L".lnk")
            removedLinks.push_back(call);
    }
    EXPECT_EQ(removedLinks, std::vector<std::wstring>{L"rm " + kDesktop + L"\\Tessaly.lnk"});
}

TEST(Uninstall, WhatCannotBeRemovedIsNamed) {
    Machine m;
    FakeInstaller yes;
    yes.failing[kInstalled + L"\\Tessaly.exe"] = L"Access is denied.";
    const RunReport report = RunUninstall(PlanUninstall(m.Situate()), yes);
    EXPECT_EQ(report.outcome, Outcome::kFailed);
    EXPECT_EQ(report.failures,
              (std::vector<Failure>{{kInstalled + L"\\Tessaly.exe", L"Access is denied."}}));
    EXPECT_EQ(yes.calls.back(), L"show Tessaly Setup");
    EXPECT_NE(yes.shown.back().text.find(L"could not be removed completely"), std::wstring::npos);
    EXPECT_EQ(yes.shown.back().text.find(L"has been removed"), std::wstring::npos);
}

// A junction or symbolic link planted where the installation's folders go is never written or
// deleted through, whether installing or uninstalling: as administrator, setup would reach
// wherever it points.
TEST(InstallationPlan, AFolderThatIsALinkIsRefusedAndNothingGoesThroughIt) {
    struct Case {
        std::wstring link;
        std::wstring refused;               // the product folder named in the failure
        std::vector<std::wstring> leftOut;  // by the install
        bool uninstallRefused;              // the uninstall deletes from that folder
    };
    const Case cases[] = {
        {kCommon + L"\\Quorvane", kHelpHome, {L"Tessaly.ahp"}, true},
        {kHelpHome, kHelpHome, {L"Tessaly.ahp"}, true},
        {kUserData, kUserData, {}, false},  // no data file came with it to be left out
        {kProgramFiles + L"\\Quorvane",
         kInstalled,
         {L"Tessaly.exe", L"TessalyStartup.exe", L"tsy.exe", L"TessalySetup.exe", L"Tessaly.lnk",
          L"TessalyStart.lnk"},
         true},
    };
    for (const Case& c : cases) {
        for (bool installed : {false, true}) {
            SCOPED_TRACE(std::string(c.link.begin(), c.link.end()) +
                         (installed ? " over an installation" : ""));
            Machine m;
            if (installed) m.Installed();
            m.links.insert(c.link);
            FakeInstaller fake;
            const RunReport report = Install(m, fake);
            EXPECT_EQ(report.outcome, Outcome::kFailed);
            EXPECT_EQ(report.failures,
                      (std::vector<Failure>{{L"The folder " + c.refused, ReparsePointReason()}}));
            EXPECT_EQ(report.leftOut, c.leftOut);
            FakeInstaller removal;
            EXPECT_EQ(RunUninstall(PlanUninstall(m.Situate()), removal).outcome,
                      c.uninstallRefused ? Outcome::kFailed : Outcome::kUninstalled);
            for (const FakeInstaller* f : {&fake, &removal}) {
                for (const std::wstring& call : f->calls) {
                    EXPECT_EQ(call.find(c.link), std::wstring::npos) << "went through: " << call;
                    if (c.uninstallRefused) {
                        EXPECT_NE(call, L"unregister");
                    }
                }
            }
        }
    }
}

TEST(InstallationPlan, ASharedFolderMadeInAdvanceIsSecuredBeforeTheHelpFileGoesIn) {
    Machine m;
    m.folders = {kCommon + L"\\Quorvane", kHelpHome};  // made by someone, before setup ran
    FakeInstaller fake;
    EXPECT_EQ(Install(m, fake).outcome, Outcome::kNoRestart);
    const std::vector<std::wstring> first(fake.calls.begin() + 1, fake.calls.begin() + 4);
    EXPECT_EQ(first, (std::vector<std::wstring>{L"secure " + kCommon + L"\\Quorvane [vendor]",
                                                L"secure " + kHelpHome + L" [product]",
                                                L"copy " + kHere + L"\\Tessaly.ahp > " + kHelpHome +
                                                    L"\\Tessaly.ahp [read-only]"}));

    // One that cannot be secured gets no help file.
    FakeInstaller denied;
    denied.failing[kHelpHome] = L"Access is denied.";
    const RunReport report = Install(m, denied);
    EXPECT_EQ(report.failures,
              (std::vector<Failure>{{L"The folder " + kHelpHome, L"Access is denied."}}));
    EXPECT_EQ(report.leftOut, std::vector<std::wstring>{L"Tessaly.ahp"});
}

// A data file beside the installer never replaces the user's while the editor runs, which
// would later save its own lists over it: the user closes the editor and retries, or leaves
// the data file out.
TEST(InstallationRun, ADataFileIsNeverPutInPlaceUnderARunningEditor) {
    struct Case {
        const char* what;
        int runningChecks;
        std::vector<int> answers;
        bool copied;
        int boxes;
    };
    const Case cases[] = {
        {"the editor is closed", 0, {}, true, 0},
        {"closed, then Retry", 1, {kIdRetry}, true, 1},
        {"Retry while it still runs, then Cancel", 2, {kIdRetry, kIdCancel}, false, 2},
        {"the box closed", 1, {kIdCancel}, false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Machine m;
        m.Installed();
        m.files.insert(kHere + L"\\Tessaly.tsy");
        m.files.insert(kUserData + L"\\Tessaly.tsy");
        FakeInstaller fake;
        fake.editorRunningChecks = c.runningChecks;
        fake.editorAnswers = c.answers;
        const RunReport report = Install(m, fake);
        EXPECT_EQ(report.outcome, Outcome::kNoRestart) << "the rest is installed either way";
        EXPECT_EQ(std::count(fake.shown.begin(), fake.shown.end(), EditorOpenMessage()), c.boxes);
        int dataCalls = 0;
        for (const std::wstring& call : fake.calls) {
            if (call.find(L"Tessaly.tsy") != std::wstring::npos) ++dataCalls;
        }
        EXPECT_EQ(dataCalls, c.copied ? 2 : 0) << "the backup and the copy, or neither";
        EXPECT_EQ(report.leftOut, std::vector<std::wstring>{}) << "a choice, not a failure";
    }
    const Message box = EditorOpenMessage();
    EXPECT_EQ(box.style & 0xF, unsigned(kMbRetryCancel));
    EXPECT_NE(box.text.find(L"Close Tessaly and press Retry"), std::wstring::npos);
}

TEST(InstallationRun, AnUnexpectedErrorIsToldInItsOwnWords) {
    const Message m = UnexpectedErrorMessage("filesystem error: cannot copy: Invalid argument");
    EXPECT_EQ(
        m.text.rfind(L"Tessaly setup stopped: filesystem error: cannot copy: Invalid argument", 0),
        0u);
    EXPECT_EQ(m.text.find(L"memory"), std::wstring::npos);
    EXPECT_EQ(m.style & 0xF0, unsigned(kMbIconError));
    EXPECT_NE(UnexpectedErrorMessage("").text.find(L"without a description"), std::wstring::npos);
}

}  // namespace
}  // namespace tessaly::setup
