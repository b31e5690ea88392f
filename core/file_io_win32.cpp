// Win32 side of the file seam. The data file is opened without sharing, as the editor and
// the notifier always have; a collision with the other program is retried briefly.
#include <windows.h>

#include <algorithm>

#include "core/file_io.h"
#include "win/text.h"

namespace tessaly {
namespace {

IoResult Fail(const char* what, const std::filesystem::path& path, DWORD err) {
    return IoResult::Failure(std::string(what) + " " + win::WideToUtf8(path.wstring()) + ": " +
                             win::ErrorText(err));
}

bool IsCollision(DWORD err) {
    return err == ERROR_SHARING_VIOLATION || err == ERROR_LOCK_VIOLATION ||
           err == ERROR_ACCESS_DENIED;
}

// Runs op until it succeeds or fails for a reason other than another program's open.
template <typename Op>
bool Retrying(Op op, DWORD& err) {
    for (int attempt = 0;; ++attempt) {
        if (op()) return true;
        err = GetLastError();
        if (!IsCollision(err) || attempt >= 40) return false;
        Sleep(50);
    }
}

struct Handle {
    HANDLE h = INVALID_HANDLE_VALUE;
    ~Handle() {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
};

}  // namespace

bool FileExists(const std::filesystem::path& path) {
    const DWORD attr = GetFileAttributesW(path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

IoResult ReadWholeFile(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes,
                       IfMissing ifMissing) {
    const DWORD attr = GetFileAttributesW(path.c_str());
    if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY))
        return Fail("cannot read", path, ERROR_ACCESS_DENIED);  // not worth retrying
    Handle f;
    DWORD err = 0;
    const DWORD disposition = ifMissing == IfMissing::kCreateEmpty ? OPEN_ALWAYS : OPEN_EXISTING;
    if (!Retrying(
            [&] {
                f.h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
                return f.h != INVALID_HANDLE_VALUE;
            },
            err)) {
        return Fail("cannot open", path, err);
    }
    LARGE_INTEGER size;
    if (!GetFileSizeEx(f.h, &size)) return Fail("cannot read", path, GetLastError());
    std::vector<std::uint8_t> data(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < data.size()) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(data.size() - done, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(f.h, data.data() + done, want, &got, nullptr))
            return Fail("cannot read", path, GetLastError());
        if (got == 0) break;
        done += got;
    }
    data.resize(done);
    bytes = std::move(data);
    return {};
}

IoResult ReplaceWholeFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    std::filesystem::path temp = path;
    temp += L".saving";
    {
        Handle f;
        DWORD err = 0;
        if (!Retrying(
                [&] {
                    f.h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
                    return f.h != INVALID_HANDLE_VALUE;
                },
                err)) {
            return Fail("cannot write beside", path, err);
        }
        std::size_t done = 0;
        while (done < bytes.size()) {
            const DWORD want =
                static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
            DWORD put = 0;
            if (!WriteFile(f.h, bytes.data() + done, want, &put, nullptr) || put == 0) {
                err = GetLastError();
                CloseHandle(f.h);
                f.h = INVALID_HANDLE_VALUE;
                DeleteFileW(temp.c_str());
                return Fail("cannot write", path, err);
            }
            done += put;
        }
        if (!FlushFileBuffers(f.h)) {
            err = GetLastError();
            CloseHandle(f.h);
            f.h = INVALID_HANDLE_VALUE;
            DeleteFileW(temp.c_str());
            return Fail("cannot write", path, err);
        }
    }
    DWORD err = 0;
    if (!Retrying(
            [&] {
                return MoveFileExW(temp.c_str(), path.c_str(),
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
            },
            err)) {
        DeleteFileW(temp.c_str());
        return Fail("cannot replace", path, err);
    }
    return {};
}

}  // namespace tessaly
