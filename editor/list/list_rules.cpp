// The list window's line texts.
#include "editor/list/list_rules.h"

#include <cstdio>

#include "core/time_text.h"
#include "core/typed_number.h"

namespace tessaly::list {

std::string ListDateText(DateKey key, char separator) {
    const CivilDate d = SplitDateKey(key);
    char buf[24];
    std::snprintf(buf, sizeof buf, "%02d%c%02d%c%04d", d.month, separator, d.day, separator,
                  d.year);
    return buf;
}

std::string_view ListWeekdayText(DateKey key) {
    static constexpr std::string_view kDays = "Sun Mon Tue Wed Thu Fri Sat";
    const CivilDate d = SplitDateKey(key);
    const int weekday = DayOfWeek(d.month, d.year, d.day);
    if (weekday < 0 || weekday > 6) return {};
    return kDays.substr(static_cast<std::size_t>(4 * weekday), 3);
}

std::string FormatListTime(int t) {
    return StoredTimeText(t);
}

std::string ListTimeText(const Reminder& r) {
    const bool carriesTime = r.kind >= kReminderKind && r.kind <= kMeeting;
    if (!carriesTime || r.timeOrYear == 0) return {};
    return FormatListTime(r.timeOrYear);
}

ListColumns ListLineColumns(const Reminder& r, const TextMeasure& font) {
    ListColumns c;
    c.date = ListDateText(r.date, '/');
    c.weekday = ListWeekdayText(r.date);
    c.time = ListTimeText(r);
    c.kind = KindName(r.kind);
    c.description = font.Fit(TrimSpaces(r.Description()), kDescriptionWidth);
    c.notify = " " + std::to_string(r.notifyDays);
    return c;
}

std::string ListLineText(const Reminder& r, const TextMeasure& font) {
    const ListColumns c = ListLineColumns(r, font);
    return c.date + '\t' + c.weekday + '\t' + c.time + '\t' + c.kind + '\t' + c.description + '\t' +
           c.notify;
}

}  // namespace tessaly::list
