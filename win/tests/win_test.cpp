// The shared Win32 layer under Wine: conversions, error texts, the dialog scaffold, folders,
// single instance, holders and text measuring.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

#include "core/file_io.h"
#include "win/controls.h"
#include "win/dialog.h"
#include "win/folders.h"
#include "win/gdi.h"
#include "win/handles.h"
#include "win/message_box.h"
#include "win/single_instance.h"
#include "win/text.h"

namespace tessaly::win {
namespace {

TEST(Text, Utf8AndUtf16RoundTrip) {
    const std::string utf8 = "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\x82";  // café € and a cake
    const std::wstring wide = Utf8ToWide(utf8);
    EXPECT_EQ(wide, L"caf\u00E9 \u20AC \xD83C\xDF82");
    EXPECT_EQ(WideToUtf8(wide), utf8);
    EXPECT_EQ(Utf8ToWide(""), L"");
    EXPECT_EQ(WideToUtf8(L""), "");
}

// Every program must store the same bytes for the same typed text, so the reminder texts
// follow core's rule, not the system's best-fit table.
TEST(Text, Windows1252FollowsCoresRule) {
    struct Case {
        std::wstring wide;
        std::string bytes;
    };
    const Case cases[] = {
        {L"\u20AC\u2026\u0178", "\x80\x85\x9F"},  // the page's high characters
        {L"\u00E9\u00FF", "\xE9\xFF"},            // Latin-1 half
        {L"\u0081\u009D", "\x81\x9D"},            // unassigned bytes as C1 controls
        {L"\u0101", "?"},                         // the system would write "a"
        {L"\u4E2D\xD83C\xDF82", "??"},            // no room in the page at all
        {L"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WideToCp1252(c.wide), c.bytes) << WideToUtf8(c.wide);
        if (c.bytes.find('?') == std::string::npos) {
            EXPECT_EQ(Cp1252ToWide(c.bytes), c.wide);
        }
    }
}

TEST(Text, ErrorTextKeepsTheNumberOnOneLine) {
    for (DWORD error : {DWORD{ERROR_ACCESS_DENIED}, DWORD{ERROR_SHARING_VIOLATION}, DWORD{99999}}) {
        const std::string text = ErrorText(error);
        const std::string number = " (error " + std::to_string(error) + ")";
        ASSERT_GE(text.size(), number.size());
        EXPECT_EQ(text.substr(text.size() - number.size()), number);
        EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
    }
    EXPECT_GT(ErrorText(ERROR_ACCESS_DENIED).size(), std::string(" (error 5)").size());
}

TEST(Controls, TextsPassThroughWindows1252) {
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(edit, nullptr);
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    SetParent(edit, parent);
    SetWindowLongPtrW(edit, GWLP_ID, 42);
    SetItemText(parent, 42, "\x80 5");
    wchar_t shown[16] = {};
    GetWindowTextW(edit, shown, 16);
    EXPECT_STREQ(shown, L"\u20AC 5");
    SetWindowTextW(edit, L"\u0101b\u00E9");
    EXPECT_EQ(GetItemText(parent, 42), "?b\xE9");
    DestroyWindow(parent);
}

std::wstring FakeFolder(int csidl) {
    return L"C:\\fake\\" + std::to_wstring(csidl);
}

// A dialog for the scaffold's tests: adds one control, answers commands as told, counts what
// it saw and whether its state still lives.
class ProbeDialog final : public Dialog {
  public:
    explicit ProbeDialog(int* alive = nullptr) : alive_(alive) {
        if (alive_) ++*alive_;
    }
    ~ProbeDialog() override {
        if (alive_) --*alive_;
    }
    bool closeWhileOpening = false;
    int commands = 0;
    HFONT controlFont = nullptr;

  private:
    INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        switch (msg) {
            case WM_INITDIALOG: {
                HWND edit = AddControl(hwnd, {L"EDIT", L"typed", 0, 100, 5, 5, 80, 20});
                controlFont = reinterpret_cast<HFONT>(SendMessageW(edit, WM_GETFONT, 0, 0));
                if (closeWhileOpening) End(0);
                return TRUE;
            }
            case WM_COMMAND:
                if (lParam != 0) return FALSE;  // the edit box's own notifications
                ++commands;
                if (LOWORD(wParam) == 1) throw std::runtime_error("a handler failed");
                if (LOWORD(wParam) == 2) End(42);
                return TRUE;
            default:
                return FALSE;
        }
    }
    int* alive_;
};

void CALLBACK PressWhileModal(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HWND dialog = GetActiveWindow();
    SendMessageW(dialog, WM_COMMAND, 1, 0);  // throws inside the handler
    SendMessageW(dialog, WM_COMMAND, 2, 0);  // ends it
}

TEST(Dialogs, ModalRunsAnInMemoryTemplateAndAnExceptionStaysInside) {
    ProbeDialog dialog;
    SetTimer(nullptr, 0, 10, &PressWhileModal);
    const DialogTemplate from =
        DialogTemplate(WS_POPUP | WS_CAPTION | WS_VISIBLE).Title(L"Probe").Font(8, L"Tahoma");
    EXPECT_EQ(RunModal(dialog, nullptr, from), 42);
    EXPECT_EQ(dialog.commands, 2);  // the first one threw, and the dialog went on
    EXPECT_TRUE(dialog.modal());
    EXPECT_EQ(dialog.hwnd, nullptr);         // its window is gone
    EXPECT_NE(dialog.controlFont, nullptr);  // an added control takes the dialog's font
}

TEST(Dialogs, ModelessStateGoesWithItsWindowAndOnlyOursAreFound) {
    int alive = 0;
    HWND hwnd = CreateModeless(std::make_unique<ProbeDialog>(&alive), nullptr,
                               DialogTemplate(WS_POPUP | WS_CAPTION));
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(alive, 1);
    ProbeDialog* state = DialogOf<ProbeDialog>(hwnd);
    ASSERT_NE(state, nullptr);
    EXPECT_FALSE(state->modal());
    EXPECT_EQ(GetItemText(hwnd, 100), "typed");
    // A dialog that is not the scaffold's has no state, whatever its DWLP_USER holds.
    HWND edit = GetDlgItem(hwnd, 100);
    EXPECT_EQ(DialogAt(edit), nullptr);
    SendMessageW(hwnd, WM_COMMAND, 2, 0);  // End: a modeless dialog is destroyed
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(alive, 0);

    // One that closes while it opens: no window, and its state is freed once.
    auto closing = std::make_unique<ProbeDialog>(&alive);
    closing->closeWhileOpening = true;
    EXPECT_EQ(CreateModeless(std::move(closing), nullptr, DialogTemplate(WS_POPUP)), nullptr);
    EXPECT_EQ(alive, 0);
}

TEST(Folders, SpecialFoldersGoThroughTheSeam) {
    {
        const Replaced fake = specialFolder.Replace(&FakeFolder);
        EXPECT_EQ(SpecialFolderPath(kDocumentsFolder), L"C:\\fake\\5");
        const Replaced nested = specialFolder.Replace([](int) { return L"C:\\nested"; });
        EXPECT_EQ(SpecialFolderPath(kDocumentsFolder), L"C:\\nested");
    }
    // Both replacements gone: the shell's own folder again.
    const std::wstring documents = SpecialFolderPath(kDocumentsFolder);
    ASSERT_FALSE(documents.empty());
    EXPECT_NE(documents.back(), L'\\');
    EXPECT_TRUE(IsExistingFolder(documents));
    EXPECT_FALSE(FileExists(documents));
}

TEST(Folders, ProgramFileIsThisTestBinary) {
    const std::wstring self = ProgramFile();
    EXPECT_TRUE(FileExists(self));
    EXPECT_FALSE(IsExistingFolder(self));
    EXPECT_NE(self.find(L"win_tests"), std::wstring::npos);
}

struct Box {
    std::string text, caption;
    UINT style = 0;
    int calls = 0;
} gBox;

int FakeMessageBox(HWND, std::string_view text, std::string_view caption, UINT style) {
    ++gBox.calls;
    gBox.text = text;
    gBox.caption = caption;
    gBox.style = style;
    return IDOK;
}

class SingleInstanceTest : public ::testing::Test {
  protected:
    void SetUp() override { gBox = {}; }
    const Replaced boxes_ = messageBox.Replace(&FakeMessageBox);
    const std::string name_ = "TessalyWinTest" + std::to_string(GetCurrentProcessId());
};

TEST_F(SingleInstanceTest, SecondCopyIsToldAndRefusedUntilTheFirstEnds) {
    for (const std::string& name : {std::string("TessalyStartup"), name_}) {
        gBox = {};
        {
            const SingleInstance first(name);
            ASSERT_TRUE(first.IsOnlyCopy());
            EXPECT_EQ(gBox.calls, 0);
            const SingleInstance second(name);
            EXPECT_FALSE(second.IsOnlyCopy());
            EXPECT_EQ(gBox.calls, 1);
            EXPECT_EQ(gBox.text, name + " is already loaded");
            EXPECT_EQ(gBox.caption, " ");
            EXPECT_EQ(gBox.style, static_cast<UINT>(MB_ICONHAND));
        }
        // Both holders are gone, so the name is free again (the refused copy held nothing).
        const SingleInstance again(name);
        EXPECT_TRUE(again.IsOnlyCopy());
    }
}

std::wstring Text(HWND hwnd) {
    wchar_t buffer[256] = {};
    GetWindowTextW(hwnd, buffer, 256);
    return buffer;
}

// The real message box is wired up: a thread timer reads it and presses OK.
TEST_F(SingleInstanceTest, RealMessageBoxShowsTheText) {
    const Replaced real = messageBox.Replace(&SystemMessageBox);
    static std::wstring caption, text;
    caption.clear();
    text.clear();
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) {
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND hwnd, LPARAM) -> BOOL {
                wchar_t cls[16] = {};
                GetClassNameW(hwnd, cls, 16);
                if (std::wcscmp(cls, L"#32770") != 0 || !IsWindowVisible(hwnd)) return TRUE;
                caption = Text(hwnd);
                text = Text(GetDlgItem(hwnd, 0xFFFF));  // the message box's text control
                PostMessageW(hwnd, WM_COMMAND, IDOK, 0);
                return FALSE;
            },
            0);
    });
    const SingleInstance first(name_);
    ASSERT_TRUE(first.IsOnlyCopy());
    EXPECT_FALSE(SingleInstance(name_).IsOnlyCopy());
    KillTimer(nullptr, timer);
    EXPECT_EQ(caption, L" ");
    EXPECT_EQ(text, Utf8ToWide(name_) + L" is already loaded");
}

