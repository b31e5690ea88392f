#include "tools/tsy/win/command_line.h"

#include <windows.h>
#include <shellapi.h>

namespace tessaly {

std::vector<std::string> Utf8Arguments(const wchar_t* commandLine) {
    std::vector<std::string> args;
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(commandLine, &count);
    if (!argv) return args;
    for (int i = 1; i < count; ++i) {
        const int bytes =
            WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
        std::string arg(bytes > 0 ? static_cast<size_t>(bytes) : 1u, '\0');
        WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, arg.data(), bytes, nullptr, nullptr);
        arg.resize(arg.size() - 1);  // the terminator
        args.push_back(std::move(arg));
    }
    LocalFree(argv);
    return args;
}

}  // namespace tessaly
