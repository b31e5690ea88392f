// Win32 side of the file seam. Reading asks only for read access and lets other readers in;
// saving writes a file of its own beside the data file and moves it over the old one. An open
// that collides with the other program's is retried briefly.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>

#include "core/file_io.h"
#include "win/handles.h"
#include "win/text.h"

namespace tessaly {
namespace {

using win::Handle;

IoResult Fail(const char* what, const std::filesystem::path& path, DWORD err) {
    return IoResult::Failure(std::string(what) + " " + win::WideToUtf8(path.wstring()) + ": " +
                             win::ErrorText(err));
}

// The other program has the file open in a way that shuts ours out; it lets go within moments.
// Access denied is not among them: no wait makes a read-only file or a folder readable.
bool IsSharingCollision(DWORD err) {
    return err == ERROR_SHARING_VIOLATION || err == ERROR_LOCK_VIOLATION;
}

// Moving over the data file also meets access denied while the other program's own replace of
// it is still being completed, so that is waited out too.
bool IsReplaceCollision(DWORD err) {
    return IsSharingCollision(err) || err == ERROR_ACCESS_DENIED;
}

// Runs op until it succeeds or fails for a reason that waiting cannot cure; about two seconds.
template <typename Op>
bool Retrying(Op op, bool (*isCollision)(DWORD), DWORD& err) {
    for (int attempt = 0;; ++attempt) {
        if (op()) return true;
        err = GetLastError();
        if (!isCollision(err) || attempt >= 40) return false;
        Sleep(50);
    }
}

// A name beside the data file that no other save uses at the same moment (SaveTemporaryName).
// A fixed name would let two programs saving at once write into, and install, each other's file.
std::filesystem::path TemporaryBeside(const std::filesystem::path& path) {
    static std::atomic<std::uint64_t> saves{0};
    return SaveTemporaryName(path, GetCurrentProcessId(), ++saves);
}

// Writes all bytes, in pieces WriteFile can count.
bool WriteAll(HANDLE f, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        DWORD put = 0;
        if (!WriteFile(f, bytes.data() + done, want, &put, nullptr)) return false;
        if (put == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        done += put;
    }
    return true;
}

// Opens path for reading and gives its size. Read access only, so a read-only file reads; other
// readers may share it, writers may not, and their open is waited out for about two seconds. A
// folder fails here with access denied, at once.
IoResult OpenForReading(const std::filesystem::path& path, IfMissing ifMissing, Handle& f,
                        std::uint64_t& size) {
    DWORD err = 0;
    const DWORD disposition = ifMissing == IfMissing::kCreateEmpty ? OPEN_ALWAYS : OPEN_EXISTING;
    if (!Retrying(
            [&] {
                f.reset(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
                return f.valid();
            },
            IsSharingCollision, err)) {
        return Fail("cannot open", path, err);
    }
    LARGE_INTEGER bytes;
    if (!GetFileSizeEx(f.get(), &bytes)) return Fail("cannot read", path, GetLastError());
    size = static_cast<std::uint64_t>(bytes.QuadPart);
    return {};
}

}  // namespace

bool FileExists(const std::filesystem::path& path) {
    const DWORD attr = GetFileAttributesW(path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

IoResult ReadWholeFile(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes,
                       IfMissing ifMissing) {
    Handle f;
    std::uint64_t size = 0;
    if (IoResult opened = OpenForReading(path, ifMissing, f, size); !opened) return opened;
    std::vector<std::uint8_t> data(static_cast<std::size_t>(size));
    std::size_t done = 0;
    while (done < data.size()) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(data.size() - done, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(f.get(), data.data() + done, want, &got, nullptr))
            return Fail("cannot read", path, GetLastError());
        if (got == 0) break;
        done += got;
    }
    data.resize(done);
    bytes = std::move(data);
    return {};
}

IoResult ReadWholeFileInPieces(
    const std::filesystem::path& path, IfMissing ifMissing,
    const std::function<void(std::uint64_t size, const PieceSource& next)>& take) {
    Handle f;
    std::uint64_t size = 0;
    if (IoResult opened = OpenForReading(path, ifMissing, f, size); !opened) return opened;
    DWORD readError = 0;
    const PieceSource next = [&](std::span<std::uint8_t> piece) -> std::size_t {
        if (readError != 0) return 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(piece.size(), 1u << 30));
        DWORD got = 0;
        if (!ReadFile(f.get(), piece.data(), want, &got, nullptr)) {
            readError = GetLastError();
            return 0;
        }
        return got;
    };
    take(size, next);
    if (readError != 0) return Fail("cannot read", path, readError);
    return {};
}

namespace {

// A new file beside path under a name of its own, filled by fill(handle) (false with the
// system's error set on failure), flushed and moved over path.
template <typename Fill>
IoResult ReplaceThrough(const std::filesystem::path& path, Fill fill) {
    Handle f;
    std::filesystem::path temp;
    for (int attempt = 0;; ++attempt) {
        temp = TemporaryBeside(path);
        // CREATE_NEW: never write into a file that is already there, whoever left it.
        f.reset(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
        if (f.valid()) break;
        const DWORD err = GetLastError();
        if ((err != ERROR_FILE_EXISTS && err != ERROR_ALREADY_EXISTS) || attempt >= 100)
            return Fail("cannot write beside", path, err);
    }
    auto abandon = [&](const char* what, DWORD err) {
        f.reset();
        DeleteFileW(temp.c_str());
        return Fail(what, path, err);
    };
    if (!fill(f.get())) return abandon("cannot write", GetLastError());
    if (!FlushFileBuffers(f.get())) return abandon("cannot write", GetLastError());
    f.reset();
    DWORD err = 0;
    if (!Retrying(
            [&] {
                return MoveFileExW(temp.c_str(), path.c_str(),
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
            },
            IsReplaceCollision, err)) {
        return abandon("cannot replace", err);
    }
    return {};
}

}  // namespace

IoResult ReplaceWholeFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    return ReplaceThrough(path, [&](HANDLE f) { return WriteAll(f, bytes); });
}

IoResult ReplaceWholeFileInPieces(const std::filesystem::path& path, std::uint64_t total,
                                  const PieceSource& next) {
    return ReplaceThrough(path, [&](HANDLE f) {
        std::vector<std::uint8_t> piece(PieceBytesFor(total));
        for (;;) {
            const std::size_t n = next(piece);
            if (n == 0) return true;
            if (!WriteAll(f, std::span<const std::uint8_t>(piece.data(), n))) return false;
        }
    });
}

IoResult CopyWholeFile(const std::filesystem::path& from, const std::filesystem::path& to) {
    Handle in;
    DWORD err = 0;
    if (!Retrying(
            [&] {
                in.reset(CreateFileW(from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
                return in.valid();
            },
            IsSharingCollision, err)) {
        return Fail("cannot open", from, err);
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(in.get(), &size)) size.QuadPart = kCopyPieceBytes;
    DWORD readError = 0;
    const IoResult r = ReplaceThrough(to, [&](HANDLE f) {
        std::vector<std::uint8_t> piece(PieceBytesFor(static_cast<std::uint64_t>(size.QuadPart)));
        for (;;) {
            DWORD got = 0;
            if (!ReadFile(in.get(), piece.data(), static_cast<DWORD>(piece.size()), &got,
                          nullptr)) {
                readError = GetLastError();
                return false;
            }
            if (got == 0) return true;
            if (!WriteAll(f, std::span<const std::uint8_t>(piece.data(), got))) return false;
        }
    });
    if (readError != 0) return Fail("cannot read", from, readError);
    return r;
}

}  // namespace tessaly
