// Drives the editor's real main window in-process (modeless, under Wine): start-up, the form's
// commands and checks, its message boxes, closing, and the data file left on disk.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/data_file.h"
#include "core/tests/test_reminders.h"
#include "editor/calendar/calendar_rules.h"
#include "editor/help/help_file.h"
#include "editor/help/win/help_window.h"
#include "editor/settings/win/settings_dialog.h"
#include "editor/win/main_window.h"
#include "editor/win/resource.h"
#include "win/controls.h"
#include "win/gdi.h"
#include "win/message_box.h"
#include "win/folders.h"
#include "win/tests/fixed_clock.h"
#include "win/tests/recorded_boxes.h"
#include "win/tests/window_steps.h"

namespace tessaly::editor {
namespace {

using namespace win;
using namespace win::test;

namespace fs = std::filesystem;

constexpr DateKey kToday = 20261209;  // a Wednesday; the calendar shows December and January

using tessaly::testing::MakeReminder;

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        root_ = fs::path(temp) / ("tessaly-editor-" + std::to_string(GetCurrentProcessId()) + "-" +
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

    void Open(const std::wstring& firstArgument = L"") {
        hwnd_ = CreateMainDialog(firstArgument);
        ASSERT_NE(hwnd_, nullptr) << "CreateDialog failed, error " << GetLastError();
        Pump();  // runs the posted start-up maintenance
        w_ = MainWindowFrom(hwnd_);
        ASSERT_NE(w_, nullptr);
    }

    static void Pump() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }

    fs::path DefaultDataFile() const {
        return root_ / "docs" / "Quorvane" / "Tessaly" / "Tessaly.tsy";
    }
    fs::path SettingsFile() const {
        return root_ / "common" / "Quorvane" / "Tessaly" / "Tessaly.ini";
    }

    static void WriteData(const fs::path& file, std::vector<Reminder> current,
                          std::vector<Reminder> archive = {}) {
        fs::create_directories(file.parent_path());
        ReminderData data{ReminderList(std::move(current)), ReminderList(std::move(archive))};
        ASSERT_TRUE(SaveReminderFile(file, data, kEditorLabel));
    }
    static ReminderData OnDisk(const fs::path& file) {
        ReminderData data;
        EXPECT_TRUE(LoadReminderFile(file, data, IfMissing::kFail));
        return data;
    }

    void Click(int id) {
        SendMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(hwnd_, id)));
    }
    void Press(int id) { SendDlgItemMessageW(hwnd_, id, BM_CLICK, 0, 0); }
    void Type(int id, std::string_view text) { SetItemText(hwnd_, id, text); }
    std::string Text(int id) const { return GetItemText(hwnd_, id); }
    bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(hwnd_, id)) != FALSE; }
    bool Visible(int id) const { return IsWindowVisible(GetDlgItem(hwnd_, id)) != FALSE; }
    bool Checked(int id) const { return IsDlgButtonChecked(hwnd_, id) == BST_CHECKED; }
    std::wstring Status(int part) const {
        HWND bar = GetDlgItem(hwnd_, IDC_STATUS);
        const auto length = LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, part - 1, 0));
        std::wstring text(length + 1u, L'\0');
        SendMessageW(bar, SB_GETTEXTW, part - 1, reinterpret_cast<LPARAM>(text.data()));
        text.resize(length);
        return text;
    }
    bool HasFocus(int id) const {
        HWND focus = GetFocus();
        HWND control = GetDlgItem(hwnd_, id);
        return focus && (focus == control || GetParent(focus) == control);  // combo: its edit
    }
    // Button states: New, Add/Replace, Delete, Cancel, Next, Prev.
    std::string Buttons() const {
        std::string s;
        for (int id : {IDC_NEW, IDC_ADD, IDC_DELETE, IDC_CANCEL, IDC_NEXT, IDC_PREV}) {
            s += Enabled(id) ? '1' : '0';
        }
        return s;
    }

    void FillNew(std::string_view kind, std::string_view description, std::string_view date,
                 std::string_view time, std::string_view notify) {
        Type(IDC_KIND, kind);
        Type(IDC_DESCRIPTION, description);
        Type(IDC_DATE, date);
        Type(IDC_TIME, time);
        Type(IDC_NOTIFY, notify);
    }
    LRESULT Close() { return SendMessageW(hwnd_, WM_SYSCOMMAND, SC_CLOSE, 0); }

    // Keys as a person presses them: through the system's input queue to whatever has the
    // focus, then through the dialog's own key handling (Tab, Alt+letter, Space on a button),
    // as the program's modal loop runs it.
    void Key(WORD vk, bool alt = false) {
        std::vector<INPUT> input;
        const auto add = [&input](WORD key, bool up) {
            INPUT i{};
            i.type = INPUT_KEYBOARD;
            i.ki.wVk = key;
            i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
            input.push_back(i);
        };
        if (alt) add(VK_MENU, false);
        add(vk, false);
        add(vk, true);
        if (alt) add(VK_MENU, true);
        ASSERT_EQ(SendInput(UINT(input.size()), input.data(), sizeof(INPUT)), input.size());
        PumpDialog();
    }
    void PumpDialog() {
        // The input arrives through the server; give it a moment, then handle it all.
        for (int round = 0; round < 5; ++round) {
            Sleep(10);
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (IsWindow(hwnd_) && IsDialogMessageW(hwnd_, &msg)) continue;
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
    }
    // Focus on the button and Space, as a person presses it from the keyboard.
    void PressByKey(int id) {
        SetFocus(GetDlgItem(hwnd_, id));
        Key(VK_SPACE);
    }
    // A click on a day of the calendar's panel.
    void ClickDay(int panel, int month, int year, int day);

    fs::path root_;
    HWND hwnd_ = nullptr;
    MainWindow* w_ = nullptr;
    const Replaced answered_ = messageBox.Replace(&AnswerBox);
    const Replaced folders_ = specialFolder.Replace([this](int csidl) {
        return (root_ / (csidl == kCommonAppDataFolder ? "common" : "docs")).wstring();
    });
    const Replaced today_ = FixToday(kToday);
    // Not the test's own folder, which holds the built help file.
    const Replaced program_ =
        programFile.Replace([this] { return (root_ / "bin" / "Tessaly.exe").wstring(); });
};

TEST_F(MainWindowTest, FirstStartCreatesTheFoldersAndAnEmptyDataFile) {
    Open();
    EXPECT_TRUE(fs::is_directory(root_ / "common" / "Quorvane" / "Tessaly"));
    EXPECT_TRUE(fs::is_directory(root_ / "docs" / "Quorvane" / "Tessaly"));
    ASSERT_TRUE(fs::exists(DefaultDataFile()));
    EXPECT_EQ(fs::file_size(DefaultDataFile()), 12u);  // written by the maintenance save
    EXPECT_EQ(fs::path(w_->paths.dataFile), DefaultDataFile());
    EXPECT_EQ(fs::path(w_->paths.settingsFile), SettingsFile());
    EXPECT_EQ(Status(1), DefaultDataFile().wstring());
    EXPECT_EQ(Status(2), L"");
    // Three parts side by side: the path, "Reminder i of n", the same-date number.
    RECT parts[3];
    for (int i = 0; i < 3; ++i) {
        SendDlgItemMessageW(hwnd_, IDC_STATUS, SB_GETRECT, i, reinterpret_cast<LPARAM>(&parts[i]));
    }
    EXPECT_LT(parts[0].right, parts[1].right);
    EXPECT_GT(parts[1].right - parts[1].left, 80);  // room for "  Reminder 999 of 999"
    EXPECT_LT(parts[1].right, parts[2].right);

    wchar_t title[64];
    GetWindowTextW(hwnd_, title, 64);
    EXPECT_STREQ(title, L"Tessaly - ver 3.03");
    // FormMode 0 on an empty list: nothing to add, nowhere to step.
    EXPECT_EQ(Buttons(), "000000");
    EXPECT_TRUE(Checked(IDC_ONE_TIME));
    EXPECT_FALSE(Visible(IDC_PERIOD));
    EXPECT_FALSE(Visible(IDC_PERIOD_LABEL));
    EXPECT_EQ(SendDlgItemMessageW(hwnd_, IDC_KIND, CB_GETCOUNT, 0, 0), 5);
}

