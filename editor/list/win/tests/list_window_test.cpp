// Drives the real list window in-process over the editor's main window (under Wine): the two
// lists, the status bar on a selection, Delete and what it leaves in the main window, "&Back".
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/data_file.h"
#include "core/tests/test_reminders.h"
#include "core/typed_number.h"
#include "editor/calendar/calendar_rules.h"
#include "editor/calendar/win/calendar_painter.h"
#include "editor/list/win/list_resource.h"
#include "editor/print/tests/printout.h"
#include "editor/win/main_window.h"
#include "editor/win/resource.h"
#include "win/controls.h"
#include "win/message_box.h"
#include "win/folders.h"
#include "win/tests/fixed_clock.h"
#include "win/tests/recorded_boxes.h"
#include "win/text.h"

namespace tessaly::editor {
namespace {

using namespace win;
using namespace win::test;

namespace fs = std::filesystem;
using tessaly::testing::MakeReminder;

constexpr DateKey kToday = 20261209;  // a Wednesday; the calendar shows December and January

// Runs a script inside the list window's modal loop, from a thread timer.
struct ListScript {
    static inline std::function<void(HWND)> step;
    static inline bool ran = false;
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
        HWND dialog = nullptr;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND hwnd, LPARAM found) {
                wchar_t title[64] = {};
                GetWindowTextW(hwnd, title, 64);
                if (std::wstring(title) != L"List of Tessaly" || !IsWindowVisible(hwnd)) {
                    return TRUE;
                }
                *reinterpret_cast<HWND*>(found) = hwnd;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&dialog));
        if (!dialog) return;
        KillTimer(nullptr, id);
        ran = true;
        step(dialog);
        // A script that leaves the window open closes it, so the test never hangs.
        if (IsWindow(dialog)) PostMessageW(dialog, WM_COMMAND, IDC_LIST_CLOSE, 0);
    }
};

