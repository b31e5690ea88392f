// The editor's resources as the program finds them in its own module.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

struct Rgb {
    int r, g, b;
};

// Draws the icon at size x size onto white and returns its pixels.
std::vector<Rgb> RenderIcon(const char* name, int size) {
    HICON icon =
        static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_ICON, size, size, 0));
    EXPECT_NE(icon, nullptr) << name << " at " << size;
    if (icon == nullptr) return {};
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC dc = CreateCompatibleDC(nullptr);
    std::uint32_t* bits = nullptr;
    HBITMAP bmp =
        CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bmp);
    PatBlt(dc, 0, 0, size, size, WHITENESS);
    DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    GdiFlush();
    std::vector<Rgb> pixels;
    for (int i = 0; i < size * size; ++i) {
        pixels.push_back(
            {int(bits[i] >> 16 & 0xFF), int(bits[i] >> 8 & 0xFF), int(bits[i] & 0xFF)});
    }
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    DestroyIcon(icon);
    return pixels;
}

template <typename Pred>
int Count(const std::vector<Rgb>& pixels, Pred pred) {
    int n = 0;
    for (const Rgb& p : pixels) n += pred(p) ? 1 : 0;
    return n;
}

bool PaleYellow(const Rgb& p) {
    return p.r > 230 && p.g > 200 && p.b < 200;
}
bool Blue(const Rgb& p) {
    return p.b > 150 && p.r < 140 && p.b > p.r + 60;
}

TEST(EditorResources, IconsAtBothSizesShowABulbAndBlueChevrons) {
    for (int size : {32, 16}) {
        const auto bulb = RenderIcon("Alight", size);
        EXPECT_GT(Count(bulb, PaleYellow), size * size / 8) << size;
        for (const char* arrow : {"leftArrow", "rightArrow"}) {
            const auto chevron = RenderIcon(arrow, size);
            EXPECT_GT(Count(chevron, Blue), size * size / 8) << arrow << " " << size;
        }
    }
    // The left chevron's point is on the left: more blue in the left half of the middle row.
    const auto left = RenderIcon("leftArrow", 32);
    const auto right = RenderIcon("rightArrow", 32);
    auto blueAt = [](const std::vector<Rgb>& px, int x0, int x1) {
        int n = 0;
        for (int x = x0; x < x1; ++x) n += Blue(px[16 * 32 + x]) ? 1 : 0;
        return n;
    };
    EXPECT_GT(blueAt(left, 0, 16), blueAt(left, 16, 32));
    EXPECT_GT(blueAt(right, 16, 32), blueAt(right, 0, 16));
}

TEST(EditorResources, TodayBitmapIs32By32) {
    HBITMAP today = LoadBitmapA(GetModuleHandleA(nullptr), "Today");
    ASSERT_NE(today, nullptr);
    BITMAP bm{};
    GetObjectA(today, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 32);
    EXPECT_EQ(bm.bmHeight, 32);
    DeleteObject(today);
}

std::wstring VersionString(const std::vector<char>& block, const wchar_t* name) {
    wchar_t* value = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueW(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) ||
        value == nullptr) {
        return L"(missing)";
    }
    return value;
}

TEST(EditorResources, VersionInformationAndManifest) {
    wchar_t path[MAX_PATH];
    ASSERT_GT(GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
    const DWORD size = GetFileVersionInfoSizeW(path, nullptr);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, block.data()));
    EXPECT_EQ(VersionString(block, L"ProductName"), L"Tessaly");
    EXPECT_EQ(VersionString(block, L"CompanyName"), L"Quorvane");
    EXPECT_EQ(VersionString(block, L"ProductVersion"), L"3.03");
    EXPECT_EQ(VersionString(block, L"FileVersion"), L"3.03");
    // UTF-8 in the script arrives as the same characters.
    EXPECT_EQ(VersionString(block, L"FileDescription"), L"Tessaly \u2013 personal reminders");
    EXPECT_EQ(VersionString(block, L"LegalCopyright"), L"\u00A9 Quorvane");
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, (3u << 16) | 3u);

    EXPECT_NE(FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)), nullptr);
}

}  // namespace