TEST_F(MainWindowTest, DataFileComesFromCommandLineThenSettingsThenDefault) {
    const fs::path argFile = root_ / "arg dir" / "arg.tsy";
    const fs::path iniFile = root_ / "ini.tsy";
    WriteData(argFile, {MakeReminder(kMeeting, "from arg", 20261220, 900)});
    WriteData(iniFile, {});
    struct Case {
        std::wstring argument;
        std::string settingsLine;  // empty: no settings file
        fs::path expected;
    };
    const Case cases[] = {
        {argFile.wstring(), iniFile.string() + "\r\n", argFile},
        {(root_ / "missing.tsy").wstring(), iniFile.string() + "\r\n", DefaultDataFile()},
        {L"", iniFile.string() + "\r\nignored second line\r\n", iniFile},
        {L"", (root_ / "missing.tsy").string() + "\r\n", DefaultDataFile()},
        {L"", "", DefaultDataFile()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected.string());
        fs::create_directories(SettingsFile().parent_path());
        fs::remove(SettingsFile());
        if (!c.settingsLine.empty())
            std::ofstream(SettingsFile(), std::ios::binary) << c.settingsLine;
        Open(c.argument);
        EXPECT_EQ(fs::path(w_->paths.dataFile), c.expected);
        EXPECT_EQ(fs::path(w_->paths.dataFolder), c.expected.parent_path());
        EXPECT_EQ(Status(1), c.expected.wstring());
        DestroyWindow(hwnd_);
    }
    EXPECT_EQ(OnDisk(argFile).current.count(), 1);
}

TEST_F(MainWindowTest, StartupRollsOverAndSavesTheResult) {
    WriteData(DefaultDataFile(),
              {MakeReminder(kAppointment, "past appointment", 20261201, 930),
               MakeReminder(kMeeting, "weekly", 20261202, 1000, 0, kWeeklyPeriod, 1),
               MakeReminder(kMeeting, "future meeting", 20261220, 1430)});
    Open();
    const ReminderData disk = OnDisk(DefaultDataFile());
    ASSERT_EQ(disk.current.count(), 2);
    EXPECT_EQ(disk.current.at(1).date, 20261216);  // the weekly one, moved past today
    EXPECT_EQ(disk.current.at(2).date, 20261220);
    ASSERT_EQ(disk.archive.count(), 1);
    EXPECT_EQ(disk.archive.at(1).date, 20261201);
    EXPECT_EQ(disk, w_->model.state().data);
    EXPECT_FALSE(w_->model.state().dirty);
    EXPECT_EQ(w_->model.state().sameDate, (std::vector<int>{0, 0, 0}));
}

TEST_F(MainWindowTest, AFileThatCouldNotBeReadIsNotOverwrittenAtStartup) {
    WriteData(DefaultDataFile(), {MakeReminder(kMeeting, "future meeting", 20261220, 1430)});
    std::ifstream before(DefaultDataFile(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(before)), {});
    before.close();

    // The other program holds the file through the whole load, then lets go before the
    // start-up maintenance runs.
    HANDLE held = CreateFileW(DefaultDataFile().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    hwnd_ = CreateMainDialog();
    CloseHandle(held);
    ASSERT_NE(hwnd_, nullptr);
    Pump();
    w_ = MainWindowFrom(hwnd_);
    ASSERT_NE(w_, nullptr);
    EXPECT_FALSE(w_->model.state().loaded);
    const auto onDisk = [this] {
        std::ifstream after(DefaultDataFile(), std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(after)), {});
    };
    EXPECT_EQ(onDisk(), bytes);
    // The start-up says so, with the reason.
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text.rfind("The reminders could not be read:", 0), 0u) << boxes[0].text;
    EXPECT_EQ(boxes[0].style, UINT(MB_ICONHAND));

    // Mend: the closing "Yes" does not write over it either; it says why and stays open.
    FillNew("meeting", "Board", "12-21-26", "10:00 am", "0");
    Click(IDC_ADD);
    answers = {IDYES, IDOK};
    Close();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[2].caption, "Closing Reminders");
    EXPECT_NE(boxes[2].text.find("could not be read"), std::string::npos) << boxes[2].text;
    EXPECT_TRUE(IsWindow(hwnd_));
    EXPECT_EQ(onDisk(), bytes);
    answers = {IDNO};
    Close();
    EXPECT_FALSE(IsWindow(hwnd_));
    EXPECT_EQ(onDisk(), bytes);
}

TEST_F(MainWindowTest, SecondCopyIsRefusedWithItsMessage) {
    HANDLE first = CreateMutexA(nullptr, FALSE, "Tessaly");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(RunEditor(L""), 0);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Tessaly is already loaded");
    EXPECT_EQ(boxes[0].caption, " ");
    EXPECT_EQ(boxes[0].style, UINT(MB_ICONHAND));
    CloseHandle(first);
}

TEST_F(MainWindowTest, AddShowsTheReminderAndYesOnClosingWritesIt) {
    Open();
    FillNew("appointment", "Dentist", "12-20-26", "2:30 pm", "3");
    EXPECT_EQ(Buttons(), "010100");  // FormMode 2 (and nowhere to step in an empty list)
    wchar_t caption[32];
    GetDlgItemTextW(hwnd_, IDC_ADD, caption, 32);
    EXPECT_STREQ(caption, L"&Add");

    Click(IDC_ADD);
    EXPECT_TRUE(boxes.empty()) << boxes[0].text;
    EXPECT_EQ(Text(IDC_DATE), "12-20-2026");
    ASSERT_EQ(w_->model.state().data.current.count(), 1);
    EXPECT_EQ(w_->model.state().currentIndex, 1);
    EXPECT_TRUE(w_->model.state().dirty);
    EXPECT_EQ(Buttons(), "101000");  // FormMode 4; the only entry is both first and last
    GetDlgItemTextW(hwnd_, IDC_ADD, caption, 32);
    EXPECT_STREQ(caption, L"&Replace");
    EXPECT_EQ(Status(2), L"  Reminder 1 of 1");
    EXPECT_EQ(Status(3), L"");

    answers = {IDYES};
    Close();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "File has changed...\r\nDo you want to save the changes?");
    EXPECT_EQ(boxes[0].caption, "Closing Reminders");
    EXPECT_EQ(boxes[0].style, UINT(MB_YESNOCANCEL | MB_ICONEXCLAMATION));
    EXPECT_FALSE(IsWindow(hwnd_));
    const ReminderData disk = OnDisk(DefaultDataFile());
    ASSERT_EQ(disk.current.count(), 1);
    EXPECT_EQ(disk.current.at(1), MakeReminder(kAppointment, "Dentist", 20261220, 1430, 3));
    EXPECT_EQ(fs::file_size(DefaultDataFile()), 12u + 58u);
}

