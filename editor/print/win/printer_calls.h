// The printing calls every printout makes, each behind one replaceable function, so tests
// choose the printer without a dialog, print into files of their own and make a step fail.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include "win/system_call.h"

namespace tessaly::print {

extern win::SystemCall<BOOL(PRINTDLGA* dialog)> printDialog;        // PrintDlgA
extern win::SystemCall<int(HDC dc, const DOCINFOA* job)> startDoc;  // StartDocA
extern win::SystemCall<int(HDC dc)> startPage;                      // StartPage
extern win::SystemCall<int(HDC dc)> endPage;                        // EndPage
extern win::SystemCall<int(HDC dc)> endDoc;                         // EndDoc
extern win::SystemCall<int(HDC dc)> abortDoc;                       // AbortDoc

}  // namespace tessaly::print
