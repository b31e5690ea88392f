// Opens the settings dialog on its own, for screenshots: "settings_preview" shows the dialog,
// "settings_preview location" presses "Current Location" once it is up, "settings_preview
// refused" types a lead the box refuses and closes the dialog. Nothing is moved: the other
// buttons only say what they would do.
#include <windows.h>

#include <string>

#include "editor/settings/win/settings_dialog.h"
#include "editor/settings/win/settings_ids.h"

namespace {

bool pressLocation = false;
bool typeRefused = false;

void CALLBACK PressLocation(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dialog = FindWindowW(nullptr, L"Settings for Tessaly");
    if (!dialog) return;
    KillTimer(nullptr, id);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_CURRENT_LOCATION, BN_CLICKED), 0);
}

void CALLBACK TypeRefused(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dialog = FindWindowW(nullptr, L"Settings for Tessaly");
    if (!dialog) return;
    KillTimer(nullptr, id);
    SetDlgItemTextW(dialog, IDC_ALERT_MINUTES, L"200");
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    pressLocation = std::wstring(commandLine).find(L"location") != std::wstring::npos;
    typeRefused = std::wstring(commandLine).find(L"refused") != std::wstring::npos;
    using namespace tessaly::editor;
    SettingsPaths paths;
    paths.location = {L"C:\\users\\Public\\Documents\\Quorvane\\Tessaly\\Tessaly.tsy",
                      L"C:\\users\\Public\\Documents\\Quorvane\\Tessaly"};
    paths.documentFolder = paths.location.dataFolder;
    paths.settingsFile = L"C:\\nowhere\\Tessaly.ini";
    // Nothing unsaved, nothing to show or reload, and no folder ever chosen.
    struct PreviewHost final : SettingsHost {
        bool OfferSave(HWND) override { return true; }
        void ShowDataFile(const std::filesystem::path&) override {}
        void Reload() override {}
    } host;
    const tessaly::win::Replaced chosen = chooseDataFolder.Replace(
        [](HWND, const std::filesystem::path&) { return std::optional<std::filesystem::path>(); });
    if (pressLocation) SetTimer(nullptr, 0, 200, PressLocation);
    if (typeRefused) SetTimer(nullptr, 0, 200, TypeRefused);
    SettingsDialog(nullptr, paths, host);
    return 0;
}
