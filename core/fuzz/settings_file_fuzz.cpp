// Any byte string as the settings file, and the choice of the data file made from it. The first
// line is the data file's path, read from disk as it is in the text; naming another data file
// replaces that line alone and keeps every later line byte for byte, and naming the old one
// again gives the file back; the data file chosen is the first of the command line's argument
// and the settings line that names an existing file, else the default; the notifier's default
// lies in its documents folder or beside the program. Memory stays in proportion to the file.
//
// The input: the settings file; or, when it holds a NUL, the editor's command-line argument
// before it and the settings file after it.
#include <cstdint>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/data_location.h"
#include "core/file_io.h"
#include "tests/fuzz/heap_watch.h"
#include "tests/fuzz/scratch_folder.h"

namespace {

using namespace tessaly;
using fuzz::Require;

constexpr std::size_t kMultiple = 8;
constexpr std::size_t kFixedBytes = 64 << 10;

constexpr std::string_view kMovedFile = "E:\\Moved\\Tessaly.tsy";
const std::wstring kDefaultFile = L"C:\\Users\\ann\\Documents\\Quorvane\\Tessaly\\Tessaly.tsy";
const std::wstring kProgramFile = L"C:\\Program Files (x86)\\Quorvane\\Tessaly\\TessalyStartup.exe";

// Windows-1252 read byte for byte, as Latin-1: a path's characters stay apart and comparable.
std::wstring Widen(std::string_view ansi) {
    std::wstring wide;
    for (char c : ansi) wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return wide;
}

std::span<const std::uint8_t> Bytes(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// What follows the first line and its break (CR LF, or CR or LF alone); nothing without one.
std::string_view LaterLines(std::string_view text) {
    const std::size_t end = text.find_first_of("\r\n");
    if (end == std::string_view::npos) return {};
    std::size_t rest = end + 1;
    if (text[end] == '\r' && rest < text.size() && text[rest] == '\n') ++rest;
    return text.substr(rest);
}

void CheckNewFirstLine(std::string_view content, std::string_view line,
                       const std::filesystem::path& ini) {
    const std::string changed = SettingsWithFirstLine(content, line);
    Require(changed == std::string(line) + "\r\n" + std::string(LaterLines(content)),
            "naming another data file changed more than the first line");
    Require(static_cast<bool>(ReplaceWholeFile(ini, Bytes(changed))), "cannot write the settings");
    Require(ReadSettingsFirstLine(ini) == std::string(line),
            "the settings file does not name the data file just written into it");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t nul = input.find('\0');
    const std::string_view argument = nul == std::string_view::npos ? "" : input.substr(0, nul);
    const std::string_view content = nul == std::string_view::npos ? input : input.substr(nul + 1);

    fuzz::HeapWatch heap;
    const auto ini = fuzz::EmptyScratchFolder() / "Tessaly.ini";
    fuzz::WriteBytes(ini, Bytes(content));

    // The first line, as far as the first CR or LF, never a break of it.
    const std::optional<std::string> first = ReadSettingsFirstLine(ini);
    Require(first.has_value(), "an existing settings file does not read");
    Require(*first == FirstLine(content) && content.starts_with(*first) &&
                first->find_first_of("\r\n") == std::string::npos &&
                (first->size() == content.size() || content[first->size()] == '\r' ||
                 content[first->size()] == '\n'),
            "the first line read is not the text up to the first line break");

    // The settings dialog names another file, then the first again: every later line is kept.
    CheckNewFirstLine(content, kMovedFile, ini);
    const std::string back =
        SettingsWithFirstLine(SettingsWithFirstLine(content, kMovedFile), *first);
    Require(back == *first + "\r\n" + std::string(LaterLines(content)),
            "naming the old data file again did not give its settings back");
    if (!argument.empty() && argument.find_first_of("\r\n") == std::string_view::npos) {
        CheckNewFirstLine(content, argument, ini);
    }

    // Which data file: the argument, else a settings line naming an existing file, else the
    // default. Existing here: the moved file, and the argument when it ends in ".tsy".
    const std::wstring wideArgument = Widen(argument);
    std::set<std::wstring> existing = {Widen(kMovedFile), kDefaultFile};
    if (wideArgument.ends_with(L".tsy")) existing.insert(wideArgument);
    const auto exists = [&](const std::wstring& path) { return existing.contains(path); };
    const std::wstring settingsPath = Widen(*first);
    const std::wstring expected = !wideArgument.empty()
                                      ? (exists(wideArgument) ? wideArgument : kDefaultFile)
                                  : !settingsPath.empty() && exists(settingsPath) ? settingsPath
                                                                                  : kDefaultFile;
    Require(ChooseDataFile({wideArgument, first, kDefaultFile}, Widen, exists) == expected,
            "the editor chose another data file");
    Require(ChooseDataFile({{}, first, kDefaultFile}, Widen, exists) ==
                (!settingsPath.empty() && exists(settingsPath) ? settingsPath : kDefaultFile),
            "the notifier chose another data file");
    Require(ChooseDataFile({wideArgument, std::nullopt, kDefaultFile}, Widen, exists) ==
                (!wideArgument.empty() && exists(wideArgument) ? wideArgument : kDefaultFile),
            "without a settings file another data file was chosen");

    // The notifier's default, with the settings line standing in for its documents folder, in
    // which "Quorvane\Tessaly" exists when the line has an even length.
    const std::wstring inDocuments = settingsPath + (settingsPath.ends_with(L"\\") ? L"" : L"\\") +
                                     L"Quorvane\\Tessaly\\Tessaly.tsy";
    const bool documentsFolder = !settingsPath.empty() && settingsPath.size() % 2 == 0;
    const auto folderExists = [&](const std::wstring& folder) {
        return documentsFolder && folder + L"Tessaly.tsy" == inDocuments;
    };
    Require(NotifierDefaultDataFile(settingsPath, kProgramFile, folderExists) ==
                (documentsFolder ? inDocuments
                                 : L"C:\\Program Files (x86)\\Quorvane\\Tessaly\\Tessaly.tsy"),
            "the notifier's default is neither in its documents folder nor beside the program");
    heap.Require(kMultiple * size + kFixedBytes, "reading and rewriting the settings file");
    return 0;
}
