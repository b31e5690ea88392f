// The topic search as tables over a small topic set: whole words, continuation, case, the end.
#include "editor/help/topic_search.h"

#include <gtest/gtest.h>

namespace tessaly::help {
namespace {

using Result = SearchStep::Result;

// What the help window does between steps: it selects the match in the pane, so the next step
// starts from that selection.
struct Search {
    explicit Search(std::vector<std::string> topics) : stored(std::move(topics)) {
        for (const std::string& t : stored) texts.push_back(t);
    }
    SearchStep Step(char command, std::string_view answer = {}, bool whole = false) {
        SearchStep s = command == 'f'   ? StartSearch(state, answer, whole, texts)
                       : command == 'n' ? SearchNext(state, selection, texts)
                                        : SearchPrev(state, selection, texts);
        if (s.result == Result::kMatch || s.result == Result::kNoMoreFound) {
            const int length = static_cast<int>(state.text.size());
            selection = {s.position - 1, s.position - 1 + length};
        }
        return s;
    }
    std::vector<std::string> stored;
    std::vector<std::string_view> texts;
    SearchState state;
    PaneSelection selection;
};

struct Expect {
    char command;  // f: Find text (with answer, whole), n: Next, p: Prev
    std::string answer;
    bool whole;
    Result result;
    int index, position;
};

void RunSteps(const std::vector<std::string>& topics, const std::vector<Expect>& steps) {
    Search search(topics);
    int n = 0;
    for (const Expect& e : steps) {
        SCOPED_TRACE(::testing::Message() << "step " << ++n << " '" << e.command << "'");
        const SearchStep s = search.Step(e.command, e.answer, e.whole);
        EXPECT_EQ(s.result, e.result);
        EXPECT_EQ(s.index, e.index);
        EXPECT_EQ(s.position, e.position);
    }
}

const std::vector<std::string> kTopics = {
    "Catalogue of cats. A cat sleeps.",  // "cat" alone at 22
    "Oxo xax box.",                      // "x" only inside words
    "Mix x and X. No cat here: CAT.",    // "x" alone at 5 and 11 (not 3); "cat" at 17, 27
};

TEST(TopicSearchTest, WholeWordAndInsideWords) {
    RunSteps(kTopics, {
                          {'f', "cat", false, Result::kMatch, 1, 1},
                          {'f', "cat", true, Result::kMatch, 1, 22},
                          {'n', "", false, Result::kMatch, 3, 17},
                          {'n', "", false, Result::kMatch, 3, 27},
                          // At the last match of the last topic: no wrapping, the match again.
                          {'n', "", false, Result::kNoMoreFound, 3, 27},
                          {'n', "", false, Result::kNoMoreFound, 3, 27},
                          {'p', "", false, Result::kMatch, 3, 17},
                          {'p', "", false, Result::kMatch, 1, 22},
                          {'p', "", false, Result::kNoMoreFound, 1, 22},
                          // Clearing the box again finds "cat" inside longer words.
                          {'f', "cat", false, Result::kMatch, 1, 1},
                          {'n', "", false, Result::kMatch, 1, 14},
                      });
}

TEST(TopicSearchTest, OneCharacterWholeWordSkipsTopicsWhereItIsInsideWords) {
    RunSteps(kTopics, {
                          {'f', "x", true, Result::kMatch, 3, 5},
                          {'n', "", false, Result::kMatch, 3, 11},
                          {'p', "", false, Result::kMatch, 3, 5},
                          // Backward through "Oxo xax box." and the first topic: nothing there.
                          {'p', "", false, Result::kNoMoreFound, 3, 5},
                      });
}

// Without whole words a one-character text moves on by one character each step, both ways
// (it would otherwise find the shown match again and never move).
TEST(TopicSearchTest, OneCharacterStepsMoveOn) {
    RunSteps(kTopics, {
                          {'f', "x", false, Result::kMatch, 2, 2},
                          {'n', "", false, Result::kMatch, 2, 5},
                          {'n', "", false, Result::kMatch, 2, 7},
                          {'p', "", false, Result::kMatch, 2, 5},
                          {'p', "", false, Result::kMatch, 2, 2},
                          {'p', "", false, Result::kNoMoreFound, 2, 2},
                      });
}

// Next starts at the match's last character, Prev ends at its first: overlapping occurrences.
TEST(TopicSearchTest, ContinuationOverlaps) {
    RunSteps({"aaaa", "baab"}, {
                                   {'f', "aa", false, Result::kMatch, 1, 1},
                                   {'n', "", false, Result::kMatch, 1, 2},
                                   {'n', "", false, Result::kMatch, 1, 3},
                                   {'n', "", false, Result::kMatch, 2, 2},
                                   {'p', "", false, Result::kMatch, 1, 3},
                                   {'p', "", false, Result::kMatch, 1, 2},
                                   {'p', "", false, Result::kMatch, 1, 1},
                                   {'p', "", false, Result::kNoMoreFound, 1, 1},
                               });
}

TEST(TopicSearchTest, CaseBlindIncludingAccentedLetters) {
    EXPECT_EQ(LowerCp1252("AZaz09 \xC0\xDE\xD7\xDF \x8A\x8C\x8E\x9F"),
              "azaz09 \xE0\xFE\xD7\xDF \x9A\x9C\x9E\xFF");
    RunSteps({"Summer: \xE9t\xE9 (French)", "no match"},
             {
                 {'f', "\xC9T\xC9", false, Result::kMatch, 1, 9},
                 {'f', "FRENCH", true, Result::kMatch, 1, 14},
             });
}

TEST(TopicSearchTest, NoneFoundAndNoMoreFound) {
    RunSteps(kTopics, {
                          {'f', "zebra", false, Result::kNoneFound, 0, 0},
                          {'f', "sleeps", false, Result::kMatch, 1, 26},
                          {'n', "", false, Result::kNoMoreFound, 1, 26},
                          // A new search that finds nothing is "None found", whatever came before.
                          {'f', "zebra", false, Result::kNoneFound, 0, 0},
                          {'n', "", false, Result::kNoneFound, 0, 0},
                      });
}

TEST(TopicSearchTest, EmptyAnswerAndCancel) {
    Search search(kTopics);
    ASSERT_EQ(search.Step('f', "  cat  ").result, Result::kMatch);
    EXPECT_EQ(search.state.text, "cat");
    // An all-blank answer keeps the search and takes over only the whole-word choice.
    EXPECT_EQ(search.Step('f', "   ", true).result, Result::kNothing);
    EXPECT_EQ(search.state.text, "cat");
    EXPECT_TRUE(search.state.wholeWord);
    CancelSearch(search.state);
    EXPECT_EQ(search.Step('n').result, Result::kNothing);
    EXPECT_EQ(search.Step('p').result, Result::kNothing);
}

// A whole-word step backward that rejects an occurrence at the very end of a topic still looks
// at the occurrences before it.
TEST(TopicSearchTest, PrevPastARejectedLastCharacter) {
    RunSteps({"x yx", "x"}, {
                                {'f', "x", true, Result::kMatch, 1, 1},
                                {'n', "", false, Result::kMatch, 2, 1},
                                {'p', "", false, Result::kMatch, 1, 1},
                            });
}

// Both ways the end leaves the search at the match it shows again, also when a whole word was
// rejected in a topic beyond it: the step back (or on) then starts from that match and never
// shows it a second time.
TEST(TopicSearchTest, AfterTheEndTheNextStepStartsFromTheMatchShown) {
    const std::vector<std::string> topics = {"A p-level topic", "Top text", "p"};
    RunSteps(topics, {
                         {'f', "p", true, Result::kMatch, 1, 3},
                         {'n', "", false, Result::kMatch, 3, 1},
                         {'n', "", false, Result::kNoMoreFound, 3, 1},
                         {'p', "", false, Result::kMatch, 1, 3},
                         {'p', "", false, Result::kNoMoreFound, 1, 3},
                         {'n', "", false, Result::kMatch, 3, 1},
                     });
    RunSteps({"A p-level topic", "Top text"}, {
                                                  {'f', "p", true, Result::kMatch, 1, 3},
                                                  {'n', "", false, Result::kNoMoreFound, 1, 3},
                                                  {'p', "", false, Result::kNoMoreFound, 1, 3},
                                              });
    RunSteps({"Top text", "A p-level topic"}, {
                                                  {'f', "p", true, Result::kMatch, 2, 3},
                                                  {'p', "", false, Result::kNoMoreFound, 2, 3},
                                                  {'n', "", false, Result::kNoMoreFound, 2, 3},
                                              });
}

// Stepping back past a rejected occurrence, the ones that overlap it are still found: here
// "----" at 2, accepted, under the rejected one at 3 (followed by "b").
TEST(TopicSearchTest, PrevPastARejectedOccurrenceFindsOverlappingOnes) {
    RunSteps({"------b", "----"}, {
                                      {'f', "----", true, Result::kMatch, 1, 1},
                                      {'n', "", false, Result::kMatch, 2, 1},
                                      {'p', "", false, Result::kMatch, 1, 2},
                                      {'p', "", false, Result::kNoMoreFound, 1, 2},
                                  });
}

TEST(TopicSearchTest, PassedTopicsLoseTheirMark) {
    Search search({"a", "b", "c", "b"});
    const SearchStep s = search.Step('f', "b");
    EXPECT_EQ(s.passed, (std::vector<int>{1}));
    EXPECT_EQ(search.Step('n').passed, (std::vector<int>{2, 3}));
    EXPECT_EQ(search.Step('p').passed, (std::vector<int>{4, 3}));
}

TEST(TopicSearchTest, WholeWordTest) {
    struct Case {
        const char* text;
        int position, length;
        bool whole;
    } const cases[] = {
        {"cat", 1, 3, true},   {"cat.", 1, 3, true},      {"(cat)", 2, 3, true},
        {"cats", 1, 3, false}, {"scat", 2, 3, false},     {"1cat", 2, 3, false},
        {"cat9", 1, 3, false}, {"\xE9x\xE9", 2, 1, true},  // accented letters separate
        {"_x_", 2, 1, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsWholeWord(c.text, c.position, c.length), c.whole) << c.text;
    }
}

}  // namespace
}  // namespace tessaly::help
