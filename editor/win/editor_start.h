// The editor's start: one copy at a time, its folders and data file found, then the main
// window for the program's life.
#pragma once

#include <string>
#include <string_view>

namespace tessaly::editor {

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
// the command line's first argument, else the settings file's first line, else the default.
EditorPaths FindPaths(std::wstring_view firstArgument);

// The help file to open: the installed one, else the one beside the program (an unpacked
// release that was never installed), else the installed path, which then says there is none.
std::wstring HelpFileToOpen(const EditorPaths& paths);

// The whole program: single-instance check, then the main window. Returns the exit code.
int RunEditor(std::wstring_view commandLine);

}  // namespace tessaly::editor
