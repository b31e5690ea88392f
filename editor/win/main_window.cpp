// The main window's life: creation, start-up, painting, colours, and showing the model's
// updates on the controls; the dialog procedure only dispatches.
#include "editor/win/main_window.h"

#include <commctrl.h>

#include <utility>
#include <variant>

#include "editor/calendar/win/calendar_mouse.h"
#include "editor/calendar/win/calendar_painter.h"
#include "editor/win/resource.h"
#include "editor/win/startup_trace.h"
#include "win/clock.h"
#include "win/controls.h"
#include "win/gdi.h"
#include "win/message_box.h"
#include "win/text.h"

namespace tessaly::editor {
namespace {

constexpr int kStatusParts = 3;

// Icons are optional: a build without the picture resources still runs.
HICON LoadNamedIcon(const char* name, UINT flags) {
    return static_cast<HICON>(LoadImageA(GetModuleHandleW(nullptr), name, IMAGE_ICON, 0, 0, flags));
}

void SetStatusParts(MainWindow& w) {
    // Right edges 199, 274 and 9998 dialog units: the path, "Reminder i of n", the same-date
    // number. (Taken literally, 75 as an edge would put the second part inside the first.)
    RECT first{199, 0, 274, 0};
    RECT last{9998, 0, 9998, 0};
    MapDialogRect(w.hwnd, &first);
    MapDialogRect(w.hwnd, &last);
    int edges[kStatusParts] = {first.left, first.right, last.left};
    SendDlgItemMessageW(w.hwnd, IDC_STATUS, SB_SETPARTS, kStatusParts,
                        reinterpret_cast<LPARAM>(edges));
}

void SetStatusTextWide(MainWindow& w, int part, const std::wstring& text) {
    SendDlgItemMessageW(w.hwnd, IDC_STATUS, SB_SETTEXTW, static_cast<WPARAM>(part - 1),
                        reinterpret_cast<LPARAM>(text.c_str()));
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

int ControlOf(FormText text) {
    switch (text) {
        case FormText::kKind:
            return IDC_KIND;
        case FormText::kDate:
            return IDC_DATE;
        case FormText::kWeekday:
            return IDC_WEEKDAY;
        case FormText::kTimeLabel:
            return IDC_TIME_LABEL;
        case FormText::kTime:
            return IDC_TIME;
    }
    return 0;
}

void ShowControl(HWND dialog, int id, bool show) {
    ShowWindow(GetDlgItem(dialog, id), show ? SW_SHOW : SW_HIDE);
}

void CheckFrequency(HWND h, int code) {
    CheckRadioButton(h, IDC_ONE_TIME, IDC_WEEKDAY_MONTHS, IDC_FREQUENCY_GROUP + code);
}

void ApplyPeriodFields(HWND h, const PeriodFields& fields) {
    if (!fields.change) return;
    if (fields.show) win::SetItemText(h, IDC_PERIOD_LABEL, fields.label);
    ShowControl(h, IDC_PERIOD, fields.show);
    ShowControl(h, IDC_PERIOD_LABEL, fields.show);
}

// The kind list's selection follows the text, so that Down and Up in the kind box move on
// from the kind shown rather than from the top of the list.
void SetKindText(HWND h, std::string_view kindText) {
    HWND kind = GetDlgItem(h, IDC_KIND);
    const std::wstring text = win::Cp1252ToWide(kindText);
    const LRESULT item =
        text.empty() ? CB_ERR
                     : SendMessageW(kind, CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(text.c_str()));
    SendMessageW(kind, CB_SETCURSEL, item == CB_ERR ? WPARAM(-1) : WPARAM(item), 0);
    SetWindowTextW(kind, text.c_str());
}

void ClearFormControls(HWND h) {
    SetKindText(h, "");
    for (int id : {IDC_DESCRIPTION, IDC_DATE, IDC_WEEKDAY, IDC_TIME, IDC_NOTIFY, IDC_PERIOD,
                   IDC_PERIOD_LABEL}) {
        SetDlgItemTextW(h, id, L"");
    }
    ShowControl(h, IDC_PERIOD, false);
    ShowControl(h, IDC_PERIOD_LABEL, false);
    CheckFrequency(h, kOneTime);
}

void FillFormControls(HWND h, const FormContents& c) {
    SetDlgItemTextW(h, IDC_ADD, win::Utf8ToWide(c.addCaption).c_str());
    SetKindText(h, c.kindText);
    win::SetItemText(h, IDC_DESCRIPTION, c.description);
    if (c.dateText) win::SetItemText(h, IDC_DATE, *c.dateText);
    if (c.weekday) win::SetItemText(h, IDC_WEEKDAY, *c.weekday);
    if (c.timeLabel) win::SetItemText(h, IDC_TIME_LABEL, *c.timeLabel);
    win::SetItemText(h, IDC_TIME, c.timeText);
    win::SetItemText(h, IDC_NOTIFY, c.notifyText);
    CheckFrequency(h, c.frequency);
    win::SetItemText(h, IDC_PERIOD, c.periodText);
    if (c.hidePeriod) {
        ShowControl(h, IDC_PERIOD, false);
        ShowControl(h, IDC_PERIOD_LABEL, false);
    }
    ApplyPeriodFields(h, c.period);
}

void ApplyButtons(HWND h, const ButtonStates& b) {
    EnableWindow(GetDlgItem(h, IDC_NEW), b.newOn);
    EnableWindow(GetDlgItem(h, IDC_ADD), b.addOn);
    EnableWindow(GetDlgItem(h, IDC_DELETE), b.deleteOn);
    EnableWindow(GetDlgItem(h, IDC_CANCEL), b.cancelOn);
    EnableWindow(GetDlgItem(h, IDC_NEXT), b.nextOn);
    EnableWindow(GetDlgItem(h, IDC_PREV), b.prevOn);
    if (!b.addCaption.empty()) SetDlgItemTextW(h, IDC_ADD, win::Utf8ToWide(b.addCaption).c_str());
}

UINT IconStyle(MessageIcon icon) {
    return icon == MessageIcon::kAsterisk ? MB_ICONASTERISK : MB_ICONHAND;
}

// Shows one effect on the controls; messages are owned by messageOwner.
struct EffectOnControls {
    MainWindow& w;
    HWND messageOwner;

    void operator()(const show::ClearForm&) const { ClearFormControls(w.hwnd); }
    void operator()(const show::FillForm& e) const { FillFormControls(w.hwnd, e.contents); }
    void operator()(const show::Text& e) const {
        win::SetItemText(w.hwnd, ControlOf(e.control), e.text);
    }
    void operator()(const show::Frequency& e) const { CheckFrequency(w.hwnd, e.code); }
    void operator()(const show::Period& e) const { ApplyPeriodFields(w.hwnd, e.fields); }
    void operator()(const show::Buttons& e) const { ApplyButtons(w.hwnd, e.states); }
    void operator()(const show::Step& e) const {
        EnableWindow(GetDlgItem(w.hwnd, e.button == Button::kNext ? IDC_NEXT : IDC_PREV), e.on);
    }
    void operator()(const show::Status& e) const {
        SetStatusTextWide(w, e.part, win::Cp1252ToWide(e.text));
    }
    void operator()(const show::DataFile& e) const { SetStatusTextWide(w, 1, e.file.wstring()); }
    void operator()(const show::Focus& e) const {
        if (const int id = ControlOf(e.field)) {
            SendMessageW(w.hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(w.hwnd, id)),
                         TRUE);
        }
    }
    void operator()(const Message& e) const {
        win::ShowMessage(messageOwner, e.text, e.caption, IconStyle(e.icon));
    }
};

BOOL OnInitDialog(MainWindow& w) {
    StartupMark("dialog_created");
    w.smallIcon.reset(LoadNamedIcon("Alight", LR_DEFAULTSIZE));
    if (w.smallIcon) SendMessageW(w.hwnd, WM_SETICON, ICON_SMALL, LPARAM(w.smallIcon.get()));
    for (auto [id, name] :
         {std::pair{IDC_LEFT_ARROW, "leftArrow"}, std::pair{IDC_RIGHT_ARROW, "rightArrow"}}) {
        if (HICON icon = LoadNamedIcon(name, LR_DEFAULTSIZE | LR_SHARED)) {
            SendDlgItemMessageW(w.hwnd, id, STM_SETICON, WPARAM(icon), 0);
        }
    }
    SetWindowTextW(w.hwnd, win::Utf8ToWide(kWindowTitle).c_str());
    // The weekday label reaches under the time label's left end; lift it above that label
    // (which clips its siblings), so "Wednesday" is not cut off by the time label's background.
    HWND timeLabel = GetDlgItem(w.hwnd, IDC_TIME_LABEL);
    SetWindowPos(GetDlgItem(w.hwnd, IDC_WEEKDAY), GetWindow(timeLabel, GW_HWNDPREV), 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    for (int kind = kBirthday; kind <= kMeeting; ++kind) {
        SendDlgItemMessageW(w.hwnd, IDC_KIND, CB_ADDSTRING, 0,
                            LPARAM(win::Cp1252ToWide(KindName(kind)).c_str()));
    }
    SetStatusParts(w);

    StartupMark("controls_set");
    w.paths = FindPaths(w.firstArgument);
    StartupMark("paths_found");
    Apply(w, w.model.Start(std::filesystem::path(w.paths.dataFile), win::Today()));
    StartupMark("file_loaded");
    PostMessageW(w.hwnd, kStartupMaintenanceMessage, 0, 0);
    return TRUE;
}

// The background is erased by BeginPaint (white, from WM_CTLCOLORDLG); the calendar is then
// painted over it. Painting changes nothing but pixels.
void OnPaint(MainWindow& w) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w.hwnd, &ps);
    calendar::PaintCalendar(dc, w.model.PictureForPaint(), false);
    EndPaint(w.hwnd, &ps);
    StartupMark("painted");
}

INT_PTR Dispatch(MainWindow& w, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case kStartupMaintenanceMessage: {
            StartupMark("maintenance");
            std::optional<FoundRecovery> found = LookForRecovery(w);
            const Update update = w.model.StartupMaintenance();
            StartupMark("rolled_over_and_saved");
            Apply(w, update);
            StartupMark("ready");
            WriteStartupMarks();
            OfferRecovery(w, std::move(found));
            return TRUE;
        }
        case WM_PAINT:
            OnPaint(w);
            return TRUE;
        case WM_COMMAND:
            OnCommand(w, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return TRUE;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            const bool dateBoxEmpty = GetWindowTextLengthW(GetDlgItem(w.hwnd, IDC_DATE)) == 0;
            if (auto update = calendar::OnCalendarMouse(w.model, msg, lParam, dateBoxEmpty)) {
                Apply(w, *update);
            }
            return TRUE;
        }
        case WM_SYSCOMMAND: {
            if ((wParam & 0xFFF0) != SC_CLOSE) return FALSE;
            HWND hwnd = w.hwnd;  // a modeless window frees w when it closes
            SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, OnClose(w) ? 1 : 0);
            return TRUE;
        }
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
            return win::BlackOnWhite(reinterpret_cast<HDC>(wParam));
        default:
            return FALSE;
    }
}

