// The release as a new user meets it: the unpacked zip (TESSALY_RELEASE), the real
// TessalySetup.exe with its message boxes answered by caption, then the installed editor and
// notifier. Run by end_to_end.sh, which unpacks the zip into the test prefix first.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "setup/installation.h"
#include "setup/win/machine.h"
#include "setup/win/tests/pending_renames.h"
#include "setup/win/tests/read_link.h"
#include "win/tests/other_process.h"

namespace tessaly::setup {
namespace {

namespace fs = std::filesystem;

std::string Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return in ? std::string((std::istreambuf_iterator<char>(in)), {}) : std::string("<missing>");
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Where things go on this machine.
struct Places {
    Situation machine = MachineSituation();
    fs::path release = [] {
        const char* r = std::getenv("TESSALY_RELEASE");
        return fs::path(r ? r : "");
    }();
    fs::path Special(int csidl) const { return fs::path(machine.specialFolder(csidl)); }
    fs::path programs() const { return Special(kProgramFilesX86Folder) / "Quorvane" / "Tessaly"; }
    fs::path help() const { return Special(kCommonAppDataFolder) / "Quorvane" / "Tessaly"; }
    fs::path data() const { return Special(kDocumentsFolder) / "Quorvane" / "Tessaly"; }
    fs::path desktopLink() const { return Special(kDesktopFolder) / "Tessaly.lnk"; }
    fs::path startupLink() const { return Special(kStartupFolder) / "TessalyStart.lnk"; }
    fs::path startMenuLink() const { return Special(kProgramsMenuFolder) / "Tessaly.lnk"; }

    // A machine Tessaly has never been installed on.
    void Clean() const {
        std::error_code ignored;
        for (int csidl : {kProgramFilesX86Folder, kCommonAppDataFolder, kDocumentsFolder}) {
            fs::remove_all(Special(csidl) / "Quorvane", ignored);
        }
        fs::remove(desktopLink(), ignored);
        fs::remove(startupLink(), ignored);
        fs::remove(startMenuLink(), ignored);
    }
};

using win::test::Answers;
using win::test::BoxAnswerer;
using win::test::Narrow;
using win::test::Process;
using win::test::WaitFor;

struct SetupRun {
    int exitCode = -1;
    std::vector<std::string> boxes;
};

SetupRun RunSetup(const fs::path& folder, const fs::path& program = "TessalySetup.exe",
                  const std::wstring& arguments = {}, Answers answers = {}) {
    Process setup(folder / program, folder, arguments);
    EXPECT_TRUE(setup.started());
    SetupRun run;
    {
        // "No" to the restart: the test machine keeps running.
        BoxAnswerer answerer(setup.id(), [&](const std::string& box) {
            if (box.rfind("Confirm Windows Restart: ", 0) == 0) return IDNO;
            return answers ? answers(box) : 0;
        });
        run.exitCode = setup.Wait(60000);
        run.boxes = answerer.boxes();
    }
    return run;
}

const std::vector<std::string> kInstalledBoxes = {
    "Tessaly Setup: copying file now... please wait",
    "Confirm Windows Restart: Tessaly setup completed... restart Windows now?"};

using test::LinkInfo;
using test::ReadLink;

std::string Label(const fs::path& dataFile) {
    return Bytes(dataFile).substr(0, 4);
}

class EndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(fs::exists(p.release / "TessalySetup.exe"))
            << "TESSALY_RELEASE must name the unpacked release: " << p.release.string();
    }
    // Installs from the release folder, as it must go when nothing is in the way.
    void Install() {
        const SetupRun run = RunSetup(p.release);
        EXPECT_EQ(run.boxes, kInstalledBoxes);
        EXPECT_EQ(run.exitCode, 0);
    }
    Places p;
};

TEST_F(EndToEnd, TheInstallerAsksForElevationAndSaysItsVersion) {
    const fs::path setup = p.release / "TessalySetup.exe";
    HMODULE module = LoadLibraryExW(setup.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(module);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
    ASSERT_TRUE(found);
    const std::string manifest(static_cast<const char*>(LockResource(LoadResource(module, found))),
                               SizeofResource(module, found));
    EXPECT_NE(manifest.find("level=\"requireAdministrator\""), std::string::npos);
    FreeLibrary(module);

    DWORD ignored = 0;
    std::vector<char> info(GetFileVersionInfoSizeW(setup.c_str(), &ignored));
    ASSERT_FALSE(info.empty());
    ASSERT_TRUE(GetFileVersionInfoW(setup.c_str(), 0, DWORD(info.size()), info.data()));
    wchar_t* version = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\StringFileInfo\\040904B0\\ProductVersion",
                               reinterpret_cast<void**>(&version), &length));
    EXPECT_EQ(std::wstring(version), L"3.03");
}

