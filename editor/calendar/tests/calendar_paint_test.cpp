// The calendar painted into a 32-bpp memory bitmap from pictures of what it should show.
#include "editor/calendar/win/calendar_painter.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
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
    CalendarPaint() : list_({On(20261205), On(20261220), On(20261220), On(20270115)}) {}

    Picture PairOf(int month, int year, int framePanel = 0, int frameDay = 0) const {
        Picture p;
        p.month = month;
        p.year = year;
        p.today = {2026, 12, 9};
        p.current = &list_;
        p.framePanel = framePanel;
        p.frameDay = frameDay;
        return p;
    }
    // As on WM_PAINT: the background was erased just before.
    void Paint(const Picture& p) { PaintCalendar(canvas_.dc(), p, false); }
    // As after a command: the old drawing is still on the screen.
    void Repaint(const Picture& p) { PaintCalendar(canvas_.dc(), p, true); }

    static Point OriginOf(int panel, int month, int year, int day) {
        return CellOrigin(panel, CellOfDay(month, year, day));
    }
    // The pixels of a selection frame's top line around a cell.
    int FrameTopDarkPixels(Point o) const {
        return canvas_.Count(o.x - 3, o.y - 2, o.x + 19, o.y - 1, IsDark);
    }
    int ShadedPixels(Point o) const {
        return canvas_.CountColour(o.x, o.y, o.x + 16, o.y + 13, kShadePixel);
    }

    Canvas canvas_;
    ReminderList list_;
};

TEST_F(CalendarPaint, FrameTitlesDaysShadingAndTodayRing) {
    Paint(PairOf(12, 2026));
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
    EXPECT_GT(ShadedPixels(dec20), 60);
    EXPECT_GT(ShadedPixels(jan15), 60);
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

    // No frame asked for: none drawn.
    EXPECT_EQ(FrameTopDarkPixels(dec20), 0);
}

TEST_F(CalendarPaint, TheFrameMovesAndTheOldOneIsErased) {
    Paint(PairOf(12, 2026, 0, 20));
    const Point dec20 = OriginOf(0, 12, 2026, 20);
    // The frame: all four sides are black lines.
    EXPECT_EQ(FrameTopDarkPixels(dec20), 22);
    EXPECT_EQ(canvas_.Count(dec20.x - 3, dec20.y + 18, dec20.x + 19, dec20.y + 19, IsDark), 22);
    EXPECT_EQ(canvas_.Count(dec20.x - 3, dec20.y - 2, dec20.x - 2, dec20.y + 19, IsDark), 21);
    EXPECT_EQ(canvas_.Count(dec20.x + 18, dec20.y - 2, dec20.x + 19, dec20.y + 19, IsDark), 21);
    if (const char* path = std::getenv("TESSALY_CALENDAR_CLICK_BMP")) canvas_.Save(path);

    // A frame in the right panel: the old one goes, the old cell keeps its shading.
    const Point jan15 = OriginOf(1, 1, 2027, 15);
    Repaint(PairOf(12, 2026, 1, 15));
    EXPECT_EQ(FrameTopDarkPixels(dec20), 0);
    EXPECT_GT(ShadedPixels(dec20), 60);
    EXPECT_EQ(FrameTopDarkPixels(jan15), 22);

    // A reminder deleted: its day is no longer shaded.
    list_.RemoveAt(4);
    Repaint(PairOf(12, 2026, 1, 15));
    EXPECT_EQ(ShadedPixels(jan15), 0);
    EXPECT_EQ(FrameTopDarkPixels(jan15), 22);
}

TEST_F(CalendarPaint, AnotherPairReplacesTheOldDaysEntirely) {
    Paint(PairOf(12, 2026, 0, 20));
    Repaint(PairOf(2, 2027));
    // The old December shading, frame and ring are gone, February's days are drawn.
    EXPECT_EQ(canvas_.CountColour(0, 60, kWidth, 219, kShadePixel), 0);
    EXPECT_EQ(canvas_.Count(0, 0, kWidth, kHeight, IsRed), 0);
    EXPECT_EQ(FrameTopDarkPixels(OriginOf(0, 12, 2026, 20)), 0);
    const Point feb28 = OriginOf(0, 2, 2027, 28);
    EXPECT_GT(canvas_.Count(feb28.x, feb28.y, feb28.x + 17, feb28.y + 15, IsDark), 5);
    // August 2026 fills a sixth row; February 2027 does not, so that row must go.
    Repaint(PairOf(8, 2026));
    EXPECT_GT(canvas_.Count(1, 195, 219, 210, IsDark), 5);
    Repaint(PairOf(2, 2027));
    EXPECT_EQ(canvas_.Count(1, 195, 219, 210, IsDark), 0);
}

TEST_F(CalendarPaint, LargeListShadesEveryDayItCovers) {
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
    Paint(PairOf(12, 2026));
    QueryPerformanceCounter(&t1);
    const double ms = 1000.0 * double(t1.QuadPart - t0.QuadPart) / double(freq.QuadPart);
    RecordProperty("paint_ms", std::to_string(ms));
    std::printf("pair painted with 12000 reminders in %.1f ms\n", ms);
    EXPECT_GT(ShadedPixels(OriginOf(1, 1, 2027, 31)), 60);
    EXPECT_GT(ShadedPixels(OriginOf(0, 12, 2026, 10)), 60);
    EXPECT_EQ(ShadedPixels(OriginOf(0, 12, 2026, 8)), 0);
}

TEST_F(CalendarPaint, SixRowMonthAndDayFontHeight) {
    // August 2026 starts on a Saturday: its 30th and 31st sit in the sixth row at y = 195.
    Paint(PairOf(8, 2026, 0, 31));
    const Point aug31 = OriginOf(0, 8, 2026, 31);
    EXPECT_EQ(aug31.y, 195);
    EXPECT_GT(canvas_.Count(aug31.x, 195, aug31.x + 17, 210, IsDark), 5);
    EXPECT_EQ(FrameTopDarkPixels(aug31), 22);
    // At 96 pixels per inch the 10 pt day font is 13 pixels high.
    HFONT font = win::MakeFont(canvas_.dc(), "Courier New", 10);
    LOGFONTA lf{};
    GetObjectA(font, sizeof lf, &lf);
    EXPECT_EQ(lf.lfHeight, -13);
    DeleteObject(font);
}

}  // namespace
}  // namespace tessaly::calendar
