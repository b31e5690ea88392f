// What the main window does with its commands and the form's change notifications: read the
// controls, call the model, show the result. The rules themselves are the model's.
#include <string>

#include "editor/form/reminder_form.h"
#include "editor/help/win/help_window.h"
#include "editor/win/main_window.h"
#include "editor/win/resource.h"
#include "win/controls.h"
#include "win/gdi.h"
#include "win/handles.h"

namespace tessaly::editor {
namespace {

constexpr int kDescriptionMaxPixels = 300;

int CheckedFrequency(HWND h) {
    for (int id = IDC_ONE_TIME; id <= IDC_WEEKDAY_MONTHS; ++id) {
        if (IsDlgButtonChecked(h, id) == BST_CHECKED) return id - IDC_FREQUENCY_GROUP;
    }
    return 0;
}

FormInput ReadForm(HWND h) {
    FormInput in;
    in.kindText = win::GetItemText(h, IDC_KIND);
    in.description = win::GetItemText(h, IDC_DESCRIPTION);
    in.dateText = win::GetItemText(h, IDC_DATE);
    in.timeText = win::GetItemText(h, IDC_TIME);
    in.notifyText = win::GetItemText(h, IDC_NOTIFY);
    in.periodText = win::GetItemText(h, IDC_PERIOD);
    in.frequency = CheckedFrequency(h);
    return in;
}

void OnKindChosen(MainWindow& w) {
    const LRESULT item = SendDlgItemMessageW(w.hwnd, IDC_KIND, CB_GETCURSEL, 0, 0);
    if (item == CB_ERR) return;
    Apply(w, w.model.KindChosen(static_cast<int>(item) + 1, win::GetItemText(w.hwnd, IDC_DATE)));
    // The combo box selects its new text after this notification; unselect it once that is
    // done, so the kind box does not look focused while the description is.
    PostMessageW(GetDlgItem(w.hwnd, IDC_KIND), CB_SETEDITSEL, 0, MAKELPARAM(0xFFFF, 0));
}

// The description may not grow wider than 300 pixels, measured in the font of the main
// window's own DC (not the edit box's), as the printout and the list measure theirs.
void CutDescription(MainWindow& w) {
    const std::string text = win::GetItemText(w.hwnd, IDC_DESCRIPTION);
    const win::WindowDc dc(w.hwnd);
    if (!dc || win::TextWidth(dc.get(), text) <= kDescriptionMaxPixels) return;
    const std::string cut = win::FitTextToWidth(dc.get(), text, kDescriptionMaxPixels);
    ++w.applying;  // the cut is the program's, not a change by the user
    win::SetItemText(w.hwnd, IDC_DESCRIPTION, cut);
    --w.applying;
    // From -L to L, L the length before the cut: the edit box reads it as "caret at the end,
    // nothing selected", so typing goes on where it stopped.
    const auto length = static_cast<LPARAM>(text.size());
    SendDlgItemMessageW(w.hwnd, IDC_DESCRIPTION, EM_SETSEL, static_cast<WPARAM>(-length), length);
}

// The window that just closed may leave the keyboard elsewhere: one without an owner (the
// help window, the print dialog) hands the activation to whatever lies below it, and a main
// window left active with no focused control ignores Tab, Space and its Alt keys until it is
// clicked. The control that opened the window gets the focus again (the Event box when that
// control is off).
void TakeKeyboardBack(MainWindow& w, HWND pressed) {
    if (!IsWindow(w.hwnd) || !IsWindowEnabled(w.hwnd)) return;
    if (GetForegroundWindow() != w.hwnd) SetForegroundWindow(w.hwnd);
    HWND target = pressed;
    if (!target || GetParent(target) != w.hwnd || !IsWindowEnabled(target) ||
        !IsWindowVisible(target)) {
        target = GetDlgItem(w.hwnd, IDC_KIND);
    }
    SendMessageW(w.hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
}

}  // namespace

// "&Help": the help window at 100, 100 from the main window; its boxes ("No help available",
// "None found", ...) go through the message-box seam like every other box.
void OpenHelp(MainWindow& w) {
    help::ShowHelp(HelpFileToOpen(w.paths), L"Tessaly Help", w.hwnd, 100, 100);
}

void OnCommand(MainWindow& w, int id, int code, HWND control) {
    EditorModel& m = w.model;
    // Notifications raised by the program's own writes to the form are not the user's.
    const bool ownChange = w.applying > 0;
    switch (id) {
        case IDC_LEFT_ARROW:
        case IDC_RIGHT_ARROW:
            // A quick second click arrives as a double-click; it moves the calendar as well.
            if (code == STN_CLICKED || code == STN_DBLCLK) {
                Apply(w, m.MoveMonths(id == IDC_LEFT_ARROW ? -2 : 2));
            }
            break;
        case IDC_NEW:
            Apply(w, m.New());
            break;
        case IDC_CANCEL:
            Apply(w, m.Cancel());
            break;
        case IDC_ADD:
            Apply(w, m.AddOrReplace(ReadForm(w.hwnd)));
            break;
        case IDC_DELETE:
            Apply(w, m.Delete([&w](const Question& q) { return AskUser(w, q); }));
            break;
        case IDC_NEXT:
        case IDC_PREV:
            Apply(w, m.Step(id == IDC_NEXT));
            break;
        case IDC_LIST:
            OpenListWindow(w);
            TakeKeyboardBack(w, control);
            break;
        case IDC_SETTINGS:
            OpenSettingsDialog(w);
            TakeKeyboardBack(w, control);
            break;
        case IDC_HELP_BUTTON: {
            // A help window already open only comes forward; it keeps the keyboard.
            const bool helpWasOpen = help::OpenHelpWindow() != nullptr;
            OpenHelp(w);
            if (!helpWasOpen) TakeKeyboardBack(w, control);
            break;
        }
        case IDC_KIND:
            if (code == CBN_SELENDOK) OnKindChosen(w);
            if (code == CBN_EDITCHANGE && !ownChange) {
                Apply(w, m.KindTyped(win::GetItemText(w.hwnd, IDC_KIND)));
            }
            break;
        case IDC_DESCRIPTION:
            if (code == EN_CHANGE && !ownChange) {
                CutDescription(w);
                Apply(w, m.FieldChanged());
            }
            break;
        case IDC_DATE:
        case IDC_TIME:
        case IDC_NOTIFY:
        case IDC_PERIOD:
            if (code == EN_CHANGE && !ownChange) Apply(w, m.FieldChanged());
            break;
        case IDC_ONE_TIME:
        case IDC_ANNUAL:
        case IDC_MONTHLY:
        case IDC_WEEKLY:
        case IDC_WEEKDAY_MONTHS:
            if (code == BN_CLICKED) {
                Apply(w, m.FrequencyChosen(id - IDC_FREQUENCY_GROUP,
                                           win::GetItemText(w.hwnd, IDC_DATE)));
            }
            break;
        default:
            break;
    }
    // A used button loses the default-button frame.
    if (id >= IDC_NEW && id <= IDC_SETTINGS && control) {
        SendMessageW(control, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    }
}

bool OnClose(MainWindow& w) {
    Update update;
    const CloseOutcome outcome =
        w.model.Close([&w](const Question& q) { return AskUser(w, q); }, update);
    Apply(w, update);
    if (outcome == CloseOutcome::kStay) return true;
    // A normal close, saved or not: nothing is left to recover.
    w.recovery.Discard(w.model.state().dataFile);
    w.End(0);
    return false;
}

}  // namespace tessaly::editor