// The list window's controls.
struct ListWindowView {
    HWND dialog;
    HWND Box() const { return GetDlgItem(dialog, IDC_LIST_BOX); }
    int Lines() const { return static_cast<int>(SendMessageW(Box(), LB_GETCOUNT, 0, 0)); }
    std::string Line(int line) const {
        const auto length = SendMessageW(Box(), LB_GETTEXTLEN, line - 1, 0);
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        SendMessageW(Box(), LB_GETTEXT, line - 1, reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(length));
        return WideToCp1252(text);
    }
    int Selected() const { return static_cast<int>(SendMessageW(Box(), LB_GETCURSEL, 0, 0)) + 1; }
    void Select(int line) const {
        SendMessageW(Box(), LB_SETCURSEL, line - 1, 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_LIST_BOX, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(Box()));
    }
    void Command(int id) const {
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }
    // A real click on an option button: it checks itself and notifies.
    void Choose(int id) const { SendDlgItemMessageW(dialog, id, BM_CLICK, 0, 0); }
    bool Checked(int id) const { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
    bool Visible(int id) const { return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE; }
};

class ListWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        root_ = fs::path(temp) / ("tessaly-list-" + std::to_string(GetCurrentProcessId()) + "-" +
                                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_ / "common");
        fs::create_directories(root_ / "docs");
        boxes.clear();
        answers.clear();
    }
    void TearDown() override {
        if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }

    fs::path DataFile() const { return root_ / "docs" / "Quorvane" / "Tessaly" / "Tessaly.tsy"; }

    void Open(std::vector<Reminder> current, std::vector<Reminder> archive = {}) {
        fs::create_directories(DataFile().parent_path());
        ReminderData data{ReminderList(std::move(current)), ReminderList(std::move(archive))};
        ASSERT_TRUE(SaveReminderFile(DataFile(), data, kEditorLabel));
        hwnd_ = CreateMainDialog();
        ASSERT_NE(hwnd_, nullptr);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        w_ = MainWindowFrom(hwnd_);
        ASSERT_NE(w_, nullptr);
    }

    // Opens the list window with "&List" and runs the script in it.
    void WithList(std::function<void(const ListWindowView&)> script) {
        ListScript::ran = false;
        ListScript::step = [script](HWND dialog) { script(ListWindowView{dialog}); };
        const UINT_PTR timer = SetTimer(nullptr, 0, 10, &ListScript::OnTimer);
        Click(IDC_LIST);
        KillTimer(nullptr, timer);
        EXPECT_TRUE(ListScript::ran);
    }

    void Click(int id) {
        SendMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(hwnd_, id)));
    }
    std::string Text(int id) const { return GetItemText(hwnd_, id); }
    std::string Status(int part) const {
        HWND bar = GetDlgItem(hwnd_, IDC_STATUS);
        const auto length = LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, part - 1, 0));
        std::wstring text(length + 1u, L'\0');
        SendMessageW(bar, SB_GETTEXTW, part - 1, reinterpret_cast<LPARAM>(text.data()));
        text.resize(length);
        return WideToCp1252(text);
    }
    // New, Add/Replace, Delete, Cancel, Next, Prev: 1 enabled.
    std::string Buttons() const {
        std::string s;
        for (int id : {IDC_NEW, IDC_ADD, IDC_DELETE, IDC_CANCEL, IDC_NEXT, IDC_PREV}) {
            s += IsWindowEnabled(GetDlgItem(hwnd_, id)) ? '1' : '0';
        }
        return s;
    }
    // Light-grey pixels of a December day's cell as the calendar now paints it.
    int ShadeOfDecemberDay(int day) {
        constexpr int kWidth = 440, kHeight = 230;
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = kWidth;
        info.bmiHeader.biHeight = -kHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        HDC dc = CreateCompatibleDC(nullptr);
        std::uint32_t* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS,
                                          reinterpret_cast<void**>(&bits), nullptr, 0);
        HGDIOBJ old = SelectObject(dc, bitmap);
        PatBlt(dc, 0, 0, kWidth, kHeight, WHITENESS);
        calendar::Picture picture = w_->model.PictureForPaint();
        picture.month = 12;
        picture.year = 2026;
        calendar::PaintCalendar(dc, picture, false);
        GdiFlush();
        const calendar::Point o = calendar::CellOrigin(0, calendar::CellOfDay(12, 2026, day));
        int shaded = 0;
        for (int y = o.y; y < o.y + 13; ++y) {
            for (int x = o.x; x < o.x + 16; ++x)
                shaded += (bits[y * kWidth + x] & 0xFFFFFF) == 0xD3D3D3;
        }
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        return shaded;
    }

    fs::path root_;
    HWND hwnd_ = nullptr;
    MainWindow* w_ = nullptr;
    const Replaced answered_ = messageBox.Replace(&AnswerBox);
    const Replaced folders_ = specialFolder.Replace([this](int csidl) {
        return (root_ / (csidl == kCommonAppDataFolder ? "common" : "docs")).wstring();
    });
    const Replaced today_ = FixToday(kToday);
};

const Reminder kAlpha = MakeReminder(kAppointment, "Alpha", 20261215, 930, 1);
const Reminder kBea = MakeReminder(kBirthday, "Bea", 20261220, 1990, 7, kAnnual);
const Reminder kCarl = MakeReminder(kMeeting, "Carl", 20261220, 1415, 0);
const Reminder kDora = MakeReminder(kReminderKind, "Dora", 20261228, 0, 2);
const Reminder kOld = MakeReminder(kAppointment, "Old one", 20261201, 800, 2);
const Reminder kOlder = MakeReminder(kMeeting, "Older", 20261120, 1200, 0);

