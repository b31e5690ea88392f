// The print object's arithmetic, free of any device: inches on the sheet to device pixels, the
// margin cuts of a printed line, fitting text to a width and how many lines still fit a page.
#pragma once

#include <string>
#include <string_view>

#include "core/text_measure.h"

namespace tessaly::print {

// What the print object reads of its device, in pixels.
struct DeviceMetrics {
    int pixelsPerInchX = 0, pixelsPerInchY = 0;
    int physicalWidth = 0, physicalHeight = 0;     // the whole sheet
    int physicalOffsetX = 0, physicalOffsetY = 0;  // unprintable left and top border
    int printableWidth = 0, printableHeight = 0;   // the printable area
};

// Inches from the sheet's edges.
struct Margins {
    double left = 0, right = 0, top = 0, bottom = 0;
};

// The longest leading part of the text that fits `inches` (rounded to whole pixels), the
// longest trailing part for a negative width, empty for 0. Widths are the device's pixels.
std::string FitText(const TextMeasure& measure, int pixelsPerInchX, std::string_view text,
                    double inches);

// How many lines of `lineHeight` inches fit from y (or the top margin or printable area, when
// lower) down to the bottom margin (or printable area, when higher). Never negative.
int LinesLeft(const DeviceMetrics& device, const Margins& margins, double lineHeight, double y);

// The current print position, inches from the sheet's top left corner.
struct Position {
    double x = 0, y = 0;
};

// A line as it goes to the device: what is left of the text after the margin cuts, where it
// starts in device coordinates (origin: the printable area's corner), and whether it is drawn.
struct PlacedLine {
    bool draw = false;
    int px = 0, py = 0;
    std::string text;
};

// Moves `position` for one printed line (x 0 keeps the current x; y 0 is one line below the
// last) and places the text there: a text starting left of the left margin loses what lies
// left of it and starts at the margin; one reaching past the right margin is cut at the last
// whole character; a line above the top margin or reaching below the bottom margin is not
// drawn, though the position has moved.
PlacedLine PlaceLine(const DeviceMetrics& device, const Margins& margins, double lineHeight,
                     const TextMeasure& measure, Position& position, std::string_view text,
                     double x, double y);

}  // namespace tessaly::print