TEST_F(MainWindowTest, RejectedInputShowsItsMessageAndFocusesTheField) {
    Open();
    struct Case {
        std::string_view kind, date, time, notify;
        std::string_view text, caption;
        UINT style;
        int focus;
        std::string_view dateAfter;
    };
    const std::string_view hand = "Reminder Form";
    const Case cases[] = {
        {"meeting", "13-01-27", "9:00 am", "1", "Month out of range", "Invalid Date", MB_ICONHAND,
         IDC_DATE, "13-01-2027"},
        {"meeting", "12/8/26", "9:00 am", "1", "Incorrect day specified (must be after today)",
         "Invalid Date", MB_ICONHAND, IDC_DATE, "12-08-2026"},
        {"meeting", "1/1/2101", "9:00 am", "1", "year Must be this 21st century", "Invalid Date",
         MB_ICONHAND, IDC_DATE, "01-01-2101"},
        {"meeting", "12-20-26", "9:00 am", "31", "Maximum of 30 days", hand, MB_ICONHAND,
         IDC_NOTIFY, "12-20-2026"},
        {"meeting", "12-20-26", "13:00 pm", "1", "Bad time format", hand, MB_ICONHAND, IDC_TIME,
         "12-20-2026"},
        {"appointment", "12-20-26", "9:30", "1",
         "Must fill all fields\r\n... and time must include am or pm", hand, MB_ICONASTERISK,
         IDC_KIND, "12-20-2026"},
        {"appointment", "12-20-26", "9:30 PM", "1",
         "Must fill all fields\r\n... and time must include am or pm", hand, MB_ICONASTERISK,
         IDC_KIND, "12-20-2026"},
        {"birthday", "12-20-26", "1990", "", "Must fill all fields", hand, MB_ICONASTERISK,
         IDC_KIND, "12-20-2026"},
        // Mends: a kind text that names no kind, and a time left in a birthday's year box.
        {"app", "12-20-26", "2:30 pm", "1",
         "Unknown event kind\r\nThe event must be birthday, anniversary, reminder, appointment "
         "or meeting",
         hand, MB_ICONHAND, IDC_KIND, "12-20-2026"},
        {"birthday", "12-20-26", "2:30 pm", "1",
         "Bad year\r\nThe year must be from 1800 to 2026, or empty", hand, MB_ICONHAND, IDC_TIME,
         "12-20-2026"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " / " + std::string(c.date));
        boxes.clear();
        FillNew(c.kind, "Something", c.date, c.time, c.notify);
        SetFocus(GetDlgItem(hwnd_, IDC_DESCRIPTION));
        Click(IDC_ADD);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, c.text);
        EXPECT_EQ(boxes[0].caption, c.caption);
        EXPECT_EQ(boxes[0].style, c.style);
        EXPECT_TRUE(HasFocus(c.focus));
        EXPECT_EQ(Text(IDC_DATE), c.dateAfter);  // normalised even when a later check fails
        EXPECT_EQ(w_->model.state().data.current.count(), 0);
        EXPECT_EQ(w_->model.state().currentIndex, 0);
        EXPECT_FALSE(w_->model.state().dirty);
    }
}

TEST_F(MainWindowTest, ReplaceMovesTheReminderAndNoOnClosingKeepsTheFile) {
    WriteData(DefaultDataFile(), {MakeReminder(kMeeting, "A", 20261215, 900, 1),
                                  MakeReminder(kMeeting, "B", 20261220, 900, 1),
                                  MakeReminder(kMeeting, "C", 20261225, 900, 1)});
    Open();
    const ReminderData before = OnDisk(DefaultDataFile());
    Click(IDC_NEXT);
    ASSERT_EQ(w_->model.state().currentIndex, 1);
    EXPECT_EQ(Text(IDC_DESCRIPTION).substr(0, 2), "A ");
    EXPECT_EQ(Text(IDC_DATE), "12-15-2026");
    EXPECT_EQ(Text(IDC_TIME), "9:00 am");
    EXPECT_EQ(Text(IDC_TIME_LABEL), "time:");
    EXPECT_EQ(Text(IDC_WEEKDAY), "Tuesday");
    EXPECT_EQ(Buttons(), "101010");  // FormMode 4 on the first entry: no "&Prev"

    Type(IDC_DATE, "12-28-26");
    EXPECT_EQ(Buttons(), "011100");  // FormMode 3
    Click(IDC_ADD);
    ASSERT_TRUE(boxes.empty());
    ASSERT_EQ(w_->model.state().data.current.count(), 3);
    EXPECT_EQ(w_->model.state().data.current.at(3).date, 20261228);
    EXPECT_EQ(w_->model.state().data.current.at(1).date, 20261220);
    EXPECT_EQ(w_->model.state().currentIndex, 3);
    EXPECT_EQ(Status(2), L"  Reminder 3 of 3");

    answers = {IDNO};
    Close();
    EXPECT_FALSE(IsWindow(hwnd_));
    EXPECT_EQ(OnDisk(DefaultDataFile()), before);
}

TEST_F(MainWindowTest, DeleteAsksFirstAndShowsWhatStandsOnTheSameDay) {
    WriteData(DefaultDataFile(), {MakeReminder(kMeeting, "X1", 20261220, 900, 1),
                                  MakeReminder(kMeeting, "X2", 20261220, 1000, 1),
                                  MakeReminder(kMeeting, "Y", 20261222, 900, 1)});
    Open();
    EXPECT_EQ(w_->model.state().sameDate, (std::vector<int>{0, 1, 2, 0}));
    Click(IDC_NEXT);
    EXPECT_EQ(Status(3), L" 1");

    answers = {IDNO};
    Click(IDC_DELETE);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Delete this reminder now");
    EXPECT_EQ(boxes[0].caption, "X1" + std::string(46, ' '));  // names the reminder
    EXPECT_EQ(boxes[0].style, UINT(MB_YESNOCANCEL | MB_ICONEXCLAMATION));
    EXPECT_EQ(w_->model.state().data.current.count(), 3);
    EXPECT_FALSE(w_->model.state().dirty);

    answers = {IDYES};
    Click(IDC_DELETE);
    ASSERT_EQ(w_->model.state().data.current.count(), 2);
    EXPECT_EQ(w_->model.state().currentIndex, 1);
    EXPECT_EQ(Text(IDC_DESCRIPTION).substr(0, 3), "X2 ");  // the other reminder of that day
    EXPECT_EQ(w_->model.state().sameDate, (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(Status(3), L"");
    EXPECT_TRUE(w_->model.state().dirty);
    EXPECT_EQ(Buttons().substr(0, 4), "1000");  // FormMode 1

    // The last reminder of a day, followed by another day's: the form empties.
    answers = {IDYES};
    Click(IDC_DELETE);
    ASSERT_EQ(w_->model.state().data.current.count(), 1);
    EXPECT_EQ(w_->model.state().currentIndex, 1);
    EXPECT_EQ(Text(IDC_DESCRIPTION), "");
    EXPECT_EQ(Text(IDC_KIND), "");
}

TEST_F(MainWindowTest, NextAndPrevWalkTheListAndStopAtItsEnds) {
    WriteData(DefaultDataFile(), {MakeReminder(kBirthday, "Ann", 20261215, 1980, 2, kAnnual),
                                  MakeReminder(kMeeting, "B", 20261220, 2400, 1),
                                  MakeReminder(kMeeting, "C", 20270105, 1315, 1)});
    Open();
    Click(IDC_NEXT);
    EXPECT_EQ(w_->model.state().currentIndex, 1);
    EXPECT_EQ(Text(IDC_TIME_LABEL), "year:");
    EXPECT_EQ(Text(IDC_TIME), "1980");
    EXPECT_TRUE(Checked(IDC_ANNUAL));
    EXPECT_FALSE(Enabled(IDC_PREV));
    Click(IDC_NEXT);
    EXPECT_EQ(Text(IDC_TIME), "12:00 am");
    EXPECT_EQ(Status(2), L"  Reminder 2 of 3");
    EXPECT_TRUE(Enabled(IDC_PREV) && Enabled(IDC_NEXT));
    Click(IDC_NEXT);
    EXPECT_EQ(w_->model.state().currentIndex, 3);
    EXPECT_EQ(Text(IDC_TIME), "1:15 pm");
    EXPECT_FALSE(Enabled(IDC_NEXT));
    Click(IDC_NEXT);  // nowhere to go: nothing changes
    EXPECT_EQ(w_->model.state().currentIndex, 3);
    Click(IDC_PREV);
    EXPECT_EQ(w_->model.state().currentIndex, 2);
    EXPECT_EQ(Buttons(), "101011");
}

TEST_F(MainWindowTest, ClosingCancelKeepsTheWindowAndASecondCloseMeanwhileIsSwallowed) {
    Open();
    FillNew("meeting", "Board", "12-21-26", "10:00 am", "0");
    Click(IDC_ADD);
    ASSERT_TRUE(w_->model.state().dirty);

    LRESULT nested = -1;
    whileBoxIsOpen = [&] { nested = Close(); };
    answers = {IDCANCEL};
    Close();
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(boxes.size(), 1u);  // the nested close asked nothing
    EXPECT_TRUE(IsWindow(hwnd_));
    EXPECT_TRUE(w_->model.state().dirty);
    EXPECT_FALSE(w_->model.state().closing);

    answers = {IDNO};
    Close();
    EXPECT_FALSE(IsWindow(hwnd_));
    EXPECT_EQ(OnDisk(DefaultDataFile()).current.count(), 0);
}

TEST_F(MainWindowTest, AFailedSaveOnClosingSaysSoAndKeepsTheWindow) {
    const fs::path file = root_ / "gone" / "data.tsy";
    WriteData(file, {});
    Open(file.wstring());
    FillNew("meeting", "Board", "12-21-26", "10:00 am", "0");
    Click(IDC_ADD);
    fs::remove_all(file.parent_path());

    answers = {IDYES, IDOK};
    Close();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].caption, "Closing Reminders");
    EXPECT_EQ(boxes[1].style, UINT(MB_ICONHAND));
    EXPECT_EQ(boxes[1].text.rfind("The reminders could not be saved.", 0), 0u) << boxes[1].text;
    EXPECT_TRUE(IsWindow(hwnd_));
    EXPECT_TRUE(w_->model.state().dirty);
    EXPECT_EQ(w_->model.state().data.current.count(), 1);
}

