// The daily backup rule and its file-system side.
#include "core/backup.h"

#include <algorithm>
#include <chrono>
#include <system_error>

namespace tessaly {
namespace {

constexpr std::string_view kSuffix = ".tsy";

bool Digits(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// For messages: UTF-8 on every platform, never an exception for a name the code page lacks.
std::string Utf8(const std::filesystem::path& p) {
    const std::u8string u = p.u8string();
    return std::string(u.begin(), u.end());
}

// Windows names ignore the case of ASCII letters; other bytes compare as they are.
bool SameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return fold(x) == fold(y);
    });
}

std::filesystem::path FromUtf8(std::string_view s) {
    return std::filesystem::path(std::u8string(s.begin(), s.end()));
}

int Number(std::string_view s) {
    int n = 0;
    for (char c : s) n = n * 10 + (c - '0');
    return n;
}

class SystemFiles : public BackupFiles {
  public:
    bool HasContent(const std::filesystem::path& file) override {
        std::error_code ec;
        return FileExists(file) && std::filesystem::file_size(file, ec) > 0 && !ec;
    }

    std::vector<std::string> List(const std::filesystem::path& folder) override {
        std::vector<std::string> names;
        std::error_code ec;
        for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
             it.increment(ec)) {
            names.push_back(Utf8(it->path().filename()));
        }
        return names;
    }

    IoResult MakeFolder(const std::filesystem::path& folder) override {
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        if (ec) return IoResult::Failure("cannot create " + Utf8(folder) + ": " + ec.message());
        return {};
    }

    IoResult Copy(const std::filesystem::path& from, const std::filesystem::path& to) override {
        return CopyWholeFile(from, to);
    }

    IoResult Remove(const std::filesystem::path& file) override {
        std::error_code ec;
        std::filesystem::remove(file, ec);
        if (ec) return IoResult::Failure("cannot remove " + Utf8(file) + ": " + ec.message());
        return {};
    }

    std::optional<std::int64_t> AgeInSeconds(const std::filesystem::path& file) override {
        std::error_code ec;
        const auto written = std::filesystem::last_write_time(file, ec);
        if (ec) return std::nullopt;
        return std::chrono::duration_cast<std::chrono::seconds>(
                   std::filesystem::file_time_type::clock::now() - written)
            .count();
    }
};

}  // namespace

std::string BackupStem(const std::filesystem::path& dataFile) {
    return Utf8(dataFile.stem());
}

std::string BackupName(std::string_view stem, DateKey day) {
    const CivilDate d = SplitDateKey(day);
    auto two = [](int n) { return std::string(1, char('0' + n / 10 % 10)) + char('0' + n % 10); };
    const std::string y = std::to_string(d.year);
    const std::string year = std::string(y.size() < 4 ? 4 - y.size() : 0, '0') + y;
    return std::string(stem) + "-" + year + "-" + two(d.month) + "-" + two(d.day) +
           std::string(kSuffix);
}

std::optional<DateKey> BackupDay(std::string_view stem, std::string_view name) {
    // <stem>-YYYY-MM-DD.tsy; the exact length keeps "Tessaly" apart from "Tessaly-2026".
    const std::size_t prefix = stem.size() + 1;
    if (name.size() != prefix + 10 + kSuffix.size()) return std::nullopt;
    if (!SameName(name.substr(0, stem.size()), stem) || name[stem.size()] != '-' ||
        !SameName(name.substr(name.size() - kSuffix.size()), kSuffix)) {
        return std::nullopt;
    }
    const std::string_view date = name.substr(prefix, 10);
    if (date[4] != '-' || date[7] != '-' || !Digits(date.substr(0, 4)) ||
        !Digits(date.substr(5, 2)) || !Digits(date.substr(8, 2))) {
        return std::nullopt;
    }
    const int y = Number(date.substr(0, 4)), m = Number(date.substr(5, 2)),
              d = Number(date.substr(8, 2));
    if (y < 1 || m < 1 || m > 12 || d < 1 || d > DaysInMonth(m, y)) return std::nullopt;
    return MakeDateKey(y, m, d);
}

std::filesystem::path BackupFolder(const std::filesystem::path& dataFile) {
    return dataFile.parent_path() / "Backups";
}

