// The settings dialog's window: three buttons over the portable move rules, and the box for
// the alerts' lead.
#include "editor/settings/win/settings_dialog.h"

#include <shlobj.h>

#include <string>

#include "editor/msgbox/win/app_msgbox.h"
#include "editor/settings/win/settings_ids.h"
#include "win/clock.h"
#include "win/com.h"
#include "win/controls.h"
#include "win/dialog.h"
#include "win/handles.h"
#include "win/gdi.h"
#include "win/message_box.h"
#include "win/text.h"

namespace tessaly::editor {
using namespace win;
namespace {

constexpr std::string_view kDialogTitle = "Settings for Tessaly";
constexpr int kInformationModal = -64;  // AppMsgBox: information icon, "&Ok", modal
constexpr int kQuestionModal = -(MB_YESNOCANCEL | MB_ICONQUESTION);  // "&Yes", "&No", "Cancel"
constexpr int kWarningModal = -MB_ICONEXCLAMATION;                   // "&Ok", modal

struct SettingsState final : win::Dialog {
    SettingsPaths* paths = nullptr;
    SettingsHost* host = nullptr;
    bool moved = false;

  private:
    INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

// The move's questions, asked from the dialog: boxes it owns, the code page of the settings
// file, the editor's own box for a data file already in the folder.
class DialogMoveHost final : public settings::MoveHost {
  public:
    explicit DialogMoveHost(SettingsState& s) : s_(s) {}
    bool OfferSave() override { return s_.host->OfferSave(s_.hwnd); }
    std::optional<std::string> SettingsLine(const std::filesystem::path& dataFile) override {
        return SystemCodePageLine(dataFile);
    }
    settings::ExistingFileChoice AskAboutExisting(
        const settings::ExistingFileQuestion& question) override {
        return AskAboutExistingFile(question);
    }
    DateKey Today() override { return win::Today(); }

