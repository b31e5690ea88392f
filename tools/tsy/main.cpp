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
    return tessaly::RunTsy(args, std::cout, std::cerr, SystemToday());
}
