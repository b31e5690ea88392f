// Daily backups of the data file: the first save of a day first keeps the file as it was in
// Backups\Tessaly-YYYY-MM-DD.tsy beside it, and the newest 14 such days are kept.
#pragma once

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

// "Tessaly-2026-12-08.tsy".
std::string BackupName(DateKey day);
// The day a backup's file name stands for, or none for any other name.
std::optional<DateKey> BackupDay(std::string_view name);
// The "Backups" folder beside the data file.
std::filesystem::path BackupFolder(const std::filesystem::path& dataFile);

// What a save on `today` does first, given the names in the backup folder: back up when the
// data file has content and today has no backup yet; then remove the backups older than the
// newest kBackupDaysKept days (today's counted in). Other files are never touched.
struct BackupPlan {
    bool backUp = false;
    std::string name;                // today's backup
    std::vector<std::string> prune;  // oldest first
};
BackupPlan PlanDailyBackup(std::span<const std::string> existing, DateKey today,
                           bool dataFileHasContent);

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
};
BackupFiles& SystemBackupFiles();

struct BackupResult {
    bool made = false;
    std::vector<std::string> pruned;
    IoResult status;  // a failure to report; the save goes ahead regardless
};

// Runs the plan before a save of dataFile. Old backups are removed only once today's exists.
BackupResult KeepDailyBackup(const std::filesystem::path& dataFile, DateKey today,
                             BackupFiles& files = SystemBackupFiles());

}  // namespace tessaly
