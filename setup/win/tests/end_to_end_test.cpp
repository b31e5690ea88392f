// The release as a new user meets it: the unpacked zip (TESSALY_RELEASE), the real
// TessalySetup.exe with its message boxes answered by caption, then the installed editor and
// notifier. Run by end_to_end.sh, which unpacks the zip into the test prefix first.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "setup/installation.h"
#include "setup/win/machine.h"
#include "setup/win/tests/read_link.h"

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

std::string Narrow(const std::wstring& w) {
    std::string s;
    for (wchar_t c : w) s += c < 128 ? char(c) : '?';
    return s;
}

std::wstring WindowText(HWND hwnd) {
    wchar_t text[2048] = {};
    GetWindowTextW(hwnd, text, 2048);
    return text;
}

// Where things go on this machine.
struct Places {
    Situation machine = MachineSituation();
    fs::path release = [] {
        const char* r = std::getenv("TESSALY_RELEASE");
        return fs::path(r ? r : "");
    }();
    fs::path Special(int csidl) const { return fs::path(machine.specialFolder(csidl)); }
    fs::path programs() const { return Special(kCsidlProgramFilesX86) / "Quorvane" / "Tessaly"; }
    fs::path help() const { return Special(kCsidlCommonAppData) / "Quorvane" / "Tessaly"; }
    fs::path data() const { return Special(kCsidlPersonal) / "Quorvane" / "Tessaly"; }
    fs::path desktopLink() const { return Special(kCsidlDesktop) / "Tessaly.lnk"; }
    fs::path startupLink() const { return Special(kCsidlStartup) / "TessalyStart.lnk"; }

    // A machine Tessaly has never been installed on.
    void Clean() const {
        std::error_code ignored;
        for (int csidl : {kCsidlProgramFilesX86, kCsidlCommonAppData, kCsidlPersonal}) {
            fs::remove_all(Special(csidl) / "Quorvane", ignored);
        }
        fs::remove(desktopLink(), ignored);
        fs::remove(startupLink(), ignored);
    }
};

