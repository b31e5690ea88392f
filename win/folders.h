// Where things are on this machine: the shell's special folders (behind a seam tests redirect),
// this program's own file, and whether a path is a folder or a file.
#pragma once

#include <string>

namespace tessaly::win {

// Shell folder numbers (CSIDL) the programs use.
inline constexpr int kDocumentsFolder = 0x05;      // CSIDL_PERSONAL
inline constexpr int kCommonAppDataFolder = 0x23;  // CSIDL_COMMON_APPDATA

// The shell's special folder without a trailing backslash, or empty when the system has none.
std::wstring SystemSpecialFolderPath(int csidl);

// The function SpecialFolderPath calls; tests point it at folders of their own and put it back.
using SpecialFolderFunction = std::wstring (*)(int csidl);
extern SpecialFolderFunction specialFolderFunction;

inline std::wstring SpecialFolderPath(int csidl) {
    return specialFolderFunction(csidl);
}

// The full path of this program's own file, or empty.
std::wstring ProgramFile();

bool IsExistingFolder(const std::wstring& path);
bool IsExistingFile(const std::wstring& path);

}  // namespace tessaly::win
