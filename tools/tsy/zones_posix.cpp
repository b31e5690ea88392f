// The system's zones on POSIX: the C library's local time (which follows TZ), and any zone of
// the tz database by name, asked of the same C library with TZ switched to that zone.
#include <sys/stat.h>

#include <cstdlib>
#include <ctime>
#include <map>
#include <optional>
#include <string>

#include "tools/tsy/zones.h"

namespace tessaly {
namespace {

int LocalOffset(UtcSeconds t) {
    const std::time_t at = static_cast<std::time_t>(t);
    std::tm local{};
    if (!localtime_r(&at, &local)) return 0;
    return static_cast<int>(local.tm_gmtoff);
}

class LocalProbe : public OffsetProbe {
  public:
    int OffsetAt(UtcSeconds t) override { return LocalOffset(t); }
};

// Switches TZ to one zone while the questions run and puts it back afterwards, so the local
// zone is untouched between runs.
class NamedProbe : public OffsetProbe {
  public:
    explicit NamedProbe(std::string name) : name_(std::move(name)) {}
    void Open() override {
        const char* old = std::getenv("TZ");
        saved_ = old ? std::optional<std::string>(old) : std::nullopt;
        setenv("TZ", name_.c_str(), 1);
        tzset();
    }
    void Close() override {
        if (saved_) {
            setenv("TZ", saved_->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }
    int OffsetAt(UtcSeconds t) override { return LocalOffset(t); }

  private:
    std::string name_;
    std::optional<std::string> saved_;
};

// Only plain zone names reach TZ: no absolute paths, no "..", nothing a POSIX rule could parse.
bool PlainZoneName(std::string_view name) {
    if (name.empty() || name.front() == '/' || name.find("..") != std::string_view::npos) {
        return false;
    }
    for (char c : name) {
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                        (c >= '0' && c <= '9') || c == '/' || c == '_' || c == '-' || c == '+';
        if (!ok) return false;
    }
    return true;
}

bool ZoneFileExists(std::string_view name) {
    const char* dir = std::getenv("TZDIR");
    const std::string path =
        std::string(dir && *dir ? dir : "/usr/share/zoneinfo") + "/" + std::string(name);
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

class PosixZones : public SystemZones {
  public:
    PosixZones() : local_(std::make_unique<LocalProbe>()) { tzset(); }

    const ZoneRules& Local() override { return local_; }

    const ZoneRules* Find(std::string_view tzid) override {
        for (std::string_view name : ZoneNameCandidates(tzid)) {
            if (!PlainZoneName(name) || !ZoneFileExists(name)) continue;
            auto found = named_.find(name);
            if (found == named_.end()) {
                found = named_
                            .emplace(std::string(name),
                                     ProbedZone(std::make_unique<NamedProbe>(std::string(name))))
                            .first;
            }
            return &found->second;
        }
        return nullptr;
    }

  private:
    ProbedZone local_;
    std::map<std::string, ProbedZone, std::less<>> named_;
};

}  // namespace

std::unique_ptr<SystemZones> MakeSystemZones() {
    return std::make_unique<PosixZones>();
}

}  // namespace tessaly
