// How a help topic's text falls into printed lines and pages: lines end at CR LF, TABs stop
// every 8 characters, and a line too wide for the page breaks after its last word-break
// character, or before it when that is an opening bracket.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/text_measure.h"

namespace tessaly::print {

// A line may break after any of these; before the four opening brackets.
inline constexpr std::string_view kWordBreaks = " -,;:.()[]{}<>~/|\\=";
inline constexpr std::string_view kOpeningBrackets = "([{<";

// The line counter of a page stands at this before its first body line (the header and the
// gap below it); a page is full once the counter passes its capacity.
inline constexpr int kFirstLineCounter = 4;

// Each TAB becomes the 1 to 8 spaces that bring the text to the next multiple of 8.
std::string ExpandTabs(std::string_view line);

// The text's printed lines, page by page, lineWidth in the measure's unit. `capacity` is the
// counter value a page may reach (the lines that fit the sheet from the top margin); every page
// holds at least one line, and a page is begun only for a line that goes on it.
std::vector<std::vector<std::string>> LayoutHelpText(std::string_view text, int lineWidth,
                                                     int capacity, const TextMeasure& measure);

}  // namespace tessaly::print
