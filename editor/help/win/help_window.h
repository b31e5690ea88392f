// The help window: the topic tree, the text of the chosen topic, the search and the print hook.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "editor/help/help_file.h"

namespace tessaly::help {

// Control and command identifiers of the help window.
enum HelpId : int {
    kTreeId = 101,
    kTitleId = 102,
    kBandId = 103,
    kTextId = 104,
    kSplitterId = 105,
    kStatusId = 106,
    kFindTextCommand = 121,
    kNextCommand = 122,
    kPrevCommand = 123,
    kPrintCommand = 124,
    kExpandCommand = 125,
    kCollapseCommand = 126,
    kMenuCommand = 130,
    kSwitchFocusCommand = 131,
    kEscapeCommand = 132,
};

inline constexpr wchar_t kStatusHint[] = L"  Right click mouse (or F10) for menu options";

// What the help window asks of the program around it.
class HelpHost {
  public:
    virtual ~HelpHost() = default;
    // Prints the shown topic (Ctrl+P); called only for a topic with text, with a copy of it.
    // While it runs the window takes no command and does not close.
    virtual void PrintTopic(HWND helpWindow, const HelpTopic& topic) = 0;
};

// Opens the help file in the help window at the caller's screen position plus the offsets and
// returns when the window closes; Ctrl+P prints the shown topic on paper (print::HelpTextPrint).
// The window has no owner, so the caller stays usable; when a help window is already open, it
// is brought to the front instead and the call returns at once. Its boxes ("No help
// available", "None found", ...) go through win::ShowMessage.
void ShowHelp(const std::wstring& helpFile, std::wstring_view title, HWND caller, int xOffset = 100,
              int yOffset = 80);

// The steps of ShowHelp, for tests that drive the window without its loop.
// Creates and shows the window; nullptr after "No help available" or "No help content".
// host prints the topics (null: Ctrl+P prints nothing); it outlives the window.
HWND CreateHelpWindow(const std::wstring& helpFile, std::wstring_view title, HWND caller,
                      int xOffset, int yOffset, HelpHost* host);
// The window's own message handling: its accelerators, then the dialog keys.
bool TranslateHelpMessage(HWND help, MSG& msg);
// Runs the window's loop until it is closed.
void RunHelpWindow(HWND help);
// The help window that is open in this process, or nullptr.
HWND OpenHelpWindow();

// The search question: the text to find (blanks trimmed), or nothing when the dialog was
// cancelled; on Ok, wholeWord takes the check box's state. Texts are Windows-1252.
std::optional<std::string> FindTextDialog(HWND owner, bool& wholeWord);

}  // namespace tessaly::help
