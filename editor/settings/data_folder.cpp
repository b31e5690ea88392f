// Moving the data file. Nothing in the old folder is ever written. In the new folder a data file
// about to be replaced is first kept under a name of its own, then the copy replaces it (written
// beside it, flushed, moved into place) and is read back; only then is the settings file
// replaced in one step. So until that last step the old location is the one in use, complete,
// and after it the new one is; a failure on the way takes back what it did in the new folder.
#include "editor/settings/data_folder.h"

#include <algorithm>
#include <cctype>
#include <system_error>
#include <vector>

#include "core/data_file.h"
#include "core/data_location.h"
#include "core/file_io.h"

namespace tessaly::editor::settings {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// A day has room for this many kept files; more would mean something keeps failing.
constexpr int kMostKeptFilesADay = 999;

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

ReminderCount CountReminders(const Bytes& bytes) {
    const ReminderData data = DecodeReminderFile(bytes);
    return {data.current.count(), data.archive.count()};
}

std::string CountText(const ReminderCount& count) {
    std::string text =
        std::to_string(count.current) + (count.current == 1 ? " reminder" : " reminders");
    if (count.archived > 0) text += " and " + std::to_string(count.archived) + " archived";
    return text;
}

std::span<const std::uint8_t> AsBytes(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// A name in folder that no file has yet.
std::optional<fs::path> FreeKeptName(const fs::path& folder, DateKey today) {
    for (int n = 1; n <= kMostKeptFilesADay; ++n) {
        const fs::path candidate = folder / KeptFileName(today, n);
        std::error_code error;
        if (!fs::exists(candidate, error) && !error) return candidate;
    }
    return std::nullopt;
}

// The settings file's new content; its lines after the first stay as they were.
IoResult WriteSettings(const fs::path& settingsFile, const std::string& line) {
    Bytes old;
    if (IsRegularFile(settingsFile)) {
        if (IoResult read = ReadWholeFile(settingsFile, old, IfMissing::kFail); !read) return read;
    }
    const std::string content = SettingsWithFirstLine(
        std::string_view(reinterpret_cast<const char*>(old.data()), old.size()), line);
    return ReplaceWholeFile(settingsFile, AsBytes(content));
}

}  // namespace

std::string ExistingFileQuestionText(const ExistingFileQuestion& q) {
    return "The folder\r\n" + Utf8(q.folder) + "\r\nalready holds a data file with " +
           CountText(q.there) + ".\r\nThe data file in use holds " + CountText(q.inUse) +
           ".\r\n\r\nYes: use the data file that is there; nothing is copied.\r\n"
           "No: replace it with the data file in use; the file there is kept\r\nbeside it as " +
           q.keptAs + ".\r\nCancel: change nothing.";
}

std::string KeptFileName(DateKey today, int n) {
    std::string name = "Tessaly-before-move-" + std::to_string(today);
    if (n > 1) name += "-" + std::to_string(n);
    return name + ".tsy";
}

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
                         const fs::path& newFolder, MoveHost& host) {
    // The folder in use: copying the file onto itself would fail and a reload would drop unsaved
    // changes, but the settings file is put right, so the next start uses this file too.
    if (IsSameFolder(location.dataFolder, newFolder)) {
        const std::optional<std::string> line = host.SettingsLine(location.dataFile);
        if (!line) {
            return {MoveOutcome::kFailed,
                    "The settings file cannot name " + Utf8(location.dataFile) +
                        ": its path uses characters this system's code page lacks."};
        }
        if (IoResult written = WriteSettings(settingsFile, *line); !written) {
            return {MoveOutcome::kFailed,
                    "The settings file could not be written.\r\n" + written.message};
        }
        return {MoveOutcome::kSameFolder, {}};
    }

    std::error_code error;
    if (!fs::is_directory(newFolder, error)) return Failed(newFolder, "The folder does not exist.");
    // The name the data file gets in a folder it is moved to.
    const fs::path newFile = newFolder / kDataFile;
    const std::optional<std::string> line = host.SettingsLine(newFile);
    if (!line) {
        return Failed(newFolder,
                      "Its path cannot be written in the settings file; choose a "
                      "folder whose name uses only this system's characters.");
    }

    // Saved changes move with the file; declined ones go with the reload, as the user chose.
    if (!host.OfferSave()) return {MoveOutcome::kCancelled, {}};

    // The old file goes along when it holds reminders.
    Bytes data;
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

    // A data file with reminders already there is never lost: it is used, or kept beside its
    // replacement. One without any (a bare header) is replaced unasked.
    const bool thereBefore = fs::exists(newFile, error);
    Bytes there;
    if (thereBefore) {
        if (IoResult read = ReadWholeFile(newFile, there, IfMissing::kFail); !read) {
            return Failed(newFolder,
                          "The data file already there cannot be read.\r\n" + read.message);
        }
    }
    std::optional<fs::path> kept;
    if (copy && thereBefore && there.size() > kLargestEmptyFile) {
        kept = FreeKeptName(newFolder, host.Today());
        if (!kept) return Failed(newFolder, "No free name is left to keep the file there under.");
        const ExistingFileQuestion question{newFolder, CountReminders(there), CountReminders(data),
                                            Utf8(kept->filename())};
        const ExistingFileChoice choice = host.AskAboutExisting(question);
        if (choice == ExistingFileChoice::kCancel) return {MoveOutcome::kCancelled, {}};
        if (choice == ExistingFileChoice::kUseIt) {
            copy = false;
            kept.reset();
        }
    }

    // Takes back what was done in the new folder; says what could not be taken back.
    auto undo = [&](const std::string& reason) {
        std::string message = reason;
        if (copy) {
            IoResult back;
            if (thereBefore) {
                back = ReplaceWholeFile(newFile, there);
            } else if (std::error_code removed; !fs::remove(newFile, removed) && removed) {
                back = IoResult::Failure(removed.message());
            }
            if (!back) {
                message += "\r\nThe data file in " + Utf8(newFolder) +
                           " could not be put back as it was: " + back.message;
                if (kept) message += "\r\nIts former content is in " + Utf8(kept->filename()) + ".";
                return Failed(newFolder, message);
            }
        }
        if (kept) {
            std::error_code ignored;
            fs::remove(*kept, ignored);
        }
        return Failed(newFolder, message);
    };

    if (kept) {
        if (IoResult saved = ReplaceWholeFile(*kept, there); !saved) {
            std::error_code ignored;
            fs::remove(*kept, ignored);
            return Failed(newFolder, saved.message);
        }
    }
    if (copy) {
        if (IoResult copied = ReplaceWholeFile(newFile, data); !copied) {
            copy = false;  // the file there was not touched
            return undo(copied.message);
        }
        // What the editor will load must be what was read from the old file.
        Bytes back;
        if (IoResult read = ReadWholeFile(newFile, back, IfMissing::kFail); !read || back != data) {
            return undo(read ? "The copy does not read back as written." : read.message);
        }
    }
    if (IoResult written = WriteSettings(settingsFile, *line); !written) {
        return undo("The settings file could not be written.\r\n" + written.message);
    }
    location = {newFile, newFolder};
    return {MoveOutcome::kMoved, {}};
}

