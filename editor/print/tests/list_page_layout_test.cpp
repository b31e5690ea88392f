// The printed list's geometry for a few printers, and how a list falls onto pages.
#include "editor/print/list_page_layout.h"

#include <gtest/gtest.h>

#include "core/tests/fixed_pitch.h"
#include "core/tests/test_reminders.h"
#include "core/typed_number.h"
#include "editor/list/list_rules.h"

namespace tessaly::print {
namespace {

using testing::MakeReminder;

TEST(ListPageLayout, FromPrinterMetrics) {
    struct Case {
        PrinterMetrics m;
        int x0, y0, lastLine;
        std::array<int, kColumnCount> headingX;
        std::array<int, kColumnCount - 1> valueX;
        int notifyRight, descriptionWidth;
    };
    const Case cases[] = {
        // 300 dpi with a 1/12 inch unprintable margin.
        {{300, 300, 25, 25, 50},
         200,
         125,
         58,
         {236, 500, 665, 905, 1400, 2225},
         {200, 500, 650, 890, 1235},
         2300,
         1260},
        // The screen's 96 dpi, no margin: fractions of a pixel round to the nearest.
        {{96, 96, 0, 0, 16},
         72,
         48,
         58,
         {84, 168, 221, 298, 456, 720},
         {72, 168, 216, 293, 403},
         744,
         403},
        // A line height that gives L = 40.
        {{600, 600, 150, 100, 144},
         300,
         200,
         40,
         {372, 900, 1230, 1710, 2700, 4350},
         {300, 900, 1200, 1680, 2370},
         4500,
         2520},
        // Unequal resolutions; 0.75 x 150 = 112.5 rounds up.
        {{150, 72, 0, 6, 13},
         113,
         30,
         54,
         {131, 263, 346, 466, 713, 1126},
         {113, 263, 338, 458, 631},
         1163,
         630},
    };
    for (const Case& c : cases) {
        const ListPageLayout l = MakeListPageLayout(c.m);
        SCOPED_TRACE(c.m.pixelsPerInchX);
        EXPECT_EQ(l.x0, c.x0);
        EXPECT_EQ(l.y0, c.y0);
        EXPECT_EQ(l.lastLine, c.lastLine);
        EXPECT_EQ(l.headingX, c.headingX);
        EXPECT_EQ(l.valueX, c.valueX);
        EXPECT_EQ(l.notifyRight, c.notifyRight);
        EXPECT_EQ(l.descriptionWidth, c.descriptionWidth);
        EXPECT_EQ(l.RecordY(0), 2 * c.m.lineHeight + c.y0);
        EXPECT_EQ(l.RecordY(3), 5 * c.m.lineHeight + c.y0);
    }
}

TEST(ListPageLayout, EveryLineEndsInsideThePrintableArea) {
    struct Case {
        PrinterMetrics m;
        int lastLine;
    };
    const Case cases[] = {
        // Letter at 300 dpi with a half-inch bottom margin: 9.75 inches of lines (56) would
        // put the last two below the printable area.
        {{300, 300, 75, 75, 52, 3075}, 54},
        // A quarter-inch bottom margin leaves room for all 56.
        {{300, 300, 75, 75, 52, 3150}, 56},
        {{300, 300, 75, 75, 52, 3200}, 56},
        // Not even one line fits: still one record a page.
        {{96, 96, 0, 0, 16, 40}, 0},
    };
    for (const Case& c : cases) {
        const ListPageLayout l = MakeListPageLayout(c.m);
        EXPECT_EQ(l.lastLine, c.lastLine) << c.m.printableHeight;
        if (c.lastLine > 0) {
            EXPECT_LE(l.RecordY(l.lastLine) + l.lineHeight, c.m.printableHeight);
        }
    }
}

TEST(ListPageLayout, NoLineHeightStillGivesFinitePages) {
    const ListPageLayout l = MakeListPageLayout({96, 96, 0, 0, 0});
    EXPECT_EQ(l.lineHeight, 1);
    EXPECT_EQ(l.lastLine, 936);
}

// 60 pixels a character: the 4.2 inch description column (2520 px at 600 dpi) holds 42.
testing::FixedPitch WideMeasure() {
    return testing::FixedPitch(60);
}

ReminderList Numbered(int count) {
    ReminderList list;
    for (int i = 1; i <= count; ++i) {
        list.Append(MakeReminder(kAppointment, "entry " + std::to_string(i), 20261201 + i % 28,
                                 100 * (i % 12) + 1300, i % 31));
    }
    return list;
}

// The description column of each record line on a page, blanks trimmed.
std::vector<std::string> Descriptions(const PrintedPage& page, const ListPageLayout& l) {
    std::vector<std::string> out;
    for (const PlacedText& t : page.texts) {
        if (t.y > l.y0 && t.x == l.valueX[4]) out.push_back(std::string(TrimSpaces(t.text)));
    }
    return out;
}

std::vector<std::string> HeadingRow(const PrintedPage& page, const ListPageLayout& l) {
    std::vector<std::string> out;
    for (const PlacedText& t : page.texts) {
        if (t.y == l.y0) out.push_back(t.text);
    }
    return out;
}

TEST(ListPages, LPlusOneRecordsAPageWithHeadingsOnEach) {
    const ListPageLayout l = MakeListPageLayout({600, 600, 150, 100, 144});
    ASSERT_EQ(l.lastLine, 40);
    const std::vector<std::string> headings(kHeadings.begin(), kHeadings.end());

    EXPECT_TRUE(LayOutListPages(ReminderList{}, l, WideMeasure()).empty());

    const auto one = LayOutListPages(Numbered(41), l, WideMeasure());
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].records, 41);
    EXPECT_EQ(HeadingRow(one[0], l), headings);
    EXPECT_EQ(Descriptions(one[0], l).back(), "entry 41");

