// A fixed-pitch font for layout tests: every character `pitch` units wide, a line `height`
// high (an empty text none, as some systems measure it).
#pragma once

#include <string_view>

#include "core/text_measure.h"

namespace tessaly::testing {

class FixedPitch final : public TextMeasure {
  public:
    explicit FixedPitch(int pitch, int height = 0) : pitch_(pitch), height_(height) {}
    TextExtent Extent(std::string_view text) const override {
        return {pitch_ * static_cast<int>(text.size()), text.empty() ? 0 : height_};
    }

  private:
    int pitch_;
    int height_;
};

}  // namespace tessaly::testing
