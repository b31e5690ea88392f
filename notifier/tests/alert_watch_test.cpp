// The notifier's cycle with its alerts, in-process under Wine on real files and a clock the
// test sets: a meeting saved into the data file while the notifier waits is alerted, Snooze
// and Dismiss answer it, a lead changed in the settings file applies at once, alerts open over
// a day pop-up left open, and nothing of this writes the data file.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "core/data_file.h"
#include "core/data_location.h"
#include "core/file_io.h"
#include "core/tests/test_reminders.h"
#include "notifier/tests/notifier_fixture.h"
#include "notifier/win/alert_watch.h"
#include "notifier/win/cycle.h"
#include "notifier/win/popup.h"

namespace tessaly {
namespace {

namespace fs = std::filesystem;
using testing::MakeReminder;

constexpr DateKey kToday = 20261208;

std::string Read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}
void Save(const fs::path& file, const std::vector<Reminder>& current) {
    const ReminderData data{ReminderList(current), {}};
    ASSERT_TRUE(ReplaceWholeFile(file, EncodeReminderFile(data, kEditorLabel)));
}
void SaveText(const fs::path& file, const std::string& text) {
    ASSERT_TRUE(ReplaceWholeFile(
        file, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())));
}

enum class Kind { kAlert, kDay };

// This thread's open pop-up of that kind: the alert has "&Dismiss", the day's "&Acknowledge".
HWND OpenPopup(Kind kind) {
    struct Search {
        int button;
        HWND found = nullptr;
    } search{kind == Kind::kAlert ? kDismissId : kAcknowledgeId};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM p) {
            auto* s = reinterpret_cast<Search*>(p);
            wchar_t caption[32] = {};
            GetWindowTextW(hwnd, caption, 32);
            if (IsWindowVisible(hwnd) && std::wstring(caption) == kPopupCaption &&
                GetDlgItem(hwnd, s->button)) {
                s->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// One step of the script: wait for a pop-up of that kind and act on it, or (quiet) make sure
// for a while that no alert opens, then act.
struct Step {
    enum Wait { kAlert, kDay, kQuiet } wait;
    std::function<void(HWND)> act;
};

struct Script {
    std::vector<Step> steps;
    std::size_t next = 0;
    int ticks = 0;  // on the current step
    bool failed = false;
};
Script* script = nullptr;

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    Script& s = *script;
    if (s.failed || s.next == s.steps.size()) {
        if (!OpenPopup(Kind::kAlert) && !OpenPopup(Kind::kDay)) PostQuitMessage(0);
        return;
    }
    const Step& step = s.steps[s.next];
    ++s.ticks;
    HWND alert = OpenPopup(Kind::kAlert);
    HWND found = nullptr;
    if (step.wait == Step::kQuiet) {
        if (alert) {
            ADD_FAILURE() << "step " << s.next << ": an alert opened";
            s.failed = true;
            PostMessageW(alert, WM_COMMAND, kDismissId, 0);
            return;
        }
        if (s.ticks < 15) return;  // some 300 ms, many times what a change takes to arrive
    } else {
        found = step.wait == Step::kAlert ? alert : OpenPopup(Kind::kDay);
        if (!found) {
            if (s.ticks > 250) {
                ADD_FAILURE() << "step " << s.next << ": no pop-up within 5 s";
                s.failed = true;
            }
            return;
        }
    }
    s.ticks = 0;
    ++s.next;
    step.act(found);
}

void Press(HWND popup, WPARAM key) {
    PostMessageW(GetFocus() ? GetFocus() : popup, WM_KEYDOWN, key, 0);
}
void Click(HWND popup, int id) {
    PostMessageW(popup, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(popup, id)));
}

class AlertWatchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        root_ = fs::path(temp) / ("tessaly-alerts-" + std::to_string(GetCurrentProcessId()) + "-" +
                                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_ / "data");
        fs::create_directories(root_ / "program");
        dataFile_ = root_ / "data" / "Tessaly.tsy";
        settingsFile_ = root_ / "program" / "Tessaly.ini";
        clock_.now = {kToday, 14, 0, 0};
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }

    // The notifier's cycle as the program composes it, with the real pop-ups, until the script
    // has run.
    void Run(std::vector<Step> steps) {
        Script s;
        s.steps = std::move(steps);
        script = &s;
        NotifierHost host;
        ASSERT_NE(host.hwnd(), nullptr);
        hostWindow_ = host.hwnd();
        AlertWatch alerts(host, clock_, {[this] { return dataFile_; }, settingsFile_});
        PopupWindowResponder popup;
        ReminderData lists;
        const UINT_PTR timer = SetTimer(nullptr, 0, 20, Tick);
        RunNotifierCycle(
            host, clock_,
            [&] {
                ++passes_;
                FileStore store(dataFile_);
                const PassReport report = RunPass(lists, store, clock_, popup);
                alerts.PassEnded(lists, report.loaded);
            },
            [] { return true; }, &alerts);
        KillTimer(nullptr, timer);
        script = nullptr;
        MSG msg;
        PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        EXPECT_EQ(s.next, s.steps.size()) << "steps that did not run";
    }

    // Sets the test's clock and tells the notifier, as Windows does when the clock is set.
    void SetClock(int hour, int minute, int second = 0) {
        clock_.now.hour = hour;
        clock_.now.minute = minute;
        clock_.now.second = second;
        SendMessageW(hostWindow_, WM_TIMECHANGE, 0, 0);
    }

    fs::path root_, dataFile_, settingsFile_;
    testing::FakeClock clock_{kToday};
    int passes_ = 0;
    HWND hostWindow_ = nullptr;
};

const Reminder kTomorrowsReview = MakeReminder(kMeeting, "Review", 20261209, 1000);

TEST_F(AlertWatchTest, AMeetingSavedWhileItWaitsIsAlertedAndSnoozeAndDismissAnswer) {
    Save(dataFile_, {kTomorrowsReview});
    std::string saved;
    bool snoozeWasDefault = false;
    Run({
        // The day's pass has run and found nothing due; the notifier waits.
        {Step::kQuiet,
         [&](HWND) {
             // As the editor saves: 14:10 is alerted at 13:55, so at once (at 14:00);
             // 14:45 at 14:30.
             Save(dataFile_, {MakeReminder(kMeeting, "Budget review", kToday, 1410),
                              MakeReminder(kMeeting, "Planning", kToday, 1445), kTomorrowsReview});
             saved = Read(dataFile_);
         }},
        {Step::kAlert,
         [&](HWND popup) {
             snoozeWasDefault = GetFocus() == GetDlgItem(popup, kSnoozeId);
             Press(popup, VK_RETURN);  // Enter snoozes: again at 14:05
         }},
        {Step::kQuiet, [&](HWND) { SetClock(14, 4, 59); }},
        {Step::kQuiet, [&](HWND) { SetClock(14, 5, 0); }},
        {Step::kAlert, [&](HWND popup) { Click(popup, kDismissId); }},
        {Step::kQuiet, [&](HWND) { SetClock(14, 20); }},  // dismissed: not again
        // Half an hour before: Planning's alert moves to 14:15, already passed, so it shows.
        {Step::kQuiet, [&](HWND) { SaveText(settingsFile_, SettingsWithAlertMinutes("", 30)); }},
        {Step::kAlert, [&](HWND popup) { Click(popup, kDismissId); }},
        {Step::kQuiet, [&](HWND) { SetClock(14, 45); }},
        {Step::kQuiet, [](HWND) {}},
    });
    EXPECT_TRUE(snoozeWasDefault);
    EXPECT_EQ(passes_, 1);
    EXPECT_FALSE(saved.empty());
    EXPECT_EQ(Read(dataFile_), saved) << "an alert wrote the data file";
}

TEST_F(AlertWatchTest, AnAlertOpensOverADayPopUpLeftOpen) {
    // Both are due today, so the day's pass pops them up; the meeting's alert goes off at 13:55,
    // a second after the notifier starts, while the first day pop-up waits for an answer.
    Save(dataFile_, {MakeReminder(kReminderKind, "Call the bank", kToday),
                     MakeReminder(kMeeting, "Stand-up", kToday, 1410)});
    clock_.now = {kToday, 13, 54, 59};
    bool dayPopUpOpen = false;
    Run({
        {Step::kDay,
         [&](HWND) {
             clock_.now.minute = 55;
             clock_.now.second = 0;
         }},
        {Step::kAlert,
         [&](HWND popup) {
             dayPopUpOpen = OpenPopup(Kind::kDay) != nullptr;
             Click(popup, kDismissId);
         }},
        {Step::kDay, [](HWND popup) { Click(popup, kRemindAgainId); }},
        {Step::kDay, [](HWND popup) { Click(popup, kRemindAgainId); }},
        {Step::kQuiet, [](HWND) {}},
    });
    EXPECT_TRUE(dayPopUpOpen);
    EXPECT_EQ(passes_, 1);
}

}  // namespace
}  // namespace tessaly
