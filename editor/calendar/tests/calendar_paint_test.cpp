// The calendar painted into a 32-bpp memory bitmap: pixels, click resolution and the
// calls it makes into the main window.
#include "editor/calendar/win/calendar_view.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "editor/calendar/calendar_rules.h"
#include "win/gdi.h"

namespace tessaly::calendar {
namespace {

constexpr int kWidth = 440;
constexpr int kHeight = 240;
constexpr std::uint32_t kWhitePixel = 0xFFFFFF;
constexpr std::uint32_t kShadePixel = 0xD3D3D3;
constexpr std::uint32_t kTitleBarPixel = 0x8080FF;

Reminder On(DateKey date) {
    Reminder r;
    r.kind = kReminderKind;
    r.date = date;
    r.frequency = kOneTime;
    r.period = 1;
    return r;
}

// A white top-down DIB section selected into a memory DC.
class Canvas {
  public:
    Canvas() {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = kWidth;
        info.bmiHeader.biHeight = -kHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_),
                                   nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        PatBlt(dc_, 0, 0, kWidth, kHeight, WHITENESS);
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return dc_; }
    std::uint32_t At(int x, int y) const {
        GdiFlush();
        return bits_[y * kWidth + x] & 0xFFFFFF;
    }
    template <typename Pred>
    int Count(int left, int top, int right, int bottom, Pred pred) const {
        GdiFlush();
        int n = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) n += pred(bits_[y * kWidth + x] & 0xFFFFFF) ? 1 : 0;
        }
        return n;
    }
    int CountColour(int left, int top, int right, int bottom, std::uint32_t colour) const {
        return Count(left, top, right, bottom, [=](std::uint32_t p) { return p == colour; });
    }
    // A BMP file of the canvas, for looking at.
    void Save(const char* path) const {
        GdiFlush();
        BITMAPFILEHEADER file{};
        BITMAPINFOHEADER info{};
        info.biSize = sizeof info;
        info.biWidth = kWidth;
        info.biHeight = -kHeight;
        info.biPlanes = 1;
        info.biBitCount = 32;
        info.biCompression = BI_RGB;
        const DWORD pixels = kWidth * kHeight * 4;
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof file + sizeof info;
        file.bfSize = file.bfOffBits + pixels;
        if (FILE* f = std::fopen(path, "wb")) {
            std::fwrite(&file, sizeof file, 1, f);
            std::fwrite(&info, sizeof info, 1, f);
            std::fwrite(bits_, pixels, 1, f);
            std::fclose(f);
        }
    }

  private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    std::uint32_t* bits_ = nullptr;
};

bool IsRed(std::uint32_t p) {
    const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    return r >= 128 && g < 64 && b < 64;
}
bool IsDark(std::uint32_t p) {
    return ((p >> 16) & 0xFF) < 100 && ((p >> 8) & 0xFF) < 100 && (p & 0xFF) < 100;
}

// Today is Wednesday 9 December 2026; the pair shows December 2026 and January 2027.
// Current list: 1: Dec 5 (a past day), 2 and 3: Dec 20, 4: Jan 15.
class CalendarPaint : public ::testing::Test {
  protected:
    CalendarPaint() : list_({On(20261205), On(20261220), On(20261220), On(20270115)}) {
        state_.todayMonth = 12;
        state_.todayDay = 9;
        state_.todayYear = 2026;
        state_.displayedMonth = 12;
        state_.displayedYear = 2026;
        state_.current = &list_;
        state_.currentIndex = &currentIndex_;
        state_.editingState = &editingState_;
        state_.hooks.clearForm = [this] { calls_.push_back("clear"); };
        state_.hooks.fillForm = [this](int i) { calls_.push_back("fill " + std::to_string(i)); };
        state_.hooks.setFormMode = [this](int m) { calls_.push_back("mode " + std::to_string(m)); };
        state_.hooks.setStatusText = [this](int part, const std::string& text) {
            status_[part] = text;
        };
        state_.hooks.sameDateNumber = [](int i) { return i == 2 ? 1 : i == 3 ? 2 : 0; };
    }

    // As on WM_PAINT.
    void Paint() {
        DrawCalendarFrame(canvas_.dc());
        DrawMonthPair(canvas_.dc(), state_, state_.displayedMonth, state_.displayedYear);
    }
    // As a single click in the calendar.
    void Click(int x, int y) {
        state_.clickPending = true;
        state_.clickX = x;
        state_.clickY = y;
        DrawMonthPair(canvas_.dc(), state_, state_.displayedMonth, state_.displayedYear);
    }
    static Point OriginOf(int panel, int month, int year, int day) {
        return CellOrigin(panel, CellOfDay(month, year, day));
    }
    // The pixels of a selection frame's top line around a cell.
    int FrameTopDarkPixels(Point o) const {
        return canvas_.Count(o.x - 3, o.y - 2, o.x + 19, o.y - 1, IsDark);
    }

