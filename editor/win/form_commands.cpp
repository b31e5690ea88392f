// What the main window does with its commands, the form's change notifications, the mouse in
// the calendar, and closing. The checks themselves are the form rules (reminder_form.h).
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "core/data_file.h"
#include "editor/calendar/calendar_rules.h"
#include "editor/calendar/win/calendar_view.h"
#include "editor/form/reminder_form.h"
#include "editor/win/main_window.h"
#include "editor/win/resource.h"
#include "win/controls.h"
#include "win/gdi.h"
#include "win/message_box.h"

namespace tessaly::editor {
using namespace win;
namespace {

constexpr int kDescriptionMaxPixels = 300;
constexpr char kSaveQuestion[] = "File has changed...\r\nDo you want to save the changes?";
constexpr char kClosingCaption[] = "Closing Reminders";

void FocusControl(MainWindow& w, int id) {
    SendMessageW(w.hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(w.hwnd, id)), TRUE);
}

int ControlOf(FormField field) {
    switch (field) {
        case FormField::kKind:
            return IDC_KIND;
        case FormField::kDescription:
            return IDC_DESCRIPTION;
        case FormField::kDate:
            return IDC_DATE;
        case FormField::kTime:
            return IDC_TIME;
        case FormField::kNotify:
            return IDC_NOTIFY;
        case FormField::kPeriod:
            return IDC_PERIOD;
        case FormField::kNone:
            break;
    }
    return 0;
}

int CheckedFrequency(MainWindow& w) {
    for (int id = IDC_ONE_TIME; id <= IDC_WEEKDAY_MONTHS; ++id) {
        if (IsDlgButtonChecked(w.hwnd, id) == BST_CHECKED) return id - IDC_FREQUENCY_GROUP;
    }
    return 0;
}

// Any change to a field: editing the shown reminder, or a new one when none is shown.
void EnterEditingMode(MainWindow& w) {
    SetFormMode(w, w.currentIndex != 0 ? kModeEditingShown : kModeEditingNew);
}

void RedrawPair(MainWindow& w) {
    calendar::DrawMonthPair(w.hwnd, w.calendar, w.calendar.displayedMonth,
                            w.calendar.displayedYear);
}

// Arrows: two months back or on; the pair is redrawn with nothing marked.
void MoveMonths(MainWindow& w, int step) {
    calendar::CalendarState& c = w.calendar;
    c.displayedMonth += step;
    if (c.displayedMonth < 1) {
        c.displayedMonth += 12;
        --c.displayedYear;
    } else if (c.displayedMonth > 12) {
        c.displayedMonth -= 12;
        ++c.displayedYear;
    }
    c.monthChange = true;
    ClearForm(w);
    calendar::ClearCalendarDays(w.hwnd);
    calendar::DrawCalendarFrame(w.hwnd);
    RedrawPair(w);
}

void OnNew(MainWindow& w) {
    ClearForm(w);
    w.currentIndex = 0;
    const calendar::CalendarState& c = w.calendar;
    // No day chosen yet: the date is left for the user to type.
    if (c.chosenDay != 0) {
        SetItemText(w.hwnd, IDC_DATE,
                    std::to_string(c.chosenMonth) + "-" + std::to_string(c.chosenDay) + "-" +
                        std::to_string(c.chosenYear));
    }
    SetFormMode(w, kModeEditingNew);
}

void OnCancel(MainWindow& w) {
    if (w.returnIndex != 0) {
        w.currentIndex = w.returnIndex;
        w.returnIndex = 0;
    }
    if (w.currentIndex != 0 && w.currentIndex <= w.data.current.count()) {
        FillForm(w, w.currentIndex);
        SetFormMode(w, kModeShown);
    } else {
        w.currentIndex = 0;
        ClearForm(w);
        SetFormMode(w, kModeNothingShown);
    }
}

FormInput ReadForm(MainWindow& w) {
    FormInput in;
    in.kindText = GetItemText(w.hwnd, IDC_KIND);
    in.description = GetItemText(w.hwnd, IDC_DESCRIPTION);
    in.dateText = GetItemText(w.hwnd, IDC_DATE);
    in.timeText = GetItemText(w.hwnd, IDC_TIME);
    in.notifyText = GetItemText(w.hwnd, IDC_NOTIFY);
    in.periodText = GetItemText(w.hwnd, IDC_PERIOD);
    in.frequency = CheckedFrequency(w);
    return in;
}

void OnAddOrReplace(MainWindow& w) {
    const FormResult result = CheckReminderForm(ReadForm(w), w.today);
    if (result.dateTextChanged) SetItemText(w.hwnd, IDC_DATE, result.dateText);
    if (!result.ok) {
        const UINT icon =
            result.message.icon == MessageIcon::kAsterisk ? MB_ICONASTERISK : MB_ICONHAND;
        ShowMessage(w.hwnd, result.message.text, result.message.caption, icon);
        if (const int id = ControlOf(result.focus)) FocusControl(w, id);
        return;
    }
    ReminderList& list = w.data.current;
    if (w.currentIndex >= 1 && w.currentIndex <= list.count()) list.RemoveAt(w.currentIndex);
    w.currentIndex = list.InsertByDate(result.reminder);
    w.dirty = true;
    w.calendar.changedMark = false;
    RecomputeSameDate(w);
    calendar::ShowDateInCalendar(w.hwnd, w.calendar, result.dateText);
    SetFormMode(w, kModeShown);
    ShowPositionInStatus(w);
}

void OnDelete(MainWindow& w) {
    ReminderList& list = w.data.current;
    if (w.currentIndex < 1 || w.currentIndex > list.count()) return;
    if (ShowMessage(w.hwnd, "Delete this reminder now", " ", MB_YESNOCANCEL | MB_ICONEXCLAMATION) !=
        IDYES) {
        return;
    }
    const DateKey date = list.at(w.currentIndex).date;
    list.RemoveAt(w.currentIndex);
    w.currentIndex = std::min(w.currentIndex, list.count());
    RecomputeSameDate(w);
    if (w.currentIndex >= 1 && list.at(w.currentIndex).date == date) {
        FillForm(w, w.currentIndex);
    } else {
        ClearForm(w);
    }
    if (w.currentIndex > 1 && list.at(w.currentIndex - 1).date == date) {
        FillForm(w, w.currentIndex - 1);
    }
    RedrawPair(w);
    w.dirty = true;
    SetFormMode(w, kModeNothingShown);
    const int i = w.currentIndex;
    SetStatusText(w, 3, i >= 1 ? SameDateText(w.calendar.hooks.sameDateNumber(i)) : "");
}

void OnStep(MainWindow& w, bool next) {
    ReminderList& list = w.data.current;
    w.calendar.stepping = true;
    const int target = SteppingIndex(next, w.currentIndex, w.selectedKey, list);
    if (target >= 1 && target <= list.count()) {
        EnableWindow(GetDlgItem(w.hwnd, IDC_NEXT), TRUE);
        EnableWindow(GetDlgItem(w.hwnd, IDC_PREV), TRUE);
        // The calendar's status bar reads the current index, so it moves first.
        w.currentIndex = target;
        w.calendar.clickX = w.calendar.clickY = 0;
        calendar::ShowDateInCalendar(w.hwnd, w.calendar, DateKeyText(list.at(target).date));
        FillForm(w, target);
        SetFormMode(w, kModeShown);
        ShowPositionInStatus(w);
        if (target == list.count()) EnableWindow(GetDlgItem(w.hwnd, IDC_NEXT), FALSE);
        if (target == 1) EnableWindow(GetDlgItem(w.hwnd, IDC_PREV), FALSE);
    }
    // Cleared either way: a flag left set would stop later clicks from showing their day.
    w.calendar.stepping = false;
}

void OnKindChosen(MainWindow& w) {
    const LRESULT item = SendDlgItemMessageW(w.hwnd, IDC_KIND, CB_GETCURSEL, 0, 0);
    if (item == CB_ERR) return;
    const KindChoice choice = ChooseKind(static_cast<int>(item) + 1);
    SetItemText(w.hwnd, IDC_TIME_LABEL, choice.timeLabel);
    CheckRadioButton(w.hwnd, IDC_ONE_TIME, IDC_WEEKDAY_MONTHS,
                     IDC_FREQUENCY_GROUP + choice.frequency);
    UpdatePeriodFields(w, choice.frequency);
    if (w.justFilled) {
        w.calendar.changedMark = true;
        w.justFilled = false;
    }
    FocusControl(w, IDC_DESCRIPTION);
    // The combo box selects its new text after this notification; unselect it once that is
    // done, so the kind box does not look focused while the description is.
    PostMessageW(GetDlgItem(w.hwnd, IDC_KIND), CB_SETEDITSEL, 0, MAKELPARAM(0xFFFF, 0));
}

void OnKindTyped(MainWindow& w) {
    if (FindKindPrefix(GetItemText(w.hwnd, IDC_KIND)) == 0) SetDlgItemTextW(w.hwnd, IDC_KIND, L"");
}

// The description may not grow wider than 300 pixels in the window's DC font.
void OnDescriptionChanged(MainWindow& w) {
    const std::string text = GetItemText(w.hwnd, IDC_DESCRIPTION);
    {
        const WindowDc dc(w.hwnd);
        if (TextWidth(dc.get(), text) > kDescriptionMaxPixels) {
            const std::string cut = FitTextToWidth(dc.get(), text, kDescriptionMaxPixels);
            SetItemText(w.hwnd, IDC_DESCRIPTION, cut);
            const auto length = static_cast<LPARAM>(text.size());
            SendDlgItemMessageW(w.hwnd, IDC_DESCRIPTION, EM_SETSEL, static_cast<WPARAM>(-length),
                                length);
        }
    }
    EnterEditingMode(w);
}

void OnFrequencyClicked(MainWindow& w, int id) {
    UpdatePeriodFields(w, id - IDC_FREQUENCY_GROUP);
    EnterEditingMode(w);
}

// The month and year of the panel under x: the right panel shows the month after the left.
calendar::MonthYear PanelMonth(const MainWindow& w, int x) {
    const calendar::MonthYear left{w.calendar.displayedMonth, w.calendar.displayedYear};
    return x > calendar::kPanelWidth ? calendar::NextMonth(left) : left;
}

// Whether (x, y) lies inside a day cell of the displayed pair.
bool OnDayCell(const MainWindow& w, int x, int y) {
    const int panel = x > calendar::kPanelWidth ? 1 : 0;
    const calendar::MonthYear my = PanelMonth(w, x);
    return calendar::DayAtPoint(panel, my.month, my.year, x, y) != 0;
}

}  // namespace

