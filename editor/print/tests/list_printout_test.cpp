// Prints reminder lists on the test prefix's PostScript file printer through Wine's printing
// stack and reads the pages back: page breaks, headings, texts, an empty list, the failures.
#include "editor/print/win/list_printout.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/tests/test_reminders.h"
#include "editor/print/tests/printout.h"
#include "editor/print/win/printer_calls.h"
#include "win/message_box.h"

namespace tessaly::print {
namespace {

using tessaly::testing::MakeReminder;

struct BoxCall {
    std::string text, caption;
    UINT style = 0;
};

class ListPrintoutTest : public ::testing::Test {
  protected:
    void TearDown() override {
        dialog_.reset();
        into_.reset();
        for (const std::string& file : outputs_) DeleteFileA(file.c_str());
    }
    // Jobs go into a file of that name.
    void IntoFile(const std::string& name) {
        output_ = test::OutputPath(name);
        outputs_.push_back(output_);
        into_.reset();
        into_.emplace(test::PrintInto(output_));
    }
    // The print dialog answers so.
    void Answering(std::function<BOOL(PRINTDLGA*)> answer) {
        dialog_.reset();
        dialog_.emplace(printDialog.Replace(std::move(answer)));
    }
    // The simplex test printer chosen, jobs into a file of that name.
    void OnSimplex(const std::string& name) {
        IntoFile(name);
        Answering([this](PRINTDLGA* dialog) {
            const BOOL chosen = test::AnswerPrintDialog(dialog, test::kSimplexPrinter);
            dc_ = dialog->hDC;
            return chosen;
        });
    }
    ListPrintResult Print(const ReminderList& list, const std::string& name,
                          const char* face = kListFace) {
        OnSimplex(name);
        return PrintReminderList(list, face);
    }
    // Jobs the printer's queue still holds.
    static int QueuedJobs() {
        HANDLE printer = nullptr;
        if (!OpenPrinterA(const_cast<char*>(test::kSimplexPrinter), &printer, nullptr)) return -1;
        DWORD needed = 0, count = 0;
        EnumJobsA(printer, 0, 100, 1, nullptr, 0, &needed, &count);
        std::vector<BYTE> buffer(needed + 1);
        EnumJobsA(printer, 0, 100, 1, buffer.data(), needed, &needed, &count);
        ClosePrinter(printer);
        return static_cast<int>(count);
    }