    const auto two = LayOutListPages(Numbered(42), l, WideMeasure());
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0].records, 41);
    EXPECT_EQ(two[1].records, 1);
    EXPECT_EQ(HeadingRow(two[1], l), headings);
    EXPECT_EQ(Descriptions(two[1], l), std::vector<std::string>{"entry 42"});
    // The 42nd entry starts the second page's first record line.
    for (const PlacedText& t : two[1].texts) {
        if (t.y != l.y0) {
            EXPECT_EQ(t.y, l.RecordY(0)) << t.text;
        }
    }
    const auto page1 = Descriptions(two[0], l);
    for (int i = 0; i < 41; ++i) EXPECT_EQ(page1[i], "entry " + std::to_string(i + 1));
}

TEST(ListPages, RecordLineTexts) {
    const ListPageLayout l = MakeListPageLayout({600, 600, 150, 100, 144});
    ReminderList list;
    list.Append(MakeReminder(kBirthday, std::string(48, 'B'), 20261225, 1300, 7, kAnnual));
    list.Append(MakeReminder(kAppointment, "Dentist", 20261228, 100, 12));
    list.Append(MakeReminder(kMeeting, "Board", 20261229, 1300, 0));
    const auto pages = LayOutListPages(list, l, WideMeasure());
    ASSERT_EQ(pages.size(), 1u);
    const auto& t = pages[0].texts;
    ASSERT_EQ(t.size(), 6u + 3 * 6u);
    const int y1 = l.RecordY(1);
    const std::vector<PlacedText> first = {t.begin() + 6, t.begin() + 12};
    const std::vector<PlacedText> second = {t.begin() + 12, t.begin() + 18};
    // A birthday's year is no time; the stored description ends 0.1 inch before the notify
    // heading at 6.75 in: 3.2 inches of 60-pixel letters.
    EXPECT_EQ(first[0], (PlacedText{l.valueX[0], l.RecordY(0), "12/25/2026"}));
    EXPECT_EQ(first[1].text, "Fri");
    EXPECT_EQ(first[2].text, "");
    EXPECT_EQ(first[3].text, "birthday");
    EXPECT_EQ(first[4].text, std::string(32, 'B'));
    // The notify column ends at 7 inches from the left edge.
    EXPECT_EQ(first[5], (PlacedText{l.notifyRight - 2 * 60, l.RecordY(0), " 7"}));
    EXPECT_EQ(second[0], (PlacedText{l.valueX[0], y1, "12/28/2026"}));
    EXPECT_EQ(second[2], (PlacedText{l.valueX[2], y1, "1:00 am"}));
    // The printout keeps the stored blanks; the list window trims them.
    EXPECT_EQ(second[4].text,
              "Dentist" + std::string(24, ' '));  // " 12" starts left of the heading
    EXPECT_EQ(second[5], (PlacedText{l.notifyRight - 3 * 60, y1, " 12"}));
    EXPECT_EQ(t[18 + 2].text, "1:00 pm");
}

// Whatever the font's width, a description never runs into the notify column: not into its
// heading, nor into a wide number right-aligned at 7 inches, and never past 4.2 inches.
TEST(ListPages, DescriptionsEndBeforeTheNotifyColumn) {
    struct Case {
        PrinterMetrics m;
        int letterWidth;  // pixels of every character
    };
    const Case cases[] = {
        {{600, 600, 150, 100, 144}, 60},  // wide letters: cut by the notify heading
        {{600, 600, 150, 100, 144}, 20},  // narrow letters: all 48 fit in less than 4.2 in
        {{300, 300, 75, 75, 52}, 40},
        {{96, 96, 0, 0, 16}, 90},  // " 255" reaches back over the description's start
        {{96, 96, 0, 0, 16}, 2},   // tiny letters: still at most 4.2 inches
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.letterWidth);
        const ListPageLayout l = MakeListPageLayout(c.m);
        const int w = c.letterWidth;
        const testing::FixedPitch measure(w);
        ReminderList list;
        for (int notify : {0, 7, 30, 255}) {
            list.Append(MakeReminder(kMeeting, std::string(48, 'W'), 20261225, 1300, notify));
        }
        const auto pages = LayOutListPages(list, l, measure);
        ASSERT_EQ(pages.size(), 1u);
        for (int record = 0; record < 4; ++record) {
            const PlacedText& description = pages[0].texts[6 + 6 * record + 4];
            const PlacedText& notify = pages[0].texts[6 + 6 * record + 5];
            const int end = description.x + measure.Width(description.text);
            EXPECT_LE(end - description.x, l.descriptionWidth);
            if (description.text.empty()) continue;  // the number reaches into the column
            EXPECT_LE(end, l.headingX[5] - l.columnGap) << record;
            EXPECT_LE(end, notify.x - l.columnGap) << record;
            // The longest part that fits: one more letter would not.
            if (description.text.size() < 48) {
                EXPECT_GT(end + w, std::min({l.headingX[5] - l.columnGap, notify.x - l.columnGap,
                                             description.x + l.descriptionWidth}));
            }
        }
    }
}

}  // namespace
}  // namespace tessaly::print
