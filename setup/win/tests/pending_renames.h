// The system's list of file operations left for the next restart (PendingFileRenameOperations),
// read, written back and carried out as Windows does at restart, for the installer's tests.
#pragma once

#include <string>
#include <vector>

namespace tessaly::setup::test {

struct PendingRename {
    std::wstring from;  // a path as the program named it (the "\??\" of the list taken off)
    std::wstring to;    // empty: delete `from`
    bool operator==(const PendingRename&) const = default;
};

std::vector<PendingRename> ReadPendingRenames();
void WritePendingRenames(const std::vector<PendingRename>& renames);

// What the restart does with these operations before any program runs: each in turn, a file
// deleted or moved, a folder deleted only when it is empty by then.
void ApplyAsAtRestart(const std::vector<PendingRename>& renames);

}  // namespace tessaly::setup::test
