// The main window's life: creation, start-up (folders, data file, maintenance), painting,
// colours, the form operations, and the dialog procedure that dispatches to the handlers.
#include "editor/win/main_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "core/data_file.h"
#include "core/file_io.h"
#include "core/occurrence.h"
#include "editor/calendar/calendar_rules.h"
#include "editor/calendar/win/calendar_view.h"
#include "editor/form/reminder_form.h"
#include "editor/paths/editor_paths.h"
#include "editor/win/resource.h"
#include "win/controls.h"
#include "win/folders.h"
#include "win/gdi.h"
#include "win/message_box.h"
#include "win/single_instance.h"
#include "win/text.h"

namespace tessaly::editor {
using namespace win;
namespace {

constexpr int kStatusParts = 3;

DateKey SystemToday() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return MakeDateKey(now.wYear, now.wMonth, now.wDay);
}

// special + \Quorvane\Tessaly, created (with \Quorvane) when it is not there; a folder that
// cannot be created is not reported: the paths below it then simply fail to open.
std::wstring EnsureProductFolder(const std::wstring& special) {
    const std::wstring product = special + std::wstring(kProductFolder);
    if (!IsExistingFolder(product)) {
        CreateDirectoryW((special + std::wstring(kVendorFolder)).c_str(), nullptr);
        CreateDirectoryW((product + L"\\").c_str(), nullptr);
    }
    return product;
}

std::optional<std::string> SettingsFirstLine(const std::wstring& settingsFile) {
    if (!IsExistingFile(settingsFile)) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(std::filesystem::path(settingsFile), bytes, IfMissing::kFail)) {
        return std::nullopt;
    }
    return FirstLine(std::string(bytes.begin(), bytes.end()));
}

void FindPaths(MainWindow& w) {
    auto special = w.options.specialFolderPath ? w.options.specialFolderPath : SpecialFolderPath;
    EditorPaths& p = w.paths;
    p.programFolder = EnsureProductFolder(special(kCommonAppDataFolder));
    p.settingsFile = p.programFolder + std::wstring(kSettingsFileName);
    p.helpFile = p.programFolder + std::wstring(kHelpFileName);
    p.documentFolder = EnsureProductFolder(special(kDocumentsFolder));
    p.dataFile = ChooseDataFilePath(
        w.options.firstArgument, SettingsFirstLine(p.settingsFile), p.documentFolder,
        [](std::string_view ansi) { return AnsiToWide(ansi); }, IsExistingFile);
    p.dataFolder = FolderPart(p.dataFile);
}

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

void ConnectCalendar(MainWindow& w) {
    calendar::CalendarState& c = w.calendar;
    c.current = &w.data.current;
    c.currentIndex = &w.currentIndex;
    c.editingState = &w.editingState;
    c.hooks.clearForm = [&w] { ClearForm(w); };
    c.hooks.fillForm = [&w](int index) { FillForm(w, index); };
    c.hooks.setFormMode = [&w](int mode) { SetFormMode(w, mode); };
    c.hooks.setStatusText = [&w](int part, const std::string& text) {
        SetStatusText(w, part, text);
    };
    c.hooks.sameDateNumber = [&w](int index) {
        return index >= 1 && index < static_cast<int>(w.sameDate.size()) ? w.sameDate[index] : 0;
    };
}

