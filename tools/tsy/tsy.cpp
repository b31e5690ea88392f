#include "tools/tsy/tsy.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <future>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

#include "core/backup.h"
#include "core/codepage.h"
#include "core/data_file.h"
#include "core/data_location.h"
#include "core/file_io.h"
#include "core/occurrence.h"
#include "core/reminder.h"
#include "core/reminder_checks.h"
#include "notifier/alerts.h"
#include "notifier/due.h"
#include "notifier/popup_text.h"
#include "tools/tsy/ical.h"

namespace tessaly {
namespace {

constexpr std::string_view kUsage =
    "usage: tsy dump FILE\n"
    "       tsy rollover FILE [--today DATE]\n"
    "       tsy due FILE [--today DATE]\n"
    "       tsy acknowledge FILE INDEX [--today DATE]\n"
    "       tsy add FILE --kind KIND --description TEXT --date DATE [--time TIME]\n"
    "               --notify DAYS [--frequency N] [--period N] [--today DATE]\n"
    "       tsy export FILE [--archive] [-o OUT.ics] [--today DATE]\n"
    "       tsy import FILE IN.ics [--dry-run] [--next-only] [--today DATE]\n"
    "       tsy backups FILE\n"
    "       tsy alerts FILE [--today DATE] [--minutes N]\n"
    "       tsy --help\n";

constexpr std::string_view kHelp =
    "\n"
    "What the options take:\n"
    "  --today DATE        YYYY-MM-DD: act as if that day were today (default: today)\n"
    "  --date DATE         YYYY-MM-DD, or as typed in the editor's form: MM-DD-YYYY,\n"
    "                      M/D/YY, or M-D for this year\n"
    "  --time TIME         reminders, appointments and meetings: a clock time with am or\n"
    "                      pm as in the form, \"2:30 pm\", \"9:05am\", \"12:00 am\" for\n"
    "                      midnight (appointments and meetings need one); birthdays and\n"
    "                      anniversaries: the year of birth or of the wedding, 1990,\n"
    "                      from 1800 to this year\n"
    "  --notify DAYS       days of notice before the date, 0 to 30\n"
    "  --kind KIND         the kind by its name, in any case, or by its number:\n"
    "                      1 birthday, 2 anniversary, 3 reminder, 4 appointment, 5 meeting\n"
    "                      (the numbers are the ones tsy dump shows)\n"
    "  --frequency N       1 One time, 2 Annual, 3 Monthly period (every N months on the\n"
    "                      same day), 4 Weekly period (every N weeks), 5 Weekday months\n"
    "                      (every N months on the same weekday, the 2nd Tuesday say);\n"
    "                      default 2 for birthdays and anniversaries, 1 for the rest\n"
    "  --period N          the N of frequencies 3 to 5, 1 to 255 (default 1)\n"
    "  --description TEXT  48 characters are kept; a character Windows-1252 lacks\n"
    "                      becomes \"?\"\n"
    "  INDEX               a position as tsy due lists it\n"
    "\n"
    "export writes the current reminders (with --archive also the archived ones, as single\n"
    "past events) as an iCalendar file for other calendar programs; without -o to stdout.\n"
    "\n"
    "import adds each event of an iCalendar file that a reminder can keep, on its first\n"
    "date from today on, with the editor's checks. An event equal to a reminder already in\n"
    "the file is not added again, so importing the same file twice adds nothing. Each event\n"
    "skipped, and each change made on the way in, is reported on stderr with the event's\n"
    "line and what you can do. --dry-run only reports.\n"
    "  Times: a time in UTC or in a named time zone (defined in the file or known to this\n"
    "    computer) becomes this computer's clock time on that date, summer time included;\n"
    "    the date follows the time. A zone nobody knows is taken as written.\n"
    "  Repeats: a series is kept only where a frequency gives exactly its dates: every N\n"
    "    years, every N months on a day up to the 28th, every N weeks, or the first to\n"
    "    fourth weekday every N months. Other series (the last or fifth weekday, days 29\n"
    "    to 31, series that end (COUNT, UNTIL), extra or left-out dates (RDATE, EXDATE, a\n"
    "    moved date), several days in one rule, daily repeats) are skipped; with\n"
    "    --next-only each is imported as its next date, once.\n"
    "  Alarms: the notify days are how many days before the date the earliest alarm goes\n"
    "    off, at most 30; alarms that do nothing and programs' placeholders are ignored.\n"
    "  Titles: 48 characters are kept; a character Windows-1252 lacks becomes \"?\".\n"
    "  The kind of an imported reminder:\n"
    "  1. a CATEGORIES value naming a kind (birthday, anniversary, reminder, appointment,\n"
    "     meeting, singular or plural, any case), the first one that does; an all-day\n"
    "     appointment or meeting becomes a reminder, since those need a time;\n"
    "  2. otherwise a yearly all-day event whose summary contains \"birthday\" or\n"
    "     \"anniversary\" is that kind;\n"
    "  3. otherwise an event with a start time is an appointment, an all-day one a reminder.\n"
    "  Birthdays and anniversaries keep the year they started in as their year.\n"
    "  A malformed file is exit 2 with its line number and changes nothing.\n"
    "\n"
    "alerts prints the alerts that go off on the day (--today) ahead of reminders,\n"
    "appointments and meetings with a time, one JSON line each, in the order they go off:\n"
    "  {\"alert\":\"2026-12-08T14:15\",\"event\":\"2026-12-08T14:30\",\"list\":\"current\",\n"
    "   \"index\":1,\"kind\":4,\"description\":\"...\"}\n"
    "  alert and event are local clock times: when the alert goes off, and the reminder's\n"
    "  time on the day it occurs (a recurring reminder on the days it recurs). An alert late\n"
    "  in the evening may be for an event early the next morning. list (\"current\" or\n"
    "  \"archive\": an acknowledged reminder's archived copy still brings its alert) and\n"
    "  index, counted from 1, name the entry as tsy dump lists it; description is its 48\n"
    "  stored characters. --minutes N is how long before the event the alert goes off, 0 to\n"
    "  120 (default 15, as the notifier has it until Settings says otherwise; 0: alerts are\n"
    "  off and nothing is printed). Changes nothing.\n"
    "\n"
    "Every save (here, in the editor and in the notifier) first keeps the day's first backup\n"
    "as Backups\\Tessaly-YYYY-MM-DD.tsy beside the data file; the newest 14 days are kept.\n"
    "backups lists them with their reminder counts. To restore one, close the editor and\n"
    "copy the backup over the data file, under the data file's name.\n";

// A command's shape: how many positional arguments, which options, which of them required.
struct CommandShape {
    std::string_view name;
    int positionals;
    std::vector<std::string_view> options;
    std::vector<std::string_view> required;
    std::vector<std::string_view> flags = {};  // options without a value
};

const std::array<CommandShape, 9>& Commands() {
    static const std::array<CommandShape, 9> commands = {{
        {"dump", 1, {}, {}},
        {"rollover", 1, {"today"}, {}},
        {"due", 1, {"today"}, {}},
        {"acknowledge", 2, {"today"}, {}},
        {"add",
         1,
         {"kind", "description", "date", "time", "notify", "frequency", "period", "today"},
         {"kind", "description", "date", "notify"}},
        {"export", 1, {"output", "today"}, {}, {"archive"}},
        {"import", 2, {"today"}, {}, {"dry-run", "next-only"}},
        {"backups", 1, {}, {}},
        {"alerts", 1, {"today", "minutes"}, {}},
    }};
    return commands;
}

struct Invocation {
    std::vector<std::string> positionals;
    std::map<std::string, std::string, std::less<>> options;

