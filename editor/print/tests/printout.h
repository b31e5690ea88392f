// Reading back what the test printers wrote: Ghostscript and poppler, Linux programs that Wine
// starts like its own, turn a PostScript job into page texts, word boxes and PNG pages.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <functional>
#include <string>
#include <vector>

#include "win/system_call.h"

namespace tessaly::print::test {

// The two printers of the test prefix (scripts/printer): PostScript on the FILE: port, Letter,
// 300 dpi, printable area inset 0.25 in left, right and top, 0.5 in at the bottom.
inline constexpr char kDuplexPrinter[] = "Tessaly Test Printer";  // the default; two-sided
inline constexpr char kSimplexPrinter[] = "Tessaly Simplex Printer";

// Answers a printer dialog with OK for this printer, as PrintDlg does: a device context, and
// DEVMODE and DEVNAMES in movable global memory. FALSE when the printer cannot be opened.
BOOL AnswerPrintDialog(PRINTDLGA* dialog, const std::string& printer);

// While the holder lives, the printouts' print dialog is answered with OK for this printer,
// with no window.
win::Replaced AnswerPrintDialogsWith(const std::string& printer);

// While the holder lives, every document a printout starts is written into this file (a
// Windows path) instead of going to the printer's port.
win::Replaced PrintInto(const std::string& path);

// Runs `act` once inside the real printer dialog's own modal loop, as soon as the dialog (a
// visible window of this thread titled "Print") is up; `act` ends the dialog itself. For one
// scope: the thread timer that looks for the dialog stops with it.
class InPrintDialog {
  public:
    explicit InPrintDialog(std::function<void(HWND dialog)> act);
    ~InPrintDialog();
    InPrintDialog(const InPrintDialog&) = delete;
    InPrintDialog& operator=(const InPrintDialog&) = delete;
    int runs() const;

  private:
    UINT_PTR timer_ = 0;
};

// Sets the number of copies in the printer dialog and presses its OK button.
void PrintCopies(HWND dialog, int copies);

// A fresh Windows path in the temp folder for a job's output (an old file there is removed).
std::string OutputPath(const std::string& name);

// The Linux path of a Windows path.
std::string UnixPath(const std::string& windowsPath);

// Runs a Linux program with these arguments and waits for it; throws std::runtime_error when it
// cannot start, fails or takes more than a minute.
void RunUnixProgram(const std::vector<std::string>& argv);

// The file's bytes; empty when there is none.
std::string ReadJobFile(const std::string& path);

// One word as poppler found it: page from 1; box in points from the sheet's top left corner.
struct PrintedWord {
    int page = 0;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    std::string text;
};

struct Printout {
    std::string postScript;          // the job as written
    std::vector<std::string> pages;  // each page's text, laid out (pdftotext -layout)
    std::vector<PrintedWord> words;  // in reading order
    bool twoSided = false;           // the job asks for duplex printing
};

// Reads a finished PostScript job (waiting a few seconds for the spooler to write its end);
// throws when it cannot be converted.
Printout ReadPrintout(const std::string& postScriptPath);

// One page as grey levels (0 black .. 255 white), row by row from the sheet's top left corner.
struct GrayPage {
    int width = 0, height = 0;
    std::vector<unsigned char> pixels;
    unsigned char at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Renders each page of a finished job at `dpi`; at the printer's own 300 dpi a device pixel
// (x, y) is the page's pixel (x + PHYSICALOFFSETX, y + PHYSICALOFFSETY).
std::vector<GrayPage> RenderGray(const std::string& postScriptPath, int dpi);

// Renders each page to PNG_PREFIX-N.png (Linux path prefix) at the given resolution; returns
// the files written.
std::vector<std::string> RenderPages(const std::string& postScriptPath,
                                     const std::string& pngPrefix, int dpi);

}  // namespace tessaly::print::test
