// Any byte string as a help file, through everything the help window does with it short of
// drawing: reading it in little more memory than the file, the topic tree and the order the tree
// shows, and a search run forward to its end and back again. What is read writes out and reads
// back the same; the tree holds every topic once, at most two levels deep, and shows them in
// file order; every match the search shows is a real occurrence, Next and Prev visit the matches
// one after the other in order, and both end by saying there is no more.
//
// The search text: when the file is whole and bytes follow it, those bytes (the first one's low
// bit is the whole-word option); otherwise a stretch of a topic's text picked by the file's hash.
#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "editor/help/help_file.h"
#include "editor/help/topic_search.h"
#include "editor/help/topic_tree.h"
#include "tests/fuzz/heap_watch.h"
#include "tests/fuzz/scratch_folder.h"

namespace {

using namespace tessaly::help;
using tessaly::fuzz::Require;

// The texts, which never exceed the file, and a HelpTopic for at most every two bytes of it.
constexpr std::size_t kReadMultiple = 2 + sizeof(HelpTopic) / 2;
constexpr std::size_t kFixedBytes = 64 << 10;
constexpr std::size_t kMostSearchText = 64;
// A search over many short matches is walked this far, enough to cross every topic of a file
// the fuzzer makes without turning one input into minutes.
constexpr int kMostSteps = 20'000;

std::uint64_t Hash(std::span<const std::uint8_t> bytes) {
    std::uint64_t h = 14695981039346656037ull;
    for (std::uint8_t b : bytes) h = (h ^ b) * 1099511628211ull;
    return h;
}

bool WordCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Independent of the search's own scan: every accepted occurrence, as (order position, 1-based
// character position), in order.
struct Occurrence {
    int index = 0;
    int position = 0;
    auto operator<=>(const Occurrence&) const = default;
};

std::vector<Occurrence> AllOccurrences(const std::vector<std::string_view>& texts,
                                       const std::string& lowered, bool wholeWord) {
    std::vector<Occurrence> found;
    const std::size_t n = lowered.size();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const std::string t = LowerCp1252(texts[i]);
        for (std::size_t at = t.find(lowered); at != std::string::npos;
             at = t.find(lowered, at + 1)) {
            if (wholeWord && ((at > 0 && WordCharacter(t[at - 1])) ||
                              (at + n < t.size() && WordCharacter(t[at + n])))) {
                continue;
            }
            found.push_back({static_cast<int>(i) + 1, static_cast<int>(at) + 1});
        }
    }
    return found;
}

// The selection the window makes for a match: its characters.
PaneSelection SelectionOf(const Occurrence& m, std::size_t length) {
    return {m.position - 1, m.position - 1 + static_cast<int>(length)};
}

// Where the next match may begin after m: at m's last character or later, but never in m's own
// place; and the latest end a previous match may have: m's first character, never m's own place.
Occurrence NextAllowed(const Occurrence& m, int length) {
    return {m.index, m.position + std::max(length - 1, 1)};
}

