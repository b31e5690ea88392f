// The fast roll-over must give exactly the list the step-by-step algorithm gives.
#include <gtest/gtest.h>

#include <random>

#include "core/occurrence.h"
#include "core/tests/test_reminders.h"

namespace tessaly {
namespace {

ReminderList RandomSortedList(std::mt19937& rng, DateKey today) {
    std::uniform_int_distribution<int> size(0, 60), freq(0, 6), period(0, 14), kind(0, 5);
    // Narrow date ranges make many equal dates, the case where order is easiest to get wrong.
    const int spread = std::uniform_int_distribution<int>(3, 900)(rng);
    std::uniform_int_distribution<int> offset(-spread, spread / 3);
    const CivilDate t = SplitDateKey(today);
    const std::int64_t base = DaysFromCivil(t.year, t.month, t.day);
    ReminderList list;
    const int n = size(rng);
    for (int i = 0; i < n; ++i) {
        const CivilDate c = CivilFromDays(base + offset(rng));
        Reminder r = testing::Make(
            MakeDateKey(c.year, c.month, c.day), static_cast<std::uint8_t>(freq(rng)),
            static_cast<std::uint8_t>(period(rng)), static_cast<std::uint8_t>(kind(rng)));
        r.description[0] = static_cast<char>('A' + i % 26);  // tells equal dates apart
        r.description[1] = static_cast<char>('A' + i / 26);
        list.InsertByDate(r);
    }
    return list;
}

TEST(RollOverPropertyTest, FastEqualsStepByStepOnRandomLists) {
    std::mt19937 rng(20261208);
    std::uniform_int_distribution<int> days(0, 3000);
    for (int round = 0; round < 3000; ++round) {
        const CivilDate t = CivilFromDays(DaysFromCivil(2020, 1, 1) + days(rng));
        const DateKey today = MakeDateKey(t.year, t.month, t.day);
        const ReminderList start = RandomSortedList(rng, today);
        ReminderList fast = start, slow = start;
        AdvancePastReminders(fast, today);
        AdvancePastRemindersStepByStep(slow, today);
        ASSERT_EQ(fast, slow) << "round " << round << " today " << today;
        for (int i = 1; i <= fast.count(); ++i) {
            ASSERT_GE(fast.at(i).date, 0);
            if (i > 1) {
                ASSERT_LE(fast.at(i - 1).date, fast.at(i).date);
            }
        }
    }
}

TEST(RollOverPropertyTest, UnsortedOrConsumedInputTakesTheLiteralPath) {
    ReminderList list;
    list.Append(testing::Make(20261201, kWeeklyPeriod, 1));
    list.Append(testing::Make(20261101, kAnnual, 1));
    list.Append(testing::Make(-20261102, kAnnual, 1));
    ReminderList literal = list;
    AdvancePastReminders(list, 20261208);
    AdvancePastRemindersStepByStep(literal, 20261208);
    EXPECT_EQ(list, literal);
}

}  // namespace
}  // namespace tessaly
