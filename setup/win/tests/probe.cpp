// A DLL of a name no system has, which the installer's test tries to load from beside itself.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}