TEST_F(ListWindowTest, OpensOnTheCurrentListAndSwitchesToTheArchive) {
    Open({kAlpha, kBea, kCarl}, {kOld, kOlder});
    WithList([&](const ListWindowView& list) {
        EXPECT_TRUE(w_->model.state().listOpen);
        EXPECT_TRUE(list.Checked(IDC_LIST_CURRENT));
        ASSERT_EQ(list.Lines(), 3);
        EXPECT_EQ(list.Line(1), "12/15/2026\tTue\t9:30 am\tappointment\tAlpha\t 1");
        EXPECT_EQ(list.Line(2), "12/20/2026\tSun\t\tbirthday\tBea\t 7");
        EXPECT_EQ(list.Line(3), "12/20/2026\tSun\t2:15 pm\tmeeting\tCarl\t 0");
        EXPECT_EQ(list.Selected(), 0);  // the main window shows no reminder
        EXPECT_TRUE(list.Visible(IDC_LIST_BACK));
        EXPECT_TRUE(list.Visible(IDC_LIST_PRINT));

        // Carl shares his date with Bea and is the second of it.
        list.Select(3);
        EXPECT_EQ(Status(2), "  Reminder 3 of 3");
        EXPECT_EQ(Status(3), " 2");
        list.Select(1);
        EXPECT_EQ(Status(2), "  Reminder 1 of 3");
        EXPECT_EQ(Status(3), "");

        list.Choose(IDC_LIST_ARCHIVE);
        ASSERT_EQ(list.Lines(), 2);
        EXPECT_EQ(list.Line(1), "12/01/2026\tTue\t8:00 am\tappointment\tOld one\t 2");
        EXPECT_EQ(list.Line(2), "11/20/2026\tFri\t12:00 pm\tmeeting\tOlder\t 0");
        EXPECT_FALSE(list.Visible(IDC_LIST_BACK));
        EXPECT_TRUE(list.Visible(IDC_LIST_PRINT));
        // Line 2 of the current list has a same-date number; the archive shows none.
        list.Select(2);
        EXPECT_FALSE(list.Visible(IDC_LIST_BACK));
        EXPECT_EQ(Status(2), "  Reminder 2 of 2");
        EXPECT_EQ(Status(3), "");

        list.Choose(IDC_LIST_CURRENT);
        EXPECT_EQ(list.Lines(), 3);
        EXPECT_TRUE(list.Visible(IDC_LIST_BACK));
        list.Choose(IDC_LIST_ARCHIVE);
        SendMessageW(list.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box
    });
    EXPECT_FALSE(w_->model.state().listOpen);
    // The status bar is the main window's again, which shows no reminder.
    EXPECT_EQ(Status(2), "");
    EXPECT_EQ(Status(3), "");
    EXPECT_EQ(w_->listMode, list::ListMode::kArchive);  // kept after closing

    // Every opening starts on the current list; "&Close" closes.
    WithList([&](const ListWindowView& list) {
        EXPECT_TRUE(list.Checked(IDC_LIST_CURRENT));
        EXPECT_FALSE(list.Checked(IDC_LIST_ARCHIVE));
        EXPECT_EQ(list.Lines(), 3);
        list.Select(2);
        EXPECT_EQ(Status(2), "  Reminder 2 of 3");
        list.Command(IDC_LIST_CLOSE);
        EXPECT_FALSE(IsWindow(list.dialog) && IsWindowVisible(list.dialog));
    });
    EXPECT_EQ(Status(2), "");
    EXPECT_FALSE(w_->model.state().listOpen);
    EXPECT_EQ(w_->listMode, list::ListMode::kCurrent);
}

TEST_F(ListWindowTest, DeleteAsksWithTheStoredDescriptionAndTheFileIsWrittenOnClosing) {
    Open({kAlpha, kBea, kCarl}, {kOld, kOlder});
    WithList([&](const ListWindowView& list) {
        list.Command(IDC_LIST_DELETE);  // no line selected: nothing happens
        EXPECT_TRUE(boxes.empty());

        list.Select(1);
        answers = {IDNO};
        list.Command(IDC_LIST_DELETE);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "Delete this reminder now");
        EXPECT_EQ(boxes[0].caption, "Alpha" + std::string(43, ' '));
        EXPECT_EQ(boxes[0].style, UINT(MB_YESNO | MB_ICONEXCLAMATION));
        EXPECT_EQ(list.Lines(), 3);
        EXPECT_FALSE(w_->model.state().dirty);

        answers = {IDYES};
        list.Command(IDC_LIST_DELETE);
        EXPECT_EQ(list.Lines(), 2);
        EXPECT_EQ(w_->model.state().data.current.count(), 2);
        EXPECT_EQ(list.Line(1).substr(0, 10), "12/20/2026");
        EXPECT_TRUE(w_->model.state().dirty);

        // The last line: afterwards nothing is selected and a second Delete asks nothing.
        list.Select(2);
        answers = {IDYES};
        list.Command(IDC_LIST_DELETE);
        EXPECT_EQ(list.Lines(), 1);
        EXPECT_EQ(list.Selected(), 0);
        boxes.clear();
        list.Command(IDC_LIST_DELETE);
        EXPECT_TRUE(boxes.empty());

        list.Choose(IDC_LIST_ARCHIVE);
        list.Select(2);
        answers = {IDYES};
        list.Command(IDC_LIST_DELETE);
        EXPECT_EQ(boxes.back().caption, "Older" + std::string(43, ' '));
        EXPECT_EQ(list.Lines(), 1);
        EXPECT_EQ(w_->model.state().data.archive.count(), 1);
        list.Command(IDC_LIST_CLOSE);
    });
    answers = {IDYES};  // "Do you want to save the changes?"
    SendMessageW(hwnd_, WM_SYSCOMMAND, SC_CLOSE, 0);
    ReminderData disk;
    ASSERT_TRUE(LoadReminderFile(DataFile(), disk, IfMissing::kFail));
    EXPECT_EQ(disk.current.entries(), std::vector<Reminder>{kBea});
    EXPECT_EQ(disk.archive.entries(), std::vector<Reminder>{kOld});
}

