// The real editor killed after an Add, as a crash, a power cut or a log-off would end it: the
// change waits in the recovery file, and the next start offers it back.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/data_file.h"
#include "core/tests/test_reminders.h"
#include "editor/win/resource.h"
#include "win/tests/other_process.h"

namespace tessaly::editor {
namespace {

namespace fs = std::filesystem;
using win::test::BoxAnswerer;
using win::test::Process;
using win::test::WaitFor;

fs::path BesideThisTest(const wchar_t* name) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return fs::path(self).parent_path() / name;
}

std::string Bytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

ReminderData Read(const fs::path& file) {
    ReminderData lists;
    EXPECT_TRUE(LoadReminderFile(file, lists, IfMissing::kFail));
    return lists;
}

std::vector<std::string> Descriptions(const ReminderList& list) {
    std::vector<std::string> texts;
    for (int i = 1; i <= list.count(); ++i) {
        std::string d(list.at(i).Description());
        d.erase(d.find_last_not_of(' ') + 1);
        texts.push_back(d);
    }
    return texts;
}

class EditorRecovery : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        dir_ = fs::path(temp) / ("tessaly-recovery-" + std::to_string(GetCurrentProcessId()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        data_ = dir_ / "Tessaly.tsy";
        ReminderData lists;
        lists.current.InsertByDate(
            testing::MakeReminder(kMeeting, "Saved before", 20991231, 900, 1));
        ASSERT_TRUE(SaveReminderFile(data_, lists, kEditorLabel));
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    // The editor on the test's data file, its window up and its start-up finished (the status
    // bar names the data file).
    HWND Start(Process& editor) {
        EXPECT_TRUE(editor.started());
        HWND main = nullptr;
        EXPECT_TRUE(
            WaitFor([&] { return (main = editor.FindWindowTitled(L"Tessaly - ver 3.03")); }));
        if (!main) return nullptr;
        EXPECT_TRUE(WaitFor(
            [&] { return SendDlgItemMessageW(main, IDC_STATUS, SB_GETTEXTLENGTHW, 0, 0) != 0; }));
        return main;
    }
    // Types a reminder into the form and presses "&Add", as the user would.
    void Add(HWND main, const wchar_t* description) {
        SetDlgItemTextW(main, IDC_KIND, L"appointment");
        SetDlgItemTextW(main, IDC_DESCRIPTION, description);
        SetDlgItemTextW(main, IDC_DATE, L"12-24-2099");
        SetDlgItemTextW(main, IDC_TIME, L"2:30 pm");
        SetDlgItemTextW(main, IDC_NOTIFY, L"3");
        SendMessageW(main, WM_COMMAND, MAKEWPARAM(IDC_ADD, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(main, IDC_ADD)));
    }
    std::wstring Arguments() const { return L"\"" + data_.wstring() + L"\""; }

    fs::path dir_, data_;
    const fs::path editorExe_ = BesideThisTest(L"Tessaly.exe");
};

TEST_F(EditorRecovery, AKilledEditorLosesNothing) {
    const std::string before = Bytes(data_);
    const fs::path recovery = dir_ / "Tessaly.tsy.recovery";
    {
        Process editor(editorExe_, dir_, Arguments());
        HWND main = Start(editor);
        ASSERT_TRUE(main);
        Add(main, L"Dentist");
        ASSERT_TRUE(WaitFor([&] { return fs::exists(recovery); })) << "written after the Add";
        editor.Kill();
    }
    EXPECT_EQ(Bytes(data_), before) << "never saved";
    EXPECT_EQ(Descriptions(Read(recovery).current),
              (std::vector<std::string>{"Dentist", "Saved before"}));

    // Started again: "Yes" brings the Add back as an unsaved change, and closing asks.
    {
        Process editor(editorExe_, dir_, Arguments());
        BoxAnswerer answerer(editor.id());
        HWND main = Start(editor);
        ASSERT_TRUE(main);
        ASSERT_TRUE(WaitFor([&] { return answerer.boxes().size() == 1; }));
        EXPECT_EQ(answerer.boxes()[0],
                  "Tessaly: Tessaly did not close properly. Restore the changes made then?\r\n\r\n"
                  "Not saved then: 2 reminders and 0 archived.\r\n"
                  "In the data file: 1 reminder and 0 archived.");
        PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_EQ(editor.Wait(30000), 0);
        ASSERT_EQ(answerer.boxes().size(), 2u);
        EXPECT_EQ(answerer.boxes()[1],
                  "Closing Reminders: File has changed...\r\nDo you want to save the changes?");
    }
    EXPECT_EQ(Descriptions(Read(data_).current),
              (std::vector<std::string>{"Dentist", "Saved before"}));
    EXPECT_FALSE(fs::exists(recovery)) << "removed on a normal close";

    // Killed once more after an Add, and this time "No": the change is kept in Backups, the
    // data file stays as it is, and closing has nothing to ask.
    {
        Process editor(editorExe_, dir_, Arguments());
        HWND main = Start(editor);
        ASSERT_TRUE(main);
        Add(main, L"Optician");
        ASSERT_TRUE(WaitFor([&] { return fs::exists(recovery); }));
        editor.Kill();
    }
    {
        Process editor(editorExe_, dir_, Arguments());
        BoxAnswerer answerer(editor.id(), [](const std::string&) { return IDNO; });
        HWND main = Start(editor);
        ASSERT_TRUE(main);
        ASSERT_TRUE(WaitFor([&] { return answerer.boxes().size() == 1; }));
        PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_EQ(editor.Wait(30000), 0);
        EXPECT_EQ(answerer.boxes().size(), 1u) << "nothing unsaved to ask about";
    }
    EXPECT_FALSE(fs::exists(recovery));
    EXPECT_EQ(Descriptions(Read(data_).current),
              (std::vector<std::string>{"Dentist", "Saved before"}));
    fs::path kept;
    for (const auto& entry : fs::directory_iterator(dir_ / "Backups")) {
        if (entry.path().filename().string().find("-unsaved-") != std::string::npos) {
            kept = entry.path();
        }
    }
    ASSERT_FALSE(kept.empty());
    EXPECT_EQ(Descriptions(Read(kept).current),
              (std::vector<std::string>{"Dentist", "Optician", "Saved before"}));
}

}  // namespace
}  // namespace tessaly::editor
