// Tessaly, the reminder editor: one copy at a time, one main window.
#include <windows.h>

#include "editor/win/editor_start.h"
#include "editor/win/startup_trace.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    tessaly::editor::StartupMark("entry");
    try {
        return tessaly::editor::RunEditor(commandLine ? commandLine : L"");
    } catch (...) {
        return 1;
    }
}
