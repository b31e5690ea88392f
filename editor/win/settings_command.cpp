// "&Settings": the settings dialog over the main window's paths and model. A move asks the
// model's closing question first, in a box the dialog owns, and, once the dialog is gone,
// reloads both lists.
#include <windows.h>

#include <commctrl.h>

#include "editor/settings/win/settings_dialog.h"
#include "editor/win/main_window.h"
#include "editor/win/resource.h"

namespace tessaly::editor {

void OpenSettingsDialog(MainWindow& w) {
    SettingsPaths paths;
    paths.location = {w.paths.dataFile, w.paths.dataFolder};
    paths.documentFolder = w.paths.documentFolder;
    paths.settingsFile = w.paths.settingsFile;

    SettingsHost host;
    // The question and a failed save's message belong to the dialog, which they keep disabled.
    host.offerSave = [&w](HWND dialog) {
        Update update;
        const bool go = w.model.OfferSave(
            [&w, dialog](const Question& q) { return AskUser(w, q, dialog); }, update);
        Apply(w, update, dialog);
        return go;
    };
    host.today = [&w] { return Today(w.options); };
    host.showDataFile = [&w](const std::filesystem::path& file) {
        SendDlgItemMessageW(w.hwnd, IDC_STATUS, SB_SETTEXTW, 0,
                            reinterpret_cast<LPARAM>(file.c_str()));
    };
    host.reload = [&w, &paths] {
        w.paths.dataFile = paths.location.dataFile.wstring();
        w.paths.dataFolder = paths.location.dataFolder.wstring();
        Apply(w, w.model.ReloadFrom(paths.location.dataFile));
    };
    host.chooseFolder = w.options.chooseDataFolder;
    SettingsDialog(w.hwnd, paths, host);
}

}  // namespace tessaly::editor