// A program this test starts; ended at the end if it still runs.
class Process {
  public:
    Process(const fs::path& exe, const fs::path& folder, const std::wstring& arguments = {}) {
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        std::wstring line = L"\"" + exe.wstring() + L"\"";
        if (!arguments.empty()) line += L" " + arguments;
        started_ = CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  folder.c_str(), &si, &pi_);
    }
    ~Process() {
        if (!started_) return;
        if (Running()) TerminateProcess(pi_.hProcess, 0);
        CloseHandle(pi_.hProcess);
        CloseHandle(pi_.hThread);
    }
    bool started() const { return started_; }
    bool Running() const { return WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }
    DWORD id() const { return pi_.dwProcessId; }
    // The exit code, or -1 when it did not end in time.
    int Wait(DWORD ms) const {
        if (WaitForSingleObject(pi_.hProcess, ms) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        GetExitCodeProcess(pi_.hProcess, &code);
        return int(code);
    }
    HWND FindWindowTitled(const std::wstring& title) const {
        struct Search {
            DWORD id;
            const std::wstring* title;
            HWND found = nullptr;
        } search{id(), &title};
        EnumWindows(
            [](HWND hwnd, LPARAM p) -> BOOL {
                auto* s = reinterpret_cast<Search*>(p);
                DWORD owner = 0;
                GetWindowThreadProcessId(hwnd, &owner);
                if (owner == s->id && IsWindowVisible(hwnd) && WindowText(hwnd) == *s->title) {
                    s->found = hwnd;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

  private:
    PROCESS_INFORMATION pi_ = {};
    bool started_ = false;
};

bool WaitFor(const std::function<bool()>& done, int ms = 20000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (done()) return true;
        Sleep(50);
    }
    return done();
}

// Answers the message boxes of one process by caption, as a person would: OK to every
// notice, "No" to the restart, "Yes" to any other question. Each box is recorded as
// "caption: text".
class BoxAnswerer {
  public:
    explicit BoxAnswerer(DWORD processId) : processId_(processId), thread_([this] { Loop(); }) {}
    ~BoxAnswerer() {
        stop_ = true;
        thread_.join();
    }
    std::vector<std::string> boxes() {
        std::lock_guard<std::mutex> lock(mutex_);
        return boxes_;
    }

  private:
    void Loop() {
        while (!stop_) {
            EnumWindows(
                [](HWND hwnd, LPARAM p) -> BOOL {
                    reinterpret_cast<BoxAnswerer*>(p)->Consider(hwnd);
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(this));
            Sleep(50);
        }
    }
    void Consider(HWND box) {
        DWORD owner = 0;
        GetWindowThreadProcessId(box, &owner);
        wchar_t className[64] = {};
        GetClassNameW(box, className, 64);
        if (owner != processId_ || std::wstring(className) != L"#32770" || !IsWindowVisible(box) ||
            answered_.count(box)) {
            return;
        }
        answered_.insert(box);
        const std::wstring caption = WindowText(box);
        const std::wstring text = WindowText(GetDlgItem(box, 0xFFFF));  // a message box's text
        {
            std::lock_guard<std::mutex> lock(mutex_);
            boxes_.push_back(Narrow(caption + L": " + text));
        }
        int button = GetDlgItem(box, IDYES) ? IDYES : IDOK;
        if (caption == L"Confirm Windows Restart") button = IDNO;
        PostMessageW(box, WM_COMMAND, button, 0);
    }

    DWORD processId_;
    std::atomic<bool> stop_{false};
    std::set<HWND> answered_;
    std::mutex mutex_;
    std::vector<std::string> boxes_;
    std::thread thread_;
};

struct SetupRun {
    int exitCode = -1;
    std::vector<std::string> boxes;
};

SetupRun RunSetup(const fs::path& folder, const fs::path& program = "TessalySetup.exe",
                  const std::wstring& arguments = {}) {
    Process setup(folder / program, folder, arguments);
    EXPECT_TRUE(setup.started());
    SetupRun run;
    {
        BoxAnswerer answerer(setup.id());
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
    for (int csidl : {kCsidlProgramFilesX86, kCsidlCommonAppData, kCsidlPersonal}) {
        EXPECT_FALSE(fs::exists(p.Special(csidl) / "Quorvane")) << csidl;
    }
    EXPECT_FALSE(fs::exists(p.desktopLink()));
    fs::remove_all(partial, ignored);
}

TEST_F(EndToEnd, ANewUserInstallsThenUsesBothPrograms) {
    p.Clean();
    Install();
    for (const char* f : {"Tessaly.exe", "TessalyStartup.exe"}) {
        EXPECT_EQ(Bytes(p.programs() / f), Bytes(p.release / f)) << f;
    }
    EXPECT_EQ(Bytes(p.help() / "Tessaly.ahp"), Bytes(p.release / "Tessaly.ahp"));
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

TEST_F(EndToEnd, TheInstalledProgramsListUninstallsAndTheDataStays) {
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
    // The uninstaller cannot delete itself while it runs; then it goes at the next restart.
    if (fs::exists(p.programs() / "TessalySetup.exe")) {
        wchar_t pending[4096] = {};
        DWORD size = sizeof pending;
        RegGetValueW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Session Manager",
                     L"PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr, pending, &size);
        bool listed = false;
        for (const wchar_t* q = pending; *q; q += wcslen(q) + 1) {
            listed = listed || std::wstring(q).find(L"TessalySetup.exe") != std::wstring::npos;
        }
        EXPECT_TRUE(listed) << "the uninstaller stays only until the next restart";
    }
    EXPECT_FALSE(fs::exists(p.help() / "Tessaly.ahp"));
    EXPECT_FALSE(fs::exists(p.desktopLink()));
    EXPECT_FALSE(fs::exists(p.startupLink()));
    EXPECT_EQ(UninstallCommand(), L"");
    EXPECT_EQ(Bytes(p.data() / "Tessaly.tsy"), data) << "the user's data is untouched";
}

}  // namespace
}  // namespace tessaly::setup
