// The always-on-top reminder pop-up: its window, its painting and its three answers.
#pragma once

#include <windows.h>

#include "notifier/pass.h"
#include "notifier/popup_text.h"

namespace tessaly {

inline constexpr int kPopupWidth = 400;  // client area, pixels
inline constexpr int kPopupHeight = 220;
inline constexpr COLORREF kPopupBackground = RGB(192, 255, 255);
inline constexpr COLORREF kPopupTitleColour = RGB(200, 0, 0);
inline constexpr int kAcknowledgeId = 101;
inline constexpr int kRemindAgainId = IDOK;  // id 1, so Enter answers "&Remind Again"
inline constexpr wchar_t kPopupCaption[] = L" Tessaly";

// Fills `client` with the pop-up's colour and draws the four texts. WM_PAINT and tests share it.
void PaintPopup(HDC hdc, const RECT& client, const PopupTexts& texts);

// Shows the pop-up modally, centred and topmost, and returns the user's answer. A pop-up that
// cannot be created counts as "&Remind Again", so the entry stays as it was.
PopupAnswer ShowReminderPopup(const PopupTexts& texts);

class PopupWindowResponder : public PopupResponder {
  public:
    PopupAnswer Answer(const Reminder&, const PopupTexts& texts) override {
        return ShowReminderPopup(texts);
    }
};

}  // namespace tessaly
