// The editor's main window: the calendar above, the reminder form below, the command buttons
// and the status bar. It reads its controls, calls the editor model and shows the result.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "editor/list/list_rules.h"
#include "editor/model/editor_model.h"
#include "editor/recovery/recovery.h"
#include "core/product.h"
#include "editor/win/editor_start.h"
#include "win/dialog.h"
#include "win/handles.h"

namespace tessaly::editor {

// Posted from WM_INITDIALOG so the start-up maintenance runs once the window is shown.
inline constexpr UINT kStartupMaintenanceMessage = WM_USER + 500;

struct MainWindow final : win::Dialog {
    std::wstring firstArgument;  // the command line's: a data file to use
    EditorPaths paths;
    EditorModel model;
    list::ListMode listMode = list::ListMode::kCurrent;  // the list window's last list

    // Set while an update is shown: the texts it writes raise change notifications that
    // are the program's own, not the user's typing.
    int applying = 0;
    win::Icon smallIcon;
    // The recovery file beside the data file, written after each change not yet saved.
    RecoveryKeeper recovery;

  private:
    INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

// Runs the main window modally (the program's life) and returns its result.
INT_PTR RunMainDialog(std::wstring firstArgument);
// The same window, modeless, for tests; it destroys itself (and its state) when closed.
HWND CreateMainDialog(std::wstring firstArgument = {});
// The state of a main window, or null.
MainWindow* MainWindowFrom(HWND hwnd);

// Shows what a model operation returned: its effects in order, then the calendar. The list
// window and the settings dialog call the model and hand its answer here; their messages are
// owned by messageOwner (null: the main window), so the window they came from waits for them.
void Apply(MainWindow& w, const Update& update, HWND messageOwner = nullptr);
// The model's questions as message boxes owned by owner (null: the main window).
Answer AskUser(MainWindow& w, const Question& question, HWND owner = nullptr);

// "&List" (list_command.cpp).
void OpenListWindow(MainWindow& w);
// "&Settings" (settings_command.cpp).
void OpenSettingsDialog(MainWindow& w);
// "&Help" (form_commands.cpp): returns when the help window closes.
void OpenHelp(MainWindow& w);

// What the editor held when it last ended without closing (recovery_command.cpp): looked for
// before the start-up roll-over changes the lists it is compared with, offered back once the
// window is ready.
std::optional<FoundRecovery> LookForRecovery(const MainWindow& w);
void OfferRecovery(MainWindow& w, std::optional<FoundRecovery> found);

// Command handlers (form_commands.cpp).
void OnCommand(MainWindow& w, int id, int code, HWND control);
// Returns true when the close was swallowed (the window stays).
bool OnClose(MainWindow& w);

}  // namespace tessaly::editor
