// Fitting a text from its widths alone.
#include "core/text_measure.h"

namespace tessaly {

std::size_t LargestFitting(std::size_t last, const std::function<bool(std::size_t k)>& fits) {
    std::size_t low = 0, high = last;
    while (low < high) {
        const std::size_t middle = low + (high - low + 1) / 2;
        if (fits(middle)) {
            low = middle;
        } else {
            high = middle - 1;
        }
    }
    return low;
}

std::size_t TextMeasure::FitLeading(std::string_view text, int width) const {
    if (width < 0) return 0;
    return LargestFitting(text.size(),
                          [&](std::size_t n) { return Width(text.substr(0, n)) <= width; });
}

std::size_t TextMeasure::FitTrailing(std::string_view text, int width) const {
    if (width < 0) return 0;
    return LargestFitting(
        text.size(), [&](std::size_t n) { return Width(text.substr(text.size() - n)) <= width; });
}

}  // namespace tessaly
