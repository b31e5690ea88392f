// Drives the real settings dialog in-process under Wine, on real folders inside the test
// prefix: its layout, the current location box, moving the data file, going back to the
// documents folder, unsaved changes, and a move that fails.
#include "editor/settings/win/settings_dialog.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <deque>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "core/data_file.h"
#include "core/data_location.h"
#include "core/tests/test_reminders.h"
#include "editor/msgbox/win/app_msgbox.h"
#include "editor/settings/win/settings_ids.h"
#include "win/message_box.h"
#include "win/tests/fixed_clock.h"
#include "win/tests/recorded_boxes.h"
#include "win/tests/window_steps.h"

namespace tessaly::editor {
namespace {

using namespace win;
using namespace win::test;

namespace fs = std::filesystem;

std::string Read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}
void Write(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}
std::wstring TextOf(HWND hwnd) {
    wchar_t buffer[512] = {};
    GetWindowTextW(hwnd, buffer, 512);
    return buffer;
}

void Click(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}
void CloseDialog(HWND dialog) {
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
}

const std::wstring kSettings = L"Settings for Tessaly";
const std::string kReminders = std::string(12 + 58, 'r');
const std::string kSavedReminders = std::string(12 + 2 * 58, 's');

std::vector<unsigned> beeps;
void RecordBeep(unsigned type) {
    beeps.push_back(type);
}

enum class Answer { kYes, kNo, kCancel };

// The test is the editor behind the dialog.
class SettingsDialogTest : public ::testing::Test, public SettingsHost {
  protected:
    bool OfferSave(HWND owner) override {
        if (!unsaved_) return true;
        ++questions_;
        questionOwner_ = owner;
        if (answer_ == Answer::kYes) Write(paths_.location.dataFile, kSavedReminders);
        return answer_ != Answer::kCancel;
    }
    void ShowDataFile(const fs::path& p) override { shown_.push_back(p); }
    void Reload() override {
        reloads_.push_back(paths_.location.dataFile);
        settingsOpenAtReload_ = FindWindowTitled(kSettings) != nullptr;
    }

    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        root_ =
            fs::path(temp) / ("tessaly-settings-" + std::to_string(GetCurrentProcessId()) + "-" +
                              ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        for (const char* f : {"data", "new", "docs", "program"}) fs::create_directories(root_ / f);
        paths_.location = {root_ / "data" / "Tessaly.tsy", root_ / "data"};
        paths_.documentFolder = root_ / "docs";
        paths_.settingsFile = root_ / "program" / "Tessaly.ini";
        Write(paths_.location.dataFile, kReminders);

        owner_ =
            CreateWindowExW(0, L"STATIC", L"Tessaly", WS_POPUP | WS_CAPTION | WS_VISIBLE, 60, 40,
                            600, 500, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        SetActiveWindow(owner_);
        windowSteps.clear();
        boxes.clear();
        beeps.clear();
    }
    void TearDown() override {
        DestroyWindow(owner_);
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }

    // Runs the dialog with the steps queued; every step must have run.
    bool Run(std::vector<WindowStep> queued) {
        windowSteps.assign(queued.begin(), queued.end());
        const UINT_PTR timer = SetTimer(nullptr, 0, 10, RunWindowSteps);
        const bool moved = SettingsDialog(owner_, paths_, *this);
        KillTimer(nullptr, timer);
        EXPECT_TRUE(windowSteps.empty()) << windowSteps.size() << " steps did not run";
        windowSteps.clear();
        return moved;
    }

    fs::path root_;
    HWND owner_ = nullptr;
    SettingsPaths paths_;
    const win::Replaced answered_ = win::messageBox.Replace(&AnswerBox);
    const win::Replaced beeped_ = appMsgBoxBeep.Replace(&RecordBeep);
    const win::Replaced browsed_ =
        chooseDataFolder.Replace([this](HWND owner, const fs::path& start) {
            browseOwner_ = owner;
            browseStart_ = start;
            return chosen_;
        });
    bool unsaved_ = false;
    Answer answer_ = Answer::kYes;
    int questions_ = 0;
    HWND questionOwner_ = nullptr;
    std::optional<fs::path> chosen_;
    HWND browseOwner_ = nullptr;
    fs::path browseStart_;
    std::vector<fs::path> shown_, reloads_;
    bool settingsOpenAtReload_ = false;
};

TEST_F(SettingsDialogTest, LayoutOnWhiteAndTheOwnerDisabled) {
    bool ownerEnabled = true;
    const bool moved = Run(
        {{kSettings, [&](HWND d) {
              ownerEnabled = IsWindowEnabled(owner_);
              struct Control {
                  int id;
                  std::wstring caption;
                  RECT units;  // x, y, width, height
              };
              const Control controls[] = {
                  {IDC_SETTINGS_LABEL, L"Default data file location:", {10, 15, 150, 10}},
                  {IDC_CURRENT_LOCATION, L"Current Location", {30, 30, 120, 15}},
                  {IDC_SET_NEW_LOCATION, L"Set new Location", {30, 50, 120, 15}},
                  {IDC_RESET_SETTINGS, L"Reset settings", {170, 110, 70, 25}},
                  {IDC_ALERT_MINUTES_LABEL, L"Alert minutes &before (0 = off):", {10, 82, 110, 10}},
                  {IDC_ALERT_MINUTES, L"15", {122, 80, 28, 12}},
              };
              // The lead's box and label sit in free space: no control overlaps another,
              // and all lie inside the dialog.
              RECT client{};
              GetClientRect(d, &client);
              for (const Control& a : controls) {
                  RECT ra{}, inside{};
                  GetWindowRect(GetDlgItem(d, a.id), &ra);
                  MapWindowPoints(nullptr, d, reinterpret_cast<POINT*>(&ra), 2);
                  EXPECT_TRUE(IntersectRect(&inside, &ra, &client) && EqualRect(&inside, &ra))
                      << a.id;
                  for (const Control& b : controls) {
                      if (&a == &b) continue;
                      RECT rb{}, both{};
                      GetWindowRect(GetDlgItem(d, b.id), &rb);
                      MapWindowPoints(nullptr, d, reinterpret_cast<POINT*>(&rb), 2);
                      EXPECT_FALSE(IntersectRect(&both, &ra, &rb)) << a.id << " " << b.id;
                  }
              }
              for (const Control& c : controls) {
                  HWND control = GetDlgItem(d, c.id);
                  ASSERT_NE(control, nullptr) << c.id;
                  EXPECT_EQ(TextOf(control), c.caption);
                  // The dialog converts position and size apart.
                  RECT units = c.units;
                  MapDialogRect(d, &units);
                  const RECT want{units.left, units.top, units.left + units.right,
                                  units.top + units.bottom};
                  RECT got{};
                  GetWindowRect(control, &got);
                  MapWindowPoints(nullptr, d, reinterpret_cast<POINT*>(&got), 2);
                  EXPECT_EQ(got.left, want.left) << c.id;
                  EXPECT_EQ(got.top, want.top) << c.id;
                  EXPECT_EQ(got.right, want.right) << c.id;
                  EXPECT_EQ(got.bottom, want.bottom) << c.id;
              }
              HDC dc = GetDC(d);
              EXPECT_EQ(SendMessageW(d, WM_CTLCOLORDLG, WPARAM(dc), LPARAM(d)),
                        LRESULT(GetStockObject(WHITE_BRUSH)));
              ReleaseDC(d, dc);
              EXPECT_EQ(GetWindow(d, GW_OWNER), owner_);
              CloseDialog(d);
          }}});
    EXPECT_FALSE(moved);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(owner_));
    EXPECT_FALSE(fs::exists(paths_.settingsFile));
}

TEST_F(SettingsDialogTest, CurrentLocationShowsThePathThenCloses) {
    RECT settingsRect{};
    RECT boxRect{};
    std::wstring text;
    HWND iconImage = nullptr;
    bool onlyOk = false;
    const bool moved = Run({
        {kSettings,
         [&](HWND d) {
             GetWindowRect(d, &settingsRect);
             Click(d, IDC_CURRENT_LOCATION);
         }},
        {L"Data File Location",
         [&](HWND box) {
             GetWindowRect(box, &boxRect);
             text = TextOf(GetDlgItem(box, 9990));
             iconImage = reinterpret_cast<HWND>(
                 SendDlgItemMessageW(box, 9995, STM_GETIMAGE, IMAGE_ICON, 0));
             onlyOk = GetDlgItem(box, 9994) && !GetDlgItem(box, 9991);
             PostMessageW(box, WM_COMMAND, MAKEWPARAM(9994, BN_CLICKED), 0);
         }},
    });
    EXPECT_FALSE(moved);
    EXPECT_EQ(text, paths_.location.dataFile.wstring());
    EXPECT_EQ(reinterpret_cast<HANDLE>(iconImage),
              LoadImageW(nullptr, SystemIconName(64), IMAGE_ICON, 32, 32, LR_SHARED));
    EXPECT_TRUE(onlyOk);
    EXPECT_EQ(beeps, std::vector<unsigned>{64});
    EXPECT_EQ(boxRect.left, settingsRect.left + 100);
    EXPECT_EQ(boxRect.top, settingsRect.top + 100);
    EXPECT_EQ(FindWindowTitled(kSettings), nullptr);  // closed with the box
    EXPECT_FALSE(fs::exists(paths_.settingsFile));
    EXPECT_TRUE(reloads_.empty());
}

TEST_F(SettingsDialogTest, SetNewLocationMovesTheDataFile) {
    chosen_ = root_ / "new";
    HWND dialog = nullptr;
    const bool moved = Run({{kSettings, [&](HWND d) {
                                 dialog = d;
                                 Click(d, IDC_SET_NEW_LOCATION);
                             }}});
    const fs::path newFile = root_ / "new" / "Tessaly.tsy";
    EXPECT_TRUE(moved);
    EXPECT_EQ(browseOwner_, dialog);
    EXPECT_EQ(browseStart_, root_ / "data");
    EXPECT_EQ(Read(newFile), kReminders);
    EXPECT_EQ(Read(root_ / "data" / "Tessaly.tsy"), kReminders);  // the old file stays
    EXPECT_EQ(Read(paths_.settingsFile), *SystemCodePageLine(newFile) + "\r\n");
    EXPECT_EQ(paths_.location.dataFile, newFile);
    EXPECT_EQ(paths_.location.dataFolder, root_ / "new");
    EXPECT_EQ(shown_, std::vector<fs::path>{newFile});
    EXPECT_EQ(reloads_, std::vector<fs::path>{newFile});
    EXPECT_FALSE(settingsOpenAtReload_);
}

TEST_F(SettingsDialogTest, CancelledBrowsingKeepsTheDialogOpen) {
    chosen_ = std::nullopt;
    bool stillOpen = false;
    const bool moved = Run({
        {kSettings, [](HWND d) { Click(d, IDC_SET_NEW_LOCATION); }},
        {kSettings,
         [&](HWND d) {
             stillOpen = true;
             CloseDialog(d);
         }},
    });
    EXPECT_FALSE(moved);
    EXPECT_TRUE(stillOpen);
    EXPECT_FALSE(fs::exists(paths_.settingsFile));
    EXPECT_TRUE(reloads_.empty());
}

TEST_F(SettingsDialogTest, ResetGoesBackToTheDocumentsFolderWithoutAsking) {
    const bool moved = Run({{kSettings, [](HWND d) { Click(d, IDC_RESET_SETTINGS); }}});
    const fs::path docsFile = root_ / "docs" / "Tessaly.tsy";
    EXPECT_TRUE(moved);
    EXPECT_EQ(browseOwner_, nullptr);  // no folder browser
    EXPECT_EQ(Read(docsFile), kReminders);
    EXPECT_EQ(Read(paths_.settingsFile), *SystemCodePageLine(docsFile) + "\r\n");
    EXPECT_EQ(reloads_, std::vector<fs::path>{docsFile});

    // Again, now that the documents folder is in use, with the settings file still naming a
    // folder that is gone: nothing is copied or reloaded (unsaved changes stay), but the
    // settings file names the file in use again, with its later lines kept.
    Write(paths_.settingsFile, "E:\\Unplugged\\Tessaly.tsy\r\nAlertMinutes=10\r\n");
    unsaved_ = true;
    EXPECT_FALSE(Run({{kSettings, [](HWND d) { Click(d, IDC_RESET_SETTINGS); }}}));
    EXPECT_EQ(questions_, 0);
    EXPECT_EQ(Read(paths_.settingsFile), *SystemCodePageLine(docsFile) + "\r\nAlertMinutes=10\r\n");
    EXPECT_EQ(reloads_.size(), 1u);
    EXPECT_EQ(FindWindowTitled(kSettings), nullptr);
}

TEST_F(SettingsDialogTest, UnsavedChangesAreAskedAboutFirst) {
    struct Case {
        Answer answer;
        bool moved;
        std::string newFile;  // "" when none
    };
    const Case cases[] = {
        {Answer::kYes, true, kSavedReminders},
        {Answer::kNo, true, kReminders},
        {Answer::kCancel, false, ""},
    };
    chosen_ = root_ / "new";
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.answer));
        fs::remove_all(root_ / "new");
        fs::create_directories(root_ / "new");
        fs::remove(paths_.settingsFile);
        paths_.location = {root_ / "data" / "Tessaly.tsy", root_ / "data"};
        Write(paths_.location.dataFile, kReminders);
        reloads_.clear();
        unsaved_ = true;
        answer_ = c.answer;
        questions_ = 0;
        bool openAfterCancel = false;
        std::vector<WindowStep> queued{{kSettings, [](HWND d) { Click(d, IDC_SET_NEW_LOCATION); }}};
        if (!c.moved) {
            queued.push_back({kSettings, [&](HWND d) {
                                  openAfterCancel = true;
                                  CloseDialog(d);
                              }});
        }
        HWND dialog = nullptr;
        queued.front().act = [&dialog](HWND d) {
            dialog = d;
            Click(d, IDC_SET_NEW_LOCATION);
        };
        EXPECT_EQ(Run(queued), c.moved);
        EXPECT_EQ(questions_, 1);
        // Owned by the dialog, which it keeps disabled: no second move can start under it.
        EXPECT_EQ(questionOwner_, dialog);
        const fs::path newFile = root_ / "new" / "Tessaly.tsy";
        EXPECT_EQ(fs::exists(newFile) ? Read(newFile) : "", c.newFile);
        EXPECT_EQ(reloads_.size(), c.moved ? 1u : 0u);
        EXPECT_EQ(fs::exists(paths_.settingsFile), c.moved);
        EXPECT_EQ(openAfterCancel, !c.moved);
    }
}

