// TessalyStartup: one pass at start, then one just after every midnight, until log-off.
#include <windows.h>

#include "core/reminder.h"
#include "notifier/location.h"
#include "notifier/pass.h"
#include "notifier/wait.h"
#include "notifier/win/popup.h"
#include "notifier/win/system.h"
#include "win/folders.h"
#include "win/single_instance.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace tessaly;
    // Held for the life of the process, which ends only at log-off.
    const win::SingleInstance instance("TessalyStartup");
    if (!instance.IsOnlyCopy()) return 0;

    // Fixed for the life of the process: the notifier reads no settings.
    FileStore store(NotifierDataFilePath(win::SpecialFolderPath(win::kDocumentsFolder),
                                         win::ProgramFile(), win::IsExistingFolder));
    SystemClock clock;
    PopupWindowResponder popup;
    ReminderData lists;  // kept between passes for a file that cannot be read
    for (;;) {
        DateKey began = clock.Today();
        try {
            began = RunPass(lists, store, clock, popup).began;
        } catch (...) {
            // Whatever went wrong, the notifier keeps its daily rhythm: the next pass may do
            // better.
        }
        const LocalTime now = clock.Now();
        WaitUntilAfterMidnight(
            SecondsToWaitAfterPass(began, now.date, now.hour, now.minute, now.second));
    }
}