    std::optional<std::string> Option(std::string_view name) const {
        const auto it = options.find(name);
        if (it == options.end()) return std::nullopt;
        return it->second;
    }
};

// Thrown for invalid input or usage: exit status 2, nothing touched.
struct BadInput {
    std::string message;
    bool showUsage = false;
};

Invocation Parse(const CommandShape& shape, std::span<const std::string> args) {
    Invocation inv;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i] == "-o" ? std::string("--output") : args[i];
        if (arg.size() < 3 || arg.compare(0, 2, "--") != 0) {
            inv.positionals.push_back(arg);
            continue;
        }
        std::string name = arg.substr(2);
        std::optional<std::string> value;
        if (const size_t eq = name.find('='); eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
        }
        bool flag = false;
        for (std::string_view f : shape.flags) flag = flag || f == name;
        if (flag) {
            if (value) throw BadInput{"tsy: --" + name + " takes no value", true};
            value = "";
        }
        bool known = flag;
        for (std::string_view o : shape.options) known = known || o == name;
        if (!known) {
            throw BadInput{"tsy " + std::string(shape.name) + ": unknown option --" + name, true};
        }
        if (!value) {
            // The value is the next argument whatever it looks like, so a description may
            // begin with "--".
            if (i + 1 == args.size()) throw BadInput{"tsy: --" + name + " needs a value", true};
            value = args[++i];
        }
        if (!inv.options.emplace(name, *value).second) {
            throw BadInput{"tsy: --" + name + " given more than once", true};
        }
    }
    if (static_cast<int>(inv.positionals.size()) != shape.positionals) {
        throw BadInput{"tsy " + std::string(shape.name) + ": wrong number of arguments", true};
    }
    for (std::string_view r : shape.required) {
        if (!inv.options.contains(r))
            throw BadInput{"tsy: --" + std::string(r) + " is required", true};
    }
    return inv;
}

