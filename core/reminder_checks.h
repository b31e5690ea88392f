// The checks that decide whether a reminder may be added, with their messages: the editor's
// Add/Replace and `tsy add` and `tsy import` all store a reminder only through these.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/date.h"
#include "core/reminder.h"

namespace tessaly {

// What the form's controls hold when Add/Replace is pressed.
struct FormInput {
    std::string kindText;     // kind box (201) text as typed
    std::string description;  // description box (203), Windows-1252 bytes
    std::string dateText;     // date box (205)
    std::string timeText;     // time box (208)
    std::string notifyText;   // notify box (209)
    std::string periodText;   // period box (213), read even while it is hidden
    int frequency = 0;        // checked option button 221..225 minus 220; 0 when none
};

// The form field a failed check moves the focus to.
enum class FormField { kNone, kKind, kDescription, kDate, kTime, kNotify, kPeriod };

// Message box icon: MB_ICONHAND or MB_ICONASTERISK.
enum class MessageIcon { kHand, kAsterisk };

struct FormMessage {
    std::string text;     // lines joined by "\r\n"
    std::string caption;  // "Invalid Date" or "Reminder Form"
    MessageIcon icon = MessageIcon::kHand;
};

struct FormResult {
    bool ok = false;
    // The normalised date text (mm-dd-yyyy). The date box receives it whenever
    // dateTextChanged is set, even when a later check fails; an empty date box is left alone.
    bool dateTextChanged = false;
    std::string dateText;
    // When !ok: the message to show and the field to focus afterwards.
    FormMessage message;
    FormField focus = FormField::kNone;
    // When ok: the record to insert (Add) or to put in place of the shown one (Replace).
    Reminder reminder;
};

// The checks of Add/Replace, in their order: date, notify maximum, kind, time format or year,
// completeness. Only the first failing check is reported. Pure: the caller inserts the
// reminder, marks the calendar and sets the dirty flag.
FormResult CheckReminderForm(const FormInput& input, DateKey today);

// The earliest year of origin a birthday or anniversary may have.
inline constexpr int kEarliestYear = 1800;

// A typed year of origin (kinds 1 and 2): 0 for an empty box, the year when the box holds
// nothing but a year from kEarliestYear to thisYear (blanks around it allowed), else none.
std::optional<int> ReadTypedYear(std::string_view yearText, int thisYear);

// Kind box lookups over the five kind names, without regard to case.
// Exact match of the trimmed text (CB_FINDSTRINGEXACT): 1..5, or 0 when none matches.
int FindKindExact(std::string_view kindText);
// First kind whose name begins with the text (CB_FINDSTRING): 1..5, or 0 when none does.
int FindKindPrefix(std::string_view kindText);

// A typed time read for kinds 3..5. badFormat: "Bad time format" (above 12:59). Otherwise
// value is the stored time: pm from 1:00 raised by 1200, "12:mm am" stored as 2400 + mm,
// and 0 (no time) when neither "am" nor "pm" (lower case) is typed.
struct TypedTime {
    bool badFormat = false;
    int value = 0;
};
TypedTime ReadTypedTime(std::string_view timeText);

}  // namespace tessaly