TEST_F(ListWindowTest, AfterADeletionTheMainWindowFollowsItsReminder) {
    Open({kAlpha, kBea, kCarl, kDora});
    for (int i = 0; i < 3; ++i) Click(IDC_NEXT);
    ASSERT_EQ(w_->model.state().currentIndex, 3);
    ASSERT_EQ(TrimSpaces(Text(IDC_DESCRIPTION)), "Carl");
    ASSERT_GT(ShadeOfDecemberDay(28), 0);

    WithList([&](const ListWindowView& list) {
        EXPECT_EQ(list.Selected(), 3);  // the shown reminder
        answers = {IDYES, IDYES};
        list.Select(1);
        list.Command(IDC_LIST_DELETE);  // an earlier entry: Carl moves up to 2
        EXPECT_EQ(w_->model.state().currentIndex, 2);
        EXPECT_EQ(TrimSpaces(Text(IDC_DESCRIPTION)), "Carl");
        EXPECT_EQ(Status(2), "  Reminder 2 of 3");
        EXPECT_EQ(Status(3), " 2");

        list.Select(3);
        list.Command(IDC_LIST_DELETE);  // Dora, alone on the 28th
        EXPECT_EQ(w_->model.state().currentIndex, 2);
        EXPECT_EQ(Buttons(), "101001");  // Carl is now the last: no "&Next"
        EXPECT_EQ(ShadeOfDecemberDay(28), 0);
        EXPECT_GT(ShadeOfDecemberDay(20), 0);

        answers = {IDYES};
        list.Select(2);
        list.Command(IDC_LIST_DELETE);  // Carl himself
        EXPECT_EQ(w_->model.state().currentIndex, 0);
        EXPECT_EQ(Text(IDC_DESCRIPTION), "");
        EXPECT_EQ(w_->model.state().sameDate,
                  (std::vector<int>{0, 0}));  // Bea is alone on the 20th
        EXPECT_EQ(Status(2), "");
        EXPECT_GT(ShadeOfDecemberDay(20), 0);
        list.Command(IDC_LIST_CLOSE);
    });
    // Typing now starts a new reminder: nothing is left to replace.
    SetItemText(hwnd_, IDC_DESCRIPTION, "typed");
    wchar_t caption[32] = {};
    GetDlgItemTextW(hwnd_, IDC_ADD, caption, 32);
    EXPECT_STREQ(caption, L"&Add");
    EXPECT_EQ(Buttons().substr(1, 3), "101");  // Add and Cancel, no Delete
}