TEST_F(EndToEnd, MissingFilesChangeNothing) {
    p.Clean();
    const fs::path partial = p.release.parent_path() / "tessaly-partial";
    std::error_code ignored;
    fs::remove_all(partial, ignored);
    fs::create_directories(partial);
    for (const char* f : {"TessalySetup.exe", "Tessaly.exe", "Tessaly.ahp"}) {
        fs::copy_file(p.release / f, partial / f);
    }
    const SetupRun run = RunSetup(partial);
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].rfind("Required Files: The following files must be available", 0), 0u)
        << run.boxes[0];
    EXPECT_EQ(run.exitCode, 2);
    for (int csidl : {kProgramFilesX86Folder, kCommonAppDataFolder, kDocumentsFolder}) {
        EXPECT_FALSE(fs::exists(p.Special(csidl) / "Quorvane")) << csidl;
    }
    EXPECT_FALSE(fs::exists(p.desktopLink()));
    fs::remove_all(partial, ignored);
}

TEST_F(EndToEnd, ANewUserInstallsThenUsesBothPrograms) {
    p.Clean();
    Install();
    for (const char* f : {"Tessaly.exe", "TessalyStartup.exe", "tsy.exe"}) {
        EXPECT_EQ(Bytes(p.programs() / f), Bytes(p.release / f)) << f;
    }
    EXPECT_EQ(Bytes(p.help() / "Tessaly.ahp"), Bytes(p.release / "Tessaly.ahp"));
    EXPECT_EQ(fs::path(ReadLink(p.startMenuLink()).target), p.programs() / "Tessaly.exe")
        << "the Start menu's \"Tessaly\"";
    EXPECT_TRUE(fs::is_directory(p.data()));
    EXPECT_FALSE(fs::exists(p.data() / "Tessaly.tsy")) << "no data file came with the release";
    const LinkInfo desktop = ReadLink(p.desktopLink());
    const LinkInfo startup = ReadLink(p.startupLink());
    EXPECT_EQ(fs::path(desktop.target), p.programs() / "Tessaly.exe");
    EXPECT_EQ(fs::path(desktop.folder), p.programs());
    EXPECT_EQ(fs::path(startup.target), p.programs() / "TessalyStartup.exe");
    EXPECT_EQ(fs::path(startup.folder), p.programs());

    // The editor from its shortcut: it finds the data folder and makes its data file there.
    {
        Process editor(desktop.target, desktop.folder);
        ASSERT_TRUE(editor.started());
        HWND main = nullptr;
        ASSERT_TRUE(
            WaitFor([&] { return (main = editor.FindWindowTitled(L"Tessaly - ver 3.03")); }));
        EXPECT_TRUE(WaitFor([&] { return Label(p.data() / "Tessaly.tsy") == "3.03"; }))
            << Label(p.data() / "Tessaly.tsy");
        PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box, as a user closes it
        EXPECT_EQ(editor.Wait(10000), 0);
    }
    EXPECT_TRUE(fs::exists(p.help() / "Tessaly.ahp")) << "where the editor reads its help";

    // The notifier from its start-up shortcut: it finds that data file and saves its pass.
    {
        Process notifier(startup.target, startup.folder);
        ASSERT_TRUE(notifier.started());
        EXPECT_TRUE(WaitFor([&] { return Label(p.data() / "Tessaly.tsy") == "1.00"; }))
            << Label(p.data() / "Tessaly.tsy");
        // Its pass saves twice; it is ended only once no save is under way.
        int quiet = 0;
        WaitFor([&] {
            bool saving = false;
            for (const auto& entry : fs::directory_iterator(p.data())) {
                saving = saving || entry.path().extension() == ".saving";
            }
            quiet = saving ? 0 : quiet + 1;
            return quiet >= 10;
        });
        EXPECT_TRUE(notifier.Running()) << "it waits for the next midnight";
    }
}

