// "&List": the list window over the main window's state, and what "&Back" and a deletion in
// it change in the main window.
#include "editor/list/win/list_window.h"
#include "editor/calendar/win/calendar_view.h"
#include "editor/form/reminder_form.h"
#include "editor/win/main_window.h"
#include "win/message_box.h"

namespace tessaly::editor {
namespace {

class MainWindowListHost final : public list::ListHost {
  public:
    explicit MainWindowListHost(MainWindow& w) : w_(w) {}

    const ReminderList& Shown(list::ListMode mode) const override {
        return mode == list::ListMode::kArchive ? w_.data.archive : w_.data.current;
    }
    int CurrentIndex() const override { return w_.currentIndex; }
    bool Editing() const override { return w_.editingState != 0; }
    const std::vector<int>& SameDateOrdinals() const override { return w_.sameDate; }
    void SetListOpen(bool open) override { w_.calendar.listOpen = open; }
    void ShowSelectionStatus(const list::SelectionStatus& status) override {
        SetStatusText(w_, 2, status.position);
        SetStatusText(w_, 3, status.sameDate);
    }

    void DeleteEntry(list::ListMode mode, int position) override {
        w_.dirty = true;
        if (mode == list::ListMode::kArchive) {
            w_.data.archive.RemoveAt(position);
            return;
        }
        w_.data.current.RemoveAt(position);
        // Positions after the deleted one moved up: the shown reminder, the one "&Cancel"
        // returns to, the same-date numbers and the calendar's marks follow.
        const bool shownDeleted = w_.currentIndex != 0 && w_.currentIndex == position;
        w_.currentIndex = list::CurrentIndexAfterDeletion(w_.currentIndex, position);
        w_.returnIndex = list::CurrentIndexAfterDeletion(w_.returnIndex, position);
        RecomputeSameDate(w_);
        if (shownDeleted) {
            // The form no longer shows a reminder that exists, so it must not offer Replace.
            ClearForm(w_);
            w_.justFilled = false;
            w_.calendar.changedMark = false;
            SetFormMode(w_, kModeNothingShown);
        } else {
            SetFormMode(w_, w_.formMode);  // Next/Prev against the new count
        }
        calendar::DrawMonthPair(w_.hwnd, w_.calendar, w_.calendar.displayedMonth,
                                w_.calendar.displayedYear);
        ShowPositionInStatus(w_);
    }

  private:
    MainWindow& w_;
};

}  // namespace

void OpenListWindow(MainWindow& w) {
    MainWindowListHost host(w);
    list::ListDialogOptions options;
    options.messageBox = win::ShowMessage;
    options.print = w.options.print;
    const int chosen = list::ListDialog(w.hwnd, host, w.listMode, options);
    if (chosen < 1 || chosen > w.data.current.count()) return;
    // "&Back": the chosen reminder in the calendar and the form.
    w.currentIndex = chosen;
    w.calendar.clickX = w.calendar.clickY = 0;
    calendar::ShowDateInCalendar(w.hwnd, w.calendar,
                                 list::ListDateText(w.data.current.at(chosen).date, '-'));
    // The calendar loads the first reminder of the day; the chosen one may be a later one.
    FillForm(w, chosen);
    SetFormMode(w, kModeShown);
    ShowPositionInStatus(w);
}

}  // namespace tessaly::editor