BOOL OnInitDialog(MainWindow& w) {
    w.smallIcon = LoadNamedIcon("Alight", LR_DEFAULTSIZE);
    if (w.smallIcon) SendMessageW(w.hwnd, WM_SETICON, ICON_SMALL, LPARAM(w.smallIcon));
    for (auto [id, name] :
         {std::pair{IDC_LEFT_ARROW, "leftArrow"}, std::pair{IDC_RIGHT_ARROW, "rightArrow"}}) {
        if (HICON icon = LoadNamedIcon(name, LR_DEFAULTSIZE | LR_SHARED)) {
            SendDlgItemMessageW(w.hwnd, id, STM_SETICON, WPARAM(icon), 0);
        }
    }
    SetWindowTextW(w.hwnd, Utf8ToWide(kWindowTitle).c_str());
    // The weekday label reaches under the time label's left end; lift it above that label
    // (which clips its siblings), so "Wednesday" is not cut off by the time label's background.
    HWND timeLabel = GetDlgItem(w.hwnd, IDC_TIME_LABEL);
    SetWindowPos(GetDlgItem(w.hwnd, IDC_WEEKDAY), GetWindow(timeLabel, GW_HWNDPREV), 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    w.whiteBrush = CreateSolidBrush(kWhite);

    for (int kind = kBirthday; kind <= kMeeting; ++kind) {
        SendDlgItemMessageW(w.hwnd, IDC_KIND, CB_ADDSTRING, 0,
                            LPARAM(Cp1252ToWide(KindName(kind)).c_str()));
    }
    SetStatusParts(w);

    FindPaths(w);
    LoadDataFile(w);

    w.today = w.options.today ? w.options.today() : SystemToday();
    const CivilDate today = SplitDateKey(w.today);
    calendar::CalendarState& c = w.calendar;
    c.todayMonth = today.month;
    c.todayDay = today.day;
    c.todayYear = today.year;
    c.displayedMonth = today.month;
    c.displayedYear = today.year;
    c.clickX = c.clickY = 0;
    ConnectCalendar(w);
    w.currentIndex = 0;

    ClearForm(w);
    SetFormMode(w, kModeStart);
    EnableWindow(GetDlgItem(w.hwnd, IDC_PREV), FALSE);

    PostMessageW(w.hwnd, kStartupMaintenanceMessage, 0, 0);
    return TRUE;
}

// The roll-over once the window is up. The file is saved where the roll-over hands over
// (archived, not yet advanced) and again at its end, so past one-time reminders are not
// archived a second time at the next start. Neither save marks the lists as changed.
// A file that could not be read (held by the notifier too long, no access) is not written
// either: saving the empty lists would replace every reminder it holds.
void OnStartupMaintenance(MainWindow& w) {
    const std::filesystem::path file(w.paths.dataFile);
    auto save = [&] {
        if (w.loaded) SaveReminderFile(file, w.data, kEditorLabel);
    };
    RollOver(w.data.current, w.data.archive, w.today, save);
    save();
    RecomputeSameDate(w);
    SetStatusTextWide(w, 1, w.paths.dataFile);
    RECT calendarArea{0, 0, 0, calendar::kCalendarBottom + 1};
    GetClientRect(w.hwnd, &calendarArea);
    calendarArea.bottom = calendar::kCalendarBottom + 1;
    InvalidateRect(w.hwnd, &calendarArea, TRUE);
}

// The background is erased by BeginPaint (white, from WM_CTLCOLORDLG); the calendar is then
// painted over it through the same DC.
void OnPaint(MainWindow& w) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w.hwnd, &ps);
    calendar::DrawCalendarFrame(dc);
    calendar::DrawMonthPair(dc, w.calendar, w.calendar.displayedMonth, w.calendar.displayedYear);
    EndPaint(w.hwnd, &ps);
}

INT_PTR OnCtlColorStatic(MainWindow& w, HDC dc) {
    SetTextColor(dc, kBlack);
    SetBkColor(dc, kWhite);
    return reinterpret_cast<INT_PTR>(w.whiteBrush);
}

void OnDestroy(MainWindow& w) {
    if (w.whiteBrush) DeleteObject(w.whiteBrush);
    if (w.smallIcon) DestroyIcon(w.smallIcon);
    w.whiteBrush = nullptr;
    w.smallIcon = nullptr;
}