TEST_F(EndToEnd, AReinstallReplacesARunningNotifier) {
    Install();
    // An older notifier, installed and running: the sleeper stands in for it.
    const fs::path installed = p.programs() / "TessalyStartup.exe";
    fs::path self(std::wstring(MAX_PATH, L'\0'));
    {
        wchar_t buffer[MAX_PATH];
        GetModuleFileNameW(nullptr, buffer, MAX_PATH);
        self = buffer;
    }
    fs::copy_file(self.parent_path() / "setup_test_sleeper.exe", installed,
                  fs::copy_options::overwrite_existing);
    Process old(installed, p.programs());
    ASSERT_TRUE(old.started());
    ASSERT_TRUE(WaitFor([&] { return old.Running(); }));

    Install();
    EXPECT_EQ(old.Wait(5000), 0) << "the running notifier was stopped";
    EXPECT_EQ(Bytes(installed), Bytes(p.release / "TessalyStartup.exe")) << "and replaced";
}

TEST_F(EndToEnd, ADataFileBesideTheInstallerKeepsTheUsersOwnAsABackup) {
    Install();
    const std::string users = std::string("3.03") + std::string(8, '\0');
    const std::string brought = std::string("1.00") + std::string(8, '\0');
    WriteBytes(p.data() / "Tessaly.tsy", users);
    WriteBytes(p.release / "Tessaly.tsy", brought);
    SYSTEMTIME now;
    GetLocalTime(&now);
    const fs::path backup =
        p.data() / BackupFileName(now.wYear * 10000 + now.wMonth * 100 + now.wDay, 1);
    std::error_code ignored;
    fs::remove(backup, ignored);

    Install();
    EXPECT_EQ(Bytes(p.data() / "Tessaly.tsy"), brought);
    EXPECT_EQ(Bytes(backup), users);
    fs::remove(p.release / "Tessaly.tsy");
    for (const auto& entry : fs::directory_iterator(p.data())) {
        EXPECT_NE(entry.path().extension(), ".setup-new") << "no copy left half-way";
    }
}

std::wstring UninstallCommand() {
    wchar_t text[1024] = {};
    DWORD size = sizeof text;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, std::wstring(kUninstallKey).c_str(), L"UninstallString",
                     RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS) {
        return {};
    }
    return text;
}

// A restart: carries out what was scheduled since `before`, and leaves the list as it was.
void RestartAsWindowsWould(const std::vector<test::PendingRename>& before) {
    std::vector<test::PendingRename> added = test::ReadPendingRenames();
    ASSERT_GE(added.size(), before.size());
    added.erase(added.begin(), added.begin() + before.size());
    test::WritePendingRenames(before);
    test::ApplyAsAtRestart(added);
}

TEST_F(EndToEnd, TheInstalledProgramsListUninstallsAndTheDataStays) {
    const std::vector<test::PendingRename> before = test::ReadPendingRenames();
    Install();
    const std::string data = Bytes(p.data() / "Tessaly.tsy");
    ASSERT_NE(data, "<missing>");
    const std::wstring command = UninstallCommand();
    const std::wstring expected =
        L"\"" + (p.programs() / "TessalySetup.exe").wstring() + L"\" /uninstall";
    ASSERT_EQ(command, expected);

    // As the list runs it: the installed copy, with the argument it names.
    const SetupRun run = RunSetup(p.programs(), "TessalySetup.exe", L"/uninstall");
    EXPECT_EQ(run.exitCode, 0);
    ASSERT_EQ(run.boxes.size(), 2u);
    EXPECT_EQ(run.boxes[0].rfind("Tessaly Setup: Remove Tessaly from this computer?", 0), 0u);
    EXPECT_NE(run.boxes[1].find("has been removed"), std::string::npos) << run.boxes[1];
    EXPECT_NE(run.boxes[1].find(Narrow(p.data().wstring())), std::string::npos) << run.boxes[1];

    for (const char* f : {"Tessaly.exe", "TessalyStartup.exe"}) {
        EXPECT_FALSE(fs::exists(p.programs() / f)) << f;
    }
    // The uninstaller cannot delete itself while it runs: renamed, it goes at the next restart,
    // and the closing message says so.
    EXPECT_FALSE(fs::exists(p.programs() / "TessalySetup.exe"));
    EXPECT_NE(run.boxes[1].find("restart Windows to complete the removal"), std::string::npos);
    EXPECT_FALSE(fs::exists(p.help() / "Tessaly.ahp"));
    EXPECT_FALSE(fs::exists(p.desktopLink()));
    EXPECT_FALSE(fs::exists(p.startupLink()));
    EXPECT_FALSE(fs::exists(p.startMenuLink()));
    EXPECT_EQ(UninstallCommand(), L"");
    EXPECT_EQ(Bytes(p.data() / "Tessaly.tsy"), data) << "the user's data is untouched";

    RestartAsWindowsWould(before);
    EXPECT_FALSE(fs::exists(p.programs())) << "the rest goes at the restart";
}

