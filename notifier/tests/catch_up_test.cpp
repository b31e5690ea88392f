// The catch-up decision over a fake clock: which wake-ups run a pass.
#include "notifier/catch_up.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

TEST(CatchUpTest, ResumeAndClockChanges) {
    CatchUp c;
    c.PassStarted(20261208);  // the pass at start-up
    c.PassEnded();
    EXPECT_FALSE(c.Wake(20261208)) << "resume on the same day";
    EXPECT_TRUE(c.Wake(20261210)) << "resume two days later";
    c.PassStarted(20261210);
    c.PassEnded();
    EXPECT_FALSE(c.Wake(20261210)) << "a second trigger close behind the first";
    EXPECT_FALSE(c.Wake(20261208)) << "clock set back to a day that had its pass";
    EXPECT_TRUE(c.Wake(20261209)) << "clock set back to a day that had none";
    EXPECT_TRUE(c.Wake(20261211)) << "the midnight timer on a new day";
}

TEST(CatchUpTest, AWakeUpDuringAPassIsDecidedWhenItEnds) {
    CatchUp c;
    c.PassStarted(20261208);
    EXPECT_FALSE(c.Wake(20261209)) << "a pass already running is not interrupted";
    EXPECT_FALSE(c.Wake(20261209));
    c.PassEnded();
    EXPECT_TRUE(c.AfterPass(20261209)) << "the new day gets its pass once the old one ends";

    c.PassStarted(20261209);
    EXPECT_FALSE(c.Wake(20261209));
    c.PassEnded();
    EXPECT_FALSE(c.AfterPass(20261209)) << "two wake-ups, one pass: still the day of the pass";
}

// A pop-up answered after midnight ends the pass on a day that has had none: its pass runs at
// once, wake-up or not, instead of a day later.
TEST(CatchUpTest, APassEndingOnALaterDayIsFollowedByThatDaysPass) {
    CatchUp c;
    c.PassStarted(20261208);
    c.PassEnded();
    EXPECT_TRUE(c.AfterPass(20261209));
    c.PassStarted(20261209);
    c.PassEnded();
    EXPECT_FALSE(c.AfterPass(20261209)) << "the new day had its pass";

    c.PassStarted(20261210);
    c.PassEnded();
    EXPECT_FALSE(c.AfterPass(20261209)) << "the clock set back to a day that had its pass";
}

TEST(CatchUpTest, RemembersAYearOfDays) {
    CatchUp c;
    std::int64_t day = DaysFromCivil(2026, 1, 1);
    for (int i = 0; i < 500; ++i, ++day) {
        const CivilDate d = CivilFromDays(day);
        c.PassStarted(MakeDateKey(d.year, d.month, d.day));
        c.PassEnded();
    }
    EXPECT_TRUE(c.HadPass(20270101));
    EXPECT_FALSE(c.Wake(20270101));
    EXPECT_TRUE(c.Wake(20260101)) << "long forgotten";
}

}  // namespace
}  // namespace tessaly
