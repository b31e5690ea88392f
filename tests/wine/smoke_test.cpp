// Proves that Win32 GUI tests run headless under Wine's null driver in the test prefix: windows,
// messages, painting into a DIB section, modal loops and the font set-up.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <cwchar>

namespace {

constexpr UINT kMsgAdd = WM_APP + 1;
constexpr COLORREF kFill = RGB(0x20, 0x80, 0xC0);

// One painting routine for WM_PAINT and captures alike.
void PaintSquare(HDC hdc, const RECT& area) {
    HBRUSH brush = CreateSolidBrush(kFill);
    FillRect(hdc, &area, brush);
    DeleteObject(brush);
}

LRESULT CALLBACK SmokeWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case kMsgAdd:
            return static_cast<LRESULT>(wParam + lParam);
        case WM_PRINTCLIENT: {
            RECT area{10, 10, 20, 20};
            PaintSquare(reinterpret_cast<HDC>(wParam), area);
            return 0;
        }
        default:
            return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

class SmokeWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        WNDCLASSW wc{};
        wc.lpfnWndProc = SmokeWindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TessalySmoke";
        RegisterClassW(&wc);  // fails harmlessly when an earlier test registered it
        hwnd_ = CreateWindowExW(0, L"TessalySmoke", L"smoke", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(hwnd_, nullptr) << "CreateWindowEx failed, error " << GetLastError();
    }
    void TearDown() override {
        if (hwnd_) DestroyWindow(hwnd_);
    }
    HWND hwnd_ = nullptr;
};

// A 32-bpp top-down DIB section and a memory DC selecting it; the bits are read after GdiFlush.
class Canvas {
  public:
    Canvas(int width, int height) : width_(width) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // negative: top-down rows
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        if (bitmap_) old_ = SelectObject(dc_, bitmap_);
        if (bits_) std::memset(bits_, 0xFF, static_cast<size_t>(width) * height * 4);
    }
    ~Canvas() {
        if (old_) SelectObject(dc_, old_);
        if (bitmap_) DeleteObject(bitmap_);
        if (dc_) DeleteDC(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool ok() const { return dc_ && bitmap_ && bits_; }
    HDC dc() const { return dc_; }
    // The pixel as a COLORREF (the DIB stores blue, green, red, unused).
    COLORREF Pixel(int x, int y) const {
        GdiFlush();
        uint32_t v = static_cast<const uint32_t*>(bits_)[y * width_ + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }

  private:
    int width_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    void* bits_ = nullptr;
};

TEST_F(SmokeWindow, SendMessageReachesTheWindowProcedure) {
    EXPECT_EQ(SendMessageW(hwnd_, kMsgAdd, 40, 2), 42);
    EXPECT_TRUE(SetWindowTextW(hwnd_, L"renamed"));
    wchar_t text[32] = {};
    GetWindowTextW(hwnd_, text, 32);
    EXPECT_STREQ(text, L"renamed");
}

TEST_F(SmokeWindow, PrintClientPaintsIntoADibSection) {
    Canvas canvas(32, 32);
    ASSERT_TRUE(canvas.ok());
    SendMessageW(hwnd_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
    EXPECT_EQ(canvas.Pixel(10, 10), kFill);
    EXPECT_EQ(canvas.Pixel(19, 19), kFill);
    EXPECT_EQ(canvas.Pixel(20, 20), RGB(0xFF, 0xFF, 0xFF));  // FillRect leaves the far edges
    EXPECT_EQ(canvas.Pixel(9, 10), RGB(0xFF, 0xFF, 0xFF));
}

// A thread timer runs inside a modal loop: the way tests answer message boxes and dialogs.
BOOL CALLBACK CloseMessageBox(HWND hwnd, LPARAM) {
    wchar_t cls[16] = {};
    GetClassNameW(hwnd, cls, 16);
    if (std::wcscmp(cls, L"#32770") == 0) PostMessageW(hwnd, WM_COMMAND, IDOK, 0);
    return TRUE;
}

void CALLBACK AnswerMessageBox(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    EnumThreadWindows(GetCurrentThreadId(), CloseMessageBox, 0);
}

TEST(SmokeModal, MessageBoxRunsAndIsAnsweredHeadless) {
    UINT_PTR timer = SetTimer(nullptr, 0, 50, AnswerMessageBox);
    ASSERT_NE(timer, 0u);
    EXPECT_EQ(MessageBoxW(nullptr, L"Closing by itself", L"Smoke", MB_OKCANCEL), IDOK);
}

// The prefix maps Courier New to Liberation Mono: a fixed-pitch face, so "iiii" is as wide as
// "WWWW".
TEST(SmokeFonts, CourierNewIsFixedPitch) {
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    HFONT font =
        CreateFontW(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, L"Courier New");
    HGDIOBJ old = SelectObject(dc, font);
    SIZE narrow{}, wide{};
    GetTextExtentPoint32W(dc, L"iiii", 4, &narrow);
    GetTextExtentPoint32W(dc, L"WWWW", 4, &wide);
    EXPECT_GT(narrow.cx, 0);
    EXPECT_EQ(narrow.cx, wide.cx);
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
}

TEST(SmokeFonts, MsSansSerifResolves) {
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    HFONT font = CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_SWISS, L"MS Sans Serif");
    HGDIOBJ old = SelectObject(dc, font);
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, face);
    EXPECT_STREQ(face, L"MS Sans Serif");
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
}

}  // namespace
