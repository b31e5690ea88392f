#include <gtest/gtest.h>

#include "core/time_text.h"

namespace tessaly {
namespace {

TEST(StoredTimeTextTest, OneRuleForEveryStoredTime) {
    struct Case {
        int stored;
        const char* text;
    } cases[] = {{0, ""},
                 {-5, ""},
                 {5, "12:05 am"},
                 {59, "12:59 am"},
                 {100, "1:00 am"},
                 {930, "9:30 am"},
                 {1159, "11:59 am"},
                 {1200, "12:00 pm"},
                 {1259, "12:59 pm"},
                 {1300, "1:00 pm"},
                 {1315, "1:15 pm"},
                 {2359, "11:59 pm"},
                 {2400, "12:00 am"},
                 {2430, "12:30 am"},
                 {2459, "12:59 am"}};
    for (const Case& c : cases) EXPECT_EQ(StoredTimeText(c.stored), c.text) << c.stored;
}

}  // namespace
}  // namespace tessaly
