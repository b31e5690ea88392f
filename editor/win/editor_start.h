// The editor's start: one copy at a time, its folders and data file found, then the main
// window for the program's life.
#pragma once

#include <windows.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/date.h"
#include "editor/print/list_printout.h"

namespace tessaly::editor {

// The seams through which the editor meets the machine; empty members use the real thing.
struct EditorOptions {
    std::wstring firstArgument;  // the command line's first argument
    std::function<std::wstring(int csidl)> specialFolderPath;
    std::function<DateKey()> today;
    // The path of Tessaly.exe itself; the help file may lie beside it.
    std::function<std::wstring()> programFile;
    print::ListPrintSeams print;  // the list printout's printer
    // The settings dialog's folder browser: the folder chosen, or nothing when cancelled.
    std::function<std::optional<std::filesystem::path>(HWND owner,
                                                       const std::filesystem::path& start)>
        chooseDataFolder;
};

struct EditorPaths {
    std::wstring programFolder;      // common application data + \Quorvane\Tessaly
    std::wstring settingsFile;       // programFolder + \Tessaly.ini
    std::wstring helpFile;           // programFolder + \Tessaly.ahp, where setup puts it
    std::wstring helpBesideProgram;  // the folder of Tessaly.exe + \Tessaly.ahp
    std::wstring documentFolder;     // documents + \Quorvane\Tessaly
    std::wstring dataFile;
    std::wstring dataFolder;
};

// Creates the program and document folders when they are missing and finds the data file:
// the first argument, else the settings file's first line, else the default.
EditorPaths FindPaths(const EditorOptions& options);

// The help file to open: the installed one, else the one beside the program (an unpacked
// release that was never installed), else the installed path, which then says there is none.
std::wstring HelpFileToOpen(const EditorPaths& paths);

// Today from the options' clock, or the system's local date.
DateKey Today(const EditorOptions& options);

// The whole program: single-instance check, then the main window. Returns the exit code.
int RunEditor(HINSTANCE instance, std::wstring_view commandLine, EditorOptions options);

}  // namespace tessaly::editor
