// One notifier per logged-on user: a named mutex, held until the process ends.
#pragma once

#include <windows.h>

namespace tessaly {

inline constexpr char kNotifierMutexName[] = "TessalyStartup";

// The message box seam; MessageBoxW unless a test answers it.
using MessageBoxFunction = int (*)(HWND, const wchar_t* text, const wchar_t* caption, UINT style);

// True when this is the only copy. Otherwise tells the user so and returns false; the caller
// then ends. A mutex that cannot be created at all counts as being the only copy.
bool ClaimSingleInstance(const char* name = kNotifierMutexName,
                         MessageBoxFunction messageBox = MessageBoxW);

}  // namespace tessaly
