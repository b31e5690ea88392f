// Command-line splitting and the folder part of a path.
#include "editor/paths/editor_paths.h"

namespace tessaly::editor {

std::vector<std::wstring> SplitArguments(std::wstring_view commandLine) {
    std::vector<std::wstring> args;
    std::wstring arg;
    bool inArg = false;
    bool quoted = false;
    for (wchar_t c : commandLine) {
        if (c == L'"') {
            quoted = !quoted;
            inArg = true;  // "" is an empty argument of its own
        } else if (c == L' ' && !quoted) {
            if (inArg) args.push_back(std::move(arg));
            arg.clear();
            inArg = false;
        } else {
            arg.push_back(c);
            inArg = true;
        }
    }
    if (inArg) args.push_back(std::move(arg));
    return args;
}

std::wstring FirstArgument(std::wstring_view commandLine) {
    auto args = SplitArguments(commandLine);
    return args.empty() ? std::wstring{} : std::move(args.front());
}

std::wstring FolderPart(std::wstring_view path) {
    const auto cut = path.find_last_of(L"\\/");
    return cut == std::wstring_view::npos ? std::wstring{} : std::wstring(path.substr(0, cut));
}

}  // namespace tessaly::editor
