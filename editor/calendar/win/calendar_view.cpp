// The two-month calendar painted with GDI onto the main window's client area, and the
// resolution of a click against the cells it draws.
#include "editor/calendar/win/calendar_view.h"

#include <optional>
#include <string>

#include "editor/calendar/calendar_rules.h"
#include "editor/form/reminder_form.h"
#include "win/gdi.h"

namespace tessaly::calendar {
using namespace win;
namespace {

constexpr const char* kWeekdayHeader = "Sun Mon Tue Wed Thu Fri Sat";

// Keeps the caller's DC as it was: selected objects, colours and background mode come back
// before our fonts are deleted.
class SavedDc {
  public:
    explicit SavedDc(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {
        SelectObject(dc, GetStockObject(BLACK_PEN));
        SetBkMode(dc, OPAQUE);
    }
    ~SavedDc() { RestoreDC(dc_, saved_); }
    SavedDc(const SavedDc&) = delete;
    SavedDc& operator=(const SavedDc&) = delete;

  private:
    HDC dc_;
    int saved_;
};

void Line(HDC dc, int x1, int y1, int x2, int y2) {
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

void DrawSelectionFrame(HDC dc, Point o) {
    MoveToEx(dc, o.x - 3, o.y - 2, nullptr);
    LineTo(dc, o.x + 18, o.y - 2);
    LineTo(dc, o.x + 18, o.y + 18);
    LineTo(dc, o.x - 3, o.y + 18);
    LineTo(dc, o.x - 3, o.y - 2);
}

// Everything one DrawMonthPair needs: the DC, the shared state and the GDI objects of this
// drawing.
class PairPainter {
  public:
    PairPainter(HDC dc, CalendarState& state)
        : dc_(dc),
          state_(state),
          titleFont_(MakeOwnedFont(dc, "MS Sans Serif", 12)),
          dayFont_(MakeOwnedFont(dc, "Courier New", 10)),
          today_{state.todayYear, state.todayMonth, state.todayDay} {
        // A missing "Today" bitmap only loses the ring.
        todayBitmap_.reset(LoadBitmapA(GetModuleHandleA(nullptr), "Today"));
        if (todayBitmap_) {
            todayDc_.emplace(dc);
            if (*todayDc_) todaySelected_.emplace(todayDc_->get(), todayBitmap_.get());
        }
    }
    PairPainter(const PairPainter&) = delete;
    PairPainter& operator=(const PairPainter&) = delete;

    void Draw(int month, int year);

  private:
    HDC TodayDc() const { return todayDc_ && *todayDc_ ? todayDc_->get() : nullptr; }
    int CurrentIndex() const { return state_.currentIndex ? *state_.currentIndex : localIndex_; }
    void SetCurrentIndex(int i) { (state_.currentIndex ? *state_.currentIndex : localIndex_) = i; }
    int EditingState() const { return state_.editingState ? *state_.editingState : 0; }

    void DrawTitle(int panel, MonthYear my);
    // Returns true when the panel was left at a marked click.
    bool DrawDays(int panel, MonthYear my, MonthYear pair);
    void DrawDayNormally(int panel, MonthYear my, int day);
    void DrawDayText(Point o, int day, int month, int year);
    void OverlayTodayIfToday(Point o, int day, int month, int year);
    void RemoveOldMark(int panel, int day, MonthYear my, MonthYear pair);
    void LoadClickedDay(DateKey key);
    void UpdateStatusBar();
    void UpdateFormMode(bool cellClicked);

    HDC dc_;
    CalendarState& state_;
    Font titleFont_;
    Font dayFont_;
    CivilDate today_;
    // Declared in this order so the bitmap is put back out of the DC before either goes.
    Bitmap todayBitmap_;
    std::optional<MemoryDc> todayDc_;
    std::optional<SelectedObject> todaySelected_;
    int localIndex_ = 0;
};

void PairPainter::Draw(int month, int year) {
    const MonthYear pair{month, year};
    bool cellClicked = false;
    MonthYear my = pair;
    for (int panel = 0; panel <= 1; ++panel) {
        DrawTitle(panel, my);
        cellClicked = DrawDays(panel, my, pair) || cellClicked;
        my = NextMonth(my);
    }
    state_.displayedMonth = pair.month;
    state_.displayedYear = pair.year;
    UpdateStatusBar();
    UpdateFormMode(cellClicked);
    state_.clickX = 0;
    state_.clickY = 0;
    state_.monthChange = false;
}

void PairPainter::DrawTitle(int panel, MonthYear my) {
    const int x0 = kPanelWidth * panel;
    SelectObject(dc_, titleFont_.get());
    SetTextColor(dc_, kWhite);
    SetBkColor(dc_, kTitleBarBlue);
    DrawTextAt(dc_, x0 + 40, 10, std::string(36, ' '));
    const std::string title = MonthTitle(my.month, my.year);
    const int spare = TextWidth(dc_, std::string(42, ' ')) - TextWidth(dc_, title);
    // Floor division, also for a title wider than the bar.
    const int offset = spare >= 0 ? spare / 2 : -((1 - spare) / 2);
    DrawTextAt(dc_, x0 + 30 + offset, 10, title);
}

bool PairPainter::DrawDays(int panel, MonthYear my, MonthYear pair) {
    SelectObject(dc_, dayFont_.get());
    const int days = DaysInMonth(my.month, my.year);
    for (int d = 1; d <= days; ++d) {
        const Cell cell = CellOfDay(my.month, my.year, d);
        if (!CellHitRect(panel, cell).Contains(state_.clickX, state_.clickY)) {
            DrawDayNormally(panel, my, d);
            continue;
        }
        // The clicked cell: its text is already on the screen from the previous drawing.
        const DateKey key = MakeDateKey(my.year, my.month, d);
        RemoveOldMark(panel, d, my, pair);
        LoadClickedDay(key);
        if (state_.monthChange) {
            DrawDayNormally(panel, my, d);
            continue;
        }
        const Point o = CellOrigin(panel, cell);
        DrawSelectionFrame(dc_, o);
        state_.marked =
            MarkedCell{o.x, o.y, d, panel, my.month, my.year, key, pair.month, pair.year};
        state_.chosenMonth = my.month;
        state_.chosenDay = d;
        state_.chosenYear = my.year;
        // The days after the clicked one stay as the previous drawing left them.
        return true;
    }
    return false;
}

void PairPainter::DrawDayNormally(int panel, MonthYear my, int day) {
    const Point o = CellOrigin(panel, CellOfDay(my.month, my.year, day));
    DrawDayText(o, day, my.month, my.year);
    const MarkedCell& m = state_.marked;
    if (state_.listOpen && m.panel == panel && m.day == day && m.month == my.month &&
        m.year == my.year) {
        DrawSelectionFrame(dc_, o);
    }
    OverlayTodayIfToday(o, day, my.month, my.year);
}

void PairPainter::DrawDayText(Point o, int day, int month, int year) {
    SetTextColor(dc_, kBlack);
    SetBkColor(dc_, CellShaded(day, month, year, today_, state_.current) ? kShadedGrey : kWhite);
    DrawTextAt(dc_, o.x, o.y, DayText(day));
}

void PairPainter::OverlayTodayIfToday(Point o, int day, int month, int year) {
    if (!TodayDc() || day != today_.day || month != today_.month || year != today_.year) {
        return;
    }
    // SRCAND: the bitmap's white leaves the day number visible inside the red ring.
    BitBlt(dc_, o.x - 3, o.y - 3, 32, 32, TodayDc(), 0, 0, SRCAND);
}

void PairPainter::RemoveOldMark(int panel, int day, MonthYear my, MonthYear pair) {
    const MarkedCell& m = state_.marked;
    if (m.panel < 0) return;
    const bool sameCell =
        m.panel == panel && m.day == day && m.month == my.month && m.year == my.year;
    if (sameCell || m.pairMonth != pair.month || m.pairYear != pair.year) return;
    if (state_.hooks.clearForm) state_.hooks.clearForm();
    SetTextColor(dc_, kBlack);
    SetBkColor(dc_, kWhite);
    DrawTextAt(dc_, m.x - 5, m.y - 5, "   ");
    DrawTextAt(dc_, m.x - 5, m.y + 5, "   ");
    const Point o{m.x, m.y};
    DrawDayText(o, m.day, m.month, m.year);
    OverlayTodayIfToday(o, m.day, m.month, m.year);
}

void PairPainter::LoadClickedDay(DateKey key) {
    if (state_.stepping || state_.doubleClick) return;
    if (EditingState() != 0 && !state_.clickPending) return;
    SetCurrentIndex(0);
    const int first = state_.current ? FirstReminderOn(*state_.current, key) : 0;
    SetCurrentIndex(first);
    if (first != 0 && state_.hooks.fillForm) state_.hooks.fillForm(first);
    state_.clickPending = false;
}

void PairPainter::UpdateStatusBar() {
    auto& setText = state_.hooks.setStatusText;
    if (!setText) return;
    setText(2, "");
    setText(3, "");
    const int i = CurrentIndex();
    if (i == 0) return;
    setText(2, StatusPositionText(i, state_.current ? state_.current->count() : 0));
    setText(3,
            CalendarSameDateText(state_.hooks.sameDateNumber ? state_.hooks.sameDateNumber(i) : 0));
}

void PairPainter::UpdateFormMode(bool cellClicked) {
    const std::optional<int> mode = FormModeAfterDrawing({.monthChange = state_.monthChange,
                                                          .changedMark = state_.changedMark,
                                                          .reminderCurrent = CurrentIndex() != 0,
                                                          .editingState = EditingState(),
                                                          .listOpen = state_.listOpen,
                                                          .cellClicked = cellClicked});
    if (mode && state_.hooks.setFormMode) state_.hooks.setFormMode(*mode);
}

// GetDC/ReleaseDC around one operation.
template <typename Fn>
void WithWindowDc(HWND window, Fn&& fn) {
    const WindowDc dc(window);
    if (dc) fn(dc.get());
}

}  // namespace

void DrawCalendarFrame(HDC dc) {
    const Font headerFont = MakeOwnedFont(dc, "Courier New", 9);
    SavedDc saved(dc);
    SelectObject(dc, headerFont.get());
    SetTextColor(dc, kBlack);
    SetBkColor(dc, kWhite);
    for (int panel = 0; panel <= 1; ++panel) {
        const int x0 = kPanelWidth * panel;
        DrawTextAt(dc, x0 + 15, 40, kWeekdayHeader);
        Line(dc, x0 + 10, 60, x0 + 210, 60);
    }
    Line(dc, 220, 20, 220, 212);
    Line(dc, 10, 220, 430, 220);
}

void ClearCalendarDays(HDC dc) {
    const Font dayFont = MakeOwnedFont(dc, "Courier New", 10);
    SavedDc saved(dc);
    SelectObject(dc, dayFont.get());
    SetTextColor(dc, kBlack);
    SetBkColor(dc, kWhite);
    const std::string blanks(27, ' ');
    for (int panel = 0; panel <= 1; ++panel) {
        for (int j = 1; j <= 13; ++j) DrawTextAt(dc, kPanelWidth * panel + 2, 12 * j + 45, blanks);
    }
}

void DrawMonthPair(HDC dc, CalendarState& state, int month, int year) {
    // The painter's fonts and bitmap outlive the restored DC state, so nothing is deleted
    // while still selected.
    PairPainter painter(dc, state);
    SavedDc saved(dc);
    painter.Draw(month, year);
}

void ShowDateInCalendar(HDC dc, CalendarState& state, std::string_view dateText) {
    const CivilDate date = ParseDateParts(dateText);
    // Only a damaged record gives such a date; there is no month to show.
    if (date.month < 1 || date.month > 12) return;
    const MonthYear left = PairForDate(date.month, date.year, state.todayMonth);
    ClearCalendarDays(dc);
    DrawMonthPair(dc, state, left.month, left.year);
    if (date.day < 1 || date.day > DaysInMonth(date.month, date.year)) return;
    const Point click = ClickPointForDate(date.month, date.day, date.year, state.todayMonth);
    state.clickX = click.x;
    state.clickY = click.y;
    DrawMonthPair(dc, state, left.month, left.year);
}

void DrawCalendarFrame(HWND window) {
    WithWindowDc(window, [](HDC dc) { DrawCalendarFrame(dc); });
}

void ClearCalendarDays(HWND window) {
    WithWindowDc(window, [](HDC dc) { ClearCalendarDays(dc); });
}

void DrawMonthPair(HWND window, CalendarState& state, int month, int year) {
    WithWindowDc(window, [&](HDC dc) { DrawMonthPair(dc, state, month, year); });
}

void ShowDateInCalendar(HWND window, CalendarState& state, std::string_view dateText) {
    WithWindowDc(window, [&](HDC dc) { ShowDateInCalendar(dc, state, dateText); });
}

}  // namespace tessaly::calendar
