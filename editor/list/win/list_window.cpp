// The list window's dialog procedure: fills the list box, answers its commands through the
// host, and keeps the main window's status bar on the selected line.
#include "editor/list/win/list_window.h"

#include <windowsx.h>

#include "editor/list/win/list_resource.h"
#include "editor/print/win/list_printout.h"
#include "win/dialog.h"
#include "win/gdi.h"
#include "win/handles.h"
#include "win/message_box.h"
#include "win/text.h"

namespace tessaly::list {
using win::Cp1252ToWide;
namespace {

// Dialog template units; the last stop is negative, so the notify column is right-aligned.
constexpr int kTabStops[] = {0, 55, 85, 124, 170, -375};

struct ListWindow final : win::Dialog {
    ListWindow(ListHost& host, ListMode& mode) : host(host), mode(mode) {}

    ListHost& host;
    ListMode& mode;
    // The printer dialog and the printing error box have no owner, so this window stays
    // clickable under them; while a print runs it acts on nothing.
    bool printing = false;
    // Once closing, the list box's last notifications (losing the focus) no longer reach the
    // main window's status bar, which is its own again.
    bool closed = false;

    HWND Item(int id) const { return GetDlgItem(hwnd, id); }
    // 1-based selected line, 0 for none.
    int Selected() const {
        const LRESULT index = SendMessageW(Item(IDC_LIST_BOX), LB_GETCURSEL, 0, 0);
        return index == LB_ERR ? 0 : static_cast<int>(index) + 1;
    }