// The editor is open while Tessaly is uninstalled, and Tessaly is installed again before the
// restart. The files that were in use go at the restart under names of their own, so the new
// installation survives it.
TEST_F(EndToEnd, AnUninstallWithTheEditorOpenThenAReinstallSurvivesTheRestart) {
    const std::vector<test::PendingRename> before = test::ReadPendingRenames();
    p.Clean();
    Install();
    Process editor(p.programs() / "Tessaly.exe", p.programs());
    ASSERT_TRUE(WaitFor([&] { return editor.FindWindowTitled(L"Tessaly - ver 3.03") != nullptr; }));

    const SetupRun removed = RunSetup(p.programs(), "TessalySetup.exe", L"/uninstall");
    EXPECT_EQ(removed.exitCode, 0);
    ASSERT_EQ(removed.boxes.size(), 2u);
    EXPECT_NE(removed.boxes[1].find("restart Windows to complete the removal"), std::string::npos)
        << removed.boxes[1];
    EXPECT_EQ(UninstallCommand(), L"") << "everything went, or goes at the restart";
    EXPECT_TRUE(editor.Running());

    Install();
    EXPECT_TRUE(editor.Running()) << "the old editor still runs from its renamed file";
    editor.Kill();  // the restart ends every program
    RestartAsWindowsWould(before);

    for (const char* f : {"Tessaly.exe", "TessalyStartup.exe", "TessalySetup.exe", "tsy.exe"}) {
        EXPECT_EQ(Bytes(p.programs() / f), Bytes(p.release / f)) << f << " survived the restart";
    }
    EXPECT_EQ(Bytes(p.help() / "Tessaly.ahp"), Bytes(p.release / "Tessaly.ahp"));
    for (const auto& entry : fs::directory_iterator(p.programs())) {
        EXPECT_NE(entry.path().extension(), ".removed") << "gone at the restart";
    }
    EXPECT_NE(UninstallCommand(), L"");
}

// A data file beside the installer never replaces the user's while the editor runs: it would
// later save its own lists over it. Retry while it runs asks again; Cancel leaves it out.
TEST_F(EndToEnd, AnInstallLeavesTheDataFileAloneWhileTheEditorRuns) {
    p.Clean();
    Install();
    // The release's editor, so that only the data file is in the way of the installation.
    Process editor(p.release / "Tessaly.exe", p.release);
    HWND main = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (main = editor.FindWindowTitled(L"Tessaly - ver 3.03")); }));
    ASSERT_TRUE(WaitFor([&] { return Label(p.data() / "Tessaly.tsy") == "3.03"; }));
    Sleep(500);  // the start-up maintenance's saves are over
    const std::string users = Bytes(p.data() / "Tessaly.tsy");
    const std::string brought = std::string("1.00") + std::string(8, '\0');
    WriteBytes(p.release / "Tessaly.tsy", brought);

    int asked = 0;
    const SetupRun refused =
        RunSetup(p.release, "TessalySetup.exe", {}, [&](const std::string& box) {
            if (box.find("Tessaly is open") == std::string::npos) return 0;
            return ++asked == 1 ? IDRETRY : IDCANCEL;
        });
    ASSERT_EQ(refused.boxes.size(), 4u);
    EXPECT_EQ(refused.boxes[1].rfind("Tessaly Setup: Tessaly is open.", 0), 0u) << refused.boxes[1];
    EXPECT_EQ(refused.boxes[2], refused.boxes[1]) << "Retry while it still runs asks again";
    EXPECT_EQ(refused.boxes[3], kInstalledBoxes[1]) << "the rest is installed";
    EXPECT_EQ(refused.exitCode, 0);
    EXPECT_EQ(Bytes(p.data() / "Tessaly.tsy"), users);

    PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(editor.Wait(10000), 0);
    const SetupRun installed = RunSetup(p.release);
    EXPECT_EQ(installed.boxes, kInstalledBoxes);
    EXPECT_EQ(Bytes(p.data() / "Tessaly.tsy"), brought);
    fs::remove(p.release / "Tessaly.tsy");
}

