// The settings dialog: shows where the data file is, moves it to another folder, or back to the
// documents folder.
#pragma once

#include <windows.h>

#include <filesystem>
#include <functional>
#include <optional>

#include "editor/settings/data_folder.h"

namespace tessaly::editor {

// What the dialog needs from the editor; empty members are left out (chooseFolder: the shell's
// folder browser; move.settingsLine: the path in the system's code page).
struct SettingsHost {
    settings::MoveHost move;
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
// then names the new file, the settings file names it too, and host.reload has run.
bool SettingsDialog(HWND owner, SettingsPaths& paths, const SettingsHost& host);

// The shell's folder browser, titled for choosing the data file's folder and opened on start.
std::optional<std::filesystem::path> BrowseForDataFolder(HWND owner,
                                                         const std::filesystem::path& start);

// The settings file's line for a path, in the system's code page; nothing when the path has a
// character the code page cannot hold (the editor could not read it back).
std::optional<std::string> SystemCodePageLine(const std::filesystem::path& path);

}  // namespace tessaly::editor
