// Building the topic tree and walking it in display order.
#include "editor/help/topic_tree.h"

#include <cstdint>

namespace tessaly::help {

TopicTree BuildTopicTree(const std::vector<HelpTopic>& topics) {
    TopicTree tree;
    bool haveParent = false;
    for (std::size_t i = 0; i < topics.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        if (topics[i].level == 0) {
            tree.push_back({number, {}});
            haveParent = true;
        } else if (haveParent) {
            tree.back().children.push_back(number);
        } else {
            // A sub-topic before any top-level topic stands at the root; later sub-topics do not
            // hang under it, since it is not a top-level topic.
            tree.push_back({number, {}});
        }
    }
    return tree;
}

std::vector<int> TopicOrder(const TopicTree& tree) {
    // Items encode (branch, child) as branch * kStride + child + 1 (child 0 = the branch itself),
    // so the generic walk sees the same navigation a tree view offers.
    using Item = std::int64_t;
    constexpr Item kStride = Item{1} << 32;
    auto branchOf = [&](Item item) { return static_cast<std::size_t>((item - 1) / kStride); };
    auto childOf = [&](Item item) { return static_cast<std::size_t>((item - 1) % kStride); };
    TreeWalker<Item> walker;
    int count = 0;
    for (const TopicBranch& b : tree) count += 1 + static_cast<int>(b.children.size());
    walker.count = count;
    walker.firstRoot = [&]() -> Item { return tree.empty() ? 0 : 1; };
    walker.firstChild = [&](Item item) -> Item {
        const std::size_t b = branchOf(item);
        return childOf(item) == 0 && !tree[b].children.empty() ? item + 1 : 0;
    };
    walker.nextSibling = [&](Item item) -> Item {
        const std::size_t b = branchOf(item), c = childOf(item);
        if (c == 0) return b + 1 < tree.size() ? static_cast<Item>(b + 1) * kStride + 1 : 0;
        return c < tree[b].children.size() ? item + 1 : 0;
    };
    std::vector<int> topics;
    for (Item item : TopicOrder(walker)) {
        const std::size_t b = branchOf(item), c = childOf(item);
        topics.push_back(c == 0 ? tree[b].topic : tree[b].children[c - 1]);
    }
    return topics;
}

}  // namespace tessaly::help
