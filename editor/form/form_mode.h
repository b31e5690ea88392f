// The states of the reminder form: which buttons it offers (FormMode) and what the user is typing
// into (Editing). The calendar's drawing decides a FormMode too, so both live with the form.
#pragma once

namespace tessaly::editor {

// The button state of the form, as applied last.
enum class FormMode { kStart = 0, kNothingShown, kEditingNew, kEditingShown, kShown };
// What the user is typing into: nothing, a new reminder, or the shown one.
enum class Editing { kNone = 0, kNew, kShown };

}  // namespace tessaly::editor
