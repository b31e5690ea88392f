#include "notifier/popup_text.h"

#include <cctype>
#include <string_view>

#include "core/date.h"
#include "core/occurrence.h"
#include "core/time_text.h"

namespace tessaly {
namespace {

constexpr std::string_view kOrdinals[] = {"First", "Second", "Third", "Fourth"};

std::string_view OrdinalWord(int k) {
    return k >= 1 && k <= 4 ? kOrdinals[k - 1] : std::string_view{};
}

// "21st ", "12th ", "111th "... only 4 to 20 are forced to "th"; the remainder keeps n's sign.
std::string AgeText(int n) {
    int r = n % 10;
    if (n > 3 && n < 21) r = 0;
    const char* suffix = r == 1 ? "st " : r == 2 ? "nd " : r == 3 ? "rd " : "th ";
    return std::to_string(n) + suffix;
}

std::string_view TimePrefix(int kind) {
    if (kind == kAppointment) return "Appointment time: ";
    if (kind == kMeeting) return "Meeting time: ";
    return "Time: ";
}

}  // namespace

std::string KindTitle(int kind) {
    std::string title(KindName(kind));
    if (!title.empty()) title[0] = char(std::toupper(static_cast<unsigned char>(title[0])));
    return title;
}

PopupTexts ComposePopupTexts(const Reminder& r, DateKey today) {
    PopupTexts t;
    const int days = DaysUntil(r.date, today);
    const CivilDate d = SplitDateKey(r.date);

    t.title = KindTitle(r.kind);
    t.description = std::string(r.Description());

    if (r.timeOrYear != 0) {
        if (r.kind < 3) {
            t.title = AgeText(d.year - r.timeOrYear) + t.title;
        } else if (const std::string time = StoredTimeText(r.timeOrYear); !time.empty()) {
            // The prefix ends in a blank and one more stands before the hour.
            t.timeLine = std::string(TimePrefix(r.kind)) + " " + time;
        }
    }

    const int w = DayOfWeek(d.month, d.year, d.day);
    if (r.frequency == kWeekdayMonths) {
        t.dateLine =
            std::string(OrdinalWord(WeekOfMonth(d.day))) + " " + std::string(WeekdayName(w));
    } else {
        t.dateLine = std::string(WeekdayName(w)) + ", " + std::string(MonthName(d.month)) + " " +
                     std::to_string(d.day);
    }
    t.dateLine += "         ...";
    if (days > 0) {
        t.dateLine += std::to_string(days) + " more days";
    } else if (days == 0) {
        t.dateLine += "This is the day!";
    } else {
        t.dateLine += std::to_string(-static_cast<long long>(days)) + " days ago";
    }
    return t;
}

}  // namespace tessaly
