// Where the data file is: the settings file the editor writes and the rule that picks the data
// file from it. The editor's start-up and the notifier decide through the same function, so a
// data file moved in the editor's settings is the one the notifier pops up reminders from.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tessaly {

// Below each special folder (common application data, documents) the programs keep their own.
inline constexpr std::wstring_view kVendorFolder = L"\\Quorvane";
inline constexpr std::wstring_view kProductFolder = L"\\Quorvane\\Tessaly";
inline constexpr std::wstring_view kSettingsFileName = L"\\Tessaly.ini";
inline constexpr std::wstring_view kDataFileName = L"\\Tessaly.tsy";

// The settings file below the common application-data folder (empty: the current drive's root).
std::wstring SettingsFilePath(std::wstring_view commonAppData);

// The text up to the first line break (CR or LF); the whole text when there is none.
std::string FirstLine(std::string_view text);

// The settings file's first line, the data file's path in the system's code page; nothing when
// the file is missing or cannot be read. Lines after the first belong to other settings and are
// never part of the path. The file is only read, so a read-only settings file counts as well.
std::optional<std::string> ReadSettingsFirstLine(const std::filesystem::path& settingsFile);

// The settings file's new content when it is to name another data file: `firstLine` and a line
// break, then every line after the old content's first exactly as it was.
std::string SettingsWithFirstLine(std::string_view oldContent, std::string_view firstLine);

// What a program knows when it looks for the data file.
struct DataFileSources {
    std::wstring_view firstArgument;  // the editor's command line; the notifier has none
    // The settings file's first line (ReadSettingsFirstLine), in the system's code page.
    std::optional<std::string> settingsFirstLine;
    std::wstring_view defaultFile;  // the program's own default data file
};

// The data file: the first argument when one is given; else, when there is a settings file, its
// first line; and whenever the path so found is empty or names no existing file, the default.
// A missing file named on the command line falls back to the default, never to the settings.
std::wstring ChooseDataFile(const DataFileSources& sources,
                            const std::function<std::wstring(std::string_view)>& fromAnsi,
                            const std::function<bool(const std::wstring&)>& isExistingFile);

// The notifier's default: documents + "\Quorvane\Tessaly\Tessaly.tsy" when that folder exists,
// else the file beside the program (programFile is the program's own full path). No folder is
// ever created. An empty documents path (no such folder on this system) goes straight to the
// program's folder, rather than to "\Quorvane\..." at the root of whatever drive is current.
std::wstring NotifierDefaultDataFile(std::wstring_view documents, std::wstring_view programFile,
                                     const std::function<bool(const std::wstring&)>& folderExists);

}  // namespace tessaly
