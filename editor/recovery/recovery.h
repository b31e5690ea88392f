// The editor's recovery file: the lists as they stand after every change not yet saved,
// written whole beside the data file, so a crash, a power cut or a log-off that ends the editor
// loses nothing. A normal close removes it; the next start offers back one that is left.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "core/date.h"
#include "core/file_io.h"
#include "core/reminder.h"

namespace tessaly::editor {

// "<data file>.recovery" beside the data file: "Tessaly.tsy.recovery".
std::filesystem::path RecoveryFile(const std::filesystem::path& dataFile);

// The question at start-up, with how many reminders each side holds.
std::string RecoveryQuestion(const ReminderData& recovered, const ReminderData& saved);

// What a start finds beside the data file it has just read.
struct FoundRecovery {
    ReminderData lists;  // what the editor held when it ended
};
// A recovery file that holds something else than `saved` (the data file as read), else none.
// One that holds the same (the editor saved, then ended before removing it) is removed. One
// that cannot be read stays where it is.
std::optional<FoundRecovery> FindRecovery(const std::filesystem::path& dataFile,
                                          const ReminderData& saved);

// "No" to the question: the recovery file is kept in Backups beside the data file as
// "<name>-unsaved-YYYY-MM-DD.tsy" ("-2", "-3" ... before ".tsy" when that is taken), a data
// file tsy and the editor can open. Returns where, or the failure.
IoResult SetRecoveryAside(const std::filesystem::path& dataFile, DateKey today,
                          std::filesystem::path* keptAs = nullptr);

// Writes the recovery file after each change while there are unsaved changes, and removes it
// when there are none left (saved, or given up).
class RecoveryKeeper {
  public:
    // After a command: `dirty` and the lists as they stand. Lists never read from the data
    // file (loaded false) are never kept: restored later, they would replace every reminder.
    void Keep(const std::filesystem::path& dataFile, bool loaded, bool dirty,
              const ReminderData& lists);
    // The editor closes normally, whatever the answer to the save question was.
    void Discard(const std::filesystem::path& dataFile);
    // Taken as written already: the lists just restored from it.
    void Adopt(const std::filesystem::path& dataFile, const ReminderData& lists);

  private:
    std::optional<ReminderData> written_;  // what the recovery file holds, when there is one
    std::filesystem::path file_;
};

}  // namespace tessaly::editor
