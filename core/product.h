// Tessaly's names, the places its files go and its version: one home for the programs, the
// installer, the resource files (which read the macros, RC_INVOKED) and the build (which reads
// TESSALY_VERSION).
#pragma once

#define TESSALY_VENDOR "Quorvane"
#define TESSALY_PRODUCT "Tessaly"
#define TESSALY_VERSION "3.03"
#define TESSALY_VERSION_NUMBERS 3, 3, 0, 0

#ifndef RC_INVOKED
#include <string_view>

namespace tessaly {

inline constexpr std::string_view kVersion = TESSALY_VERSION;
inline constexpr std::wstring_view kVersionWide = L"" TESSALY_VERSION;
inline constexpr std::wstring_view kVendor = L"" TESSALY_VENDOR;
// The editor's window title.
inline constexpr std::string_view kWindowTitle = TESSALY_PRODUCT " - ver " TESSALY_VERSION;

// Below each base folder (documents, common application data, program files) the programs keep
// their own.
inline constexpr std::wstring_view kVendorFolder = L"\\" TESSALY_VENDOR;
inline constexpr std::wstring_view kProductFolder = L"\\" TESSALY_VENDOR "\\" TESSALY_PRODUCT;

// The files, as they lie beside the installer and where they are installed.
inline constexpr std::wstring_view kDataFile = L"Tessaly.tsy";
inline constexpr std::wstring_view kSettingsFile = L"Tessaly.ini";
inline constexpr std::wstring_view kHelpFile = L"Tessaly.ahp";
inline constexpr std::wstring_view kEditorFile = L"Tessaly.exe";
inline constexpr std::wstring_view kNotifierFile = L"TessalyStartup.exe";
inline constexpr std::wstring_view kSetupFile = L"TessalySetup.exe";
inline constexpr std::wstring_view kToolFile = L"tsy.exe";  // installed when the release has it
inline constexpr std::wstring_view kEditorLink = L"Tessaly.lnk";
inline constexpr std::wstring_view kNotifierLink = L"TessalyStart.lnk";

// The single-instance mutexes: each program's own name.
inline constexpr std::string_view kEditorMutex = "Tessaly";
inline constexpr std::string_view kNotifierMutex = "TessalyStartup";

// The shell's special folders the programs use (CSIDL numbers).
inline constexpr int kDesktopFolder = 0x00;          // CSIDL_DESKTOP
inline constexpr int kProgramsMenuFolder = 0x02;     // CSIDL_PROGRAMS: the Start menu's programs
inline constexpr int kDocumentsFolder = 0x05;        // CSIDL_PERSONAL
inline constexpr int kStartupFolder = 0x07;          // CSIDL_STARTUP
inline constexpr int kCommonAppDataFolder = 0x23;    // CSIDL_COMMON_APPDATA
inline constexpr int kProgramFilesX86Folder = 0x2a;  // CSIDL_PROGRAM_FILESX86

}  // namespace tessaly
#endif
