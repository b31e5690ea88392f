#include "startup/win/single_instance.h"

namespace tessaly {

bool ClaimSingleInstance(const char* name, MessageBoxFunction messageBox) {
    // The handle is never closed: the mutex must live exactly as long as this process.
    HANDLE mutex = CreateMutexA(nullptr, FALSE, name);
    if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
        messageBox(nullptr, L"TessalyStartup is already loaded", L" ", MB_ICONHAND);
        return false;
    }
    return true;
}

}  // namespace tessaly
