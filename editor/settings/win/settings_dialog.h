// The settings dialog: shows where the data file is, moves it to another folder, or back to the
// documents folder.
#pragma once

#include <windows.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "core/date.h"
#include "editor/settings/data_folder.h"

namespace tessaly::editor {

// What the dialog needs from the editor; empty members are left out or take the real thing.
struct SettingsHost {
    // When the lists have unsaved changes: asks whether to save them first, in boxes owned by
    // `owner` (the dialog), and saves them when the user says so. false when the user cancelled
    // or the save failed: then nothing moves. Empty: nothing unsaved.
    std::function<bool(HWND owner)> offerSave;
    // The settings file's line for a path; empty: SystemCodePageLine.
    std::function<std::optional<std::string>(const std::filesystem::path&)> settingsLine;
    // The question about a data file with reminders in the chosen folder; empty: AppMsgBox,
    // which its owner, the dialog, waits for.
    std::function<settings::ExistingFileChoice(const settings::ExistingFileQuestion&)>
        askAboutExisting;
    // Today, for the name a replaced data file is kept under; empty: the system's date.
    std::function<DateKey()> today;
    // Shows the data file path in the main window's status bar.
    std::function<void(const std::filesystem::path&)> showDataFile;
    // Loads both lists again from the data file now in use.
    std::function<void()> reload;
    // Lets the user choose a folder, starting in start; nothing when the user cancels.
    std::function<std::optional<std::filesystem::path>(HWND owner,
                                                       const std::filesystem::path& start)>
        chooseFolder;
};

struct SettingsPaths {
    settings::DataLocation location;  // changed when the data file moves
    std::filesystem::path documentFolder;
    std::filesystem::path settingsFile;
};

// Runs the dialog modally over owner. Returns true when the data file moved: paths.location
// then names the new file, the settings file names it too, and host.reload has run. While a
// move runs, its questions and messages are owned by the dialog, so nothing else in it can be
// clicked until they are answered.
bool SettingsDialog(HWND owner, SettingsPaths& paths, const SettingsHost& host);

// The shell's folder browser, titled for choosing the data file's folder and opened on start.
std::optional<std::filesystem::path> BrowseForDataFolder(HWND owner,
                                                         const std::filesystem::path& start);

// The settings file's line for a path, in the system's code page; nothing when the path has a
// character the code page cannot hold (the editor could not read it back).
std::optional<std::string> SystemCodePageLine(const std::filesystem::path& path);

// The question about a data file already in the chosen folder, in the editor's own message box
// (Yes: use it, No: replace it, Cancel or Escape: change nothing).
settings::ExistingFileChoice AskAboutExistingFile(const settings::ExistingFileQuestion& question);

}  // namespace tessaly::editor
