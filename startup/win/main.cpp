// TessalyStartup: one pass at start, then one just after every midnight, until log-off.
#include <windows.h>

#include "core/reminder.h"
#include "startup/location.h"
#include "startup/pass.h"
#include "startup/wait.h"
#include "startup/win/popup.h"
#include "startup/win/single_instance.h"
#include "startup/win/system.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace tessaly;
    if (!ClaimSingleInstance()) return 0;

    // Fixed for the life of the process: the notifier reads no settings.
    FileStore store(NotifierDataFilePath(DocumentsFolder(), ProgramFile(), FolderExists));
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