void OnCommand(MainWindow& w, int id, int code, HWND control) {
    switch (id) {
        case IDC_LEFT_ARROW:
        case IDC_RIGHT_ARROW:
            if (code == STN_CLICKED) MoveMonths(w, id == IDC_LEFT_ARROW ? -2 : 2);
            break;
        case IDC_NEW:
            OnNew(w);
            break;
        case IDC_CANCEL:
            OnCancel(w);
            break;
        case IDC_ADD:
            OnAddOrReplace(w);
            break;
        case IDC_DELETE:
            OnDelete(w);
            break;
        case IDC_NEXT:
            OnStep(w, true);
            break;
        case IDC_PREV:
            OnStep(w, false);
            break;
        case IDC_LIST:
            OpenListWindow(w);
            break;
        case IDC_SETTINGS:
        case IDC_HELP_BUTTON:
            break;  // their windows are not part of this build yet
        case IDC_KIND:
            if (code == CBN_SELENDOK) OnKindChosen(w);
            if (code == CBN_EDITCHANGE) OnKindTyped(w);
            break;
        case IDC_DESCRIPTION:
            if (code == EN_CHANGE) OnDescriptionChanged(w);
            break;
        case IDC_DATE:
        case IDC_TIME:
        case IDC_NOTIFY:
        case IDC_PERIOD:
            if (code == EN_CHANGE) EnterEditingMode(w);
            break;
        case IDC_ONE_TIME:
        case IDC_ANNUAL:
        case IDC_MONTHLY:
        case IDC_WEEKLY:
        case IDC_WEEKDAY_MONTHS:
            if (code == BN_CLICKED) OnFrequencyClicked(w, id);
            break;
        default:
            break;
    }
    // A used button loses the default-button frame.
    if (id >= IDC_NEW && id <= IDC_SETTINGS && control) {
        SendMessageW(control, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    }
}

void OnLeftButtonDown(MainWindow& w, int x, int y) {
    calendar::CalendarState& c = w.calendar;
    c.clickPending = true;
    if (w.editingState != 0) return;
    // Only a click on a day chooses it; elsewhere (the form's background, a title) the shown
    // reminder and the current index must stay together.
    if (y >= calendar::kCalendarBottom || !OnDayCell(w, x, y)) return;
    c.clickX = x;
    c.clickY = y;
    const calendar::MonthYear panel = PanelMonth(w, x);
    RedrawPair(w);
    w.selectedKey = MakeDateKey(panel.year, panel.month, c.chosenDay);
    const ReminderList& list = w.data.current;
    if (!list.empty() && list.at(list.count()).date < w.selectedKey) {
        EnableWindow(GetDlgItem(w.hwnd, IDC_NEXT), FALSE);
    }
    if (!list.empty() && list.at(1).date > w.selectedKey) {
        EnableWindow(GetDlgItem(w.hwnd, IDC_PREV), FALSE);
    }
    w.currentIndex = calendar::FirstReminderOn(list, w.selectedKey);
    ShowPositionInStatus(w);
}

void OnLeftButtonDoubleClick(MainWindow& w, int x, int y) {
    if (w.editingState != 0 && !GetItemText(w.hwnd, IDC_DATE).empty()) return;
    if (y >= calendar::kCalendarBottom || !OnDayCell(w, x, y)) return;
    w.returnIndex = w.currentIndex;
    if (w.currentIndex != 0) {
        ClearForm(w);
        w.currentIndex = 0;
    }
    calendar::CalendarState& c = w.calendar;
    c.doubleClick = true;
    c.clickX = x;
    c.clickY = y;
    const calendar::MonthYear panel = PanelMonth(w, x);
    RedrawPair(w);
    char text[16];
    snprintf(text, sizeof text, "%02d-%02d-%02d", panel.month, c.chosenDay, panel.year % 100);
    // Setting the date raises its change notification, which opens a new reminder (FormMode 2).
    SetItemText(w.hwnd, IDC_DATE, text);
    SetItemText(w.hwnd, IDC_WEEKDAY, WeekdayName(DayOfWeek(panel.month, panel.year, c.chosenDay)));
    c.doubleClick = false;
}

bool OnClose(MainWindow& w) {
    if (w.closing) return true;
    w.closing = true;
    if (w.dirty) {
        const int answer = ShowMessage(w.hwnd, kSaveQuestion, kClosingCaption,
                                       MB_YESNOCANCEL | MB_ICONEXCLAMATION);
        if (answer == IDYES) {
            const IoResult saved =
                SaveReminderFile(std::filesystem::path(w.paths.dataFile), w.data, kEditorLabel);
            if (!saved) {
                // The changes exist only in memory: keep the window so they are not lost.
                ShowMessage(w.hwnd,
                            "The reminders could not be saved.\r\n" + saved.message +
                                "\r\nThe window stays open so that nothing is lost.",
                            kClosingCaption, MB_ICONHAND);
                w.closing = false;
                return true;
            }
        } else if (answer != IDNO) {
            w.closing = false;
            return true;
        }
    }
    w.dirty = false;
    w.closing = false;
    if (w.modal) {
        EndDialog(w.hwnd, 0);
    } else {
        DestroyWindow(w.hwnd);
    }
    return false;
}

}  // namespace tessaly::editor
