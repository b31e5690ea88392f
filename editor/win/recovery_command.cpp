// The recovery file at start-up: what the editor held when it last ended without closing is
// offered back, taken as unsaved changes, or set aside in Backups.
#include <string>

#include "editor/win/main_window.h"
#include "win/message_box.h"

namespace tessaly::editor {

std::optional<FoundRecovery> LookForRecovery(const MainWindow& w) {
    const EditorState& s = w.model.state();
    // Against a data file that could not be read there is nothing to compare; it waits.
    if (!s.loaded) return std::nullopt;
    return FindRecovery(s.dataFile, s.data);
}

void OfferRecovery(MainWindow& w, std::optional<FoundRecovery> found) {
    if (!found) return;
    const EditorState& s = w.model.state();
    const Question question{RecoveryQuestion(found->lists, s.data), "Tessaly", false};
    if (AskUser(w, question) == Answer::kYes) {
        w.recovery.Adopt(s.dataFile, found->lists);
        Apply(w, w.model.AdoptUnsaved(std::move(found->lists)));
        return;
    }
    if (const IoResult kept = SetRecoveryAside(s.dataFile, s.today); !kept) {
        const std::u8string file = RecoveryFile(s.dataFile).u8string();
        win::ShowMessage(w.hwnd,
                         "The changes that were not saved stay in\r\n" +
                             std::string(file.begin(), file.end()) + "\r\n(" + kept.message + ")",
                         "Tessaly", MB_ICONHAND);
    }
}

}  // namespace tessaly::editor
