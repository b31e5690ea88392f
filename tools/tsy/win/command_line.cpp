// The Windows command line split by the system's rules and turned into UTF-8.
#include "tools/tsy/win/command_line.h"

#include <windows.h>
#include <shellapi.h>

#include "win/handles.h"
#include "win/text.h"

namespace tessaly {

std::vector<std::string> Utf8Arguments(const wchar_t* commandLine) {
    std::vector<std::string> args;
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(commandLine, &count);
    if (!argv) return args;
    const win::LocalMemory held(argv);
    for (int i = 1; i < count; ++i) args.push_back(win::WideToUtf8(argv[i]));
    return args;
}

}  // namespace tessaly
