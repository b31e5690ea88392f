// The date texts the editor writes, one function for each format. Every one of them reads
// back as the same date through DateKeyFromText; they differ in zeros, year digits and
// separator because each is written where a person reads or types it.
#pragma once

#include <string>

#include "core/date.h"

namespace tessaly {

// "12-05-2026": a stored date in the form's date box (FillForm, Next/Prev, "&Back").
std::string FormDateText(DateKey key);
// "12-5-2026": "Ne&w" on the chosen day, numbers as the user would type them, no zeros.
std::string NewReminderDateText(int month, int day, int year);
// "12-05-26": a double-click in the calendar, two digits each; the Add check completes
// the year to 20yy, so it stores the same date as the other forms.
std::string DoubleClickDateText(int month, int day, int year);
// "12/05/2026": a line of the list window, joined with "/" where the form uses "-".
std::string ListDateText(DateKey key);

}  // namespace tessaly
