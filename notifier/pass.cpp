#include "notifier/pass.h"

#include <algorithm>
#include <utility>

#include "core/backup.h"
#include "core/data_file.h"
#include "core/file_io.h"
#include "core/occurrence.h"
#include "notifier/due.h"

namespace tessaly {
namespace {

struct Acknowledgement {
    Reminder shown;  // the entry exactly as its pop-up showed it
    DateKey today;   // the day it was answered, which decides its next occurrence
};

// On success `known` holds what the file now contains.
bool Save(DataStore& store, const ReminderData& lists, std::vector<std::uint8_t>& known) {
    std::vector<std::uint8_t> bytes = EncodeReminderFile(lists, kNotifierLabel);
    if (!store.Write(bytes)) return false;
    known = std::move(bytes);
    return true;
}

// Puts this pass's acknowledgements onto content another program saved meanwhile: each finds
// the first live entry equal to the record it showed. One the other program changed or deleted
// is left as that program wrote it. Returns how many found their entry.
int ReapplyAcknowledgements(ReminderData& lists, const std::vector<Acknowledgement>& acks) {
    int applied = 0;
    for (const Acknowledgement& a : acks) {
        const std::vector<Reminder>& entries = lists.current.entries();
        const auto it = std::find_if(entries.begin(), entries.end(), [&](const Reminder& r) {
            return r.date >= 0 && r == a.shown;
        });
        if (it == entries.end()) continue;
        Acknowledge(lists, static_cast<int>(it - entries.begin()) + 1, a.today);
        ++applied;
    }
    return applied;
}

}  // namespace

bool FileStore::Read(std::vector<std::uint8_t>& bytes) {
    std::vector<std::uint8_t> read;
    if (!ReadWholeFile(path_, read, IfMissing::kCreateEmpty)) return false;
    bytes = std::move(read);
    return true;
}

bool FileStore::Write(std::span<const std::uint8_t> bytes) {
    return static_cast<bool>(ReplaceWholeFile(path_, bytes));
}

IoResult FileStore::KeepBackup(DateKey today) {
    return KeepDailyBackup(path_, today).status;
}

PassReport RunPass(ReminderData& lists, DataStore& store, Clock& clock, PopupResponder& popup) {
    PassReport report;
    const DateKey today = clock.Today();
    report.began = today;

    // What the file holds as far as this pass knows; compared before the last save.
    std::vector<std::uint8_t> known;
    if (store.Read(known)) {
        lists = DecodeReminderFile(known);
        report.loaded = true;
    }

    // Past one-time reminders reach the archive on disk before any pop-up can keep us waiting.
    ArchivePastReminders(lists.current, lists.archive, today);
    if (report.loaded) {
        if (const IoResult backup = store.KeepBackup(today); !backup) {
            report.backupProblem = backup.message;
        }
        Save(store, lists, known);
    }
    AdvancePastReminders(lists.current, today);

    // Each entry has its own notice, so every entry is tested; copies that acknowledgements
    // insert within the first n are tested too.
    std::vector<Acknowledgement> acks;
    const int n = lists.current.count();
    for (int i = 1; i <= n; ++i) {
        const DateKey now = clock.Today();  // a pop-up may stay open past midnight
        if (!IsDue(lists.current.at(i), now)) continue;
        const Reminder shown = lists.current.at(i);
        const PopupAnswer answer = popup.Answer(shown, ComposePopupTexts(shown, now));
        ++report.shown;
        if (answer == PopupAnswer::kAcknowledge) {
            const DateKey answered = clock.Today();
            Acknowledge(lists, i, answered);
            acks.push_back({shown, answered});
            ++report.acknowledged;
        } else if (answer == PopupAnswer::kClose) {
            report.stopPopups = true;
            break;
        }
    }
    lists.current.RemoveConsumed();

    // A file this pass could not read is never overwritten with older content.
    if (!report.loaded) return report;

    // The editor may have saved while a pop-up was open: keep what it wrote and put our
    // acknowledgements onto it. A file that vanished (reads back empty) gets ours again.
    std::vector<std::uint8_t> onDisk;
    if (store.Read(onDisk) && !onDisk.empty() && onDisk != known) {
        ReminderData theirs = DecodeReminderFile(onDisk);
        const int applied = ReapplyAcknowledgements(theirs, acks);
        theirs.current.RemoveConsumed();
        lists = std::move(theirs);
        report.mergedOthers = true;
        if (applied == 0) return report;  // nothing of ours to add to their file
    }
    report.saved = Save(store, lists, known);
    return report;
}

std::optional<std::string> BackupNotice::After(const PassReport& report) {
    if (report.backupProblem.empty() || toldOn_ == report.began) return std::nullopt;
    toldOn_ = report.began;
    return "Tessaly could not keep today's backup of your reminders:\r\n" + report.backupProblem +
           "\r\n\r\nReminders go on as usual. The backup is tried again at the next save; this "
           "message comes at most once a day.";
}

}  // namespace tessaly