    HDC dc_ = nullptr;
    std::string output_;
    std::vector<std::string> outputs_;
    std::vector<BoxCall> boxes_;
    const win::Replaced answered_ = win::messageBox.Replace(
        [this](HWND, std::string_view text, std::string_view caption, UINT style) {
            boxes_.push_back({std::string(text), std::string(caption), style});
            return IDOK;
        });
    std::optional<win::Replaced> into_, dialog_;
};

std::string Item(int i) {
    char text[16];
    std::snprintf(text, sizeof text, "Item%03d", i);
    return text;
}

// count entries; the last one alone on 03-01-2027 at 1:00 pm, the others in December.
ReminderList Items(int count) {
    ReminderList list;
    for (int i = 1; i < count; ++i) {
        list.Append(
            MakeReminder(kAppointment, Item(i), 20261200 + 1 + i % 28, 100 + i % 11, i % 9));
    }
    list.Append(MakeReminder(kMeeting, Item(count), 20270301, 1300, 30));
    return list;
}

TEST_F(ListPrintoutTest, AnEmptyListIsADocumentWithoutPages) {
    const ListPrintResult result = Print(ReminderList{}, "empty.ps");
    EXPECT_FALSE(result.cancelled);
    EXPECT_EQ(result.errorCode, 0);
    EXPECT_EQ(result.pages, 0);
    EXPECT_TRUE(boxes_.empty());
    const test::Printout printout = test::ReadPrintout(output_);
    EXPECT_EQ(printout.postScript.find("%%Page:"), std::string::npos);
    for (const std::string& page : printout.pages) EXPECT_EQ(page, "") << printout.postScript;
    EXPECT_EQ(GetObjectType(dc_), 0u);  // the printer's DC is deleted
}

TEST_F(ListPrintoutTest, OneEntryMoreThanAPageHoldsGoesAloneOnTheSecondPage) {
    // The printer's L, from a first (empty) job.
    const int lastLine = Print(ReminderList{}, "probe.ps").lastLine;
    std::printf("the test printer's L: %d\n", lastLine);
    ASSERT_GT(lastLine, 10);
    const int count = lastLine + 2;
    const ListPrintResult result = Print(Items(count), "pages.ps");
    EXPECT_EQ(result.errorCode, 0);
    EXPECT_EQ(result.pages, 2);
    const test::Printout printout = test::ReadPrintout(output_);
    // TESSALY_PRINTOUT_PNG=/linux/folder/prefix keeps the pages as pictures to look at.
    if (const char* png = std::getenv("TESSALY_PRINTOUT_PNG")) test::RenderPages(output_, png, 100);
    ASSERT_EQ(printout.pages.size(), 2u);
    for (const std::string& page : printout.pages) {
        for (const char* heading : {"Date", "Day", "Time", "Event", "Description", "Notify"}) {
            EXPECT_NE(page.find(heading), std::string::npos) << heading;
        }
    }
    // Nothing is printed below the printable area (10.5 inches down the Letter sheet).
    for (const test::PrintedWord& word : printout.words) {
        EXPECT_LE(word.yMax, 10.5 * 72) << word.text << " on page " << word.page;
    }
    // Page 1: entries 1 .. L + 1 in list order; nothing of the last entry.
    const std::string& first = printout.pages[0];
    std::size_t at = 0;
    for (int i = 1; i <= lastLine + 1; ++i) {
        const std::size_t found = first.find(Item(i), at);
        ASSERT_NE(found, std::string::npos) << Item(i);
        at = found;
    }
    for (const std::string& text :
         {Item(count), std::string("03/01/2027"), std::string("1:00 pm"), std::string("meeting")}) {
        EXPECT_EQ(first.find(text), std::string::npos) << text;
    }
    EXPECT_NE(first.find("12/02/2026"), std::string::npos);
    EXPECT_NE(first.find("1:01 am"), std::string::npos);
    // Page 2: the headings and the last entry alone.
    const std::string& second = printout.pages[1];
    for (const char* text : {"03/01/2027", "Mon", "1:00 pm", "meeting", "30"}) {
        EXPECT_NE(second.find(text), std::string::npos) << text;
    }
    EXPECT_NE(second.find(Item(count)), std::string::npos);
    EXPECT_EQ(second.find(Item(1)), std::string::npos);
    EXPECT_EQ(second.find("appointment"), std::string::npos);
}

// A page that cannot start or end, or a document that cannot end, is reported and the job
// aborted, so the printer gets nothing half-done.
TEST_F(ListPrintoutTest, AFailedPageOrDocumentIsReportedAndTheJobAborted) {
    enum class Step { kStartPage, kEndPage, kEndDoc };
    struct Case {
        Step failing;
        int at;  // the call that fails: 1 for the first
        int code;
        int pages;  // ended before the failure
    };
    const Case cases[] = {
        {Step::kStartPage, 1, 3, 0}, {Step::kStartPage, 2, 3, 1}, {Step::kEndPage, 1, 4, 0},
        {Step::kEndPage, 2, 4, 1},   {Step::kEndDoc, 1, 5, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.failing) * 10 + c.at);
        boxes_.clear();
        int calls = 0;
        const auto failAt = [&](Step step, int (*real)(HDC)) {
            return [&c, &calls, step, real](HDC dc) {
                return step == c.failing && ++calls == c.at ? 0 : real(dc);
            };
        };
        const win::Replaced pages = startPage.Replace(failAt(Step::kStartPage, StartPage));
        const win::Replaced ended = endPage.Replace(failAt(Step::kEndPage, EndPage));
        const win::Replaced done = endDoc.Replace(failAt(Step::kEndDoc, EndDoc));
        // Wine's spooler lists no jobs, so the abort is seen where it is asked for.
        int aborted = 0;
        const win::Replaced aborts = abortDoc.Replace([&](HDC dc) {
            ++aborted;
            return AbortDoc(dc);
        });
        const ListPrintResult result = Print(Items(100), "abort.ps");
        EXPECT_EQ(result.errorCode, c.code);
        EXPECT_EQ(result.pages, c.pages);
        ASSERT_EQ(boxes_.size(), 1u);
        EXPECT_EQ(boxes_[0].text, "Printing error has occurred");
        EXPECT_EQ(boxes_[0].caption, "Printing Error " + std::to_string(c.code));
        EXPECT_EQ(boxes_[0].style, UINT(MB_OK | MB_ICONERROR));
        EXPECT_EQ(aborted, 1);
        EXPECT_EQ(QueuedJobs(), 0);
        // Nothing of an aborted job reaches the printer's output.
        if (c.failing != Step::kEndDoc) {
            EXPECT_EQ(GetFileAttributesA(output_.c_str()), INVALID_FILE_ATTRIBUTES);
        }
        EXPECT_EQ(GetObjectType(dc_), 0u);
    }
}

// The copies asked for in the real print dialog are printed: uncollated, each page that many
// times; collated, the whole list that many times.
TEST_F(ListPrintoutTest, TheCopiesChosenInThePrintDialogArePrinted) {
    const int lastLine = Print(ReminderList{}, "probe.ps").lastLine;
    const ReminderList list = Items(lastLine + 2);  // two pages
    for (bool collate : {false, true}) {
        SCOPED_TRACE(collate);
        IntoFile(collate ? "collated.ps" : "copies.ps");
        dialog_.reset();  // the real dialog, on the default test printer
        const test::InPrintDialog acts([collate](HWND dialog) {
            CheckDlgButton(dialog, 0x411, collate ? BST_CHECKED : BST_UNCHECKED);  // "Collate"
            test::PrintCopies(dialog, 2);
        });
        const ListPrintResult result = PrintReminderList(list);
        EXPECT_EQ(acts.runs(), 1);
        EXPECT_EQ(result.errorCode, 0);
        EXPECT_EQ(result.pages, 4);
        const test::Printout printout = test::ReadPrintout(output_);
        ASSERT_EQ(printout.pages.size(), 4u);
        const std::string last = Item(lastLine + 2);
        const std::vector<bool> holdsLast = collate ? std::vector<bool>{false, true, false, true}
                                                    : std::vector<bool>{false, false, true, true};
        for (std::size_t page = 0; page < 4; ++page) {
            EXPECT_EQ(printout.pages[page].find(last) != std::string::npos, holdsLast[page])
                << page;
            EXPECT_EQ(printout.pages[page].find(Item(1)) != std::string::npos, !holdsLast[page])
                << page;
        }
    }
}

// With a wide font standing in for the printer's own, a 48-character description in capitals
// ends before the notify column, its heading and its widest number alike.
TEST_F(ListPrintoutTest, AWideFontDescriptionEndsBeforeTheNotifyColumn) {
    const std::string description = "ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMNOPQRSTUV";
    ASSERT_EQ(description.size(), 48u);
    ReminderList list;
    list.Append(MakeReminder(kMeeting, description, 20261221, 1000, 255));
    list.Append(MakeReminder(kAppointment, description, 20261222, 1430, 3));
    ASSERT_EQ(Print(list, "wide.ps", "Liberation Sans").errorCode, 0);
    if (const char* png = std::getenv("TESSALY_PRINTOUT_PNG")) test::RenderPages(output_, png, 100);
    const test::Printout printout = test::ReadPrintout(output_);
    double notifyLeft = 1e9;
    std::vector<double> descriptionEnds;
    for (const test::PrintedWord& word : printout.words) {
        if (word.text == "Notify" || word.text == "255" || word.text == "3") {
            notifyLeft = std::min(notifyLeft, word.xMin);
        }
        if (word.text.rfind("ABCDEFGH", 0) == 0) descriptionEnds.push_back(word.xMax);
    }
    ASSERT_EQ(descriptionEnds.size(), 2u);
    for (double end : descriptionEnds) EXPECT_LT(end, notifyLeft);
}

TEST_F(ListPrintoutTest, CancelledDialogAndAFailedDocument) {
    IntoFile("cancelled.ps");
    Answering([](PRINTDLGA*) { return FALSE; });
    EXPECT_TRUE(PrintReminderList(Items(3)).cancelled);
    EXPECT_TRUE(boxes_.empty());

    // A screen DC cannot start a document.
    IntoFile("screen.ps");
    Answering([](PRINTDLGA* dialog) {
        dialog->hDC = CreateCompatibleDC(nullptr);
        return TRUE;
    });
    const ListPrintResult result = PrintReminderList(Items(3));
    EXPECT_EQ(result.errorCode, 2);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].caption, "Printing Error 2");
}

