// The mouse in the calendar: the main window's button messages turned into the model's clicks.
#pragma once

#include <windows.h>

#include <optional>

#include "editor/model/editor_model.h"

namespace tessaly::calendar {

// WM_LBUTTONDOWN (a click) and WM_LBUTTONDBLCLK (a double-click) at the client coordinates in
// lParam; nothing for other messages. dateBoxEmpty: the form's date box holds no text (a
// double-click while typing a reminder with a date is ignored).
std::optional<editor::Update> OnCalendarMouse(editor::EditorModel& model, UINT msg, LPARAM lParam,
                                              bool dateBoxEmpty);

}  // namespace tessaly::calendar
