// TessalySetup: installs Tessaly from the folder it is started in, then offers a restart;
// with /uninstall, removes it again and keeps the user's data.
#include <windows.h>

#include <exception>
#include <new>

#include "setup/installation.h"
#include "setup/win/machine.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    using namespace tessaly::setup;
    // Before anything loads a DLL by name: the installer runs elevated from wherever the user
    // unpacked it.
    LimitDllSearchToSystemFolder();
    try {
        WindowsRestart restart;
        MachineInstaller installer(restart);
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
    } catch (const std::bad_alloc&) {
        ShowSetupMessage(UnexpectedErrorMessage("out of memory"));
    } catch (const std::exception& e) {
        ShowSetupMessage(UnexpectedErrorMessage(e.what()));
    } catch (...) {
        ShowSetupMessage(UnexpectedErrorMessage(""));
    }
    return 1;
}
