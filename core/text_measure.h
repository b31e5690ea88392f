// How wide texts are in one font on one device, and which part of a text fits a width: the one
// measure the list window, the printouts, the message box and the help printing lay out with.
// Units are the measure's own: a device's pixels (win::DcMeasure), millionths of an inch for the
// help printout, characters in tests.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

namespace tessaly {

struct TextExtent {
    int width = 0;
    int height = 0;  // of the text's line; some systems give an empty text none
};

class TextMeasure {
  public:
    virtual ~TextMeasure() = default;
    virtual TextExtent Extent(std::string_view text) const = 0;
    int Width(std::string_view text) const { return Extent(text).width; }
    // How many leading bytes fit in `width` (none for a negative width). By default found from
    // Width, since a text never gets narrower as it grows.
    virtual std::size_t FitLeading(std::string_view text, int width) const;
    // How many trailing bytes fit in `width`.
    virtual std::size_t FitTrailing(std::string_view text, int width) const;
    // The longest leading part within `width`.
    std::string_view Fit(std::string_view text, int width) const {
        return text.substr(0, FitLeading(text, width));
    }
};

// The largest k in 0..last for which fits(k) holds, given that fits(0) holds and fits only
// turns false as k grows: the search every fitting rests on.
std::size_t LargestFitting(std::size_t last, const std::function<bool(std::size_t k)>& fits);

}  // namespace tessaly