// A data file with reminders in the chosen folder: the editor's own box asks, owned by the
// dialog; Yes uses that file, No replaces it and keeps it beside, Escape changes nothing.
TEST_F(SettingsDialogTest, AFileAlreadyInTheChosenFolderIsAskedAbout) {
    ReminderData three;
    for (DateKey date : {20270101, 20270102, 20270103}) {
        three.current.Append(tessaly::testing::MakeReminder(kMeeting, "theirs", date));
    }
    const std::vector<std::uint8_t> encoded = EncodeReminderFile(three, kEditorLabel);
    const std::string theirs(encoded.begin(), encoded.end());
    const fs::path newFile = root_ / "new" / "Tessaly.tsy";
    const fs::path keptFile = root_ / "new" / "Tessaly-before-move-20261210.tsy";
    const win::Replaced today = FixToday(20261210);
    chosen_ = root_ / "new";
    struct Case {
        int command;  // pressed in the box
        bool moved;
        std::string newAfter, keptAfter;  // "" for no file
    };
    const Case cases[] = {
        {9991, true, theirs, ""},          // "&Yes": use the file that is there
        {9992, true, kReminders, theirs},  // "&No": replace it, keeping it beside
        {IDCANCEL, false, theirs, ""},     // Escape: nothing changes
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        fs::remove_all(root_ / "new");
        Write(newFile, theirs);
        fs::remove(paths_.settingsFile);
        paths_.location = {root_ / "data" / "Tessaly.tsy", root_ / "data"};
        reloads_.clear();
        HWND dialog = nullptr, owner = nullptr;
        bool dialogEnabled = true;
        std::wstring text;
        std::vector<WindowStep> queued{
            {kSettings,
             [&](HWND d) {
                 dialog = d;
                 Click(d, IDC_SET_NEW_LOCATION);
             }},
            {L"Data File Location",
             [&](HWND box) {
                 owner = GetWindow(box, GW_OWNER);
                 dialogEnabled = IsWindowEnabled(dialog);
                 text = TextOf(GetDlgItem(box, 9990));
                 PostMessageW(box, WM_COMMAND, MAKEWPARAM(c.command, BN_CLICKED), 0);
             }},
        };
        if (!c.moved) queued.push_back({kSettings, [](HWND d) { CloseDialog(d); }});
        EXPECT_EQ(Run(queued), c.moved);
        EXPECT_EQ(owner, dialog);
        EXPECT_FALSE(dialogEnabled);
        EXPECT_NE(text.find((root_ / "new").wstring()), std::wstring::npos) << text;
        EXPECT_NE(text.find(L"already holds a data file with 3 reminders."), std::wstring::npos);
        EXPECT_NE(text.find(L"The data file in use holds "), std::wstring::npos);
        EXPECT_NE(text.find(L"Tessaly-before-move-20261210.tsy"), std::wstring::npos);
        EXPECT_EQ(Read(newFile), c.newAfter);
        EXPECT_EQ(fs::exists(keptFile) ? Read(keptFile) : "", c.keptAfter);
        EXPECT_EQ(Read(root_ / "data" / "Tessaly.tsy"), kReminders);
        EXPECT_EQ(reloads_.size(), c.moved ? 1u : 0u);
        EXPECT_EQ(fs::exists(paths_.settingsFile), c.moved);
    }
}

