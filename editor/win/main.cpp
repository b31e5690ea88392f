// Tessaly, the reminder editor: one copy at a time, one main window.
#include <windows.h>

#include "editor/win/main_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    try {
        return tessaly::editor::RunEditor(instance, commandLine ? commandLine : L"", {});
    } catch (...) {
        return 1;
    }
}
