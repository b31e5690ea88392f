// The date texts the form writes, one function for each format. Each reads back as the same
// date once the date check has completed it; they differ in zeros and year digits because
// each stands where a person reads or types it. (The list window's "12/05/2026" is its own,
// list::ListDateText, joined with "/".)
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

}  // namespace tessaly
