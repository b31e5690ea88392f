// The reminder form's rules, apart from the window: the texts the form and its status bar show,
// and where "&Next"/"&Prev" step to. The checks of Add/Replace are core's (reminder_checks.h),
// since `tsy` stores reminders through them too.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/date.h"
#include "core/reminder.h"
#include "core/reminder_checks.h"

namespace tessaly {

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

// The title of the question asked before a reminder is deleted (UTF-8): its description as
// stored, as the list window asks, so the user sees which reminder goes; a description of
// blanks only names the kind and the date instead.
std::string DeleteQuestionCaption(const Reminder& r);

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
