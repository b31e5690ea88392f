// Geometry and decisions of the two-month calendar, free of any window code: where each day
// cell lies, which day a click hits, which pair of months shows a date, which days are shaded.
#pragma once

#include <optional>
#include <string>

#include "core/date.h"
#include "core/reminder.h"
#include "editor/form/form_mode.h"

namespace tessaly::calendar {

// Fixed pixel layout in the main window's client area (it does not follow the screen's DPI).
constexpr int kPanelWidth = 220;      // panel k starts at x = 220 * k
constexpr int kCalendarBottom = 220;  // clicks with y below this belong to the calendar
constexpr int kColumnWidth = 29;
constexpr int kRowHeight = 25;
constexpr int kMaxRows = 6;

struct Point {
    int x = 0, y = 0;
    bool operator==(const Point&) const = default;
};

// Open rectangle: a point on its border is outside.
struct OpenRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool Contains(int x, int y) const { return left < x && x < right && top < y && y < bottom; }
    bool operator==(const OpenRect&) const = default;
};

// Column 0 (Sunday) .. 6 (Saturday), row 1 .. 6.
struct Cell {
    int column = 0, row = 0;
    bool operator==(const Cell&) const = default;
};

struct MonthYear {
    int month = 0, year = 0;
    bool operator==(const MonthYear&) const = default;
};

// Where a cell's day text is drawn, and the rectangle a click must fall strictly inside.
Point CellOrigin(int panel, Cell cell);
OpenRect CellHitRect(int panel, Cell cell);

// The 1st sits in row 1 at its weekday's column; each later day takes the next column.
Cell CellOfDay(int month, int year, int day);
int RowsOfMonth(int month, int year);

// The day of month/year shown in the panel whose cell the point hits; 0 for none.
int DayAtPoint(int panel, int month, int year, int x, int y);

// The month after month/year (December is followed by January of the next year).
MonthYear NextMonth(MonthYear my);
// The pair the arrow images move to: months on (or back, when negative), across years.
MonthYear StepMonths(MonthYear my, int months);

// The panel under x (0 left, 1 right: x beyond 220) and the month it shows in the pair.
int PanelAt(int x);
MonthYear PanelMonth(MonthYear pair, int x);
// The day of the pair under (x, y), 0 when the point hits no day cell (a border, a title,
// the form below the calendar).
int DayInPairAt(MonthYear pair, int x, int y);

// The pair (its left month) that shows a date: left months share the parity of today's
// month, so the arrow buttons and a shown date land on the same pairs.
MonthYear PairForDate(int month, int year, int todayMonth);

// The click point that selects the date's cell when the pair of PairForDate is drawn.
Point ClickPointForDate(int month, int day, int year, int todayMonth);

// Day number right-aligned in two characters; month name, a blank and the year.
std::string DayText(int day);
std::string MonthTitle(int month, int year);

// Days before today within today's month (and, by the same test, the matching early days of
// earlier months) are drawn plain even when a reminder falls on them.
bool ShadeSuppressed(int day, int month, int year, const CivilDate& today);

// Position (1-based) of the first entry of the date-ordered list dated key, or 0.
// A binary search: the current list can hold many thousands of entries.
int FirstReminderOn(const ReminderList& list, DateKey key);

// Whether the cell of day/month/year is drawn black on light grey.
bool CellShaded(int day, int month, int year, const CivilDate& today, const ReminderList* list);

// The button state after a drawing of the pair; nullopt leaves it as it is.
struct FormModeInputs {
    bool monthChange = false;
    bool changedMark = false;
    bool reminderCurrent = false;
    editor::Editing editing = editor::Editing::kNone;
    bool listOpen = false;
    bool cellClicked = false;
};
std::optional<editor::FormMode> FormModeAfterDrawing(const FormModeInputs& in);

// The calendar as it should stand on the screen: the painter reads this and nothing else.
struct Picture {
    int month = 1, year = 2000;  // the left panel; the right one shows the next month
    CivilDate today;
    const ReminderList* current = nullptr;  // for the shading; owned by the editor's model
    // The cell that carries the selection frame, by panel and day; day 0 for none.
    int framePanel = 0, frameDay = 0;
};

}  // namespace tessaly::calendar
