// AppMsgBox: the editor's own white message box that sizes itself to its text, modal or modeless.
#pragma once

#include <string_view>

#include "win/system_call.h"

namespace tessaly::editor {

// Shows text (UTF-8, lines separated by CR LF) under title. The absolute value of style is a
// message-box style (buttons in the low four bits, icon kind in the next four); a negative style
// runs the box modally and returns the button pressed (IDYES, IDNO, IDCANCEL or IDOK), zero or
// positive shows it modelessly and returns 0 at once. A non-zero beep sounds the icon kind's
// beep. x, y place the box that far from the active window's corner (from the screen's corner
// when there is none); both 0 centre it on the active window, or in the work area.
// Returns 0 when the box cannot be created.
int AppMsgBox(std::string_view text, int style, std::string_view title, int beep, int x, int y);

// The beep AppMsgBox sounds: MessageBeep, unless a test listens instead.
void SystemBeep(unsigned type);
extern win::SystemCall<void(unsigned type)> appMsgBoxBeep;

// The system icon shown for an icon kind (16, 32, 48, 64), as a resource name; null for none.
const wchar_t* SystemIconName(int kind);

}  // namespace tessaly::editor