bool AllDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

// YYYY-MM-DD, a real calendar day.
DateKey ParseIsoDate(std::string_view text) {
    const bool shaped = text.size() == 10 && text[4] == '-' && text[7] == '-' &&
                        AllDigits(text.substr(0, 4)) && AllDigits(text.substr(5, 2)) &&
                        AllDigits(text.substr(8, 2));
    if (shaped) {
        const int y = std::stoi(std::string(text.substr(0, 4)));
        const int m = std::stoi(std::string(text.substr(5, 2)));
        const int d = std::stoi(std::string(text.substr(8, 2)));
        if (y >= 1 && m >= 1 && m <= 12 && d >= 1 && d <= DaysInMonth(m, y)) {
            return MakeDateKey(y, m, d);
        }
    }
    throw BadInput{"tsy: --today must be a date written YYYY-MM-DD: " + std::string(text)};
}

DateKey Today(const Invocation& inv, DateKey systemToday) {
    const auto text = inv.Option("today");
    return text ? ParseIsoDate(*text) : systemToday;
}

// Arguments arrive as UTF-8; so must the path.
std::filesystem::path PathFromUtf8(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// Failure to read or write a file: exit status 1.
struct FileError {
    std::string message;
};

void Check(const IoResult& r) {
    if (!r) throw FileError{r.message};
}

// A backup that fails is reported and the save goes ahead.
void Report(const BackupResult& backup, std::ostream& err) {
    if (!backup.status) err << "tsy: " << backup.status.message << '\n';
}

// Every save keeps the day's first backup.
void Save(const std::filesystem::path& path, const ReminderData& data, std::string_view label,
          DateKey today, std::ostream& err) {
    Report(KeepDailyBackup(path, today), err);
    Check(SaveReminderFile(path, data, label));
}

ReminderData Load(const std::filesystem::path& path) {
    ReminderData data;
    Check(LoadReminderFile(path, data, IfMissing::kFail));
    return data;
}

std::string Cp1252Json(std::string_view bytes) {
    return JsonString(Cp1252ToUtf8(bytes));
}

void WriteReminderJson(std::ostream& out, const Reminder& r) {
    out << "{\"kind\":" << int(r.kind) << ",\"description\":" << Cp1252Json(r.Description())
        << ",\"date\":" << r.date << ",\"timeOrYear\":" << r.timeOrYear
        << ",\"notifyDays\":" << int(r.notifyDays) << ",\"period\":" << int(r.period)
        << ",\"frequency\":" << int(r.frequency) << "}";
}

void WriteListJson(std::ostream& out, const ReminderList& list) {
    out << '[';
    for (int i = 1; i <= list.count(); ++i) {
        if (i > 1) out << ',';
        WriteReminderJson(out, list.at(i));
    }
    out << ']';
}

int Dump(const Invocation& inv, std::ostream& out) {
    std::vector<std::uint8_t> bytes;
    Check(ReadWholeFile(PathFromUtf8(inv.positionals[0]), bytes, IfMissing::kFail));
    // The label as far as the file holds it; the lists as every program loads them.
    const std::string label(bytes.begin(), bytes.begin() + std::min<size_t>(4, bytes.size()));
    const ReminderData data = DecodeReminderFile(bytes);
    out << "{\"version\":" << Cp1252Json(label) << ",\"current\":";
    WriteListJson(out, data.current);
    out << ",\"archive\":";
    WriteListJson(out, data.archive);
    out << "}\n";
    return kTsyOk;
}

int Rollover(const Invocation& inv, std::ostream& err, DateKey systemToday) {
    const DateKey today = Today(inv, systemToday);
    const auto path = PathFromUtf8(inv.positionals[0]);
    ReminderData data = Load(path);
    // A roll-over always saves, so the day's backup of the file as loaded is made while the
    // lists roll over: on a large file its copy and flush then cost no extra time.
    std::future<BackupResult> backup =
        std::async(std::launch::async, [&] { return KeepDailyBackup(path, today); });
    RollOver(data.current, data.archive, today);
    Report(backup.get(), err);
    Check(SaveReminderFile(path, data, kEditorLabel));
    return kTsyOk;
}

int Due(const Invocation& inv, std::ostream& out, DateKey systemToday) {
    const DateKey today = Today(inv, systemToday);
    ReminderData data = Load(PathFromUtf8(inv.positionals[0]));
    RollOver(data.current, data.archive, today);
    for (int i = 1; i <= data.current.count(); ++i) {
        const Reminder& r = data.current.at(i);
        if (!IsDue(r, today)) continue;
        const PopupTexts t = ComposePopupTexts(r, today);
        out << "{\"index\":" << i << ",\"title\":" << Cp1252Json(t.title)
            << ",\"description\":" << Cp1252Json(t.description)
            << ",\"dateLine\":" << Cp1252Json(t.dateLine)
            << ",\"timeLine\":" << Cp1252Json(t.timeLine) << "}\n";
    }
    return kTsyOk;
}

int AcknowledgeCommand(const Invocation& inv, std::ostream& err, DateKey systemToday) {
    const DateKey today = Today(inv, systemToday);
    const std::string& indexText = inv.positionals[1];
    if (!AllDigits(indexText) || indexText.size() > 9) {
        throw BadInput{"tsy acknowledge: INDEX must be a position as `due` prints it: " +
                       indexText};
    }
    const int index = std::stoi(indexText);
    const auto path = PathFromUtf8(inv.positionals[0]);
    ReminderData data = Load(path);
    RollOver(data.current, data.archive, today);
    if (index < 1 || index > data.current.count() || !IsDue(data.current.at(index), today)) {
        throw BadInput{"tsy acknowledge: entry " + indexText + " is not due"};
    }
    Acknowledge(data, index, today);
    data.current.RemoveConsumed();
    Save(path, data, kNotifierLabel, today, err);
    return kTsyOk;
}

// --date in tsy's own YYYY-MM-DD as the form's month-day-year; any other text goes to the form
// as typed, so the form's own formats and messages hold.
std::string FormDateText(const std::string& text) {
    const size_t first = text.find('-'), second = text.find('-', first + 1);
    const bool iso =
        first == 4 && second != std::string::npos && second - first >= 2 && second - first <= 3 &&
        text.size() - second >= 2 && text.size() - second <= 3 && AllDigits(text.substr(0, 4)) &&
        AllDigits(text.substr(first + 1, second - first - 1)) && AllDigits(text.substr(second + 1));
    if (!iso) return text;
    return text.substr(first + 1, second - first - 1) + "-" + text.substr(second + 1) + "-" +
           text.substr(0, 4);
}

int Add(const Invocation& inv, std::ostream& out, std::ostream& err, DateKey systemToday) {
    const DateKey today = Today(inv, systemToday);
    FormInput form;
    form.kindText = *inv.Option("kind");
    // A kind's number stands for its name; any other text is left to the checks, which
    // refuse one that names no kind.
    if (form.kindText.size() == 1 && form.kindText[0] >= '1' && form.kindText[0] <= '5') {
        form.kindText = std::string(KindName(form.kindText[0] - '0'));
    }
    // A line break or other control character typed into a shell never reaches the file.
    form.description = Utf8ToCp1252(PrintableText(*inv.Option("description")));
    form.dateText = FormDateText(*inv.Option("date"));
    form.timeText = inv.Option("time").value_or("");
    form.notifyText = *inv.Option("notify");
    form.periodText = inv.Option("period").value_or("1");
    if (const auto frequency = inv.Option("frequency")) {
        if (frequency->size() != 1 || (*frequency)[0] < '1' || (*frequency)[0] > '5') {
            throw BadInput{"tsy add: --frequency must be 1 to 5: " + *frequency};
        }
        form.frequency = (*frequency)[0] - '0';
    } else {
        const int kind = FindKindExact(form.kindText);
        form.frequency = kind == kBirthday || kind == kAnniversary ? kAnnual : kOneTime;
    }

    const FormResult checked = CheckReminderForm(form, today);
    if (!checked.ok) {
        // One line per line of the message box.
        std::string text;
        for (char c : checked.message.text) {
            if (c != '\r') text += c;
        }
        throw BadInput{text};
    }

    const auto path = PathFromUtf8(inv.positionals[0]);
    ReminderData data;
    if (FileExists(path)) data = Load(path);
    const int position = data.current.InsertByDate(checked.reminder);
    Save(path, data, kEditorLabel, today, err);
    out << position << '\n';
    return kTsyOk;
}

int Export(const Invocation& inv, std::ostream& out, std::ostream& err, DateKey systemToday) {
    const DateKey today = Today(inv, systemToday);
    const ReminderData data = Load(PathFromUtf8(inv.positionals[0]));
    const IcsExport ics = ExportIcs(data, inv.options.contains("archive"), today);
    for (const std::string& note : ics.notes) err << "tsy export: " << note << '\n';
    if (const auto output = inv.Option("output")) {
        const std::vector<std::uint8_t> bytes(ics.text.begin(), ics.text.end());
        Check(ReplaceWholeFile(PathFromUtf8(*output), bytes));
    } else {
        out << ics.text;
    }
    return kTsyOk;
}

int Import(const Invocation& inv, std::ostream& out, std::ostream& err, DateKey systemToday,
           SystemZones* zones) {
    const DateKey today = Today(inv, systemToday);
    const std::string& icsName = inv.positionals[1];
    std::vector<std::uint8_t> bytes;
    Check(ReadWholeFile(PathFromUtf8(icsName), bytes, IfMissing::kFail));
    ImportOptions options;
    options.today = today;
    options.nextOnly = inv.options.contains("next-only");
    options.zones = zones;
    const IcsImport ics = ReadIcsEvents(std::move(bytes), options);
    if (ics.errorLine != 0) {
        throw BadInput{"tsy import: " + icsName + " line " + std::to_string(ics.errorLine) + ": " +
                       ics.error};
    }

    const auto path = PathFromUtf8(inv.positionals[0]);
    ReminderData data;
    if (FileExists(path)) data = Load(path);
    int skipped = 0;
    for (const ImportedEvent& e : ics.events) {
        const std::string which = JsonString(e.summary) + " (line " + std::to_string(e.line) + ")";
        if (!e.mapped) {
            ++skipped;
            err << "tsy import: skipped " << which << ": " << e.reason << '\n';
        }
        for (const std::string& note : e.notes)
            err << "tsy import: note on " << which << ": " << note << '\n';
    }
    const ImportCounts counts = AddImportedEvents(ics.events, data.current);
    const bool dryRun = inv.options.contains("dry-run");
    if (!dryRun && counts.added > 0) Save(path, data, kEditorLabel, today, err);
    out << (dryRun ? "would add " : "added ") << counts.added << ", already there "
        << counts.present << ", skipped " << skipped << '\n';
    return kTsyOk;
}

int Backups(const Invocation& inv, std::ostream& out, std::ostream& err) {
    const std::filesystem::path dataFile = PathFromUtf8(inv.positionals[0]);
    const std::filesystem::path folder = BackupFolder(dataFile);
    const std::string stem = BackupStem(dataFile);
    std::vector<std::pair<DateKey, std::string>> found;
    for (const std::string& name : SystemBackupFiles().List(folder)) {
        if (const std::optional<DateKey> day = BackupDay(stem, name))
            found.emplace_back(*day, name);
    }
    std::sort(found.begin(), found.end());
    if (found.empty()) err << "tsy backups: no backups in " << inv.positionals[0] << "'s folder\n";
    for (const auto& [day, name] : found) {
        ReminderData data;
        const IoResult r = LoadReminderFile(folder / PathFromUtf8(name), data, IfMissing::kFail);
        out << name << ": ";
        if (r) {
            out << data.current.count() << " current, " << data.archive.count() << " archived\n";
        } else {
            out << r.message << '\n';
        }
    }
    return kTsyOk;
}

// "2026-12-08T14:15": a local clock time, as ISO 8601 writes one without a zone.
std::string LocalMinuteJson(LocalMinute minute) {
    const LocalTime t = LocalTimeFromSeconds(minute * 60);
    const CivilDate c = SplitDateKey(t.date);
    char text[32];
    std::snprintf(text, sizeof text, "\"%04d-%02d-%02dT%02d:%02d\"", c.year, c.month, c.day, t.hour,
                  t.minute);
    return text;
}

int Alerts(const Invocation& inv, std::ostream& out, DateKey systemToday) {
    const DateKey today = Today(inv, systemToday);
    int lead = kDefaultAlertMinutes;
    if (const auto minutes = inv.Option("minutes")) {
        const std::optional<int> parsed = ParseAlertMinutes(*minutes);
        if (!parsed) {
            throw BadInput{"tsy alerts: --minutes must be a whole number from 0 to " +
                           std::to_string(kMostAlertMinutes) +
                           " (0 turns alerts off): " + *minutes};
        }
        lead = *parsed;
    }
    const ReminderData data = Load(PathFromUtf8(inv.positionals[0]));
    for (const Alert& a : AlertSchedule(data, today, lead)) {
        out << "{\"alert\":" << LocalMinuteJson(a.at) << ",\"event\":" << LocalMinuteJson(a.eventAt)
            << ",\"list\":" << (a.list == AlertList::kCurrent ? "\"current\"" : "\"archive\"")
            << ",\"index\":" << a.index << ",\"kind\":" << int(a.reminder.kind)
            << ",\"description\":" << Cp1252Json(a.reminder.Description()) << "}\n";
    }
    return kTsyOk;
}

}  // namespace

