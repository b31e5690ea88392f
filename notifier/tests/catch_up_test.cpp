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

// The midnight timer's pass is never skipped, above all after a clock that was set ahead and
// then corrected backwards across midnight: the real day's pass, its pop-ups and any "Remind
// Again" would be lost.
TEST(CatchUpTest, TheMidnightTimerAlwaysRunsTheNewDaysPass) {
    struct Step {
        const char* what;
        char event;  // 'p' start-up, 'w' a wake-up, 't' the midnight timer set on `began`
        DateKey today;
        DateKey began;
        bool pass;
    };
    const Step steps[] = {
        {"start-up", 'p', 20261210, 0, true},
        {"clock set ahead past midnight", 'w', 20261211, 0, true},
        {"clock corrected back", 'w', 20261210, 0, false},
        {"the real midnight", 't', 20261211, 20261210, true},
        {"clock set ahead a week", 'w', 20261218, 0, true},
        {"and back again", 'w', 20261211, 0, false},
        {"midnight", 't', 20261212, 20261211, true},
        {"the timer on a day set back without notice", 't', 20261212, 20261212, false},
        {"a resume on a day the clock visited ahead", 'w', 20261218, 0, false},
        {"its midnight", 't', 20261218, 20261217, true},
    };
    CatchUp c;
    for (const Step& s : steps) {
        bool pass = true;
        if (s.event == 'w') pass = c.Wake(s.today);
        if (s.event == 't') pass = c.MidnightTimer(s.began, s.today);
        EXPECT_EQ(pass, s.pass) << s.what;
        if (pass) {
            c.PassStarted(s.today);
            c.PassEnded();
            EXPECT_FALSE(c.AfterPass(s.today)) << s.what;
        }
    }
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
