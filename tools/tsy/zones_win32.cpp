// The system's zones on Windows: the zones of the registry, each with the rule it gives for a
// year (GetTimeZoneInformationForYear), found by their Windows names; IANA names go through
// the CLDR table first.
#include <windows.h>

#include <map>
#include <string>

#include "tools/tsy/zones.h"
#include "win/text.h"

namespace tessaly {
namespace {

constexpr std::int64_t kFileTimeAt1970 = 11644473600LL;  // seconds from 1601 to 1970

class RegistryProbe : public OffsetProbe {
  public:
    explicit RegistryProbe(const DYNAMIC_TIME_ZONE_INFORMATION& zone) : zone_(zone) {}

    int OffsetAt(UtcSeconds t) override {
        ULARGE_INTEGER ticks;
        ticks.QuadPart = static_cast<ULONGLONG>((t + kFileTimeAt1970) * 10000000LL);
        const FILETIME utcFile{ticks.LowPart, ticks.HighPart};
        SYSTEMTIME utc{}, local{};
        if (t < -kFileTimeAt1970 || !FileTimeToSystemTime(&utcFile, &utc)) return 0;
        const TIME_ZONE_INFORMATION* rule = RuleFor(utc.wYear);
        if (!rule || !SystemTimeToTzSpecificLocalTime(rule, &utc, &local)) return 0;
        FILETIME localFile;
        if (!SystemTimeToFileTime(&local, &localFile)) return 0;
        const ULARGE_INTEGER localTicks{{localFile.dwLowDateTime, localFile.dwHighDateTime}};
        return static_cast<int>((static_cast<std::int64_t>(localTicks.QuadPart) -
                                 static_cast<std::int64_t>(ticks.QuadPart)) /
                                10000000LL);
    }

  private:
    // The zone's rule for one year: zones change their rules over the years.
    const TIME_ZONE_INFORMATION* RuleFor(WORD year) {
        auto found = rules_.find(year);
        if (found == rules_.end()) {
            TIME_ZONE_INFORMATION rule{};
            if (!GetTimeZoneInformationForYear(year, &zone_, &rule)) return nullptr;
            found = rules_.emplace(year, rule).first;
        }
        return &found->second;
    }

    DYNAMIC_TIME_ZONE_INFORMATION zone_;
    std::map<WORD, TIME_ZONE_INFORMATION> rules_;
};

DYNAMIC_TIME_ZONE_INFORMATION LocalZone() {
    DYNAMIC_TIME_ZONE_INFORMATION zone{};
    if (GetDynamicTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID) zone = {};
    return zone;
}

class WindowsZones : public SystemZones {
  public:
    WindowsZones() : local_(std::make_unique<RegistryProbe>(LocalZone())) {}

    const ZoneRules& Local() override { return local_; }

    const ZoneRules* Find(std::string_view tzid) override {
        for (std::string_view name : ZoneNameCandidates(tzid)) {
            const std::string_view windows = WindowsZoneOfIana(name);
            const std::string key(windows.empty() ? name : windows);
            if (const auto found = named_.find(key); found != named_.end()) return &found->second;
            if (const std::optional<DYNAMIC_TIME_ZONE_INFORMATION> zone = Registered(key)) {
                return &named_.emplace(key, ProbedZone(std::make_unique<RegistryProbe>(*zone)))
                            .first->second;
            }
        }
        return nullptr;
    }

  private:
    // The registry's zone with this key name, if there is one.
    static std::optional<DYNAMIC_TIME_ZONE_INFORMATION> Registered(const std::string& key) {
        const std::wstring wanted = win::Utf8ToWide(key);
        DYNAMIC_TIME_ZONE_INFORMATION zone{};
        for (DWORD i = 0; EnumDynamicTimeZoneInformation(i, &zone) == ERROR_SUCCESS; ++i) {
            if (_wcsicmp(zone.TimeZoneKeyName, wanted.c_str()) == 0) return zone;
        }
        return std::nullopt;
    }

    ProbedZone local_;
    std::map<std::string, ProbedZone, std::less<>> named_;
};

}  // namespace

std::unique_ptr<SystemZones> MakeSystemZones() {
    return std::make_unique<WindowsZones>();
}

}  // namespace tessaly
