#include "notifier/local_time.h"

namespace tessaly {
namespace {

constexpr std::int64_t kSecondsADay = 86400;

std::int64_t DayNumber(DateKey date) {
    const CivilDate c = SplitDateKey(date);
    return DaysFromCivil(c.year, c.month, c.day);
}

}  // namespace

std::int64_t LocalSeconds(const LocalTime& t) {
    return DayNumber(t.date) * kSecondsADay + t.hour * 3600 + t.minute * 60 + t.second;
}

LocalTime LocalTimeFromSeconds(std::int64_t seconds) {
    std::int64_t days = seconds / kSecondsADay;
    std::int64_t rest = seconds % kSecondsADay;
    if (rest < 0) {  // before 1970: the day before, counted from its midnight
        rest += kSecondsADay;
        --days;
    }
    const CivilDate c = CivilFromDays(days);
    return {MakeDateKey(c.year, c.month, c.day), int(rest / 3600), int(rest / 60 % 60),
            int(rest % 60)};
}

LocalMinute LocalMinuteOf(DateKey date, int minuteOfDay) {
    return DayNumber(date) * 1440 + minuteOfDay;
}

}  // namespace tessaly
