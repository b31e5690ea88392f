// The real pop-ups under Wine: window, buttons, answers, painting, the clock and the midnight
// wait; the alert pop-up beside the day's.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "notifier/alerts.h"
#include "notifier/pass.h"
#include "notifier/tests/notifier_fixture.h"
#include "notifier/win/popup.h"
#include "notifier/win/system.h"

namespace tessaly {
namespace {

using testing::FakeClock;
using testing::MakeReminder;
using testing::MemoryStore;

constexpr DateKey kToday = 20261208;

// Runs `act` on the open pop-up from inside its modal loop (a thread timer fires there).
// Each firing acts on whatever pop-up of ours is open, so one driver serves a whole pass.
std::function<void(HWND)> gAct;
int gActed = 0;

BOOL CALLBACK FindPopup(HWND hwnd, LPARAM found) {
    wchar_t caption[32] = {};
    GetWindowTextW(hwnd, caption, 32);
    if (IsWindowVisible(hwnd) && std::wcscmp(caption, kPopupCaption) == 0) {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND OpenPopup() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindPopup, reinterpret_cast<LPARAM>(&found));
    return found;
}

void CALLBACK Drive(HWND, UINT, UINT_PTR, DWORD) {
    if (HWND popup = OpenPopup()) {
        ++gActed;
        gAct(popup);
    }
}

// Drives every pop-up opened while it lives; a safety timer closes any the test forgot.
class PopupDriver {
  public:
    explicit PopupDriver(std::function<void(HWND)> act) {
        gAct = std::move(act);
        gActed = 0;
        timer_ = SetTimer(nullptr, 0, 20, Drive);
    }
    ~PopupDriver() { KillTimer(nullptr, timer_); }

