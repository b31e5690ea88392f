// Moving the data file to another folder: which file is taken along, when it is copied, what the
// settings file holds afterwards, and what happens to changes not yet saved.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace tessaly::editor::settings {

// The data file in use and its folder.
struct DataLocation {
    std::filesystem::path dataFile;
    std::filesystem::path dataFolder;
};

// The name the data file gets in a folder it is moved to.
inline constexpr const char* kDataFileName = "Tessaly.tsy";
// A data file of this size or less holds no reminder, so it is not worth carrying along.
inline constexpr std::uintmax_t kLargestEmptyFile = 16;

// What the move needs from the editor.
struct MoveHost {
    // When the lists have unsaved changes: asks whether to save them first, and saves them to
    // the data file in use when the user says so. false when the user cancelled or the save
    // failed (it says why itself): then nothing may move. Empty: nothing unsaved.
    std::function<bool()> offerSave;
    // The settings file's line for a data file path, in the file's code page; nothing when the
    // path cannot be written in it.
    std::function<std::optional<std::string>(const std::filesystem::path&)> settingsLine;
};

enum class MoveOutcome {
    kMoved,       // the new file is in place and the settings file names it: reload from it
    kSameFolder,  // the data file is already there: nothing changed
    kCancelled,   // the user kept the unsaved changes, or saving them failed: nothing changed
    kFailed,      // nothing changed; the message says why
};

struct MoveResult {
    MoveOutcome outcome = MoveOutcome::kFailed;
    std::string message;  // for kFailed, UTF-8
};

// True when both name the same existing folder (whatever the spelling), or are equal.
bool IsSameFolder(const std::filesystem::path& a, const std::filesystem::path& b);

// The file to take along: the data file in use when it exists; otherwise a file of the data
// folder named tessaly.tsy in any mix of case (the first by name when there are several).
std::optional<std::filesystem::path> FindOldDataFile(const DataLocation& location);

// Points the editor at newFolder: asks about unsaved changes, copies the old data file there
// when it holds reminders (replacing a data file already there, never leaving half a copy),
// and rewrites settingsFile to name the new data file. On kMoved location names the new file;
// on any other outcome nothing has changed, on disk or in location.
MoveResult SetDataFolder(DataLocation& location, const std::filesystem::path& settingsFile,
                         const std::filesystem::path& newFolder, const MoveHost& host);

}  // namespace tessaly::editor::settings
