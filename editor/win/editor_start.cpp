// The editor's start: single instance, folders, settings line and data file path.
#include "editor/win/editor_start.h"

#include <filesystem>
#include <optional>

#include "editor/paths/editor_paths.h"
#include "editor/win/main_window.h"
#include "editor/win/startup_trace.h"
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

// Holds COM on this thread for a scope; a thread that already has it keeps it.
class ComScope {
  public:
    ComScope() : result_(CoInitialize(nullptr)) {}
    ~ComScope() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

  private:
    HRESULT result_;
};

}  // namespace

EditorPaths FindPaths(std::wstring_view firstArgument) {
    // The two shell lookups then share one apartment instead of each setting one up and
    // tearing it down (some 15% of the lookups' time under Wine).
    const ComScope com;
    EditorPaths p;
    const std::wstring common = win::SpecialFolderPath(win::kCommonAppDataFolder);
    p.programFolder = EnsureProductFolder(common);
    p.settingsFile = SettingsFilePath(common);
    p.helpFile = p.programFolder + std::wstring(kHelpFileName);
    const std::wstring program = win::ProgramFile();
    if (!program.empty()) p.helpBesideProgram = FolderPart(program) + std::wstring(kHelpFileName);
    p.documentFolder = EnsureProductFolder(win::SpecialFolderPath(win::kDocumentsFolder));
    const std::wstring defaultFile = p.documentFolder + std::wstring(kDataFileName);
    p.dataFile = ChooseDataFile(
        {firstArgument, ReadSettingsFirstLine(std::filesystem::path(p.settingsFile)), defaultFile},
        [](std::string_view ansi) { return win::AnsiToWide(ansi); }, win::IsExistingFile);
    p.dataFolder = FolderPart(p.dataFile);
    return p;
}

std::wstring HelpFileToOpen(const EditorPaths& paths) {
    if (!win::IsExistingFile(paths.helpFile) && !paths.helpBesideProgram.empty() &&
        win::IsExistingFile(paths.helpBesideProgram)) {
        return paths.helpBesideProgram;
    }
    return paths.helpFile;
}

int RunEditor(std::wstring_view commandLine) {
    // Held for the whole run; released only as the program ends.
    const win::SingleInstance instanceMutex("Tessaly");
    if (!instanceMutex.IsOnlyCopy()) return 0;
    StartupMark("single_instance");
    return static_cast<int>(RunMainDialog(FirstArgument(commandLine)));
}

}  // namespace tessaly::editor
