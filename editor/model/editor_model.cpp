// The editor's model: each main-window command as state -> (state, what to show).
#include "editor/model/editor_model.h"

#include <algorithm>

#include "core/backup.h"
#include "core/data_file.h"
#include "core/occurrence.h"
#include "editor/form/date_texts.h"

namespace tessaly::editor {
namespace {

constexpr std::string_view kClosingCaption = "Closing Reminders";
constexpr std::string_view kSaveQuestion =
    "File has changed...\r\nDo you want to save the changes?";

std::string_view FieldName(FormField f) {
    switch (f) {
        case FormField::kKind:
            return "kind";
        case FormField::kDescription:
            return "description";
        case FormField::kDate:
            return "date";
        case FormField::kTime:
            return "time";
        case FormField::kNotify:
            return "notify";
        case FormField::kPeriod:
            return "period";
        case FormField::kNone:
            break;
    }
    return "none";
}

std::string_view TextName(FormText t) {
    switch (t) {
        case FormText::kKind:
            return "kind";
        case FormText::kDate:
            return "date";
        case FormText::kWeekday:
            return "weekday";
        case FormText::kTimeLabel:
            return "timeLabel";
        case FormText::kTime:
            return "time";
    }
    return "?";
}

void PushStatus(Update& u, int part, std::string text) {
    u.Show(show::Status{part, std::move(text)});
}

void PushEnable(Update& u, Button button, bool on) {
    u.Show(show::Step{button, on});
}

void PushText(Update& u, FormText control, std::string text) {
    u.Show(show::Text{control, std::move(text)});
}

void PushFocus(Update& u, FormField field) {
    u.Show(show::Focus{field});
}

void PushMessage(Update& u, Message message) {
    u.Show(std::move(message));
}

// The effects' lines of Describe.
struct Describer {
    std::string operator()(const show::ClearForm&) const { return "clear"; }
    std::string operator()(const show::FillForm& e) const {
        return "fill " + std::to_string(e.index);
    }
    std::string operator()(const show::Text& e) const {
        return "text " + std::string(TextName(e.control)) + " '" + e.text + "'";
    }
    std::string operator()(const show::Frequency& e) const {
        return "check " + std::to_string(e.code);
    }
    std::string operator()(const show::Period& e) const {
        return e.fields.show ? "period '" + e.fields.label + "'" : "period hidden";
    }
    std::string operator()(const show::Buttons& e) const {
        return "mode " + std::to_string(static_cast<int>(e.mode));
    }
    std::string operator()(const show::Step& e) const {
        return std::string(e.button == Button::kNext ? "next" : "prev") + (e.on ? " on" : " off");
    }
    std::string operator()(const show::Status& e) const {
        return "status " + std::to_string(e.part) + " '" + e.text + "'";
    }
    std::string operator()(const show::DataFile&) const { return "status 1 path"; }
    std::string operator()(const show::Focus& e) const {
        return "focus " + std::string(FieldName(e.field));
    }
    std::string operator()(const Message& e) const { return "message '" + e.text + "'"; }
};

// Whether the file's size is that of the lists as the editor writes them: a file just created
// by the load (0 bytes) or written by an older program with other counts is not.
bool HoldsExactly(const std::filesystem::path& file, const ReminderData& data) {
    std::error_code error;
    const auto size = std::filesystem::file_size(file, error);
    const auto records = static_cast<std::uintmax_t>(data.current.count() + data.archive.count());
    return !error && size == 12 + kReminderBytes * records;
}

}  // namespace

ButtonStates ButtonsFor(FormMode mode, int currentIndex, int count) {
    ButtonStates b;
    switch (mode) {
        case FormMode::kStart:
            b = {false, false, false, false, true, true, {}};
            break;
        case FormMode::kNothingShown:
            b = {true, false, false, false, true, true, {}};
            break;
        case FormMode::kEditingNew:
            b = {false, true, false, true, false, false, "&Add"};
            break;
        case FormMode::kEditingShown:
            b = {false, true, true, true, false, false, "&Replace"};
            break;
        case FormMode::kShown:
            b = {true, false, true, false, true, true, "&Replace"};
            break;
    }
    // Nowhere to step: before the first entry, after the last (or in an empty list).
    if (currentIndex == 1) b.prevOn = false;
    if (currentIndex == count) b.nextOn = false;
    return b;
}

Editing EditingOf(FormMode mode) {
    switch (mode) {
        case FormMode::kEditingNew:
            return Editing::kNew;
        case FormMode::kEditingShown:
            return Editing::kShown;
        default:
            return Editing::kNone;
    }
}

std::string Describe(const Effect& e) {
    return std::visit(Describer{}, e);
}

std::vector<std::string> Update::Described() const {
    std::vector<std::string> lines;
    for (const Effect& e : effects) lines.push_back(Describe(e));
    return lines;
}

// ---- form operations ----

void EditorModel::SetFormMode(Update& u, FormMode mode) {
    s_.mode = mode;
    s_.editing = EditingOf(mode);
    show::Buttons e{mode, ButtonsFor(mode, s_.currentIndex, s_.data.current.count())};
    // Delete removes the current reminder; while the form does not show it, the user could
    // not see what would go.
    if (!ShowsCurrent()) e.states.deleteOn = false;
    u.Show(std::move(e));
}

bool EditorModel::ShowsCurrent() const {
    return s_.currentIndex >= 1 && s_.currentIndex <= s_.data.current.count() &&
           s_.shownIndex == s_.currentIndex;
}

void EditorModel::FillForm(Update& u, int index) {
    const ReminderList& list = s_.data.current;
    if (index < 1 || index > list.count()) return;
    const Reminder& r = list.at(index);
    s_.justFilled = false;
    s_.currentIndex = index;
    s_.shownIndex = index;

    show::FillForm e{index, {}};
    FormContents& c = e.contents;
    // No "&": the caption a shown reminder gets here stays until a FormMode rewrites it.
    c.addCaption = "Replace";
    c.kindText = std::string(KindName(r.kind));
    c.description = std::string(r.Description());
    if (r.date != 0) {
        c.dateText = FormDateText(r.date);
        const CivilDate d = SplitDateKey(r.date);
        c.weekday = std::string(WeekdayName(DayOfWeek(d.month, d.year, d.day)));
    }
    const FormTimeFields time = FormTimeText(r.kind, r.timeOrYear);
    if (r.timeOrYear != 0) {
        c.timeLabel = std::string(time.timeLabel);
        s_.yearInTimeBox = time.timeLabel == "year:";
    }
    c.timeText = time.timeText;
    c.notifyText = std::to_string(r.notifyDays);
    c.frequency = r.frequency;
    c.periodText = std::to_string(r.period);
    c.hidePeriod = r.frequency < kMonthlyPeriod;
    // A record without a date leaves the date box as it was; its period label then has no
    // date to follow and stays as it is.
    c.period = PeriodLabelText(r.frequency, c.dateText.value_or(std::string()), s_.today);
    u.Show(std::move(e));
    s_.justFilled = true;
}

void EditorModel::ClearForm(Update& u) {
    s_.shownIndex = 0;
    u.Show(show::ClearForm{});
}

// Any change to a field. The shown reminder is replaced only while the form shows it: after
// the arrows, a Delete that emptied the form or "&Cancel" the current index still points at
// a reminder for Next/Prev, but what is typed then becomes a new one.
void EditorModel::EnterEditing(Update& u) {
    SetFormMode(u, ShowsCurrent() ? FormMode::kEditingShown : FormMode::kEditingNew);
}

void EditorModel::UpdatePeriodFields(Update& u, int code, std::string_view dateText) {
    PeriodFields fields = PeriodLabelText(code, dateText, s_.today);
    if (!fields.change) return;
    u.Show(show::Period{std::move(fields)});
}

int EditorModel::SameDateNumber(int index) const {
    return index >= 1 && index < static_cast<int>(s_.sameDate.size())
               ? s_.sameDate[static_cast<size_t>(index)]
               : 0;
}

void EditorModel::ShowPositionInStatus(Update& u) {
    const int i = s_.currentIndex;
    const int count = s_.data.current.count();
    if (i >= 1 && i <= count) {
        PushStatus(u, 2, StatusPositionText(i, count));
        PushStatus(u, 3, SameDateText(SameDateNumber(i)));
    } else {
        PushStatus(u, 2, "");
        PushStatus(u, 3, "");
    }
}

void EditorModel::RecomputeSameDate() {
    s_.sameDate = SameDateOrdinals(s_.data.current);
}

// ---- the calendar ----

calendar::Picture EditorModel::Picture() const {
    calendar::Picture p;
    p.month = s_.displayedMonth;
    p.year = s_.displayedYear;
    p.today = SplitDateKey(s_.today);
    p.current = &s_.data.current;
    const MarkedCell& m = s_.marked;
    if (m.panel >= 0 && (s_.frameShown || s_.listOpen)) {
        // The frame belongs to a day of the pair on the screen, in its own panel.
        const calendar::MonthYear pair{s_.displayedMonth, s_.displayedYear};
        const calendar::MonthYear shown = m.panel == 1 ? calendar::NextMonth(pair) : pair;
        if (shown.month == m.month && shown.year == m.year) {
            p.framePanel = m.panel;
            p.frameDay = m.day;
        }
    }
    return p;
}

calendar::Picture EditorModel::PictureForPaint() {
    // Erasing the background took the frame with it; only the list window brings it back.
    s_.frameShown = false;
    return Picture();
}

// One drawing of the pair: resolves the request's click against the day cells, moves the
// mark, shows the clicked day's first reminder, then sets status parts 2 and 3 and the FormMode.
void EditorModel::DrawPair(Update& u, const DrawRequest& request) {
    const calendar::MonthYear pair = request.pair;
    const calendar::Point click = request.click;
    bool cellClicked = false;
    calendar::MonthYear my = pair;
    for (int panel = 0; panel <= 1; ++panel, my = calendar::NextMonth(my)) {
        const int day = calendar::DayAtPoint(panel, my.month, my.year, click.x, click.y);
        if (day == 0) continue;
        const DateKey key = MakeDateKey(my.year, my.month, day);

        // Another cell of the same pair loses its mark, and the form its reminder.
        MarkedCell& m = s_.marked;
        const bool sameCell =
            m.panel == panel && m.day == day && m.month == my.month && m.year == my.year;
        if (m.panel >= 0 && !sameCell && m.pairMonth == pair.month && m.pairYear == pair.year) {
            ClearForm(u);
            s_.frameShown = false;
        }

        // Next/Prev and a double-click fill the form themselves; so does typing, unless the
        // user clicked.
        if (request.drawnFor != DrawnFor::kCallerFills &&
            (s_.editing == Editing::kNone || s_.clickPending)) {
            s_.currentIndex = calendar::FirstReminderOn(s_.data.current, key);
            if (s_.currentIndex != 0) FillForm(u, s_.currentIndex);
            s_.clickPending = false;
        }

        // The arrows never mark a day.
        if (request.drawnFor == DrawnFor::kMonthsMoved) continue;
        m = MarkedCell{panel, day, my.month, my.year, key, pair.month, pair.year};
        s_.chosen = CivilDate{my.year, my.month, day};
        s_.frameShown = true;
        cellClicked = true;
    }
    s_.displayedMonth = pair.month;
    s_.displayedYear = pair.year;

    const int i = s_.currentIndex;
    PushStatus(u, 2, i != 0 ? StatusPositionText(i, s_.data.current.count()) : "");
    PushStatus(u, 3, i != 0 ? CalendarSameDateText(SameDateNumber(i)) : "");

    const std::optional<FormMode> mode =
        calendar::FormModeAfterDrawing({.monthChange = request.drawnFor == DrawnFor::kMonthsMoved,
                                        .changedMark = s_.changedMark,
                                        .reminderCurrent = i != 0,
                                        .editing = s_.editing,
                                        .listOpen = s_.listOpen,
                                        .cellClicked = cellClicked});
    if (mode) SetFormMode(u, *mode);
    u.calendar = Picture();
}

void EditorModel::ShowDateInCalendar(Update& u, std::string_view dateText, DrawnFor drawnFor) {
    const CivilDate date = DatePartsFromText(dateText);
    // Only a damaged record gives such a date; there is no month to show.
    if (date.month < 1 || date.month > 12) return;
    const CivilDate today = SplitDateKey(s_.today);
    const calendar::MonthYear left = calendar::PairForDate(date.month, date.year, today.month);
    s_.frameShown = false;  // the day area is blanked first
    DrawPair(u, {left, {}, drawnFor});
    if (date.day < 1 || date.day > DaysInMonth(date.month, date.year)) return;
    DrawPair(u, {left, calendar::ClickPointForDate(date.month, date.day, date.year, today.month),
                 drawnFor});
}

// ---- start-up ----

Update EditorModel::Start(const std::filesystem::path& dataFile, DateKey today) {
    Update u;
    s_.dataFile = dataFile;
    s_.today = today;
    const IoResult loaded = LoadReminderFile(dataFile, s_.data);
    s_.loaded = loaded.ok;
    s_.loadError = loaded.message;
    const CivilDate t = SplitDateKey(today);
    s_.displayedMonth = t.month;
    s_.displayedYear = t.year;
    s_.currentIndex = 0;
    ClearForm(u);
    SetFormMode(u, FormMode::kStart);
    PushEnable(u, Button::kPrev, false);
    return u;
}

// The rolled-over lists are saved at once, so past one-time reminders are not archived a
// second time at the next start; the save does not mark the lists as changed. One save at the
// end holds everything a save where the roll-over hands over (archived, not yet advanced)
// would, and a roll-over that changed nothing saves nothing, unless the file is not yet what
// the editor writes (a new, empty one): start-up stays quick.
Update EditorModel::StartupMaintenance() {
    Update u;
    const ReminderData before = s_.data;
    RollOver(s_.data.current, s_.data.archive, s_.today);
    // Saving lists that were never read would replace every reminder the file holds.
    if (s_.loaded && (s_.data != before || !HoldsExactly(s_.dataFile, s_.data))) {
        // The day's first save keeps the file as it was. A backup that fails here is tried
        // again, and told, by the save on closing.
        KeepDailyBackup(s_.dataFile, s_.today);
        SaveReminderFile(s_.dataFile, s_.data, kEditorLabel);
    }
    RecomputeSameDate();
    u.Show(show::DataFile{s_.dataFile});
    if (!s_.loaded) {
        PushMessage(u, {"The reminders could not be read:\r\n" + s_.loadError +
                            "\r\nThe data file will not be written while Tessaly runs.",
                        "Tessaly", MessageIcon::kHand});
    }
    // The window's first paint is still to come; it shows the rolled-over lists.
    u.invalidateCalendar = true;
    return u;
}

// ---- commands ----

Update EditorModel::MoveMonths(int step) {
    Update u;
    const calendar::MonthYear pair =
        calendar::StepMonths({s_.displayedMonth, s_.displayedYear}, step);
    s_.displayedMonth = pair.month;
    s_.displayedYear = pair.year;
    ClearForm(u);
    s_.frameShown = false;  // the day area is blanked
    DrawPair(u, {pair, {}, DrawnFor::kMonthsMoved});
    return u;
}

Update EditorModel::New() {
    Update u;
    ClearForm(u);
    s_.currentIndex = 0;
    // With no day chosen yet, the date is left for the user to type.
    if (s_.chosen.day != 0) {
        PushText(u, FormText::kDate,
                 NewReminderDateText(s_.chosen.month, s_.chosen.day, s_.chosen.year));
    }
    SetFormMode(u, FormMode::kEditingNew);
    // No reminder is shown any more, so the status bar names none (as after a double-click).
    ShowPositionInStatus(u);
    // The button just pressed is now off; the user types on in the first field.
    PushFocus(u, FormField::kKind);
    return u;
}

Update EditorModel::Cancel() {
    Update u;
    if (s_.returnIndex != 0) {
        s_.currentIndex = s_.returnIndex;
        s_.returnIndex = 0;
    }
    if (s_.currentIndex != 0 && s_.currentIndex <= s_.data.current.count()) {
        FillForm(u, s_.currentIndex);
        SetFormMode(u, FormMode::kShown);
    } else {
        s_.currentIndex = 0;
        ClearForm(u);
        SetFormMode(u, FormMode::kNothingShown);
    }
    PushFocus(u, FormField::kKind);
    return u;
}

Update EditorModel::AddOrReplace(const FormInput& input) {
    Update u;
    const FormResult result = CheckReminderForm(input, s_.today);
    if (result.dateTextChanged) PushText(u, FormText::kDate, result.dateText);
    if (!result.ok) {
        PushMessage(u, {result.message.text, result.message.caption, result.message.icon});
        PushFocus(u, result.focus);
        return u;
    }
    ReminderList& list = s_.data.current;
    const bool replace =
        s_.currentIndex >= 1 && s_.currentIndex <= list.count() && s_.shownIndex == s_.currentIndex;
    if (replace) list.RemoveAt(s_.currentIndex);
    const int position = list.InsertByDate(result.reminder);
    s_.currentIndex = position;
    s_.shownIndex = position;
    s_.dirty = true;
    s_.changedMark = false;
    // Before the calendar writes the status bar, so its same-date number is the new one.
    RecomputeSameDate();
    ShowDateInCalendar(u, result.dateText, DrawnFor::kDay);
    // Choosing another day than the one marked before empties the form; it shows what was
    // stored, so that Replace and Delete act on what the user sees.
    FillForm(u, position);
    SetFormMode(u, FormMode::kShown);
    ShowPositionInStatus(u);
    PushFocus(u, FormField::kKind);
    return u;
}

Update EditorModel::Delete(const Ask& ask) {
    Update u;
    ReminderList& list = s_.data.current;
    if (!ShowsCurrent()) return u;
    const Reminder& shown = list.at(s_.currentIndex);
    if (ask({"Delete this reminder now", DeleteQuestionCaption(shown), true}) != Answer::kYes) {
        return u;
    }
    const DateKey date = shown.date;
    list.RemoveAt(s_.currentIndex);
    s_.shownIndex = 0;
    s_.currentIndex = std::min(s_.currentIndex, list.count());
    RecomputeSameDate();
    // What follows on the same day is shown; the day's earlier reminder, when there is one.
    if (s_.currentIndex >= 1 && list.at(s_.currentIndex).date == date) {
        FillForm(u, s_.currentIndex);
    } else {
        ClearForm(u);
    }
    if (s_.currentIndex > 1 && list.at(s_.currentIndex - 1).date == date) {
        FillForm(u, s_.currentIndex - 1);
    }
    DrawPair(u, {{s_.displayedMonth, s_.displayedYear}, {}, DrawnFor::kDay});
    s_.dirty = true;
    SetFormMode(u, FormMode::kNothingShown);
    PushStatus(u, 3, s_.currentIndex >= 1 ? SameDateText(SameDateNumber(s_.currentIndex)) : "");
    PushFocus(u, FormField::kKind);
    return u;
}

Update EditorModel::Step(bool next) {
    Update u;
    const ReminderList& list = s_.data.current;
    const int target = SteppingIndex(next, s_.currentIndex, s_.selectedKey, list);
    if (target >= 1 && target <= list.count()) {
        PushEnable(u, Button::kNext, true);
        PushEnable(u, Button::kPrev, true);
        // The calendar's status texts read the current index, so it moves first.
        s_.currentIndex = target;
        ShowDateInCalendar(u, FormDateText(list.at(target).date), DrawnFor::kCallerFills);
        FillForm(u, target);
        SetFormMode(u, FormMode::kShown);
        ShowPositionInStatus(u);
        if (target == list.count()) PushEnable(u, Button::kNext, false);
        if (target == 1) PushEnable(u, Button::kPrev, false);
    }
    return u;
}

Update EditorModel::KindChosen(int kind, std::string_view dateText) {
    Update u;
    if (kind < kBirthday || kind > kMeeting) return u;
    const KindChoice choice = ChooseKind(kind);
    PushText(u, FormText::kTimeLabel, std::string(choice.timeLabel));
    // A time read as a year (or a year as a time) would be stored as something never typed.
    const bool year = choice.timeLabel == "year";
    if (year != s_.yearInTimeBox) PushText(u, FormText::kTime, "");
    s_.yearInTimeBox = year;
    u.Show(show::Frequency{choice.frequency});
    UpdatePeriodFields(u, choice.frequency, dateText);
    if (s_.justFilled) {
        s_.changedMark = true;
        s_.justFilled = false;
    }
    EnterEditing(u);
    PushFocus(u, FormField::kDescription);
    return u;
}

Update EditorModel::KindTyped(std::string_view kindText) {
    Update u;
    if (FindKindPrefix(kindText) == 0) PushText(u, FormText::kKind, "");
    EnterEditing(u);
    return u;
}

Update EditorModel::FrequencyChosen(int code, std::string_view dateText) {
    Update u;
    UpdatePeriodFields(u, code, dateText);
    EnterEditing(u);
    return u;
}

Update EditorModel::FieldChanged() {
    Update u;
    EnterEditing(u);
    return u;
}

Update EditorModel::Click(int x, int y) {
    Update u;
    s_.clickPending = true;
    if (s_.editing != Editing::kNone) return u;
    // Only a click on a day chooses it; elsewhere (the form's background, a title) the shown
    // reminder and the current index must stay together.
    const calendar::MonthYear pair{s_.displayedMonth, s_.displayedYear};
    if (calendar::DayInPairAt(pair, x, y) == 0) return u;
    const calendar::MonthYear panel = calendar::PanelMonth(pair, x);
    DrawPair(u, {pair, {x, y}, DrawnFor::kDay});
    s_.selectedKey = MakeDateKey(panel.year, panel.month, s_.chosen.day);
    const ReminderList& list = s_.data.current;
    if (!list.empty() && list.at(list.count()).date < s_.selectedKey) {
        PushEnable(u, Button::kNext, false);
    }
    if (!list.empty() && list.at(1).date > s_.selectedKey) PushEnable(u, Button::kPrev, false);
    s_.currentIndex = calendar::FirstReminderOn(list, s_.selectedKey);
    ShowPositionInStatus(u);
    return u;
}

Update EditorModel::DoubleClick(int x, int y, bool dateBoxEmpty) {
    Update u;
    if (s_.editing != Editing::kNone && !dateBoxEmpty) return u;
    const calendar::MonthYear pair{s_.displayedMonth, s_.displayedYear};
    if (calendar::DayInPairAt(pair, x, y) == 0) return u;
    s_.returnIndex = s_.currentIndex;
    if (s_.currentIndex != 0) {
        ClearForm(u);
        s_.currentIndex = 0;
    }
    const calendar::MonthYear panel = calendar::PanelMonth(pair, x);
    DrawPair(u, {pair, {x, y}, DrawnFor::kCallerFills});
    const int day = s_.chosen.day;
    PushText(u, FormText::kDate, DoubleClickDateText(panel.month, day, panel.year));
    // A new date typed into the form: a new reminder (FormMode 2).
    EnterEditing(u);
    PushText(u, FormText::kWeekday,
             std::string(WeekdayName(DayOfWeek(panel.month, panel.year, day))));
    return u;
}

// ---- saving and closing ----

bool EditorModel::SaveWithReason(Update& u) {
    if (!s_.loaded) {
        PushMessage(u, {"The reminders were not saved: the data file could not be read when "
                        "Tessaly started (" +
                            s_.loadError +
                            "), and saving now would replace every reminder it holds.\r\n"
                            "Close with No to leave the file as it is, and start Tessaly "
                            "again later.",
                        std::string(kClosingCaption), MessageIcon::kHand});
        return false;
    }
    const BackupResult backup = KeepDailyBackup(s_.dataFile, s_.today);
    const IoResult saved = SaveReminderFile(s_.dataFile, s_.data, kEditorLabel);
    if (saved) {
        if (!backup.status) {
            PushMessage(u,
                        {"The reminders were saved, but the day's backup could not be kept:\r\n" +
                             backup.status.message,
                         std::string(kClosingCaption), MessageIcon::kAsterisk});
        }
        return true;
    }
    // The changes exist only in memory: the window stays so they are not lost.
    PushMessage(u, {"The reminders could not be saved.\r\n" + saved.message +
                        "\r\nThe window stays open so that nothing is lost.",
                    std::string(kClosingCaption), MessageIcon::kHand});
    return false;
}

CloseOutcome EditorModel::Close(const Ask& ask, Update& u) {
    if (s_.closing) return CloseOutcome::kStay;  // the question is already open
    s_.closing = true;
    if (s_.dirty) {
        const Answer answer = ask({std::string(kSaveQuestion), std::string(kClosingCaption), true});
        if (answer == Answer::kCancel || (answer == Answer::kYes && !SaveWithReason(u))) {
            s_.closing = false;
            return CloseOutcome::kStay;
        }
    }
    s_.dirty = false;
    s_.closing = false;
    return CloseOutcome::kClose;
}

bool EditorModel::OfferSave(const Ask& ask, Update& u) {
    if (!s_.dirty) return true;
    const Answer answer = ask({std::string(kSaveQuestion), std::string(kClosingCaption), true});
    if (answer == Answer::kCancel) return false;
    if (answer == Answer::kYes) {
        if (!SaveWithReason(u)) return false;
        s_.dirty = false;
    }
    return true;
}

Update EditorModel::ReloadFrom(const std::filesystem::path& dataFile) {
    ReminderData fresh;
    const IoResult loaded = LoadReminderFile(dataFile, fresh);
    s_.dataFile = dataFile;
    s_.loaded = loaded.ok;
    s_.loadError = loaded.message;
    return ShowNewLists(std::move(fresh), false);
}

Update EditorModel::ShowDataFile(const std::filesystem::path& dataFile) const {
    Update u;
    u.Show(show::DataFile{dataFile});
    return u;
}

Update EditorModel::AdoptUnsaved(ReminderData lists) {
    RollOver(lists.current, lists.archive, s_.today);
    return ShowNewLists(std::move(lists), true);
}

Update EditorModel::ShowNewLists(ReminderData lists, bool dirty) {
    Update u;
    s_.data = std::move(lists);
    s_.dirty = dirty;
    // Nothing of the old lists may stay selected: every index now means another reminder.
    s_.currentIndex = 0;
    s_.returnIndex = 0;
    s_.marked = {};
    s_.frameShown = false;
    RecomputeSameDate();
    ClearForm(u);
    SetFormMode(u, FormMode::kNothingShown);
    u.Show(show::DataFile{s_.dataFile});
    ShowPositionInStatus(u);
    if (!s_.loaded) {
        PushMessage(u, {"The reminders could not be read:\r\n" + s_.loadError +
                            "\r\nThe data file will not be written while Tessaly runs.",
                        "Tessaly", MessageIcon::kHand});
    }
    u.calendar = Picture();
    return u;
}

// ---- the list window ----

Update EditorModel::SetListOpen(bool open) {
    Update u;
    s_.listOpen = open;
    if (!open) ShowPositionInStatus(u);
    return u;
}

Update EditorModel::ListSelectionStatus(ListKind which, int line) {
    Update u;
    const ReminderList& list = which == ListKind::kCurrent ? s_.data.current : s_.data.archive;
    if (line < 1 || line > list.count()) return u;
    PushStatus(u, 2, StatusPositionText(line, list.count()));
    // Same-date numbers belong to the current list; an archived entry has none.
    PushStatus(u, 3, which == ListKind::kCurrent ? SameDateText(SameDateNumber(line)) : "");
    return u;
}

Update EditorModel::DeleteListEntry(ListKind which, int position) {
    Update u;
    if (which == ListKind::kArchive) {
        ReminderList& archive = s_.data.archive;
        if (position < 1 || position > archive.count()) return u;
        archive.RemoveAt(position);
        s_.dirty = true;
        return u;
    }
    ReminderList& list = s_.data.current;
    if (position < 1 || position > list.count()) return u;
    list.RemoveAt(position);
    s_.dirty = true;
    // Every index follows its reminder; one that pointed at the deleted entry points nowhere.
    auto follow = [position](int& index) {
        if (index == position) {
            index = 0;
        } else if (index > position) {
            --index;
        }
    };
    const bool shownDeleted = s_.shownIndex == position;
    follow(s_.currentIndex);
    follow(s_.shownIndex);
    follow(s_.returnIndex);
    RecomputeSameDate();
    if (shownDeleted) {
        s_.justFilled = false;
        s_.changedMark = false;
        if (s_.editing == Editing::kShown) {
            // What is typed stays, but it can only be added now, not replace anything.
            SetFormMode(u, FormMode::kEditingNew);
        } else {
            ClearForm(u);
            SetFormMode(u, FormMode::kNothingShown);
        }
    } else {
        // The count changed: Next/Prev enabling follows.
        SetFormMode(u, s_.mode);
    }
    ShowPositionInStatus(u);
    u.calendar = Picture();
    return u;
}

Update EditorModel::ShowReminder(int position) {
    Update u;
    const ReminderList& list = s_.data.current;
    if (position < 1 || position > list.count()) return u;
    s_.currentIndex = position;
    s_.listOpen = false;
    ShowDateInCalendar(u, FormDateText(list.at(position).date), DrawnFor::kDay);
    // The calendar showed the day's first reminder; this one may be a later one of that day.
    FillForm(u, position);
    SetFormMode(u, FormMode::kShown);
    ShowPositionInStatus(u);
    return u;
}

}  // namespace tessaly::editor
