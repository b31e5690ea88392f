// TessalySetup: installs Tessaly from the folder it is started in, then offers a restart;
// with /uninstall, removes it again and keeps the user's data.
#include <windows.h>

#include "setup/installation.h"
#include "setup/win/machine.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    using namespace tessaly::setup;
    try {
        MachineInstaller installer;
        const RunReport report =
            AsksForUninstall(commandLine)
                ? RunUninstall(PlanUninstall(MachineSituation()), installer)
                : RunInstallation(PlanInstallation(MachineSituation()), installer);
        switch (report.outcome) {
            case Outcome::kNoRestart:
            case Outcome::kRestartAsked:
            case Outcome::kUninstalled:
            case Outcome::kKeptInstalled:
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
