// The print object and the help-text printout on the test prefix's printers: the printer
// dialog and message boxes through seams, the jobs read back with Ghostscript and poppler.
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/print/help_text_layout.h"
#include "editor/print/tests/printout.h"
#include "editor/print/win/help_text_print.h"
#include "editor/print/win/print_object.h"
#include "editor/print/win/printer_calls.h"
#include "win/message_box.h"

namespace tessaly::print {
namespace {

using test::kDuplexPrinter;
using test::kSimplexPrinter;
using test::Printout;
using win::ComPtr;

struct Message {
    std::string text, caption;
    UINT style = 0;
};

// Stands in for the printer dialog and the message box; jobs go to a file of their own.
class PrintTest : public ::testing::Test {
  protected:
    void SetUp() override {
        output_ = test::OutputPath(
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".ps");
        into_.emplace(test::PrintInto(output_));
        ChooseInDialog(kDuplexPrinter);
    }
    void TearDown() override {
        dialog_.reset();
        into_.reset();
    }

    // The dialog answers OK with this printer, as PrintDlg does: a device context and DEVMODE
    // and DEVNAMES in global memory. Null: the dialog is cancelled.
    void ChooseInDialog(const char* printer) {
        dialog_.reset();
        dialog_.emplace(printDialog.Replace([this, printer](PRINTDLGA* dialog) -> BOOL {
            dialogFlags_ = dialog->Flags;
            ++dialogs_;
            return printer ? test::AnswerPrintDialog(dialog, printer) : FALSE;
        }));
    }

    Printout Read() { return test::ReadPrintout(output_); }

