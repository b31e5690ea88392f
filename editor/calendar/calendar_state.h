// What the month calendar shares with the main window: displayed pair, click, marked cell,
// flags, and the window operations the calendar calls back into.
#pragma once

#include <functional>
#include <string>

#include "core/date.h"
#include "core/reminder.h"

namespace tessaly::calendar {

struct MarkedCell {
    int x = 0, y = 0;  // text origin of the cell
    int day = 0;
    int panel = -1;  // 0 left, 1 right, -1 none
    int month = 0, year = 0;
    DateKey key = 0;
    int pairMonth = 0, pairYear = 0;  // displayed month and year when it was marked
};

// The main window's side of the calendar: it owns the lists and the form.
struct CalendarHooks {
    std::function<void()> clearForm;
    std::function<void(int index)> fillForm;  // 1-based current-list position
    std::function<void(int mode)> setFormMode;
    std::function<void(int part, const std::string& text)> setStatusText;  // part 1..3
    std::function<int(int index)> sameDateNumber;  // 0 when the date is not shared
};

struct CalendarState {
    int displayedMonth = 1, displayedYear = 2000;
    int todayMonth = 1, todayDay = 1, todayYear = 2000;
    int clickX = 0, clickY = 0;  // (0, 0): no click to resolve
    MarkedCell marked;
    int chosenMonth = 0, chosenDay = 0, chosenYear = 0;
    bool monthChange = false;
    bool stepping = false;
    bool doubleClick = false;
    bool clickPending = false;
    bool listOpen = false;
    bool changedMark = false;

    // Read from the main window.
    const ReminderList* current = nullptr;
    int* currentIndex = nullptr;
    const int* editingState = nullptr;

    CalendarHooks hooks;
};

}  // namespace tessaly::calendar
