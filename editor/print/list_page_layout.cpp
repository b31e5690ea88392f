// The printed reminder list's geometry and pages.
#include "editor/print/list_page_layout.h"

#include <algorithm>
#include <cstdint>

#include "editor/list/list_rules.h"

namespace tessaly::print {
namespace {

// num / den to the nearest integer, halves away from zero; den > 0. Inches are kept in
// hundredths, so every position is exact integer arithmetic.
int RoundDiv(std::int64_t num, std::int64_t den) {
    const std::int64_t q = (2 * (num < 0 ? -num : num) + den) / (2 * den);
    return static_cast<int>(num < 0 ? -q : q);
}

// hundredths of an inch at ppi pixels per inch.
int Inches(int hundredths, int ppi) {
    return RoundDiv(std::int64_t{hundredths} * ppi, 100);
}

constexpr std::array<int, kColumnCount> kHeadingOffsets = {12, 100, 155, 235, 400, 675};
constexpr std::array<int, kColumnCount - 1> kValueOffsets = {0, 100, 150, 230, 345};

}  // namespace

ListPageLayout MakeListPageLayout(const PrinterMetrics& m) {
    ListPageLayout l;
    l.x0 = RoundDiv(std::int64_t{75} * m.pixelsPerInchX - std::int64_t{100} * m.offsetX, 100);
    l.y0 = RoundDiv(std::int64_t{50} * m.pixelsPerInchY - std::int64_t{100} * m.offsetY, 100);
    // A font reporting no height would divide by zero; one pixel keeps the page finite.
    l.lineHeight = std::max(m.lineHeight, 1);
    l.lastLine = Inches(975, m.pixelsPerInchY) / l.lineHeight;
    if (m.printableHeight > 0) {
        // The last line that still ends inside the printable area; at least one a page.
        const int fits = (m.printableHeight - l.y0) / l.lineHeight - 3;
        l.lastLine = std::clamp(fits, 0, l.lastLine);
    }
    for (int i = 0; i < kColumnCount; ++i) {
        l.headingX[i] = l.x0 + Inches(kHeadingOffsets[i], m.pixelsPerInchX);
    }
    for (int i = 0; i < kColumnCount - 1; ++i) {
        l.valueX[i] = l.x0 + Inches(kValueOffsets[i], m.pixelsPerInchX);
    }
    l.notifyRight = l.x0 + 7 * m.pixelsPerInchX;
    l.descriptionWidth = Inches(420, m.pixelsPerInchX);
    l.columnGap = Inches(10, m.pixelsPerInchX);
    return l;
}

std::vector<PrintedPage> LayOutListPages(const ReminderList& list, const ListPageLayout& layout,
                                         const TextMeasure& font) {
    std::vector<PrintedPage> pages;
    int n = 0;
    for (const Reminder& r : list.entries()) {
        if (pages.empty() || n > layout.lastLine) {
            n = 0;
            PrintedPage& page = pages.emplace_back();
            for (int i = 0; i < kColumnCount; ++i) {
                page.texts.push_back({layout.headingX[i], layout.y0, std::string(kHeadings[i])});
            }
        }
        PrintedPage& page = pages.back();
        const int y = layout.RecordY(n);
        const std::string notify = " " + std::to_string(r.notifyDays);
        const int notifyX = layout.NotifyX(font.Width(notify));
        // 4.2 inches would run under the notify column from 3.45 in: the description ends
        // before the column's heading and before this line's number, whichever starts first.
        const int notifyLeft = std::min(layout.headingX[kColumnCount - 1], notifyX);
        const int descriptionX = layout.valueX[kColumnCount - 2];
        const int room =
            std::clamp(notifyLeft - layout.columnGap - descriptionX, 0, layout.descriptionWidth);
        // The printout keeps the description as stored, trailing blanks and all.
        const std::string values[kColumnCount - 1] = {
            list::ListDateText(r.date, '/'), std::string(list::ListWeekdayText(r.date)),
            list::ListTimeText(r), std::string(KindName(r.kind)),
            std::string(font.Fit(r.Description(), room))};
        for (int i = 0; i < kColumnCount - 1; ++i)
            page.texts.push_back({layout.valueX[i], y, values[i]});
        page.texts.push_back({notifyX, y, notify});
        ++page.records;
        ++n;
    }
    return pages;
}

}  // namespace tessaly::print
