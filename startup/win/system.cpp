#include "startup/win/system.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "core/date.h"

namespace tessaly {

LocalTime SystemClock::Now() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return {MakeDateKey(t.wYear, t.wMonth, t.wDay), t.wHour, t.wMinute, t.wSecond};
}

std::wstring DocumentsFolder() {
    std::wstring path;
    const HRESULT com = CoInitialize(nullptr);
    PIDLIST_ABSOLUTE list = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_PERSONAL, &list)) && list) {
        wchar_t buffer[MAX_PATH] = {};
        if (SHGetPathFromIDListW(list, buffer)) path = buffer;
        CoTaskMemFree(list);
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return path;
}

std::wstring ProgramFile() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) return std::wstring(buffer.data(), n);
        buffer.resize(buffer.size() * 2);  // a long path was cut; ask again with more room
    }
}

bool FolderExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void WaitUntilAfterMidnight(int seconds) {
    if (seconds <= 0) return;
    HANDLE timer = CreateWaitableTimerA(nullptr, TRUE, nullptr);
    LARGE_INTEGER due;
    due.QuadPart = -static_cast<LONGLONG>(seconds) * 10'000'000;  // relative, 100 ns units
    // Resume TRUE: the timer may wake a suspended computer.
    if (timer && SetWaitableTimer(timer, &due, 0, nullptr, nullptr, TRUE)) {
        WaitForSingleObject(timer, INFINITE);
    } else {
        Sleep(static_cast<DWORD>(seconds) * 1000);
    }
    if (timer) CloseHandle(timer);
}

}  // namespace tessaly
