// Where the printed reminder list puts each text: the page geometry from the printer's metrics
// and the pages of a whole list, as plain data the GDI printing only has to draw.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/reminder.h"
#include "core/text_measure.h"

namespace tessaly::print {

// What the printer's device context reports.
struct PrinterMetrics {
    int pixelsPerInchX = 0;   // LOGPIXELSX
    int pixelsPerInchY = 0;   // LOGPIXELSY
    int offsetX = 0;          // PHYSICALOFFSETX: the unprintable margin, in pixels
    int offsetY = 0;          // PHYSICALOFFSETY
    int lineHeight = 0;       // tmHeight + tmExternalLeading of the list font
    int printableHeight = 0;  // VERTRES: the printable area's height; 0 when unknown
};

inline constexpr int kColumnCount = 6;

// Positions in pixels from the corner of the printable area.
struct ListPageLayout {
    int x0 = 0;  // left edge, 0.75 in from the sheet's edge
    int y0 = 0;  // the heading row, 0.5 in from the sheet's top
    int lineHeight = 1;
    // L: a page holds record lines 0..L. 9.75 inches of lines, but never more than the printable
    // area holds: a printer with a wide bottom margin would otherwise lose the last records.
    int lastLine = 0;
    std::array<int, kColumnCount> headingX{};
    std::array<int, kColumnCount - 1> valueX{};  // date .. description
    int notifyRight = 0;                         // the notify column is right-aligned here
    int descriptionWidth = 0;                    // the widest description, 4.2 in
    int columnGap = 0;  // left free between a description and the notify column, 0.1 in

    int RecordY(int n) const { return (2 + n) * lineHeight + y0; }
    int NotifyX(int textWidth) const { return notifyRight - textWidth; }
};

ListPageLayout MakeListPageLayout(const PrinterMetrics& m);

inline constexpr std::array<std::string_view, kColumnCount> kHeadings = {
    "Date", "Day", "Time", "Event", "Description", "Notify"};

struct PlacedText {
    int x = 0, y = 0;
    std::string text;
    bool operator==(const PlacedText&) const = default;
};

// One printed page: the headings and the records it holds, in drawing order.
struct PrintedPage {
    std::vector<PlacedText> texts;
    int records = 0;
};

// Every page of the list, L + 1 records a page with the headings on each. An empty list
// gives no page. A description is cut to 4.2 inches, and further where it would reach the
// notify column (its heading, or the line's own number) less the column gap.
// Widths are the printer font's.
std::vector<PrintedPage> LayOutListPages(const ReminderList& list, const ListPageLayout& layout,
                                         const TextMeasure& font);

}  // namespace tessaly::print
