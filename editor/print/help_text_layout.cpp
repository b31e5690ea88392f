// How a help topic's text falls into printed lines and pages.
#include "editor/print/help_text_layout.h"

#include <algorithm>

#include "core/typed_number.h"

namespace tessaly::print {
namespace {

// Deals lines out onto pages, opening a page only when a line needs one.
class Pages {
  public:
    explicit Pages(int capacity) : capacity_(capacity) {}

    void Add(std::string_view line) {
        if (pages_.empty() || counter_ > capacity_) {
            pages_.emplace_back();
            counter_ = kFirstLineCounter;
        }
        pages_.back().emplace_back(line);
        ++counter_;
    }

    std::vector<std::vector<std::string>> Take() { return std::move(pages_); }

  private:
    int capacity_;
    int counter_ = kFirstLineCounter;
    std::vector<std::vector<std::string>> pages_;
};

// Where a too-wide line is cut: after its last word-break character within the fitting part,
// before it when that is an opening bracket (which then starts the next line). A fitting part
// without one, such as a long number, is cut at its fitting length, so no text is dropped; the
// cut takes at least one character, so every pass makes progress.
std::size_t CutLength(std::string_view fitting) {
    const std::size_t last = fitting.find_last_of(kWordBreaks);
    std::size_t cut = 0;
    if (last != std::string_view::npos) {
        cut = kOpeningBrackets.find(fitting[last]) != std::string_view::npos ? last : last + 1;
    }
    return cut > 0 ? cut : std::max<std::size_t>(fitting.size(), 1);
}

}  // namespace

std::string ExpandTabs(std::string_view line) {
    std::string expanded;
    for (;;) {
        const std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos) break;
        // Each piece before a TAB starts on a multiple of 8, so its length alone sets the stop.
        expanded += line.substr(0, tab);
        expanded.append(8 - tab % 8, ' ');
        line.remove_prefix(tab + 1);
    }
    expanded += line;
    return expanded;
}

std::vector<std::vector<std::string>> LayoutHelpText(std::string_view text, int lineWidth,
                                                     int capacity, const TextMeasure& measure) {
    Pages pages(capacity);
    while (!text.empty()) {
        const std::size_t end = text.find("\r\n");
        const std::string line = ExpandTabs(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 2);

        std::string_view rest = line;
        while (measure.Width(rest) > lineWidth) {
            const std::size_t cut = CutLength(rest.substr(0, measure.FitLeading(rest, lineWidth)));
            pages.Add(TrimSpaces(rest.substr(0, cut)));
            rest.remove_prefix(cut);
        }
        // A line that had to be broken always leaves a rest; an empty line of the text is
        // printed as an empty line.
        if (!rest.empty() || line.empty()) pages.Add(rest);
    }
    return pages.Take();
}

}  // namespace tessaly::print
