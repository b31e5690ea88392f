// The topic tree's shape for the level cases, and TopicOrder's walk over it.
#include "editor/help/topic_tree.h"

#include <gtest/gtest.h>

#include <numeric>

namespace tessaly::help {
namespace {

std::vector<HelpTopic> WithLevels(std::vector<std::int32_t> levels) {
    std::vector<HelpTopic> topics;
    for (std::int32_t level : levels) topics.push_back({"text", "title", level});
    return topics;
}

TEST(TopicTreeTest, LevelsMakeAtMostTwoLevels) {
    struct Case {
        std::vector<std::int32_t> levels;
        TopicTree shape;
    };
    const Case cases[] = {
        {{0, 1, 1, 0, 1}, {{1, {2, 3}}, {4, {5}}}},
        // Any non-zero flag is a sub-topic; there is no third level.
        {{0, 1, 2, -1}, {{1, {2, 3, 4}}}},
        // A first topic with a non-zero level stands at the root, and the sub-topics after it
        // hang under the first top-level topic that follows, not under it.
        {{1, 0, 2}, {{1, {}}, {2, {3}}}},
        {{5, -1, 0, -1}, {{1, {}}, {2, {}}, {3, {4}}}},
        {{0, 0}, {{1, {}}, {2, {}}}},
        {{}, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BuildTopicTree(WithLevels(c.levels)), c.shape)
            << ::testing::PrintToString(c.levels);
    }
}

TEST(TopicTreeTest, TopicOrderIsTopicNumberOrder) {
    for (const auto& levels : std::vector<std::vector<std::int32_t>>{
             {0}, {0, 1, 1, 0, 1}, {1, 0, 2}, {0, 0, 0, 1}, {0, 1, 0, 0, 1, 1}, {-1, 3, 0}}) {
        std::vector<int> expected(levels.size());
        std::iota(expected.begin(), expected.end(), 1);
        EXPECT_EQ(TopicOrder(BuildTopicTree(WithLevels(levels))), expected)
            << ::testing::PrintToString(levels);
    }
}

// A tree view that counts more items than it can walk to ends the walk early, never loops.
TEST(TopicTreeTest, WalkStopsWhenTheTreeRunsOut) {
    TreeWalker<int> walker;
    walker.count = 5;
    walker.firstRoot = [] { return 1; };
    walker.firstChild = [](int item) { return item == 1 ? 2 : 0; };
    walker.nextSibling = [](int item) { return item == 1 ? 3 : 0; };
    EXPECT_EQ(TopicOrder(walker), (std::vector<int>{1, 2, 3}));
}

}  // namespace
}  // namespace tessaly::help