TEST_F(ListWindowTest, BackShowsTheChosenReminderEvenWhenItSharesItsDate) {
    Open({kAlpha, kBea, kCarl});
    WithList([&](const ListWindowView& list) { list.Command(IDC_LIST_BACK); });  // no line
    EXPECT_EQ(w_->model.state().currentIndex, 0);
    EXPECT_FALSE(w_->model.state().listOpen);

    WithList([&](const ListWindowView& list) {
        list.Select(3);
        list.Command(IDC_LIST_BACK);
    });
    EXPECT_FALSE(w_->model.state().listOpen);
    EXPECT_EQ(w_->model.state().currentIndex, 3);
    EXPECT_EQ(TrimSpaces(Text(IDC_DESCRIPTION)), "Carl");
    EXPECT_EQ(Text(IDC_TIME), "2:15 pm");
    EXPECT_EQ(Status(2), "  Reminder 3 of 3");
    EXPECT_EQ(Status(3), " 2");
    EXPECT_EQ(w_->model.state().marked.key, 20261220);
    EXPECT_EQ(Buttons(), "101001");  // FormMode 4 on the last reminder

    // While the form is being edited "&Back" would drop the edit: it stays hidden.
    SetItemText(hwnd_, IDC_NOTIFY, "5");
    ASSERT_NE(w_->model.state().editing, Editing::kNone);
    WithList([&](const ListWindowView& list) {
        EXPECT_FALSE(list.Visible(IDC_LIST_BACK));
        list.Select(1);
        EXPECT_FALSE(list.Visible(IDC_LIST_BACK));
        list.Command(IDC_LIST_BACK);  // hidden: no effect
        EXPECT_TRUE(IsWindowVisible(list.dialog));
    });
    EXPECT_EQ(w_->model.state().currentIndex, 3);
}

TEST_F(ListWindowTest, PrintPrintsTheShownListAndGivesTheFocusBack) {
    const std::string output = print::test::OutputPath("list-window.ps");
    const Replaced printer = print::test::AnswerPrintDialogsWith(print::test::kSimplexPrinter);
    const Replaced into = print::test::PrintInto(output);
    Open({kAlpha, kBea, kCarl}, {kOld, kOlder});
    WithList([&](const ListWindowView& list) {
        list.Choose(IDC_LIST_ARCHIVE);
        list.Command(IDC_LIST_PRINT);
        EXPECT_EQ(GetFocus(), list.Box());
        EXPECT_TRUE(IsWindowVisible(list.dialog));  // the window stays open
    });
    const print::test::Printout printout = print::test::ReadPrintout(output);
    ASSERT_EQ(printout.pages.size(), 1u);
    for (const char* text : {"Old one", "Older", "12/01/2026", "8:00 am", "11/20/2026"}) {
        EXPECT_NE(printout.pages[0].find(text), std::string::npos) << text;
    }
    EXPECT_EQ(printout.pages[0].find("Alpha"), std::string::npos);
}

// The printer dialog has no owner, so the list window stays clickable under it. While a print
// runs, Delete, the list choice and closing do nothing; the printout holds the list as it was
// shown when "&Print" was pressed, and afterwards the window works as before.
TEST_F(ListWindowTest, AWindowUnderThePrinterDialogCannotChangeWhatItPrints) {
    const std::string output = print::test::OutputPath("list-under-dialog.ps");
    const Replaced into = print::test::PrintInto(output);  // under the real printer dialog
    Open({kAlpha, kBea, kCarl}, {kOld});
    int inDialog = 0;
    WithList([&](const ListWindowView& list) {
        {
            const print::test::InPrintDialog acts([&](HWND dialog) {
                list.Select(1);
                answers = {IDYES};
                list.Command(IDC_LIST_DELETE);
                list.Choose(IDC_LIST_ARCHIVE);
                SendMessageW(list.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
                list.Command(IDC_LIST_CLOSE);
                PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
            });
            list.Command(IDC_LIST_PRINT);
            inDialog = acts.runs();
        }
        EXPECT_TRUE(IsWindowVisible(list.dialog));
        EXPECT_EQ(list.Lines(), 3);
        EXPECT_TRUE(list.Checked(IDC_LIST_CURRENT));
        EXPECT_FALSE(list.Checked(IDC_LIST_ARCHIVE));
        EXPECT_TRUE(boxes.empty());
        EXPECT_TRUE(w_->model.state().listOpen);

        list.Select(1);
        answers = {IDYES};
        list.Command(IDC_LIST_DELETE);
        EXPECT_EQ(list.Lines(), 2);
    });
    EXPECT_EQ(inDialog, 1);
    EXPECT_EQ(w_->model.state().data.current.count(), 2);
    const print::test::Printout printout = print::test::ReadPrintout(output);
    ASSERT_EQ(printout.pages.size(), 1u);
    for (const char* text : {"Alpha", "Bea", "Carl"}) {
        EXPECT_NE(printout.pages[0].find(text), std::string::npos) << text;
    }
    EXPECT_EQ(printout.pages[0].find("Old one"), std::string::npos);
}

}  // namespace
}  // namespace tessaly::editor
