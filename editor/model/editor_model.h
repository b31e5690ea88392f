// The editor's model: the two lists being edited, the form's state and the calendar's, and
// every command of the main window as an operation that returns what the window shows.
//
// The window reads its controls, calls one operation and applies the returned Update: its
// effects in order (form, buttons, status bar, focus, messages), each one small typed step of
// namespace show, then the calendar picture.
// Questions that need an answer (delete? save?) go through the Ask seam given to the
// operation. Nothing here touches a window; only the data file is read and written.
//
// Operations:
//   Start                    load the data file, empty form, FormMode 0
//   StartupMaintenance       roll-over with its saves, same-date numbers, status part 1
//   PictureForPaint          what WM_PAINT paints (never changes buttons or status texts)
//   MoveMonths               the arrow images (+2 / -2 months)
//   New, Cancel, AddOrReplace, Delete, Step (Next/Prev)
//   KindChosen, KindTyped, FrequencyChosen, FieldChanged    the form's notifications
//   Click, DoubleClick       the mouse in the calendar
//   Close                    the close question and the save
// For the other windows:
//   SetListOpen              the list-open flag the calendar reads; on closing, status 2 and 3
//   ListSelectionStatus      status parts 2 and 3 for a selected list line
//   DeleteListEntry          delete from the current or archive list, main window resynchronised
//   ShowReminder             "&Back": show entry i in the calendar and the form (FormMode 4)
//   OfferSave                the "save changes?" question and the save, before the file moves
//   ReloadFrom               load both lists again from a (new) data file path
//   AdoptUnsaved             lists recovered after a crash, as unsaved changes
//   ShowDataFile             status part 1 names a data file the settings moved to
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "core/date.h"
#include "core/reminder.h"
#include "editor/calendar/calendar_rules.h"
#include "editor/form/form_mode.h"
#include "editor/form/reminder_form.h"

namespace tessaly::editor {

// Enable states of the six form buttons and the caption of Add/Replace.
struct ButtonStates {
    bool newOn = false, addOn = false, deleteOn = false, cancelOn = false;
    bool nextOn = false, prevOn = false;
    std::string_view addCaption;  // empty: unchanged
    bool operator==(const ButtonStates&) const = default;
};

// The button table of each FormMode; then "&Prev" off on the first entry and "&Next" off
// on the last (both off in an empty list, where index and count are both 0).
ButtonStates ButtonsFor(FormMode mode, int currentIndex, int count);
Editing EditingOf(FormMode mode);

// What the form's fields show for one reminder.
struct FormContents {
    std::string kindText;                  // empty for a kind outside 1..5
    std::string description;               // the 48 stored bytes, trailing blanks kept
    std::optional<std::string> dateText;   // mm-dd-yyyy; unset (box untouched) for date 0
    std::optional<std::string> weekday;    // set with dateText
    std::optional<std::string> timeLabel;  // "time:" or "year:"; unset keeps label 207
    std::string timeText;
    std::string notifyText;
    int frequency = 0;  // the option button to check
    std::string periodText;
    // Button 231 while a reminder is shown, until a FormMode sets "&Replace" or "&Add".
    std::string_view addCaption;
    bool hidePeriod = false;  // frequency below 3 hides box and label before the update
    PeriodFields period;      // then UpdatePeriodFields
};

// The controls an effect can set a text on.
enum class FormText { kKind, kDate, kWeekday, kTimeLabel, kTime };
enum class Button { kNext, kPrev };

// A message box without a question: text, caption and icon.
struct Message {
    std::string text, caption;
    MessageIcon icon = MessageIcon::kHand;
};

// What the window shows, one step at a time.
namespace show {
// Every field empty, the period fields hidden, "One time" checked.
struct ClearForm {};
// Current-list entry `index` in the form.
struct FillForm {
    int index = 0;
    FormContents contents;
};
struct Text {
    FormText control = FormText::kKind;
    std::string text;
};
// The frequency option button of `code`.
struct Frequency {
    int code = 0;
};
struct Period {
    PeriodFields fields;
};
// The buttons of a FormMode.
struct Buttons {
    FormMode mode = FormMode::kStart;
    ButtonStates states;
};
// "&Next" or "&Prev" on or off.
struct Step {
    Button button = Button::kNext;
    bool on = false;
};
// Status-bar part 2 or 3.
struct Status {
    int part = 2;
    std::string text;
};
// Status-bar part 1: the data file's path.
struct DataFile {
    std::filesystem::path file;
};
struct Focus {
    FormField field = FormField::kNone;
};
}  // namespace show

using Effect =
    std::variant<show::ClearForm, show::FillForm, show::Text, show::Frequency, show::Period,
                 show::Buttons, show::Step, show::Status, show::DataFile, show::Focus, Message>;

// One line per effect, for tests and traces: "clear", "fill 2", "mode 4", "status 2 '...'".
std::string Describe(const Effect& e);

struct Update {
    std::vector<Effect> effects;
    // Adds an effect after the others.
    template <class E>
    void Show(E effect) {
        effects.emplace_back(std::in_place_type<E>, std::move(effect));
    }
    // Set when the calendar must be repainted now (day area erased first).
    std::optional<calendar::Picture> calendar;
    // Set when the calendar is to be repainted with the window's next paint.
    bool invalidateCalendar = false;
    std::vector<std::string> Described() const;
};

// A question for the user and the answer given.
enum class Answer { kYes, kNo, kCancel };
struct Question {
    std::string text, caption;
    bool withCancel = true;  // Yes/No/Cancel, else Yes/No
};
using Ask = std::function<Answer(const Question&)>;

// The day cell carrying the selection frame.
struct MarkedCell {
    int panel = -1;  // 0 left, 1 right, -1 none
    int day = 0, month = 0, year = 0;
    DateKey key = 0;
    int pairMonth = 0, pairYear = 0;  // the displayed pair when it was marked
};

// Everything the main window's commands read and change.
struct EditorState {
    ReminderData data;
    std::filesystem::path dataFile;
    bool loaded = false;    // the data file was read; only then is it ever written
    std::string loadError;  // why it was not
    DateKey today = 0;