    std::string output_;
    std::vector<Message> messages_;
    const win::Replaced answered_ = win::messageBox.Replace(
        [this](HWND, std::string_view text, std::string_view caption, UINT style) {
            messages_.push_back({std::string(text), std::string(caption), style});
            return IDOK;
        });
    std::optional<win::Replaced> into_;
    std::optional<win::Replaced> dialog_;
    DWORD dialogFlags_ = 0;
    int dialogs_ = 0;
};

ComPtr<ITPrint> NewPrinter() {
    ComPtr<ITPrint> printer = CreatePrintObject();
    EXPECT_TRUE(printer);
    return printer;
}

TEST(PrintObjectFactory, CreatesByClassNameWithItsInterfaces) {
    ComPtr<ITPrint> printer;
    ASSERT_EQ(CreateObjectByName("cTPrint", IID_ITPrint,
                                 reinterpret_cast<void**>(printer.GetAddressOf())),
              S_OK);
    ComPtr<IUnknown> unknown;
    EXPECT_EQ(printer.As(&unknown), S_OK);
    ComPtr<IDispatch> dispatch;
    EXPECT_EQ(printer.As(&dispatch), E_NOINTERFACE);
    EXPECT_EQ(printer->AddRef(), 3u);  // ours, the IUnknown's, this one
    EXPECT_EQ(printer->Release(), 2u);

    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(CreateObjectByName("cTPrinter", IID_ITPrint, &none), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(CreateObjectByName("cTPrint", IID_IDispatch, &none), E_NOINTERFACE);
}

TEST_F(PrintTest, ChoosePrinterAsksWithoutPageNumbersOrSelectionAndGivesTheName) {
    ComPtr<ITPrint> printer = NewPrinter();
    EXPECT_EQ(printer->CanDuplex(), 0);  // no printer yet: no settings to ask
    EXPECT_EQ(printer->ChoosePrinter(), kDuplexPrinter);
    EXPECT_EQ(dialogFlags_, static_cast<DWORD>(PD_RETURNDC | PD_HIDEPRINTTOFILE | PD_NOSELECTION |
                                               PD_NOPAGENUMS | PD_USEDEVMODECOPIESANDCOLLATE));
    EXPECT_EQ(printer->CanDuplex(), 1);

    ChooseInDialog(kSimplexPrinter);
    EXPECT_EQ(printer->ChoosePrinter(), kSimplexPrinter);
    EXPECT_EQ(printer->CanDuplex(), 0);

    ChooseInDialog(nullptr);
    ComPtr<ITPrint> cancelled = NewPrinter();
    EXPECT_EQ(cancelled->ChoosePrinter(), "");
    EXPECT_EQ(cancelled->CanDuplex(), 0);
    EXPECT_TRUE(messages_.empty());
}

// A one-page job after SetDuplex(mode), read back.
Printout PrintWithDuplex(ITPrint& printer, int mode, const std::string& output) {
    const win::Replaced into = test::PrintInto(output);
    printer.ChoosePrinter();
    printer.SetFont("Courier New", 24, "");
    const double width = printer.TextWidthInches("0123456789");
    printer.SetDuplex(mode);
    // The device was reset; the font is still ours.
    EXPECT_DOUBLE_EQ(printer.TextWidthInches("0123456789"), width);
    printer.StartDocument("duplex");
    printer.StartNewPage();
    printer.PrintText("sides", 1.0, 1.0);
    printer.EndCurrentPage();
    printer.EndDocument();
    return test::ReadPrintout(output);
}

TEST_F(PrintTest, SetDuplexAsksForTwoSidesOnlyOfAPrinterThatHasThem) {
    EXPECT_TRUE(
        PrintWithDuplex(*NewPrinter().Get(), DMDUP_VERTICAL, test::OutputPath("1.ps")).twoSided);
    // 0 changes nothing.
    EXPECT_FALSE(PrintWithDuplex(*NewPrinter().Get(), 0, test::OutputPath("2.ps")).twoSided);
    ChooseInDialog(kSimplexPrinter);
    EXPECT_FALSE(
        PrintWithDuplex(*NewPrinter().Get(), DMDUP_VERTICAL, test::OutputPath("3.ps")).twoSided);
}

TEST_F(PrintTest, WithoutAChoiceTheDefaultPrinterIsTaken) {
    ComPtr<ITPrint> printer = NewPrinter();
    printer->SetFont("Courier New", 9, "");
    EXPECT_EQ(dialogs_, 0);
    EXPECT_EQ(printer->CanDuplex(), 1);  // the default is the two-sided printer
    EXPECT_EQ(NewPrinter()->UseDefaultPrinter(), kDuplexPrinter);
}

TEST_F(PrintTest, MeasuresInInchesOfTheChosenPrinter) {
    ComPtr<ITPrint> printer = NewPrinter();
    printer->ChoosePrinter();
    double width = 0, height = 0;
    printer->GetPageSize(&width, &height);
    EXPECT_DOUBLE_EQ(width, 8.5);
    EXPECT_DOUBLE_EQ(height, 11.0);

    printer->SetMargins(0.75, 0.75, 0.25, 0.5);
    printer->SetFont("Courier New", 9, "");  // 37 pixels high at 300 dpi
    double average = 0, lineHeight = 0;
    printer->GetCharMetrics(&average, &lineHeight);
    EXPECT_DOUBLE_EQ(lineHeight, 42.0 / 300);
    EXPECT_DOUBLE_EQ(average, 22.0 / 300);
    EXPECT_EQ(printer->LinesLeft(0), 73);
    EXPECT_EQ(printer->LinesLeft(5.0), 39);
    EXPECT_DOUBLE_EQ(printer->TextWidthInches("0123456789"), 220.0 / 300);
    EXPECT_EQ(printer->FitText("0123456789", 0.5), "012345");  // 150 pixels hold 6 x 22
    EXPECT_EQ(printer->FitText("0123456789", -0.5), "456789");
    EXPECT_EQ(printer->FitText("0123456789", 0), "");

    printer->SetFont("Courier New", 12, "bu");  // 50 pixels high
    printer->GetCharMetrics(&average, &lineHeight);
    EXPECT_GT(lineHeight, 50.0 / 300);
    printer->EndDocument();
}

TEST_F(PrintTest, PrintsLinesWhereTheyBelongAndKeepsThemInsideTheMargins) {
    ComPtr<ITPrint> printer = NewPrinter();
    printer->ChoosePrinter();
    printer->SetMargins(1.0, 1.0, 1.0, 1.0);
    printer->SetFont("Courier New", 9, "");
    printer->StartDocument("margins");
    printer->StartNewPage();
    printer->PrintText("alpha", 1.5, 2.0);
    printer->PrintText("beta", 0, 0);                    // one line below, at 1.5 in
    printer->PrintText("LEFTCUTxyz", 0.5, 3.0);          // starts left of the margin
    printer->PrintText(std::string(80, 'R'), 6.0, 4.0);  // runs past the right margin
    printer->PrintText("above", 2.0, 0.5);               // above the top margin
    printer->PrintText("lowest", 2.0, 9.8);              // ends at 9.94 in: inside
    printer->PrintText("below", 0, 0);                   // would end at 10.08 in
    printer->EndCurrentPage();
    printer->EndDocument();

    Printout out = Read();
    ASSERT_EQ(out.pages.size(), 1u);
    std::vector<test::PrintedWord> words = out.words;
    auto find = [&](const std::string& text) -> const test::PrintedWord* {
        for (const auto& word : words) {
            if (word.text == text) return &word;
        }
        return nullptr;
    };
    const auto* alpha = find("alpha");
    const auto* beta = find("beta");
    ASSERT_TRUE(alpha && beta);
    EXPECT_NEAR(alpha->xMin, 1.5 * 72, 1);
    EXPECT_NEAR(beta->xMin, 1.5 * 72, 1);
    EXPECT_NEAR(beta->yMin - alpha->yMin, 42.0 / 300 * 72, 0.5);  // one line height apart

    // 0.5 in left of the margin is 0.5 / (22 / 300) = 6.8 characters: the last 3 (22 pixels
    // each) reach past it and start exactly at the margin.
    const auto* cut = find("xyz");
    ASSERT_TRUE(cut);
    EXPECT_NEAR(cut->xMin, 1.0 * 72, 1);

    // From 6 in to the right margin at 7.5 in: 1.5 in, 450 pixels, 20 whole characters.
    const auto* right = find(std::string(20, 'R'));
    ASSERT_TRUE(right) << out.pages[0];
    EXPECT_LE(right->xMax, 7.5 * 72 + 0.5);

    EXPECT_FALSE(find("above"));
    EXPECT_TRUE(find("lowest"));
    EXPECT_FALSE(find("below"));
    EXPECT_TRUE(messages_.empty());
}

// How the ink of one printed word lies on the page (pixels of the 300 dpi sheet).
struct Ink {
    int pixels = 0;           // dark pixels, underline rows left out
    bool underlined = false;  // a row dark across the whole word
    int slant = 0;            // how far the glyphs' left edge lies further right at the top
};

Ink InkOf(const test::GrayPage& page, int left, int top, int right, int bottom) {
    auto dark = [&](int x, int y) { return page.at(x, y) < 128; };
    int first = right, last = left;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            if (dark(x, y)) first = std::min(first, x), last = std::max(last, x);
        }
    }
    Ink ink;
    std::vector<int> leftEdges;  // of the glyph rows, top to bottom
    for (int y = top; y < bottom; ++y) {
        int run = 0, longest = 0, count = 0, edge = -1;
        for (int x = left; x < right; ++x) {
            run = dark(x, y) ? run + 1 : 0;
            longest = std::max(longest, run);
            if (dark(x, y)) {
                ++count;
                if (edge < 0) edge = x;
            }
        }
        if (longest >= (last - first) * 9 / 10) {
            ink.underlined = true;
        } else if (count > 0) {
            ink.pixels += count;
            leftEdges.push_back(edge);
        }
    }
    if (leftEdges.size() >= 20) {
        // Of the stems' rows, the first and last few, well away from serifs.
        const std::size_t n = leftEdges.size();
        ink.slant = leftEdges[n / 5] - leftEdges[n - 1 - n / 5];
    }
    return ink;
}

TEST_F(PrintTest, StyleLettersGiveBoldUnderlineAndItalicAndOthersAreIgnored) {
    const char* styles[] = {"", "bu", "ub", "i", "xyz"};
    ComPtr<ITPrint> printer = NewPrinter();
    printer->ChoosePrinter();
    printer->StartDocument("styles");
    printer->StartNewPage();
    for (int i = 0; i < 5; ++i) {
        printer->SetFont("Courier New", 24, styles[i]);  // 100 pixels high
        printer->PrintText("IIIIII", 1.0, 1.0 + i);
    }
    printer->EndCurrentPage();
    printer->EndDocument();

    const std::vector<test::GrayPage> pages = test::RenderGray(output_, 300);
    ASSERT_EQ(pages.size(), 1u);
    std::vector<Ink> inks;
    for (int i = 0; i < 5; ++i)
        inks.push_back(InkOf(pages[0], 300, 300 * (1 + i), 1200, 300 * (1 + i) + 150));
    const Ink &regular = inks[0], &boldUnderlined = inks[1], &italic = inks[3];
    ASSERT_GT(regular.pixels, 1000);
    EXPECT_FALSE(regular.underlined);
    EXPECT_LE(std::abs(regular.slant), 1);

    EXPECT_TRUE(boldUnderlined.underlined);
    EXPECT_GT(boldUnderlined.pixels, regular.pixels * 13 / 10);
    EXPECT_LE(std::abs(boldUnderlined.slant), 1);      // upright
    EXPECT_EQ(inks[2].pixels, boldUnderlined.pixels);  // letters in any order
    EXPECT_TRUE(inks[2].underlined);

    EXPECT_FALSE(italic.underlined);
    EXPECT_GE(italic.slant, 5);

    EXPECT_EQ(inks[4].pixels, regular.pixels);  // other letters change nothing
    EXPECT_FALSE(inks[4].underlined);
}

// Three pages as a caller sends them, whatever fails on the way.
void PrintThreePages(ITPrint& printer) {
    printer.SetFont("Courier New", 9, "");
    printer.StartDocument("failing job");
    for (const char* text : {"page one", "page two", "page three"}) {
        printer.StartNewPage();
        printer.PrintText(text, 1.0, 1.0);
        printer.EndCurrentPage();
    }
    printer.EndDocument();
}

TEST_F(PrintTest, AFailedPageIsReportedOnceAndTheJobIsAbortedWithNothingMoreSent) {
    int pagesAsked = 0, aborts = 0;
    const win::Replaced pages =
        startPage.Replace([&](HDC dc) { return ++pagesAsked == 2 ? 0 : StartPage(dc); });
    const win::Replaced aborted = abortDoc.Replace([&](HDC dc) { return ++aborts, AbortDoc(dc); });
    ComPtr<ITPrint> printer = NewPrinter();
    printer->ChoosePrinter();
    PrintThreePages(*printer.Get());

    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, "Page printing error");
    EXPECT_EQ(messages_[0].caption, "Printer Error");
    EXPECT_EQ(messages_[0].style, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_EQ(pagesAsked, 2);  // the third page is never started
    EXPECT_EQ(aborts, 1);
    // An ended document would have been written out, page one and all.
    EXPECT_EQ(GetFileAttributesA(output_.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(PrintTest, AFailedDocumentIsReportedOnceAndNoPageIsStarted) {
    int pagesAsked = 0;
    const win::Replaced refused = startDoc.Replace([](HDC, const DOCINFOA*) { return 0; });
    const win::Replaced pages =
        startPage.Replace([&](HDC dc) { return ++pagesAsked, StartPage(dc); });
    ComPtr<ITPrint> printer = NewPrinter();
    printer->ChoosePrinter();
    PrintThreePages(*printer.Get());

    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, "Document printing error");
    EXPECT_EQ(messages_[0].caption, "Printer Error");
    EXPECT_EQ(pagesAsked, 0);
    EXPECT_EQ(GetFileAttributesA(output_.c_str()), INVALID_FILE_ATTRIBUTES);
}

// A topic of numbered lines, some too wide for one printed line.
std::string NumberedTopic(int lines) {
    std::string text;
    for (int i = 1; i <= lines; ++i) {
        text += "Line " + std::to_string(i) + ":\tthe reminder (and its date)";
        if (i % 10 == 0) {
            text +=
                " is followed by a long explanation that cannot fit on one printed line "
                "and so goes on after a break";
        }
        text += "\r\n";
    }
    return text;
}

// The text of every line of every page below the header, in order.
std::vector<std::string> BodyLines(const Printout& out, std::size_t page) {
    std::vector<std::string> lines;
    std::string text = out.pages[page];
    for (std::size_t start = 0, end; start < text.size(); start = end + 1) {
        end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        const auto first = line.find_first_not_of(' ');
        if (first == std::string::npos) continue;
        lines.push_back(line.substr(first, line.find_last_not_of(' ') - first + 1));
    }
    if (!lines.empty()) lines.erase(lines.begin());  // the header: title and page label
    return lines;
}

std::string Squeezed(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') out += c;
    }
    return out;
}

TEST_F(PrintTest, AHelpTopicOfTwoPagesPrintsTwoSidedWithItsHeaderOnEveryPage) {
    const std::string text = NumberedTopic(75);
    HelpTextPrint("Reminder kinds", text);
    Printout out = Read();
    ASSERT_EQ(out.pages.size(), 2u);
    EXPECT_TRUE(out.twoSided);
    EXPECT_NE(out.postScript.find("/Tumble false"), std::string::npos);  // along the long edge
    EXPECT_NE(out.postScript.find("%%Title: appHelp"), std::string::npos);
    EXPECT_TRUE(messages_.empty());

    for (std::size_t page = 0; page < 2; ++page) {
        SCOPED_TRACE("page " + std::to_string(page + 1));
        const std::string label = std::to_string(page + 1);
        const test::PrintedWord *title = nullptr, *pageWord = nullptr, *number = nullptr;
        for (std::size_t i = 0; i < out.words.size(); ++i) {
            const auto& word = out.words[i];
            if (word.page != static_cast<int>(page) + 1) continue;
            if (word.text == "Reminder" && !title) title = &word;
            if (word.text == "Page" && i + 1 < out.words.size() && out.words[i + 1].text == label) {
                pageWord = &word;
                number = &out.words[i + 1];
            }
        }
        ASSERT_TRUE(title && pageWord && number);
        // Title at the left margin, the label ending at the right one, both at the top.
        EXPECT_NEAR(title->xMin, 0.75 * 72, 1);
        EXPECT_NEAR(number->xMax, (8.5 - 0.75) * 72, 1);
        EXPECT_NEAR(title->yMin, 0.25 * 72, 3);
        EXPECT_NEAR(pageWord->yMin, 0.25 * 72, 3);
    }

    // Every word of the topic, in order, and all lines of page 1 first.
    std::string printed;
    for (std::size_t page = 0; page < 2; ++page) {
        for (const std::string& line : BodyLines(out, page)) printed += line;
    }
    EXPECT_EQ(Squeezed(printed), Squeezed(text));
    const std::vector<std::string> second = BodyLines(out, 1);
    ASSERT_FALSE(second.empty());
    // 73 lines fit below the top margin; the header takes 4, the counter passes 73 after 70
    // more: lines 1 to 64, six of them broken in two.
    EXPECT_EQ(second.front().substr(0, 8), "Line 65:");
}

TEST_F(PrintTest, AOnePageTopicPrintsOneSidedAndASimplexPrinterIsNotAsked) {
    HelpTextPrint("Short", NumberedTopic(20));
    Printout out = Read();
    EXPECT_EQ(out.pages.size(), 1u);
    EXPECT_FALSE(out.twoSided);
    EXPECT_NE(out.pages[0].find("Page 1"), std::string::npos);

    ChooseInDialog(kSimplexPrinter);
    const std::string simplex = test::OutputPath("simplex.ps");
    const win::Replaced into = test::PrintInto(simplex);
    HelpTextPrint("Long", NumberedTopic(100));
    out = test::ReadPrintout(simplex);
    EXPECT_EQ(out.pages.size(), 2u);
    EXPECT_FALSE(out.twoSided);
}

TEST_F(PrintTest, CancellingThePrinterChoicePrintsNothingAndSaysNothing) {
    ChooseInDialog(nullptr);
    HelpTextPrint("Anything", "Some text");
    EXPECT_EQ(dialogs_, 1);
    EXPECT_EQ(GetFileAttributesA(output_.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(messages_.empty());
}

}  // namespace
}  // namespace tessaly::print
