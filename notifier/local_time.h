// The local wall-clock time the notifier reads, and counting on it in whole seconds or minutes.
#pragma once

#include <cstdint>

#include "core/date.h"

namespace tessaly {

struct LocalTime {
    DateKey date = 0;
    int hour = 0;  // 0..23
    int minute = 0;
    int second = 0;
    bool operator==(const LocalTime&) const = default;
};

// Seconds since 1970-01-01 00:00 as the local clock shows them: no time zone, so a clock set
// ahead or back, or summer time beginning, moves the count with it.
std::int64_t LocalSeconds(const LocalTime& t);
LocalTime LocalTimeFromSeconds(std::int64_t seconds);

// Minutes on the same count; a clock face's resolution, which is what alerts go off by.
using LocalMinute = std::int64_t;
LocalMinute LocalMinuteOf(DateKey date, int minuteOfDay);
inline LocalMinute LocalMinuteOf(const LocalTime& t) {
    return LocalMinuteOf(t.date, t.hour * 60 + t.minute);
}

}  // namespace tessaly
