// TessalySetup: installs Tessaly from the folder it is started in, then offers a restart.
#include <windows.h>

#include "setup/installation.h"
#include "setup/win/machine.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace tessaly::setup;
    try {
        MachineInstaller installer;
        const RunReport report = RunInstallation(PlanInstallation(MachineSituation()), installer);
        switch (report.outcome) {
            case Outcome::kNoRestart:
            case Outcome::kRestartAsked:
                return 0;
            case Outcome::kFailed:
                return 1;
            case Outcome::kMissingFiles:
                return 2;
        }
    } catch (...) {
        ShowSetupMessage({L"Tessaly setup stopped: out of memory.", std::wstring(kSetupCaption),
                          kMbOk | kMbIconError | kMbTaskModal | kMbSetForeground});
    }
    return 1;
}
