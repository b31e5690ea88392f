// The list window: a modal dialog over the main window that shows the current or the archived
// reminders one a line, deletes them, prints them, and goes back to a chosen reminder.
#pragma once

#include <windows.h>

#include "core/reminder.h"
#include "editor/list/list_rules.h"

namespace tessaly::list {

// The main window's side: the lists it owns and what the list window changes in it.
class ListHost {
  public:
    virtual ~ListHost() = default;
    virtual const ReminderList& Shown(ListMode mode) const = 0;
    virtual int CurrentIndex() const = 0;
    // True while the form is being edited: then "&Back" would drop the edit, so it is hidden.
    virtual bool Editing() const = 0;
    // The calendar keeps its selection frame while the list is open; once it is closed, the
    // main window's status bar shows its own reminder again.
    virtual void SetListOpen(bool open) = 0;
    // Status-bar parts 2 and 3 for line `line` (1-based) of the shown list.
    virtual void ShowSelection(ListMode mode, int line) = 0;
    // Removes entry `position` of the list and brings the main window back in line with it.
    virtual void DeleteEntry(ListMode mode, int position) = 0;
};

// Shows the window modally over owner; every opening starts with the current list, and
// `mode` keeps the last list shown after it closes. Returns the current-list position that
// "&Back" chose, or 0 when the window closed without one.
int ListDialog(HWND owner, ListHost& host, ListMode& mode);

}  // namespace tessaly::list
