// The reminder form's rules, apart from the window: the checks of Add/Replace with their
// messages, the texts the form and its status bar show, and where "&Next"/"&Prev" step to.
// The window code reads its controls into a FormInput, calls these and writes the answers back.
#pragma once

#include <string>
#include <string_view>
#include <vector>

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

// The checks of Add/Replace, in their order: date, notify maximum, time format,
// completeness. Only the first failing check is reported. Pure: the caller inserts the
// reminder, marks the calendar and sets the dirty flag.
FormResult CheckReminderForm(const FormInput& input, DateKey today);

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

// Choosing a kind in the kind box (CBN_SELENDOK): label 207's text and the Frequency to check.
struct KindChoice {
    std::string_view timeLabel;  // "year" for kinds 1 and 2, "time" for 3..5
    int frequency = 0;           // 2 for kinds 1 and 2, 1 for 3..5
};
KindChoice ChooseKind(int kind);

// The time box and label 207 when a reminder fills the form. timeText is empty for a
// timeOrYear of 0; timeLabel is then empty too, meaning label 207 keeps its caption.
struct FormTimeFields {
    std::string timeText;        // "9:30 am" for kinds 3..5, the year's number otherwise
    std::string_view timeLabel;  // "time:" for kinds 3..5, "year:" otherwise
};
FormTimeFields FormTimeText(int kind, int timeOrYear);

// The period box (213) and its label (214) for a Frequency code (UpdatePeriodFields).
// change is false when the date text fails ValidateDateText (or the code is not 1..5):
// then nothing on the form changes. Otherwise show says whether box and label are visible
// and label is their text: "months", "weeks", or for code 5 "months\r\n2nd Tuesday" (the
// ordinal is empty from the 29th on, which leaves " Tuesday" on the second line).
struct PeriodFields {
    bool change = false;
    bool show = false;
    std::string label;
};
PeriodFields PeriodLabelText(int code, std::string_view dateText, DateKey today);

// Same-date numbers, indexed by 1-based list position: element 0 is unused (always 0) and
// the vector has count + 1 elements. Each entry in a run of two or more consecutive
// entries with the same date gets its number 1, 2, ... within the run; an entry whose date
// no neighbour shares gets 0.
std::vector<int> SameDateOrdinals(const ReminderList& current);

// Status bar part 2: "  Reminder 3 of 12" for position 3 of 12.
std::string StatusPositionText(int position, int count);
// Status bar part 3, in two forms: " 2" for same-date number 2 in both. They differ only for
// a date no other reminder shares: the form's commands (Add, Delete, Next/Prev, a click)
// empty the part, while the calendar, which rewrites both parts after each of its drawings,
// writes three blanks. On the screen the two look the same; the part's text tells which step
// wrote it last.
std::string SameDateText(int sameDateNumber);
std::string CalendarSameDateText(int sameDateNumber);

// Where "&Next" (next = true) or "&Prev" steps from the current index. With no reminder
// shown (currentIndex 0) and a day chosen in the calendar (selectedKey not 0), the step
// starts from that day; otherwise it is the current index plus or minus one. A result
// outside 1..count means there is nowhere to go and nothing changes.
int SteppingIndex(bool next, int currentIndex, DateKey selectedKey, const ReminderList& current);

}  // namespace tessaly
