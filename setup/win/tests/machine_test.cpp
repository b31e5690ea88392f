// The installer's Win32 side in the test prefix: folders, copies, shell links, stopping a
// program the test started, and the whole run with its message boxes and restart as seams.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "setup/win/machine.h"
#include "win/folders.h"
#include "win/message_box.h"
#include "win/text.h"
#include "setup/win/tests/pending_renames.h"
#include "setup/win/tests/read_link.h"

namespace tessaly::setup {
namespace {

std::wstring ReadText(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return in ? std::wstring((std::istreambuf_iterator<char>(in)), {}) : L"<missing>";
}

void WriteText(const std::wstring& path, const char* text) {
    std::ofstream(std::filesystem::path(path), std::ios::binary) << text;
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A fresh folder under the temporary folder, removed with everything in it at the end.
class Scratch {
  public:
    Scratch() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        path_ = std::wstring(temp) + L"tessaly-setup-" + std::to_wstring(GetCurrentProcessId()) +
                L"-" + std::to_wstring(GetTickCount());
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~Scratch() {
        std::wstring from = path_ + L'\0';
        SHFILEOPSTRUCTW op = {};
        op.wFunc = FO_DELETE;
        op.pFrom = from.c_str();
        op.fFlags = FOF_NO_UI;
        SHFileOperationW(&op);
    }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }
    const std::wstring& path() const { return path_; }

  private:
    std::wstring path_;
};

// Names in a folder, sorted.
std::vector<std::wstring> Names(const std::wstring& folder) {
    std::vector<std::wstring> names;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        names.push_back(e.path().filename().wstring());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A restart that is only counted; the system's calls around it are not made.
struct CountedRestart : RestartSystem {
    int requests = 0;
    bool IsNtFamily() override { return true; }
    bool EnableShutdownPrivilege() override { return true; }
    bool RequestRestart() override { return ++requests, true; }
    void ShowMessage(const Message&) override {}
};

TEST(SetupMachine, FoldersAndCopies) {
    Scratch s;
    CountedRestart never;
    MachineInstaller m(never);
    EXPECT_EQ(m.CreateFolder(s / L"a", Access::kInherited), L"");
    EXPECT_EQ(m.CreateFolder(s / L"a", Access::kInherited), L"") << "an existing folder is fine";
    WriteText(s / L"file", "x");
    EXPECT_EQ(m.CreateFolder(s / L"file", Access::kInherited),
              L"A file of that name is in the way.");
    EXPECT_NE(m.CreateFolder(s / L"missing\\b", Access::kInherited), L"");

    WriteText(s / L"new", "new");
    WriteText(s / L"a\\old", "old");
    // A file planted under the name a copy once used is neither written through nor removed.
    WriteText(s / L"a\\old.setup-new", "planted");
    EXPECT_EQ(m.InstallFile(s / L"new", s / L"a\\old", Access::kInherited), L"");
    EXPECT_EQ(ReadText(s / L"a\\old"), L"new");
    EXPECT_EQ(ReadText(s / L"a\\old.setup-new"), L"planted");
    EXPECT_EQ(Names(s / L"a"), (std::vector<std::wstring>{L"old", L"old.setup-new"}));

    const std::wstring reason = m.InstallFile(s / L"nothing", s / L"a\\old", Access::kInherited);
    EXPECT_NE(reason.find(L"(error 2)"), std::wstring::npos) << reason;
    EXPECT_EQ(ReadText(s / L"a\\old"), L"new") << "a failed copy leaves the target whole";
    EXPECT_EQ(Names(s / L"a"), (std::vector<std::wstring>{L"old", L"old.setup-new"}));
    EXPECT_NE(m.InstallFile(s / L"new", s / L"missing\\x", Access::kInherited), L"");

    WriteText(s / L"backup", "older backup");
    EXPECT_NE(m.KeepBackup(s / L"new", s / L"backup"), L"");
    EXPECT_EQ(ReadText(s / L"backup"), L"older backup") << "a backup is never overwritten";
    EXPECT_EQ(m.KeepBackup(s / L"new", s / L"backup2"), L"");
    EXPECT_EQ(ReadText(s / L"backup2"), L"new");

    wchar_t before[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);
    EXPECT_EQ(m.EnterFolder(s / L"a"), L"");
    EXPECT_NE(m.EnterFolder(s / L"missing"), L"");
    SetCurrentDirectoryW(before);
}

using test::LinkInfo;
using test::ReadLink;

TEST(SetupMachine, ShortcutsAreWrittenAndReadBack) {
    Scratch s;
    CreateDirectoryW((s / L"Program").c_str(), nullptr);
    WriteText(s / L"Program\\Tessaly.exe", "MZ");
    WriteText(s / L"Program\\Other.exe", "MZ");
    // An older link of the same name is replaced.
    ASSERT_EQ(CreateShortcut(s / L"Tessaly.lnk", s / L"Program\\Other.exe", s.path()), L"");
    ASSERT_EQ(CreateShortcut(s / L"Tessaly.lnk", s / L"Program\\Tessaly.exe", s / L"Program"), L"");
    const LinkInfo info = ReadLink(s / L"Tessaly.lnk");
    EXPECT_EQ(info.target, s / L"Program\\Tessaly.exe");
    EXPECT_EQ(info.folder, s / L"Program");
    // The link format knows only normal, maximised and minimised windows, so a reader may
    // give SW_SHOWNORMAL for the SW_SHOW that the file holds.
    EXPECT_TRUE(info.show == SW_SHOW || info.show == SW_SHOWNORMAL) << info.show;
    std::ifstream raw(std::filesystem::path(s / L"Tessaly.lnk"), std::ios::binary);
    unsigned char header[64] = {};
    raw.read(reinterpret_cast<char*>(header), sizeof header);
    EXPECT_EQ(header[60], SW_SHOW) << "the show command as saved";
    EXPECT_EQ(info.arguments, L"");
    EXPECT_EQ(info.description, L"");

    EXPECT_NE(CreateShortcut(s / L"missing\\Tessaly.lnk", s / L"Program\\Tessaly.exe", s.path()),
              L"")
        << "a link that cannot be saved says why";
}

// Starts a copy of the sleeper under the given name; the test ends it if it still runs.
struct Started {
    PROCESS_INFORMATION pi = {};
    explicit Started(const std::wstring& exe) {
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        std::wstring line = L"\"" + exe + L"\"";
        CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                       &pi);
    }
    ~Started() {
        if (pi.hProcess) {
            if (Running()) TerminateProcess(pi.hProcess, 0);
            CloseHandle(pi.hProcess);
            CloseHandle(pi.hThread);
        }
    }
    bool Running() const { return WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT; }
    std::uint32_t id() const { return pi.dwProcessId; }
};

std::wstring BesideThisTest(const wchar_t* name) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    return path.substr(0, path.find_last_of(L'\\') + 1) + name;
}

TEST(SetupMachine, StopsTheProgramOfExactlyThatNameOnly) {
    Scratch s;
    const std::wstring sleeper = BesideThisTest(L"setup_test_sleeper.exe");
    ASSERT_TRUE(CopyFileW(sleeper.c_str(), (s / L"OldTessalyStartup.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(sleeper.c_str(), (s / L"TessalyStartup.exe").c_str(), FALSE));
    // The decoy starts first, so a substring match would find it first.
    Started decoy(s / L"OldTessalyStartup.exe");
    Started notifier(s / L"TessalyStartup.exe");
    ASSERT_TRUE(decoy.Running());
    ASSERT_TRUE(notifier.Running());

    EXPECT_TRUE(IsNtFamily());
    for (bool modules : {true, false}) {
        SCOPED_TRACE(modules ? "process-status functions" : "snapshot");
        const auto list = modules ? ProcessesByModules() : ProcessesBySnapshot();
        std::map<std::uint32_t, std::wstring> byId;
        for (const RunningProcess& p : list) byId[p.id] = p.path;
        EXPECT_TRUE(IsProgramFile(byId[notifier.id()], L"TessalyStartup.exe"))
            << byId[notifier.id()];
        EXPECT_TRUE(IsProgramFile(byId[decoy.id()], L"OldTessalyStartup.exe")) << byId[decoy.id()];
        if (modules) {
            EXPECT_EQ(byId[notifier.id()], s / L"TessalyStartup.exe");
        }
    }

    // Only processes this test started may be stopped, whatever else the prefix runs.
    const auto ours = [&](std::uint32_t id) { return id == notifier.id() || id == decoy.id(); };
    const win::Replaced onlyOurs =
        endProcess.Replace([&](std::uint32_t id) { return ours(id) && EndProcess(id); });
    EXPECT_EQ(StopRunningProgram(L"tessalystartup.EXE"), notifier.id());
    EXPECT_FALSE(notifier.Running());
    EXPECT_TRUE(decoy.Running()) << "a program whose name merely contains it is left alone";
    EXPECT_EQ(StopRunningProgram(L"TessalyStartup.exe"), 0u) << "none left to stop";
    EXPECT_TRUE(decoy.Running());
}

// The restart with its system calls replaced; nothing really restarts.
struct RecordedRestart : WindowsRestart {
    bool privilege = true, exits = true;
    std::vector<std::wstring> calls;
    bool EnableShutdownPrivilege() override { return privilege; }
    bool RequestRestart() override {
        calls.push_back(L"exit");
        return exits;
    }
    void ShowMessage(const Message& m) override { calls.push_back(m.text); }
};

TEST(SetupMachine, RestartMessages) {
    EXPECT_TRUE(WindowsRestart().EnableShutdownPrivilege()) << "the test prefix's user may restart";
    RecordedRestart noPrivilege;
    noPrivilege.privilege = false;
    RestartWindows(noPrivilege);
    EXPECT_EQ(noPrivilege.calls,
              std::vector<std::wstring>{L"Could not obtain shutdown privilege."});
    RecordedRestart refused;
    refused.exits = false;
    RestartWindows(refused);
    EXPECT_EQ(refused.calls, (std::vector<std::wstring>{L"exit", L"Shutdown failed."}));
}

// A whole installation into folders of a scratch folder standing in for the shell's.
struct ScratchInstall {
    Scratch s;
    std::map<int, std::wstring> special;
    std::vector<Message> shown;
    CountedRestart restart;
    int answer = IDNO;
    const win::Replaced answered = win::messageBox.Replace(
        [this](HWND, std::string_view text, std::string_view caption, UINT style) {
            const Message m{win::Utf8ToWide(text), win::Utf8ToWide(caption), style};
            shown.push_back(m);
            if (m.caption == L"Confirm Windows Restart") return answer;
            return (m.style & 0xF) == MB_YESNO ? IDYES : IDOK;
        });
    const win::Replaced folders =
        win::specialFolder.Replace([this](int csidl) { return special[csidl]; });
    // Nothing the test did not start is stopped; other Wine tests run editors of their own.
    const win::Replaced spared = endProcess.Replace([](std::uint32_t) { return false; });
    const win::Replaced noEditor = editorRunning.Replace([] { return false; });

    ScratchInstall() {
        for (auto [csidl, name] : {std::pair{kCommonAppDataFolder, L"ProgramData"},
                                   {kDocumentsFolder, L"Documents"},
                                   {kProgramFilesX86Folder, L"Program Files"},
                                   {kDesktopFolder, L"Desktop"},
                                   {kStartupFolder, L"Startup"},
                                   {kProgramsMenuFolder, L"Start Menu"}}) {
            special[csidl] = s / name;
            CreateDirectoryW(special[csidl].c_str(), nullptr);
        }
        CreateDirectoryW((s / L"release").c_str(), nullptr);
        for (const wchar_t* f :
             {L"Tessaly.ahp", L"Tessaly.exe", L"TessalyStartup.exe", L"tsy.exe"}) {
            WriteText(s / (std::wstring(L"release\\") + f), "new");
        }
    }
    const std::wstring entryKey =
        L"Software\\Tessaly-setup-test-" + std::to_wstring(GetCurrentProcessId());
    ~ScratchInstall() { RegDeleteTreeW(HKEY_CURRENT_USER, entryKey.c_str()); }

    MachineInstaller Machine() { return MachineInstaller(restart, {entryKey, true}); }
    Situation Situate() {
        Situation situation = MachineSituation();
        situation.currentFolder = s / L"release";
        return situation;
    }
    template <typename Work>
    RunReport Keeping(Work work) {
        wchar_t before[MAX_PATH];
        GetCurrentDirectoryW(MAX_PATH, before);
        const RunReport report = work();
        SetCurrentDirectoryW(before);
        return report;
    }
    RunReport Run() {
        return Keeping([&] {
            MachineInstaller installer = Machine();
            return RunInstallation(PlanInstallation(Situate()), installer);
        });
    }
    RunReport Uninstall() {
        return Keeping([&] {
            MachineInstaller installer = Machine();
            return RunUninstall(PlanUninstall(Situate()), installer);
        });
    }
    std::wstring Entry(const wchar_t* name) {
        wchar_t text[MAX_PATH] = {};
        DWORD size = sizeof text;
        if (RegGetValueW(HKEY_CURRENT_USER, entryKey.c_str(), name, RRF_RT_REG_SZ, nullptr, text,
                         &size) != ERROR_SUCCESS) {
            return L"<none>";
        }
        return text;
    }
};

TEST(SetupMachine, AnUninstallRemovesWhatWasInstalledAndKeepsTheData) {
    ScratchInstall t;
    ASSERT_EQ(t.Run().outcome, Outcome::kNoRestart);
    const std::wstring installed = t.s / L"Program Files\\Quorvane\\Tessaly";
    EXPECT_EQ(t.Entry(L"UninstallString"), L"\"" + installed + L"\\TessalySetup.exe\" /uninstall");
    EXPECT_TRUE(Exists(installed + L"\\TessalySetup.exe"));
    WriteText(t.s / L"Documents\\Quorvane\\Tessaly\\Tessaly.tsy", "data");
    WriteText(t.s / L"ProgramData\\Quorvane\\Tessaly\\Tessaly.ini", "C:\\data\\Tessaly.tsy");

    t.shown.clear();
    EXPECT_EQ(t.Uninstall().outcome, Outcome::kUninstalled);
    EXPECT_FALSE(Exists(t.s / L"Program Files\\Quorvane"));
    EXPECT_FALSE(Exists(t.s / L"ProgramData\\Quorvane\\Tessaly\\Tessaly.ahp"));
    EXPECT_FALSE(Exists(t.s / L"Desktop\\Tessaly.lnk"));
    EXPECT_FALSE(Exists(t.s / L"Startup\\TessalyStart.lnk"));
    EXPECT_EQ(t.Entry(L"DisplayName"), L"<none>");
    EXPECT_EQ(ReadText(t.s / L"Documents\\Quorvane\\Tessaly\\Tessaly.tsy"), L"data");
    EXPECT_EQ(ReadText(t.s / L"ProgramData\\Quorvane\\Tessaly\\Tessaly.ini"),
              L"C:\\data\\Tessaly.tsy");
    ASSERT_EQ(t.shown.size(), 2u);
    EXPECT_NE(t.shown[1].text.find(t.s / L"Documents\\Quorvane\\Tessaly"), std::wstring::npos);

    EXPECT_EQ(t.Uninstall().outcome, Outcome::kUninstalled) << "once more: nothing left to fail";
}

TEST(SetupMachine, OnlyUninstallAsTheFirstArgumentUninstalls) {
    EXPECT_TRUE(AsksForUninstall(L"/uninstall"));
    EXPECT_TRUE(AsksForUninstall(L"/UNINSTALL extra"));
    EXPECT_FALSE(AsksForUninstall(L""));
    EXPECT_FALSE(AsksForUninstall(nullptr));
    EXPECT_FALSE(AsksForUninstall(L"uninstall"));
    EXPECT_FALSE(AsksForUninstall(L"x /uninstall"));
}

TEST(SetupMachine, AWholeInstallationAndEachAnswerToTheRestart) {
    ScratchInstall t;
    EXPECT_EQ(t.Run().outcome, Outcome::kNoRestart);
    EXPECT_EQ(t.restart.requests, 0);
    const std::wstring installed = t.s / L"Program Files\\Quorvane\\Tessaly";
    EXPECT_EQ(ReadText(installed + L"\\TessalyStartup.exe"), L"new");
    EXPECT_EQ(ReadText(t.s / L"ProgramData\\Quorvane\\Tessaly\\Tessaly.ahp"), L"new");
    EXPECT_TRUE(Exists(t.s / L"Documents\\Quorvane\\Tessaly"));
    EXPECT_EQ(ReadLink(t.s / L"Startup\\TessalyStart.lnk").target,
              installed + L"\\TessalyStartup.exe");
    EXPECT_EQ(ReadLink(t.s / L"Desktop\\Tessaly.lnk").folder, installed);

    // A data file beside the installer, over the user's own: the user's is kept.
    WriteText(t.s / L"release\\Tessaly.tsy", "brought");
    WriteText(t.s / L"Documents\\Quorvane\\Tessaly\\Tessaly.tsy", "user's");
    t.answer = IDYES;
    EXPECT_EQ(t.Run().outcome, Outcome::kRestartAsked);
    EXPECT_EQ(t.restart.requests, 1);
    EXPECT_EQ(ReadText(t.s / L"Documents\\Quorvane\\Tessaly\\Tessaly.tsy"), L"brought");
    SYSTEMTIME now;
    GetLocalTime(&now);
    const std::wstring backup =
        t.s / (L"Documents\\Quorvane\\Tessaly\\" +
               BackupFileName(now.wYear * 10000 + now.wMonth * 100 + now.wDay, 1));
    EXPECT_EQ(ReadText(backup), L"user's");
}

TEST(SetupMachine, AFolderThatCannotBeMadeIsReportedAndNoRestartOffered) {
    ScratchInstall t;
    WriteText(t.s / L"Program Files\\Quorvane", "a file where the folder belongs");
    const RunReport report = t.Run();
    EXPECT_EQ(report.outcome, Outcome::kFailed);
    ASSERT_FALSE(t.shown.empty());
    const Message& last = t.shown.back();
    EXPECT_EQ(last.caption, L"Tessaly Setup");
    EXPECT_NE(last.text.find(L"The folder " + t.s / L"Program Files\\Quorvane\r\n"
                                                    L"\tA file of that name is in the way."),
              std::wstring::npos)
        << std::string(last.text.begin(), last.text.end());
    EXPECT_EQ(report.leftOut, (std::vector<std::wstring>{L"Tessaly.exe", L"TessalyStartup.exe",
                                                         L"tsy.exe", L"TessalySetup.exe",
                                                         L"Tessaly.lnk", L"TessalyStart.lnk"}));
    for (const Message& m : t.shown) EXPECT_NE(m.caption, L"Confirm Windows Restart");
    EXPECT_EQ(t.restart.requests, 0);
}

// What Wine can show of the shared folder's protection: the lists are accepted when a folder is
// made, when one made in advance by this (ordinary) user is taken over, and on the help file,
// and the folder keeps its use. Wine keeps no access lists on files, so whom they let in is
// shown by the rules' own tests, not here.
TEST(SetupMachine, TheSharedFolderTakesItsListsAndKeepsItsUse) {
    Scratch s;
    CountedRestart never;
    MachineInstaller m(never);
    EXPECT_EQ(m.CreateFolder(s / L"Quorvane", Access::kVendorFolder), L"");
    EXPECT_EQ(m.CreateFolder(s / L"Quorvane\\Tessaly", Access::kProductFolder), L"");
    CreateDirectoryW((s / L"planted").c_str(), nullptr);  // owned by this test's user
    EXPECT_EQ(m.SecureFolder(s / L"planted", Access::kProductFolder), L"");
    EXPECT_EQ(m.CreateFolder(s / L"planted", Access::kProductFolder), L"") << "there already";
    WriteText(s / L"help", "help");
    EXPECT_EQ(
        m.InstallFile(s / L"help", s / L"Quorvane\\Tessaly\\Tessaly.ahp", Access::kReadOnlyFile),
        L"");
    EXPECT_EQ(ReadText(s / L"Quorvane\\Tessaly\\Tessaly.ahp"), L"help");
    // The editor's settings file: written beside, then renamed over.
    WriteText(s / L"Quorvane\\Tessaly\\Tessaly.ini.new", "C:\\data\\Tessaly.tsy");
    EXPECT_TRUE(MoveFileExW((s / L"Quorvane\\Tessaly\\Tessaly.ini.new").c_str(),
                            (s / L"Quorvane\\Tessaly\\Tessaly.ini").c_str(),
                            MOVEFILE_REPLACE_EXISTING));
    WriteText(s / L"a file", "x");
    EXPECT_EQ(m.SecureFolder(s / L"a file", Access::kProductFolder),
              L"A file of that name is in the way.");
}

// A file in use is renamed, and only its new name is scheduled for the next restart: an
// installation made before the restart keeps its own file of the old name.
TEST(SetupMachine, AFileInUseGoesAtTheRestartUnderANameOfItsOwn) {
    Scratch s;
    const std::vector<test::PendingRename> before = test::ReadPendingRenames();
    const std::wstring folder = s / L"Tessaly";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring editor = folder + L"\\Tessaly.exe";
    ASSERT_TRUE(
        CopyFileW(BesideThisTest(L"setup_test_sleeper.exe").c_str(), editor.c_str(), FALSE));
    {
        Started running(editor);
        ASSERT_TRUE(running.Running());
        CountedRestart never;
        MachineInstaller m(never);
        const Removal removal = m.RemoveFile(editor);
        EXPECT_EQ(removal.reason, L"");
        EXPECT_TRUE(removal.atRestart);
        EXPECT_FALSE(Exists(editor)) << "the name is free for a new installation";
        EXPECT_TRUE(m.RemoveFolder(folder)) << "the folder goes at the restart, if empty by then";
        const std::vector<std::wstring> left = Names(folder);
        ASSERT_EQ(left.size(), 1u);
        EXPECT_EQ(left[0].rfind(L"Tessaly.exe.", 0), 0u);
        EXPECT_EQ(left[0].substr(left[0].size() - 8), L".removed");

        std::vector<test::PendingRename> added = test::ReadPendingRenames();
        added.erase(added.begin(), added.begin() + std::min(added.size(), before.size()));
        EXPECT_EQ(added, (std::vector<test::PendingRename>{{folder + L"\\" + left[0], L""},
                                                           {folder, L""}}));
        // A new installation before the restart; then the restart, which ends every program
        // first. Only this test's operations are carried out, and the list is put back.
        WriteText(editor, "new");
        TerminateProcess(running.pi.hProcess, 0);
        WaitForSingleObject(running.pi.hProcess, 5000);
        test::WritePendingRenames(before);
        test::ApplyAsAtRestart(added);
        EXPECT_EQ(ReadText(editor), L"new");
        EXPECT_EQ(Names(folder), std::vector<std::wstring>{L"Tessaly.exe"});
    }
}

// The uninstaller removes a desktop, start-up or Start-menu shortcut only when it starts the
// installed program: one of the same name the user pointed elsewhere stays.
TEST(SetupMachine, AShortcutPointingElsewhereSurvivesTheUninstall) {
    ScratchInstall t;
    ASSERT_EQ(t.Run().outcome, Outcome::kNoRestart);
    const std::wstring installed = t.s / L"Program Files\\Quorvane\\Tessaly";
    EXPECT_EQ(ReadText(installed + L"\\tsy.exe"), L"new");
    EXPECT_EQ(ReadLink(t.s / L"Start Menu\\Tessaly.lnk").target, installed + L"\\Tessaly.exe");
    WriteText(t.s / L"Other.exe", "MZ");
    ASSERT_EQ(CreateShortcut(t.s / L"Desktop\\Tessaly.lnk", t.s / L"Other.exe", t.s.path()), L"");

    EXPECT_EQ(t.Uninstall().outcome, Outcome::kUninstalled);
    EXPECT_EQ(ReadLink(t.s / L"Desktop\\Tessaly.lnk").target, t.s / L"Other.exe");
    EXPECT_FALSE(Exists(t.s / L"Startup\\TessalyStart.lnk"));
    EXPECT_FALSE(Exists(t.s / L"Start Menu\\Tessaly.lnk"));
    EXPECT_FALSE(Exists(installed + L"\\tsy.exe"));
}

// Last, since it changes the whole test process: afterwards a DLL is looked for in the system
// folder only, never beside the program. (Wine prefers its own copy of a system DLL to one
// planted beside a program in any case, so this is shown with a DLL of a name of our own.)
TEST(SetupMachine, ZzAfterStartUpNoDllIsLoadedFromBesideTheProgram) {
    const wchar_t* probe = L"setup_test_probe.dll";
    HMODULE module = LoadLibraryW(probe);
    ASSERT_TRUE(module) << "the probe lies beside this test";
    FreeLibrary(module);
    EXPECT_TRUE(LimitDllSearchToSystemFolder());
    module = LoadLibraryW(probe);
    EXPECT_FALSE(module);
    if (module) FreeLibrary(module);
}

}  // namespace
}  // namespace tessaly::setup
