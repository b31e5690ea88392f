// Next occurrences, the roll-over, the notification window and days left.
#include <gtest/gtest.h>

#include <vector>

#include "core/occurrence.h"
#include "core/tests/test_reminders.h"

namespace tessaly {
namespace {

using testing::Make;

constexpr DateKey kToday = 20261208;

TEST(NextOccurrenceTest, EachFrequency) {
    struct Case {
        const char* what;
        DateKey date;
        std::uint8_t frequency, period;
        DateKey today, next;
    } cases[] = {
        {"monthly 31 Jan cut to February", 20270131, kMonthlyPeriod, 1, 20270131, 20270228},
        {"monthly 31 Jan, leap year", 20280131, kMonthlyPeriod, 1, 20280131, 20280229},
        {"monthly Dec + 2 wraps the year", 20261210, kMonthlyPeriod, 2, 20261210, 20270210},
        {"monthly period above 12 carries years", 20261210, kMonthlyPeriod, 25, 20261210, 20290110},
        {"monthly period 0 counts as 1", 20261210, kMonthlyPeriod, 0, 20261210, 20270110},
        {"monthly far behind jumps past today", 20200115, kMonthlyPeriod, 5, kToday, 20270215},
        {"monthly ahead still moves once", 20270105, kMonthlyPeriod, 1, kToday, 20270205},
        {"monthly 31st seen on 28 Feb is today", 20270131, kMonthlyPeriod, 1, 20270228, 20270228},
        {"weekly two weeks over the new year", 20261224, kWeeklyPeriod, 2, 20261224, 20270107},
        {"weekly skips the roll-over day", 20261201, kWeeklyPeriod, 1, kToday, 20261215},
        {"weekly lands after today", 20261201, kWeeklyPeriod, 1, 20261207, 20261208},
        {"weekly ahead moves once", 20261220, kWeeklyPeriod, 1, kToday, 20261227},
        {"weekday months 2nd Tuesday", 20261208, kWeekdayMonths, 1, kToday, 20270112},
        {"weekday months 1st Sunday", 20261101, kWeekdayMonths, 1, 20261101, 20261206},
        {"weekday months Nov + 3", 20261110, kWeekdayMonths, 3, 20261110, 20270209},
        {"weekday months 5th Thursday falls back", 20261029, kWeekdayMonths, 1, 20261029, 20261126},
        {"annual once, even when still behind", 20250501, kAnnual, 1, kToday, 20260501},
        {"unknown frequency keeps the date", 20261201, 9, 1, kToday, 20261201},
    };
    for (const Case& c : cases) {
        const std::optional<DateKey> next =
            NextOccurrence(Make(c.date, c.frequency, c.period), c.today);
        ASSERT_TRUE(next.has_value()) << c.what;
        EXPECT_EQ(*next, c.next) << c.what;
    }
    EXPECT_FALSE(NextOccurrence(Make(20261201, kOneTime), kToday));
    EXPECT_FALSE(NextOccurrence(Make(20261201, 0), kToday));
}

// Literal loops of the stepping rules, to hold the computed jumps to.
DateKey LiteralMonthly(DateKey date, int period, DateKey today) {
    CivilDate c = SplitDateKey(date);
    std::int64_t y = c.year, m = c.month;
    do {
        m += period;
        while (m > 12) m -= 12, ++y;
    } while (MakeDateKey(y, m, c.day) <= today);
    return MakeDateKey(y, m, std::min(c.day, DaysInMonth(int(m), int(y))));
}

DateKey LiteralWeekly(DateKey date, int period, DateKey today) {
    CivilDate c = SplitDateKey(date);
    int y = c.year, m = c.month, d = c.day;
    do {
        for (int i = 0; i < period; ++i) {
            d += 7;
            if (d > DaysInMonth(m, y)) {
                d -= DaysInMonth(m, y);
                if (++m > 12) m = 1, ++y;
            }
        }
    } while (MakeDateKey(y, m, d) <= today);
    return MakeDateKey(y, m, d);
}

TEST(NextOccurrenceTest, ComputedJumpsEqualTheLiteralLoops) {
    std::uint32_t seed = 12345;
    auto next = [&](std::uint32_t n) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % n;
    };
    for (int i = 0; i < 20000; ++i) {
        const int y = 1995 + int(next(40)), m = 1 + int(next(12)), d = 1 + int(next(31));
        const DateKey date = MakeDateKey(y, m, d);  // some overlong days on purpose
        const DateKey today = MakeDateKey(2000 + next(30), 1 + next(12), 1 + next(28));
        const int period = 1 + int(next(30));
        ASSERT_EQ(*NextOccurrence(Make(date, kMonthlyPeriod, period), today),
                  LiteralMonthly(date, period, today))
            << date << " " << period << " " << today;
        ASSERT_EQ(*NextOccurrence(Make(date, kWeeklyPeriod, period), today),
                  LiteralWeekly(date, period, today))
            << date << " " << period << " " << today;
    }
}

TEST(OccursOnTest, TheDaysEachFrequencyRecursOn) {
    struct Case {
        const char* what;
        DateKey date;
        std::uint8_t frequency, period;
        DateKey day;
        bool occurs;
    } cases[] = {
        {"one time: its date", 20261208, kOneTime, 1, 20261208, true},
        {"one time: not after", 20261208, kOneTime, 1, 20261215, false},
        {"before its date nothing", 20261215, kWeeklyPeriod, 1, 20261208, false},
        {"frequency 0 is one time", 20261201, 0, 1, 20261208, false},
        {"an unknown frequency never moves", 20261201, 9, 1, 20261208, false},
        {"annual, stored a year behind", 20250501, kAnnual, 1, 20260501, true},
        {"annual, years on", 20250501, kAnnual, 1, 20300501, true},
        {"annual, not the day after", 20250501, kAnnual, 1, 20260502, false},
        {"annual 29 Feb skips 28 Feb", 20240229, kAnnual, 1, 20250228, false},
        {"annual 29 Feb skips 1 Mar", 20240229, kAnnual, 1, 20250301, false},
        {"annual 29 Feb in the next leap year", 20240229, kAnnual, 1, 20280229, true},
        {"monthly every 2 months", 20261215, kMonthlyPeriod, 2, 20270215, true},
        {"monthly, not between", 20261215, kMonthlyPeriod, 2, 20270115, false},
        {"monthly 31 Jan cut to 28 Feb", 20270131, kMonthlyPeriod, 1, 20270228, true},
        {"monthly once cut stays cut", 20270131, kMonthlyPeriod, 1, 20270328, true},
        {"monthly once cut, not the 31st", 20270131, kMonthlyPeriod, 1, 20270331, false},
        {"monthly 31st, 30-day month", 20261031, kMonthlyPeriod, 1, 20261130, true},
        {"monthly from the 30th, then the 30th", 20261031, kMonthlyPeriod, 1, 20261230, true},
        {"monthly period 0 counts as 1", 20261110, kMonthlyPeriod, 0, 20261210, true},
        {"monthly far behind", 20200115, kMonthlyPeriod, 5, 20270215, true},
        {"weekly 2 weeks over the new year", 20261224, kWeeklyPeriod, 2, 20270107, true},
        {"weekly 2 weeks, the week between", 20261224, kWeeklyPeriod, 2, 20261231, false},
        {"weekly period 0 counts as 1", 20261201, kWeeklyPeriod, 0, 20261208, true},
        {"weekly years behind", 20200102, kWeeklyPeriod, 1, 20261224, true},
        {"weekday months 2nd Tuesday", 20261208, kWeekdayMonths, 1, 20270112, true},
        {"weekday months, a week later", 20261208, kWeekdayMonths, 1, 20270119, false},
        {"weekday months 5th Thursday to the last", 20261029, kWeekdayMonths, 1, 20261126, true},
        {"weekday months then the 4th", 20261029, kWeekdayMonths, 1, 20261224, true},
        {"consumed", -20261208, kWeeklyPeriod, 1, 20261208, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OccursOn(Make(c.date, c.frequency, c.period), c.day), c.occurs) << c.what;
    }
}

// The shortcut finds what stepping one occurrence at a time finds, for every day of three
// years, days that months cut among them.
TEST(OccursOnTest, EqualsSteppingOneOccurrenceAtATime) {
    const auto stepped = [](Reminder r, DateKey day) {
        while (r.date < day) {
            const std::optional<DateKey> next = NextOccurrence(r, r.date);
            if (!next || *next <= r.date) return false;
            r.date = *next;
        }
        return r.date == day;
    };
    std::vector<Reminder> reminders;
    for (std::uint8_t frequency : {kMonthlyPeriod, kWeeklyPeriod, kWeekdayMonths, kAnnual}) {
        for (std::uint8_t period : {1, 2, 12, 13}) {
            for (DateKey date : {20251031, 20251129, 20251130, 20260131, 20260115, 20260329,
                                 20251232 /* damaged: overlong */}) {
                reminders.push_back(Make(date, frequency, period));
            }
        }
    }
    const std::int64_t first = DaysFromCivil(2025, 10, 1);
    for (std::int64_t n = first; n < first + 3 * 366; ++n) {
        const CivilDate c = CivilFromDays(n);
        const DateKey day = MakeDateKey(c.year, c.month, c.day);
        for (const Reminder& r : reminders) {
            ASSERT_EQ(OccursOn(r, day), stepped(r, day))
                << r.date << " frequency " << int(r.frequency) << " period " << int(r.period)
                << " on " << day;
        }
    }
}

TEST(AdvanceReminderTest, CopyGoesInByDateAndTheEntryIsConsumed) {
    ReminderList list;
    list.Append(Make(20261201, kWeeklyPeriod, 1));
    list.Append(Make(20261210));
    list.Append(Make(20261220));
    AdvanceReminder(list, 1, kToday);
    ASSERT_EQ(list.count(), 4);
    EXPECT_EQ(list.at(1).date, -20261215);
    EXPECT_EQ(list.at(3).date, 20261215);

    AdvanceReminder(list, 2, kToday);  // one-time: consumed, no copy
    EXPECT_EQ(list.count(), 4);
    EXPECT_EQ(list.at(2).date, -20261210);
}

TEST(RollOverTest, ArchivesPrunesAdvancesAndSavesBetween) {
    ReminderList current, archive;
    current.Append(Make(20261101, kOneTime, 1, kAppointment, "old appointment"));
    current.Append(Make(20261105, kOneTime, 1, kBirthday, "old one-time birthday"));
    current.Append(Make(20261201, kWeeklyPeriod, 1, kMeeting, "weekly"));
    current.Append(Make(kToday, kOneTime, 1, kMeeting, "today"));
    current.Append(Make(20261224, kAnnual, 1, kBirthday, "future"));
    archive.Append(Make(20261107));  // a day before the cut-off: pruned
    archive.Append(Make(20261108));  // on the cut-off: kept

    ReminderList currentAtSave, archiveAtSave;
    RollOver(current, archive, kToday, [&] {
        currentAtSave = current;
        archiveAtSave = archive;
    });
    // At the save, past one-time appointments are in both lists.
    EXPECT_EQ(currentAtSave.count(), 5);
    ASSERT_EQ(archiveAtSave.count(), 2);
    EXPECT_EQ(archiveAtSave.at(1).date, 20261108);
    EXPECT_EQ(archiveAtSave.at(2).date, 20261101);
    EXPECT_EQ(archive, archiveAtSave);

    std::vector<DateKey> dates;
    for (const Reminder& r : current.entries()) dates.push_back(r.date);
    EXPECT_EQ(dates, (std::vector<DateKey>{kToday, 20261215, 20261224}));
}

TEST(RollOverTest, CopiesWithinTheFirstEntriesAreAdvancedAgainOthersWait) {
    // One entry: its still-past copy lands beyond the count and waits.
    ReminderList current, archive;
    current.Append(Make(20250501, kAnnual, 1, kBirthday));
    RollOver(current, archive, kToday);
    ASSERT_EQ(current.count(), 1);
    EXPECT_EQ(current.at(1).date, 20260501);

    // With a later past entry behind it, the copy lands within the count and moves again,
    // which pushes that later entry beyond the count: it waits for the next roll-over.
    current = ReminderList();
    current.Append(Make(20250501, kAnnual, 1, kBirthday, "a"));
    current.Append(Make(20261101, kAnnual, 1, kBirthday, "b"));
    RollOver(current, archive, kToday);
    ASSERT_EQ(current.count(), 2);
    EXPECT_EQ(current.at(1).date, 20261101);
    EXPECT_EQ(current.at(2).date, 20270501);
}

// Two entries, two turns: the birthday's copy, still past, takes the second, so the appointment
// gets none. It was archived, so it leaves the current list all the same, never to be archived
// twice.
TEST(RollOverTest, APastOneTimeEntryWithoutATurnLeavesOnceArchived) {
    for (const int frequency : {int{kAnnual}, 9}) {  // 9: damaged, keeps its date
        ReminderList current, archive;
        current.Append(Make(20251115, std::uint8_t(frequency), 1, kBirthday, "a year behind"));
        current.Append(Make(20261201, kOneTime, 1, kAppointment, "last week"));
        RollOver(current, archive, kToday);
        ASSERT_EQ(archive.count(), 1) << frequency;
        EXPECT_EQ(archive.at(1).date, 20261201);
        ASSERT_EQ(current.count(), 1);
        EXPECT_EQ(current.at(1).frequency, frequency);

        RollOver(current, archive, kToday);
        EXPECT_EQ(archive.count(), 1);
    }
}

TEST(RollOverTest, CutOffKeyKeepsTheUncutDay) {
    ReminderList current, archive;
    archive.Append(Make(20270228));
    archive.Append(Make(20270301));
    RollOver(current, archive, 20270331);  // cut-off 20270231: 28 February goes
    ASSERT_EQ(archive.count(), 1);
    EXPECT_EQ(archive.at(1).date, 20270301);

    archive.Append(Make(20261214));
    RollOver(current, archive, 20270115);  // January looks back to December
    EXPECT_EQ(archive.count(), 1);
}

TEST(NotifyLimitTest, CarriesOneMonthOnly) {
    EXPECT_EQ(NotifyLimit(0, kToday), kToday);
    EXPECT_EQ(NotifyLimit(3, 20261230), 20270102);
    EXPECT_EQ(NotifyLimit(30, 20270131), 20270230);
    EXPECT_EQ(NotifyLimit(5, 20261208), 20261213);
}

TEST(DaysUntilTest, TrueSignedDays) {
    EXPECT_EQ(DaysUntil(20270105, kToday), 28);
    EXPECT_EQ(DaysUntil(20271210, kToday), 367);
    EXPECT_EQ(DaysUntil(kToday, kToday), 0);
    EXPECT_EQ(DaysUntil(20261201, kToday), -7);
    EXPECT_EQ(DaysUntil(20261101, kToday), -37);   // an earlier month, where the old loop erred
    EXPECT_EQ(DaysUntil(20270230, 20270131), 30);  // an overlong day counts on
}

}  // namespace
}  // namespace tessaly
