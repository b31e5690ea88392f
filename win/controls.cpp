// Control texts through UTF-16, so no character depends on the system's code page.
#include "win/controls.h"

#include <algorithm>

#include "win/text.h"

namespace tessaly::win {

std::string GetItemText(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    const int length = GetWindowTextLengthW(item);
    std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(item, wide.data(), length + 1);
    wide.resize(static_cast<std::size_t>(std::max(got, 0)));
    return WideToCp1252(wide);
}

void SetItemText(HWND dialog, int id, std::string_view cp1252) {
    SetDlgItemTextW(dialog, id, Cp1252ToWide(cp1252).c_str());
}

}  // namespace tessaly::win
