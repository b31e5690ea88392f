// Where the data file is: the settings file the editor writes and the rule that picks the data
// file from it. The editor's start-up and the notifier decide through the same function, so a
// data file moved in the editor's settings is the one the notifier pops up reminders from.
// The settings file's first line is the data file; a later "AlertMinutes=N" line is how long
// before a timed reminder the notifier alerts.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/product.h"

namespace tessaly {

// The settings file below the common application-data folder (empty: the current drive's root).
std::wstring SettingsFilePath(std::wstring_view commonAppData);

// The text up to the first line break (CR or LF); the whole text when there is none.
std::string FirstLine(std::string_view text);

// The settings file's first line, the data file's path in the system's code page; nothing when
// the file is missing or cannot be read. Lines after the first belong to other settings and are
// never part of the path. The file is only read, so a read-only settings file counts as well.
std::optional<std::string> ReadSettingsFirstLine(const std::filesystem::path& settingsFile);

// The whole settings file as read; nothing when it is missing or cannot be read.
std::optional<std::string> ReadSettingsText(const std::filesystem::path& settingsFile);

// The settings file's new content when it is to name another data file: `firstLine` and a line
// break, then every line after the old content's first exactly as it was.
std::string SettingsWithFirstLine(std::string_view oldContent, std::string_view firstLine);

// How many minutes before a reminder's time its alert goes off. 0 turns alerts off; at most two
// hours, since longer notice is what a reminder's notify days give, and an alert then always
// goes off on its event's day or the evening before.
inline constexpr int kDefaultAlertMinutes = 15;
inline constexpr int kMostAlertMinutes = 120;
inline constexpr std::string_view kAlertMinutesKey = "AlertMinutes";
inline constexpr std::string_view kAlertMinutesRefused =
    "The minutes before an alert must be a whole number from 0 to 120 (0 turns alerts off).";

// A lead typed by the user: a whole number from 0 to kMostAlertMinutes, blanks around it
// allowed; nothing for any other text (then kAlertMinutesRefused says why).
std::optional<int> ParseAlertMinutes(std::string_view typed);

// The lead a settings file's content asks for: the value of its first "AlertMinutes=" line after
// the first line (the name in any case, blanks around the name and the value allowed). The
// default when there is no file, no such line, or a value ParseAlertMinutes refuses.
int AlertMinutesSetting(const std::optional<std::string>& settingsText);

// The settings file's new content with the lead set: the first line (the data file) and every
// other line kept as they were, the first AlertMinutes line replaced (later ones dropped, so the
// file says one thing), or one added at the end.
std::string SettingsWithAlertMinutes(std::string_view oldContent, int minutes);

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