TEST_F(MainWindowTest, KindAndFrequencyChoicesSetTheirFields) {
    Open();
    SendDlgItemMessageW(hwnd_, IDC_KIND, CB_SETCURSEL, 0, 0);  // birthday
    SendMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(IDC_KIND, CBN_SELENDOK),
                 reinterpret_cast<LPARAM>(GetDlgItem(hwnd_, IDC_KIND)));
    EXPECT_EQ(Text(IDC_TIME_LABEL), "year");
    EXPECT_TRUE(Checked(IDC_ANNUAL));
    EXPECT_FALSE(Checked(IDC_ONE_TIME));
    EXPECT_TRUE(HasFocus(IDC_DESCRIPTION));

    Type(IDC_DATE, "1-12-27");  // Tuesday, 12 January 2027: the 2nd Tuesday
    Press(IDC_WEEKDAY_MONTHS);
    EXPECT_TRUE(Checked(IDC_WEEKDAY_MONTHS));
    EXPECT_FALSE(Checked(IDC_ANNUAL));
    EXPECT_TRUE(Visible(IDC_PERIOD));
    EXPECT_EQ(Text(IDC_PERIOD_LABEL), "months\r\n2nd Tuesday");
    Press(IDC_WEEKLY);
    EXPECT_EQ(Text(IDC_PERIOD_LABEL), "weeks");
    Press(IDC_ONE_TIME);
    EXPECT_FALSE(Visible(IDC_PERIOD));
    // An invalid date leaves the period fields as they were.
    Type(IDC_DATE, "13-40-27");
    Press(IDC_MONTHLY);
    EXPECT_FALSE(Visible(IDC_PERIOD));

    // A typed kind that begins no kind name is emptied.
    Type(IDC_KIND, "xyz");
    SendMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(IDC_KIND, CBN_EDITCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(hwnd_, IDC_KIND)));
    EXPECT_EQ(Text(IDC_KIND), "");
    Type(IDC_KIND, "MEE");
    SendMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(IDC_KIND, CBN_EDITCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(hwnd_, IDC_KIND)));
    EXPECT_EQ(Text(IDC_KIND), "MEE");
}

