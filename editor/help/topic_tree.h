// The two-level topic tree built from the help file's level flags, and the order it shows topics
// in.
#pragma once

#include <functional>
#include <vector>

#include "editor/help/help_file.h"

namespace tessaly::help {

// Topic numbers are 1-based, as in the file.
struct TopicBranch {
    int topic = 0;
    std::vector<int> children;
    bool operator==(const TopicBranch&) const = default;
};
using TopicTree = std::vector<TopicBranch>;

// A top-level topic (level 0) starts a branch; any other level hangs under the last branch, or
// becomes a root itself when no top-level topic has come yet. There is never a third level.
TopicTree BuildTopicTree(const std::vector<HelpTopic>& topics);

// How TopicOrder walks a tree: the tree view's own navigation, or a TopicTree's.
// Items are opaque non-zero handles; 0 means none.
template <typename Item>
struct TreeWalker {
    int count = 0;
    std::function<Item()> firstRoot;
    std::function<Item(Item)> firstChild;
    std::function<Item(Item)> nextSibling;
};

// The items in the order the tree shows them: each top-level item followed by its children.
// Walks exactly `count` entries, as the tree reports them.
template <typename Item>
std::vector<Item> TopicOrder(const TreeWalker<Item>& tree) {
    std::vector<Item> order;
    if (tree.count <= 0) return order;
    Item top = tree.firstRoot();
    Item last = top;
    bool amongChildren = false;
    order.push_back(top);
    while (static_cast<int>(order.size()) < tree.count) {
        Item next = amongChildren ? tree.nextSibling(last) : tree.firstChild(top);
        if (next) {
            amongChildren = true;
        } else {
            top = top ? tree.nextSibling(top) : Item{};
            amongChildren = false;
            next = top;
        }
        if (!next) break;  // the tree holds fewer items than it counted
        order.push_back(next);
        last = next;
    }
    return order;
}

// TopicOrder over a TopicTree, as topic numbers.
std::vector<int> TopicOrder(const TopicTree& tree);

}  // namespace tessaly::help
