// The message box seam and the system box behind it.
#include "win/message_box.h"

#include "win/text.h"

namespace tessaly::win {

int SystemMessageBox(HWND owner, std::string_view text, std::string_view caption, UINT style) {
    return MessageBoxW(owner, Utf8ToWide(text).c_str(), Utf8ToWide(caption).c_str(), style);
}

SystemCall<MessageBoxCall> messageBox{&SystemMessageBox};

}  // namespace tessaly::win