    int currentIndex = 0;  // 1-based position in the current list, 0 for none
    int shownIndex = 0;    // the entry the form shows unchanged or being edited, 0 for none
    FormMode mode = FormMode::kStart;
    Editing editing = Editing::kNone;
    bool justFilled = false;  // set by FillForm, cleared by the next kind choice
    // Label 207 says the time box holds a year (kinds 1 and 2), not a time of day.
    bool yearInTimeBox = false;
    bool changedMark = false;  // a kind chosen anew in a just-filled form
    bool dirty = false;
    bool closing = false;
    DateKey selectedKey = 0;    // day last chosen by a single click
    int returnIndex = 0;        // shown before a double-click, for "&Cancel"
    std::vector<int> sameDate;  // SameDateOrdinals of the current list, by position

    // The calendar's part.
    int displayedMonth = 1, displayedYear = 2000;
    MarkedCell marked;
    CivilDate chosen;           // the day last marked; day 0 for none
    bool frameShown = false;    // the marked cell's frame is on the screen
    bool clickPending = false;  // a click came while the user typed
    bool listOpen = false;
};

enum class ListKind { kCurrent, kArchive };

// What the closing command ended with.
enum class CloseOutcome { kClose, kStay };

class EditorModel {
  public:
    EditorModel() = default;
    explicit EditorModel(EditorState state) : s_(std::move(state)) {}

    const EditorState& state() const { return s_; }

    // Program start (before the window is shown): loads the file, today's pair, empty form.
    Update Start(const std::filesystem::path& dataFile, DateKey today);
    // Once the window is shown: roll-over, saved where it hands over and at its end (never
    // over a file that could not be read, which is said here instead).
    Update StartupMaintenance();
    // The calendar for WM_PAINT. The background was just erased, so only a frame the list
    // window keeps is drawn again.
    calendar::Picture PictureForPaint();

    Update MoveMonths(int step);  // -2 or +2
    Update New();
    Update Cancel();
    Update AddOrReplace(const FormInput& input);
    Update Delete(const Ask& ask);
    Update Step(bool next);

    // Kind box: an item chosen (kind 1..5), or text typed.
    Update KindChosen(int kind, std::string_view dateText);
    Update KindTyped(std::string_view kindText);
    Update FrequencyChosen(int code, std::string_view dateText);
    // Any other field changed by the user.
    Update FieldChanged();

    Update Click(int x, int y);
    Update DoubleClick(int x, int y, bool dateBoxEmpty);

    // Closing: Yes saves (the window stays when that fails), No closes, Cancel stays. A
    // second close while the question is open is swallowed (kStay, nothing asked).
    CloseOutcome Close(const Ask& ask, Update& update);

    // Opening the list window, and closing it: then status parts 2 and 3, which showed the
    // list's selection, show the main window's own reminder again.
    Update SetListOpen(bool open);
    Update ListSelectionStatus(ListKind list, int line);
    Update DeleteListEntry(ListKind list, int position);
    Update ShowReminder(int position);

    // Before the data file moves: when there are unsaved changes, asks the closing question.
    // false when the user cancelled or the save failed (update then says why).
    bool OfferSave(const Ask& ask, Update& update);
    Update ReloadFrom(const std::filesystem::path& dataFile);
    // Lists the editor held when it last ended without closing (its recovery file), taken
    // back as changes not yet saved: rolled over to today, and the closing question decides.
    Update AdoptUnsaved(ReminderData lists);
    // The settings moved the data file: the status bar names the new one before its lists are
    // loaded (ReloadFrom).
    Update ShowDataFile(const std::filesystem::path& dataFile) const;

  private:
    // What a drawing of the pair is for, which decides what its click does.
    enum class DrawnFor {
        kDay,          // the clicked day's first reminder fills the form
        kCallerFills,  // Next/Prev and a double-click fill the form themselves
        kMonthsMoved,  // the arrows: no day is marked, FormMode 0
    };
    struct DrawRequest {
        calendar::MonthYear pair;
        calendar::Point click;  // resolved against the day cells; (0, 0) for none
        DrawnFor drawnFor;
    };

    void SetFormMode(Update& u, FormMode mode);
    void FillForm(Update& u, int index);
    void ClearForm(Update& u);
    void EnterEditing(Update& u);
    bool ShowsCurrent() const;
    void UpdatePeriodFields(Update& u, int code, std::string_view dateText);
    void ShowPositionInStatus(Update& u);
    void RecomputeSameDate();
    int SameDateNumber(int index) const;
    void DrawPair(Update& u, const DrawRequest& request);
    // Draws the pair that holds the date and marks its day.
    void ShowDateInCalendar(Update& u, std::string_view dateText, DrawnFor drawnFor);
    calendar::Picture Picture() const;
    bool SaveWithReason(Update& u);
    // Other lists in place of the shown ones: nothing selected, the form empty.
    Update ShowNewLists(ReminderData lists, bool dirty);

    EditorState s_;
};

}  // namespace tessaly::editor