TEST(Handles, HoldersFreeWhatTheyHoldOnce) {
    HANDLE raw = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    {
        Handle outer;
        {
            Handle inner(raw);
            outer = std::move(inner);
            EXPECT_FALSE(inner.valid());
        }
        DWORD flags = 0;
        EXPECT_TRUE(GetHandleInformation(raw, &flags)) << "a moved-from holder closed it";
    }
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(raw, &flags));
    EXPECT_FALSE(Handle(INVALID_HANDLE_VALUE).valid());

    HBRUSH brush = CreateSolidBrush(kShadedGrey);
    { const Brush held(brush); }
    EXPECT_EQ(GetObjectType(brush), 0u);
}

TEST(Gdi, SelectedObjectPutsThePreviousOneBack) {
    const MemoryDc dc(nullptr);
    ASSERT_TRUE(dc);
    HGDIOBJ before = GetCurrentObject(dc.get(), OBJ_FONT);
    const Font font = MakeOwnedFont(dc.get(), "Courier New", 10);
    {
        const SelectedObject selected(dc.get(), font.get());
        EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_FONT), font.get());
    }
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_FONT), before);
}

TEST(Gdi, MakeFontReadsSizeAndStyle) {
    const MemoryDc dc(nullptr);
    struct Case {
        const char* style;
        LONG weight;
        BYTE italic, underline;
    };
    for (const Case& c : {Case{"", FW_NORMAL, 0, 0}, Case{"b", FW_BOLD, 0, 0},
                          Case{"ui", FW_NORMAL, 1, 1}, Case{"xbiu", FW_BOLD, 1, 1}}) {
        const Font font = MakeOwnedFont(dc.get(), "Arial", 12, c.style);
        LOGFONTA lf{};
        ASSERT_TRUE(GetObjectA(font.get(), sizeof lf, &lf));
        const int expected = -(GetDeviceCaps(dc.get(), LOGPIXELSY) * 12 / 72);
        EXPECT_EQ(lf.lfHeight, expected) << c.style;
        EXPECT_EQ(lf.lfWeight, c.weight) << c.style;
        EXPECT_EQ(lf.lfItalic, c.italic) << c.style;
        EXPECT_EQ(lf.lfUnderline, c.underline) << c.style;
        EXPECT_EQ(lf.lfCharSet, ANSI_CHARSET);
        EXPECT_STREQ(lf.lfFaceName, "Arial");
    }
}

