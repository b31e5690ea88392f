// Any byte string as the settings file, and the choice of the data file made from it. The first
// line is the data file's path, read from disk as it is in the text; naming another data file
// replaces that line alone and keeps every later line byte for byte, and naming the old one
// again gives the same lines back; the data file chosen is the first of the command line's
// argument and the settings line that names an existing file, else the default; the notifier's
// default lies in its documents folder or beside the program. The alert lead is the first
// "AlertMinutes=" line after the first line, when its value is a lead, else the default; setting
// it leaves one such line and every other line as it was, and reads back as set. Memory stays in
// proportion to the file.
//
// The input: the settings file; or, when it holds a NUL, the editor's command-line argument
// (also typed as an alert lead) before it and the settings file after it.
#include <algorithm>
#include <cstdint>
#include <optional>
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

// The file read (twice: bytes, then text), its first line, and the two rewritten files, each a
// copy of the file and a line: some five times its size. Nothing is held per line.
constexpr std::size_t kMultiple = 8;
constexpr std::size_t kFixedBytes = 4 << 10;

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

struct Line {
    std::string_view text;
    bool ended = false;  // followed by a line break
};

// Every line, a break being CR LF, CR or LF.
std::vector<Line> Lines(std::string_view text) {
    std::vector<Line> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find_first_of("\r\n", at);
        if (end == std::string_view::npos) {
            lines.push_back({text.substr(at), false});
            break;
        }
        lines.push_back({text.substr(at, end - at), true});
        at = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
    }
    return lines;
}

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

bool IsAlertLine(std::string_view line) {
    const std::string_view name = Trimmed(line.substr(0, line.find('=')));
    if (line.find('=') == std::string_view::npos || name.size() != 12) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i] >= 'a' && name[i] <= 'z' ? static_cast<char>(name[i] - 32) : name[i];
        if (c != "ALERTMINUTES"[i]) return false;
    }
    return true;
}

// A lead as typed: digits only, blanks around them, a number from 0 to 120.
std::optional<int> TypedLead(std::string_view typed) {
    typed = Trimmed(typed);
    if (typed.empty() || typed.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    typed.remove_prefix(std::min(typed.find_first_not_of('0'), typed.size()));
    if (typed.size() > 3) return std::nullopt;
    const int value = typed.empty() ? 0 : std::stoi(std::string(typed));
    return value <= kMostAlertMinutes ? std::optional<int>(value) : std::nullopt;
}

int ExpectedLead(std::string_view content) {
    const std::vector<Line> lines = Lines(content);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (!IsAlertLine(lines[i].text)) continue;
        return TypedLead(lines[i].text.substr(lines[i].text.find('=') + 1))
            .value_or(kDefaultAlertMinutes);
    }
    return kDefaultAlertMinutes;
}

// The lines that are not alert lines (after the first), without their breaks.
std::vector<std::string_view> OtherLines(std::string_view content) {
    std::vector<std::string_view> other;
    const std::vector<Line> lines = Lines(content);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i == 0 || !IsAlertLine(lines[i].text)) other.push_back(lines[i].text);
    }
    return other;
}

void CheckLead(std::string_view content, int minutes) {
    const std::string changed = SettingsWithAlertMinutes(content, minutes);
    Require(AlertMinutesSetting(changed) == minutes, "a lead set does not read back");
    Require(FirstLine(changed) == FirstLine(content), "setting the lead changed the data file");
    std::vector<std::string_view> before = OtherLines(content), after = OtherLines(changed);
    // A file without a first line gets an empty one in front of the lead.
    if (before.empty()) before.push_back("");
    Require(after == before, "setting the lead changed another line");
    int alertLines = 0;
    const std::vector<Line> lines = Lines(changed);
    for (std::size_t i = 1; i < lines.size(); ++i) alertLines += IsAlertLine(lines[i].text);
    Require(alertLines == 1, "not exactly one alert line after setting the lead");
    Require(SettingsWithAlertMinutes(changed, minutes) == changed,
            "setting the same lead again changed the file");
    Require(AlertMinutesSetting(SettingsWithFirstLine(changed, kMovedFile)) == minutes,
            "naming another data file lost the lead");
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

    const auto ini = fuzz::EmptyScratchFolder() / "Tessaly.ini";
    fuzz::WriteBytes(ini, Bytes(content));

    // What the programs do with the file, in memory of the order of its size: read its first
    // line and its lead, rewrite either (the results are copies of the file).
    std::optional<std::string> first, text;
    std::string moved, withLead;
    {
        fuzz::HeapWatch heap;
        first = ReadSettingsFirstLine(ini);
        text = ReadSettingsText(ini);
        (void)AlertMinutesSetting(text);
        moved = SettingsWithFirstLine(content, kMovedFile);
        withLead = SettingsWithAlertMinutes(content, kMostAlertMinutes);
        heap.Require(kMultiple * size + kFixedBytes, "reading and rewriting the settings file");
    }

    // The first line, as far as the first CR or LF, never a break of it.
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

    // The alert lead, read from disk, and set to what the argument types or to its limits.
    Require(text.has_value() && AlertMinutesSetting(text) == ExpectedLead(content),
            "the alert lead read is not the first alert line's");
    Require(AlertMinutesSetting(std::nullopt) == kDefaultAlertMinutes,
            "no settings file gives another lead than the default");
    Require(ParseAlertMinutes(argument) == TypedLead(argument), "a typed lead read differently");
    for (int minutes : {0, kDefaultAlertMinutes, kMostAlertMinutes}) CheckLead(content, minutes);
    if (const std::optional<int> typed = ParseAlertMinutes(argument)) CheckLead(content, *typed);

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
    return 0;
}
