// Printing the reminder list with plain GDI calls over the portable page layout.
#include "editor/print/list_printout.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "editor/print/list_page_layout.h"
#include "win/gdi.h"
#include "win/message_box.h"

namespace tessaly::print {
namespace {

constexpr char kDocumentName[] = "Dorvik Print";
constexpr char kFace[] = "MS Sans Serif";
constexpr int kPoints = 11;

}  // namespace

HDC GetPrinterDC(int orientation) {
    // sizeof, not the 66 bytes of the 32-bit layout: the structure grows with pointer size.
    PRINTDLGA pd{};
    pd.lStructSize = sizeof pd;
    pd.Flags = PD_RETURNDC | PD_HIDEPRINTTOFILE | PD_NOSELECTION | PD_NOPAGENUMS;
    if (!PrintDlgA(&pd)) return nullptr;
    HDC dc = pd.hDC;
    if (orientation + 1 != 0 && pd.hDevMode) {
        if (auto* mode = static_cast<DEVMODEA*>(GlobalLock(pd.hDevMode))) {
            if (mode->dmFields & DM_ORIENTATION) {
                mode->dmOrientation = static_cast<short>(orientation + 1);
                mode->dmFields |= DM_ORIENTATION;
                ResetDCA(dc, mode);
            }
            GlobalUnlock(pd.hDevMode);
        }
    }
    if (pd.hDevMode) GlobalFree(pd.hDevMode);
    if (pd.hDevNames) GlobalFree(pd.hDevNames);
    return dc;
}

ListPrintResult PrintReminderList(const ReminderList& list, const ListPrintSeams& seams) {
    ListPrintResult result;
    HDC dc = seams.printerDC ? seams.printerDC() : GetPrinterDC(0);
    if (!dc) {
        result.cancelled = true;
        return result;
    }
    HFONT font = win::MakeFont(dc, kFace, kPoints);
    HGDIOBJ previous = SelectObject(dc, font);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    const ListPageLayout layout =
        MakeListPageLayout({GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, LOGPIXELSY),
                            GetDeviceCaps(dc, PHYSICALOFFSETX), GetDeviceCaps(dc, PHYSICALOFFSETY),
                            tm.tmHeight + tm.tmExternalLeading, GetDeviceCaps(dc, VERTRES)});
    result.lastLine = layout.lastLine;
    // Reminder texts are single-byte, so the A functions measure them as stored.
    const TextMeasure measure{[dc](std::string_view text) { return win::TextWidth(dc, text); },
                              [dc](std::string_view text, int maxWidth) {
                                  return win::FitTextToWidth(dc, text, maxWidth);
                              }};
    const std::vector<PrintedPage> pages = LayOutListPages(list, layout, measure);

    DOCINFOA doc{};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = kDocumentName;
    doc.lpszOutput = seams.outputFile.empty() ? nullptr : seams.outputFile.c_str();
    if (StartDocA(dc, &doc) <= 0) {
        result.errorCode = 2;
    } else {
        for (const PrintedPage& page : pages) {
            const int started = seams.startPage ? seams.startPage(dc) : StartPage(dc);
            if (started <= 0) {
                result.errorCode = 3;
                break;
            }
            for (const PlacedText& t : page.texts) {
                TextOutA(dc, t.x, t.y, t.text.data(), static_cast<int>(t.text.size()));
            }
            EndPage(dc);
            ++result.pages;
        }
        if (result.errorCode == 0) EndDoc(dc);
    }
    if (result.errorCode != 0) {
        const auto show = seams.messageBox ? seams.messageBox : win::ShowMessage;
        show(nullptr, "Printing error has occurred",
             "Printing Error " + std::to_string(result.errorCode), MB_OK | MB_ICONERROR);
        // The started document would otherwise stay open in the spooler.
        if (result.errorCode == 3) {
            if (seams.abortDoc) {
                seams.abortDoc(dc);
            } else {
                AbortDoc(dc);
            }
        }
    }
    SelectObject(dc, previous);
    DeleteObject(font);
    DeleteDC(dc);
    return result;
}

}  // namespace tessaly::print
