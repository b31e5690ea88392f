// Printing the reminder list with plain GDI calls over the portable page layout.
#include "editor/print/win/list_printout.h"

#include <commdlg.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "editor/print/list_page_layout.h"
#include "editor/print/win/printer_calls.h"
#include "win/gdi.h"
#include "win/message_box.h"

namespace tessaly::print {
namespace {

constexpr char kDocumentName[] = "Dorvik Print";
constexpr int kPoints = 11;

}  // namespace

PrinterJob GetPrinterDC(int orientation) {
    // sizeof, not the 66 bytes of the 32-bit layout: the structure grows with pointer size.
    PRINTDLGA pd{};
    pd.lStructSize = sizeof pd;
    pd.Flags = PD_RETURNDC | PD_HIDEPRINTTOFILE | PD_NOSELECTION | PD_NOPAGENUMS;
    if (!printDialog(&pd)) return {};
    win::OwnedDc dc(pd.hDC);
    const win::GlobalMemory settings(pd.hDevMode), names(pd.hDevNames);
    if (orientation + 1 != 0) {
        if (const win::Locked<DEVMODEA> mode(settings.get());
            mode && (mode->dmFields & DM_ORIENTATION)) {
            mode->dmOrientation = static_cast<short>(orientation + 1);
            mode->dmFields |= DM_ORIENTATION;
            ResetDCA(dc.get(), mode.get());
        }
    }
    // Without PD_USEDEVMODECOPIESANDCOLLATE the printer makes one copy; the rest are ours.
    return {std::move(dc), std::max<int>(pd.nCopies, 1), (pd.Flags & PD_COLLATE) != 0};
}

ListPrintResult PrintReminderList(const ReminderList& list, const char* face) {
    ListPrintResult result;
    const PrinterJob job = GetPrinterDC(0);
    HDC dc = job.dc.get();
    if (!dc) {
        result.cancelled = true;
        return result;
    }
    // Put back, then deleted, before the job's DC goes.
    const win::Font font = win::MakeOwnedFont(dc, face, kPoints);
    const win::SelectedObject selected(dc, font.get());
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    const ListPageLayout layout =
        MakeListPageLayout({GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, LOGPIXELSY),
                            GetDeviceCaps(dc, PHYSICALOFFSETX), GetDeviceCaps(dc, PHYSICALOFFSETY),
                            tm.tmHeight + tm.tmExternalLeading, GetDeviceCaps(dc, VERTRES)});
    result.lastLine = layout.lastLine;
    // Measured in the font selected into the printer's own DC.
    const std::vector<PrintedPage> pages = LayOutListPages(list, layout, win::DcMeasure(dc));

    // Collated copies repeat the whole list; uncollated ones repeat each page.
    std::vector<const PrintedPage*> sheets;
    const int copies = std::max(job.copies, 1);
    for (int outer = 0; outer < (job.collate ? copies : 1); ++outer) {
        for (const PrintedPage& page : pages) {
            for (int inner = 0; inner < (job.collate ? 1 : copies); ++inner)
                sheets.push_back(&page);
        }
    }

    DOCINFOA doc{};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = kDocumentName;
    if (startDoc(dc, &doc) <= 0) {
        result.errorCode = 2;
    } else {
        for (const PrintedPage* page : sheets) {
            if (startPage(dc) <= 0) {
                result.errorCode = 3;
                break;
            }
            for (const PlacedText& t : page->texts) win::DrawTextAt(dc, t.x, t.y, t.text);
            if (endPage(dc) <= 0) {
                result.errorCode = 4;
                break;
            }
            ++result.pages;
        }
        if (result.errorCode == 0 && endDoc(dc) <= 0) result.errorCode = 5;
    }
    if (result.errorCode != 0) {
        win::ShowMessage(nullptr, "Printing error has occurred",
                         "Printing Error " + std::to_string(result.errorCode),
                         MB_OK | MB_ICONERROR);
        // A started document would otherwise stay open, or half-written, in the spooler.
        if (result.errorCode != 2) abortDoc(dc);
    }
    return result;
}

}  // namespace tessaly::print
