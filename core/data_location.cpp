// The settings file's lines and the choice of the data file.
#include "core/data_location.h"

#include <cstdint>
#include <vector>

#include "core/file_io.h"

namespace tessaly {

std::wstring SettingsFilePath(std::wstring_view commonAppData) {
    return std::wstring(commonAppData) + std::wstring(kProductFolder) +
           std::wstring(kSettingsFileName);
}

std::string FirstLine(std::string_view text) {
    return std::string(text.substr(0, text.find_first_of("\r\n")));
}

std::optional<std::string> ReadSettingsFirstLine(const std::filesystem::path& settingsFile) {
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(settingsFile, bytes, IfMissing::kFail)) return std::nullopt;
    return FirstLine(std::string(bytes.begin(), bytes.end()));
}

std::string SettingsWithFirstLine(std::string_view oldContent, std::string_view firstLine) {
    std::string content = std::string(firstLine) + "\r\n";
    const std::size_t end = oldContent.find_first_of("\r\n");
    if (end == std::string_view::npos) return content;
    // The old first line's own break (CR LF, or a lone CR or LF) goes with it.
    std::size_t rest = end + 1;
    if (oldContent[end] == '\r' && rest < oldContent.size() && oldContent[rest] == '\n') ++rest;
    content += oldContent.substr(rest);
    return content;
}

std::wstring ChooseDataFile(const DataFileSources& sources,
                            const std::function<std::wstring(std::string_view)>& fromAnsi,
                            const std::function<bool(const std::wstring&)>& isExistingFile) {
    std::wstring path(sources.firstArgument);
    if (path.empty() && sources.settingsFirstLine) path = fromAnsi(*sources.settingsFirstLine);
    if (path.empty() || !isExistingFile(path)) path = std::wstring(sources.defaultFile);
    return path;
}

std::wstring NotifierDefaultDataFile(std::wstring_view documents, std::wstring_view programFile,
                                     const std::function<bool(const std::wstring&)>& folderExists) {
    if (!documents.empty()) {
        std::wstring folder(documents);
        if (folder.back() != L'\\') folder += L'\\';  // a drive root comes with its backslash
        folder += L"Quorvane\\Tessaly\\";
        if (folderExists(folder)) return folder + L"Tessaly.tsy";
    }
    const std::size_t slash = programFile.find_last_of(L"\\/");
    const std::wstring_view programFolder =
        slash == std::wstring_view::npos ? std::wstring_view{} : programFile.substr(0, slash + 1);
    return std::wstring(programFolder) + L"Tessaly.tsy";
}

}  // namespace tessaly
