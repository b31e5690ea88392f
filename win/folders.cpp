// Special folders through the shell, this program's file, and whether a folder is there.
#include "win/folders.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "win/com.h"
#include "win/handles.h"

namespace tessaly::win {

std::wstring SystemSpecialFolderPath(int csidl) {
    std::wstring path;
    // The shell's folder lookup wants COM on this thread.
    const ComScope com;
    PIDLIST_ABSOLUTE found = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, csidl, &found)) && found) {
        const TaskMemory<PIDLIST_ABSOLUTE> items(found);
        wchar_t buffer[MAX_PATH] = {};
        if (SHGetPathFromIDListW(items.get(), buffer)) path = buffer;
    }
    while (!path.empty() && path.back() == L'\\') path.pop_back();
    return path;
}

SystemCall<std::wstring(int)> specialFolder{&SystemSpecialFolderPath};

std::wstring SystemProgramFile() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) return std::wstring(buffer.data(), n);
        buffer.resize(buffer.size() * 2);  // a long path was cut; ask again with more room
    }
}

SystemCall<std::wstring()> programFile{&SystemProgramFile};

bool IsExistingFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace tessaly::win
