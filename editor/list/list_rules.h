// The list window's rules apart from the window: the text of one line and its columns.
#pragma once

#include <string>
#include <string_view>

#include "core/date.h"
#include "core/reminder.h"
#include "core/text_measure.h"

namespace tessaly::list {

// The widest description a line shows, in pixels of the list's font.
inline constexpr int kDescriptionWidth = 300;

// Which list the window shows.
enum class ListMode { kCurrent, kArchive };

// "12/25/2026" with separator '/', "12-25-2026" with '-': two, two and four digits.
std::string ListDateText(DateKey key, char separator);
// "Sun" .. "Sat".
std::string_view ListWeekdayText(DateKey key);
// A stored clock time as every window shows it: "9:30 am", "12:15 am" for 15 and 2415.
std::string FormatListTime(int t);
// The time column: empty unless the kind carries a clock time (reminder, appointment,
// meeting) and one is stored; birthdays and anniversaries hold a year there instead.
std::string ListTimeText(const Reminder& r);

// The six columns of one line.
struct ListColumns {
    std::string date, weekday, time, kind, description, notify;
};
// The description is trimmed and then cut to kDescriptionWidth in the list's font; notify
// carries one leading blank.
ListColumns ListLineColumns(const Reminder& r, const TextMeasure& font);
// The columns joined by TAB, as the list box shows them.
std::string ListLineText(const Reminder& r, const TextMeasure& font);

}  // namespace tessaly::list
