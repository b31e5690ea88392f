#include "core/reminder_checks.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "core/time_text.h"
#include "core/typed_number.h"

namespace tessaly {
namespace {

constexpr std::string_view kFormCaption = "Reminder Form";
constexpr std::string_view kUnknownKind =
    "Unknown event kind\r\nThe event must be birthday, anniversary, reminder, appointment or "
    "meeting";

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

bool AllDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::optional<int> ReadTypedYear(std::string_view yearText, int thisYear) {
    const std::string_view trimmed = TrimBlanks(yearText);
    if (trimmed.empty()) return 0;
    if (!AllDigits(trimmed)) return std::nullopt;
    const std::int64_t year = ReadLeadingNumber(trimmed);
    if (year < kEarliestYear || year > thisYear) return std::nullopt;
    return static_cast<int>(year);
}

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
    const std::string_view trimmedKind = TrimBlanks(input.kindText);
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

    // A kind text that names no kind would be stored as no kind at all, with its time box
    // read as a year; an empty one is left to the completeness check.
    if (!trimmedKind.empty() && kind == 0) {
        return Fail(std::move(result), std::string(kUnknownKind), kFormCaption, MessageIcon::kHand,
                    FormField::kKind);
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
    } else if (kind != 0) {
        // The year the notifier counts from: a time such as "2:30 pm" left in the box must not
        // become the year 2.
        const int thisYear = SplitDateKey(today).year;
        const std::optional<int> year = ReadTypedYear(input.timeText, thisYear);
        if (!year) {
            return Fail(std::move(result),
                        "Bad year\r\nThe year must be from " + std::to_string(kEarliestYear) +
                            " to " + std::to_string(thisYear) + ", or empty",
                        kFormCaption, MessageIcon::kHand, FormField::kTime);
        }
        t = *year;
    }

    // Only the kind names typed exactly as listed demand a time.
    const int timeCheck = trimmedKind == "appointment" || trimmedKind == "meeting" ? t : 1;
    if (trimmedKind.empty() || input.description.empty() || input.dateText.empty() ||
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

}  // namespace tessaly
