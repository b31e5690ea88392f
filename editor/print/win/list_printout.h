// Printing the reminder list: the printer dialog, then the list's pages drawn with GDI.
#pragma once

#include <windows.h>

#include "core/reminder.h"
#include "win/handles.h"

namespace tessaly::print {

// The printer the user picked in the print dialog, and the copies asked for there, which the
// program prints itself (the dialog leaves them to it).
struct PrinterJob {
    win::OwnedDc dc;       // none when the dialog was cancelled
    int copies = 1;        // at least 1
    bool collate = false;  // whole copies one after the other, rather than each page n times
};

// The print dialog (no owner). orientation 0 asks for portrait, 1 for landscape, -1 leaves the
// printer's own choice.
PrinterJob GetPrinterDC(int orientation);

// The list's printer font: "MS Sans Serif" 11 points, unless another face is asked for.
inline constexpr const char* kListFace = "MS Sans Serif";

struct ListPrintResult {
    bool cancelled = false;  // the print dialog was cancelled: nothing printed, no message
    // 2: the document could not start, 3: a page could not start, 4: a page could not be
    // finished, 5: the document could not be finished.
    int errorCode = 0;
    int pages = 0;     // pages ended, copies included
    int lastLine = 0;  // L of the printer's page: a page holds L + 1 records
};

// Asks for a printer (GetPrinterDC), then prints every entry of the list in its order, L + 1 a
// page with the headings on each, as many copies as were asked for. A failure is reported in a
// message box and aborts the document, so no half-written job is left in the spooler.
ListPrintResult PrintReminderList(const ReminderList& list, const char* face = kListFace);

}  // namespace tessaly::print
