// PendingFileRenameOperations: pairs of NUL-terminated paths in one REG_MULTI_SZ value.
#include "setup/win/tests/pending_renames.h"

#include <windows.h>

namespace tessaly::setup::test {
namespace {

constexpr wchar_t kKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr wchar_t kValue[] = L"PendingFileRenameOperations";

std::wstring WithoutNtPrefix(std::wstring path) {
    if (path.rfind(L"\\??\\", 0) == 0) path.erase(0, 4);
    return path;
}

}  // namespace

std::vector<PendingRename> ReadPendingRenames() {
    DWORD size = 0;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kKey, kValue, RRF_RT_REG_MULTI_SZ, nullptr, nullptr,
                     &size) != ERROR_SUCCESS) {
        return {};
    }
    std::wstring text(size / sizeof(wchar_t) + 2, L'\0');
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kKey, kValue, RRF_RT_REG_MULTI_SZ, nullptr, text.data(),
                     &size) != ERROR_SUCCESS) {
        return {};
    }
    // Strings one after another; an empty one is the "to" of a delete, not the end, so the
    // value's own length decides where the list ends.
    std::vector<std::wstring> strings;
    const std::size_t end = size / sizeof(wchar_t);
    for (std::size_t at = 0; at < end;) {
        const std::size_t stop = text.find(L'\0', at);
        strings.push_back(text.substr(at, stop - at));
        at = stop + 1;
    }
    // The value closes with an extra NUL, read as one empty string too many.
    std::vector<PendingRename> renames;
    for (std::size_t i = 0; i + 1 < strings.size(); i += 2) {
        if (strings[i].empty()) break;
        std::wstring to = strings[i + 1];
        if (!to.empty() && to[0] == L'!') to.erase(0, 1);  // "replace existing"
        renames.push_back({WithoutNtPrefix(strings[i]), WithoutNtPrefix(to)});
    }
    return renames;
}

void WritePendingRenames(const std::vector<PendingRename>& renames) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return;
    }
    if (renames.empty()) {
        RegDeleteValueW(key, kValue);
    } else {
        std::wstring text;
        for (const PendingRename& r : renames) {
            text += L"\\??\\" + r.from + L'\0';
            text += (r.to.empty() ? L"" : L"\\??\\" + r.to) + L'\0';
        }
        text += L'\0';
        RegSetValueExW(key, kValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(text.data()),
                       DWORD(text.size() * sizeof(wchar_t)));
    }
    RegCloseKey(key);
}

void ApplyAsAtRestart(const std::vector<PendingRename>& renames) {
    for (const PendingRename& r : renames) {
        const DWORD attributes = GetFileAttributesW(r.from.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) continue;
        if (!r.to.empty()) {
            MoveFileExW(r.from.c_str(), r.to.c_str(), MOVEFILE_REPLACE_EXISTING);
        } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            RemoveDirectoryW(r.from.c_str());  // fails, as at a restart, unless it is empty
        } else {
            DeleteFileW(r.from.c_str());
        }
    }
}

}  // namespace tessaly::setup::test