  private:
    INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

void Fill(ListWindow& w) {
    HWND box = w.Item(IDC_LIST_BOX);
    const ReminderList& list = w.host.Shown(w.mode);
    // Redraw off and storage reserved up front: ten thousand lines fill without a visible wait.
    SendMessageW(box, WM_SETREDRAW, FALSE, 0);
    SendMessageW(box, LB_RESETCONTENT, 0, 0);
    SendMessageW(box, LB_INITSTORAGE, static_cast<WPARAM>(list.count()),
                 static_cast<LPARAM>(list.count()) * 80 * sizeof(wchar_t));
    // Descriptions are measured in the window's own DC, which carries the system font rather
    // than the dialog's: the cut is the same whatever font the template names.
    const win::WindowDc windowDc(w.hwnd);
    const win::DcMeasure font(windowDc.get());
    for (const Reminder& r : list.entries()) {
        SendMessageW(box, LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(Cp1252ToWide(ListLineText(r, font)).c_str()));
    }
    SendMessageW(box, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(box, nullptr, TRUE);
}

void ShowCurrent(ListWindow& w) {
    w.mode = ListMode::kCurrent;
    Fill(w);
    ShowWindow(w.Item(IDC_LIST_BACK), w.host.Editing() ? SW_HIDE : SW_SHOW);
    ShowWindow(w.Item(IDC_LIST_PRINT), SW_SHOW);
    const int i = w.host.CurrentIndex();
    if (i >= 1 && i <= w.host.Shown(ListMode::kCurrent).count()) {
        SendMessageW(w.Item(IDC_LIST_BOX), LB_SETCURSEL, static_cast<WPARAM>(i - 1), 0);
    }
}

void ShowArchive(ListWindow& w) {
    w.mode = ListMode::kArchive;
    Fill(w);
    // Archived reminders are not in the current list the main window shows.
    ShowWindow(w.Item(IDC_LIST_BACK), SW_HIDE);
}

void OnListNotification(ListWindow& w) {
    if (w.closed) return;
    const int s = w.Selected();
    if (s == 0) return;
    if (w.mode == ListMode::kCurrent && !w.host.Editing()) {
        ShowWindow(w.Item(IDC_LIST_BACK), SW_SHOW);
    }
    w.host.ShowSelection(w.mode, s);
}

void OnDelete(ListWindow& w) {
    const int s = w.Selected();
    if (s == 0) return;
    const Reminder& r = w.host.Shown(w.mode).at(s);
    // The title is the description as stored, blank padding included.
    if (win::ShowMessage(w.hwnd, "Delete this reminder now", Cp1252ToUtf8(r.Description()),
                         MB_YESNO | MB_ICONEXCLAMATION) != IDYES) {
        return;
    }
    SendMessageW(w.Item(IDC_LIST_BOX), LB_DELETESTRING, static_cast<WPARAM>(s - 1), 0);
    w.host.DeleteEntry(w.mode, s);
}

void Close(ListWindow& w, int chosen) {
    w.closed = true;
    w.host.SetListOpen(false);
    w.End(chosen);
}

void OnBack(ListWindow& w) {
    // A hidden "&Back" (archive, or an edit in progress) cannot be reached by its mnemonic
    // either.
    if (!IsWindowVisible(w.Item(IDC_LIST_BACK))) return;
    Close(w, w.Selected());
}

// Set for the length of a print, whatever way it ends.
class PrintingScope {
  public:
    explicit PrintingScope(ListWindow& w) : w_(w) { w_.printing = true; }
    ~PrintingScope() { w_.printing = false; }
    PrintingScope(const PrintingScope&) = delete;
    PrintingScope& operator=(const PrintingScope&) = delete;

  private:
    ListWindow& w_;
};

void OnPrint(ListWindow& w) {
    {
        // Its own copy, taken before the dialog opens: the printout holds what was shown when
        // "&Print" was pressed.
        const ReminderList shown = w.host.Shown(w.mode);
        const PrintingScope printing(w);
        print::PrintReminderList(shown);
    }
    SetFocus(w.Item(IDC_LIST_BOX));
}

void OnCommand(ListWindow& w, int id, int code) {
    if (w.printing || w.closed) {
        // An option button checks itself before it tells; it goes back to the list shown.
        if (id == IDC_LIST_CURRENT || id == IDC_LIST_ARCHIVE) {
            CheckRadioButton(w.hwnd, IDC_LIST_CURRENT, IDC_LIST_ARCHIVE,
                             w.mode == ListMode::kArchive ? IDC_LIST_ARCHIVE : IDC_LIST_CURRENT);
        }
        return;
    }
    switch (id) {
        case IDC_LIST_CURRENT:
            if (code == BN_CLICKED) ShowCurrent(w);
            break;
        case IDC_LIST_ARCHIVE:
            if (code == BN_CLICKED) ShowArchive(w);
            break;
        case IDC_LIST_BOX:
            OnListNotification(w);
            break;
        case IDC_LIST_DELETE:
            OnDelete(w);
            break;
        case IDC_LIST_BACK:
            OnBack(w);
            break;
        case IDC_LIST_PRINT:
            OnPrint(w);
            break;
        case IDC_LIST_CLOSE:
        case IDCANCEL:  // Esc
            Close(w, 0);
            break;
        default:
            break;
    }
}

BOOL OnInitDialog(ListWindow& w) {
    w.host.SetListOpen(true);
    SendMessageW(w.Item(IDC_LIST_BOX), LB_SETTABSTOPS, std::size(kTabStops),
                 reinterpret_cast<LPARAM>(kTabStops));
    CheckRadioButton(w.hwnd, IDC_LIST_CURRENT, IDC_LIST_ARCHIVE, IDC_LIST_CURRENT);
    // Filled once the window is up, like a click on "C&urrent".
    PostMessageW(w.hwnd, WM_COMMAND, MAKEWPARAM(IDC_LIST_CURRENT, BN_CLICKED),
                 reinterpret_cast<LPARAM>(w.Item(IDC_LIST_CURRENT)));
    return TRUE;
}

INT_PTR ListWindow::OnMessage(UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
        case WM_INITDIALOG:
            return OnInitDialog(*this);
        case WM_COMMAND:
            OnCommand(*this, LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) != SC_CLOSE) return FALSE;
            if (!printing) Close(*this, 0);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

int ListDialog(HWND owner, ListHost& host, ListMode& mode) {
    ListWindow w(host, mode);
    const INT_PTR chosen = win::RunModal(w, owner, win::DialogTemplate::Resource(IDD_LIST_DIALOG));
    return chosen > 0 ? static_cast<int>(chosen) : 0;
}

}  // namespace tessaly::list
