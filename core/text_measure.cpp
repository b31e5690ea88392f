// Fitting a text from its widths alone.
#include "core/text_measure.h"

namespace tessaly {
namespace {

// The largest n in 0..size for which fits(n) holds, given that fits(0) holds and fits only
// turns false as n grows.
template <typename Fits>
std::size_t LargestFitting(std::size_t size, Fits fits) {
    std::size_t low = 0, high = size;
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

}  // namespace

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