    Canvas canvas_;
    ReminderList list_;
    int currentIndex_ = 0;
    int editingState_ = 0;
    CalendarState state_;
    std::vector<std::string> calls_;
    std::string status_[4];
};

TEST_F(CalendarPaint, FrameTitlesDaysShadingAndTodayRing) {
    Paint();
    if (const char* path = std::getenv("TESSALY_CALENDAR_BMP")) canvas_.Save(path);

    // Rules: weekday rule, separator, bottom rule, all black.
    for (auto [x, y] :
         {std::pair{10, 60}, {200, 60}, {230, 60}, {220, 20}, {220, 200}, {10, 220}, {429, 220}}) {
        EXPECT_EQ(canvas_.At(x, y), 0u) << x << "," << y;
    }
    // Title bars in both panels, with white title text on them.
    for (int x0 : {0, 220}) {
        const int bar = canvas_.CountColour(x0 + 20, 5, x0 + 220, 35, kTitleBarPixel);
        EXPECT_GT(bar, 1000) << "panel at " << x0;
        EXPECT_GT(canvas_.CountColour(x0 + 60, 12, x0 + 180, 26, kWhitePixel), 20);
        EXPECT_EQ(canvas_.At(x0 + 41, 12), kTitleBarPixel);
    }
    // Weekday header text is drawn.
    EXPECT_GT(canvas_.Count(15, 40, 210, 55, IsDark), 50);

    // Dec 20 carries reminders: grey background; Dec 5 is past: white; Dec 21 has none.
    const Point dec20 = OriginOf(0, 12, 2026, 20);
    const Point dec5 = OriginOf(0, 12, 2026, 5);
    const Point dec21 = OriginOf(0, 12, 2026, 21);
    const Point jan15 = OriginOf(1, 1, 2027, 15);
    EXPECT_GT(canvas_.CountColour(dec20.x, dec20.y, dec20.x + 16, dec20.y + 13, kShadePixel), 60);
    EXPECT_GT(canvas_.CountColour(jan15.x, jan15.y, jan15.x + 16, jan15.y + 13, kShadePixel), 60);
    EXPECT_EQ(canvas_.CountColour(dec5.x - 5, dec5.y - 5, dec5.x + 25, dec5.y + 20, kShadePixel),
              0);
    EXPECT_EQ(
        canvas_.CountColour(dec21.x - 5, dec21.y - 5, dec21.x + 25, dec21.y + 20, kShadePixel), 0);
    // Every day number is drawn (dark digit pixels in each of the 31 + 31 cells).
    for (int d = 1; d <= 31; ++d) {
        const Point l = OriginOf(0, 12, 2026, d), r = OriginOf(1, 1, 2027, d);
        EXPECT_GT(canvas_.Count(l.x, l.y, l.x + 17, l.y + 15, IsDark), 5) << "Dec " << d;
        EXPECT_GT(canvas_.Count(r.x, r.y, r.x + 17, r.y + 15, IsDark), 5) << "Jan " << d;
    }

    // The red ring around today, and nowhere else.
    const Point dec9 = OriginOf(0, 12, 2026, 9);
    EXPECT_GT(canvas_.Count(dec9.x - 3, dec9.y - 3, dec9.x + 29, dec9.y + 29, IsRed), 40);
    EXPECT_EQ(canvas_.Count(0, 0, kWidth, kHeight, IsRed),
              canvas_.Count(dec9.x - 3, dec9.y - 3, dec9.x + 29, dec9.y + 29, IsRed));
    // The ring is ANDed over the cell: the digit inside stays visible on white.
    EXPECT_EQ(canvas_.At(dec9.x + 2, dec9.y + 7), kWhitePixel);
    EXPECT_GT(canvas_.Count(dec9.x + 8, dec9.y, dec9.x + 17, dec9.y + 15, IsDark), 5);

    // No click, no list window: no selection and the form mode is left alone.
    EXPECT_EQ(state_.marked.panel, -1);
    EXPECT_TRUE(calls_.empty());
    EXPECT_EQ(status_[2], "");
    EXPECT_EQ(status_[3], "");
}

