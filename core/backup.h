// Daily backups of the data file: the first save of a day first keeps the file as it was in
// Backups\<name>-YYYY-MM-DD.tsy beside it (<name> the data file's own, so Tessaly.tsy keeps
// Tessaly-YYYY-MM-DD.tsy), and the newest 14 such days up to today are kept. The same step
// clears what a crashed save of that file left behind.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/date.h"
#include "core/file_io.h"

namespace tessaly {

inline constexpr int kBackupDaysKept = 14;
// A save's temporary file older than this is a crash's leftover; younger ones may be another
// program's save under way.
inline constexpr std::int64_t kLeftoverAgeSeconds = 24 * 60 * 60;

// The name the data file's backups carry: its own name without the extension, in UTF-8.
std::string BackupStem(const std::filesystem::path& dataFile);
// "Tessaly-2026-12-08.tsy" for the stem "Tessaly".
std::string BackupName(std::string_view stem, DateKey day);
// The day a backup of `stem` stands for, or none for any other name (another data file's
// backups included).
std::optional<DateKey> BackupDay(std::string_view stem, std::string_view name);
// The "Backups" folder beside the data file.
std::filesystem::path BackupFolder(const std::filesystem::path& dataFile);

// What a save on `today` does first, given the names in the backup folder: back up when the
// data file has content and today has no backup yet; then remove the backups beyond the newest
// kBackupDaysKept days up to today (today's counted in). Backups dated after today (a clock
// that was set ahead) are left alone and never count; other files are never touched.
struct BackupPlan {
    bool backUp = false;
    std::string name;                // today's backup
    std::vector<std::string> prune;  // oldest first
};
BackupPlan PlanDailyBackup(std::string_view stem, std::span<const std::string> existing,
                           DateKey today, bool dataFileHasContent);

// Of the names in the data file's folder (or, with inBackupFolder, in its backup folder), the
// temporary files of a save of the data file or of the editor's recovery file beside it (or of
// one of its backups).
std::vector<std::string> SaveLeftovers(const std::filesystem::path& dataFile,
                                       std::span<const std::string> names, bool inBackupFolder);

// The file system as the backup sees it, so tests can use a fake one.
class BackupFiles {
  public:
    virtual ~BackupFiles() = default;
    // Whether there is anything to keep: the file exists and is not empty.
    virtual bool HasContent(const std::filesystem::path& file) = 0;
    // The names of the files in a folder; none when there is no such folder.
    virtual std::vector<std::string> List(const std::filesystem::path& folder) = 0;
    virtual IoResult MakeFolder(const std::filesystem::path& folder) = 0;
    // Writes the copy beside its final name and renames it: never a half file.
    virtual IoResult Copy(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
    virtual IoResult Remove(const std::filesystem::path& file) = 0;
    // Seconds since the file was last written, or none when that cannot be told.
    virtual std::optional<std::int64_t> AgeInSeconds(const std::filesystem::path& file) = 0;
};
BackupFiles& SystemBackupFiles();

struct BackupResult {
    bool made = false;
    std::vector<std::string> pruned;
    std::vector<std::string> leftoversRemoved;
    IoResult status;  // a failure to report; the save goes ahead regardless
};

// Runs the plan before a save of dataFile. Old backups are removed only once today's exists.
// Then removes the data file's own save leftovers older than a day, here and in Backups.
BackupResult KeepDailyBackup(const std::filesystem::path& dataFile, DateKey today,
                             BackupFiles& files = SystemBackupFiles());

}  // namespace tessaly