TEST_F(SettingsDialogTest, AFailedCopyIsReportedAndTheOldLocationKept) {
    Write(paths_.settingsFile, "C:\\old\\Tessaly.tsy\r\n");
    fs::create_directories(root_ / "new" / "Tessaly.tsy");  // nothing can replace it
    chosen_ = root_ / "new";
    bool stillOpen = false;
    const bool moved = Run({
        {kSettings, [](HWND d) { Click(d, IDC_SET_NEW_LOCATION); }},
        {kSettings,
         [&](HWND d) {
             stillOpen = true;
             CloseDialog(d);
         }},
    });
    EXPECT_FALSE(moved);
    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Settings for Tessaly");
    EXPECT_EQ(boxes[0].style, static_cast<UINT>(MB_ICONHAND));
    EXPECT_NE(boxes[0].text.find("could not be moved"), std::string::npos) << boxes[0].text;
    EXPECT_NE(boxes[0].text.find("(error "), std::string::npos) << boxes[0].text;  // the reason
    EXPECT_EQ(Read(paths_.settingsFile), "C:\\old\\Tessaly.tsy\r\n");
    EXPECT_EQ(paths_.location.dataFile, root_ / "data" / "Tessaly.tsy");
    EXPECT_TRUE(reloads_.empty());
    EXPECT_TRUE(shown_.empty());
}