  private:
    UINT_PTR timer_;
};

void Answer(HWND popup, int id) {
    PostMessageW(popup, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(popup, id)));
}

PopupTexts SampleTexts() {
    return ComposePopupTexts(MakeReminder(kAppointment, "Dentist, Dr Brandt", kToday, 1430),
                             kToday);
}

std::wstring Text(HWND hwnd) {
    wchar_t buffer[128] = {};
    GetWindowTextW(hwnd, buffer, 128);
    return buffer;
}

TEST(PopupWindow, LooksAsSpecifiedAndRemindAgainAnswers) {
    struct Seen {
        std::wstring caption;
        LONG_PTR exStyle = 0, style = 0;
        RECT client{}, window{};
        std::wstring ackText, againText;
        RECT ack{}, again{};
        LONG_PTR ackStyle = 0, againStyle = 0;
        HWND focus = nullptr, againButton = nullptr;
        HWND owner = nullptr;
    } seen;
    const PopupTexts texts = SampleTexts();
    PopupDriver driver([&](HWND popup) {
        seen.caption = Text(popup);
        seen.exStyle = GetWindowLongPtrW(popup, GWL_EXSTYLE);
        seen.style = GetWindowLongPtrW(popup, GWL_STYLE);
        seen.owner = GetWindow(popup, GW_OWNER);
        GetClientRect(popup, &seen.client);
        GetWindowRect(popup, &seen.window);
        HWND ack = GetDlgItem(popup, kAcknowledgeId);
        HWND again = GetDlgItem(popup, kRemindAgainId);
        seen.ackText = Text(ack);
        seen.againText = Text(again);
        GetWindowRect(ack, &seen.ack);
        GetWindowRect(again, &seen.again);
        MapWindowPoints(nullptr, popup, reinterpret_cast<POINT*>(&seen.ack), 2);
        MapWindowPoints(nullptr, popup, reinterpret_cast<POINT*>(&seen.again), 2);
        seen.ackStyle = GetWindowLongPtrW(ack, GWL_STYLE);
        seen.againStyle = GetWindowLongPtrW(again, GWL_STYLE);
        seen.focus = GetFocus();
        seen.againButton = again;
        Answer(popup, kRemindAgainId);
    });
    EXPECT_EQ(ShowReminderPopup(texts), PopupAnswer::kRemindAgain);
    ASSERT_EQ(gActed, 1);

    EXPECT_EQ(seen.caption, L" Tessaly");
    EXPECT_TRUE(seen.exStyle & WS_EX_TOPMOST);
    EXPECT_TRUE(seen.style & WS_CAPTION);
    EXPECT_TRUE(seen.style & WS_SYSMENU);
    EXPECT_TRUE(seen.style & WS_MINIMIZEBOX);
    EXPECT_EQ(seen.owner, nullptr);
    EXPECT_EQ(seen.client.right, 400);
    EXPECT_EQ(seen.client.bottom, 220);
    const int centreX = (seen.window.left + seen.window.right) / 2;
    const int centreY = (seen.window.top + seen.window.bottom) / 2;
    EXPECT_NEAR(centreX, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR(centreY, GetSystemMetrics(SM_CYSCREEN) / 2, 1);

    EXPECT_EQ(seen.ackText, L"&Acknowledge");
    EXPECT_EQ(seen.againText, L"&Remind Again");
    EXPECT_EQ(seen.ack.left, 40);
    EXPECT_EQ(seen.ack.top, 150);
    EXPECT_EQ(seen.ack.right - seen.ack.left, 100);
    EXPECT_EQ(seen.ack.bottom - seen.ack.top, 40);
    EXPECT_EQ(seen.again.left, 240);
    EXPECT_EQ(seen.again.top, 150);
    EXPECT_EQ(seen.again.right - seen.again.left, 100);
    EXPECT_EQ(seen.again.bottom - seen.again.top, 40);
    EXPECT_EQ(seen.ackStyle & BS_TYPEMASK, BS_PUSHBUTTON);
    EXPECT_EQ(seen.againStyle & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_TRUE(seen.ackStyle & WS_TABSTOP);
    EXPECT_TRUE(seen.againStyle & WS_TABSTOP);
    EXPECT_EQ(seen.focus, seen.againButton);
}

TEST(PopupWindow, EnterAnswersRemindAgainAndEscapeDoesNothing) {
    int step = 0;
    PopupDriver driver([&](HWND popup) {
        HWND focus = GetFocus();
        if (step++ == 0) {
            PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 0);  // must be ignored
            return;
        }
        ASSERT_TRUE(IsWindow(popup)) << "Escape closed the pop-up";
        PostMessageW(focus, WM_KEYDOWN, VK_RETURN, 0);
    });
    EXPECT_EQ(ShowReminderPopup(SampleTexts()), PopupAnswer::kRemindAgain);
    EXPECT_GE(step, 2);
}

TEST(PopupWindow, AcknowledgeAndCloseCommandAnswer) {
    {
        PopupDriver driver([](HWND popup) { Answer(popup, kAcknowledgeId); });
        EXPECT_EQ(ShowReminderPopup(SampleTexts()), PopupAnswer::kAcknowledge);
    }
    {
        PopupDriver driver([](HWND popup) { PostMessageW(popup, WM_SYSCOMMAND, SC_CLOSE, 0); });
        EXPECT_EQ(ShowReminderPopup(SampleTexts()), PopupAnswer::kClose);
    }
}

AlertTexts SampleAlertTexts() {
    Alert alert;
    alert.at = LocalMinuteOf(kToday, 14 * 60 + 15);
    alert.eventAt = LocalMinuteOf(kToday, 14 * 60 + 30);
    alert.reminder = MakeReminder(kMeeting, "Budget review", kToday, 1430);
    return ComposeAlertTexts(alert, {kToday, 14, 15, 0});
}

TEST(AlertPopupWindow, LooksLikeTheDayPopUpWithDismissAndSnooze) {
    struct Button {
        int id;
        const wchar_t* caption;
        int x;
        LONG_PTR type;
    };
    const Button buttons[] = {{kDismissId, L"&Dismiss", 40, BS_PUSHBUTTON},
                              {kSnoozeId, L"&Snooze", 240, BS_DEFPUSHBUTTON}};
    bool checked = false;
    PopupDriver driver([&](HWND popup) {
        checked = true;
        EXPECT_EQ(Text(popup), L" Tessaly");
        EXPECT_TRUE(GetWindowLongPtrW(popup, GWL_EXSTYLE) & WS_EX_TOPMOST);
        EXPECT_EQ(GetWindow(popup, GW_OWNER), nullptr);
        RECT client{};
        GetClientRect(popup, &client);
        EXPECT_EQ(client.right, kPopupWidth);
        EXPECT_EQ(client.bottom, kPopupHeight);
        for (const Button& b : buttons) {
            HWND button = GetDlgItem(popup, b.id);
            ASSERT_NE(button, nullptr) << b.id;
            EXPECT_EQ(Text(button), b.caption);
            RECT r{};
            GetWindowRect(button, &r);
            MapWindowPoints(nullptr, popup, reinterpret_cast<POINT*>(&r), 2);
            EXPECT_EQ(r.left, b.x);
            EXPECT_EQ(r.top, 150);
            EXPECT_EQ(r.right - r.left, 100);
            EXPECT_EQ(r.bottom - r.top, 40);
            const LONG_PTR style = GetWindowLongPtrW(button, GWL_STYLE);
            EXPECT_EQ(style & BS_TYPEMASK, b.type) << b.id;
            EXPECT_TRUE(style & WS_TABSTOP);
        }
        EXPECT_EQ(GetFocus(), GetDlgItem(popup, kSnoozeId));
        EXPECT_EQ(GetDlgItem(popup, kAcknowledgeId), nullptr);
        Answer(popup, kDismissId);
    });
    EXPECT_EQ(ShowAlertPopup(SampleAlertTexts()), AlertAnswer::kDismiss);
    EXPECT_TRUE(checked);
}

TEST(AlertPopupWindow, OnlyDismissEndsAnAlertEverythingElseSnoozes) {
    struct Case {
        const char* what;
        std::function<void(HWND)> act;
        AlertAnswer answer;
    };
    const Case cases[] = {
        {"Dismiss", [](HWND p) { Answer(p, kDismissId); }, AlertAnswer::kDismiss},
        {"Alt+D", [](HWND) { PostMessageW(GetFocus(), WM_SYSCHAR, 'd', 1 << 29); },
         AlertAnswer::kDismiss},
        {"Snooze", [](HWND p) { Answer(p, kSnoozeId); }, AlertAnswer::kSnooze},
        {"Enter", [](HWND) { PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 0); },
         AlertAnswer::kSnooze},
        {"Escape", [](HWND) { PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0); },
         AlertAnswer::kSnooze},
        {"close box", [](HWND p) { PostMessageW(p, WM_SYSCOMMAND, SC_CLOSE, 0); },
         AlertAnswer::kSnooze},
    };
    for (const Case& c : cases) {
        PopupDriver driver(c.act);
        EXPECT_EQ(ShowAlertPopup(SampleAlertTexts()), c.answer) << c.what;
        EXPECT_EQ(gActed, 1) << c.what;
    }
}

