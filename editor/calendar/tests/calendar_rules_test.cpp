// Calendar geometry and decisions, checked against the pixel layout and a second date method.
#include "editor/calendar/calendar_rules.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>
#include <utility>

namespace tessaly::calendar {
namespace {

Reminder On(DateKey date) {
    Reminder r;
    r.kind = kReminderKind;
    r.date = date;
    r.frequency = kOneTime;
    r.period = 1;
    return r;
}

TEST(CalendarGeometry, SaturdayFirstLongMonthTakesSixRows) {
    // August 2020 and May 2021 begin on a Saturday and have 31 days.
    for (auto [month, year] : {std::pair{8, 2020}, std::pair{5, 2021}}) {
        ASSERT_EQ(DayOfWeek(month, year, 1), 6);
        EXPECT_EQ(CellOfDay(month, year, 1), (Cell{6, 1}));
        EXPECT_EQ(RowsOfMonth(month, year), 6);
        EXPECT_EQ(CellOfDay(month, year, 31), (Cell{1, 6}));
        EXPECT_EQ(CellOrigin(0, CellOfDay(month, year, 30)), (Point{15, 195}));
        EXPECT_EQ(CellOrigin(1, CellOfDay(month, year, 31)), (Point{220 + 15 + 29, 195}));
    }
    // A Sunday-first February of a common year fills exactly four rows.
    EXPECT_EQ(RowsOfMonth(2, 2026), 4);
    EXPECT_EQ(RowsOfMonth(2, 2024), 5);
}

TEST(CalendarGeometry, CellRectanglesAreStrict) {
    // December 2026: the 1st is a Tuesday, so Sunday the 6th opens row 2 (y 95..120).
    EXPECT_EQ(CellHitRect(0, {0, 2}), (OpenRect{15, 95, 44, 120}));
    EXPECT_EQ(CellHitRect(1, {6, 6}), (OpenRect{409, 195, 438, 220}));
    struct Case {
        int panel, x, y, day;
    } cases[] = {
        {0, 30, 105, 6},   // inside Sunday the 6th
        {0, 44, 105, 0},   // on the border between Sunday and Monday
        {0, 45, 105, 7},   // just inside Monday
        {0, 15, 105, 0},   // left border
        {0, 30, 95, 0},    // border between rows 1 and 2
        {0, 30, 96, 6},    // just inside row 2
        {0, 30, 120, 0},   // border between rows 2 and 3
        {0, 30, 80, 0},    // Sunday of row 1 is before the 1st: no day
        {0, 250, 105, 0},  // the right panel's area is not the left panel's
        {1, 250, 105, 6},  // the same column in the right panel
        {0, 0, 0, 0},      // no click
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DayAtPoint(c.panel, 12, 2026, c.x, c.y), c.day)
            << "panel " << c.panel << " at " << c.x << "," << c.y;
    }
}

TEST(CalendarGeometry, PairForDateFollowsTodaysMonthParity) {
    struct Case {
        int month, year, todayMonth;
        MonthYear left;
        int clickPanel;
    } cases[] = {
        // January with an even month today: December and January.
        {1, 2027, 12, {12, 2026}, 1},
        {1, 2027, 11, {1, 2027}, 0},
        // December with an odd month today: November and December.
        {12, 2026, 11, {11, 2026}, 1},
        {12, 2026, 12, {12, 2026}, 0},
        {7, 2027, 2, {6, 2027}, 1},
        {6, 2027, 2, {6, 2027}, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PairForDate(c.month, c.year, c.todayMonth), c.left)
            << c.month << "/" << c.year << " today month " << c.todayMonth;
        const Point p = ClickPointForDate(c.month, 1, c.year, c.todayMonth);
        EXPECT_EQ(p.x >= kPanelWidth, c.clickPanel == 1);
        EXPECT_EQ(DayAtPoint(c.clickPanel, c.month, c.year, p.x, p.y), 1);
    }
    EXPECT_EQ(NextMonth({12, 2026}), (MonthYear{1, 2027}));
    EXPECT_EQ(NextMonth({5, 2026}), (MonthYear{6, 2026}));
}

TEST(CalendarGeometry, ArrowsStepAcrossYearsAndPointsFindTheirPanel) {
    struct Case {
        MonthYear from;
        int step;
        MonthYear to;
    } cases[] = {
        {{12, 2026}, 2, {2, 2027}},  {{11, 2026}, 2, {1, 2027}}, {{1, 2027}, -2, {11, 2026}},
        {{2, 2027}, -2, {12, 2026}}, {{6, 2026}, 2, {8, 2026}},  {{1, 1}, -2, {11, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StepMonths(c.from, c.step), c.to) << c.from.month << "/" << c.from.year;
    }
    // x = 220 is still the left panel; the right one shows the next month.
    EXPECT_EQ(PanelMonth({12, 2026}, 220), (MonthYear{12, 2026}));
    EXPECT_EQ(PanelMonth({12, 2026}, 221), (MonthYear{1, 2027}));
    const Point jan5 = CellOrigin(1, CellOfDay(1, 2027, 5));
    EXPECT_EQ(DayInPairAt({12, 2026}, jan5.x + 1, jan5.y + 1), 5);
    EXPECT_EQ(DayInPairAt({12, 2026}, jan5.x, jan5.y + 1), 0);  // on the border
    EXPECT_EQ(DayInPairAt({12, 2026}, 100, 225), 0);            // the form below
}

// Every date of 1901..2099: the cell agrees with a second weekday method, no two days of a
// month share a cell, and the click point computed for the date hits that date's cell in
// the pair that shows it, whichever parity today's month has.
TEST(CalendarGeometry, WholeRangeClickPointRoundTrip) {
    for (int year = 1901; year <= 2099; ++year) {
        for (int month = 1; month <= 12; ++month) {
            std::set<std::pair<int, int>> used;
            const int days = DaysInMonth(month, year);
            for (int day = 1; day <= days; ++day) {
                const Cell cell = CellOfDay(month, year, day);
                const int weekday =
                    static_cast<int>(((DaysFromCivil(year, month, day) % 7) + 11) % 7);
                ASSERT_EQ(cell.column, weekday) << year << "-" << month << "-" << day;
                ASSERT_GE(cell.row, 1);
                ASSERT_LE(cell.row, kMaxRows);
                ASSERT_TRUE(used.insert({cell.column, cell.row}).second);
                for (int todayMonth : {1, 2}) {
                    const MonthYear left = PairForDate(month, year, todayMonth);
                    const Point p = ClickPointForDate(month, day, year, todayMonth);
                    const int panel = left.month == month ? 0 : 1;
                    ASSERT_TRUE(panel == 0 || NextMonth(left) == (MonthYear{month, year}));
                    ASSERT_EQ(DayAtPoint(panel, month, year, p.x, p.y), day)
                        << year << "-" << month << "-" << day << " today month " << todayMonth;
                    ASSERT_EQ(p.y < kCalendarBottom, true);
                }
            }
        }
    }
}

TEST(CalendarShading, PastDaysOfThisMonthAreNeverShaded) {
    const CivilDate today{2026, 12, 9};
    const ReminderList list({On(20261205), On(20261209), On(20261220), On(20270105)});
    EXPECT_FALSE(CellShaded(5, 12, 2026, today, &list));  // before today, reminder or not
    EXPECT_TRUE(CellShaded(9, 12, 2026, today, &list));   // today itself
    EXPECT_TRUE(CellShaded(20, 12, 2026, today, &list));
    EXPECT_TRUE(CellShaded(5, 1, 2027, today, &list));  // an early day of a later year
    EXPECT_FALSE(CellShaded(21, 12, 2026, today, &list));
    EXPECT_FALSE(CellShaded(20, 12, 2026, today, nullptr));
}

TEST(CalendarShading, FirstReminderOnFindsTheLowestPositionInLargeLists) {
    std::vector<Reminder> entries;
    // 12,000 entries, three on each day from 2027-01-01 on.
    for (int i = 0; i < 4000; ++i) {
        const CivilDate d = CivilFromDays(DaysFromCivil(2027, 1, 1) + i);
        for (int k = 0; k < 3; ++k) entries.push_back(On(MakeDateKey(d.year, d.month, d.day)));
    }
    const ReminderList list(std::move(entries));
    EXPECT_EQ(FirstReminderOn(list, 20270101), 1);
    EXPECT_EQ(FirstReminderOn(list, 20270102), 4);
    EXPECT_EQ(FirstReminderOn(list, list.at(list.count()).date), list.count() - 2);
    EXPECT_EQ(FirstReminderOn(list, 20261231), 0);
    EXPECT_EQ(FirstReminderOn(list, 20270132), 0);
    EXPECT_EQ(FirstReminderOn(list, 21000101), 0);
    EXPECT_EQ(FirstReminderOn(ReminderList{}, 20270101), 0);
}

TEST(CalendarTexts, DayAndTitleTexts) {
    EXPECT_EQ(DayText(1), " 1");
    EXPECT_EQ(DayText(9), " 9");
    EXPECT_EQ(DayText(10), "10");
    EXPECT_EQ(DayText(31), "31");
    EXPECT_EQ(MonthTitle(1, 2027), "January 2027");
    EXPECT_EQ(MonthTitle(9, 2026), "September 2026");
}

TEST(CalendarFormMode, DecisionAfterDrawing) {
    using editor::Editing;
    using editor::FormMode;
    struct Case {
        FormModeInputs in;
        std::optional<FormMode> mode;
    } cases[] = {
        // An arrow click always leaves FormMode 0, whatever else holds.
        {{.monthChange = true, .changedMark = true, .reminderCurrent = true, .cellClicked = true},
         FormMode::kStart},
        {{.changedMark = true, .reminderCurrent = true, .editing = Editing::kShown},
         FormMode::kEditingShown},
        {{.changedMark = true, .editing = Editing::kNew}, FormMode::kEditingNew},
        {{.reminderCurrent = true}, FormMode::kShown},
        // Editing or an open list window: only a clicked cell decides.
        {{.reminderCurrent = true, .editing = Editing::kShown, .cellClicked = true},
         FormMode::kShown},
        {{.reminderCurrent = true, .listOpen = true}, std::nullopt},
        {{.cellClicked = true}, FormMode::kNothingShown},
        // A click on a border resolves no cell: the mode stays.
        {{}, std::nullopt},
        {{.editing = Editing::kNew}, std::nullopt},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(FormModeAfterDrawing(cases[i].in), cases[i].mode) << "case " << i;
    }
}

}  // namespace
}  // namespace tessaly::calendar
