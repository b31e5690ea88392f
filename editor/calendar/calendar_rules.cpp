// Geometry and decisions of the two-month calendar.
#include "editor/calendar/calendar_rules.h"

#include <algorithm>

namespace tessaly::calendar {

Point CellOrigin(int panel, Cell cell) {
    return {kPanelWidth * panel + 15 + kColumnWidth * cell.column, 45 + kRowHeight * cell.row};
}

OpenRect CellHitRect(int panel, Cell cell) {
    const Point o = CellOrigin(panel, cell);
    // The rectangle starts at the text origin and spans one column and one row; its
    // borders belong to no cell.
    return {o.x, o.y, o.x + kColumnWidth, o.y + kRowHeight};
}

Cell CellOfDay(int month, int year, int day) {
    const int slot = DayOfWeek(month, year, 1) + day - 1;  // 0-based position in the grid
    return {slot % 7, 1 + slot / 7};
}

int RowsOfMonth(int month, int year) {
    return CellOfDay(month, year, DaysInMonth(month, year)).row;
}

int DayAtPoint(int panel, int month, int year, int x, int y) {
    // Same test as the painter: each day's own rectangle, in day order.
    const int days = DaysInMonth(month, year);
    for (int d = 1; d <= days; ++d) {
        if (CellHitRect(panel, CellOfDay(month, year, d)).Contains(x, y)) return d;
    }
    return 0;
}

MonthYear NextMonth(MonthYear my) {
    return my.month >= 12 ? MonthYear{1, my.year + 1} : MonthYear{my.month + 1, my.year};
}

MonthYear StepMonths(MonthYear my, int months) {
    // Months counted from year 0 (0-based), so any step carries into the year exactly.
    const long long total = static_cast<long long>(my.year) * 12 + (my.month - 1) + months;
    const long long year = total >= 0 ? total / 12 : -((-total + 11) / 12);
    return {static_cast<int>(total - year * 12) + 1, static_cast<int>(year)};
}

int PanelAt(int x) {
    return x > kPanelWidth ? 1 : 0;
}

MonthYear PanelMonth(MonthYear pair, int x) {
    return PanelAt(x) == 1 ? NextMonth(pair) : pair;
}

int DayInPairAt(MonthYear pair, int x, int y) {
    if (y >= kCalendarBottom) return 0;
    const MonthYear my = PanelMonth(pair, x);
    return DayAtPoint(PanelAt(x), my.month, my.year, x, y);
}

MonthYear PairForDate(int month, int year, int todayMonth) {
    const bool sameParity = ((month & 1) == (todayMonth & 1));
    MonthYear left{sameParity ? month : month - 1, year};
    if (left.month == 0) left = {12, year - 1};
    return left;
}

Point ClickPointForDate(int month, int day, int year, int todayMonth) {
    const int column = DayOfWeek(month, year, day);
    const int firstRowDays = 7 - DayOfWeek(month, year, 1);
    const int row = day <= firstRowDays ? 1 : 1 + (day - firstRowDays + 6) / 7;
    Point p{kColumnWidth * column + 16, kRowHeight * row + 46};
    if (PairForDate(month, year, todayMonth).month != month) p.x += kPanelWidth;
    return p;
}

std::string DayText(int day) {
    std::string text = std::to_string(day);
    if (text.size() < 2) text.insert(0, 2 - text.size(), ' ');
    return text;
}

std::string MonthTitle(int month, int year) {
    return std::string(MonthName(month)) + " " + std::to_string(year);
}

bool ShadeSuppressed(int day, int month, int year, const CivilDate& today) {
    return day < today.day && month <= today.month && year <= today.year;
}

int FirstReminderOn(const ReminderList& list, DateKey key) {
    const auto& entries = list.entries();
    const auto it = std::lower_bound(entries.begin(), entries.end(), key,
                                     [](const Reminder& r, DateKey k) { return r.date < k; });
    if (it == entries.end() || it->date != key) return 0;
    return static_cast<int>(it - entries.begin()) + 1;
}

bool CellShaded(int day, int month, int year, const CivilDate& today, const ReminderList* list) {
    if (list == nullptr || ShadeSuppressed(day, month, year, today)) return false;
    return FirstReminderOn(*list, MakeDateKey(year, month, day)) != 0;
}

std::optional<editor::FormMode> FormModeAfterDrawing(const FormModeInputs& in) {
    using editor::FormMode;
    if (in.monthChange) return FormMode::kStart;
    if (in.changedMark) return in.reminderCurrent ? FormMode::kEditingShown : FormMode::kEditingNew;
    if (in.reminderCurrent && in.editing == editor::Editing::kNone && !in.listOpen) {
        return FormMode::kShown;
    }
    if (in.cellClicked) return in.reminderCurrent ? FormMode::kShown : FormMode::kNothingShown;
    return std::nullopt;
}

}  // namespace tessaly::calendar