TEST_F(MainWindowTest, NewAndCancelMoveBetweenFormModes) {
    WriteData(DefaultDataFile(), {MakeReminder(kMeeting, "B", 20261220, 900, 1),
                                  MakeReminder(kMeeting, "C", 20261222, 900, 1)});
    Open();
    Click(IDC_NEXT);
    SendDlgItemMessageW(hwnd_, IDC_NEW, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    Click(IDC_NEW);  // a new reminder on the day the calendar marked
    // A used button does not keep the default-button frame.
    EXPECT_EQ(GetWindowLongW(GetDlgItem(hwnd_, IDC_NEW), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
    EXPECT_EQ(w_->model.state().currentIndex, 0);
    EXPECT_EQ(Text(IDC_DATE), "12-20-2026");
    EXPECT_EQ(Text(IDC_KIND), "");
    EXPECT_EQ(Buttons(), "010100");
    Click(IDC_CANCEL);
    EXPECT_EQ(Buttons().substr(0, 4), "1000");  // FormMode 1: nothing shown
    EXPECT_EQ(Text(IDC_DATE), "");
    Click(IDC_NEXT);
    Type(IDC_NOTIFY, "5");
    EXPECT_EQ(Buttons(), "011100");  // FormMode 3
    Click(IDC_CANCEL);
    EXPECT_EQ(Text(IDC_NOTIFY), "1");  // back to the stored reminder
    EXPECT_EQ(Buttons(), "101010");
}

TEST_F(MainWindowTest, DescriptionIsCutAtThreeHundredPixels) {
    Open();
    const std::string typed(120, 'W');
    Type(IDC_DESCRIPTION, typed);
    const std::string kept = Text(IDC_DESCRIPTION);
    ASSERT_LT(kept.size(), typed.size());
    ASSERT_FALSE(kept.empty());
    HDC dc = GetDC(hwnd_);
    EXPECT_LE(TextWidth(dc, kept), 300);
    EXPECT_GT(TextWidth(dc, kept + "W"), 300);
    ReleaseDC(hwnd_, dc);
}

// The centre of a day's cell in the calendar's panel.
POINT DayPoint(int panel, int month, int year, int day) {
    const calendar::OpenRect r =
        calendar::CellHitRect(panel, calendar::CellOfDay(month, year, day));
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

TEST_F(MainWindowTest, CalendarClickShowsTheDayAndDoubleClickStartsANewReminder) {
    WriteData(DefaultDataFile(), {MakeReminder(kMeeting, "First", 20261220, 900, 1),
                                  MakeReminder(kMeeting, "Second", 20261220, 1000, 1)});
    Open();
    UpdateWindow(hwnd_);  // the calendar has been painted once, as on screen

    const POINT day20 = DayPoint(0, 12, 2026, 20);
    SendMessageW(hwnd_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(day20.x, day20.y));
    EXPECT_EQ(w_->model.state().selectedKey, 20261220);
    EXPECT_EQ(w_->model.state().currentIndex, 1);
    EXPECT_EQ(Text(IDC_DESCRIPTION).substr(0, 6), "First ");
    EXPECT_EQ(Status(2), L"  Reminder 1 of 2");
    EXPECT_EQ(Status(3), L" 1");
    EXPECT_EQ(Buttons(), "101010");  // FormMode 4 on the first entry

    // A day of the right panel (January 2027) without reminders.
    const POINT jan5 = DayPoint(1, 1, 2027, 5);
    SendMessageW(hwnd_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(jan5.x, jan5.y));
    SendMessageW(hwnd_, WM_LBUTTONUP, 0, MAKELPARAM(jan5.x, jan5.y));
    SendMessageW(hwnd_, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(jan5.x, jan5.y));
    EXPECT_EQ(w_->model.state().currentIndex, 0);
    EXPECT_EQ(Text(IDC_DATE), "01-05-27");
    EXPECT_EQ(Text(IDC_WEEKDAY), "Tuesday");
    EXPECT_EQ(Buttons().substr(0, 4), "0101");  // FormMode 2
    FillNew("reminder", "Call", "01-05-27", "", "0");
    Click(IDC_ADD);
    ASSERT_TRUE(boxes.empty()) << boxes[0].text;
    EXPECT_EQ(w_->model.state().data.current.at(3).date, 20270105);
    EXPECT_EQ(w_->model.state().data.current.at(3).timeOrYear,
              0);  // no am/pm for a "reminder": no time

    // While editing, a click in the calendar is ignored.
    Type(IDC_NOTIFY, "2");
    SendMessageW(hwnd_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(day20.x, day20.y));
    EXPECT_EQ(w_->model.state().currentIndex, 3);
}

void MainWindowTest::ClickDay(int panel, int month, int year, int day) {
    const POINT at = DayPoint(panel, month, year, day);
    SendMessageW(hwnd_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    SendMessageW(hwnd_, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
}

// Mends: Down or Up in the kind box changes the shown reminder like any other field (Replace
// and Cancel are offered), moves on from the kind shown, and a time left in the box is
// emptied when the box comes to mean a year.
TEST_F(MainWindowTest, DownInTheKindBoxEntersEditingAndEmptiesATimeThatWouldBecomeAYear) {
    WriteData(DefaultDataFile(), {MakeReminder(kAppointment, "Dentist", 20261220, 1430, 1)});
    Open();
    SetForegroundWindow(hwnd_);
    ClickDay(0, 12, 2026, 20);
    ASSERT_EQ(Text(IDC_KIND), "appointment");
    SetFocus(GetDlgItem(hwnd_, IDC_KIND));  // where the focus stays after a click on a day

    Key(VK_DOWN);
    EXPECT_EQ(Text(IDC_KIND), "meeting");
    EXPECT_EQ(Text(IDC_TIME_LABEL), "time");
    EXPECT_EQ(Text(IDC_TIME), "2:30 pm");  // still a time
    EXPECT_EQ(Buttons(), "011100");        // FormMode 3: Replace, Delete and Cancel
    wchar_t caption[32];
    GetDlgItemTextW(hwnd_, IDC_ADD, caption, 32);
    EXPECT_STREQ(caption, L"&Replace");

    // Each choice moves the focus on to the description; back to the kind box for the next.
    for (int i = 0; i < 3; ++i) {  // appointment, reminder, anniversary
        SetFocus(GetDlgItem(hwnd_, IDC_KIND));
        Key(VK_UP);
    }
    EXPECT_EQ(Text(IDC_KIND), "anniversary");
    EXPECT_EQ(Text(IDC_TIME_LABEL), "year");
    EXPECT_EQ(Text(IDC_TIME), "");
    EXPECT_TRUE(Checked(IDC_ANNUAL));
    EXPECT_EQ(Buttons(), "011100");

    Click(IDC_CANCEL);  // the stored reminder comes back, unchanged
    EXPECT_EQ(Text(IDC_KIND), "appointment");
    EXPECT_EQ(Text(IDC_TIME), "2:30 pm");
    EXPECT_EQ(w_->model.state().data.current.at(1),
              MakeReminder(kAppointment, "Dentist", 20261220, 1430, 1));
    EXPECT_FALSE(w_->model.state().dirty);
}

// Mend: every form command leaves the focus in the Event box, where the user types next; the
// button pressed is off by then. Tab then moves on to the description.
TEST_F(MainWindowTest, TheFocusIsInTheEventBoxAfterEachFormCommand) {
    struct Case {
        const char* name;
        std::function<void()> prepare;
        int button;
    };
    const Case cases[] = {
        {"new", [this] { Click(IDC_NEXT); }, IDC_NEW},
        {"cancel", [this] { Click(IDC_NEW); }, IDC_CANCEL},
        {"add",
         [this] {
             Click(IDC_NEW);
             FillNew("meeting", "Board", "12-21-26", "10:00 am", "0");
         },
         IDC_ADD},
        {"delete",
         [this] {
             Click(IDC_NEXT);
             answers = {IDYES};
         },
         IDC_DELETE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteData(DefaultDataFile(), {MakeReminder(kMeeting, "B", 20261220, 900, 1),
                                      MakeReminder(kMeeting, "C", 20261222, 900, 1)});
        Open();
        SetForegroundWindow(hwnd_);
        c.prepare();
        ASSERT_TRUE(Enabled(c.button));
        PressByKey(c.button);
        EXPECT_FALSE(Enabled(c.button));
        EXPECT_TRUE(HasFocus(IDC_KIND));
        Key(VK_TAB);
        EXPECT_TRUE(HasFocus(IDC_DESCRIPTION));
        DestroyWindow(hwnd_);
    }
    // What is typed after "Ne&w" lands in the form.
    Open();
    SetForegroundWindow(hwnd_);
    FillNew("meeting", "", "12-21-26", "10:00 am", "0");
    Click(IDC_CANCEL);
    PressByKey(IDC_NEW);
    Key(VK_TAB);
    Key('X');
    EXPECT_EQ(Text(IDC_DESCRIPTION), "x");
}

// Mend: Delete acts on what the form shows. Add on another day than the one marked shows the
// reminder added, and Delete names and removes that one; while the form shows nothing
// (after the arrows) Delete is off and asks nothing.
TEST_F(MainWindowTest, DeleteAfterAddRemovesTheReminderTheFormShows) {
    const std::vector<Reminder> kept = {MakeReminder(kMeeting, "A", 20261215, 900, 1),
                                        MakeReminder(kMeeting, "B", 20261222, 900, 1)};
    WriteData(DefaultDataFile(), kept);
    Open();
    ClickDay(0, 12, 2026, 15);
    Click(IDC_NEW);
    FillNew("meeting", "Added", "12-30-26", "8:00 am", "1");
    Click(IDC_ADD);
    ASSERT_TRUE(boxes.empty()) << boxes[0].text;
    EXPECT_EQ(Text(IDC_DESCRIPTION).substr(0, 6), "Added ");
    EXPECT_EQ(Text(IDC_DATE), "12-30-2026");
    EXPECT_EQ(Text(IDC_TIME), "8:00 am");
    EXPECT_EQ(Status(2), L"  Reminder 3 of 3");
    EXPECT_EQ(Buttons(), "101001");  // FormMode 4 on the last entry

    answers = {IDYES};
    Click(IDC_DELETE);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Delete this reminder now");
    EXPECT_EQ(boxes[0].caption, "Added" + std::string(43, ' '));
    EXPECT_EQ(w_->model.state().data.current.entries(), kept);

    Click(IDC_PREV);
    Click(IDC_RIGHT_ARROW);
    EXPECT_EQ(Text(IDC_DESCRIPTION), "");
    EXPECT_FALSE(Enabled(IDC_DELETE));
    Click(IDC_DELETE);
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(w_->model.state().data.current.entries(), kept);
}

TEST_F(MainWindowTest, ArrowsMoveTwoMonthsAndClearTheForm) {
    WriteData(DefaultDataFile(), {MakeReminder(kMeeting, "B", 20261220, 900, 1),
                                  MakeReminder(kMeeting, "C", 20261222, 900, 1)});
    Open();
    Click(IDC_NEXT);
    Click(IDC_RIGHT_ARROW);
    EXPECT_EQ(w_->model.state().displayedMonth, 2);
    EXPECT_EQ(w_->model.state().displayedYear, 2027);
    EXPECT_EQ(Text(IDC_DESCRIPTION), "");
    EXPECT_EQ(Buttons().substr(0, 4), "0000");  // FormMode 0
    Click(IDC_LEFT_ARROW);
    Click(IDC_LEFT_ARROW);
    EXPECT_EQ(w_->model.state().displayedMonth, 10);
    EXPECT_EQ(w_->model.state().displayedYear, 2026);
}

// "&Help" with no help file in the program folder says so through the seam and opens nothing.
TEST_F(MainWindowTest, HelpWithoutAHelpFileSaysNoHelpAvailable) {
    Open();
    SendMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(IDC_HELP_BUTTON, BN_CLICKED),
                 LPARAM(GetDlgItem(hwnd_, IDC_HELP_BUTTON)));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "No help available");
    EXPECT_EQ(boxes[0].caption, "Help File");
    EXPECT_EQ(help::OpenHelpWindow(), nullptr);
}

// "&Help" opens the help file of the program folder at 100, 100 from the main window; a second
// press meanwhile brings that window forward and opens no second one.
TEST_F(MainWindowTest, HelpOpensTheProgramFoldersHelpFileOnce) {
    Open();
    const fs::path file = root_ / "common" / "Quorvane" / "Tessaly" / "Tessaly.ahp";
    const auto bytes = help::WriteHelpFile({{"Text.", "Only topic", 0}});
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    static HWND main, opened;
    static int windows;
    main = hwnd_;
    opened = nullptr;
    windows = 0;
    SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR id, DWORD) {
        opened = help::OpenHelpWindow();
        if (!opened) return;
        KillTimer(nullptr, id);
        SendMessageW(main, WM_COMMAND, MAKEWPARAM(IDC_HELP_BUTTON, BN_CLICKED),
                     LPARAM(GetDlgItem(main, IDC_HELP_BUTTON)));
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND hwnd, LPARAM) {
                wchar_t title[64] = {};
                GetWindowTextW(hwnd, title, 64);
                if (std::wstring(title) == L"Tessaly Help") ++windows;
                return TRUE;
            },
            0);
        RECT helpRect{}, mainRect{};
        GetWindowRect(opened, &helpRect);
        GetWindowRect(main, &mainRect);
        EXPECT_EQ(helpRect.left, mainRect.left + 100);
        EXPECT_EQ(helpRect.top, mainRect.top + 100);
        SendMessageW(opened, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    SendMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(IDC_HELP_BUTTON, BN_CLICKED),
                 LPARAM(GetDlgItem(hwnd_, IDC_HELP_BUTTON)));
    EXPECT_NE(opened, nullptr);
    EXPECT_EQ(windows, 1);
    EXPECT_FALSE(IsWindow(opened));
    EXPECT_TRUE(boxes.empty());
}

// Mend: the help file is found beside Tessaly.exe when it is not where setup puts it, so the
// release unpacked and never installed has its help; an installed one comes first.
TEST_F(MainWindowTest, HelpBesideTheProgramIsFoundWhenNoneIsInstalled) {
    const fs::path unpacked = root_ / "unpacked";
    fs::create_directories(unpacked);
    const auto writeHelp = [](const fs::path& file, const char* title) {
        const auto bytes = help::WriteHelpFile({{"Text.", title, 0}});
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    };
    writeHelp(unpacked / "Tessaly.ahp", "Beside");
    const Replaced beside =
        programFile.Replace([unpacked] { return (unpacked / "Tessaly.exe").wstring(); });
    Open();

    bool shown = false;
    windowSteps = {{L"Tessaly Help", [&shown](HWND help) {
                        shown = true;
                        SendMessageW(help, WM_SYSCOMMAND, SC_CLOSE, 0);
                    }}};
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, RunWindowSteps);
    Click(IDC_HELP_BUTTON);
    KillTimer(nullptr, timer);
    windowSteps.clear();
    EXPECT_TRUE(shown);
    EXPECT_TRUE(boxes.empty()) << boxes[0].text;
    EXPECT_EQ(fs::path(HelpFileToOpen(w_->paths)), unpacked / "Tessaly.ahp");

    const fs::path installed = root_ / "common" / "Quorvane" / "Tessaly" / "Tessaly.ahp";
    writeHelp(installed, "Installed");
    EXPECT_EQ(fs::path(HelpFileToOpen(w_->paths)), installed);
}

// Mend: when the list window, the settings dialog or the help window closes, the main window
// takes the keyboard back: the button that opened it has the focus, and its Alt keys work.
TEST_F(MainWindowTest, TheMainWindowHasTheKeyboardAgainWhenAWindowItOpenedCloses) {
    const fs::path helpFile = root_ / "common" / "Quorvane" / "Tessaly" / "Tessaly.ahp";
    fs::create_directories(helpFile.parent_path());
    const auto bytes = help::WriteHelpFile({{"Text.", "Only topic", 0}});
    std::ofstream(helpFile, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    WriteData(DefaultDataFile(), {MakeReminder(kMeeting, "B", 20261220, 900, 1)});
    const auto post = [](UINT msg, WPARAM wParam) {
        return [msg, wParam](HWND d) { PostMessageW(d, msg, wParam, 0); };
    };
    const WindowStep closeList{L"List of Tessaly", post(WM_COMMAND, MAKEWPARAM(305, BN_CLICKED))};
    const WindowStep closeHelp{L"Tessaly Help", post(WM_SYSCOMMAND, SC_CLOSE)};
    // The help window has no owner: when it closes, the system activates the window below it,
    // here another program's window lying between it and the main window.
    HWND other = nullptr;
    const WindowStep closeHelpOverAnother{
        L"Tessaly Help", [&other](HWND help) {
            other = CreateWindowExW(0, L"STATIC", L"Another program", WS_POPUP, 0, 0, 200, 100,
                                    nullptr, nullptr, nullptr, nullptr);
            SetWindowPos(other, help, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
            PostMessageW(help, WM_SYSCOMMAND, SC_CLOSE, 0);
        }};
    struct Case {
        const char* name;
        int button;
        WORD key;  // its Alt key
        std::vector<WindowStep> steps;
        WindowStep again;  // what closes it when it is opened again
    };
    const Case cases[] = {
        {"list", IDC_LIST, 'L', {closeList}, closeList},
        // "&Print" opens the print dialog, which has no owner; it is cancelled.
        {"list after print",
         IDC_LIST,
         'L',
         {{L"List of Tessaly", post(WM_COMMAND, MAKEWPARAM(304, BN_CLICKED))},
          {L"Print", post(WM_COMMAND, IDCANCEL)},
          closeList},
         closeList},
        {"settings",
         IDC_SETTINGS,
         'S',
         {{L"Settings for Tessaly", post(WM_COMMAND, IDCANCEL)}},
         {L"Settings for Tessaly", post(WM_COMMAND, IDCANCEL)}},
        {"help", IDC_HELP_BUTTON, 'H', {closeHelp}, closeHelp},
        {"help over another window", IDC_HELP_BUTTON, 'H', {closeHelpOverAnother}, closeHelp},
    };
    Open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetForegroundWindow(hwnd_);
        windowSteps.assign(c.steps.begin(), c.steps.end());
        UINT_PTR timer = SetTimer(nullptr, 0, 10, RunWindowSteps);
        PressByKey(c.button);
        KillTimer(nullptr, timer);
        ASSERT_TRUE(windowSteps.empty());
        EXPECT_EQ(GetForegroundWindow(), hwnd_);
        EXPECT_TRUE(HasFocus(c.button));

        if (other) DestroyWindow(std::exchange(other, nullptr));

        // Its Alt key opens it again.
        windowSteps = {c.again};
        timer = SetTimer(nullptr, 0, 10, RunWindowSteps);
        Key(c.key, true);
        KillTimer(nullptr, timer);
        EXPECT_TRUE(windowSteps.empty());
        windowSteps.clear();
        EXPECT_TRUE(HasFocus(c.button));
    }
    EXPECT_TRUE(boxes.empty()) << boxes[0].text;
}

// The modal run, as the program runs it: a thread timer drives the window from inside its loop.
struct ModalScript {
    static inline std::function<void(HWND)> step;
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
        HWND dialog = nullptr;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND hwnd, LPARAM found) {
                if (!MainWindowFrom(hwnd)) return TRUE;
                *reinterpret_cast<HWND*>(found) = hwnd;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&dialog));
        if (!dialog) return;
        KillTimer(nullptr, id);
        step(dialog);
    }
};

