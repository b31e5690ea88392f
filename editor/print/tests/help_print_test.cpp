// Printing from the help window end to end: Ctrl+P's command in the real window's own loop
// prints the shown topic through the print object onto the test printer, read back as pages.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "editor/help/help_file.h"
#include "editor/help/win/help_window.h"
#include "editor/print/tests/printout.h"
#include "editor/print/win/print_object.h"
#include "win/message_box.h"

namespace tessaly::print {
namespace {

int printCommands = 0;

// Inside the help window's loop: print what it shows, then close it.
void CALLBACK PrintAndClose(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND help = help::OpenHelpWindow();
    if (!help) return;
    KillTimer(nullptr, timer);
    ++printCommands;
    SendMessageW(help, WM_COMMAND, help::kPrintCommand, 0);
    PostMessageW(help, WM_CLOSE, 0, 0);
}

TEST(HelpPrint, TheHelpWindowPrintsItsTwoPageTopicTwoSidedOnPaper) {
    // The first topic is shown when the window opens; 80 numbered lines take two pages.
    std::string longText;
    for (int i = 1; i <= 80; ++i) longText += "Step " + std::to_string(i) + ": press Next.\r\n";
    const std::vector<help::HelpTopic> topics = {{longText, "Stepping through", 0},
                                                 {"Short.", "Other", 0}};
    const std::string helpFile = test::OutputPath("help.ahp");
    {
        const std::vector<std::uint8_t> bytes = help::WriteHelpFile(topics);
        std::ofstream(helpFile, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }

    std::vector<std::string> messages;
    const win::Replaced printer = test::AnswerPrintDialogsWith(test::kDuplexPrinter);
    const win::Replaced answered =
        win::messageBox.Replace([&](HWND, std::string_view text, std::string_view, UINT) {
            messages.emplace_back(text);
            return IDOK;
        });
    const std::string output = test::OutputPath("help-topic.ps");
    const win::Replaced into = test::PrintInto(output);

    const UINT_PTR timer = SetTimer(nullptr, 0, 50, PrintAndClose);
    help::ShowHelp(std::wstring(helpFile.begin(), helpFile.end()), L"Tessaly Help", nullptr);
    KillTimer(nullptr, timer);

    ASSERT_EQ(printCommands, 1);
    EXPECT_TRUE(messages.empty());
    const test::Printout out = test::ReadPrintout(output);
    ASSERT_EQ(out.pages.size(), 2u);
    EXPECT_TRUE(out.twoSided);
    for (std::size_t page = 0; page < 2; ++page) {
        EXPECT_NE(out.pages[page].find("Stepping through"), std::string::npos) << page;
        EXPECT_NE(out.pages[page].find("Page " + std::to_string(page + 1)), std::string::npos);
    }
    EXPECT_NE(out.pages[0].find("Step 1: press Next."), std::string::npos);
    EXPECT_NE(out.pages[0].find("Step 70: press Next."), std::string::npos);
    EXPECT_NE(out.pages[1].find("Step 71: press Next."), std::string::npos);
    EXPECT_NE(out.pages[1].find("Step 80: press Next."), std::string::npos);
    DeleteFileA(helpFile.c_str());
}

// The printer dialog has no owner, so the help window stays usable under it. Closing it (close
// box, Alt+F4, Escape) and choosing another topic there while the dialog is up: the window
// stays until the print is done, and the printout holds the topic shown when Print was pressed.
struct UnderTheDialog {
    static inline bool alive = false;
    static inline int acted = 0;
    static void CALLBACK PrintFromTheWindow(HWND, UINT, UINT_PTR timer, DWORD) {
        HWND help = help::OpenHelpWindow();
        if (!help) return;
        KillTimer(nullptr, timer);
        const test::InPrintDialog acts([help](HWND dialog) {
            HWND tree = GetDlgItem(help, help::kTreeId);
            const auto second = SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT,
                                             SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
            SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, second);
            SendMessageW(help, WM_SYSCOMMAND, SC_CLOSE, 0);
            SendMessageW(help, WM_CLOSE, 0, 0);
            SendMessageW(help, WM_COMMAND, help::kEscapeCommand, 0);
            SendMessageW(help, WM_COMMAND, IDCANCEL, 0);
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
        });
        SendMessageW(help, WM_COMMAND, help::kPrintCommand, 0);
        acted = acts.runs();
        alive = IsWindow(help) != FALSE;
        if (alive) PostMessageW(help, WM_CLOSE, 0, 0);
    }
};

TEST(HelpPrint, TheWindowUnderThePrinterDialogNeitherClosesNorChangesThePrint) {
    const std::vector<help::HelpTopic> topics = {{"The first topic's own words.", "First", 0},
                                                 {"Words of the second topic.", "Second", 0}};
    const std::string helpFile = test::OutputPath("help-under-dialog.ahp");
    {
        const std::vector<std::uint8_t> bytes = help::WriteHelpFile(topics);
        std::ofstream(helpFile, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    const std::string output = test::OutputPath("help-under-dialog.ps");
    const win::Replaced into = test::PrintInto(output);  // under the real dialog

    const UINT_PTR timer = SetTimer(nullptr, 0, 50, UnderTheDialog::PrintFromTheWindow);
    help::ShowHelp(std::wstring(helpFile.begin(), helpFile.end()), L"Tessaly Help", nullptr);
    KillTimer(nullptr, timer);

    EXPECT_EQ(UnderTheDialog::acted, 1);
    EXPECT_TRUE(UnderTheDialog::alive);
    const test::Printout out = test::ReadPrintout(output);
    ASSERT_EQ(out.pages.size(), 1u);
    EXPECT_NE(out.pages[0].find("The first topic's own words."), std::string::npos);
    EXPECT_EQ(out.pages[0].find("second topic"), std::string::npos);
    DeleteFileA(helpFile.c_str());
}

}  // namespace
}  // namespace tessaly::print
