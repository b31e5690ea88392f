// "&List": the list window over the editor model, and what "&Back" and a deletion in it
// change in the main window.
#include "editor/list/win/list_window.h"
#include "editor/win/main_window.h"

namespace tessaly::editor {
namespace {

class MainWindowListHost final : public list::ListHost {
  public:
    explicit MainWindowListHost(MainWindow& w) : w_(w) {}

    const ReminderList& Shown(list::ListMode mode) const override {
        const ReminderData& data = w_.model.state().data;
        return mode == list::ListMode::kArchive ? data.archive : data.current;
    }
    int CurrentIndex() const override { return w_.model.state().currentIndex; }
    bool Editing() const override { return w_.model.state().editing != Editing::kNone; }
    void SetListOpen(bool open) override { Apply(w_, w_.model.SetListOpen(open)); }
    void ShowSelection(list::ListMode mode, int line) override {
        Apply(w_, w_.model.ListSelectionStatus(KindOf(mode), line));
    }
    void DeleteEntry(list::ListMode mode, int position) override {
        Apply(w_, w_.model.DeleteListEntry(KindOf(mode), position));
    }

  private:
    static ListKind KindOf(list::ListMode mode) {
        return mode == list::ListMode::kArchive ? ListKind::kArchive : ListKind::kCurrent;
    }

    MainWindow& w_;
};

}  // namespace

void OpenListWindow(MainWindow& w) {
    MainWindowListHost host(w);
    const int chosen = list::ListDialog(w.hwnd, host, w.listMode);
    // "&Back": the chosen reminder in the calendar and the form.
    if (chosen != 0) Apply(w, w.model.ShowReminder(chosen));
}

}  // namespace tessaly::editor
