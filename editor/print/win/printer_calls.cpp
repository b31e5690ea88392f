// The real printing calls behind the printouts' seams.
#include "editor/print/win/printer_calls.h"

namespace tessaly::print {

win::SystemCall<BOOL(PRINTDLGA*)> printDialog{&PrintDlgA};
win::SystemCall<int(HDC, const DOCINFOA*)> startDoc{&StartDocA};
win::SystemCall<int(HDC)> startPage{&StartPage};
win::SystemCall<int(HDC)> endPage{&EndPage};
win::SystemCall<int(HDC)> endDoc{&EndDoc};
win::SystemCall<int(HDC)> abortDoc{&AbortDoc};

}  // namespace tessaly::print