TEST_F(MainWindowTest, ModalRunSavesOnYesAndEndsTheProgram) {
    ModalScript::step = [](HWND dialog) {
        SetItemText(dialog, IDC_KIND, "meeting");
        SetItemText(dialog, IDC_DESCRIPTION, "Modal");
        SetItemText(dialog, IDC_DATE, "12-30-2026");
        SetItemText(dialog, IDC_TIME, "8:00 am");
        SetItemText(dialog, IDC_NOTIFY, "1");
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_ADD, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_ADD)));
        answers = {IDYES};
        PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    };
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, &ModalScript::OnTimer);
    EXPECT_EQ(RunEditor(L""), 0);
    KillTimer(nullptr, timer);
    ASSERT_EQ(boxes.size(), 1u);
    const ReminderData disk = OnDisk(DefaultDataFile());
    ASSERT_EQ(disk.current.count(), 1);
    EXPECT_EQ(disk.current.at(1).timeOrYear, 800);
    // The single-instance mutex went with the run.
    HANDLE again = CreateMutexA(nullptr, FALSE, "Tessaly");
    EXPECT_NE(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    CloseHandle(again);
}

// The seam's default is the real system box: a CBT hook reads it and presses "Yes".
struct RealBox {
    static inline std::wstring caption, text;
    static inline HHOOK hook = nullptr;
    static LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam) {
        HWND box = reinterpret_cast<HWND>(wParam);
        // Only the box: its text is the static control 0xFFFF.
        if (code == HCBT_ACTIVATE && !MainWindowFrom(box) && GetDlgItem(box, 0xFFFF)) {
            wchar_t buffer[256] = {};
            GetWindowTextW(box, buffer, 256);
            caption = buffer;
            GetDlgItemTextW(box, 0xFFFF, buffer, 256);
            text = buffer;
            PostMessageW(box, WM_COMMAND, IDYES, 0);
        }
        return CallNextHookEx(hook, code, wParam, lParam);
    }
};

