// Drives real AppMsgBox windows in-process under Wine: button sets, keys and results, icons,
// topmost, modal against modeless, and size and placement in the box's own font.
#include "editor/msgbox/win/app_msgbox.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "editor/msgbox/msgbox_layout.h"

namespace tessaly::editor {
namespace {

using namespace msgbox;

std::vector<unsigned> beeps;
void RecordBeep(unsigned type) {
    beeps.push_back(type);
}

// This thread's visible dialog (the box), or null.
HWND FindBox() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM out) {
            wchar_t cls[16] = {};
            GetClassNameW(hwnd, cls, 16);
            if (std::wstring(cls) == L"#32770" && IsWindowVisible(hwnd)) {
                *reinterpret_cast<HWND*>(out) = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Runs inside the modal box's own loop (a thread timer), once the box is up.
std::function<void(HWND)> whileOpen;
void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
    HWND box = FindBox();
    if (!box) return;
    KillTimer(nullptr, id);
    if (auto drive = std::exchange(whileOpen, nullptr)) drive(box);
}

int RunModal(std::string_view text, int style, int x, int y, std::function<void(HWND)> drive) {
    whileOpen = std::move(drive);
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, OnTimer);
    const int result = AppMsgBox(text, style, "Box Title", 0, x, y);
    KillTimer(nullptr, timer);
    whileOpen = nullptr;
    return result;
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

std::wstring TextOf(HWND hwnd) {
    wchar_t buffer[512] = {};
    GetWindowTextW(hwnd, buffer, 512);
    return buffer;
}

RECT ClientRectIn(HWND box, int id) {
    RECT r{};
    HWND control = GetDlgItem(box, id);
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

class AppMsgBoxTest : public ::testing::Test {
  protected:
    void SetUp() override { beeps.clear(); }
    void TearDown() override {
        while (HWND box = FindBox()) DestroyWindow(box);
        if (owner_) DestroyWindow(owner_);
        Pump();
    }
    // A plain top-level window, active, as the editor's window would be.
    void OpenOwner(int x, int y, int w, int h) {
        owner_ = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_CAPTION | WS_VISIBLE, x, y,
                                 w, h, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(owner_, nullptr);
        SetForegroundWindow(owner_);
        SetActiveWindow(owner_);
        ASSERT_EQ(GetActiveWindow(), owner_);
    }
    HWND owner_ = nullptr;
    const win::Replaced beeped_ = appMsgBoxBeep.Replace(&RecordBeep);
};

TEST_F(AppMsgBoxTest, ButtonSetsCaptionsDefaultAndFocus) {
    struct Case {
        int style;
        std::vector<std::pair<int, std::wstring>> buttons;
        int defaultId;
        int focusId;
    };
    const Case cases[] = {
        {3, {{9991, L"&Yes"}, {9992, L"&No"}, {9993, L"Cancel"}}, 9991, 9991},
        {4, {{9991, L"&Yes"}, {9992, L"&No"}}, 9991, 9991},
        {1, {{9991, L"&Ok"}, {9993, L"&Cancel"}}, 9991, 9991},
        {2, {{9994, L"&Ok"}}, 9994, 9994},  // abort/retry/ignore: the lone "&Ok"
        {-64, {{9994, L"&Ok"}}, 9994, 9994},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        RunModal("Question?", -std::abs(c.style), 0, 0, [&](HWND box) {
            EXPECT_EQ(GetActiveWindow(), box);
            for (int id : {9991, 9992, 9993, 9994}) {
                const auto it = std::find_if(c.buttons.begin(), c.buttons.end(),
                                             [id](auto& b) { return b.first == id; });
                HWND button = GetDlgItem(box, id);
                if (it == c.buttons.end()) {
                    EXPECT_EQ(button, nullptr) << id;
                    continue;
                }
                ASSERT_NE(button, nullptr) << id;
                EXPECT_EQ(TextOf(button), it->second);
                const LONG type = GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK;
                EXPECT_EQ(type == BS_DEFPUSHBUTTON, id == c.defaultId) << id;
                RECT r = ClientRectIn(box, id);
                EXPECT_EQ(r.bottom - r.top, 30);
                EXPECT_EQ(r.right - r.left, id == 9994 ? 80 : 60);
            }
            EXPECT_EQ(LOWORD(SendMessageW(box, DM_GETDEFID, 0, 0)), c.defaultId);
            EXPECT_EQ(GetFocus(), GetDlgItem(box, c.focusId));
            EXPECT_EQ(TextOf(GetDlgItem(box, 9990)), L"Question?");
            EXPECT_EQ(TextOf(box), L"Box Title");
            SendMessageW(box, WM_COMMAND, IDCANCEL, 0);
        });
    }
}

// What each way of closing returns; Escape gives Cancel only where there is a Cancel button.
TEST_F(AppMsgBoxTest, ResultsOfButtonsEnterAndEscape) {
    enum Action { kClick, kEnter, kEscape, kCloseBox };
    struct Case {
        int style;
        Action action;
        int id;  // the button clicked
        int result;
    };
    const Case cases[] = {
        {-3, kClick, 9991, IDYES}, {-3, kClick, 9992, IDNO},   {-3, kClick, 9993, IDCANCEL},
        {-3, kEnter, 0, IDYES},    {-3, kEscape, 0, IDCANCEL}, {-3, kCloseBox, 0, IDCANCEL},
        {-4, kClick, 9991, IDYES}, {-4, kClick, 9992, IDNO},   {-4, kEnter, 0, IDYES},
        {-4, kEscape, 0, IDNO},    {-1, kClick, 9991, IDYES},  {-1, kClick, 9993, IDCANCEL},
        {-1, kEnter, 0, IDYES},    {-1, kEscape, 0, IDCANCEL}, {-64, kClick, 9994, IDOK},
        {-64, kEnter, 0, IDOK},    {-64, kEscape, 0, IDNO},    {-48, kCloseBox, 0, IDNO},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.style << " action " << c.action << " id " << c.id);
        const int result = RunModal("Sure?", c.style, 0, 0, [&](HWND box) {
            HWND focus = GetFocus() ? GetFocus() : box;
            switch (c.action) {
                case kClick:
                    SendDlgItemMessageW(box, c.id, BM_CLICK, 0, 0);
                    break;
                case kEnter:
                    PostMessageW(focus, WM_KEYDOWN, VK_RETURN, 0);
                    break;
                case kEscape:
                    PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 0);
                    break;
                case kCloseBox:
                    PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
                    break;
            }
        });
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(FindBox(), nullptr);
    }
}

TEST_F(AppMsgBoxTest, ModalDisablesTheOwnerUntilClosed) {
    OpenOwner(100, 80, 400, 300);
    bool ownerEnabledWhileOpen = true;
    HWND boxOwner = nullptr;
    const int result = RunModal("Data", -64, 0, 0, [&](HWND box) {
        ownerEnabledWhileOpen = IsWindowEnabled(owner_);
        boxOwner = GetWindow(box, GW_OWNER);
        SendDlgItemMessageW(box, 9994, BM_CLICK, 0, 0);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_FALSE(ownerEnabledWhileOpen);
    EXPECT_EQ(boxOwner, owner_);
    EXPECT_TRUE(IsWindowEnabled(owner_));
}

TEST_F(AppMsgBoxTest, ModelessReturnsAtOnceAndClosesItself) {
    OpenOwner(100, 80, 400, 300);
    EXPECT_EQ(AppMsgBox("Later", 4, "Box Title", 0, 0, 0), 0);
    HWND box = FindBox();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(IsWindowEnabled(owner_));
    EXPECT_EQ(GetWindow(box, GW_OWNER), owner_);
    EXPECT_NE(GetDlgItem(box, 9991), nullptr);
    EXPECT_NE(GetDlgItem(box, 9992), nullptr);
    Pump();
    EXPECT_TRUE(IsWindow(box));  // stays until a button is pressed
    SendDlgItemMessageW(box, 9992, BM_CLICK, 0, 0);
    Pump();
    EXPECT_FALSE(IsWindow(box));
}

TEST_F(AppMsgBoxTest, IconsIndentBeepTopmostAndWhite) {
    struct Case {
        int style;
        int beep;
        int icon;  // 0: none
        int indent;
        std::vector<unsigned> beeps;
    };
    const Case cases[] = {
        {16 + 4, 1, 16, 50, {16}}, {32 + 3, 1, 32, 50, {32}}, {48 + 1, 0, 48, 50, {}},
        {64, 1, 64, 50, {64}},     {4, 1, 0, 10, {0}},        {0x1000 + 64, 1, 0, 50, {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        beeps.clear();
        ASSERT_EQ(AppMsgBox("Text", c.style, "Box Title", c.beep, 0, 0), 0);
        HWND box = FindBox();
        ASSERT_NE(box, nullptr);
        HWND icon = GetDlgItem(box, 9995);
        ASSERT_NE(icon, nullptr);
        const auto image =
            reinterpret_cast<HANDLE>(SendMessageW(icon, STM_GETIMAGE, IMAGE_ICON, 0));
        if (c.icon) {
            EXPECT_EQ(image,
                      LoadImageW(nullptr, SystemIconName(c.icon), IMAGE_ICON, 32, 32, LR_SHARED));
            RECT r{};
            GetClientRect(icon, &r);
            EXPECT_EQ(r.right, 32);
            EXPECT_EQ(r.bottom, 32);
            const RECT at = ClientRectIn(box, 9995);
            EXPECT_EQ(at.left, 10);
            EXPECT_EQ(at.top, 5);
        } else {
            EXPECT_EQ(image, nullptr);
        }
        EXPECT_EQ(ClientRectIn(box, 9990).left, c.indent);
        EXPECT_EQ(beeps, c.beeps);
        EXPECT_TRUE(GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_TOPMOST);

        HDC dc = GetDC(box);
        const auto white = reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
        EXPECT_EQ(SendMessageW(box, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc),
                               reinterpret_cast<LPARAM>(box)),
                  white);
        EXPECT_EQ(SendMessageW(box, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                               reinterpret_cast<LPARAM>(GetDlgItem(box, 9990))),
                  white);
        EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
        EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 255));
        ReleaseDC(box, dc);
        DestroyWindow(box);
    }
}

// The box measures in the font its label shows, and places itself as the rules say.
TEST_F(AppMsgBoxTest, SizeAndPlacementInTheBoxFont) {
    struct Case {
        const char* text;
        bool owner;
        int x, y;
    };
    const Case cases[] = {
        {"C:\\Users\\Tom & Jerry\\Documents\\Quorvane\\Tessaly\\Tessaly.tsy", true, 100, 100},
        {"one\r\ntwo\r\nthree\r\nfour\r\nfive", true, 0, 0},
        {"x", false, 0, 0},
        {"x", false, 100, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        if (c.owner) {
            OpenOwner(150, 90, 500, 400);
        } else {
            ASSERT_EQ(GetActiveWindow(), nullptr);
        }
        ASSERT_EQ(AppMsgBox(c.text, 64, "A title wider than the short texts", 0, c.x, c.y), 0);
        HWND box = FindBox();
        ASSERT_NE(box, nullptr);

        auto font = reinterpret_cast<HGDIOBJ>(SendMessageW(box, WM_GETFONT, 0, 0));
        EXPECT_EQ(SendDlgItemMessageW(box, 9990, WM_GETFONT, 0, 0),
                  reinterpret_cast<LRESULT>(font));
        HDC dc = GetDC(box);
        HGDIOBJ old = SelectObject(dc, font);
        // Measured here on its own, not through the box's measure.
        struct Direct final : TextMeasure {
            explicit Direct(HDC dc) : dc(dc) {}
            HDC dc;
            TextExtent Extent(std::string_view s) const override {
                std::wstring w(s.begin(), s.end());  // ASCII texts
                SIZE size{};
                GetTextExtentPoint32W(dc, w.c_str(), static_cast<int>(w.size()), &size);
                return {static_cast<int>(size.cx), static_cast<int>(size.cy)};
            }
        } measure(dc);
        Placement placement;
        RECT work{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        placement.workArea = {work.left, work.top, work.right, work.bottom};
        if (c.owner) placement.owner = Rect{150, 90, 650, 490};
        placement.x = c.x;
        placement.y = c.y;
        const Layout want = LayoutBox(c.text, "A title wider than the short texts", ParseStyle(64),
                                      measure, placement);
        SelectObject(dc, old);
        ReleaseDC(box, dc);

        RECT outer{};
        GetWindowRect(box, &outer);
        EXPECT_EQ((Rect{outer.left, outer.top, outer.right, outer.bottom}), want.box);
        const RECT label = ClientRectIn(box, 9990);
        EXPECT_EQ((Rect{label.left, label.top, label.right, label.bottom}), want.text);
        EXPECT_EQ(ClientRectIn(box, 9994).top, want.buttonTop);
        EXPECT_GE(want.box.Width(), 220);
        EXPECT_GE(want.box.Height(), 120);
        if (c.owner && c.x) {
            EXPECT_EQ(outer.left, 250);
            EXPECT_EQ(outer.top, 190);
        }
        DestroyWindow(box);
        if (owner_) DestroyWindow(owner_);
        owner_ = nullptr;
        Pump();
    }
}

}  // namespace
}  // namespace tessaly::editor
