// The running notifier's alerts: folder watches, read-only reloads and the pop-ups.
#include "notifier/win/alert_watch.h"

#include <chrono>
#include <cstdint>
#include <utility>

#include "core/data_file.h"
#include "core/data_location.h"
#include "core/file_io.h"
#include "notifier/alerts.h"
#include "notifier/local_time.h"
#include "notifier/win/popup.h"

namespace tessaly {

AlertWatch::AlertWatch(NotifierHost& host, Clock& clock, AlertFiles files)
    : host_(host), clock_(clock), files_(std::move(files)) {
    host_.SetOnAlarm([this] { Serve(); });
    // Read before the first pass, so its pop-ups, left open, do not hold back an alert.
    FollowFiles();
    ReadFiles();
    SetAlarm();
}

AlertWatch::~AlertWatch() {
    host_.SetOnAlarm({});
}

void AlertWatch::Follow(FolderWatch& watch, const std::filesystem::path& folder) {
    if (watch.handle && watch.folder == folder) return;
    watch.folder = folder;
    // Saves replace the data file by renaming a new one over it: a name change. Writes in
    // place show as a last-write change.
    watch.handle.reset(FindFirstChangeNotificationW(
        folder.c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE));
}

void AlertWatch::FollowFiles() {
    Follow(dataFolder_, files_.dataFile().parent_path());
    Follow(settingsFolder_, files_.settingsFile.parent_path());
}

void AlertWatch::ReadFiles() {
    lead_ = AlertMinutesSetting(ReadSettingsText(files_.settingsFile));
    std::vector<std::uint8_t> bytes;
    // A file that cannot be read now (missing for a moment while it is replaced) keeps the
    // schedule as it was; the rename that ends the replacement is a change of its own.
    if (ReadWholeFile(files_.dataFile(), bytes, IfMissing::kFail)) {
        tracker_.Reload(DecodeReminderFile(bytes), lead_);
    }
}

void AlertWatch::PassEnded(const ReminderData& lists, bool loaded) {
    FollowFiles();
    if (loaded) {
        lead_ = AlertMinutesSetting(ReadSettingsText(files_.settingsFile));
        tracker_.Reload(lists, lead_);
    }
    SetAlarm();
}

std::vector<AlertWatch::FolderWatch*> AlertWatch::Watching() {
    std::vector<FolderWatch*> watching;
    for (FolderWatch* w : {&dataFolder_, &settingsFolder_}) {
        if (w->handle) watching.push_back(w);
    }
    return watching;
}

std::vector<HANDLE> AlertWatch::Handles() {
    std::vector<HANDLE> handles;
    for (const FolderWatch* w : Watching()) handles.push_back(w->handle.get());
    return handles;
}

void AlertWatch::Changed(std::size_t which) {
    const std::vector<FolderWatch*> watching = Watching();
    // Watched again before reading, so a change made while the file is read is not missed. A
    // watch that cannot go on (its folder was deleted) is dropped rather than left signalled,
    // and made again once the folder is back.
    if (which < watching.size() && !FindNextChangeNotification(watching[which]->handle.get())) {
        watching[which]->handle.reset();
    }
    FollowFiles();  // the settings may have moved the data file
    ReadFiles();
    SetAlarm();
}

void AlertWatch::Woke() {
    host_.SetAlarm(std::chrono::milliseconds(0));
}

void AlertWatch::Serve() {
    if (serving_) return;  // its own loop ends first; the alarm is set again then
    struct Serving {
        bool& flag;
        explicit Serving(bool& f) : flag(f) { flag = true; }
        ~Serving() { flag = false; }
    } serving(serving_);
    while (const std::optional<Alert> alert = tracker_.Next(clock_.Now())) {
        // Composed as it opens, so a late alert says how long ago its time was.
        const AlertAnswer answer = ShowAlertPopup(ComposeAlertTexts(*alert, clock_.Now()));
        if (answer == AlertAnswer::kDismiss) {
            tracker_.Dismiss(*alert);
        } else {
            tracker_.Snooze(*alert, clock_.Now());
        }
    }
    serving.flag = false;
    SetAlarm();
}

void AlertWatch::SetAlarm() {
    if (serving_) return;
    const LocalTime now = clock_.Now();
    const std::int64_t seconds = LocalSeconds(tracker_.NextWake(now)) - LocalSeconds(now);
    host_.SetAlarm(std::chrono::seconds(seconds > 0 ? seconds : 0));
}

}  // namespace tessaly
