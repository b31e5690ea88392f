// POSIX side of the file seam: used by the native build (tests, tsy on Linux).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <optional>

#include "core/file_io.h"

namespace tessaly {
namespace {

IoResult Fail(const char* what, const std::filesystem::path& path, int err) {
    return IoResult::Failure(std::string(what) + " " + path.string() + ": " + std::strerror(err));
}

struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
};

// Opens path for reading (creating it empty when asked) and gives its size; only a regular file
// reads.
IoResult OpenForReading(const std::filesystem::path& path, IfMissing ifMissing, Fd& f,
                        std::uint64_t& size) {
    const int flags = O_RDONLY | O_CLOEXEC | (ifMissing == IfMissing::kCreateEmpty ? O_CREAT : 0);
    f.fd = ::open(path.c_str(), flags, 0644);
    if (f.fd < 0) return Fail("cannot open", path, errno);
    struct stat st;
    if (::fstat(f.fd, &st) != 0) return Fail("cannot read", path, errno);
    if (!S_ISREG(st.st_mode)) return Fail("cannot read", path, EISDIR);
    size = static_cast<std::uint64_t>(st.st_size);
    return {};
}

}  // namespace

bool FileExists(const std::filesystem::path& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

IoResult ReadWholeFile(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes,
                       IfMissing ifMissing) {
    Fd f;
    std::uint64_t size = 0;
    if (IoResult opened = OpenForReading(path, ifMissing, f, size); !opened) return opened;
    std::vector<std::uint8_t> data(static_cast<std::size_t>(size));
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::read(f.fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Fail("cannot read", path, errno);
        if (n == 0) break;  // shrank under us: keep what was there
        done += static_cast<std::size_t>(n);
    }
    data.resize(done);
    bytes = std::move(data);
    return {};
}

IoResult ReadWholeFileInPieces(
    const std::filesystem::path& path, IfMissing ifMissing,
    const std::function<void(std::uint64_t size, const PieceSource& next)>& take) {
    Fd f;
    std::uint64_t size = 0;
    if (IoResult opened = OpenForReading(path, ifMissing, f, size); !opened) return opened;
    int readError = 0;
    const PieceSource next = [&](std::span<std::uint8_t> piece) -> std::size_t {
        while (readError == 0) {
            const ssize_t n = ::read(f.fd, piece.data(), piece.size());
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                readError = errno;
                break;
            }
            return static_cast<std::size_t>(n);
        }
        return 0;
    };
    take(size, next);
    if (readError != 0) return Fail("cannot read", path, readError);
    return {};
}

namespace {

// Writes all bytes to fd; false with errno set on failure.
bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// A new file beside path under a name of its own (see SaveTemporaryName), filled by fill(fd)
// (false with errno set on failure), flushed and renamed over path. It gets `mode`, or else the
// permission bits of the file it replaces, so a private file stays private.
template <typename Fill>
IoResult ReplaceThrough(const std::filesystem::path& path, Fill fill,
                        std::optional<mode_t> mode = std::nullopt) {
    static std::atomic<std::uint64_t> saves{0};
    std::filesystem::path temp;
    Fd f;
    for (int attempt = 0;; ++attempt) {
        temp = SaveTemporaryName(path, static_cast<std::uint64_t>(::getpid()), ++saves);
        // O_EXCL: never write into a file that is already there, whoever left it.
        f.fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (f.fd >= 0) break;
        if (errno != EEXIST || attempt >= 100) return Fail("cannot write beside", path, errno);
    }
    auto abandon = [&](const char* what) {
        const int err = errno;
        ::unlink(temp.c_str());
        return Fail(what, path, err);
    };
    struct stat st;
    if (!mode && ::stat(path.c_str(), &st) == 0) mode = st.st_mode & 07777;
    ::fchmod(f.fd, mode.value_or(0644));
    if (!fill(f.fd)) return abandon("cannot write");
    if (::fsync(f.fd) != 0) return abandon("cannot write");
    if (::close(f.fd) != 0) {
        f.fd = -1;
        return abandon("cannot write");
    }
    f.fd = -1;
    if (::rename(temp.c_str(), path.c_str()) != 0) return abandon("cannot replace");
    // Make the rename itself durable.
    Fd dir;
    const auto parent =
        path.parent_path().empty() ? std::filesystem::path(".") : path.parent_path();
    dir.fd = ::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir.fd >= 0) ::fsync(dir.fd);
    return {};
}

}  // namespace

IoResult ReplaceWholeFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    return ReplaceThrough(path, [&](int fd) { return WriteAll(fd, bytes.data(), bytes.size()); });
}

IoResult ReplaceWholeFileInPieces(const std::filesystem::path& path, std::uint64_t total,
                                  const PieceSource& next) {
    return ReplaceThrough(path, [&](int fd) {
        std::vector<std::uint8_t> piece(PieceBytesFor(total));
        for (;;) {
            const std::size_t n = next(piece);
            if (n == 0) return true;
            if (!WriteAll(fd, piece.data(), n)) return false;
        }
    });
}

IoResult CopyWholeFile(const std::filesystem::path& from, const std::filesystem::path& to) {
    Fd in;
    in.fd = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in.fd < 0) return Fail("cannot open", from, errno);
    // A copy is as private as its original: a 0600 data file never gets a readable backup.
    struct stat st;
    if (::fstat(in.fd, &st) != 0) return Fail("cannot read", from, errno);
    int readError = 0;
    const IoResult r = ReplaceThrough(
        to,
        [&](int fd) {
            std::vector<std::uint8_t> piece(PieceBytesFor(static_cast<std::uint64_t>(st.st_size)));
            for (;;) {
                const ssize_t n = ::read(in.fd, piece.data(), piece.size());
                if (n < 0 && errno == EINTR) continue;
                if (n < 0) {
                    readError = errno;
                    return false;
                }
                if (n == 0) return true;
                if (!WriteAll(fd, piece.data(), static_cast<std::size_t>(n))) return false;
            }
        },
        static_cast<mode_t>(st.st_mode & 07777));
    if (readError != 0) return Fail("cannot read", from, readError);
    return r;
}

}  // namespace tessaly
