// The search rules over the topic texts: lower-casing, the whole-word test, Next and Prev.
#include "editor/help/topic_search.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>

namespace tessaly::help {
namespace {

bool IsWordCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

int Length(std::string_view s) {
    return static_cast<int>(s.size());
}

// Windows-1252 lower case of one byte, as a table built once.
const std::array<char, 256>& LowerTable() {
    static const std::array<char, 256> table = [] {
        std::array<char, 256> t{};
        for (int b = 0; b < 256; ++b) {
            int lower = b;
            if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) {
                lower = b + 0x20;
            } else if (b == 0x8A || b == 0x8C || b == 0x8E) {
                lower = b + 0x10;
            } else if (b == 0x9F) {
                lower = 0xFF;
            }
            t[static_cast<std::size_t>(b)] = static_cast<char>(lower);
        }
        return t;
    }();
    return table;
}

char Lower(char c) {
    return LowerTable()[static_cast<std::uint8_t>(c)];
}

// Whether the lower-case `what` stands at 0-based `at` of t, ignoring t's case.
bool MatchesAt(std::string_view t, std::string_view what, std::size_t at) {
    for (std::size_t k = 0; k < what.size(); ++k) {
        if (Lower(t[at + k]) != what[k]) return false;
    }
    return true;
}

// 1-based position of the first occurrence starting at or after `from` (1-based); 0 if none.
int FirstAtOrAfter(std::string_view t, std::string_view what, int from) {
    if (from < 1) from = 1;
    if (what.empty() || t.size() < what.size()) return 0;
    for (std::size_t at = static_cast<std::size_t>(from - 1); at + what.size() <= t.size(); ++at) {
        if (Lower(t[at]) == what[0] && MatchesAt(t, what, at)) return static_cast<int>(at) + 1;
    }
    return 0;
}

// 1-based position of the last occurrence ending at or before `limit` (1-based); 0 if none.
int LastEndingBy(std::string_view t, std::string_view what, int limit) {
    limit = std::min(limit, Length(t));
    if (what.empty()) return 0;
    for (int at = limit - Length(what); at >= 0; --at) {
        const auto a = static_cast<std::size_t>(at);
        if (Lower(t[a]) == what[0] && MatchesAt(t, what, a)) return at + 1;
    }
    return 0;
}

SearchStep Match(SearchState& state, int index, int position, std::vector<int> passed) {
    state.index = index;
    state.foundPosition = position;
    state.foundIndex = index;
    return {SearchStep::Result::kMatch, index, position, std::move(passed)};
}

SearchStep EndOfSearch(SearchState& state, std::vector<int> passed) {
    if (state.foundPosition == 0) {
        return {SearchStep::Result::kNoneFound, 0, 0, std::move(passed)};
    }
    // The window shows the last match again, so the next step starts from it: left at a topic
    // past it (where a whole word was rejected), Prev would measure the match's selection in
    // that topic's text and show the same match once more.
    state.index = state.foundIndex;
    return {SearchStep::Result::kNoMoreFound, state.foundIndex, state.foundPosition,
            std::move(passed)};
}

// Forward from 1-based position `start` of the topic at the search index.
SearchStep SearchForward(SearchState& state, int start, TopicTexts texts) {
    const std::string& what = state.text;
    const int n = static_cast<int>(texts.size());
    std::vector<int> passed;
    for (int i = std::max(state.index, 1); i <= n; ++i) {
        const std::string_view t = texts[static_cast<std::size_t>(i - 1)];
        for (;;) {
            int p = FirstAtOrAfter(t, what, start);
            state.lastPosition = p;
            if (p != 0 && state.wholeWord && !IsWholeWord(t, p, Length(what))) {
                if (p + Length(what) <= Length(t)) {
                    start = p + 1;
                    state.index = i;
                    continue;
                }
                p = 0;
            }
            if (p != 0) return Match(state, i, p, std::move(passed));
            break;
        }
        start = 1;
        passed.push_back(i);
    }
    return EndOfSearch(state, std::move(passed));
}

// Backward from the topic at the search index, taking occurrences that end at or before
// 1-based position `limit` there and anywhere in the topics before it.
SearchStep SearchBackward(SearchState& state, int limit, TopicTexts texts) {
    const std::string& what = state.text;
    const int n = static_cast<int>(texts.size());
    std::vector<int> passed;
    for (int i = std::min(state.index, n); i >= 1; --i) {
        const std::string_view t = texts[static_cast<std::size_t>(i - 1)];
        for (;;) {
            int p = LastEndingBy(t, what, limit);
            state.lastPosition = p;
            if (p != 0 && state.wholeWord && !IsWholeWord(t, p, Length(what))) {
                // Go on with every occurrence that starts before the rejected one, also when it
                // stood at the very end of the text: ending by p + 1 instead would pass over
                // the ones that overlap it by more than two characters, which Next shows.
                state.index = i;
                limit = p + Length(what) - 2;
                continue;
            }
            if (p != 0) return Match(state, i, p, std::move(passed));
            break;
        }
        limit = std::numeric_limits<int>::max();  // the topic before: from its very end
        passed.push_back(i);
    }
    return EndOfSearch(state, std::move(passed));
}

}  // namespace

std::string LowerCp1252(std::string_view text) {
    std::string out(text);
    for (char& ch : out) ch = Lower(ch);
    return out;
}

bool IsWholeWord(std::string_view text, int position, int length) {
    const int before = position - 2;          // 0-based index of the character before
    const int after = position - 1 + length;  // 0-based index of the character after
    if (before >= 0 && IsWordCharacter(text[static_cast<std::size_t>(before)])) return false;
    if (after < static_cast<int>(text.size()) &&
        IsWordCharacter(text[static_cast<std::size_t>(after)])) {
        return false;
    }
    return true;
}

SearchStep StartSearch(SearchState& state, std::string_view answer, bool wholeWord,
                       TopicTexts texts) {
    state.wholeWord = wholeWord;
    const auto first = answer.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = answer.find_last_not_of(' ');
    state.text = LowerCp1252(answer.substr(first, last - first + 1));
    state.index = 1;
    state.foundPosition = 0;
    state.foundIndex = 0;
    return SearchForward(state, 1, texts);
}

SearchStep SearchNext(SearchState& state, PaneSelection selection, TopicTexts texts) {
    if (state.text.empty()) return {};
    // The selection's end offset, read as a 1-based position, is the match's last character, so
    // overlapping occurrences are found. A one-character match would be found again there, so
    // the search then begins one further on.
    int start = selection.end;
    if (selection.end > selection.start) start = std::max(start, selection.start + 2);
    if (start == 0) start = state.lastPosition + 1;
    return SearchForward(state, start, texts);
}

SearchStep SearchPrev(SearchState& state, PaneSelection selection, TopicTexts texts) {
    if (state.text.empty()) return {};
    const int n = static_cast<int>(texts.size());
    if (state.index < 1 || state.index > n) return EndOfSearch(state, {});
    const int length = Length(texts[static_cast<std::size_t>(state.index - 1)]);
    // Counted from the end of the text: occurrences may end at the selection's first character.
    int start = length - selection.start;
    if (start == 0) start = length - state.lastPosition;
    int limit = length - start + 1;
    // Likewise a one-character match must not be found again in its own place.
    if (selection.end > selection.start) {
        limit = std::min(limit, selection.start + Length(state.text) - 1);
    }
    return SearchBackward(state, limit, texts);
}

}  // namespace tessaly::help
