// "&Settings": the settings dialog over the main window's paths and model. A move asks the
// model's closing question first, in a box the dialog owns, and, once the dialog is gone,
// reloads both lists.
#include <windows.h>

#include "editor/settings/win/settings_dialog.h"
#include "editor/win/main_window.h"

namespace tessaly::editor {
namespace {

class MainWindowSettingsHost final : public SettingsHost {
  public:
    MainWindowSettingsHost(MainWindow& w, const SettingsPaths& paths) : w_(w), paths_(paths) {}

    // The question and a failed save's message belong to the dialog, which they keep disabled.
    bool OfferSave(HWND dialog) override {
        Update update;
        const bool go = w_.model.OfferSave(
            [this, dialog](const Question& q) { return AskUser(w_, q, dialog); }, update);
        Apply(w_, update, dialog);
        return go;
    }
    void ShowDataFile(const std::filesystem::path& file) override {
        Apply(w_, w_.model.ShowDataFile(file));
    }
    void Reload() override {
        w_.paths.dataFile = paths_.location.dataFile.wstring();
        w_.paths.dataFolder = paths_.location.dataFolder.wstring();
        Apply(w_, w_.model.ReloadFrom(paths_.location.dataFile));
    }

  private:
    MainWindow& w_;
    const SettingsPaths& paths_;
};

}  // namespace

void OpenSettingsDialog(MainWindow& w) {
    SettingsPaths paths;
    paths.location = {w.paths.dataFile, w.paths.dataFolder};
    paths.documentFolder = w.paths.documentFolder;
    paths.settingsFile = w.paths.settingsFile;
    MainWindowSettingsHost host(w, paths);
    SettingsDialog(w.hwnd, paths, host);
}

}  // namespace tessaly::editor