int SettingsAlertMinutes(const fs::path& settingsFile) {
    return AlertMinutesSetting(ReadSettingsText(settingsFile));
}

AlertMinutesResult SetAlertMinutes(const fs::path& settingsFile, std::string_view typed) {
    using Outcome = AlertMinutesResult::Outcome;
    const std::optional<int> minutes = ParseAlertMinutes(typed);
    if (!minutes) return {Outcome::kRefused, std::string(kAlertMinutesRefused)};
    // A settings file that exists but cannot be read is never replaced: its first line names
    // the data file.
    std::optional<std::string> oldText;
    if (IsRegularFile(settingsFile)) {
        Bytes old;
        if (IoResult read = ReadWholeFile(settingsFile, old, IfMissing::kFail); !read) {
            return {Outcome::kFailed, "The settings file could not be read.\r\n" + read.message};
        }
        oldText.emplace(old.begin(), old.end());
    }
    if (AlertMinutesSetting(oldText) == *minutes) return {Outcome::kUnchanged, {}};
    if (IoResult written = ReplaceWholeFile(
            settingsFile, AsBytes(SettingsWithAlertMinutes(oldText.value_or(""), *minutes)));
        !written) {
        return {Outcome::kFailed, "The settings file could not be written.\r\n" + written.message};
    }
    return {Outcome::kWritten, {}};
}

}  // namespace tessaly::editor::settings