void TypeLead(HWND dialog, const wchar_t* text) {
    SetDlgItemTextW(dialog, IDC_ALERT_MINUTES, text);
}

// The box shows the settings file's lead; a new one is kept when the dialog closes, with the
// data file's line and every other line as they were.
TEST_F(SettingsDialogTest, TheAlertMinutesBoxKeepsANewLeadAndEveryOtherLine) {
    const std::string first = "C:\\data\\Tessaly.tsy\r\n";
    Write(paths_.settingsFile, first + "AlertMinutes=30\r\nOther=1\r\n");
    std::wstring shown;
    Run({{kSettings, [&](HWND d) {
              shown = TextOf(GetDlgItem(d, IDC_ALERT_MINUTES));
              TypeLead(d, L" 45 ");
              CloseDialog(d);
          }}});
    EXPECT_EQ(shown, L"30");
    EXPECT_EQ(Read(paths_.settingsFile), first + "AlertMinutes=45\r\nOther=1\r\n");
    EXPECT_TRUE(reloads_.empty());
    // A move rewrites the first line and keeps the lead.
    chosen_ = root_ / "new";
    Run({{kSettings, [&](HWND d) { Click(d, IDC_SET_NEW_LOCATION); }}});
    EXPECT_EQ(Read(paths_.settingsFile), *SystemCodePageLine(root_ / "new" / "Tessaly.tsy") +
                                             "\r\nAlertMinutes=45\r\nOther=1\r\n");
}