// The print dialog answered by a CBT hook, as a user would: OK gives the default printer's DC.
struct PrintDialogAnswer {
    static inline int button = IDOK;
    static inline HHOOK hook = nullptr;
    static LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_ACTIVATE) {
            HWND dialog = reinterpret_cast<HWND>(wParam);
            PostMessageA(dialog, WM_COMMAND, button, 0);
        }
        return CallNextHookEx(hook, code, wParam, lParam);
    }
};

TEST(GetPrinterDC, TheRealDialogGivesTheChosenPrinterOrNothing) {
    PrintDialogAnswer::hook =
        SetWindowsHookExA(WH_CBT, &PrintDialogAnswer::OnCbt, nullptr, GetCurrentThreadId());
    ASSERT_NE(PrintDialogAnswer::hook, nullptr);
    PrintDialogAnswer::button = IDOK;
    const PrinterJob job = GetPrinterDC(0);
    PrintDialogAnswer::button = IDCANCEL;
    HDC cancelled = GetPrinterDC(0).dc.get();
    UnhookWindowsHookEx(PrintDialogAnswer::hook);

    HDC dc = job.dc.get();  // the job deletes it
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(job.copies, 1);
    EXPECT_EQ(GetDeviceCaps(dc, TECHNOLOGY), DT_RASPRINTER);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 300);  // the test printer
    // Portrait asked for: taller than wide.
    EXPECT_GT(GetDeviceCaps(dc, PHYSICALHEIGHT), GetDeviceCaps(dc, PHYSICALWIDTH));
    EXPECT_EQ(cancelled, nullptr);
}

}  // namespace
}  // namespace tessaly::print
