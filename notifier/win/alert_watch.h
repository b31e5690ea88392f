// The alerts before timed reminders, as the running notifier keeps them: the schedule from the
// data file as it stands, read again whenever its folder or the settings file's folder changes,
// and a pop-up for each alert when its time comes, whatever else the notifier is doing.
#pragma once

#include <windows.h>

#include <filesystem>
#include <functional>
#include <vector>

#include "core/reminder.h"
#include "notifier/alert_tracker.h"
#include "notifier/pass.h"
#include "notifier/win/cycle.h"
#include "win/handles.h"

namespace tessaly {

struct AlertFiles {
    // Where the data file is now: asked again whenever the settings may have moved it.
    std::function<std::filesystem::path()> dataFile;
    // Its lines after the first hold the lead (AlertMinutes).
    std::filesystem::path settingsFile;
};

class AlertWatch {
  public:
    // Reads the files at once (for reading only) and sets the host's alarm for the first alert.
    AlertWatch(NotifierHost& host, Clock& clock, AlertFiles files);
    ~AlertWatch();
    AlertWatch(const AlertWatch&) = delete;
    AlertWatch& operator=(const AlertWatch&) = delete;

    // A pass has ended. When it could read the file, `lists` are what it left there.
    void PassEnded(const ReminderData& lists, bool loaded);

    // The folder watches, for the cycle's wait; Changed(i) once Handles()[i] is signalled.
    std::vector<HANDLE> Handles();
    void Changed(std::size_t which);

    // A resume or a clock change: what is due is looked at again at once.
    void Woke();

  private:
    struct FolderWatch {
        std::filesystem::path folder;
        win::ChangeNotification handle;
    };
    // The watches that have a handle, in the order of Handles().
    std::vector<FolderWatch*> Watching();
    // Watches `folder` unless it already does; no watch when the folder cannot be watched.
    static void Follow(FolderWatch& watch, const std::filesystem::path& folder);
    void FollowFiles();
    // Reads the lead and the data file again, for reading only: nothing is created or saved.
    void ReadFiles();
    // Shows every alert that is due, one after another, then sets the alarm for the next.
    void Serve();
    void SetAlarm();

    NotifierHost& host_;
    Clock& clock_;
    AlertFiles files_;
    AlertTracker tracker_;
    int lead_ = 0;
    FolderWatch dataFolder_, settingsFolder_;
    bool serving_ = false;  // an alert pop-up is open: no second one opens over it
};

}  // namespace tessaly