TEST_F(CalendarPaint, ClickResolvesTheDayFramesItAndLoadsItsFirstReminder) {
    Paint();
    const Point dec20 = OriginOf(0, 12, 2026, 20);
    Click(dec20.x + 10, dec20.y + 10);
    EXPECT_EQ(calls_, (std::vector<std::string>{"fill 2", "mode 4"}));
    EXPECT_EQ(currentIndex_, 2);
    EXPECT_EQ(status_[2], "  Reminder 2 of 4");
    EXPECT_EQ(status_[3], " 1");
    EXPECT_EQ((std::tuple{state_.chosenMonth, state_.chosenDay, state_.chosenYear}),
              (std::tuple{12, 20, 2026}));
    EXPECT_EQ(state_.marked.key, 20261220);
    EXPECT_EQ(state_.marked.panel, 0);
    EXPECT_EQ((std::pair{state_.clickX, state_.clickY}), (std::pair{0, 0}));
    EXPECT_FALSE(state_.clickPending);
    // The frame: all four sides are black lines.
    EXPECT_EQ(FrameTopDarkPixels(dec20), 22);
    EXPECT_EQ(canvas_.Count(dec20.x - 3, dec20.y + 18, dec20.x + 19, dec20.y + 19, IsDark), 22);
    EXPECT_EQ(canvas_.Count(dec20.x - 3, dec20.y - 2, dec20.x - 2, dec20.y + 19, IsDark), 21);
    EXPECT_EQ(canvas_.Count(dec20.x + 18, dec20.y - 2, dec20.x + 19, dec20.y + 19, IsDark), 21);
    if (const char* path = std::getenv("TESSALY_CALENDAR_CLICK_BMP")) canvas_.Save(path);

    // A click in the right panel moves the mark: the old frame goes, the form is cleared.
    calls_.clear();
    const Point jan15 = OriginOf(1, 1, 2027, 15);
    Click(jan15.x + 1, jan15.y + 1);
    EXPECT_EQ(calls_, (std::vector<std::string>{"clear", "fill 4", "mode 4"}));
    EXPECT_EQ(FrameTopDarkPixels(dec20), 0);
    EXPECT_GT(canvas_.CountColour(dec20.x, dec20.y, dec20.x + 16, dec20.y + 13, kShadePixel), 60);
    EXPECT_EQ(FrameTopDarkPixels(jan15), 22);
    EXPECT_EQ(state_.marked.panel, 1);
    EXPECT_EQ((std::tuple{state_.chosenMonth, state_.chosenDay, state_.chosenYear}),
              (std::tuple{1, 15, 2027}));
    EXPECT_EQ(status_[3], "   ");

    // A day without reminders: nothing current, FormMode 1, empty status parts.
    calls_.clear();
    const Point jan16 = OriginOf(1, 1, 2027, 16);
    Click(jan16.x + 28, jan16.y + 24);
    EXPECT_EQ(calls_, (std::vector<std::string>{"clear", "mode 1"}));
    EXPECT_EQ(currentIndex_, 0);
    EXPECT_EQ(status_[2], "");
    EXPECT_EQ(status_[3], "");
}

TEST_F(CalendarPaint, BorderClickSelectsNothing) {
    Paint();
    const Point dec6 = OriginOf(0, 12, 2026, 6);  // Sunday, column 0: right border at x = 44
    ASSERT_EQ(dec6.x + 29, 44);
    Click(44, dec6.y + 10);
    EXPECT_TRUE(calls_.empty());
    EXPECT_EQ(state_.marked.panel, -1);
    EXPECT_EQ(state_.chosenDay, 0);
    EXPECT_EQ(FrameTopDarkPixels(dec6), 0);
}

TEST_F(CalendarPaint, ArrowMonthChangeNeverMarksAndLeavesFormModeZero) {
    Paint();
    const Point dec20 = OriginOf(0, 12, 2026, 20);
    Click(dec20.x + 5, dec20.y + 5);
    calls_.clear();
    // The right arrow: two months on.
    state_.displayedMonth = 2;
    state_.displayedYear = 2027;
    state_.monthChange = true;
    ClearCalendarDays(canvas_.dc());
    Paint();
    EXPECT_EQ(calls_, (std::vector<std::string>{"mode 0"}));
    EXPECT_FALSE(state_.monthChange);
    EXPECT_EQ(state_.marked.key, 20261220);  // still the old mark, not one of the new pair
    const Point feb20 = OriginOf(0, 2, 2027, 20);
    EXPECT_EQ(FrameTopDarkPixels(feb20), 0);
    // The old December digits and frame are gone, February's days are drawn.
    EXPECT_EQ(canvas_.CountColour(0, 60, kWidth, 219, kShadePixel), 0);
    EXPECT_EQ(canvas_.Count(0, 0, kWidth, kHeight, IsRed), 0);
}