std::string JsonString(std::string_view utf8) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string json = "\"";
    json.reserve(utf8.size() + 2);
    auto escape = [&](unsigned code) {
        json += "\\u00";
        json += kHex[code >> 4];
        json += kHex[code & 15];
    };
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c == '"' || c == '\\') {
            json += '\\';
            json += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            escape(c);
        } else if (c == 0xC2 && i + 1 < utf8.size() &&
                   static_cast<unsigned char>(utf8[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(utf8[i + 1]) <= 0x9F) {
            escape(static_cast<unsigned char>(utf8[++i]));  // a C1 control
        } else {
            json += static_cast<char>(c);
        }
    }
    json += '"';
    return json;
}

int RunTsy(std::span<const std::string> args, std::ostream& out, std::ostream& err,
           DateKey systemToday, SystemZones* zones) {
    if (args.empty()) {
        err << kUsage;
        return kTsyBadInput;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        out << kUsage << kHelp;
        return kTsyOk;
    }
    const CommandShape* shape = nullptr;
    for (const CommandShape& c : Commands()) {
        if (c.name == args[0]) shape = &c;
    }
    try {
        if (!shape) throw BadInput{"tsy: unknown command " + args[0], true};
        const Invocation inv = Parse(*shape, args.subspan(1));
        if (shape->name == "dump") return Dump(inv, out);
        if (shape->name == "rollover") return Rollover(inv, err, systemToday);
        if (shape->name == "due") return Due(inv, out, systemToday);
        if (shape->name == "acknowledge") return AcknowledgeCommand(inv, err, systemToday);
        if (shape->name == "export") return Export(inv, out, err, systemToday);
        if (shape->name == "backups") return Backups(inv, out, err);
        if (shape->name == "import") return Import(inv, out, err, systemToday, zones);
        if (shape->name == "alerts") return Alerts(inv, out, systemToday);
        return Add(inv, out, err, systemToday);
    } catch (const BadInput& e) {
        err << e.message << '\n';
        if (e.showUsage) err << kUsage;
        return kTsyBadInput;
    } catch (const FileError& e) {
        err << "tsy: " << e.message << '\n';
        return kTsyFileError;
    } catch (const std::exception& e) {
        // Paths the system cannot spell and the like: nothing was written.
        err << "tsy: " << e.what() << '\n';
        return kTsyFileError;
    }
}

}  // namespace tessaly