void InitControls() {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
}

}  // namespace

INT_PTR MainWindow::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) return OnInitDialog(*this);
    if (msg == WM_NCDESTROY) {
        smallIcon.reset();
        return FALSE;
    }
    return Dispatch(*this, msg, wParam, lParam);
}

MainWindow* MainWindowFrom(HWND hwnd) {
    return win::DialogOf<MainWindow>(hwnd);
}

INT_PTR RunMainDialog(std::wstring firstArgument) {
    InitControls();
    MainWindow w;
    w.firstArgument = std::move(firstArgument);
    return win::RunModal(w, nullptr, win::DialogTemplate::Resource(IDD_MAIN_DIALOG));
}

HWND CreateMainDialog(std::wstring firstArgument) {
    InitControls();
    auto w = std::make_unique<MainWindow>();
    w->firstArgument = std::move(firstArgument);
    return win::CreateModeless(std::move(w), nullptr,
                               win::DialogTemplate::Resource(IDD_MAIN_DIALOG));
}

void Apply(MainWindow& w, const Update& update, HWND messageOwner) {
    ++w.applying;
    const EffectOnControls show{w, messageOwner ? messageOwner : w.hwnd};
    for (const Effect& e : update.effects) std::visit(show, e);
    if (update.calendar) {
        const win::WindowDc dc(w.hwnd);
        if (dc) calendar::PaintCalendar(dc.get(), *update.calendar, true);
    }
    if (update.invalidateCalendar) {
        RECT area{};
        GetClientRect(w.hwnd, &area);
        area.bottom = calendar::kCalendarBottom + 1;
        InvalidateRect(w.hwnd, &area, TRUE);
    }
    --w.applying;
    // Every change not yet saved reaches the recovery file at once.
    const EditorState& s = w.model.state();
    w.recovery.Keep(s.dataFile, s.loaded, s.dirty, s.data);
}

Answer AskUser(MainWindow& w, const Question& q, HWND owner) {
    const UINT buttons = q.withCancel ? MB_YESNOCANCEL : MB_YESNO;
    switch (
        win::ShowMessage(owner ? owner : w.hwnd, q.text, q.caption, buttons | MB_ICONEXCLAMATION)) {
        case IDYES:
            return Answer::kYes;
        case IDNO:
            return Answer::kNo;
        default:
            return Answer::kCancel;
    }
}

}  // namespace tessaly::editor
