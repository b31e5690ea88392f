// The recovery file: written after changes, offered back at the next start, set aside on "No".
#include "editor/recovery/recovery.h"

#include <system_error>

#include "core/backup.h"
#include "core/data_file.h"

namespace tessaly::editor {
namespace {

std::string Reminders(const ReminderData& lists) {
    const int n = lists.current.count(), archived = lists.archive.count();
    return std::to_string(n) + (n == 1 ? " reminder" : " reminders") + " and " +
           std::to_string(archived) + " archived";
}

void RemoveQuietly(const std::filesystem::path& file) {
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
}

}  // namespace

std::filesystem::path RecoveryFile(const std::filesystem::path& dataFile) {
    std::filesystem::path file = dataFile;
    file += ".recovery";
    return file;
}

std::string RecoveryQuestion(const ReminderData& recovered, const ReminderData& saved) {
    return "Tessaly did not close properly. Restore the changes made then?\r\n\r\n"
           "Not saved then: " +
           Reminders(recovered) + ".\r\nIn the data file: " + Reminders(saved) + ".";
}

std::optional<FoundRecovery> FindRecovery(const std::filesystem::path& dataFile,
                                          const ReminderData& saved) {
    const std::filesystem::path file = RecoveryFile(dataFile);
    if (!FileExists(file)) return std::nullopt;
    ReminderData lists;
    if (!LoadReminderFile(file, lists, IfMissing::kFail)) return std::nullopt;
    if (lists == saved) {
        RemoveQuietly(file);  // saved after all, only not cleared away
        return std::nullopt;
    }
    return FoundRecovery{std::move(lists)};
}

IoResult SetRecoveryAside(const std::filesystem::path& dataFile, DateKey today,
                          std::filesystem::path* keptAs) {
    const std::filesystem::path folder = BackupFolder(dataFile);
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) return IoResult::Failure("cannot create the backup folder: " + ec.message());
    const std::string dated = BackupName(BackupStem(dataFile) + "-unsaved", today);
    std::filesystem::path target;
    for (int n = 1;; ++n) {
        std::string name = dated;
        if (n > 1) name.insert(name.size() - 4, "-" + std::to_string(n));
        target = folder / std::filesystem::path(std::u8string(name.begin(), name.end()));
        if (!std::filesystem::exists(target, ec)) break;
    }
    std::filesystem::rename(RecoveryFile(dataFile), target, ec);
    if (ec) return IoResult::Failure("cannot keep the unsaved changes: " + ec.message());
    if (keptAs) *keptAs = target;
    return {};
}

void RecoveryKeeper::Keep(const std::filesystem::path& dataFile, bool loaded, bool dirty,
                          const ReminderData& lists) {
    const std::filesystem::path file = RecoveryFile(dataFile);
    if (file != file_) {
        // Another data file now (the settings moved it): its changes were saved or given up.
        if (written_) RemoveQuietly(file_);
        written_.reset();
        file_ = file;
    }
    if (!loaded) return;
    if (!dirty) {
        if (written_) Discard(dataFile);
        return;
    }
    if (written_ && *written_ == lists) return;
    // Whole and atomic, like every save; a failure is tried again after the next change.
    if (SaveReminderFile(file, lists, kEditorLabel)) written_ = lists;
}

void RecoveryKeeper::Discard(const std::filesystem::path& dataFile) {
    RemoveQuietly(RecoveryFile(dataFile));
    written_.reset();
}

void RecoveryKeeper::Adopt(const std::filesystem::path& dataFile, const ReminderData& lists) {
    file_ = RecoveryFile(dataFile);
    written_ = lists;
}

}  // namespace tessaly::editor
