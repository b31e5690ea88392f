// One notifier pass: load, roll over, save, pop up what is due, drop consumed entries, save.
// The file, the clock and the pop-up reach the pass only through the seams below.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/file_io.h"
#include "core/reminder.h"
#include "notifier/local_time.h"
#include "notifier/popup_text.h"

namespace tessaly {

class Clock {
  public:
    virtual ~Clock() = default;
    virtual LocalTime Now() = 0;
    DateKey Today() { return Now().date; }
};

// The whole data file as bytes, so a pass can tell whether someone else wrote it meanwhile.
class DataStore {
  public:
    virtual ~DataStore() = default;
    // A missing file is created empty and reads as no bytes. False when it cannot be read.
    virtual bool Read(std::vector<std::uint8_t>& bytes) = 0;
    // Replaces the file whole. False when it cannot be written.
    virtual bool Write(std::span<const std::uint8_t> bytes) = 0;
    // Keeps the day's first backup of the file before it is written; a failure to report.
    virtual IoResult KeepBackup(DateKey today) {
        (void)today;
        return {};
    }
};

class FileStore : public DataStore {
  public:
    explicit FileStore(std::filesystem::path path) : path_(std::move(path)) {}
    bool Read(std::vector<std::uint8_t>& bytes) override;
    bool Write(std::span<const std::uint8_t> bytes) override;
    IoResult KeepBackup(DateKey today) override;

  private:
    std::filesystem::path path_;
};

enum class PopupAnswer { kRemindAgain, kAcknowledge, kClose };

class PopupResponder {
  public:
    virtual ~PopupResponder() = default;
    // Shows the pop-up for r and waits for the user's answer.
    virtual PopupAnswer Answer(const Reminder& r, const PopupTexts& texts) = 0;
};

struct PassReport {
    DateKey began = 0;    // today when the pass started
    bool loaded = false;  // the file could be read
    int shown = 0;        // pop-ups answered
    int acknowledged = 0;
    bool stopPopups = false;    // the user closed a pop-up with the close command
    bool mergedOthers = false;  // the file had changed meanwhile; our answers went onto it
    bool saved = false;         // the final save reached the file
    std::string backupProblem;  // why the day's backup failed; the saves went ahead
};

// Runs one pass over `lists`, which carry over from pass to pass: when the file cannot be read
// the pass works on them as they stand, and then writes nothing, so a file it could not read
// is never overwritten with older content.
PassReport RunPass(ReminderData& lists, DataStore& store, Clock& clock, PopupResponder& popup);

// A day's backup that failed is told once that day, with the reason: the notifier runs
// unseen, so nobody would otherwise learn that the backups have stopped.
class BackupNotice {
  public:
    // The message to show after a pass, or none when the backup went well or was told today.
    std::optional<std::string> After(const PassReport& report);

  private:
    DateKey toldOn_ = 0;
};

}  // namespace tessaly