INT_PTR Dispatch(MainWindow& w, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case kStartupMaintenanceMessage:
            OnStartupMaintenance(w);
            return TRUE;
        case WM_PAINT:
            OnPaint(w);
            return TRUE;
        case WM_COMMAND:
            OnCommand(w, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return TRUE;
        case WM_LBUTTONDOWN:
            OnLeftButtonDown(w, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return TRUE;
        case WM_LBUTTONDBLCLK:
            OnLeftButtonDoubleClick(w, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return TRUE;
        case WM_SYSCOMMAND: {
            if ((wParam & 0xFFF0) != SC_CLOSE) return FALSE;
            HWND hwnd = w.hwnd;  // a modeless window frees w when it closes
            SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, OnClose(w) ? 1 : 0);
            return TRUE;
        }
        case WM_CTLCOLORDLG:
            return reinterpret_cast<INT_PTR>(w.whiteBrush);
        case WM_CTLCOLORSTATIC:
            return OnCtlColorStatic(w, reinterpret_cast<HDC>(wParam));
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK MainDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    try {
        if (msg == WM_INITDIALOG) {
            auto* w = reinterpret_cast<MainWindow*>(lParam);
            w->hwnd = hwnd;
            SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
            return OnInitDialog(*w);
        }
        MainWindow* w = MainWindowFrom(hwnd);
        if (!w) return FALSE;
        if (msg == WM_NCDESTROY) {
            // The children are gone by now, so nothing asks for the brush any more.
            OnDestroy(*w);
            SetWindowLongPtrW(hwnd, DWLP_USER, 0);
            if (!w->modal) delete w;
            return FALSE;
        }
        return Dispatch(*w, msg, wParam, lParam);
    } catch (...) {
        // Nothing may unwind through the system's dispatcher; the message counts as unhandled.
        return FALSE;
    }
}

void InitControls() {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
}

}  // namespace

MainWindow* MainWindowFrom(HWND hwnd) {
    return reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, DWLP_USER));
}

INT_PTR RunMainDialog(HINSTANCE instance, EditorOptions options) {
    InitControls();
    MainWindow w;
    w.options = std::move(options);
    w.modal = true;
    return DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_MAIN_DIALOG), nullptr, MainDialogProc,
                           reinterpret_cast<LPARAM>(&w));
}

HWND CreateMainDialog(HINSTANCE instance, EditorOptions options) {
    InitControls();
    auto w = std::make_unique<MainWindow>();
    w->options = std::move(options);
    HWND hwnd = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_MAIN_DIALOG), nullptr,
                                   MainDialogProc, reinterpret_cast<LPARAM>(w.get()));
    if (hwnd) w.release();  // the window owns it now and frees it at WM_NCDESTROY
    return hwnd;
}

int RunEditor(HINSTANCE instance, std::wstring_view commandLine, EditorOptions options) {
    // Held for the whole run; released only as the program ends.
    const SingleInstance instanceMutex("Tessaly");
    if (!instanceMutex.IsOnlyCopy()) return 0;
    options.firstArgument = FirstArgument(commandLine);
    return static_cast<int>(RunMainDialog(instance, std::move(options)));
}

void LoadDataFile(MainWindow& w) {
    w.loaded = static_cast<bool>(LoadReminderFile(std::filesystem::path(w.paths.dataFile), w.data));
}

void RecomputeSameDate(MainWindow& w) {
    w.sameDate = SameDateOrdinals(w.data.current);
}

void SetStatusText(MainWindow& w, int part, std::string_view cp1252) {
    SetStatusTextWide(w, part, Cp1252ToWide(cp1252));
}

void ShowPositionInStatus(MainWindow& w) {
    const int i = w.currentIndex;
    if (i >= 1 && i <= w.data.current.count()) {
        SetStatusText(w, 2, StatusPositionText(i, w.data.current.count()));
        SetStatusText(w, 3, SameDateText(w.calendar.hooks.sameDateNumber(i)));
    } else {
        SetStatusText(w, 2, "");
        SetStatusText(w, 3, "");
    }
}

