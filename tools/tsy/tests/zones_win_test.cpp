// The registry's time zones under Wine: found by IANA and by Windows names, with the rule each
// year gives, and this computer's own zone.
#include <gtest/gtest.h>

#include "core/date.h"
#include "tools/tsy/zones.h"

namespace tessaly {
namespace {

UtcSeconds Utc(int y, int m, int d, int h = 0) {
    return DaysFromCivil(y, m, d) * 86400 + h * 3600;
}

TEST(WindowsZones, NamedZonesFollowTheirYearsRules) {
    const std::unique_ptr<SystemZones> zones = MakeSystemZones();
    struct Case {
        const char* name;
        UtcSeconds at;
        int offset;
    };
    const Case cases[] = {
        {"America/New_York", Utc(2027, 1, 15, 12), -5 * 3600},
        {"America/New_York", Utc(2027, 3, 15, 12), -4 * 3600},  // US summer time starts 14 March
        {"Europe/Berlin", Utc(2027, 3, 15, 12), 3600},          // Europe's on 28 March
        {"Europe/Berlin", Utc(2027, 7, 1), 2 * 3600},
        {"W. Europe Standard Time", Utc(2027, 10, 31, 0), 2 * 3600},
        {"W. Europe Standard Time", Utc(2027, 10, 31, 2), 3600},
        {"Tokyo Standard Time", Utc(2027, 7, 1), 9 * 3600},
        {"/mozilla.org/20050126_1/America/New_York", Utc(2027, 7, 1), -4 * 3600},
    };
    for (const Case& c : cases) {
        const ZoneRules* zone = zones->Find(c.name);
        ASSERT_NE(zone, nullptr) << c.name;
        EXPECT_EQ(zone->OffsetAt(c.at), c.offset) << c.name << " at " << c.at;
    }
    EXPECT_EQ(zones->Find("Nowhere/Atlantis"), nullptr);
    EXPECT_EQ(zones->Find("(UTC-05:00) Eastern Time (US & Canada)"), nullptr);
}

TEST(WindowsZones, LocalZoneAnswersEveryInstant) {
    const std::unique_ptr<SystemZones> zones = MakeSystemZones();
    const ZoneRules& local = zones->Local();
    // Whatever zone the machine is in, its offset is a real one and a clock time maps back.
    for (UtcSeconds t : {Utc(2027, 1, 15, 12), Utc(2027, 7, 15, 12)}) {
        const int offset = local.OffsetAt(t);
        EXPECT_GE(offset, -14 * 3600);
        EXPECT_LE(offset, 14 * 3600);
        EXPECT_EQ(UtcFromWall(local, WallFromUtc(local, t)), t);
    }
}

}  // namespace
}  // namespace tessaly
