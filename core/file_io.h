// The one place that touches the file system: whole-file read and atomic whole-file replace.
// file_io_posix.cpp and file_io_win32.cpp implement it; everything above is shared.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

struct IoResult {
    bool ok = true;
    std::string message;  // for a person: what failed, on which file, and the system's reason
    explicit operator bool() const { return ok; }
    static IoResult Failure(std::string message) { return {false, std::move(message)}; }
};

enum class IfMissing { kFail, kCreateEmpty };

// Fills the buffer with the next bytes of a file and says how many it put there; 0 ends it.
using PieceSource = std::function<std::size_t(std::span<std::uint8_t> piece)>;

// Reads the whole file in one go. With kCreateEmpty a missing file is created empty (and
// reads as no bytes). The file is opened for reading only, shared with other readers, so a
// read-only file reads; an open that collides with another program's writing is retried for
// about two seconds, and any other failure (access denied, a folder) is reported at once.
IoResult ReadWholeFile(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes,
                       IfMissing ifMissing);

// Opens path as ReadWholeFile does and calls take once with the file's size as opened and a
// source of its bytes in order, a piece at a time: a large file is read without ever being
// whole in memory. The source ends early (0) if the file shrank or a read failed; a failed
// read is then reported.
IoResult ReadWholeFileInPieces(
    const std::filesystem::path& path, IfMissing ifMissing,
    const std::function<void(std::uint64_t size, const PieceSource& next)>& take);

// Writes bytes to a new file beside path, under a name no other save uses at the same time,
// flushes it, then replaces path with it, so the file is either the old one or the new one,
// never half-written. A replace that collides with another program's open is retried for about
// two seconds; one that still fails is reported, and the new file is removed.
IoResult ReplaceWholeFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

// ReplaceWholeFile for content made a piece at a time: a large file is written without ever
// being whole in memory. `total` is what the pieces add up to; a piece is at most
// PieceBytesFor(total).
IoResult ReplaceWholeFileInPieces(const std::filesystem::path& path, std::uint64_t total,
                                  const PieceSource& next);

// Copies the file `from` over `to` the way ReplaceWholeFile writes (a new file beside `to`,
// flushed, then moved over it), a piece at a time: a copy of a large file holds no copy of it
// in memory.
IoResult CopyWholeFile(const std::filesystem::path& from, const std::filesystem::path& to);

// The most a piece of a whole-file read, copy or save holds.
inline constexpr std::size_t kCopyPieceBytes = 1 << 20;

// The buffer for moving a file of `total` bytes a piece at a time: as large as the file, up to
// kCopyPieceBytes, so a small file costs no large buffer (every load and save pays for it).
inline std::size_t PieceBytesFor(std::uint64_t total) {
    constexpr std::uint64_t kLeast = 4096;  // a file may have grown since its size was taken
    return static_cast<std::size_t>(std::clamp<std::uint64_t>(total, kLeast, kCopyPieceBytes));
}

bool FileExists(const std::filesystem::path& path);

// The file a save writes before it replaces `target`: "<target>.<process>-<count>.saving",
// beside it. The process id and a count of its saves keep two programs saving at once apart.
std::filesystem::path SaveTemporaryName(const std::filesystem::path& target, std::uint64_t process,
                                        std::uint64_t count);
// For a file name of that form, the name of the file its save was to replace; none for any
// other name. A crash between the write and the replace leaves such a file behind.
std::optional<std::string> SaveTemporaryTarget(std::string_view name);

}  // namespace tessaly
