// tsy's entry: gathers the arguments as UTF-8 and today's local date, then runs the command.
#include <ctime>
#include <iostream>
#include <string>
#include <vector>

#include "tools/tsy/tsy.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "tools/tsy/win/command_line.h"
#endif

namespace {

tessaly::DateKey SystemToday() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return tessaly::MakeDateKey(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

// How far local time is ahead of UTC now, in minutes.
int UtcOffsetMinutes() {
    const std::time_t now = std::time(nullptr);
    std::tm local{}, utc{};
#ifdef _WIN32
    localtime_s(&local, &now);
    gmtime_s(&utc, &now);
#else
    localtime_r(&now, &local);
    gmtime_r(&now, &utc);
#endif
    const int days = local.tm_yday - utc.tm_yday;
    // Across a year end one of them is day 0 and the other the last day of a year.
    const int dayShift = days > 1 ? -1 : days < -1 ? 1 : days;
    return dayShift * 1440 + (local.tm_hour - utc.tm_hour) * 60 + (local.tm_min - utc.tm_min);
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    (void)argc;
    (void)argv;
    const std::vector<std::string> args = tessaly::Utf8Arguments(GetCommandLineW());
    // JSON lines end in "\n" on every platform.
    _setmode(_fileno(stdout), _O_BINARY);
#else
    const std::vector<std::string> args(argv + 1, argv + argc);
#endif
    return tessaly::RunTsy(args, std::cout, std::cerr, SystemToday(), UtcOffsetMinutes());
}
