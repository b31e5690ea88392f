// The notifier follows a data file the editor moved: the real settings dialog moves the file
// (writing the test prefix's own settings file, put back afterwards), then the real
// TessalyStartup.exe starts, pops up the moved file's due reminder, and its acknowledgement
// reaches the moved file.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "core/data_file.h"
#include "core/data_location.h"
#include "core/tests/test_reminders.h"
#include "editor/settings/win/settings_dialog.h"
#include "editor/settings/win/settings_ids.h"
#include "notifier/win/popup.h"
#include "win/folders.h"
#include "win/tests/window_steps.h"

namespace tessaly {
namespace {

namespace fs = std::filesystem;
using win::test::WindowStep;
using win::test::windowSteps;

std::optional<std::string> ReadBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

DateKey Today() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return MakeDateKey(now.wYear, now.wMonth, now.wDay);
}

// A window of another process, by caption.
HWND FindProcessWindow(DWORD process, const std::wstring& caption) {
    struct Search {
        DWORD process;
        const std::wstring* caption;
        HWND found = nullptr;
    } search{process, &caption};
    EnumWindows(
        [](HWND hwnd, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            wchar_t text[64] = {};
            GetWindowTextW(hwnd, text, 64);
            if (owner != s->process || !IsWindowVisible(hwnd) || *s->caption != text) return TRUE;
            s->found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The prefix's settings file as it was, put back however the test ends.
class SettingsFileGuard {
  public:
    explicit SettingsFileGuard(fs::path file) : file_(std::move(file)), before_(ReadBytes(file_)) {}
    ~SettingsFileGuard() {
        std::error_code ignored;
        if (before_) {
            std::ofstream(file_, std::ios::binary | std::ios::trunc) << *before_;
        } else {
            fs::remove(file_, ignored);
        }
    }
    SettingsFileGuard(const SettingsFileGuard&) = delete;
    SettingsFileGuard& operator=(const SettingsFileGuard&) = delete;

  private:
    fs::path file_;
    std::optional<std::string> before_;
};

TEST(NotifierFollowsMove, TheMovedFilesReminderPopsUp) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const fs::path root =
        fs::path(temp) / ("tessaly-follows-" + std::to_string(GetCurrentProcessId()));
    fs::remove_all(root);
    fs::create_directories(root / "data");
    fs::create_directories(root / "moved");
    const DateKey today = Today();
    ReminderData lists;
    lists.current.Append(testing::MakeReminder(kReminderKind, "Follows the move", today));
    ASSERT_TRUE(SaveReminderFile(root / "data" / "Tessaly.tsy", lists, kEditorLabel));
    const std::optional<std::string> original = ReadBytes(root / "data" / "Tessaly.tsy");

    // The settings file the notifier reads is the one the editor's start-up names.
    const fs::path settings = SettingsFilePath(win::SpecialFolderPath(kCommonAppDataFolder));
    fs::create_directories(settings.parent_path());
    const SettingsFileGuard guard(settings);

    editor::SettingsPaths paths;
    paths.location = {root / "data" / "Tessaly.tsy", root / "data"};
    paths.documentFolder = root / "docs";
    paths.settingsFile = settings;
    // The editor behind the dialog has nothing unsaved and nothing to reload.
    struct Host final : editor::SettingsHost {
        bool OfferSave(HWND) override { return true; }
        void ShowDataFile(const fs::path&) override {}
        void Reload() override {}
    } host;
    const win::Replaced chosen = editor::chooseDataFolder.Replace(
        [&](HWND, const fs::path&) { return std::optional<fs::path>(root / "moved"); });
    windowSteps = {{L"Settings for Tessaly", [](HWND dialog) {
                        PostMessageW(dialog, WM_COMMAND,
                                     MAKEWPARAM(IDC_SET_NEW_LOCATION, BN_CLICKED), 0);
                    }}};
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, win::test::RunWindowSteps);
    ASSERT_TRUE(editor::SettingsDialog(nullptr, paths, host));
    KillTimer(nullptr, timer);
    const fs::path moved = root / "moved" / "Tessaly.tsy";
    ASSERT_EQ(paths.location.dataFile, moved);

    // The notifier as the start-up shortcut runs it, from the folder it was built into.
    const fs::path notifier = fs::path(win::ProgramFile()).parent_path() / "TessalyStartup.exe";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring line = L"\"" + notifier.wstring() + L"\"";
    ASSERT_TRUE(CreateProcessW(notifier.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process))
        << GetLastError();
    HWND popup = nullptr;
    for (int i = 0; i < 300 && !popup; ++i) {
        Sleep(50);
        popup = FindProcessWindow(process.dwProcessId, kPopupCaption);
    }
    int archived = 0;
    if (popup) {
        PostMessageW(popup, WM_COMMAND, MAKEWPARAM(kAcknowledgeId, BN_CLICKED), 0);
        for (int i = 0; i < 200 && archived == 0; ++i) {
            Sleep(50);
            ReminderData onDisk;
            if (LoadReminderFile(moved, onDisk, IfMissing::kFail))
                archived = onDisk.archive.count();
        }
    }
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 5000);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);

    EXPECT_NE(popup, nullptr) << "no pop-up from the moved data file";
    EXPECT_EQ(archived, 1) << "the acknowledgement did not reach the moved data file";
    EXPECT_EQ(ReadBytes(root / "data" / "Tessaly.tsy"), original);  // the old file as it was
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

}  // namespace
}  // namespace tessaly
