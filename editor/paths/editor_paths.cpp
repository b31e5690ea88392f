// Command-line splitting and the data-file precedence of the editor's start-up.
#include "editor/paths/editor_paths.h"

#include <cstdint>
#include <vector>

#include "core/file_io.h"

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

std::string FirstLine(std::string_view text) {
    return std::string(text.substr(0, text.find_first_of("\r\n")));
}

std::wstring FolderPart(std::wstring_view path) {
    const auto cut = path.find_last_of(L"\\/");
    return cut == std::wstring_view::npos ? std::wstring{} : std::wstring(path.substr(0, cut));
}

std::wstring ChooseDataFilePath(std::wstring_view firstArgument,
                                const std::optional<std::string>& settingsFirstLine,
                                std::wstring_view documentFolder,
                                const std::function<std::wstring(std::string_view)>& fromAnsi,
                                const std::function<bool(const std::wstring&)>& isExistingFile) {
    std::wstring path(firstArgument);
    if (path.empty() && settingsFirstLine) path = fromAnsi(*settingsFirstLine);
    if (path.empty() || !isExistingFile(path)) {
        path = std::wstring(documentFolder) + std::wstring(kDataFileName);
    }
    return path;
}

std::optional<std::string> ReadSettingsFirstLine(const std::filesystem::path& settingsFile) {
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(settingsFile, bytes, IfMissing::kFail)) return std::nullopt;
    return FirstLine(std::string(bytes.begin(), bytes.end()));
}

}  // namespace tessaly::editor
