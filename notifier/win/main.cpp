// TessalyStartup: one pass at start, then one just after every midnight, and one at once
// for a day that a sleep or a clock change skipped, until log-off.
#include <windows.h>

#include "core/reminder.h"
#include "notifier/location.h"
#include "notifier/pass.h"
#include "notifier/win/cycle.h"
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
    NotifierHost host;
    RunNotifierCycle(
        host, clock, [&] { RunPass(lists, store, clock, popup); }, [] { return true; });
    return 0;
}
