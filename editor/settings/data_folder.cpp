// Moving the data file: the old file is read whole, the settings file is written, then the copy
// replaces the new folder's file in one step; a failure after the settings file was written
// puts its old content back, so every failure leaves the old location in use.
#include "editor/settings/data_folder.h"

#include <algorithm>
#include <cctype>
#include <system_error>
#include <vector>

#include "core/file_io.h"

namespace tessaly::editor::settings {
namespace {

namespace fs = std::filesystem;

bool EqualsIgnoringCase(const std::string& a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

bool IsRegularFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

std::string Utf8(const fs::path& path) {
    const std::u8string u8 = path.u8string();
    return std::string(u8.begin(), u8.end());
}

MoveResult Failed(const fs::path& newFolder, const std::string& reason) {
    return {MoveOutcome::kFailed, "The data file could not be moved to " + Utf8(newFolder) +
                                      ".\r\nThe old location stays in use.\r\n" + reason};
}

}  // namespace

bool IsSameFolder(const fs::path& a, const fs::path& b) {
    std::error_code error;
    if (fs::equivalent(a, b, error)) return true;
    return a.lexically_normal() == b.lexically_normal();
}

std::optional<fs::path> FindOldDataFile(const DataLocation& location) {
    if (!location.dataFile.empty() && IsRegularFile(location.dataFile)) return location.dataFile;
    std::error_code error;
    std::vector<fs::path> matches;
    for (fs::directory_iterator it(location.dataFolder, error), end; !error && it != end;
         it.increment(error)) {
        if (EqualsIgnoringCase(Utf8(it->path().filename()), "tessaly.tsy") &&
            IsRegularFile(it->path())) {
            matches.push_back(it->path());
        }
    }
    if (matches.empty()) return std::nullopt;
    return *std::min_element(matches.begin(), matches.end());
}

MoveResult SetDataFolder(DataLocation& location, const fs::path& settingsFile,
                         const fs::path& newFolder, const MoveHost& host) {
    // Copying the file onto itself would fail and the reload would drop unsaved changes.
    if (IsSameFolder(location.dataFolder, newFolder)) return {MoveOutcome::kSameFolder, {}};

    std::error_code error;
    if (!fs::is_directory(newFolder, error)) return Failed(newFolder, "The folder does not exist.");
    const fs::path newFile = newFolder / kDataFileName;
    const std::optional<std::string> line = host.settingsLine(newFile);
    if (!line) {
        return Failed(newFolder,
                      "Its path cannot be written in the settings file; choose a "
                      "folder whose name uses only this system's characters.");
    }

    // Saved changes move with the file; declined ones go with the reload, as the user chose.
    if (host.offerSave && !host.offerSave()) return {MoveOutcome::kCancelled, {}};

    std::vector<std::uint8_t> data;
    bool copy = false;
    if (const auto oldFile = FindOldDataFile(location)) {
        const std::uintmax_t size = fs::file_size(*oldFile, error);
        if (!error && size > kLargestEmptyFile) {
            if (IoResult read = ReadWholeFile(*oldFile, data, IfMissing::kFail); !read) {
                return Failed(newFolder, read.message);
            }
            copy = true;
        }
    }

    std::vector<std::uint8_t> oldSettings;
    const bool hadSettings =
        IsRegularFile(settingsFile) && ReadWholeFile(settingsFile, oldSettings, IfMissing::kFail);
    const std::string text = *line + "\r\n";
    if (IoResult written = ReplaceWholeFile(
            settingsFile,
            std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
        !written) {
        return Failed(newFolder, written.message);
    }
    if (copy) {
        if (IoResult copied = ReplaceWholeFile(newFile, data); !copied) {
            std::error_code ignored;
            if (hadSettings) {
                ReplaceWholeFile(settingsFile, oldSettings);
            } else {
                fs::remove(settingsFile, ignored);
            }
            return Failed(newFolder, copied.message);
        }
    }
    location = {newFile, newFolder};
    return {MoveOutcome::kMoved, {}};
}

}  // namespace tessaly::editor::settings