TEST_F(MainWindowTest, TheRealMessageBoxIsWiredThroughTheSeam) {
    WriteData(DefaultDataFile(), {MakeReminder(kMeeting, "B", 20261220, 900, 1)});
    Open();
    Click(IDC_NEXT);
    const Replaced real = messageBox.Replace(&SystemMessageBox);
    RealBox::hook = SetWindowsHookExW(WH_CBT, &RealBox::OnCbt, nullptr, GetCurrentThreadId());
    ASSERT_NE(RealBox::hook, nullptr);
    Click(IDC_DELETE);
    UnhookWindowsHookEx(RealBox::hook);
    EXPECT_EQ(RealBox::caption, L"B" + std::wstring(47, L' '));
    EXPECT_EQ(RealBox::text, L"Delete this reminder now");
    EXPECT_EQ(w_->model.state().data.current.count(), 0);
}

// The calendar is painted by WM_PAINT itself, so it survives any repaint of the window.
TEST_F(MainWindowTest, CalendarIsRepaintedAfterMinimiseAndRestore) {
    Open();
    const auto titleBarShown = [this] {
        UpdateWindow(hwnd_);
        HDC dc = GetDC(hwnd_);
        const COLORREF c = GetPixel(dc, 50, 14);  // inside the left panel's title bar
        ReleaseDC(hwnd_, dc);
        return c == RGB(128, 128, 255);
    };
    EXPECT_TRUE(titleBarShown());
    ShowWindow(hwnd_, SW_MINIMIZE);
    Pump();
    ShowWindow(hwnd_, SW_RESTORE);
    Pump();
    EXPECT_TRUE(titleBarShown());
    InvalidateRect(hwnd_, nullptr, TRUE);
    EXPECT_TRUE(titleBarShown());
}