  private:
    SettingsState& s_;
};

void ShowCurrentLocation(SettingsState& s) {
    AppMsgBox(win::WideToUtf8(s.paths->location.dataFile.wstring()), kInformationModal,
              "Data File Location", 1, 100, 100);
    s.End(0);
}

void MoveTo(SettingsState& s, const std::filesystem::path& folder) {
    DialogMoveHost move(s);
    const settings::MoveResult result =
        settings::SetDataFolder(s.paths->location, s.paths->settingsFile, folder, move);
    switch (result.outcome) {
        case settings::MoveOutcome::kMoved:
            s.host->ShowDataFile(s.paths->location.dataFile);
            Sleep(100);  // the new path is seen in the status bar before the dialog goes
            s.moved = true;
            s.End(1);
            break;
        case settings::MoveOutcome::kSameFolder:
            s.End(0);
            break;
        case settings::MoveOutcome::kCancelled:
            break;  // the dialog stays, for another choice
        case settings::MoveOutcome::kFailed:
            win::ShowMessage(s.hwnd, result.message, kDialogTitle, MB_ICONHAND);
            break;
    }
}

void ChooseNewLocation(SettingsState& s) {
    const std::optional<std::filesystem::path> folder =
        chooseDataFolder(s.hwnd, s.paths->location.dataFolder);
    if (folder && !folder->empty()) MoveTo(s, *folder);
}

void ShowAlertMinutes(SettingsState& s) {
    win::SetItemText(s.hwnd, IDC_ALERT_MINUTES,
                     std::to_string(settings::SettingsAlertMinutes(s.paths->settingsFile)));
}

// Keeps the lead typed into the box before the dialog does anything else: false (with the
// reason shown and the focus back in the box) when it was refused or could not be written.
bool KeepAlertMinutes(SettingsState& s) {
    using Outcome = settings::AlertMinutesResult::Outcome;
    const settings::AlertMinutesResult result = settings::SetAlertMinutes(
        s.paths->settingsFile, win::GetItemText(s.hwnd, IDC_ALERT_MINUTES));
    if (result.outcome == Outcome::kRefused) {
        AppMsgBox(result.message, kWarningModal, kDialogTitle, 1, 0, 0);
    } else if (result.outcome == Outcome::kFailed) {
        win::ShowMessage(s.hwnd, result.message, kDialogTitle, MB_ICONHAND);
        // The box shows the lead in force again, so closing once more is never refused.
        ShowAlertMinutes(s);
    } else {
        return true;
    }
    HWND box = GetDlgItem(s.hwnd, IDC_ALERT_MINUTES);
    SetFocus(box);
    SendMessageW(box, EM_SETSEL, 0, -1);
    return false;
}

void OnCommand(SettingsState& s, int id, int code) {
    if (code != BN_CLICKED) return;
    // Every way out of the dialog, and every button, keeps the box's lead first: the dialog
    // has no OK button, so closing it is how a typed lead is taken.
    switch (id) {
        case IDC_CURRENT_LOCATION:
            if (KeepAlertMinutes(s)) ShowCurrentLocation(s);
            break;
        case IDC_SET_NEW_LOCATION:
            if (KeepAlertMinutes(s)) ChooseNewLocation(s);
            break;
        case IDC_RESET_SETTINGS:
            if (KeepAlertMinutes(s)) MoveTo(s, s.paths->documentFolder);
            break;
        case IDOK:      // Enter
        case IDCANCEL:  // the close box and Escape
            if (KeepAlertMinutes(s)) s.End(0);
            break;
        default:
            break;
    }
}

INT_PTR SettingsState::OnMessage(UINT msg, WPARAM wParam, LPARAM) {
    if (const auto colors = win::BlackOnWhiteDialog(msg, wParam)) return *colors;
    switch (msg) {
        case WM_INITDIALOG:
            ShowAlertMinutes(*this);
            SendDlgItemMessageW(hwnd, IDC_ALERT_MINUTES, EM_LIMITTEXT, 8, 0);
            return TRUE;
        case WM_COMMAND:
            OnCommand(*this, LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        default:
            return FALSE;
    }
}

int CALLBACK BrowseCallback(HWND hwnd, UINT msg, LPARAM, LPARAM start) {
    if (msg == BFFM_INITIALIZED) {
        SendMessageW(hwnd, BFFM_SETSELECTIONW, TRUE, start);
        SetWindowPos(hwnd, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    return 0;
}

}  // namespace

std::optional<std::filesystem::path> BrowseForDataFolder(HWND owner,
                                                         const std::filesystem::path& start) {
    const std::wstring startText = start.wstring();
    wchar_t name[MAX_PATH] = {};
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.pszDisplayName = name;
    info.lpszTitle = L"set new Folder for DataFile";
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(startText.c_str());
    const win::ComScope com;
    std::optional<std::filesystem::path> chosen;
    if (const win::TaskMemory<PIDLIST_ABSOLUTE> items(SHBrowseForFolderW(&info)); items) {
        wchar_t path[MAX_PATH] = {};
        if (SHGetPathFromIDListW(items.get(), path) && *path) chosen = std::filesystem::path(path);
    }
    return chosen;
}

win::SystemCall<std::optional<std::filesystem::path>(HWND, const std::filesystem::path&)>
    chooseDataFolder{&BrowseForDataFolder};

std::optional<std::string> SystemCodePageLine(const std::filesystem::path& path) {
    const std::wstring wide = path.wstring();
    if (wide.empty()) return std::string();
    BOOL lossy = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(),
                                      static_cast<int>(wide.size()), nullptr, 0, nullptr, &lossy);
    if (n <= 0 || lossy) return std::nullopt;
    std::string line(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                        line.data(), n, nullptr, nullptr);
    return line;
}

settings::ExistingFileChoice AskAboutExistingFile(const settings::ExistingFileQuestion& question) {
    switch (AppMsgBox(settings::ExistingFileQuestionText(question), kQuestionModal,
                      "Data File Location", 1, 0, 0)) {
        case IDYES:
            return settings::ExistingFileChoice::kUseIt;
        case IDNO:
            return settings::ExistingFileChoice::kReplaceIt;
        default:
            return settings::ExistingFileChoice::kCancel;
    }
}

bool SettingsDialog(HWND owner, SettingsPaths& paths, SettingsHost& host) {
    SettingsState state;
    state.paths = &paths;
    state.host = &host;
    win::RunModal(state, owner, win::DialogTemplate::Resource(IDD_SETTINGS));
    // Loaded only once the dialog is gone, as the main window's lists are drawn behind it.
    if (state.moved) host.Reload();
    return state.moved;
}

}  // namespace tessaly::editor
