// TessalyStartup: one pass at start, then one just after every midnight, and one at once
// for a day that a sleep or a clock change skipped, until log-off.
#include <windows.h>

#include <filesystem>

#include "core/data_location.h"
#include "core/file_io.h"
#include "core/reminder.h"
#include "notifier/pass.h"
#include "notifier/win/alert_watch.h"
#include "notifier/win/cycle.h"
#include "notifier/win/popup.h"
#include "notifier/win/system.h"
#include "win/folders.h"
#include "win/message_box.h"
#include "win/single_instance.h"
#include "win/text.h"

namespace {

// The data file the editor uses: the one its settings name when that file exists, else the
// notifier's own default. Asked anew for every pass and whenever the settings file's folder
// changes, so a file moved in the editor's settings is followed at once.
std::filesystem::path DataFile() {
    using namespace tessaly;
    const std::wstring settings = SettingsFilePath(win::SpecialFolderPath(kCommonAppDataFolder));
    const std::wstring fallback = NotifierDefaultDataFile(
        win::SpecialFolderPath(kDocumentsFolder), win::ProgramFile(), win::IsExistingFolder);
    return ChooseDataFile(
        {{}, ReadSettingsFirstLine(std::filesystem::path(settings)), fallback},
        [](std::string_view ansi) { return win::AnsiToWide(ansi); }, &FileExists);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace tessaly;
    // Held for the life of the process, which ends only at log-off.
    const win::SingleInstance instance{std::string(kNotifierMutex)};
    if (!instance.IsOnlyCopy()) return 0;

    SystemClock clock;
    PopupWindowResponder popup;
    ReminderData lists;  // kept between passes for a file that cannot be read
    BackupNotice backupNotice;
    NotifierHost host;
    // Alerts before timed reminders go off between passes and during them.
    AlertWatch alerts(host, clock,
                      {&DataFile, SettingsFilePath(win::SpecialFolderPath(kCommonAppDataFolder))});
    RunNotifierCycle(
        host, clock,
        [&] {
            FileStore store(DataFile());
            const PassReport report = RunPass(lists, store, clock, popup);
            alerts.PassEnded(lists, report.loaded);
            if (const std::optional<std::string> text = backupNotice.After(report)) {
                // Topmost, like the pop-ups: the notifier has no window to show it in front of.
                win::ShowMessage(nullptr, *text, "Tessaly",
                                 MB_OK | MB_ICONWARNING | MB_TOPMOST | MB_SETFOREGROUND);
            }
        },
        [] { return true; }, &alerts);
    return 0;
}
