// Printing a help topic through the print object.
#include "editor/print/win/help_text_print.h"

#include <string>

#include "editor/print/help_text_layout.h"
#include "editor/print/win/print_object.h"

namespace tessaly::print {
namespace {

constexpr double kLeftMargin = 0.75, kRightMargin = 0.75, kTopMargin = 0.25, kBottomMargin = 0.5;
constexpr char kFace[] = "Courier New";
constexpr int kTitlePoints = 12, kBodyPoints = 9;

// Line widths in inches, in the print object's current font.
class PrinterMeasure : public LineMeasure {
  public:
    explicit PrinterMeasure(ITPrint& printer) : printer_(printer) {}
    double Width(std::string_view text) const override { return printer_.TextWidthInches(text); }
    std::size_t FitLeading(std::string_view text, double width) const override {
        return printer_.FitText(text, width).size();
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
    Microsoft::WRL::ComPtr<ITPrint> printer = CreatePrintObject();
    if (!printer || printer->ChoosePrinter().empty()) return;

    printer->SetMargins(kLeftMargin, kRightMargin, kTopMargin, kBottomMargin);
    double pageWidth = 0, pageHeight = 0;
    printer->GetPageSize(&pageWidth, &pageHeight);
    printer->SetFont(kFace, kBodyPoints, "");
    const auto pages = LayoutHelpText(text, pageWidth - kLeftMargin - kRightMargin,
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
