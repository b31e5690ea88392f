// The always-on-top pop-ups: the day's reminder pop-up with its three answers, and the alert
// before a timed reminder with its two; one window style, each its own painting.
#pragma once

#include <windows.h>

#include "notifier/alerts.h"
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
inline constexpr int kDismissId = 102;
inline constexpr int kSnoozeId = IDOK;  // the default button, so Enter snoozes

// Fills `client` with the pop-up's colour and draws the four texts. WM_PAINT and tests share it.
void PaintPopup(HDC hdc, const RECT& client, const PopupTexts& texts);

// Shows the pop-up modally, centred and topmost, and returns the user's answer. A pop-up that
// cannot be created counts as "&Remind Again", so the entry stays as it was.
PopupAnswer ShowReminderPopup(const PopupTexts& texts);

enum class AlertAnswer { kDismiss, kSnooze };

// The alert's title, description and time left where the day pop-up has its title, description
// and date line. WM_PAINT and tests share it.
void PaintAlertPopup(HDC hdc, const RECT& client, const AlertTexts& texts);

// Shows the alert pop-up modally, centred and topmost, and returns the answer: "&Dismiss", or
// a snooze for "&Snooze", Enter, Escape and the close box.
AlertAnswer ShowAlertPopup(const AlertTexts& texts);

class PopupWindowResponder : public PopupResponder {
  public:
    PopupAnswer Answer(const Reminder&, const PopupTexts& texts) override {
        return ShowReminderPopup(texts);
    }
};

}  // namespace tessaly
