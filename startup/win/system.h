// The notifier's ties to the system: the clock, its folders and the midnight wait.
#pragma once

#include <string>

#include "startup/pass.h"

namespace tessaly {

class SystemClock : public Clock {
  public:
    LocalTime Now() override;
};

// The user's documents folder, or empty when the system has none.
std::wstring DocumentsFolder();
// The full path of this program's own file.
std::wstring ProgramFile();
bool FolderExists(const std::wstring& path);

// Blocks for `seconds` on a one-shot waitable timer that may wake a suspended computer. When
// no timer can be made it sleeps the same time, so the cycle never spins. 0 returns at once.
void WaitUntilAfterMidnight(int seconds);

}  // namespace tessaly