ReminderData Lists(std::vector<Reminder> current) {
    return {ReminderList(std::move(current)), {}};
}

TEST(PopupWindow, PassWithTheRealPopUp) {
    // Acknowledging changes the lists.
    {
        MemoryStore store(
            Lists({MakeReminder(kMeeting, "weekly", kToday, 1000, 0, kWeeklyPeriod, 1),
                   MakeReminder(kAppointment, "dentist", kToday, 1430)}));
        FakeClock clock(kToday);
        PopupWindowResponder popup;
        ReminderData lists;
        PopupDriver driver([](HWND p) { Answer(p, kAcknowledgeId); });
        const PassReport report = RunPass(lists, store, clock, popup);
        EXPECT_EQ(report.acknowledged, 2);
        const ReminderData saved = store.Contents();
        ASSERT_EQ(saved.current.count(), 1);
        EXPECT_EQ(saved.current.at(1).date, 20261215);
        ASSERT_EQ(saved.archive.count(), 2);
        EXPECT_EQ(saved.archive.at(2).kind, kAppointment);
    }
    // The close command on the first of three stops the pass's pop-ups.
    {
        MemoryStore store(Lists({MakeReminder(kReminderKind, "a", kToday),
                                 MakeReminder(kReminderKind, "b", kToday),
                                 MakeReminder(kReminderKind, "c", kToday)}));
        FakeClock clock(kToday);
        PopupWindowResponder popup;
        ReminderData lists;
        PopupDriver driver([](HWND p) { PostMessageW(p, WM_SYSCOMMAND, SC_CLOSE, 0); });
        const PassReport report = RunPass(lists, store, clock, popup);
        EXPECT_TRUE(report.stopPopups);
        EXPECT_EQ(report.shown, 1);
        EXPECT_EQ(gActed, 1);
        EXPECT_EQ(store.Contents().current.count(), 3);
    }
}

