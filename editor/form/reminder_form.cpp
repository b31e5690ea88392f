#include "editor/form/reminder_form.h"

#include <algorithm>
#include <array>

#include "core/time_text.h"
#include "core/typed_number.h"

namespace tessaly {
namespace {

constexpr std::string_view kFormCaption = "Reminder Form";

FormResult Fail(FormResult result, std::string text, std::string_view caption, MessageIcon icon,
                FormField focus) {
    result.ok = false;
    result.message = {std::move(text), std::string(caption), icon};
    result.focus = focus;
    return result;
}

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAscii(x) == LowerAscii(y);
           });
}

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

int FindKindExact(std::string_view kindText) {
    const std::string_view trimmed = TrimBlanks(kindText);
    for (int kind = 1; kind <= 5; ++kind) {
        if (EqualsNoCase(trimmed, KindName(kind))) return kind;
    }
    return 0;
}

int FindKindPrefix(std::string_view kindText) {
    for (int kind = 1; kind <= 5; ++kind) {
        const std::string_view name = KindName(kind);
        if (kindText.size() <= name.size() &&
            EqualsNoCase(kindText, name.substr(0, kindText.size())))
            return kind;
    }
    return 0;
}

TypedTime ReadTypedTime(std::string_view timeText) {
    std::string text(timeText);
    if (const size_t colon = text.find(':'); colon != std::string::npos) text[colon] = '.';

    // Only lower-case marks count; "pm" wins when both are typed.
    std::string_view suffix;
    if (text.find("am") != std::string::npos) suffix = "am";
    if (text.find("pm") != std::string::npos) suffix = "pm";
    if (!suffix.empty()) text.resize(text.find(suffix));

    const std::int64_t t = ReadLeadingHundredths(text);
    if (t > 1259) return {true, 0};
    int value = static_cast<int>(t);
    if (suffix == "pm") {
        if (value >= 100 && value <= 1159) value += 1200;
    } else if (suffix == "am") {
        // Twelve o'clock at night is kept apart from noon: 12:mm am is 24mm.
        if (value >= 1200) value += 1200;
    } else {
        value = 0;
    }
    return {false, value};
}

FormResult CheckReminderForm(const FormInput& input, DateKey today) {
    FormResult result;
    const int kind = FindKindExact(input.kindText);

    if (!input.dateText.empty()) {
        result.dateText = input.dateText;
        result.dateTextChanged = true;
        std::string message = ValidateDateText(result.dateText, today);
        if (!message.empty()) {
            return Fail(std::move(result), std::move(message), "Invalid Date", MessageIcon::kHand,
                        FormField::kDate);
        }
    }

    const int notify = static_cast<int>(ReadLeadingNumber(input.notifyText, 255));
    const int code = input.frequency;
    if (notify > 30) {
        return Fail(std::move(result), "Maximum of 30 days", kFormCaption, MessageIcon::kHand,
                    FormField::kNotify);
    }

    int t = 0;
    if (kind >= kReminderKind) {
        if (!input.timeText.empty()) {
            const TypedTime typed = ReadTypedTime(input.timeText);
            if (typed.badFormat) {
                return Fail(std::move(result), "Bad time format", kFormCaption, MessageIcon::kHand,
                            FormField::kTime);
            }
            t = typed.value;
        }
    } else {
        t = static_cast<int>(ReadLeadingNumber(input.timeText, 32767));
    }

    // Only the kind names typed exactly as listed demand a time.
    const std::string_view trimmedKind = TrimBlanks(input.kindText);
    const int timeCheck = trimmedKind == "appointment" || trimmedKind == "meeting" ? t : 1;
    if (input.kindText.empty() || input.description.empty() || input.dateText.empty() ||
        timeCheck == 0 || input.notifyText.empty()) {
        std::string text = "Must fill all fields";
        if (timeCheck == 0) text += "\r\n... and time must include am or pm";
        return Fail(std::move(result), std::move(text), kFormCaption, MessageIcon::kAsterisk,
                    FormField::kKind);
    }

    // The normalised text is mm-dd-yyyy with a year of 2000..2099 once the date check passed.
    const std::string& date = result.dateText;
    Reminder& r = result.reminder;
    r.kind = static_cast<std::uint8_t>(kind);
    r.SetDescription(input.description);
    r.date =
        MakeDateKey(ReadLeadingNumber(date.substr(date.size() - std::min<size_t>(4, date.size()))),
                    ReadLeadingNumber(date.substr(0, 2)),
                    ReadLeadingNumber(date.size() > 3 ? date.substr(3, 2) : std::string()));
    r.timeOrYear = static_cast<std::int16_t>(t);
    r.notifyDays = static_cast<std::uint8_t>(notify);
    r.period = static_cast<std::uint8_t>(
        std::max<std::int64_t>(1, ReadLeadingNumber(input.periodText, 255)));
    r.frequency = static_cast<std::uint8_t>(code);
    result.ok = true;
    return result;
}

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
