// The editor's main window: the calendar above, the reminder form below, the command buttons
// and the status bar. Its state lives in one MainWindow reached from the dialog's DWLP_USER.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/date.h"
#include "core/reminder.h"
#include "editor/calendar/calendar_state.h"
#include "editor/list/list_rules.h"
#include "editor/print/list_printout.h"

namespace tessaly::editor {

// Window title: "Tessaly - ver " and the editor's file label.
inline constexpr std::string_view kWindowTitle = "Tessaly - ver 3.03";
// Posted from WM_INITDIALOG so the start-up maintenance runs once the window is shown.
inline constexpr UINT kStartupMaintenanceMessage = WM_USER + 500;

// The seams through which the editor meets the machine; empty members use the real thing.
struct EditorOptions {
    std::wstring firstArgument;  // the command line's first argument
    std::function<std::wstring(int csidl)> specialFolderPath;
    std::function<DateKey()> today;
    print::ListPrintSeams print;  // the list printout's printer
};

struct EditorPaths {
    std::wstring programFolder;   // common application data + \Quorvane\Tessaly
    std::wstring settingsFile;    // programFolder + \Tessaly.ini
    std::wstring helpFile;        // programFolder + \Tessaly.ahp
    std::wstring documentFolder;  // documents + \Quorvane\Tessaly
    std::wstring dataFile;
    std::wstring dataFolder;
};

// FormMode values (button states of the form).
enum FormMode { kModeStart = 0, kModeNothingShown, kModeEditingNew, kModeEditingShown, kModeShown };

struct MainWindow {
    HWND hwnd = nullptr;
    EditorOptions options;
    bool modal = false;

    EditorPaths paths;
    ReminderData data;
    DateKey today = 0;

    int currentIndex = 0;  // 1-based position of the shown reminder, 0 for none
    int formMode = kModeStart;
    int editingState = 0;     // 0 not editing, 1 editing a new reminder, 2 the shown one
    bool justFilled = false;  // set by FillForm, cleared by the next kind choice
    bool dirty = false;
    bool loaded = false;  // the data file was read; only then may start-up write it back
    bool closing = false;
    DateKey selectedKey = 0;    // day last chosen by a single click
    int returnIndex = 0;        // shown before a double-click, for "&Cancel"
    std::vector<int> sameDate;  // SameDateOrdinals of the current list, by position

    list::ListMode listMode = list::ListMode::kCurrent;  // the list window's last list
    calendar::CalendarState calendar;  // displayed pair, click, marked cell, changed mark

    HBRUSH whiteBrush = nullptr;
    HICON smallIcon = nullptr;
};

// Runs the main window modally (the program's life) and returns its result.
INT_PTR RunMainDialog(HINSTANCE instance, EditorOptions options);
// The same window, modeless, for tests; it destroys itself (and its state) when closed.
HWND CreateMainDialog(HINSTANCE instance, EditorOptions options);
// The state of a main window, or null.
MainWindow* MainWindowFrom(HWND hwnd);

// The whole program: single-instance check, then the main window. Returns the exit code.
int RunEditor(HINSTANCE instance, std::wstring_view commandLine, EditorOptions options);

// Form operations shared with the calendar, the list window and the settings dialog.
void SetFormMode(MainWindow& w, int mode);
void FillForm(MainWindow& w, int index);
void ClearForm(MainWindow& w);
void UpdatePeriodFields(MainWindow& w, int code);
void SetStatusText(MainWindow& w, int part, std::string_view cp1252);
// Status parts 2 and 3 for the current index (both empty when none is shown).
void ShowPositionInStatus(MainWindow& w);
void RecomputeSameDate(MainWindow& w);
// Loads the data file named by w.paths.dataFile into the lists.
void LoadDataFile(MainWindow& w);

// "&List" (list_command.cpp).
void OpenListWindow(MainWindow& w);

// Command handlers (form_commands.cpp).
void OnCommand(MainWindow& w, int id, int code, HWND control);
void OnLeftButtonDown(MainWindow& w, int x, int y);
void OnLeftButtonDoubleClick(MainWindow& w, int x, int y);
// Returns true when the close was swallowed (the window stays).
bool OnClose(MainWindow& w);

}  // namespace tessaly::editor
