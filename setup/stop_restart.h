// Rules for stopping a running program and restarting the system; the Win32 side supplies the
// process list and the system calls.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "setup/installation.h"

namespace tessaly::setup {

// True when the last part of path (after "\" or "/") is fileName, ignoring the case of ASCII
// letters. A name that merely contains fileName ("OldTessalyStartup.exe") is another program.
bool IsProgramFile(std::wstring_view path, std::wstring_view fileName);

struct RunningProcess {
    std::uint32_t id = 0;
    std::wstring path;  // the executable, as the system reports it (full path or file name)
};

// The first process, in the order listed, that runs fileName.
std::optional<std::uint32_t> FirstProcessRunning(const std::vector<RunningProcess>& processes,
                                                 std::wstring_view fileName);

// The restart's ties to the system.
class RestartSystem {
  public:
    virtual ~RestartSystem() = default;
    virtual bool IsNtFamily() = 0;
    // Enables the shutdown privilege of this process; false when it could not.
    virtual bool EnableShutdownPrivilege() = 0;
    // Asks the system to restart; false when it refused.
    virtual bool RequestRestart() = 0;
    virtual void ShowMessage(const Message& message) = 0;
};

// NT-family systems need the shutdown privilege before they restart; either failure is told.
void RestartWindows(RestartSystem& system);

}  // namespace tessaly::setup
