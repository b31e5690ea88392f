// Time zones for imported calendar times: a zone's offset from UTC at any instant, turning a
// zone's clock time into UTC and back, zones built from a list of changes or by asking the
// system, and the system's own zones behind one seam (the local zone and zones found by name).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace tessaly {

// Seconds since 1970-01-01 00:00 UTC.
using UtcSeconds = std::int64_t;
// Seconds since 1970-01-01 00:00 on a zone's own clock (the clock time read as if it were UTC).
using WallSeconds = std::int64_t;

// How far a zone's clocks are ahead of UTC.
class ZoneRules {
  public:
    virtual ~ZoneRules() = default;
    // Seconds east of UTC in force at the instant t.
    virtual int OffsetAt(UtcSeconds t) const = 0;
};

// A clock time of the zone as an instant. A time the clocks skip (spring forward) is read with
// the offset before the change, so 02:30 on a night that jumps from 02:00 to 03:00 is 03:30; a
// time the clocks pass twice (fall back) is the first of the two.
UtcSeconds UtcFromWall(const ZoneRules& zone, WallSeconds wall);
WallSeconds WallFromUtc(const ZoneRules& zone, UtcSeconds t);

// A zone given by its changes: the offset before the first one, then (instant, offset from then
// on) in any order.
class TransitionZone : public ZoneRules {
  public:
    TransitionZone(int initialOffset, std::vector<std::pair<UtcSeconds, int>> changes);
    int OffsetAt(UtcSeconds t) const override;

  private:
    int initial_;
    std::vector<std::pair<UtcSeconds, int>> changes_;  // sorted by instant
};

// The system's answer for one zone: the offset at an instant. Open and Close bracket a run of
// questions, for systems that must switch to the zone first.
class OffsetProbe {
  public:
    virtual ~OffsetProbe() = default;
    virtual void Open() {}
    virtual void Close() {}
    virtual int OffsetAt(UtcSeconds t) = 0;
};

// A zone that learns its changes from a probe, one year at a time and only for the years asked
// about: the offset is sampled every week and each change found to the second. Two changes
// within one week are seen as none (no zone in use does that).
class ProbedZone : public ZoneRules {
  public:
    explicit ProbedZone(std::unique_ptr<OffsetProbe> probe);
    int OffsetAt(UtcSeconds t) const override;

  private:
    struct Year {
        int initial = 0;
        std::vector<std::pair<UtcSeconds, int>> changes;
    };
    const Year& YearOf(std::int64_t year) const;

    std::unique_ptr<OffsetProbe> probe_;
    mutable std::map<std::int64_t, Year> years_;
};

// The zones the running system knows.
class SystemZones {
  public:
    virtual ~SystemZones() = default;
    // This computer's zone.
    virtual const ZoneRules& Local() = 0;
    // The zone a calendar names, by its IANA name ("Europe/Berlin") or its Windows name
    // ("W. Europe Standard Time"); null when the system has no such zone.
    virtual const ZoneRules* Find(std::string_view tzid) = 0;
};

// The running system's zones: the tz database natively, the registry's zones on Windows.
std::unique_ptr<SystemZones> MakeSystemZones();

// Names from the CLDR table; empty when the name is not in it.
std::string_view WindowsZoneOfIana(std::string_view iana);
std::string_view IanaZoneOfWindows(std::string_view windows);

// The names under which a system might know a calendar's TZID, best first: the TZID itself,
// its IANA name when it is a Windows name, and for the path-like TZIDs some programs write
// ("/mozilla.org/20050126_1/America/New_York") the trailing parts that look like zone names.
std::vector<std::string_view> ZoneNameCandidates(std::string_view tzid);

}  // namespace tessaly
