// The editor model's commands as (state, command) -> (state, what the window shows).
#include "editor/model/editor_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <fstream>
#include <string>
#include <variant>
#include <vector>

#include "core/data_file.h"
#include "core/tests/test_reminders.h"

namespace tessaly::editor {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using tessaly::testing::MakeReminder;

constexpr DateKey kToday = 20261209;  // a Wednesday; the pair shows December and January

Reminder Meeting(std::string_view text, DateKey date) {
    return MakeReminder(kMeeting, text, date, 900, 1);
}

// 1: Dec 15; 2 and 3: Dec 20; 4: Jan 15.
std::vector<Reminder> FourReminders() {
    return {Meeting("A", 20261215), Meeting("B1", 20261220), Meeting("B2", 20261220),
            Meeting("C", 20270115)};
}

EditorState StateWith(std::vector<Reminder> current) {
    EditorState s;
    s.today = kToday;
    s.data.current = ReminderList(std::move(current));
    s.sameDate = SameDateOrdinals(s.data.current);
    s.displayedMonth = 12;
    s.displayedYear = 2026;
    s.loaded = true;
    return s;
}

// The centre of a day's cell in the displayed pair.
calendar::Point DayPoint(int panel, int month, int year, int day) {
    const calendar::OpenRect r =
        calendar::CellHitRect(panel, calendar::CellOfDay(month, year, day));
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

Update ClickOn(EditorModel& m, int panel, int month, int year, int day) {
    const calendar::Point p = DayPoint(panel, month, year, day);
    return m.Click(p.x, p.y);
}

Ask Answering(Answer answer, std::vector<Question>* asked = nullptr) {
    return [=](const Question& q) {
        if (asked) asked->push_back(q);
        return answer;
    };
}

FormInput Typed(std::string kind, std::string date, std::string time, std::string notify) {
    FormInput in;
    in.kindText = std::move(kind);
    in.description = "Typed";
    in.dateText = std::move(date);
    in.timeText = std::move(time);
    in.notifyText = std::move(notify);
    in.frequency = kOneTime;
    return in;
}

// The buttons the update applies last; all off when it applies none.
ButtonStates ButtonsOf(const Update& u) {
    for (auto e = u.effects.rbegin(); e != u.effects.rend(); ++e) {
        if (const auto* buttons = std::get_if<show::Buttons>(&*e)) return buttons->states;
    }
    return {};
}

TEST(ButtonsFor, TableOfModesAndTheEndsOfTheList) {
    struct Case {
        FormMode mode;
        int index, count;
        const char* onOff;  // New, Add, Delete, Cancel, Next, Prev
        std::string_view caption;
    };
    const Case cases[] = {
        {FormMode::kStart, 0, 0, "000001", ""},  // "&Prev" goes off only at entry 1
        {FormMode::kStart, 0, 3, "000011", ""},
        {FormMode::kNothingShown, 2, 3, "100011", ""},
        {FormMode::kEditingNew, 0, 3, "010100", "&Add"},
        {FormMode::kEditingShown, 2, 3, "011100", "&Replace"},
        {FormMode::kShown, 2, 3, "101011", "&Replace"},
        {FormMode::kShown, 1, 3, "101010", "&Replace"},
        {FormMode::kShown, 3, 3, "101001", "&Replace"},
        {FormMode::kShown, 1, 1, "101000", "&Replace"},
    };
    for (const Case& c : cases) {
        const ButtonStates b = ButtonsFor(c.mode, c.index, c.count);
        std::string onOff;
        for (bool on : {b.newOn, b.addOn, b.deleteOn, b.cancelOn, b.nextOn, b.prevOn}) {
            onOff += on ? '1' : '0';
        }
        EXPECT_EQ(onOff, c.onOff) << static_cast<int>(c.mode) << " at " << c.index;
        EXPECT_EQ(b.addCaption, c.caption);
    }
    EXPECT_EQ(EditingOf(FormMode::kEditingNew), Editing::kNew);
    EXPECT_EQ(EditingOf(FormMode::kEditingShown), Editing::kShown);
    EXPECT_EQ(EditingOf(FormMode::kShown), Editing::kNone);
}

TEST(EditorModelCalendar, ClicksShowTheDayMoveTheMarkAndSetTheButtons) {
    EditorModel m(StateWith(FourReminders()));

    // A day with two reminders: its first one, FormMode 4.
    Update u = ClickOn(m, 0, 12, 2026, 20);
    EXPECT_EQ(u.Described(), (Lines{"fill 2", "status 2 '  Reminder 2 of 4'", "status 3 ' 1'",
                                    "mode 4", "status 2 '  Reminder 2 of 4'", "status 3 ' 1'"}));
    EXPECT_EQ(m.state().currentIndex, 2);
    EXPECT_EQ(m.state().selectedKey, 20261220);
    EXPECT_EQ(m.state().marked.key, 20261220);
    EXPECT_EQ(m.state().chosen.day, 20);
    ASSERT_TRUE(u.calendar);
    EXPECT_EQ(u.calendar->framePanel, 0);
    EXPECT_EQ(u.calendar->frameDay, 20);
    const show::FillForm& fill = std::get<show::FillForm>(u.effects[0]);
    EXPECT_EQ(fill.contents.dateText, "12-20-2026");
    EXPECT_EQ(fill.contents.weekday, "Sunday");
    EXPECT_EQ(fill.contents.timeText, "9:00 am");
    EXPECT_EQ(fill.contents.timeLabel, "time:");
    EXPECT_EQ(fill.contents.addCaption, "Replace");

    // Another day of the pair: the old mark goes with the form's reminder; an unshared date
    // reads three blanks from the calendar and nothing from the click.
    u = ClickOn(m, 1, 1, 2027, 15);
    EXPECT_EQ(u.Described(),
              (Lines{"clear", "fill 4", "status 2 '  Reminder 4 of 4'", "status 3 '   '", "mode 4",
                     "status 2 '  Reminder 4 of 4'", "status 3 ''"}));
    EXPECT_EQ(u.calendar->framePanel, 1);

    // A day after the last reminder: nothing current, FormMode 1, nowhere to go on.
    u = ClickOn(m, 1, 1, 2027, 16);
    EXPECT_EQ(u.Described(), (Lines{"clear", "status 2 ''", "status 3 ''", "mode 1", "next off",
                                    "status 2 ''", "status 3 ''"}));
    EXPECT_EQ(m.state().currentIndex, 0);

    // A cell border, the title bar and the form below the calendar choose nothing.
    const calendar::Point dec6 = DayPoint(0, 12, 2026, 6);
    for (auto [x, y] : {std::pair{44, dec6.y}, std::pair{100, 15}, std::pair{100, 230}}) {
        u = m.Click(x, y);
        EXPECT_TRUE(u.effects.empty()) << x << "," << y;
        EXPECT_FALSE(u.calendar);
    }
    EXPECT_EQ(m.state().chosen.day, 16);

    // While the user types, a click is ignored (but remembered as pending).
    m.FieldChanged();
    u = ClickOn(m, 0, 12, 2026, 20);
    EXPECT_TRUE(u.effects.empty());
    EXPECT_TRUE(m.state().clickPending);
    EXPECT_EQ(m.state().chosen.day, 16);
}

TEST(EditorModelCalendar, PaintNeverChangesTheFormAndKeepsTheFrameOnlyForTheListWindow) {
    EditorModel m(StateWith(FourReminders()));
    ClickOn(m, 0, 12, 2026, 20);
    const EditorState before = m.state();
    calendar::Picture p = m.PictureForPaint();
    EXPECT_EQ(p.frameDay, 0);  // erased with the background
    EXPECT_EQ((std::pair{p.month, p.year}), (std::pair{12, 2026}));
    EXPECT_EQ(p.current, &m.state().data.current);
    EXPECT_EQ(m.state().mode, before.mode);
    EXPECT_EQ(m.state().currentIndex, before.currentIndex);
    m.SetListOpen(true);
    p = m.PictureForPaint();
    EXPECT_EQ((std::pair{p.framePanel, p.frameDay}), (std::pair{0, 20}));
}

TEST(EditorModelCalendar, ArrowsMoveTwoMonthsMarkNothingAndLeaveFormModeZero) {
    struct Case {
        int month, year, step;
        int wantMonth, wantYear;
    };
    const Case cases[] = {{12, 2026, 2, 2, 2027},
                          {11, 2026, 2, 1, 2027},
                          {1, 2027, -2, 11, 2026},
                          {2, 2027, -2, 12, 2026},
                          {6, 2026, 2, 8, 2026}};
    for (const Case& c : cases) {
        EditorState s = StateWith(FourReminders());
        s.displayedMonth = c.month;
        s.displayedYear = c.year;
        EditorModel m(s);
        const Update u = m.MoveMonths(c.step);
        EXPECT_EQ((std::pair{m.state().displayedMonth, m.state().displayedYear}),
                  (std::pair{c.wantMonth, c.wantYear}));
        EXPECT_EQ(u.Described(), (Lines{"clear", "status 2 ''", "status 3 ''", "mode 0"}));
        // The arrows' "mark no day" ends with their drawing: a click on the new pair marks.
        EditorModel after = m;
        ClickOn(after, 0, c.wantMonth, c.wantYear, 1);
        EXPECT_EQ(after.state().marked.key, MakeDateKey(c.wantYear, c.wantMonth, 1));
    }

    // The index stays for Next/Prev, and the calendar still names it in the status bar.
    EditorModel m(StateWith(FourReminders()));
    ClickOn(m, 0, 12, 2026, 20);
    const Update u = m.MoveMonths(2);
    EXPECT_EQ(u.Described(),
              (Lines{"clear", "status 2 '  Reminder 2 of 4'", "status 3 ' 1'", "mode 0"}));
    EXPECT_EQ(m.state().currentIndex, 2);
    EXPECT_EQ(m.state().marked.key, 20261220);  // not a day of the new pair
    EXPECT_EQ(u.calendar->frameDay, 0);
}

TEST(EditorModelCalendar, DoubleClickStartsANewReminderAndCancelGoesBack) {
    EditorModel m(StateWith(FourReminders()));
    ClickOn(m, 0, 12, 2026, 20);
    const calendar::Point jan5 = DayPoint(1, 1, 2027, 5);
    m.Click(jan5.x, jan5.y);  // the first click of the pair
    ClickOn(m, 0, 12, 2026, 20);
    Update u = m.DoubleClick(jan5.x, jan5.y, false);
    EXPECT_EQ(u.Described(), (Lines{"clear", "clear", "status 2 ''", "status 3 ''", "mode 1",
                                    "text date '01-05-27'", "mode 2", "text weekday 'Tuesday'"}));
    EXPECT_EQ(m.state().returnIndex, 2);
    EXPECT_EQ(m.state().currentIndex, 0);
    EXPECT_EQ(m.state().mode, FormMode::kEditingNew);

    // Typing with a date in the box: a second double-click is ignored.
    EXPECT_TRUE(m.DoubleClick(jan5.x, jan5.y, false).effects.empty());

    u = m.Cancel();
    EXPECT_EQ(u.Described(), (Lines{"fill 2", "mode 4", "focus kind"}));
    EXPECT_EQ(m.state().currentIndex, 2);
    EXPECT_EQ(m.state().returnIndex, 0);

    u = m.New();  // on the day the calendar chose last
    EXPECT_EQ(u.Described(), (Lines{"clear", "text date '1-5-2027'", "mode 2", "status 2 ''",
                                    "status 3 ''", "focus kind"}));
    u = m.Cancel();
    EXPECT_EQ(u.Described(), (Lines{"clear", "mode 1", "focus kind"}));
}

// Whether a click on 20 December, in a copy of the model, shows that day's first reminder: a
// step whose "the form is filled by the caller" outlived it would stop later clicks doing so.
bool AClickFillsTheForm(EditorModel m) {
    const Lines lines = ClickOn(m, 0, 12, 2026, 20).Described();
    return std::find(lines.begin(), lines.end(), "fill 2") != lines.end();
}

TEST(EditorModelForm, StepWalksTheListAndShowsEachDate) {
    EditorModel m(StateWith(FourReminders()));
    Update u = m.Step(true);
    EXPECT_EQ(u.Described(),
              (Lines{"next on", "prev on", "status 2 '  Reminder 1 of 4'", "status 3 '   '",
                     "mode 4", "status 2 '  Reminder 1 of 4'", "status 3 '   '", "mode 4", "fill 1",
                     "mode 4", "status 2 '  Reminder 1 of 4'", "status 3 ''", "prev off"}));
    EXPECT_EQ(m.state().marked.key, 20261215);
    EXPECT_TRUE(AClickFillsTheForm(m));
    m.Step(true);
    m.Step(true);
    u = m.Step(true);
    EXPECT_EQ(m.state().currentIndex, 4);
    EXPECT_EQ(u.Described().back(), "next off");
    u = m.Step(true);  // nowhere to go: nothing changes
    EXPECT_TRUE(u.effects.empty());
    EXPECT_TRUE(AClickFillsTheForm(m));
    EXPECT_EQ(m.state().currentIndex, 4);

    // From a chosen day with nothing shown: the first reminder on or after it.
    EditorModel fromDay(StateWith(FourReminders()));
    ClickOn(fromDay, 0, 12, 2026, 17);
    fromDay.Step(true);
    EXPECT_EQ(fromDay.state().currentIndex, 2);
}

TEST(EditorModelForm, AddChecksTheFormAndReplaceMovesTheReminder) {
    EditorModel m(StateWith(FourReminders()));

    // A failing check: the normalised date, the message, the focus; nothing else changes.
    Update u = m.AddOrReplace(Typed("meeting", "12/21/26", "13:00 pm", "1"));
    EXPECT_EQ(u.Described(),
              (Lines{"text date '12-21-2026'", "message 'Bad time format'", "focus time"}));
    EXPECT_EQ(m.state().data.current.count(), 4);
    EXPECT_FALSE(m.state().dirty);

    // Add: inserted by date, shown, dirty.
    m.FieldChanged();
    u = m.AddOrReplace(Typed("meeting", "12-21-26", "9:30 pm", "1"));
    ASSERT_EQ(m.state().data.current.count(), 5);
    EXPECT_EQ(m.state().currentIndex, 4);
    EXPECT_EQ(m.state().data.current.at(4).timeOrYear, 2130);
    EXPECT_EQ(m.state().mode, FormMode::kShown);
    EXPECT_TRUE(m.state().dirty);
    EXPECT_EQ(m.state().sameDate, (std::vector<int>{0, 0, 1, 2, 0, 0}));
    EXPECT_EQ(m.state().marked.key, 20261221);
    const Lines lines = u.Described();
    EXPECT_EQ(
        Lines(lines.end() - 5, lines.end()),
        (Lines{"fill 4", "mode 4", "status 2 '  Reminder 4 of 5'", "status 3 ''", "focus kind"}));

    // Replace with a later date: the reminder moves and the index follows it.
    m.FieldChanged();
    EXPECT_EQ(m.state().mode, FormMode::kEditingShown);
    m.AddOrReplace(Typed("meeting", "1-20-27", "9:30 pm", "1"));
    ASSERT_EQ(m.state().data.current.count(), 5);
    EXPECT_EQ(m.state().currentIndex, 5);
    EXPECT_EQ(m.state().data.current.at(5).date, 20270120);
    EXPECT_EQ(m.state().data.current.at(4).date, 20270115);
}

// Mend: "&Replace" only replaces the reminder the form shows. The index stays for Next/Prev
// after the arrows or a Delete that empties the form, but typing then offers Add, and Add
// keeps the reminder the user cannot see.
TEST(EditorModelForm, TypingIntoAFormThatShowsNoReminderOffersAdd) {
    struct Case {
        const char* name;
        std::function<void(EditorModel&)> leaveFormEmpty;
        int indexAfter;  // the current index kept for Next/Prev
    };
    const Case cases[] = {
        {"arrows",
         [](EditorModel& m) {
             ClickOn(m, 0, 12, 2026, 20);
             m.MoveMonths(2);
         },
         2},
        {"delete of a day's last reminder",
         [](EditorModel& m) {
             ClickOn(m, 0, 12, 2026, 15);  // A, alone on its day; B1 follows on another
             m.Delete(Answering(Answer::kYes));
         },
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EditorModel m(StateWith(FourReminders()));
        c.leaveFormEmpty(m);
        EXPECT_EQ(m.state().currentIndex, c.indexAfter);
        EXPECT_EQ(m.state().shownIndex, 0);
        const int count = m.state().data.current.count();
        const Reminder atIndex = m.state().data.current.at(c.indexAfter);

        const Update u = m.FieldChanged();
        EXPECT_EQ(u.Described(), (Lines{"mode 2"}));
        m.AddOrReplace(Typed("meeting", "12-30-26", "8:00 am", "1"));
        EXPECT_EQ(m.state().data.current.count(), count + 1);
        EXPECT_EQ(m.state().data.current.at(c.indexAfter), atIndex);
    }

    // The form shows the current reminder: typing offers Replace, as before.
    EditorModel m(StateWith(FourReminders()));
    ClickOn(m, 0, 12, 2026, 20);
    EXPECT_EQ(m.FieldChanged().Described(), (Lines{"mode 3"}));
}

TEST(EditorModelForm, DeleteAsksThenShowsWhatStandsOnTheSameDay) {
    EditorModel m(StateWith(FourReminders()));
    ClickOn(m, 0, 12, 2026, 20);  // B1, the first of two on Dec 20

    std::vector<Question> asked;
    for (Answer no : {Answer::kNo, Answer::kCancel}) {
        EXPECT_TRUE(m.Delete(Answering(no, &asked)).effects.empty());
    }
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].text, "Delete this reminder now");
    EXPECT_EQ(asked[0].caption, "B1" + std::string(46, ' '));  // the reminder, as stored
    EXPECT_TRUE(asked[0].withCancel);
    EXPECT_EQ(m.state().data.current.count(), 4);
    EXPECT_FALSE(m.state().dirty);

    Update u = m.Delete(Answering(Answer::kYes));
    EXPECT_EQ(u.Described(), (Lines{"fill 2", "status 2 '  Reminder 2 of 3'", "status 3 '   '",
                                    "mode 4", "mode 1", "status 3 ''", "focus kind"}));
    EXPECT_EQ(m.state().data.current.at(2).Description().substr(0, 3), "B2 ");
    EXPECT_EQ(m.state().sameDate, (std::vector<int>{0, 0, 0, 0}));
    EXPECT_TRUE(m.state().dirty);

    // The last of a day followed by another day's: the form empties, the index stays on it.
    u = m.Delete(Answering(Answer::kYes));
    EXPECT_EQ(u.Described().front(), "clear");
    EXPECT_EQ(m.state().currentIndex, 2);
    EXPECT_EQ(m.state().data.current.at(2).date, 20270115);

    // The later of two on a day: the earlier one is shown.
    EditorModel pair(StateWith({Meeting("X1", 20261220), Meeting("X2", 20261220)}));
    pair.Step(true);
    pair.Step(true);
    u = pair.Delete(Answering(Answer::kYes));
    EXPECT_EQ(u.Described().front(), "fill 1");
    EXPECT_EQ(pair.state().currentIndex, 1);

    // The only reminder: an empty form, nothing current.
    EditorModel one(StateWith({Meeting("Only", 20261220)}));
    one.Step(true);
    u = one.Delete(Answering(Answer::kYes));
    EXPECT_EQ(u.Described(), (Lines{"clear", "status 2 ''", "status 3 ''", "mode 1", "status 3 ''",
                                    "focus kind"}));
    EXPECT_EQ(one.state().currentIndex, 0);
    EXPECT_TRUE(one.state().data.current.empty());
}

TEST(EditorModelForm, KindAndFrequencyChoices) {
    EditorModel m(StateWith(FourReminders()));
    m.Step(true);
    ASSERT_TRUE(m.state().justFilled);
    Update u = m.KindChosen(kBirthday, "01-12-2027");
    EXPECT_EQ(u.Described(), (Lines{"text timeLabel 'year'", "text time ''", "check 2",
                                    "period hidden", "mode 3", "focus description"}));
    EXPECT_TRUE(m.state().changedMark);
    EXPECT_FALSE(m.state().justFilled);

    u = m.FrequencyChosen(kWeekdayMonths, "1-12-27");  // the 2nd Tuesday
    EXPECT_EQ(u.Described(), (Lines{"period 'months\r\n2nd Tuesday'", "mode 3"}));
    u = m.FrequencyChosen(kMonthlyPeriod, "13-40-27");  // no valid date: the fields stay
    EXPECT_EQ(u.Described(), (Lines{"mode 3"}));

    EXPECT_EQ(m.KindTyped("xyz").Described(), (Lines{"text kind ''", "mode 3"}));
    EXPECT_EQ(m.KindTyped("MEE").Described(), (Lines{"mode 3"}));
}

// Mend: any change to a shown reminder enters editing, the kind box included, so "&Replace"
// and "&Cancel" are offered; with nothing shown the same change starts a new reminder.
TEST(EditorModelForm, EveryChangeOfAFieldEntersEditing) {
    struct Case {
        const char* name;
        std::function<Update(EditorModel&)> change;
    };
    const Case cases[] = {
        {"kind chosen", [](EditorModel& m) { return m.KindChosen(kAppointment, "12-15-2026"); }},
        {"kind typed", [](EditorModel& m) { return m.KindTyped("meet"); }},
        {"field", [](EditorModel& m) { return m.FieldChanged(); }},
        {"frequency", [](EditorModel& m) { return m.FrequencyChosen(kAnnual, "12-15-2026"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EditorModel shown(StateWith(FourReminders()));
        shown.Step(true);
        Update u = c.change(shown);
        EXPECT_EQ(shown.state().mode, FormMode::kEditingShown);
        const ButtonStates b = ButtonsOf(u);
        EXPECT_TRUE(b.addOn && b.cancelOn && b.deleteOn);
        EXPECT_EQ(b.addCaption, "&Replace");

        EditorModel empty(StateWith(FourReminders()));
        c.change(empty);
        EXPECT_EQ(empty.state().mode, FormMode::kEditingNew);
    }
}

// Mend: when the kind moves between a timed kind and a year kind, the time box is emptied;
// what it held was typed for the other meaning ("2:30 pm" is no year).
TEST(EditorModelForm, ChoosingAKindOfTheOtherMeaningEmptiesTheTimeBox) {
    struct Case {
        const char* name;
        std::vector<Reminder> shown;  // stepped to its first entry; none: a fresh form
        int chosen;
        bool emptied;
    };
    const Case cases[] = {
        {"meeting to appointment", {Meeting("M", 20261215)}, kAppointment, false},
        {"meeting to birthday", {Meeting("M", 20261215)}, kBirthday, true},
        {"birthday to anniversary",
         {MakeReminder(kBirthday, "B", 20261215, 1980, 2, kAnnual)},
         kAnniversary,
         false},
        {"birthday to reminder",
         {MakeReminder(kBirthday, "B", 20261215, 1980, 2, kAnnual)},
         kReminderKind,
         true},
        {"fresh form to meeting", {}, kMeeting, false},
        {"fresh form to birthday", {}, kBirthday, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EditorModel m(StateWith(c.shown));
        if (!c.shown.empty()) m.Step(true);
        const Lines lines = m.KindChosen(c.chosen, "12-15-2026").Described();
        EXPECT_EQ(std::count(lines.begin(), lines.end(), "text time ''"), c.emptied ? 1 : 0);
    }
    // A second choice of the same meaning leaves what was typed since.
    EditorModel m(StateWith({}));
    m.KindChosen(kBirthday, "");
    const Lines lines = m.KindChosen(kAnniversary, "").Described();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "text time ''"), 0);
}

// Mend: Delete acts only on the reminder the form shows. After Add (here on another day than
// the one marked, or after a click ignored while typing) the form shows what was stored, and
// the question names it; while the form shows nothing, Delete is off and asks nothing.
TEST(EditorModelForm, DeleteOnlyRemovesTheReminderTheFormShows) {
    struct Case {
        const char* name;
        std::function<void(EditorModel&)> before;  // between New and Add
        const char* date;
        int position;
    };
    const Case cases[] = {
        {"another day", [](EditorModel&) {}, "12-30-26", 4},
        {"the marked day", [](EditorModel&) {}, "12-20-26", 4},
        {"after an ignored click", [](EditorModel& m) { ClickOn(m, 0, 12, 2026, 15); }, "12-20-26",
         4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EditorModel m(StateWith(FourReminders()));
        ClickOn(m, 0, 12, 2026, 20);
        m.New();
        c.before(m);
        FormInput in = Typed("meeting", c.date, "8:00 am", "1");
        in.description = "Added";
        const Update added = m.AddOrReplace(in);
        EXPECT_EQ(m.state().currentIndex, c.position);
        EXPECT_EQ(m.state().shownIndex, c.position);
        const Lines lines = added.Described();
        EXPECT_NE(std::find(lines.begin(), lines.end(), "fill " + std::to_string(c.position)),
                  lines.end());
        EXPECT_TRUE(ButtonsOf(added).deleteOn);

        std::vector<Question> asked;
        m.Delete(Answering(Answer::kYes, &asked));
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].caption, "Added" + std::string(43, ' '));
        EXPECT_EQ(m.state().data, StateWith(FourReminders()).data);  // the added one went
    }

    // The form shows nothing while the index stays for Next/Prev: no Delete, no question.
    EditorModel m(StateWith(FourReminders()));
    ClickOn(m, 0, 12, 2026, 20);
    const Update moved = m.MoveMonths(2);
    EXPECT_FALSE(ButtonsOf(moved).deleteOn);
    std::vector<Question> asked;
    EXPECT_TRUE(m.Delete(Answering(Answer::kYes, &asked)).effects.empty());
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(m.state().data.current.count(), 4);
}

class EditorModelFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("tessaly-model-" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(root_);
        fs::create_directories(root_);
        file_ = root_ / "Tessaly.tsy";
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    void Write(const fs::path& file, std::vector<Reminder> current,
               std::vector<Reminder> archive = {}) {
        ASSERT_TRUE(SaveReminderFile(
            file, {ReminderList(std::move(current)), ReminderList(std::move(archive))},
            kEditorLabel));
    }
    static std::string Bytes(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static ReminderData OnDisk(const fs::path& file) {
        ReminderData data;
        EXPECT_TRUE(LoadReminderFile(file, data, IfMissing::kFail));
        return data;
    }
    fs::path root_, file_;
};

TEST_F(EditorModelFiles, StartLoadsAndTheMaintenanceRollsOverAndSaves) {
    Write(file_, {MakeReminder(kAppointment, "past", 20261201, 930),
                  MakeReminder(kMeeting, "weekly", 20261202, 1000, 0, kWeeklyPeriod, 1),
                  Meeting("future", 20261220)});
    EditorModel m;
    Update u = m.Start(file_, kToday);
    EXPECT_EQ(u.Described(), (Lines{"clear", "mode 0", "prev off"}));
    EXPECT_TRUE(m.state().loaded);
    EXPECT_EQ(m.state().data.current.count(), 3);

    u = m.StartupMaintenance();
    EXPECT_EQ(u.Described(), (Lines{"status 1 path"}));
    EXPECT_TRUE(u.invalidateCalendar);
    const ReminderData disk = OnDisk(file_);
    EXPECT_EQ(disk, m.state().data);
    ASSERT_EQ(disk.current.count(), 2);
    EXPECT_EQ(disk.current.at(1).date, 20261216);
    EXPECT_EQ(disk.archive.count(), 1);
    EXPECT_FALSE(m.state().dirty);
    EXPECT_EQ(m.state().sameDate, (std::vector<int>{0, 0, 0}));

    // A first start: the missing file is created and the maintenance writes it empty.
    EditorModel fresh;
    fresh.Start(root_ / "new.tsy", kToday);
    fresh.StartupMaintenance();
    EXPECT_EQ(fs::file_size(root_ / "new.tsy"), 12u);

    // Nothing to roll over: the file is left as it is (the notifier's label stays).
    ASSERT_TRUE(
        SaveReminderFile(file_, {ReminderList({Meeting("future", 20261220)}), {}}, kNotifierLabel));
    const std::string before = Bytes(file_);
    EditorModel quiet;
    quiet.Start(file_, kToday);
    quiet.StartupMaintenance();
    EXPECT_EQ(Bytes(file_), before);
}

TEST_F(EditorModelFiles, ClosingAsksOnlyWhenChangedAndSavesOnYes) {
    Write(file_, {Meeting("kept", 20261220)});
    const std::string before = Bytes(file_);
    struct Case {
        bool dirty;
        Answer answer;
        CloseOutcome outcome;
        bool asked, saved;
    };
    const Case cases[] = {
        {false, Answer::kYes, CloseOutcome::kClose, false, false},
        {true, Answer::kYes, CloseOutcome::kClose, true, true},
        {true, Answer::kNo, CloseOutcome::kClose, true, false},
        {true, Answer::kCancel, CloseOutcome::kStay, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.answer) + 10 * c.dirty);
        Write(file_, {Meeting("kept", 20261220)});
        EditorState s = StateWith({Meeting("kept", 20261220), Meeting("new", 20261221)});
        s.dataFile = file_;
        s.dirty = c.dirty;
        EditorModel m(s);
        std::vector<Question> asked;
        Update u;
        EXPECT_EQ(m.Close(Answering(c.answer, &asked), u), c.outcome);
        EXPECT_TRUE(u.effects.empty());
        ASSERT_EQ(asked.size(), c.asked ? 1u : 0u);
        if (c.asked) {
            EXPECT_EQ(asked[0].text, "File has changed...\r\nDo you want to save the changes?");
            EXPECT_EQ(asked[0].caption, "Closing Reminders");
        }
        EXPECT_EQ(OnDisk(file_).current.count(), c.saved ? 2 : 1);
        EXPECT_EQ(m.state().dirty, c.outcome == CloseOutcome::kStay);
        EXPECT_FALSE(m.state().closing);
    }

    // A second close while the question is open is swallowed without a question.
    EditorState s = StateWith({Meeting("kept", 20261220)});
    s.dataFile = file_;
    s.dirty = true;
    EditorModel m(s);
    int questions = 0;
    CloseOutcome nested = CloseOutcome::kClose;
    Update u;
    m.Close(
        [&](const Question&) {
            ++questions;
            Update inner;
            nested = m.Close(Answering(Answer::kYes), inner);
            return Answer::kCancel;
        },
        u);
    EXPECT_EQ(questions, 1);
    EXPECT_EQ(nested, CloseOutcome::kStay);
}

TEST_F(EditorModelFiles, AFailedSaveOnClosingSaysSoAndStays) {
    EditorState s = StateWith({Meeting("new", 20261221)});
    s.dataFile = root_ / "gone" / "Tessaly.tsy";
    s.dirty = true;
    EditorModel m(s);
    Update u;
    EXPECT_EQ(m.Close(Answering(Answer::kYes), u), CloseOutcome::kStay);
    ASSERT_EQ(u.effects.size(), 1u);
    EXPECT_EQ(std::get<Message>(u.effects[0]).caption, "Closing Reminders");
    EXPECT_EQ(std::get<Message>(u.effects[0]).text.rfind("The reminders could not be saved.", 0),
              0u);
    EXPECT_TRUE(m.state().dirty);
}

// The day's first save keeps the file as it was; a backup that cannot be made is told on
// closing and the save goes ahead.
TEST_F(EditorModelFiles, SavesKeepTheDaysBackup) {
    // A past appointment to roll over: the start-up saves.
    Write(file_, {MakeReminder(kAppointment, "past", 20261201, 930), Meeting("on disk", 20261220)});
    const std::string before = Bytes(file_);
    EditorModel m;
    m.Start(file_, kToday);
    m.StartupMaintenance();
    EXPECT_EQ(Bytes(root_ / "Backups" / "Tessaly-2026-12-09.tsy"), before);

    // Another day, with a file where the backup folder should be.
    fs::remove_all(root_ / "Backups");
    std::ofstream(root_ / "Backups") << "in the way";
    EditorState s = StateWith({Meeting("new", 20261221)});
    s.today = 20261210;
    s.dataFile = file_;
    s.dirty = true;
    EditorModel later(s);
    Update u;
    EXPECT_EQ(later.Close(Answering(Answer::kYes), u), CloseOutcome::kClose);
    EXPECT_EQ(OnDisk(file_).current.count(), 1);
    EXPECT_EQ(OnDisk(file_).current.at(1), Meeting("new", 20261221));
    ASSERT_EQ(u.effects.size(), 1u);
    EXPECT_EQ(std::get<Message>(u.effects[0]).caption, "Closing Reminders");
    EXPECT_EQ(std::get<Message>(u.effects[0])
                  .text.rfind("The reminders were saved, but the day's backup", 0),
              0u);
}

// Mend: a data file that could not be read at start-up is never written over: the start-up
// says so with the reason, and the closing "Yes" refuses (the window stays) until "No".
TEST_F(EditorModelFiles, AFileThatCouldNotBeReadIsNeverWrittenOver) {
    Write(file_, {Meeting("on disk", 20261201)});
    const std::string before = Bytes(file_);
    EditorState s = StateWith({});
    s.dataFile = file_;
    s.loaded = false;
    s.loadError = "held by another program";
    EditorModel m(s);

    Update u = m.StartupMaintenance();
    EXPECT_EQ(Bytes(file_), before);
    ASSERT_EQ(u.effects.size(), 2u);
    EXPECT_TRUE(std::holds_alternative<Message>(u.effects[1]));
    EXPECT_NE(std::get<Message>(u.effects[1]).text.find("held by another program"),
              std::string::npos);

    m.AddOrReplace(Typed("meeting", "12-21-26", "9:00 am", "1"));
    ASSERT_TRUE(m.state().dirty);
    u = {};
    EXPECT_EQ(m.Close(Answering(Answer::kYes), u), CloseOutcome::kStay);
    ASSERT_EQ(u.effects.size(), 1u);
    EXPECT_EQ(std::get<Message>(u.effects[0]).caption, "Closing Reminders");
    EXPECT_NE(std::get<Message>(u.effects[0]).text.find("could not be read"), std::string::npos);
    EXPECT_EQ(Bytes(file_), before);
    EXPECT_TRUE(m.state().dirty);
    u = {};
    EXPECT_EQ(m.Close(Answering(Answer::kNo), u), CloseOutcome::kClose);
    EXPECT_EQ(Bytes(file_), before);
}

TEST_F(EditorModelFiles, MovingTheDataFileSavesToTheOldOneThenReloadsFromTheNew) {
    Write(file_, {Meeting("old", 20261220)});
    const fs::path moved = root_ / "moved.tsy";
    Write(moved, {Meeting("m1", 20261222), Meeting("m2", 20261223)}, {Meeting("a", 20261101)});
    EditorModel m;
    m.Start(file_, kToday);
    m.StartupMaintenance();
    m.New();
    m.AddOrReplace(Typed("meeting", "12-21-26", "9:00 am", "1"));

    Update u;
    EXPECT_FALSE(m.OfferSave(Answering(Answer::kCancel), u));
    EXPECT_EQ(OnDisk(file_).current.count(), 1);
    EXPECT_TRUE(m.OfferSave(Answering(Answer::kYes), u));
    EXPECT_EQ(OnDisk(file_).current.count(), 2);
    EXPECT_FALSE(m.state().dirty);
    std::vector<Question> asked;
    EXPECT_TRUE(m.OfferSave(Answering(Answer::kYes, &asked), u));  // nothing to save
    EXPECT_TRUE(asked.empty());

    u = m.ReloadFrom(moved);
    EXPECT_EQ(u.Described(),
              (Lines{"clear", "mode 1", "status 1 path", "status 2 ''", "status 3 ''"}));
    EXPECT_EQ(m.state().dataFile, moved);
    EXPECT_EQ(m.state().data, OnDisk(moved));
    EXPECT_EQ(m.state().currentIndex, 0);
    EXPECT_EQ(m.state().marked.panel, -1);
    EXPECT_EQ(m.state().sameDate.size(), 3u);
}

TEST(EditorModelList, DeletingFromTheListKeepsTheMainWindowInStep) {
    struct Case {
        const char* name;
        int shown;    // shown and current before (after a click on its day), 0 for none
        bool typing;  // the user changed the shown reminder
        ListKind list;
        int deleted;
        int indexAfter;
        Lines effects;
    };
    const Case cases[] = {
        {"an earlier entry",
         4,
         false,
         ListKind::kCurrent,
         1,
         3,
         {"mode 4", "status 2 '  Reminder 3 of 3'", "status 3 ''"}},
        {"a later entry",
         1,
         false,
         ListKind::kCurrent,
         4,
         1,
         {"mode 4", "status 2 '  Reminder 1 of 3'", "status 3 ''"}},
        {"the shown entry",
         4,
         false,
         ListKind::kCurrent,
         4,
         0,
         {"clear", "mode 1", "status 2 ''", "status 3 ''"}},
        {"the entry being changed",
         4,
         true,
         ListKind::kCurrent,
         4,
         0,
         {"mode 2", "status 2 ''", "status 3 ''"}},
        {"an archive entry", 4, false, ListKind::kArchive, 1, 4, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EditorState s = StateWith(FourReminders());
        s.data.archive = ReminderList({Meeting("old", 20261101)});
        EditorModel m(s);
        if (c.shown == 4) ClickOn(m, 1, 1, 2027, 15);
        if (c.shown == 1) ClickOn(m, 0, 12, 2026, 15);
        if (c.typing) m.FieldChanged();
        m.SetListOpen(true);
        const Update u = m.DeleteListEntry(c.list, c.deleted);
        EXPECT_EQ(u.Described(), c.effects);
        EXPECT_EQ(m.state().currentIndex, c.indexAfter);
        EXPECT_EQ(m.state().shownIndex, c.indexAfter);
        EXPECT_TRUE(m.state().dirty);
        if (c.list == ListKind::kCurrent) {
            EXPECT_EQ(m.state().data.current.count(), 3);
            EXPECT_EQ(m.state().sameDate.size(), 4u);
            ASSERT_TRUE(u.calendar);  // repainted without the deleted day's shading
        } else {
            EXPECT_TRUE(m.state().data.archive.empty());
        }
    }
    // The form no longer replaces a deleted reminder: what is typed is added.
    EditorModel m(StateWith(FourReminders()));
    ClickOn(m, 1, 1, 2027, 15);
    m.FieldChanged();
    m.DeleteListEntry(ListKind::kCurrent, 4);
    m.AddOrReplace(Typed("meeting", "1-15-27", "9:00 am", "1"));
    EXPECT_EQ(m.state().data.current.count(), 4);
}

// The list's selections write status parts 2 and 3; closing the list gives them back to the
// main window's own reminder, or clears them when it shows none.
TEST(EditorModelList, ClosingTheListShowsTheMainWindowsReminderAgain) {
    EditorState s = StateWith(FourReminders());
    s.data.archive = ReminderList({Meeting("old", 20261101)});
    EditorModel m(s);
    EXPECT_TRUE(m.SetListOpen(true).effects.empty());
    m.ListSelectionStatus(ListKind::kArchive, 1);
    EXPECT_EQ(m.SetListOpen(false).Described(), (Lines{"status 2 ''", "status 3 ''"}));
    EXPECT_FALSE(m.state().listOpen);

    ClickOn(m, 1, 1, 2027, 15);
    m.SetListOpen(true);
    m.ListSelectionStatus(ListKind::kCurrent, 3);
    EXPECT_EQ(m.SetListOpen(false).Described(),
              (Lines{"status 2 '  Reminder 4 of 4'", "status 3 ''"}));
}

TEST(EditorModelList, BackShowsTheChosenReminderAndSelectionsFillTheStatusBar) {
    EditorState s = StateWith(FourReminders());
    s.data.archive = ReminderList({Meeting("old", 20261101)});
    EditorModel m(s);
    m.SetListOpen(true);
    EXPECT_EQ(m.ListSelectionStatus(ListKind::kCurrent, 3).Described(),
              (Lines{"status 2 '  Reminder 3 of 4'", "status 3 ' 2'"}));
    EXPECT_EQ(m.ListSelectionStatus(ListKind::kArchive, 1).Described(),
              (Lines{"status 2 '  Reminder 1 of 1'", "status 3 ''"}));
    EXPECT_TRUE(m.ListSelectionStatus(ListKind::kCurrent, 0).effects.empty());
    EXPECT_TRUE(m.ListSelectionStatus(ListKind::kArchive, 2).effects.empty());

    // The second reminder of its day: it is shown, not the day's first.
    const Update u = m.ShowReminder(3);
    EXPECT_FALSE(m.state().listOpen);
    EXPECT_EQ(m.state().currentIndex, 3);
    EXPECT_EQ(m.state().mode, FormMode::kShown);
    EXPECT_EQ(m.state().marked.key, 20261220);
    const Lines lines = u.Described();
    EXPECT_EQ(Lines(lines.end() - 4, lines.end()),
              (Lines{"fill 3", "mode 4", "status 2 '  Reminder 3 of 4'", "status 3 ' 2'"}));
}

}  // namespace
}  // namespace tessaly::editor