// Mend: a quick second click on an arrow arrives as a double-click; it moves on as well.
TEST_F(MainWindowTest, AQuickSecondClickOnAnArrowMovesTheCalendarAgain) {
    Open();
    const auto twoQuickClicks = [this](int id) {
        HWND arrow = GetDlgItem(hwnd_, id);
        const LPARAM at = MAKELPARAM(5, 5);
        SendMessageW(arrow, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(arrow, WM_LBUTTONUP, 0, at);
        SendMessageW(arrow, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        SendMessageW(arrow, WM_LBUTTONUP, 0, at);
    };
    twoQuickClicks(IDC_RIGHT_ARROW);
    EXPECT_EQ(w_->model.state().displayedMonth, 4);
    EXPECT_EQ(w_->model.state().displayedYear, 2027);
    twoQuickClicks(IDC_LEFT_ARROW);
    twoQuickClicks(IDC_LEFT_ARROW);
    EXPECT_EQ(w_->model.state().displayedMonth, 8);
    EXPECT_EQ(w_->model.state().displayedYear, 2026);
}

// Mend: after the arrows the form shows nothing while the index stays for Next/Prev; what is
// typed then is added, and the reminder the user cannot see stays.
TEST_F(MainWindowTest, TypingAfterTheArrowsAddsInsteadOfReplacingAHiddenReminder) {
    WriteData(DefaultDataFile(), {MakeReminder(kMeeting, "A", 20261215, 900, 1),
                                  MakeReminder(kMeeting, "B", 20261220, 900, 1)});
    Open();
    Click(IDC_NEXT);
    Click(IDC_RIGHT_ARROW);
    EXPECT_EQ(w_->model.state().currentIndex, 1);
    EXPECT_EQ(Text(IDC_DESCRIPTION), "");
    FillNew("meeting", "New one", "12-30-26", "8:00 am", "1");
    EXPECT_EQ(Buttons(), "010100");  // FormMode 2: Add, not Replace
    wchar_t caption[32];
    GetDlgItemTextW(hwnd_, IDC_ADD, caption, 32);
    EXPECT_STREQ(caption, L"&Add");
    Click(IDC_ADD);
    ASSERT_TRUE(boxes.empty()) << boxes[0].text;
    ASSERT_EQ(w_->model.state().data.current.count(), 3);
    EXPECT_EQ(w_->model.state().data.current.at(1).Description().substr(0, 2), "A ");
    EXPECT_EQ(w_->model.state().data.current.at(3).date, 20261230);
}

// Painting only paints: the buttons and the status bar stay as the last command left them.
TEST_F(MainWindowTest, RepaintingNeverChangesTheButtonsOrTheStatusBar) {
    WriteData(DefaultDataFile(), {MakeReminder(kMeeting, "A", 20261215, 900, 1),
                                  MakeReminder(kMeeting, "B", 20261220, 900, 1)});
    Open();
    Click(IDC_NEXT);
    // A kind chosen anew in the shown reminder sets the changed mark.
    SendDlgItemMessageW(hwnd_, IDC_KIND, CB_SETCURSEL, 0, 0);
    SendMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(IDC_KIND, CBN_SELENDOK),
                 reinterpret_cast<LPARAM>(GetDlgItem(hwnd_, IDC_KIND)));
    ASSERT_TRUE(w_->model.state().changedMark);
    const std::string buttons = Buttons();
    const std::wstring part2 = Status(2), part3 = Status(3);
    InvalidateRect(hwnd_, nullptr, TRUE);
    UpdateWindow(hwnd_);
    EXPECT_EQ(Buttons(), buttons);
    EXPECT_EQ(Status(2), part2);
    EXPECT_EQ(Status(3), part3);
}

// "&Settings" end to end: the settings dialog runs over the main window (driven from a thread
// timer inside its modal loop) and the folder browser answers through its seam.
void ClickInDialog(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

class SettingsCommandTest : public MainWindowTest {
  protected:
    // Presses "&Settings" and runs the steps inside the dialog; true when all of them ran.
    bool Settings(std::vector<WindowStep> steps) {
        windowSteps.assign(steps.begin(), steps.end());
        const UINT_PTR timer = SetTimer(nullptr, 0, 10, RunWindowSteps);
        Click(IDC_SETTINGS);
        KillTimer(nullptr, timer);
        const bool allRan = windowSteps.empty();
        windowSteps.clear();
        return allRan;
    }
    // "Set new Location" chooses this folder from now on.
    void ChooseFolder(const fs::path& folder) {
        chosen_.reset();
        chosen_.emplace(editor::chooseDataFolder.Replace(
            [folder](HWND, const fs::path&) { return std::optional<fs::path>(folder); }));
    }
    void OpenWithChosenFolder(const fs::path& folder) {
        ChooseFolder(folder);
        hwnd_ = CreateMainDialog();
        ASSERT_NE(hwnd_, nullptr);
        Pump();
        w_ = MainWindowFrom(hwnd_);
    }
    std::optional<Replaced> chosen_;
};

TEST_F(SettingsCommandTest, SetNewLocationMovesTheFileAndReloadsBothLists) {
    const fs::path moved = root_ / "moved";
    fs::create_directories(moved);
    WriteData(DefaultDataFile(), {MakeReminder(3, "Dentist", 20261215)},
              {MakeReminder(4, "Old", 20261201)});
    OpenWithChosenFolder(moved);
    ASSERT_TRUE(Settings({{L"Settings for Tessaly", [](HWND d) { ClickInDialog(d, 322); }}}));

    const fs::path newFile = moved / "Tessaly.tsy";
    EXPECT_EQ(OnDisk(newFile).current.count(), 1);
    EXPECT_EQ(OnDisk(newFile).archive.count(), 1);
    std::ifstream ini(SettingsFile(), std::ios::binary);
    const std::string line((std::istreambuf_iterator<char>(ini)), {});
    EXPECT_EQ(line, newFile.string() + "\r\n");  // in the system's code page
    EXPECT_EQ(Status(1), newFile.wstring());
    EXPECT_EQ(w_->model.state().dataFile, newFile);
    EXPECT_EQ(w_->paths.dataFolder, moved.wstring());
    EXPECT_EQ(w_->model.state().data.current.count(), 1);
    EXPECT_TRUE(boxes.empty());
}

// Unsaved changes: the closing question first; Yes saves to the old file and moves that, No
// moves the file as it is on disk, Cancel keeps everything and the dialog open.
TEST_F(SettingsCommandTest, UnsavedChangesAreAskedAboutBeforeTheMove) {
    struct Case {
        int answer;
        int movedCount;  // reminders in the new folder's file; -1 when nothing moved
        int shownCount;  // reminders in the editor's current list afterwards
    };
    const Case cases[] = {{IDYES, 2, 2}, {IDNO, 1, 1}, {IDCANCEL, -1, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        const fs::path moved = root_ / ("moved" + std::to_string(c.answer));
        fs::create_directories(moved);
        WriteData(DefaultDataFile(), {MakeReminder(3, "Dentist", 20261215)});
        OpenWithChosenFolder(moved);
        Click(IDC_NEW);
        FillNew("meeting", "Review", "12-20-2026", "10:00 am", "1");
        Click(IDC_ADD);
        ASSERT_EQ(w_->model.state().data.current.count(), 2);
        boxes.clear();
        answers = {c.answer};
        bool stayedOpen = false;
        std::vector<WindowStep> steps{
            {L"Settings for Tessaly", [](HWND d) { ClickInDialog(d, 322); }}};
        if (c.movedCount < 0) {
            steps.push_back({L"Settings for Tessaly", [&](HWND d) {
                                 stayedOpen = true;
                                 PostMessageW(d, WM_COMMAND, IDCANCEL, 0);
                             }});
        }
        ASSERT_TRUE(Settings(steps));
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].caption, "Closing Reminders");
        const fs::path newFile = moved / "Tessaly.tsy";
        if (c.movedCount < 0) {
            EXPECT_TRUE(stayedOpen);
            EXPECT_FALSE(fs::exists(newFile));
            EXPECT_EQ(w_->model.state().dataFile, DefaultDataFile());
            EXPECT_TRUE(w_->model.state().dirty);
        } else {
            EXPECT_EQ(OnDisk(newFile).current.count(), c.movedCount);
            EXPECT_EQ(w_->model.state().dataFile, newFile);
            EXPECT_FALSE(w_->model.state().dirty);
        }
        EXPECT_EQ(w_->model.state().data.current.count(), c.shownCount);
        DestroyWindow(hwnd_);
        fs::remove_all(root_ / "common");
        fs::create_directories(root_ / "common");
    }
}

// The move's save question and a failed save's message are the settings dialog's, which they
// keep disabled, so no second move can start inside the first; the dialog then stays open.
TEST_F(SettingsCommandTest, TheMovesQuestionsAndMessagesBelongToTheDialog) {
    const fs::path file = root_ / "gone" / "data.tsy";
    WriteData(file, {});
    const fs::path moved = root_ / "moved";
    fs::create_directories(moved);
    ChooseFolder(moved);
    hwnd_ = CreateMainDialog(file.wstring());
    ASSERT_NE(hwnd_, nullptr);
    Pump();
    w_ = MainWindowFrom(hwnd_);
    FillNew("meeting", "Board", "12-21-26", "10:00 am", "0");
    Click(IDC_ADD);
    fs::remove_all(file.parent_path());  // the save cannot work now

    boxes.clear();
    answers = {IDYES, IDOK};
    HWND dialog = nullptr;
    bool stayedOpen = false;
    ASSERT_TRUE(Settings({{L"Settings for Tessaly",
                           [&](HWND d) {
                               dialog = d;
                               ClickInDialog(d, 322);
                           }},
                          {L"Settings for Tessaly", [&](HWND d) {
                               stayedOpen = true;
                               PostMessageW(d, WM_COMMAND, IDCANCEL, 0);
                           }}}));
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].caption, "Closing Reminders");
    EXPECT_EQ(boxes[1].text.rfind("The reminders could not be saved.", 0), 0u) << boxes[1].text;
    for (const BoxCall& box : boxes) EXPECT_EQ(box.owner, dialog) << box.text;
    EXPECT_TRUE(stayedOpen);
    EXPECT_FALSE(fs::exists(moved / "Tessaly.tsy"));
    EXPECT_TRUE(w_->model.state().dirty);
}

TEST_F(SettingsCommandTest, AMoveThatFailsIsReportedAndTheOldLocationKept) {
    const fs::path blocked = root_ / "blocked";
    fs::create_directories(blocked / "Tessaly.tsy");  // a folder where the file would go
    WriteData(DefaultDataFile(), {MakeReminder(3, "Dentist", 20261215)});
    OpenWithChosenFolder(blocked);
    ASSERT_TRUE(Settings(
        {{L"Settings for Tessaly", [](HWND d) { ClickInDialog(d, 322); }},
         {L"Settings for Tessaly", [](HWND d) { PostMessageW(d, WM_COMMAND, IDCANCEL, 0); }}}));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find("could not be moved"), std::string::npos) << boxes[0].text;
    EXPECT_FALSE(fs::exists(SettingsFile()));
    EXPECT_EQ(Status(1), DefaultDataFile().wstring());
    EXPECT_EQ(w_->model.state().dataFile, DefaultDataFile());
    EXPECT_EQ(w_->model.state().data.current.count(), 1);
}

}  // namespace
}  // namespace tessaly::editor