// The loader takes a program's imports before its first line runs, from beside the program
// first unless they are the system's known DLLs: the installer imports nothing else.
TEST_F(EndToEnd, TheInstallerImportsOnlyTheSystemsKnownDlls) {
    const std::string image = Bytes(p.release / "TessalySetup.exe");
    auto at = [&](std::size_t offset, std::size_t size) -> std::uint32_t {
        std::uint32_t v = 0;
        for (std::size_t i = 0; i < size && offset + i < image.size(); ++i) {
            v |= std::uint32_t(std::uint8_t(image[offset + i])) << (8 * i);
        }
        return v;
    };
    const std::size_t nt = at(0x3C, 4);
    ASSERT_EQ(at(nt, 4), 0x4550u) << "PE";
    const std::size_t sections = at(nt + 6, 2), optionalSize = at(nt + 20, 2);
    const std::size_t optional = nt + 24;
    ASSERT_EQ(at(optional, 2), 0x20Bu) << "PE32+";
    const std::uint32_t importRva = at(optional + 112 + 8, 4);  // data directory 1
    auto offsetOf = [&](std::uint32_t rva) -> std::size_t {
        for (std::size_t i = 0; i < sections; ++i) {
            const std::size_t h = optional + optionalSize + 40 * i;
            const std::uint32_t va = at(h + 12, 4), size = at(h + 8, 4), raw = at(h + 20, 4);
            if (rva >= va && rva < va + size) return raw + (rva - va);
        }
        return 0;
    };
    std::vector<std::string> imported;
    for (std::size_t d = offsetOf(importRva); d && at(d + 12, 4) != 0; d += 20) {
        imported.push_back(image.c_str() + offsetOf(at(d + 12, 4)));
    }
    ASSERT_FALSE(imported.empty());
    for (const std::string& dll : imported) {
        EXPECT_TRUE(MayImportStatically(std::wstring(dll.begin(), dll.end()))) << dll;
    }
}

// Run by end_to_end.sh with the programs' vendor folder replaced by a symbolic link (Wine shows
// one as a junction would show) to a folder holding a file named like the editor: neither the
// installer nor the uninstaller writes or deletes through it.
TEST_F(EndToEnd, APlantedLinkIsNeitherWrittenNorDeletedThrough) {
    const char* target = std::getenv("TESSALY_PLANTED_TARGET");
    if (!target) GTEST_SKIP() << "end_to_end.sh runs this with a link planted";
    const fs::path planted = fs::path(target) / "Tessaly";
    const fs::path vendor = p.Special(kProgramFilesX86Folder) / "Quorvane";
    ASSERT_TRUE(IsReparsePoint(vendor.wstring()));
    const std::string marker = Bytes(planted / "Tessaly.exe");
    ASSERT_EQ(marker, "planted");

    const SetupRun install = RunSetup(p.release);
    EXPECT_EQ(install.exitCode, 1);
    ASSERT_EQ(install.boxes.size(), 2u);
    EXPECT_NE(install.boxes[1].find("The folder " + Narrow((vendor / "Tessaly").wstring())),
              std::string::npos)
        << install.boxes[1];
    EXPECT_NE(install.boxes[1].find("junction or a symbolic link"), std::string::npos);
    const SetupRun uninstall = RunSetup(p.release, "TessalySetup.exe", L"/uninstall");
    EXPECT_EQ(uninstall.exitCode, 1);
    EXPECT_NE(uninstall.boxes.back().find("junction or a symbolic link"), std::string::npos);

    EXPECT_EQ(Bytes(planted / "Tessaly.exe"), "planted");
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(planted)) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"Tessaly.exe"}) << "nothing was written through";
}

}  // namespace
}  // namespace tessaly::setup