void CheckSearch(const std::vector<std::string_view>& texts, std::string_view answer,
                 bool wholeWord) {
    SearchState state;
    std::string trimmed(answer);
    trimmed.erase(0, trimmed.find_first_not_of(' '));
    trimmed.erase(trimmed.find_last_not_of(' ') + 1);
    SearchStep step = StartSearch(state, answer, wholeWord, texts);
    if (trimmed.empty()) {
        Require(step.result == SearchStep::Result::kNothing && state.text.empty(),
                "a blank search text started a search");
        return;
    }
    const std::string lowered = LowerCp1252(trimmed);
    Require(state.text == lowered, "the search text is not the answer trimmed and lowered");
    const int length = static_cast<int>(lowered.size());
    const std::vector<Occurrence> all = AllOccurrences(texts, lowered, wholeWord);

    if (all.empty()) {
        Require(step.result == SearchStep::Result::kNoneFound, "a search for nothing there found");
        Require(SearchNext(state, {}, texts).result == SearchStep::Result::kNoneFound,
                "Next after None found found something");
        return;
    }
    auto matchOf = [](const SearchStep& s) { return Occurrence{s.index, s.position}; };
    Require(step.result == SearchStep::Result::kMatch && matchOf(step) == all.front(),
            "a new search did not show the first occurrence");

    // Forward: each Next shows the first occurrence from the last match's last character on.
    Occurrence last = all.front();
    int steps = 0;
    for (;; ++steps) {
        if (steps == kMostSteps) return;
        step = SearchNext(state, SelectionOf(last, lowered.size()), texts);
        const auto expected = std::lower_bound(all.begin(), all.end(), NextAllowed(last, length));
        if (expected == all.end()) break;
        Require(step.result == SearchStep::Result::kMatch && matchOf(step) == *expected,
                "Next did not show the next occurrence");
        for (int passed : step.passed) {
            Require(passed >= last.index && passed < expected->index,
                    "Next unmarked a topic it did not pass");
        }
        last = *expected;
    }
    Require(step.result == SearchStep::Result::kNoMoreFound && matchOf(step) == last,
            "Next past the last match did not say No more found and show it again");
    Require(SearchNext(state, SelectionOf(last, lowered.size()), texts).result ==
                SearchStep::Result::kNoMoreFound,
            "Next after No more found found something");

    // Backward from there: each Prev shows the last occurrence that ends at the last match's
    // first character or earlier.
    for (;; ++steps) {
        if (steps == kMostSteps) return;
        step = SearchPrev(state, SelectionOf(last, lowered.size()), texts);
        auto expected = all.end();
        for (auto it = std::lower_bound(all.begin(), all.end(), last); it != all.begin();) {
            --it;
            const int lastEnd = length == 1 ? last.position - 1 : last.position;
            if (it->index < last.index || it->position + length - 1 <= lastEnd) {
                expected = it;
                break;
            }
        }
        if (expected == all.end()) break;
        Require(step.result == SearchStep::Result::kMatch && matchOf(step) == *expected,
                "Prev did not show the previous occurrence");
        last = *expected;
    }
    Require(step.result == SearchStep::Result::kNoMoreFound && matchOf(step) == last,
            "Prev before the first match did not say No more found and show it again");
    CancelSearch(state);
    Require(SearchNext(state, {}, texts).result == SearchStep::Result::kNothing &&
                SearchPrev(state, {}, texts).result == SearchStep::Result::kNothing,
            "Next or Prev did something after Find cancel");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);
    HelpFile file;
    {
        tessaly::fuzz::HeapWatch heap;
        file = ReadHelpFile(input);
        heap.Require(kReadMultiple * size + kFixedBytes, "reading the help file");
    }
    const std::vector<HelpTopic>& topics = file.topics;
    Require((file.status == HelpFileStatus::kOk) == !topics.empty(),
            "topics read from a file that has none, or none from one that has");
    if (file.status != HelpFileStatus::kOk) return 0;
    Require(topics.size() <= kMaxHelpTopics && topics.size() <= size / 2,
            "more topics than the file holds");
    for (const HelpTopic& t : topics) {
        Require(t.text.size() <= kMaxHelpText && t.title.size() <= kMaxHelpText,
                "a text longer than its length field can say");
    }

    // What was read writes out and reads back the same; a whole file writes out as it is.
    const std::vector<std::uint8_t> written = WriteHelpFile(topics);
    const HelpFile again = ReadHelpFile(written);
    Require(again.status == HelpFileStatus::kOk, "a written help file has no content");
    Require(again.topics.size() == topics.size(), "a written help file reads other topics");
    for (std::size_t i = 0; i < topics.size(); ++i) {
        Require(again.topics[i].text == topics[i].text &&
                    again.topics[i].title == topics[i].title &&
                    again.topics[i].level == topics[i].level,
                "a written help file reads another topic");
    }
    const bool whole =
        written.size() <= size && std::equal(written.begin(), written.end(), input.begin());

    // The tree: every topic once, roots before children, sub-topics only under a top-level one.
    const TopicTree tree = BuildTopicTree(topics);
    std::vector<int> shown;
    bool sawTopLevel = false;
    for (const TopicBranch& branch : tree) {
        const HelpTopic& root = topics[static_cast<std::size_t>(branch.topic - 1)];
        Require(root.level == 0 || !sawTopLevel, "a sub-topic at the root after a top-level one");
        Require(branch.children.empty() || root.level == 0, "a sub-topic with sub-topics");
        sawTopLevel = sawTopLevel || root.level == 0;
        shown.push_back(branch.topic);
        for (int child : branch.children) {
            Require(topics[static_cast<std::size_t>(child - 1)].level != 0,
                    "a top-level topic under another");
            shown.push_back(child);
        }
    }
    const std::vector<int> order = TopicOrder(tree);
    std::vector<int> fileOrder(topics.size());
    for (std::size_t i = 0; i < fileOrder.size(); ++i) fileOrder[i] = static_cast<int>(i) + 1;
    Require(shown == fileOrder, "the tree does not hold every topic once, in file order");
    Require(order == fileOrder, "the topic order is not the file's");

    std::vector<std::string_view> texts;
    for (int topic : order) texts.push_back(topics[static_cast<std::size_t>(topic - 1)].text);
    if (whole && written.size() < size) {
        const std::span<const std::uint8_t> rest = input.subspan(written.size());
        const std::span<const std::uint8_t> text =
            rest.subspan(1, std::min(rest.size() - 1, kMostSearchText));
        CheckSearch(texts, std::string(text.begin(), text.end()), (rest[0] & 1) != 0);
    } else {
        const std::uint64_t h = Hash(input);
        const std::string_view t = texts[h % texts.size()];
        const std::size_t at = t.empty() ? 0 : (h >> 16) % t.size();
        const std::string_view stretch = t.substr(at, 1 + (h >> 40) % 12);
        CheckSearch(texts, stretch.empty() ? std::string_view("help") : stretch, (h >> 8) & 1);
    }
    return 0;
}