// A lead the box refuses is said in the editor's own box, before any button acts; the focus
// goes back to the box and nothing changes until a good one is typed.
TEST_F(SettingsDialogTest, ABadLeadIsRefusedAndNothingChanges) {
    const std::string before = "C:\\data\\Tessaly.tsy\r\nAlertMinutes=30\r\n";
    Write(paths_.settingsFile, before);
    std::vector<std::wstring> refusals;
    std::string afterRefusal;
    bool focusInBox = false;
    // The refusal carries the dialog's own title: only the box has its text control.
    std::function<void(HWND)> refusal = [&](HWND box) {
        if (!GetDlgItem(box, 9990)) {
            windowSteps.push_front({kSettings, refusal});
            return;
        }
        refusals.push_back(TextOf(GetDlgItem(box, 9990)));
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(9994, BN_CLICKED), 0);
    };
    const bool moved = Run({
        {kSettings,
         [&](HWND d) {
             TypeLead(d, L"121");
             Click(d, IDC_RESET_SETTINGS);  // would move the data file
         }},
        {kSettings, refusal},
        {kSettings,
         [&](HWND d) {
             focusInBox = GetFocus() == GetDlgItem(d, IDC_ALERT_MINUTES);
             afterRefusal = Read(paths_.settingsFile);
             TypeLead(d, L"ten");
             CloseDialog(d);
         }},
        {kSettings, refusal},
        {kSettings,
         [&](HWND d) {
             TypeLead(d, L"0");
             CloseDialog(d);
         }},
    });
    EXPECT_FALSE(moved);
    const std::wstring said(kAlertMinutesRefused.begin(), kAlertMinutesRefused.end());
    EXPECT_EQ(refusals, (std::vector<std::wstring>{said, said}));
    EXPECT_EQ(beeps, (std::vector<unsigned>{MB_ICONEXCLAMATION, MB_ICONEXCLAMATION}));
    EXPECT_TRUE(focusInBox);
    EXPECT_EQ(afterRefusal, before);
    EXPECT_EQ(paths_.location.dataFile, root_ / "data" / "Tessaly.tsy");
    EXPECT_TRUE(reloads_.empty());
    EXPECT_EQ(Read(paths_.settingsFile), "C:\\data\\Tessaly.tsy\r\nAlertMinutes=0\r\n");
}

// A settings file that cannot be written: said, the box shows the lead in force again, and
// closing once more closes.
TEST_F(SettingsDialogTest, ALeadThatCannotBeWrittenIsSaidAndTheDialogStillCloses) {
    paths_.settingsFile = root_ / "no-such-folder" / "Tessaly.ini";
    std::wstring shownAfter;
    Run({
        {kSettings,
         [&](HWND d) {
             TypeLead(d, L"30");
             CloseDialog(d);
         }},
        {kSettings,
         [&](HWND d) {
             shownAfter = TextOf(GetDlgItem(d, IDC_ALERT_MINUTES));
             CloseDialog(d);
         }},
    });
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find("settings file could not be written"), std::string::npos);
    EXPECT_EQ(boxes[0].caption, "Settings for Tessaly");
    EXPECT_EQ(boxes[0].style & MB_ICONMASK, static_cast<UINT>(MB_ICONHAND));
    EXPECT_EQ(shownAfter, L"15");
    EXPECT_FALSE(fs::exists(paths_.settingsFile));
}

}  // namespace
}  // namespace tessaly::editor
