#include "tools/tsy/zones.h"

#include <algorithm>
#include <string_view>

#include "core/date.h"

namespace tessaly {
namespace {

#include "tools/tsy/windows_zones.inc"

constexpr std::int64_t kDay = 86400;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

template <size_t N>
std::string_view Lookup(const std::pair<std::string_view, std::string_view> (&table)[N],
                        std::string_view key) {
    const auto* end = table + N;
    const auto* at = std::lower_bound(
        table, end, key, [](const auto& entry, std::string_view k) { return entry.first < k; });
    return at != end && at->first == key ? at->second : std::string_view();
}

}  // namespace

UtcSeconds UtcFromWall(const ZoneRules& zone, WallSeconds wall) {
    // Offsets differ from UTC by less than a day, so the offsets a day either side are the
    // ones before and after any change that could touch this clock time.
    const int before = zone.OffsetAt(wall - kDay);
    const int after = zone.OffsetAt(wall + kDay);
    const UtcSeconds early = wall - std::max(before, after);
    const UtcSeconds late = wall - std::min(before, after);
    if (early + zone.OffsetAt(early) == wall) return early;
    if (late + zone.OffsetAt(late) == wall) return late;
    return wall - before;  // skipped by the clocks
}

WallSeconds WallFromUtc(const ZoneRules& zone, UtcSeconds t) {
    return t + zone.OffsetAt(t);
}

TransitionZone::TransitionZone(int initialOffset, std::vector<std::pair<UtcSeconds, int>> changes)
    : initial_(initialOffset), changes_(std::move(changes)) {
    std::stable_sort(changes_.begin(), changes_.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
}

int TransitionZone::OffsetAt(UtcSeconds t) const {
    const auto next = std::upper_bound(changes_.begin(), changes_.end(), t,
                                       [](UtcSeconds v, const auto& c) { return v < c.first; });
    return next == changes_.begin() ? initial_ : std::prev(next)->second;
}

ProbedZone::ProbedZone(std::unique_ptr<OffsetProbe> probe) : probe_(std::move(probe)) {}

const ProbedZone::Year& ProbedZone::YearOf(std::int64_t year) const {
    if (const auto found = years_.find(year); found != years_.end()) return found->second;
    Year y;
    const UtcSeconds from = DaysFromCivil(year, 1, 1) * kDay;
    const UtcSeconds to = DaysFromCivil(year + 1, 1, 1) * kDay;
    probe_->Open();
    y.initial = probe_->OffsetAt(from);
    int offset = y.initial;
    for (UtcSeconds at = from; at < to;) {
        const UtcSeconds next = std::min(at + 7 * kDay, to);
        const int then = probe_->OffsetAt(next);
        if (then != offset) {
            // The first second with a new offset lies in (at, next].
            UtcSeconds lo = at, hi = next;
            while (hi - lo > 1) {
                const UtcSeconds mid = lo + (hi - lo) / 2;
                (probe_->OffsetAt(mid) == offset ? lo : hi) = mid;
            }
            if (hi < to) y.changes.emplace_back(hi, then);
            offset = then;
        }
        at = next;
    }
    probe_->Close();
    return years_.emplace(year, std::move(y)).first->second;
}

int ProbedZone::OffsetAt(UtcSeconds t) const {
    const Year& y = YearOf(CivilFromDays(FloorDiv(t, kDay)).year);
    const auto next = std::upper_bound(y.changes.begin(), y.changes.end(), t,
                                       [](UtcSeconds v, const auto& c) { return v < c.first; });
    return next == y.changes.begin() ? y.initial : std::prev(next)->second;
}

std::string_view WindowsZoneOfIana(std::string_view iana) {
    return Lookup(kIanaToWindows, iana);
}

std::string_view IanaZoneOfWindows(std::string_view windows) {
    return Lookup(kWindowsToIana, windows);
}

std::vector<std::string_view> ZoneNameCandidates(std::string_view tzid) {
    std::vector<std::string_view> names;
    if (tzid.empty()) return names;
    names.push_back(tzid);
    if (const std::string_view iana = IanaZoneOfWindows(tzid); !iana.empty()) names.push_back(iana);
    if (tzid.front() == '/') {
        for (size_t at = tzid.find('/'); at != std::string_view::npos;
             at = tzid.find('/', at + 1)) {
            if (at + 1 < tzid.size()) names.push_back(tzid.substr(at + 1));
        }
    }
    return names;
}

}  // namespace tessaly
