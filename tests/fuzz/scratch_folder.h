// A folder of the fuzz run's own for targets that write files: made once under the system's
// temporary folder (TMPDIR), emptied between inputs, removed when the run ends.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace tessaly::fuzz {

using Bytes = std::vector<std::uint8_t>;

// The folder, made on first use; empty when handed out.
const std::filesystem::path& EmptyScratchFolder();

// Writes bytes as a plain file (no flush to disk: the run does not outlive the folder).
void WriteBytes(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);
Bytes ReadBytes(const std::filesystem::path& path);

// Every regular file under folder by its path relative to it, with its bytes.
std::map<std::string, Bytes> FolderContents(const std::filesystem::path& folder);

// Aborts with the message on stderr.
[[noreturn]] void Fail(const std::string& message);
inline void Require(bool holds, const char* what) {
    if (!holds) Fail(what);
}

}  // namespace tessaly::fuzz
