// The editor's start: single instance, folders, settings line and data file path.
#include "editor/win/editor_start.h"

#include <filesystem>
#include <optional>

#include "core/file_io.h"
#include "editor/paths/editor_paths.h"
#include "editor/win/main_window.h"
#include "editor/win/startup_trace.h"
#include "win/com.h"
#include "win/folders.h"
#include "win/single_instance.h"
#include "win/text.h"

namespace tessaly::editor {
namespace {

// special + \Quorvane\Tessaly, created (with \Quorvane) when it is not there; a folder that
// cannot be created is not reported: the paths below it then simply fail to open.
std::wstring EnsureProductFolder(const std::wstring& special) {
    const std::wstring product = special + std::wstring(kProductFolder);
    if (!win::IsExistingFolder(product)) {
        CreateDirectoryW((special + std::wstring(kVendorFolder)).c_str(), nullptr);
        CreateDirectoryW((product + L"\\").c_str(), nullptr);
    }
    return product;
}

}  // namespace

EditorPaths FindPaths(std::wstring_view firstArgument) {
    // The two shell lookups then share one apartment instead of each setting one up and
    // tearing it down (some 15% of the lookups' time under Wine).
    const win::ComScope com;
    EditorPaths p;
    const std::wstring common = win::SpecialFolderPath(kCommonAppDataFolder);
    p.programFolder = EnsureProductFolder(common);
    p.settingsFile = SettingsFilePath(common);
    p.helpFile = p.programFolder + L"\\" + std::wstring(kHelpFile);
    const std::wstring program = win::ProgramFile();
    if (!program.empty()) {
        p.helpBesideProgram = FolderPart(program) + L"\\" + std::wstring(kHelpFile);
    }
    p.documentFolder = EnsureProductFolder(win::SpecialFolderPath(kDocumentsFolder));
    const std::wstring defaultFile = p.documentFolder + L"\\" + std::wstring(kDataFile);
    p.dataFile = ChooseDataFile(
        {firstArgument, ReadSettingsFirstLine(std::filesystem::path(p.settingsFile)), defaultFile},
        [](std::string_view ansi) { return win::AnsiToWide(ansi); }, &FileExists);
    p.dataFolder = FolderPart(p.dataFile);
    return p;
}

std::wstring HelpFileToOpen(const EditorPaths& paths) {
    if (!FileExists(paths.helpFile) && !paths.helpBesideProgram.empty() &&
        FileExists(paths.helpBesideProgram)) {
        return paths.helpBesideProgram;
    }
    return paths.helpFile;
}

int RunEditor(std::wstring_view commandLine) {
    // Held for the whole run; released only as the program ends.
    const win::SingleInstance instanceMutex{std::string(kEditorMutex)};
    if (!instanceMutex.IsOnlyCopy()) return 0;
    StartupMark("single_instance");
    return static_cast<int>(RunMainDialog(FirstArgument(commandLine)));
}

}  // namespace tessaly::editor
