// The two-month calendar painted with GDI onto the main window's client area.
#include "editor/calendar/win/calendar_painter.h"

#include <string>

#include "win/gdi.h"
#include "win/handles.h"

namespace tessaly::calendar {
namespace {

constexpr const char* kWeekdayHeader = "Sun Mon Tue Wed Thu Fri Sat";

// The day cells lie between the weekday rule (y 60) and the bottom rule (y 220).
constexpr RECT kDayArea{0, 61, 2 * kPanelWidth + 1, kCalendarBottom};

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

// Keeps the caller's DC as it was: selected objects, colours and background mode come back
// before the fonts are deleted.
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

void DrawFrameParts(HDC dc, HFONT headerFont) {
    SelectObject(dc, headerFont);
    SetTextColor(dc, win::kBlack);
    SetBkColor(dc, win::kWhite);
    for (int panel = 0; panel <= 1; ++panel) {
        const int x0 = kPanelWidth * panel;
        win::DrawTextAt(dc, x0 + 15, 40, kWeekdayHeader);
        Line(dc, x0 + 10, 60, x0 + 210, 60);
    }
    Line(dc, kPanelWidth, 20, kPanelWidth, 212);
    Line(dc, 10, kCalendarBottom, 430, kCalendarBottom);
}

void DrawTitle(HDC dc, HFONT titleFont, int panel, MonthYear my) {
    const int x0 = kPanelWidth * panel;
    SelectObject(dc, titleFont);
    SetTextColor(dc, win::kWhite);
    SetBkColor(dc, win::kTitleBarBlue);
    win::DrawTextAt(dc, x0 + 40, 10, std::string(36, ' '));
    const std::string title = MonthTitle(my.month, my.year);
    // Centred over 42 blanks of the title font, starting 30 pixels into the panel.
    const int spare = win::TextWidth(dc, std::string(42, ' ')) - win::TextWidth(dc, title);
    const int offset = spare >= 0 ? spare / 2 : -((1 - spare) / 2);  // floor, also below 0
    win::DrawTextAt(dc, x0 + 30 + offset, 10, title);
}

}  // namespace

void PaintCalendar(HDC dc, const Picture& picture, bool eraseDays) {
    // The fonts and the bitmap outlive the restored DC state, so nothing is deleted while
    // still selected.
    win::Font headerFont = win::MakeOwnedFont(dc, "Courier New", 9);
    win::Font titleFont = win::MakeOwnedFont(dc, "MS Sans Serif", 12);
    win::Font dayFont = win::MakeOwnedFont(dc, "Courier New", 10);
    // A missing "Today" bitmap only loses the ring.
    win::Bitmap todayBitmap(LoadBitmapA(GetModuleHandleA(nullptr), "Today"));
    win::MemoryDc todayDc(dc);
    win::SelectedObject todaySelected(todayDc.get(), todayBitmap.get());
    SavedDc saved(dc);

    if (eraseDays) FillRect(dc, &kDayArea, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawFrameParts(dc, headerFont.get());

    const CivilDate& today = picture.today;
    MonthYear my{picture.month, picture.year};
    for (int panel = 0; panel <= 1; ++panel, my = NextMonth(my)) {
        DrawTitle(dc, titleFont.get(), panel, my);
        SelectObject(dc, dayFont.get());
        SetTextColor(dc, win::kBlack);
        const int days = DaysInMonth(my.month, my.year);
        for (int d = 1; d <= days; ++d) {
            const Point o = CellOrigin(panel, CellOfDay(my.month, my.year, d));
            const bool shaded = CellShaded(d, my.month, my.year, today, picture.current);
            SetBkColor(dc, shaded ? win::kShadedGrey : win::kWhite);
            win::DrawTextAt(dc, o.x, o.y, DayText(d));
            if (panel == picture.framePanel && d == picture.frameDay) DrawSelectionFrame(dc, o);
            if (todayBitmap && d == today.day && my.month == today.month && my.year == today.year) {
                // SRCAND: the bitmap's white leaves the day number visible inside the ring.
                BitBlt(dc, o.x - 3, o.y - 3, 32, 32, todayDc.get(), 0, 0, SRCAND);
            }
        }
    }
}

}  // namespace tessaly::calendar
