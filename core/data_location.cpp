// The settings file's lines and the choice of the data file.
#include "core/data_location.h"

#include <cstdint>
#include <vector>

#include "core/file_io.h"
#include "core/typed_number.h"

namespace tessaly {

std::wstring SettingsFilePath(std::wstring_view commonAppData) {
    return std::wstring(commonAppData) + std::wstring(kProductFolder) + L"\\" +
           std::wstring(kSettingsFile);
}

std::string FirstLine(std::string_view text) {
    return std::string(text.substr(0, text.find_first_of("\r\n")));
}

std::optional<std::string> ReadSettingsText(const std::filesystem::path& settingsFile) {
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(settingsFile, bytes, IfMissing::kFail)) return std::nullopt;
    return std::string(bytes.begin(), bytes.end());
}

std::optional<std::string> ReadSettingsFirstLine(const std::filesystem::path& settingsFile) {
    std::optional<std::string> text = ReadSettingsText(settingsFile);
    if (!text) return std::nullopt;
    return FirstLine(*text);
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

namespace {

struct Line {
    std::string_view text;   // without its break
    std::string_view ended;  // CR LF, CR, LF, or empty for a last line without one
};

// The line that begins at `at`, with its own break, so a rewrite can keep the lines it does not
// change exactly. Lines are taken one at a time: a list of them all would hold 32 bytes for
// every line break of the file.
Line LineAt(std::string_view content, std::size_t at) {
    const std::size_t end = content.find_first_of("\r\n", at);
    if (end == std::string_view::npos) return {content.substr(at), {}};
    std::size_t next = end + 1;
    if (content[end] == '\r' && next < content.size() && content[next] == '\n') ++next;
    return {content.substr(at, end - at), content.substr(end, next - end)};
}

std::size_t Length(const Line& line) {
    return line.text.size() + line.ended.size();
}

bool SameLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// The value of an "AlertMinutes=" line, or nothing for any other line.
std::optional<std::string_view> AlertMinutesValue(std::string_view line) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    if (!SameLetters(TrimBlanks(line.substr(0, equals)), kAlertMinutesKey)) return std::nullopt;
    return line.substr(equals + 1);
}

}  // namespace

std::optional<int> ParseAlertMinutes(std::string_view typed) {
    const std::string_view digits = TrimBlanks(typed);
    if (digits.empty()) return std::nullopt;
    int value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        // Stopping here also keeps a long row of digits from overflowing.
        if (value > kMostAlertMinutes) return std::nullopt;
    }
    return value;
}

int AlertMinutesSetting(const std::optional<std::string>& settingsText) {
    if (!settingsText) return kDefaultAlertMinutes;
    const std::string_view content = *settingsText;
    for (std::size_t at = Length(LineAt(content, 0)); at < content.size();) {
        const Line line = LineAt(content, at);
        if (const std::optional<std::string_view> value = AlertMinutesValue(line.text)) {
            return ParseAlertMinutes(*value).value_or(kDefaultAlertMinutes);
        }
        at += Length(line);
    }
    return kDefaultAlertMinutes;
}

std::string SettingsWithAlertMinutes(std::string_view oldContent, int minutes) {
    const std::string setting = std::string(kAlertMinutesKey) + "=" + std::to_string(minutes);
    std::string content;
    bool written = false;
    for (std::size_t at = 0; at < oldContent.size();) {
        const bool firstLine = at == 0;
        const Line line = LineAt(oldContent, at);
        at += Length(line);
        if (!firstLine && AlertMinutesValue(line.text)) {
            if (written) continue;
            content += setting;
            content += line.ended.empty() ? std::string_view("\r\n") : line.ended;
            written = true;
            continue;
        }
        // Past a dropped line, a lone CR may come to stand right before an empty line ended by
        // LF: the two would read as one CR LF break, and the empty line would be lost.
        const bool joins = content.ends_with('\r') && line.text.empty() && line.ended == "\n";
        content += line.text;
        // A last line without a break gets one when the setting follows it.
        content +=
            joins || (line.ended.empty() && !written) ? std::string_view("\r\n") : line.ended;
    }
    // No first line at all: an empty one, which names no data file, so the default stays.
    if (oldContent.empty()) content += "\r\n";
    if (!written) content += setting + "\r\n";
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
        folder += std::wstring(kProductFolder.substr(1)) + L"\\";
        if (folderExists(folder)) return folder + std::wstring(kDataFile);
    }
    const std::size_t slash = programFile.find_last_of(L"\\/");
    const std::wstring_view programFolder =
        slash == std::wstring_view::npos ? std::wstring_view{} : programFile.substr(0, slash + 1);
    return std::wstring(programFolder) + std::wstring(kDataFile);
}

}  // namespace tessaly
