// The test prefix's printers: their metrics, their duplex setting, and a job read back as text
// and word positions, so printing tests can rely on all three.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/print/tests/printout.h"

namespace tessaly::print::test {
namespace {

std::vector<char> PrinterSettings(const char* printer) {
    HANDLE handle = nullptr;
    std::string name = printer;
    if (!OpenPrinterA(name.data(), &handle, nullptr)) return {};
    LONG size = DocumentPropertiesA(nullptr, handle, name.data(), nullptr, nullptr, 0);
    std::vector<char> settings(size > 0 ? size : 0);
    if (size > 0) {
        DocumentPropertiesA(nullptr, handle, name.data(),
                            reinterpret_cast<DEVMODEA*>(settings.data()), nullptr, DM_OUT_BUFFER);
    }
    ClosePrinter(handle);
    return settings;
}

TEST(TestPrinter, IsTheDefaultPrinter) {
    char device[128] = {};
    GetProfileStringA("windows", "device", "", device, sizeof device);
    EXPECT_EQ(std::string(device).substr(0, std::string(device).find(',')), kDuplexPrinter);
}

TEST(TestPrinter, LetterAt300DpiWithQuarterInchBordersAndHalfInchAtTheBottom) {
    for (const char* printer : {kDuplexPrinter, kSimplexPrinter}) {
        SCOPED_TRACE(printer);
        HDC dc = CreateDCA("WINSPOOL", printer, nullptr, nullptr);
        ASSERT_NE(dc, nullptr);
        EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 300);
        EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 300);
        EXPECT_EQ(GetDeviceCaps(dc, PHYSICALWIDTH), 2550);
        EXPECT_EQ(GetDeviceCaps(dc, PHYSICALHEIGHT), 3300);
        EXPECT_EQ(GetDeviceCaps(dc, PHYSICALOFFSETX), 75);
        EXPECT_EQ(GetDeviceCaps(dc, PHYSICALOFFSETY), 75);
        EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 2400);
        EXPECT_EQ(GetDeviceCaps(dc, VERTRES), 3075);
        DeleteDC(dc);
    }
}

TEST(TestPrinter, OnlyTheDuplexPrinterListsTheDuplexField) {
    std::vector<char> duplex = PrinterSettings(kDuplexPrinter);
    std::vector<char> simplex = PrinterSettings(kSimplexPrinter);
    ASSERT_GE(duplex.size(), sizeof(DEVMODEA));
    ASSERT_GE(simplex.size(), sizeof(DEVMODEA));
    EXPECT_TRUE(reinterpret_cast<DEVMODEA*>(duplex.data())->dmFields & DM_DUPLEX);
    EXPECT_FALSE(reinterpret_cast<DEVMODEA*>(simplex.data())->dmFields & DM_DUPLEX);
}

// Two pages, each with a line one inch from the sheet's left and top edges, read back.
Printout PrintTwoPages(const char* printer, short duplexMode, const std::string& output) {
    std::vector<char> settings = PrinterSettings(printer);
    auto* mode = reinterpret_cast<DEVMODEA*>(settings.data());
    if (duplexMode) {
        mode->dmDuplex = duplexMode;
        mode->dmFields |= DM_DUPLEX;
    }
    HDC dc = CreateDCA("WINSPOOL", printer, nullptr, mode);
    HFONT font = CreateFontA(-37, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, OUT_TT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Courier New");
    HGDIOBJ old = SelectObject(dc, font);
    DOCINFOA job{sizeof job, "test printer", output.c_str(), nullptr, 0};
    EXPECT_GT(StartDocA(dc, &job), 0);
    for (std::string line : {"First page (one) [two] {three}", "Second page"}) {
        EXPECT_GT(StartPage(dc), 0);
        TextOutA(dc, 300 - 75, 300 - 75, line.c_str(), static_cast<int>(line.size()));
        EndPage(dc);
    }
    EndDoc(dc);
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
    return ReadPrintout(output);
}

TEST(TestPrinter, WritesAJobThatReadsBackAsTextAtItsPlace) {
    Printout out = PrintTwoPages(kDuplexPrinter, DMDUP_VERTICAL, OutputPath("two-sided.ps"));
    ASSERT_EQ(out.pages.size(), 2u);
    EXPECT_NE(out.pages[0].find("First page (one) [two] {three}"), std::string::npos);
    EXPECT_NE(out.pages[1].find("Second page"), std::string::npos);
    EXPECT_TRUE(out.twoSided);
    ASSERT_FALSE(out.words.empty());
    EXPECT_EQ(out.words[0].page, 1);
    EXPECT_EQ(out.words[0].text, "First");
    EXPECT_NEAR(out.words[0].xMin, 72.0, 1.0);  // one inch, in points
    EXPECT_NEAR(out.words[0].yMin, 72.0, 3.0);  // the cell's top; glyphs start a little lower

    Printout oneSided = PrintTwoPages(kSimplexPrinter, 0, OutputPath("one-sided.ps"));
    EXPECT_EQ(oneSided.pages.size(), 2u);
    EXPECT_FALSE(oneSided.twoSided);
}

}  // namespace
}  // namespace tessaly::print::test
