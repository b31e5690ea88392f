// Moving the data file to another folder: which file is taken along, when it is copied, what
// happens to a data file already in that folder, what the settings file holds afterwards, and
// what happens to changes not yet saved.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/date.h"

namespace tessaly::editor::settings {

// The data file in use and its folder.
struct DataLocation {
    std::filesystem::path dataFile;
    std::filesystem::path dataFolder;
};

// A data file of this size or less holds no reminder, so it is not worth carrying along.
inline constexpr std::uintmax_t kLargestEmptyFile = 16;

// How many reminders a data file holds.
struct ReminderCount {
    int current = 0;
    int archived = 0;
};

// The question asked when the chosen folder already holds a data file with reminders and the
// file in use has reminders to carry there.
struct ExistingFileQuestion {
    std::filesystem::path folder;
    ReminderCount there;  // the file already in the folder
    ReminderCount inUse;  // the file that would replace it
    std::string keptAs;   // the name the file there keeps when it is replaced
};
enum class ExistingFileChoice {
    kUseIt,      // nothing is copied; the editor uses the file that is there
    kReplaceIt,  // the file in use replaces it; the file there is kept beside it as keptAs
    kCancel,     // nothing changes
};
// The question's text (UTF-8, lines separated by CR LF), for a Yes (use it) / No (replace it) /
// Cancel box.
std::string ExistingFileQuestionText(const ExistingFileQuestion& question);

// "Tessaly-before-move-20261210.tsy", then "-2", "-3" ... for the n-th name of a day.
std::string KeptFileName(DateKey today, int n);

// What the move needs from the editor.
class MoveHost {
  public:
    virtual ~MoveHost() = default;
    // When the lists have unsaved changes: asks whether to save them first, and saves them to
    // the data file in use when the user says so. false when the user cancelled or the save
    // failed (it says why itself): then nothing may move. true when nothing is unsaved.
    virtual bool OfferSave() = 0;
    // The settings file's line for a data file path, in the file's code page; nothing when the
    // path cannot be written in it.
    virtual std::optional<std::string> SettingsLine(const std::filesystem::path& dataFile) = 0;
    // Asked before a data file with reminders in the chosen folder would be replaced.
    virtual ExistingFileChoice AskAboutExisting(const ExistingFileQuestion& question) = 0;
    // Dates the name a replaced file is kept under.
    virtual DateKey Today() = 0;
};

enum class MoveOutcome {
    kMoved,       // the settings file names the new data file, which is in place: reload from it
    kSameFolder,  // the folder is in use already: the settings file names the file in use again
    kCancelled,   // the user kept the unsaved changes or cancelled a question: nothing changed
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

// Points the editor at newFolder. The folder in use already: only the settings file is written
// again, naming the file in use (so a start-up that fell back to another file, or a settings
// file that names a missing one, is put right), and nothing is reloaded. Another folder: asks
// about unsaved changes; carries the old data file there when it holds reminders, asking first
// when the folder already holds a data file with reminders (which is then kept beside it, never
// overwritten); a data file already there is otherwise used as it is. The copy is written,
// flushed and read back before the settings file names it, and the settings file is replaced
// in one step with the lines after its first kept, so a failure or a crash at any point leaves
// one complete location in use. On kMoved and kSameFolder location names the data file the
// settings file now names; on the other outcomes nothing has changed, on disk or in location.
MoveResult SetDataFolder(DataLocation& location, const std::filesystem::path& settingsFile,
                         const std::filesystem::path& newFolder, MoveHost& host);

// The lead of the alerts as the settings box shows it: the settings file's, or the default.
int SettingsAlertMinutes(const std::filesystem::path& settingsFile);

// What the settings box does with a typed lead. A refused text (kAlertMinutesRefused) or a
// file that cannot be read or written changes nothing; a lead the file already gives writes
// nothing; otherwise the file is replaced in one step with the new AlertMinutes line and every
// other line as it was. The message is empty unless something failed.
struct AlertMinutesResult {
    enum class Outcome { kRefused, kUnchanged, kWritten, kFailed } outcome;
    std::string message;
};
AlertMinutesResult SetAlertMinutes(const std::filesystem::path& settingsFile,
                                   std::string_view typed);

}  // namespace tessaly::editor::settings
