// Where things are on this machine: the shell's special folders and this program's own file
// (each behind one replaceable function, which tests point elsewhere), and whether a path is a
// folder or a file.
#pragma once

#include <string>

#include "win/system_call.h"

namespace tessaly::win {

// Shell folder numbers (CSIDL) the programs use.
inline constexpr int kDocumentsFolder = 0x05;      // CSIDL_PERSONAL
inline constexpr int kCommonAppDataFolder = 0x23;  // CSIDL_COMMON_APPDATA

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

bool IsExistingFolder(const std::wstring& path);
bool IsExistingFile(const std::wstring& path);

}  // namespace tessaly::win