TEST(Gdi, MeasuringSeesAtMost255Characters) {
    const MemoryDc dc(nullptr);
    const Font font = MakeOwnedFont(dc.get(), "Courier New", 10);
    const SelectedObject selected(dc.get(), font.get());
    const int one = TextWidth(dc.get(), "W");
    ASSERT_GT(one, 0);
    EXPECT_EQ(TextWidth(dc.get(), std::string(10, 'W')), 10 * one);  // fixed pitch
    EXPECT_EQ(TextWidth(dc.get(), std::string(300, 'W')), 255 * one);
    EXPECT_EQ(FitTextToWidth(dc.get(), "WWWWWWWWWW", 3 * one), "WWW");
    EXPECT_EQ(FitTextToWidth(dc.get(), "WWWWWWWWWW", 3 * one - 1), "WW");
    EXPECT_EQ(FitTextToWidth(dc.get(), std::string(300, 'W'), 100000).size(), 255u);
}

// A text's bytes are measured as the characters they stand for, and what fits is counted in
// bytes: a Windows-1252 byte is one character, a UTF-8 character is never split.
TEST(Gdi, MeasuresCountCharactersAndFitBytes) {
    const MemoryDc dc(nullptr);
    const Font font = MakeOwnedFont(dc.get(), "Courier New", 10);
    const SelectedObject selected(dc.get(), font.get());
    const DcMeasure cp1252(dc.get());
    const DcMeasure utf8(dc.get(), TextBytes::kUtf8);
    const int one = cp1252.Width("W");
    const std::string euros1252 = "\x80\x80\x80";
    const std::string eurosUtf8 = "\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC";
    EXPECT_EQ(cp1252.Width(euros1252), 3 * one);  // fixed pitch: three characters
    EXPECT_EQ(utf8.Width(eurosUtf8), 3 * one);
    struct Case {
        const DcMeasure& measure;
        const std::string& text;
        int width;
        std::size_t fits;
    };
    const Case cases[] = {
        {cp1252, euros1252, 2 * one, 2}, {cp1252, euros1252, 2 * one - 1, 1},
        {utf8, eurosUtf8, 2 * one, 6},   {utf8, eurosUtf8, 2 * one - 1, 3},
        {utf8, eurosUtf8, -1, 0},        {cp1252, euros1252, -1, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.measure.FitLeading(c.text, c.width), c.fits) << c.width;
    }
    EXPECT_EQ(utf8.FitTrailing(eurosUtf8, one), 3u);
}

}  // namespace
}  // namespace tessaly::win
