// Searching the help topics: case-blind, optionally whole-word, forward and backward across the
// topics in tree order, never wrapping. The window shows what these functions decide.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tessaly::help {

// Windows-1252 lower case: A-Z, the accented capitals 0xC0-0xDE (not 0xD7, the multiplication
// sign) and the four capitals of 0x80-0x9F (S caron, OE, Z caron, Y diaeresis).
std::string LowerCp1252(std::string_view text);

// Whether the occurrence of a length-`length` text at 1-based position `position` of `text` stands
// alone: the characters before and after it (when there are any) are not ASCII letters or digits.
bool IsWholeWord(std::string_view text, int position, int length);

// The state of one search, kept while the help window is open.
struct SearchState {
    std::string text;  // lower case; empty: no search
    bool wholeWord = false;
    int index = 0;          // 1-based position in the topic order where the search stands
    int lastPosition = 0;   // last result of a search inside a topic (0: none)
    int foundPosition = 0;  // 1-based position of the last match shown; 0: none yet
    int foundIndex = 0;     // its position in the topic order
};

// What a step of the search found.
struct SearchStep {
    enum class Result { kNothing, kMatch, kNoneFound, kNoMoreFound };
    Result result = Result::kNothing;
    int index = 0;            // kMatch / kNoMoreFound: order position of the match to show
    int position = 0;         // 1-based character position of that match
    std::vector<int> passed;  // order positions searched without a match (their bold mark goes)
};

// The pane's selection as 0-based character offsets [start, end).
struct PaneSelection {
    int start = 0;
    int end = 0;
};

// The topic texts in topic order (texts[0] is order position 1), as stored: the search compares
// them case-blind without copying them.
using TopicTexts = const std::vector<std::string_view>&;

// Starts a search: nothing happens for an answer that is empty after trimming blanks.
SearchStep StartSearch(SearchState& state, std::string_view answer, bool wholeWord,
                       TopicTexts texts);
// Continue forward from the end of the selection; backward from its start.
SearchStep SearchNext(SearchState& state, PaneSelection selection, TopicTexts texts);
SearchStep SearchPrev(SearchState& state, PaneSelection selection, TopicTexts texts);
// Ends the search; Next and Prev then do nothing.
inline void CancelSearch(SearchState& state) {
    state.text.clear();
}

}  // namespace tessaly::help
