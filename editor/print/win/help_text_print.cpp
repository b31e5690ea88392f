// Printing a help topic through the print object.
#include "editor/print/win/help_text_print.h"

#include <cmath>
#include <string>

#include "editor/print/help_text_layout.h"
#include "editor/print/win/print_object.h"

namespace tessaly::print {
namespace {

constexpr double kLeftMargin = 0.75, kRightMargin = 0.75, kTopMargin = 0.25, kBottomMargin = 0.5;
constexpr char kFace[] = "Courier New";
constexpr int kTitlePoints = 12, kBodyPoints = 9;

// The print object works in inches; its widths are measured here in millionths of an inch, far
// below a printer's pixel, so no width it tells apart is taken for another.
constexpr double kUnitsPerInch = 1e6;

int Units(double inches) {
    return static_cast<int>(std::lround(inches * kUnitsPerInch));
}

// Widths in the print object's current font.
class PrinterMeasure final : public TextMeasure {
  public:
    explicit PrinterMeasure(ITPrint& printer) : printer_(printer) {}
    TextExtent Extent(std::string_view text) const override {
        return {Units(printer_.TextWidthInches(text)), 0};
    }
    std::size_t FitLeading(std::string_view text, int width) const override {
        if (width < 0) return 0;
        return printer_.FitText(text, width / kUnitsPerInch).size();
    }

  private:
    ITPrint& printer_;
};

// The underlined title at the left, "Page n" ending at the right margin; the body font stays
// selected and the position is set so the first body line falls one line below 4 lines.
void PrintPageHeader(ITPrint& printer, std::string_view title, std::size_t page, double pageWidth) {
    printer.SetFont(kFace, kTitlePoints, "u");
    printer.PrintText(title, kLeftMargin, kTopMargin);
    printer.SetFont(kFace, kBodyPoints, "");
    const std::string label = "Page " + std::to_string(page);
    printer.PrintText(label, pageWidth - kRightMargin - printer.TextWidthInches(label), kTopMargin);
    double averageWidth = 0, lineHeight = 0;
    printer.GetCharMetrics(&averageWidth, &lineHeight);
    printer.SetPosition(kLeftMargin, kFirstLineCounter * lineHeight);
}

}  // namespace

void HelpTextPrint(std::string_view title, std::string_view text) {
    if (text.empty()) return;
    win::ComPtr<ITPrint> printer = CreatePrintObject();
    if (!printer || printer->ChoosePrinter().empty()) return;

    printer->SetMargins(kLeftMargin, kRightMargin, kTopMargin, kBottomMargin);
    double pageWidth = 0, pageHeight = 0;
    printer->GetPageSize(&pageWidth, &pageHeight);
    printer->SetFont(kFace, kBodyPoints, "");
    const auto pages = LayoutHelpText(text, Units(pageWidth - kLeftMargin - kRightMargin),
                                      printer->LinesLeft(0), PrinterMeasure(*printer.Get()));
    if (pages.empty()) return;
    if (printer->CanDuplex()) printer->SetDuplex(pages.size() > 1 ? DMDUP_VERTICAL : DMDUP_SIMPLEX);

    printer->StartDocument("appHelp");
    for (std::size_t page = 0; page < pages.size(); ++page) {
        if (page > 0) printer->EndCurrentPage();
        printer->StartNewPage();
        PrintPageHeader(*printer.Get(), title, page + 1, pageWidth);
        for (const std::string& line : pages[page]) printer->PrintText(line, 0, 0);
    }
    printer->EndCurrentPage();
    printer->EndDocument();
}

}  // namespace tessaly::print
