// TessalySetup installer entry point: says what it would do until the installation plan exists.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    MessageBoxW(nullptr, L"Tessaly setup is not ready yet.", L"TessalySetup",
                MB_OK | MB_ICONINFORMATION);
    return 0;
}
