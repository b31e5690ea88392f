// The mouse in the calendar.
#include "editor/calendar/win/calendar_mouse.h"

#include <windowsx.h>

namespace tessaly::calendar {

std::optional<editor::Update> OnCalendarMouse(editor::EditorModel& model, UINT msg, LPARAM lParam,
                                              bool dateBoxEmpty) {
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    switch (msg) {
        case WM_LBUTTONDOWN:
            return model.Click(x, y);
        case WM_LBUTTONDBLCLK:
            return model.DoubleClick(x, y, dateBoxEmpty);
        default:
            return std::nullopt;
    }
}

}  // namespace tessaly::calendar