void SetFormMode(MainWindow& w, int mode) {
    struct Row {
        bool newOn, addOn, deleteOn, cancelOn, nextOn, prevOn;
        const wchar_t* addCaption;  // null: unchanged
        int editing;
    };
    static constexpr Row rows[] = {
        {false, false, false, false, true, true, nullptr, 0},
        {true, false, false, false, true, true, nullptr, 0},
        {false, true, false, true, false, false, L"&Add", 1},
        {false, true, true, true, false, false, L"&Replace", 2},
        {true, false, true, false, true, true, L"&Replace", 0},
    };
    if (mode < kModeStart || mode > kModeShown) return;
    const Row& r = rows[mode];
    HWND h = w.hwnd;
    EnableWindow(GetDlgItem(h, IDC_NEW), r.newOn);
    EnableWindow(GetDlgItem(h, IDC_ADD), r.addOn);
    EnableWindow(GetDlgItem(h, IDC_DELETE), r.deleteOn);
    EnableWindow(GetDlgItem(h, IDC_CANCEL), r.cancelOn);
    EnableWindow(GetDlgItem(h, IDC_NEXT), r.nextOn);
    EnableWindow(GetDlgItem(h, IDC_PREV), r.prevOn);
    if (r.addCaption) SetDlgItemTextW(h, IDC_ADD, r.addCaption);
    w.formMode = mode;
    w.editingState = r.editing;
    if (w.currentIndex == 1) EnableWindow(GetDlgItem(h, IDC_PREV), FALSE);
    if (w.currentIndex == w.data.current.count()) EnableWindow(GetDlgItem(h, IDC_NEXT), FALSE);
}

void FillForm(MainWindow& w, int index) {
    if (index < 1 || index > w.data.current.count()) return;
    const Reminder r = w.data.current.at(index);
    HWND h = w.hwnd;
    w.justFilled = false;
    w.currentIndex = index;
    SetDlgItemTextW(h, IDC_ADD, L"Replace");
    SetItemText(h, IDC_KIND, KindName(r.kind));
    SetItemText(h, IDC_DESCRIPTION, r.Description());
    if (r.date != 0) {
        SetItemText(h, IDC_DATE, DateKeyText(r.date));
        const CivilDate d = SplitDateKey(r.date);
        SetItemText(h, IDC_WEEKDAY, WeekdayName(DayOfWeek(d.month, d.year, d.day)));
    }
    const FormTimeFields time = FormTimeText(r.kind, r.timeOrYear);
    if (r.timeOrYear != 0) SetItemText(h, IDC_TIME_LABEL, time.timeLabel);
    SetItemText(h, IDC_TIME, time.timeText);
    SetItemText(h, IDC_NOTIFY, std::to_string(r.notifyDays));
    CheckRadioButton(h, IDC_ONE_TIME, IDC_WEEKDAY_MONTHS, IDC_FREQUENCY_GROUP + r.frequency);
    SetItemText(h, IDC_PERIOD, std::to_string(r.period));
    if (r.frequency < kMonthlyPeriod) {
        ShowWindow(GetDlgItem(h, IDC_PERIOD), SW_HIDE);
        ShowWindow(GetDlgItem(h, IDC_PERIOD_LABEL), SW_HIDE);
    }
    UpdatePeriodFields(w, r.frequency);
    w.justFilled = true;
}

void ClearForm(MainWindow& w) {
    HWND h = w.hwnd;
    for (int id : {IDC_KIND, IDC_DESCRIPTION, IDC_DATE, IDC_WEEKDAY, IDC_TIME, IDC_NOTIFY,
                   IDC_PERIOD, IDC_PERIOD_LABEL}) {
        SetDlgItemTextW(h, id, L"");
    }
    ShowWindow(GetDlgItem(h, IDC_PERIOD), SW_HIDE);
    ShowWindow(GetDlgItem(h, IDC_PERIOD_LABEL), SW_HIDE);
    CheckRadioButton(h, IDC_ONE_TIME, IDC_WEEKDAY_MONTHS, IDC_ONE_TIME);
}

void UpdatePeriodFields(MainWindow& w, int code) {
    const PeriodFields fields = PeriodLabelText(code, GetItemText(w.hwnd, IDC_DATE), w.today);
    if (!fields.change) return;
    if (fields.show) SetItemText(w.hwnd, IDC_PERIOD_LABEL, fields.label);
    const int show = fields.show ? SW_SHOW : SW_HIDE;
    ShowWindow(GetDlgItem(w.hwnd, IDC_PERIOD), show);
    ShowWindow(GetDlgItem(w.hwnd, IDC_PERIOD_LABEL), show);
}

}  // namespace tessaly::editor