TEST_F(CalendarPaint, RepaintShowsTheFrameOnlyWhileTheListIsOpen) {
    Paint();
    const Point dec20 = OriginOf(0, 12, 2026, 20);
    Click(dec20.x + 5, dec20.y + 5);
    // The window's own background painting wipes the calendar before WM_PAINT.
    PatBlt(canvas_.dc(), 0, 0, kWidth, kHeight, WHITENESS);
    Paint();
    EXPECT_EQ(FrameTopDarkPixels(dec20), 0);
    state_.listOpen = true;
    Paint();
    EXPECT_EQ(FrameTopDarkPixels(dec20), 22);
}

TEST_F(CalendarPaint, ShowDateInCalendarPicksThePairAndSelectsTheDate) {
    // A January date while today's month (December) is even: December and January.
    state_.displayedMonth = 2;
    state_.displayedYear = 2027;
    ShowDateInCalendar(canvas_.dc(), state_, "01-15-2027");
    EXPECT_EQ((std::pair{state_.displayedMonth, state_.displayedYear}), (std::pair{12, 2026}));
    EXPECT_EQ(state_.marked.panel, 1);
    EXPECT_EQ(state_.marked.key, 20270115);
    EXPECT_EQ(calls_.back(), "mode 4");
    EXPECT_EQ(currentIndex_, 4);
    EXPECT_EQ(FrameTopDarkPixels(OriginOf(1, 1, 2027, 15)), 22);

    // Stepping shows the date without loading the form itself.
    calls_.clear();
    state_.stepping = true;
    currentIndex_ = 1;
    ShowDateInCalendar(canvas_.dc(), state_, "12/20/2026");
    EXPECT_EQ(state_.marked.key, 20261220);
    for (const std::string& call : calls_) EXPECT_EQ(call.rfind("fill", 0), std::string::npos);
    EXPECT_EQ(currentIndex_, 1);

    // A month that no record can hold shows nothing and changes nothing.
    calls_.clear();
    ShowDateInCalendar(canvas_.dc(), state_, "13-01-2027");
    EXPECT_TRUE(calls_.empty());
    EXPECT_EQ(state_.marked.key, 20261220);
}

TEST_F(CalendarPaint, LargeListPaintsQuickly) {
    // 12,000 reminders, one a day from 2026-12-10 on, so every later day of the pair is grey.
    std::vector<Reminder> entries;
    for (int i = 0; i < 12000; ++i) {
        const CivilDate d = CivilFromDays(DaysFromCivil(2026, 12, 10) + i);
        entries.push_back(On(MakeDateKey(d.year, d.month, d.day)));
    }
    list_ = ReminderList(std::move(entries));
    LARGE_INTEGER freq, t0, t1;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&t0);
    Paint();
    QueryPerformanceCounter(&t1);
    const double ms = 1000.0 * double(t1.QuadPart - t0.QuadPart) / double(freq.QuadPart);
    RecordProperty("paint_ms", std::to_string(ms));
    std::printf("pair painted with 12000 reminders in %.1f ms\n", ms);
    EXPECT_LT(ms, 500.0);
    const Point jan31 = OriginOf(1, 1, 2027, 31);
    const Point dec10 = OriginOf(0, 12, 2026, 10);
    const Point dec8 = OriginOf(0, 12, 2026, 8);
    EXPECT_GT(canvas_.CountColour(jan31.x, jan31.y, jan31.x + 16, jan31.y + 13, kShadePixel), 60);
    EXPECT_GT(canvas_.CountColour(dec10.x, dec10.y, dec10.x + 16, dec10.y + 13, kShadePixel), 60);
    EXPECT_EQ(canvas_.CountColour(dec8.x, dec8.y, dec8.x + 16, dec8.y + 13, kShadePixel), 0);
}

TEST_F(CalendarPaint, SixRowMonthAndDayFontHeight) {
    // August 2026 starts on a Saturday: its 30th and 31st sit in the sixth row at y = 195.
    state_.displayedMonth = 8;
    state_.displayedYear = 2026;
    Paint();
    const Point aug31 = OriginOf(0, 8, 2026, 31);
    EXPECT_EQ(aug31.y, 195);
    EXPECT_GT(canvas_.Count(aug31.x, 195, aug31.x + 17, 210, IsDark), 5);
    Click(aug31.x + 3, 205);
    EXPECT_EQ(state_.chosenDay, 31);
    // At 96 pixels per inch the 10 pt day font is 13 pixels high.
    HFONT font = win::MakeFont(canvas_.dc(), "Courier New", 10);
    LOGFONTA lf{};
    GetObjectA(font, sizeof lf, &lf);
    EXPECT_EQ(lf.lfHeight, -13);
    DeleteObject(font);
}

}  // namespace
}  // namespace tessaly::calendar
