#include <gtest/gtest.h>

#include "core/time_text.h"

namespace tessaly {
namespace {

// The text and the minute of the day come from one stored value; the alerts go off by the
// minute, so both must name the same clock time.
TEST(StoredTimeTextTest, OneRuleForEveryStoredTime) {
    struct Case {
        int stored;
        const char* text;
        int minutes;  // -1: no time
    } cases[] = {{0, "", -1},
                 {-5, "", -1},
                 {5, "12:05 am", 5},
                 {59, "12:59 am", 59},
                 {100, "1:00 am", 60},
                 {930, "9:30 am", 570},
                 {1159, "11:59 am", 719},
                 {1200, "12:00 pm", 720},
                 {1259, "12:59 pm", 779},
                 {1300, "1:00 pm", 780},
                 {1315, "1:15 pm", 795},
                 {2359, "11:59 pm", 1439},
                 {2400, "12:00 am", 0},
                 {2430, "12:30 am", 30},
                 {2459, "12:59 am", 59}};
    for (const Case& c : cases) {
        EXPECT_EQ(StoredTimeText(c.stored), c.text) << c.stored;
        EXPECT_EQ(StoredTimeMinutes(c.stored).value_or(-1), c.minutes) << c.stored;
    }
    // Damaged records: no clock time, so nothing can go off at it.
    for (int stored : {60, 175, 1299, 2360, 2460, 2500, 32767}) {
        EXPECT_FALSE(StoredTimeMinutes(stored).has_value()) << stored;
    }
}

}  // namespace
}  // namespace tessaly