BackupPlan PlanDailyBackup(std::string_view stem, std::span<const std::string> existing,
                           DateKey today, bool dataFileHasContent) {
    BackupPlan plan;
    plan.name = BackupName(stem, today);
    std::vector<std::pair<DateKey, std::string>> days;
    bool haveToday = false;
    for (const std::string& name : existing) {
        const std::optional<DateKey> day = BackupDay(stem, name);
        // A backup dated after today is left alone and does not count: fourteen of them, left
        // by a clock set ahead, would otherwise push out every real backup as soon as it is made.
        if (!day || *day > today) continue;
        haveToday = haveToday || *day == today;
        days.emplace_back(*day, name);
    }
    plan.backUp = dataFileHasContent && !haveToday;
    // With no backup of today, nothing is pruned: old backups go only once a newer one is there.
    if (!plan.backUp && !haveToday) return plan;
    if (plan.backUp) days.emplace_back(today, plan.name);
    // Newest first; a day written twice (names differing in case) counts once.
    std::sort(days.begin(), days.end(), [](const auto& a, const auto& b) { return a > b; });
    int kept = 0;
    DateKey last = 0;
    for (const auto& [day, name] : days) {
        if (day != last) ++kept;
        last = day;
        if (kept > kBackupDaysKept) plan.prune.push_back(name);
    }
    std::reverse(plan.prune.begin(), plan.prune.end());
    return plan;
}

std::vector<std::string> SaveLeftovers(const std::filesystem::path& dataFile,
                                       std::span<const std::string> names, bool inBackupFolder) {
    const std::string own = Utf8(dataFile.filename());
    const std::string stem = BackupStem(dataFile);
    std::vector<std::string> found;
    for (const std::string& name : names) {
        const std::optional<std::string> target = SaveTemporaryTarget(name);
        if (!target) continue;
        // The data file's own saves, and the editor's recovery file beside it.
        const bool ours = inBackupFolder
                              ? BackupDay(stem, *target).has_value()
                              : SameName(*target, own) || SameName(*target, own + ".recovery");
        if (ours) found.push_back(name);
    }
    return found;
}

BackupFiles& SystemBackupFiles() {
    static SystemFiles files;
    return files;
}

BackupResult KeepDailyBackup(const std::filesystem::path& dataFile, DateKey today,
                             BackupFiles& files) {
    BackupResult result;
    const std::filesystem::path folder = BackupFolder(dataFile);
    const std::vector<std::string> existing = files.List(folder);
    const BackupPlan plan =
        PlanDailyBackup(BackupStem(dataFile), existing, today, files.HasContent(dataFile));

    // A save that crashed between writing and replacing left its temporary file; one older than
    // a day is no save under way. Whether it goes or stays, the save ahead is not affected.
    auto clearLeftovers = [&](const std::filesystem::path& where, bool inBackupFolder,
                              std::span<const std::string> names) {
        for (const std::string& name : SaveLeftovers(dataFile, names, inBackupFolder)) {
            const std::filesystem::path file = where / FromUtf8(name);
            const std::optional<std::int64_t> age = files.AgeInSeconds(file);
            if (age && *age > kLeftoverAgeSeconds && files.Remove(file)) {
                result.leftoversRemoved.push_back(name);
            }
        }
    };
    const std::filesystem::path dataFolder = dataFile.parent_path();
    clearLeftovers(dataFolder.empty() ? std::filesystem::path(".") : dataFolder, false,
                   files.List(dataFolder.empty() ? std::filesystem::path(".") : dataFolder));
    clearLeftovers(folder, true, existing);

    if (plan.backUp) {
        IoResult r = files.MakeFolder(folder);
        if (r) r = files.Copy(dataFile, folder / FromUtf8(plan.name));
        if (!r) {
            result.status = IoResult::Failure("backup not made: " + r.message);
            return result;
        }
        result.made = true;
    }
    for (const std::string& name : plan.prune) {
        if (IoResult r = files.Remove(folder / FromUtf8(name)); !r) {
            result.status = IoResult::Failure("old backup not removed: " + r.message);
        } else {
            result.pruned.push_back(name);
        }
    }
    return result;
}

}  // namespace tessaly
