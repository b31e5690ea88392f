// The daily backup rule and its file-system side.
#include "core/backup.h"

#include <algorithm>
#include <cctype>
#include <system_error>

namespace tessaly {
namespace {

constexpr std::string_view kPrefix = "Tessaly-";
constexpr std::string_view kSuffix = ".tsy";

bool Digits(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// For messages: UTF-8 on every platform, never an exception for a name the code page lacks.
std::string Utf8(const std::filesystem::path& p) {
    const std::u8string u = p.u8string();
    return std::string(u.begin(), u.end());
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
};

}  // namespace

std::string BackupName(DateKey day) {
    const CivilDate d = SplitDateKey(day);
    auto two = [](int n) { return std::string(1, char('0' + n / 10 % 10)) + char('0' + n % 10); };
    const std::string y = std::to_string(d.year);
    const std::string year = std::string(y.size() < 4 ? 4 - y.size() : 0, '0') + y;
    return std::string(kPrefix) + year + "-" + two(d.month) + "-" + two(d.day) +
           std::string(kSuffix);
}

std::optional<DateKey> BackupDay(std::string_view name) {
    // Tessaly-YYYY-MM-DD.tsy, compared without regard to case as Windows names are.
    if (name.size() != kPrefix.size() + 10 + kSuffix.size()) return std::nullopt;
    auto same = [](std::string_view a, std::string_view b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return std::tolower(static_cast<unsigned char>(x)) ==
                   std::tolower(static_cast<unsigned char>(y));
        });
    };
    if (!same(name.substr(0, kPrefix.size()), kPrefix) ||
        !same(name.substr(name.size() - kSuffix.size()), kSuffix)) {
        return std::nullopt;
    }
    const std::string_view date = name.substr(kPrefix.size(), 10);
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

BackupPlan PlanDailyBackup(std::span<const std::string> existing, DateKey today,
                           bool dataFileHasContent) {
    BackupPlan plan;
    plan.name = BackupName(today);
    std::vector<std::pair<DateKey, std::string>> days;
    bool haveToday = false;
    for (const std::string& name : existing) {
        const std::optional<DateKey> day = BackupDay(name);
        if (!day) continue;
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

BackupFiles& SystemBackupFiles() {
    static SystemFiles files;
    return files;
}

BackupResult KeepDailyBackup(const std::filesystem::path& dataFile, DateKey today,
                             BackupFiles& files) {
    BackupResult result;
    const std::filesystem::path folder = BackupFolder(dataFile);
    const std::vector<std::string> existing = files.List(folder);
    const BackupPlan plan = PlanDailyBackup(existing, today, files.HasContent(dataFile));
    if (plan.backUp) {
        IoResult r = files.MakeFolder(folder);
        if (r) r = files.Copy(dataFile, folder / plan.name);
        if (!r) {
            result.status = IoResult::Failure("backup not made: " + r.message);
            return result;
        }
        result.made = true;
    }
    for (const std::string& name : plan.prune) {
        if (IoResult r = files.Remove(folder / name); !r) {
            result.status = IoResult::Failure("old backup not removed: " + r.message);
        } else {
            result.pruned.push_back(name);
        }
    }
    return result;
}

}  // namespace tessaly
