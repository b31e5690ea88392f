// The print object: a job on a chosen printer, positioned in inches from the sheet's top left
// corner, kept inside the margins, and its failures reported in message boxes.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <string>
#include <string_view>

#include "win/com.h"

namespace tessaly::print {

// The print object's one interface. One object serves one job: choose a printer, set margins
// and fonts, StartDocument, then StartNewPage, PrintText lines (y = 0: the next line) and
// EndCurrentPage for each page, and EndDocument. The calls marked "auto" first take the
// default printer when none is chosen yet.
struct ITPrint : public IUnknown {
    // The default printer (the "device" entry of the "windows" profile section); its name.
    virtual std::string STDMETHODCALLTYPE UseDefaultPrinter() = 0;
    // The printer dialog; the chosen printer's name, empty when it was cancelled and no
    // printer had been chosen before.
    virtual std::string STDMETHODCALLTYPE ChoosePrinter() = 0;
    // auto. style letters: "b" bold, "i" italic, "u" underline.
    virtual void STDMETHODCALLTYPE SetFont(std::string_view face, int points,
                                           std::string_view style) = 0;
    virtual double STDMETHODCALLTYPE TextWidthInches(std::string_view text) = 0;  // auto
    // auto. The longest leading part within `inches`; the trailing part for a negative width.
    virtual std::string STDMETHODCALLTYPE FitText(std::string_view text, double inches) = 0;
    virtual void STDMETHODCALLTYPE SetMargins(double left, double right, double top,
                                              double bottom) = 0;
    // auto. The whole sheet, in inches.
    virtual void STDMETHODCALLTYPE GetPageSize(double* width, double* height) = 0;
    // auto. The current font's average character width and line height, in inches.
    virtual void STDMETHODCALLTYPE GetCharMetrics(double* averageWidth, double* lineHeight) = 0;
    // auto. Lines of the current font that fit from y down to the bottom margin.
    virtual int STDMETHODCALLTYPE LinesLeft(double y) = 0;
    // 1 when the printer has a two-sided setting; 0 otherwise and before a printer is chosen.
    virtual int STDMETHODCALLTYPE CanDuplex() = 0;
    // DMDUP_SIMPLEX, DMDUP_VERTICAL or DMDUP_HORIZONTAL; 0 changes nothing.
    virtual void STDMETHODCALLTYPE SetDuplex(int mode) = 0;
    virtual void STDMETHODCALLTYPE SetPosition(double x, double y) = 0;
    // auto. One line at (x, y) inches; x 0 keeps the last x, y 0 is one line below the last.
    virtual void STDMETHODCALLTYPE PrintText(std::string_view text, double x, double y) = 0;
    virtual void STDMETHODCALLTYPE StartDocument(std::string_view name) = 0;  // auto
    virtual void STDMETHODCALLTYPE StartNewPage() = 0;
    virtual void STDMETHODCALLTYPE EndCurrentPage() = 0;
    // Ends the job and gives the printer back; the object is spent.
    virtual void STDMETHODCALLTYPE EndDocument() = 0;
};

extern const IID IID_ITPrint;

// Creates an object of the program by its class name ("cTPrint"). S_OK;
// CLASS_E_CLASSNOTAVAILABLE for an unknown name; E_NOINTERFACE when it lacks the interface.
HRESULT CreateObjectByName(std::string_view className, REFIID iid, void** object);

// A new print object; null only when the program has none.
win::ComPtr<ITPrint> CreatePrintObject();

}  // namespace tessaly::print
