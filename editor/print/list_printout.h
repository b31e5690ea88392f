// Printing the reminder list: the printer dialog, then the list's pages drawn with GDI.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "core/reminder.h"

namespace tessaly::print {

// The printer the user picks in the print dialog (no owner), as a device context, or null
// when the dialog is cancelled. orientation 0 asks for portrait, 1 for landscape, -1 leaves
// the printer's own choice.
HDC GetPrinterDC(int orientation);

// Where printing meets the machine; empty members use the real thing.
struct ListPrintSeams {
    std::function<HDC()> printerDC;     // default: GetPrinterDC(0); the printout deletes it
    std::function<int(HDC)> startPage;  // default: StartPage
    std::function<int(HDC)> abortDoc;   // default: AbortDoc
    std::function<int(HWND owner, std::string_view text, std::string_view caption, UINT style)>
        messageBox;          // default: the system message box
    std::string outputFile;  // print into this file instead of the printer's port
};

struct ListPrintResult {
    bool cancelled = false;  // the print dialog was cancelled: nothing printed, no message
    int errorCode = 0;       // 2: the document could not start, 3: a page could not start
    int pages = 0;           // pages ended
    int lastLine = 0;        // L of the printer's page: a page holds L + 1 records
};

// Prints every entry of the list in its order, L + 1 a page with the headings on each.
// A failure is reported in a message box; a page that cannot start aborts the document, so
// no half-written job is left in the spooler.
ListPrintResult PrintReminderList(const ReminderList& list, const ListPrintSeams& seams = {});

}  // namespace tessaly::print
