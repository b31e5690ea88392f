// Where things are on this machine: the shell's special folders and this program's own file
// (each behind one replaceable function, which tests point elsewhere), and whether a path is a
// folder.
#pragma once

#include <string>

#include "core/product.h"
#include "win/system_call.h"

namespace tessaly::win {

// The shell's special folder without a trailing backslash, or empty when the system has none.
std::wstring SystemSpecialFolderPath(int csidl);

// What SpecialFolderPath asks: the shell, unless a test names folders of its own.
extern SystemCall<std::wstring(int csidl)> specialFolder;

inline std::wstring SpecialFolderPath(int csidl) {
    return specialFolder(csidl);
}

// The full path of this program's own file (GetModuleFileName), or empty.
std::wstring SystemProgramFile();
extern SystemCall<std::wstring()> programFile;

inline std::wstring ProgramFile() {
    return programFile();
}

// Whether the path is a folder; whether it is a file is core's FileExists.
bool IsExistingFolder(const std::wstring& path);

}  // namespace tessaly::win
