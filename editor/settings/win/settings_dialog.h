// The settings dialog: shows where the data file is, moves it to another folder, or back to the
// documents folder.
#pragma once

#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>

#include "editor/settings/data_folder.h"
#include "win/system_call.h"

namespace tessaly::editor {

// What the dialog needs from the editor.
class SettingsHost {
  public:
    virtual ~SettingsHost() = default;
    // When the lists have unsaved changes: asks whether to save them first, in boxes owned by
    // `owner` (the dialog), and saves them when the user says so. false when the user cancelled
    // or the save failed: then nothing moves. true when nothing is unsaved.
    virtual bool OfferSave(HWND owner) = 0;
    // The data file moved: its path is shown in the main window's status bar.
    virtual void ShowDataFile(const std::filesystem::path& file) = 0;
    // Loads both lists again from the data file now in use.
    virtual void Reload() = 0;
};

struct SettingsPaths {
    settings::DataLocation location;  // changed when the data file moves
    std::filesystem::path documentFolder;
    std::filesystem::path settingsFile;
};

// Runs the dialog modally over owner. Returns true when the data file moved: paths.location
// then names the new file, the settings file names it too, and host.Reload has run. While a
// move runs, its questions and messages are owned by the dialog, so nothing else in it can be
// clicked until they are answered.
bool SettingsDialog(HWND owner, SettingsPaths& paths, SettingsHost& host);

// The shell's folder browser, titled for choosing the data file's folder and opened on start:
// the folder chosen, or nothing when the user cancels.
std::optional<std::filesystem::path> BrowseForDataFolder(HWND owner,
                                                         const std::filesystem::path& start);
// What "Set New Location" asks: the shell's browser, unless a test chooses the folder.
extern win::SystemCall<std::optional<std::filesystem::path>(HWND owner,
                                                            const std::filesystem::path& start)>
    chooseDataFolder;

// The settings file's line for a path, in the system's code page; nothing when the path has a
// character the code page cannot hold (the editor could not read it back).
std::optional<std::string> SystemCodePageLine(const std::filesystem::path& path);

// The question about a data file already in the chosen folder, in the editor's own message box
// (Yes: use it, No: replace it, Cancel or Escape: change nothing).
settings::ExistingFileChoice AskAboutExistingFile(const settings::ExistingFileQuestion& question);

}  // namespace tessaly::editor
