// Where the editor finds its folders and its data file: command line, settings file, default.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly::editor {

// Below each special folder (common application data, documents) the editor keeps its own.
inline constexpr std::wstring_view kVendorFolder = L"\\Quorvane";
inline constexpr std::wstring_view kProductFolder = L"\\Quorvane\\Tessaly";
inline constexpr std::wstring_view kSettingsFileName = L"\\Tessaly.ini";
inline constexpr std::wstring_view kHelpFileName = L"\\Tessaly.ahp";
inline constexpr std::wstring_view kDataFileName = L"\\Tessaly.tsy";

// Arguments are separated by blanks; a quotation mark starts or ends a quoted stretch in which
// blanks belong to the argument, and the marks themselves are dropped.
std::vector<std::wstring> SplitArguments(std::wstring_view commandLine);
// The first argument, or empty when there is none.
std::wstring FirstArgument(std::wstring_view commandLine);

// The text up to the first line break (CR or LF); the whole text when there is none.
std::string FirstLine(std::string_view text);

// The settings file's first line, or none when the file is missing or cannot be read. The file
// is only read, never opened for writing, so a read-only settings file counts like any other.
std::optional<std::string> ReadSettingsFirstLine(const std::filesystem::path& settingsFile);

// Everything before the last backslash (or slash); empty when the path has none.
std::wstring FolderPart(std::wstring_view path);

// The data file: the first argument when it is given; else, when there is a settings file,
// its first line; and whenever the path so found is empty or names no existing file, the
// default in the document folder. A missing file named on the command line falls back to the
// default, never to the settings file.
std::wstring ChooseDataFilePath(std::wstring_view firstArgument,
                                const std::optional<std::string>& settingsFirstLine,
                                std::wstring_view documentFolder,
                                const std::function<std::wstring(std::string_view)>& fromAnsi,
                                const std::function<bool(const std::wstring&)>& isExistingFile);

}  // namespace tessaly::editor
