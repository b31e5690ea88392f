// The print object's printer choice through the real printer dialog, answered by a timer that
// runs inside the dialog's own modal loop.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "editor/print/tests/printout.h"
#include "editor/print/win/print_object.h"

namespace tessaly::print {
namespace {

int pressed = 0;
UINT buttonToPress = IDOK;

BOOL CALLBACK PressOnDialog(HWND window, LPARAM) {
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::string(className) != "#32770" || !IsWindowVisible(window)) return TRUE;
    ++pressed;
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(buttonToPress, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, buttonToPress)));
    return FALSE;
}

void CALLBACK AnswerDialog(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), PressOnDialog, 0);
}

// Shows the real dialog, pressing `button` in it; the name ChoosePrinter gives back.
std::string ChooseWithButton(ITPrint& printer, UINT button) {
    pressed = 0;
    buttonToPress = button;
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, AnswerDialog);
    std::string name = printer.ChoosePrinter();
    KillTimer(nullptr, timer);
    return name;
}

TEST(PrintDialog, OkChoosesTheSelectedPrinterAndCancelChoosesNone) {
    win::ComPtr<ITPrint> printer = CreatePrintObject();
    EXPECT_EQ(ChooseWithButton(*printer.Get(), IDOK), test::kDuplexPrinter);
    EXPECT_EQ(pressed, 1);
    EXPECT_EQ(printer->CanDuplex(), 1);
    double width = 0, height = 0;
    printer->GetPageSize(&width, &height);
    EXPECT_DOUBLE_EQ(width, 8.5);

    win::ComPtr<ITPrint> cancelled = CreatePrintObject();
    EXPECT_EQ(ChooseWithButton(*cancelled.Get(), IDCANCEL), "");
    EXPECT_EQ(pressed, 1);
    EXPECT_EQ(cancelled->CanDuplex(), 0);
}

}  // namespace
}  // namespace tessaly::print
