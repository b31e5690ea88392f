#include "editor/form/reminder_form.h"

#include <algorithm>
#include <array>

#include "core/codepage.h"
#include "core/time_text.h"
#include "core/typed_number.h"
#include "editor/form/date_texts.h"

namespace tessaly {
namespace {

// The word at 1-based position n of a blank-separated table; empty when there is none.
std::string_view Word(std::string_view table, int n) {
    for (int i = 1; n >= 1 && !table.empty(); ++i) {
        const size_t blank = table.find(' ');
        const std::string_view word = table.substr(0, blank);
        if (i == n) return word;
        if (blank == std::string_view::npos) break;
        table.remove_prefix(blank + 1);
    }
    return {};
}

}  // namespace

KindChoice ChooseKind(int kind) {
    if (kind == kBirthday || kind == kAnniversary) return {"year", kAnnual};
    return {"time", kOneTime};
}

FormTimeFields FormTimeText(int kind, int timeOrYear) {
    if (timeOrYear == 0) return {};
    if (kind >= kReminderKind && kind <= kMeeting) return {StoredTimeText(timeOrYear), "time:"};
    return {std::to_string(timeOrYear), "year:"};
}

PeriodFields PeriodLabelText(int code, std::string_view dateText, DateKey today) {
    std::string checked(dateText);
    if (!ValidateDateText(checked, today).empty()) return {};
    switch (code) {
        case kOneTime:
        case kAnnual:
            return {true, false, {}};
        case kMonthlyPeriod:
            return {true, true, "months"};
        case kWeeklyPeriod:
            return {true, true, "weeks"};
        case kWeekdayMonths: {
            // The checked copy, not the typed text: a date typed without its year means this
            // year, and its weekday must be taken in this year.
            const CivilDate d = SplitDateKey(DateKeyFromText(checked));
            std::string label = "months\r\n";
            label += Word("1st 2nd 3rd 4th", WeekOfMonth(d.day));
            label += ' ';
            label += WeekdayName(DayOfWeek(d.month, d.year, d.day));
            return {true, true, std::move(label)};
        }
        default:
            return {};
    }
}

std::string DeleteQuestionCaption(const Reminder& r) {
    if (!TrimBlanks(r.Description()).empty()) return Cp1252ToUtf8(r.Description());
    std::string caption(KindName(r.kind));
    if (!caption.empty()) caption += ' ';
    return caption + FormDateText(r.date);
}

std::vector<int> SameDateOrdinals(const ReminderList& current) {
    const int count = current.count();
    std::vector<int> numbers(static_cast<size_t>(count) + 1, 0);
    for (int start = 1; start <= count;) {
        int end = start;
        while (end < count && current.at(end + 1).date == current.at(start).date) ++end;
        if (end > start) {
            for (int i = start; i <= end; ++i) numbers[static_cast<size_t>(i)] = i - start + 1;
        }
        start = end + 1;
    }
    return numbers;
}

std::string StatusPositionText(int position, int count) {
    return "  Reminder " + std::to_string(position) + " of " + std::to_string(count);
}

std::string SameDateText(int sameDateNumber) {
    if (sameDateNumber == 0) return {};
    std::string text = " ";
    text += std::to_string(sameDateNumber);
    return text;
}

std::string CalendarSameDateText(int sameDateNumber) {
    return sameDateNumber == 0 ? std::string(3, ' ') : SameDateText(sameDateNumber);
}

int SteppingIndex(bool next, int currentIndex, DateKey selectedKey, const ReminderList& current) {
    if (selectedKey == 0 || currentIndex != 0) return next ? currentIndex + 1 : currentIndex - 1;

    const int count = current.count();
    int p = 0;
    for (int i = 2; i <= count; ++i) {
        if (current.at(i - 1).date <= selectedKey && current.at(i).date >= selectedKey) {
            p = i;
            break;
        }
    }
    if (next) {
        return count >= 1 && current.at(1).date > selectedKey ? 1 : p;
    }
    return count >= 1 && current.at(count).date < selectedKey ? count : p - 1;
}

}  // namespace tessaly