// A 32-bpp top-down DIB section selected into a memory DC.
class Canvas {
  public:
    Canvas(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    COLORREF At(int x, int y) const {
        GdiFlush();
        const std::uint32_t p = static_cast<const std::uint32_t*>(bits_)[y * width_ + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    int Count(COLORREF colour, const RECT& area) const {
        int n = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) n += At(x, y) == colour;
        return n;
    }
    bool Valid() const { return bitmap_ && bits_; }

  private:
    int width_, height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    void* bits_ = nullptr;
};

TEST(PopupPainting, TextsInTheirColoursOnTheWindowColour) {
    Canvas canvas(kPopupWidth, kPopupHeight);
    ASSERT_TRUE(canvas.Valid());
    const RECT client{0, 0, kPopupWidth, kPopupHeight};
    PaintPopup(canvas.dc(), client, SampleTexts());

    const COLORREF black = RGB(0, 0, 0);
    EXPECT_EQ(canvas.At(0, 0), kPopupBackground);
    EXPECT_EQ(canvas.At(399, 219), kPopupBackground);
    EXPECT_GT(canvas.Count(kPopupBackground, client), kPopupWidth * kPopupHeight * 3 / 4);
    EXPECT_GT(canvas.Count(kPopupTitleColour, RECT{15, 16, 400, 49}), 50) << "red title";
    EXPECT_EQ(canvas.Count(kPopupTitleColour, RECT{0, 49, 400, 220}), 0);
    EXPECT_GT(canvas.Count(black, RECT{15, 49, 400, 81}), 30) << "description";
    EXPECT_GT(canvas.Count(black, RECT{15, 81, 400, 101}), 30) << "date line";
    EXPECT_GT(canvas.Count(black, RECT{38, 101, 400, 125}), 30) << "time line";
    EXPECT_EQ(canvas.Count(black, RECT{0, 101, 38, 130}), 0) << "the time line starts at x = 38";
    EXPECT_EQ(canvas.Count(black, RECT{0, 130, 400, 220}), 0);
    EXPECT_EQ(canvas.Count(black, RECT{0, 0, 15, 101}), 0) << "texts start at x = 15";
}

TEST(PopupPainting, EmptyTimeLineAndTextsCutAtNul) {
    Canvas canvas(kPopupWidth, kPopupHeight);
    ASSERT_TRUE(canvas.Valid());
    PopupTexts texts;
    texts.title = std::string("\0hidden", 7);
    texts.dateLine = "Sunday, December 20";
    PaintPopup(canvas.dc(), RECT{0, 0, kPopupWidth, kPopupHeight}, texts);
    EXPECT_EQ(canvas.Count(kPopupTitleColour, RECT{0, 0, 400, 220}), 0);
    EXPECT_EQ(canvas.Count(RGB(0, 0, 0), RECT{0, 101, 400, 220}), 0);
    EXPECT_GT(canvas.Count(RGB(0, 0, 0), RECT{15, 81, 400, 101}), 30);
}

TEST(AlertPopupPainting, TitleDescriptionAndTimeLeftOnTheWindowColour) {
    Canvas canvas(kPopupWidth, kPopupHeight);
    ASSERT_TRUE(canvas.Valid());
    const RECT client{0, 0, kPopupWidth, kPopupHeight};
    PaintAlertPopup(canvas.dc(), client, SampleAlertTexts());

    const COLORREF black = RGB(0, 0, 0);
    EXPECT_EQ(canvas.At(0, 0), kPopupBackground);
    EXPECT_GT(canvas.Count(kPopupBackground, client), kPopupWidth * kPopupHeight * 3 / 4);
    EXPECT_GT(canvas.Count(kPopupTitleColour, RECT{15, 16, 400, 49}), 50) << "red title";
    EXPECT_EQ(canvas.Count(kPopupTitleColour, RECT{0, 49, 400, 220}), 0);
    EXPECT_GT(canvas.Count(black, RECT{15, 49, 400, 81}), 30) << "description";
    EXPECT_GT(canvas.Count(black, RECT{15, 81, 400, 101}), 30) << "time left";
    EXPECT_EQ(canvas.Count(black, RECT{0, 101, 400, 220}), 0) << "nothing below it";
    EXPECT_EQ(canvas.Count(black, RECT{0, 0, 15, 220}), 0) << "texts start at x = 15";
}

TEST(SystemClock, TodayIsTheLocalDate) {
    SYSTEMTIME t;
    GetLocalTime(&t);
    SystemClock clock;
    const LocalTime now = clock.Now();
    EXPECT_EQ(now.date / 10000, t.wYear);
    EXPECT_GE(now.date % 10000 / 100, 1);
    EXPECT_LE(now.date % 10000 / 100, 12);
    EXPECT_LT(now.hour, 24);
}

}  // namespace
}  // namespace tessaly
