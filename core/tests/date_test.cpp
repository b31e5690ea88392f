// Date helpers: tables for the documented cases, whole-range sweeps against second methods.
#include <gtest/gtest.h>

#include <tuple>

#include "core/date.h"

namespace tessaly {
namespace {

// The weekday formula the data file's dates were always computed with; true for 1898..2100.
int ReferenceDayOfWeek(int month, int year, int day) {
    if (year < 100) year += 2000;
    auto leap = [](int y) { return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0); };
    int e = (year - 1899) + (year - 1901) / 4;
    e += month <= 7 ? 30 * (month - 1) + month / 2 : 30 * (month - 1) + (month + 1) / 2;
    if (month > 2) e = e - 2 + (leap(year) ? 1 : 0);
    return ((day + e - 1) % 7 + 7) % 7;
}

TEST(DateTest, DaysInMonthFollowsTheGregorianLeapRule) {
    struct Case {
        int month, year, days;
    } cases[] = {{2, 2000, 29}, {2, 2100, 28}, {2, 2024, 29},  {2, 2026, 28}, {8, 2026, 31},
                 {9, 2026, 30}, {7, 2026, 31}, {12, 2026, 31}, {1, 1900, 31}, {2, 1900, 28}};
    for (const Case& c : cases)
        EXPECT_EQ(DaysInMonth(c.month, c.year), c.days) << c.month << "/" << c.year;
}

TEST(DateTest, DayOfWeekMatchesTheFormulaAndTheCalendarEveryDay) {
    EXPECT_EQ(DayOfWeek(1, 26, 1), 4);
    EXPECT_EQ(DayOfWeek(1, 2026, 1), 4);
    EXPECT_EQ(DayOfWeek(1, 1900, 1), 1);
    // Every day of 1898..2100 against the formula, and consecutive days step by one.
    int previous = DayOfWeek(12, 1897, 31);
    for (int y = 1898; y <= 2100; ++y) {
        for (int m = 1; m <= 12; ++m) {
            for (int d = 1; d <= DaysInMonth(m, y); ++d) {
                const int w = DayOfWeek(m, y, d);
                ASSERT_EQ(w, ReferenceDayOfWeek(m, y, d)) << y << "-" << m << "-" << d;
                ASSERT_EQ(w, (previous + 1) % 7);
                previous = w;
            }
        }
    }
}

TEST(DateTest, DaysFromCivilRoundTripsOverFourCenturies) {
    for (std::int64_t n = DaysFromCivil(1800, 1, 1); n <= DaysFromCivil(2200, 12, 31); ++n) {
        const CivilDate c = CivilFromDays(n);
        ASSERT_EQ(DaysFromCivil(c.year, c.month, c.day), n);
        ASSERT_GE(c.day, 1);
        ASSERT_LE(c.day, DaysInMonth(c.month, c.year));
    }
}

TEST(DateTest, WeekOfMonthRoundsUp) {
    const int expected[] = {0, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 3,
                            3, 3, 3, 3, 3, 3, 4, 4, 4, 4, 4, 4, 4, 5, 5, 5};
    for (int d = 1; d <= 31; ++d) EXPECT_EQ(WeekOfMonth(d), expected[d]) << d;
}

TEST(DateTest, DateKeyFromTextReadsThreeLeadingNumbers) {
    EXPECT_EQ(DateKeyFromText("12-25-2026"), 20261225);
    EXPECT_EQ(DateKeyFromText("3/5/27"), 270305);  // no year completion here
    EXPECT_EQ(DateKeyFromText("1-2"), 102);        // missing year counts as 0
    EXPECT_EQ(DateKeyFromText("x-2-2026"), 20260002);
    EXPECT_EQ(DateKeyText(20270305), "03-05-2027");
}

TEST(DateTest, ValidateDateTextRewritesAndReportsTheFirstFailingRule) {
    const DateKey today = 20261208;
    struct Case {
        const char* typed;
        const char* normal;
        const char* message;
    } cases[] = {
        {"3/5/27", "03-05-2027", ""},
        {"12/25", "12-25-2026", ""},
        {"12-8-2026", "12-08-2026", ""},  // today itself is accepted
        {"12-7-2026", "12-07-2026", "Incorrect day specified (must be after today)"},
        {"2-30-2027", "02-30-2027", "Incorrect day specified (must be after today)"},
        {"2-29-2028", "02-29-2028", ""},
        {"13-01-2027", "13-01-2027", "Month out of range"},
        {"0-01-2027", "00-01-2027", "Month out of range"},
        {"1-1-2101", "01-01-2101", "year Must be this 21st century"},
        {"1-1-1999", "01-01-1999", "Incorrect day specified (must be after today)"},
        {"1-1-5", "01-01-5", "Incorrect day specified (must be after today)"},
        {"1-1-205", "01-01-205", "Incorrect day specified (must be after today)"},
        {"1-1- 27", "01-01-2027", ""},
        {"", "0-0-2026", "Month out of range"},
    };
    for (const Case& c : cases) {
        std::string text = c.typed;
        EXPECT_EQ(ValidateDateText(text, today), c.message) << c.typed;
        EXPECT_EQ(text, c.normal) << c.typed;
    }
}

TEST(DateText, DatePartsFromTextReadsEachLeadingNumber) {
    EXPECT_EQ(DatePartsFromText("01-05-2027").month, 1);
    EXPECT_EQ(DatePartsFromText("01-05-2027").day, 5);
    EXPECT_EQ(DatePartsFromText("01-05-2027").year, 2027);
    const CivilDate slash = DatePartsFromText("12/31/2026");
    EXPECT_EQ((std::tuple{slash.month, slash.day, slash.year}), (std::tuple{12, 31, 2026}));
    const CivilDate partial = DatePartsFromText("x-7");
    EXPECT_EQ((std::tuple{partial.month, partial.day, partial.year}), (std::tuple{0, 7, 0}));
}

}  // namespace
}  // namespace tessaly
