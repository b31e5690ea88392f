// The print object's arithmetic: inches to device pixels, margin cuts, fitting, lines left.
#include "editor/print/print_layout.h"

#include <algorithm>
#include <cmath>

namespace tessaly::print {
namespace {

int Round(double value) {
    return static_cast<int>(std::lround(value));
}

}  // namespace

std::string FitText(const TextMeasure& measure, int pixelsPerInchX, std::string_view text,
                    double inches) {
    const int pixels = Round(std::abs(inches) * pixelsPerInchX);
    if (inches > 0) return std::string(text.substr(0, measure.FitLeading(text, pixels)));
    if (inches < 0) {
        return std::string(text.substr(text.size() - measure.FitTrailing(text, pixels)));
    }
    return {};
}

int LinesLeft(const DeviceMetrics& device, const Margins& margins, double lineHeight, double y) {
    if (lineHeight <= 0 || device.pixelsPerInchY <= 0) return 0;
    const double perInch = device.pixelsPerInchY;
    const double top = std::max({y, margins.top, device.physicalOffsetY / perInch});
    const double bottom = std::max(
        margins.bottom,
        (device.physicalHeight - device.physicalOffsetY - device.printableHeight) / perInch);
    // The small allowance keeps a page that holds exactly n lines from counting n - 1 when the
    // quotient comes out a hair below n in binary fractions.
    const double lines = (device.physicalHeight / perInch - bottom - top) / lineHeight;
    return std::max(0, static_cast<int>(std::floor(lines + 1e-9)));
}

PlacedLine PlaceLine(const DeviceMetrics& device, const Margins& margins, double lineHeight,
                     const TextMeasure& measure, Position& position, std::string_view text,
                     double x, double y) {
    if (x != 0) position.x = x;
    position.y = y == 0 ? position.y + lineHeight : y;

    const double dx = device.pixelsPerInchX, dy = device.pixelsPerInchY;
    const int ox = device.physicalOffsetX, oy = device.physicalOffsetY;
    PlacedLine line;
    line.px = Round(std::max(position.x * dx - ox, 0.0));
    line.py = Round(std::max(position.y * dy - oy, 0.0));
    const int rightLimit = Round(device.physicalWidth - ox - margins.right * dx);
    const int bottomLimit = Round(device.physicalHeight - oy - margins.bottom * dy);
    const int leftLimit = Round(std::max(margins.left * dx - ox, 0.0));

    const int width = measure.Width(text);
    line.text = text;
    if (margins.left > position.x) {
        // What reaches past the margin; nothing when the whole text lies left of it.
        const double visible = position.x + width / dx - margins.left;
        line.text = visible > 0 ? FitText(measure, device.pixelsPerInchX, text, -visible) : "";
        line.px = leftLimit;
    }
    if (width + line.px > rightLimit) {
        const double room = (rightLimit - line.px) / dx;
        line.text = room > 0 ? FitText(measure, device.pixelsPerInchX, line.text, room) : "";
    }
    line.draw = !(margins.top > position.y) && !(lineHeight * dy + line.py > bottomLimit);
    return line;
}

}  // namespace tessaly::print
