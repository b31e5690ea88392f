// Matching a running program by its file name, and the order of the restart's steps.
#include "setup/stop_restart.h"

namespace tessaly::setup {
namespace {

wchar_t FoldAscii(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? wchar_t(c - L'A' + L'a') : c;
}

}  // namespace

bool IsProgramFile(std::wstring_view path, std::wstring_view fileName) {
    const std::size_t slash = path.find_last_of(L"\\/");
    const std::wstring_view name = slash == std::wstring_view::npos ? path : path.substr(slash + 1);
    if (fileName.empty() || name.size() != fileName.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (FoldAscii(name[i]) != FoldAscii(fileName[i])) return false;
    }
    return true;
}

std::optional<std::uint32_t> FirstProcessRunning(const std::vector<RunningProcess>& processes,
                                                 std::wstring_view fileName) {
    for (const RunningProcess& p : processes) {
        if (IsProgramFile(p.path, fileName)) return p.id;
    }
    return std::nullopt;
}

void RestartWindows(RestartSystem& system) {
    if (system.IsNtFamily() && !system.EnableShutdownPrivilege()) {
        system.ShowMessage(NoShutdownPrivilegeMessage());
        return;
    }
    if (!system.RequestRestart()) system.ShowMessage(ShutdownFailedMessage());
}

}  // namespace tessaly::setup
