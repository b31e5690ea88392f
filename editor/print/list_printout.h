// Printing the reminder list: the printer dialog, then the list's pages drawn with GDI.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "core/reminder.h"

namespace tessaly::print {

// The printer the user picked in the print dialog, and the copies asked for there, which the
// program prints itself (the dialog leaves them to it).
struct PrinterJob {
    HDC dc = nullptr;      // null when the dialog was cancelled
    int copies = 1;        // at least 1
    bool collate = false;  // whole copies one after the other, rather than each page n times
};

// The print dialog (no owner). orientation 0 asks for portrait, 1 for landscape, -1 leaves the
// printer's own choice.
PrinterJob GetPrinterDC(int orientation);

// Where printing meets the machine; empty members use the real thing.
struct ListPrintSeams {
    std::function<PrinterJob()> printer;  // default: GetPrinterDC(0); the printout deletes its DC
    std::function<int(HDC)> startPage;    // default: StartPage
    std::function<int(HDC)> endPage;      // default: EndPage
    std::function<int(HDC)> endDoc;       // default: EndDoc
    std::function<int(HDC)> abortDoc;     // default: AbortDoc
    std::function<int(HWND owner, std::string_view text, std::string_view caption, UINT style)>
        messageBox;          // default: the system message box
    std::string outputFile;  // print into this file instead of the printer's port
    std::string face;        // the font's face; empty: "MS Sans Serif"
};

struct ListPrintResult {
    bool cancelled = false;  // the print dialog was cancelled: nothing printed, no message
    // 2: the document could not start, 3: a page could not start, 4: a page could not be
    // finished, 5: the document could not be finished.
    int errorCode = 0;
    int pages = 0;     // pages ended, copies included
    int lastLine = 0;  // L of the printer's page: a page holds L + 1 records
};

// Prints every entry of the list in its order, L + 1 a page with the headings on each, as many
// copies as were asked for. A failure is reported in a message box and aborts the document, so
// no half-written job is left in the spooler.
ListPrintResult PrintReminderList(const ReminderList& list, const ListPrintSeams& seams = {});

}  // namespace tessaly::print
