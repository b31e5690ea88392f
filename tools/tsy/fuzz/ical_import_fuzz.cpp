// Any byte string as a calendar file to import, end to end as far as tsy takes it: parsed and
// read into reminders in a few times the file's memory and on a small stack whatever its
// nesting; every event that maps is a reminder the editor would add, and every other says why.
// The reminders go into a data file, which saves and loads again unchanged; importing the same
// events again adds nothing. The data file exports to a calendar that imports back to the very
// same reminders, and importing it into the data file adds nothing either.
#include <pthread.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/data_file.h"
#include "core/date.h"
#include "tests/fuzz/heap_watch.h"
#include "tests/fuzz/scratch_folder.h"
#include "tools/tsy/ical.h"
#include "tools/tsy/fuzz/fixed_local_zones.h"
#include "tools/tsy/zones.h"

namespace {

using namespace tessaly;
using fuzz::FixedLocalZones;
using fuzz::Require;

constexpr DateKey kToday = 20261208;  // a Tuesday
constexpr DateKey kLastDate = 20991231;

// The parse holds the unfolded text, a 24-byte record per line while it reads them and a
// property (56 bytes) or component record per line: at most 80 bytes for the shortest line,
// "X:" and its line end, some 27 times its size. Reading the events adds, for each event of
// at least 24 bytes, its record, title, reason and notes, fewer bytes than the parse's.
constexpr std::size_t kParseMultiple = 30;
constexpr std::size_t kImportMultiple = 2 * kParseMultiple;
constexpr std::size_t kFixedBytes = 256 << 10;

// Far less than a program's main thread has, and still many times what reading a calendar
// needs: a reader that recursed once per nesting level would run out of it on the nested
// calendars the fuzzer makes.
constexpr std::size_t kStackBytes = 512 << 10;

ImportOptions Options() {
    static FixedLocalZones zones;
    ImportOptions options;
    options.today = kToday;
    options.zones = &zones;
    return options;
}

bool RealDate(DateKey key) {
    const CivilDate d = SplitDateKey(key);
    return d.year >= 1 && d.month >= 1 && d.month <= 12 && d.day >= 1 &&
           d.day <= DaysInMonth(d.month, d.year);
}

// What the editor's Add could have made.
bool AddableReminder(const Reminder& r) {
    if (r.kind < kBirthday || r.kind > kMeeting) return false;
    if (r.frequency < kOneTime || r.frequency > kWeekdayMonths || r.period < 1) return false;
    if (r.notifyDays > 30) return false;
    if (r.date < kToday || r.date > kLastDate || !RealDate(r.date)) return false;
    for (char c : r.Description()) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F) return false;
    }
    return r.Description().find_first_not_of(' ') != std::string_view::npos;
}

void CheckDocument(const IcsDocument& doc) {
    if (doc.errorLine != 0) {
        Require(!doc.error.empty() && doc.components.empty(), "a parse error without a reason");
        return;
    }
    Require(!doc.calendars.empty(), "a well-formed file without a calendar");
    for (std::size_t i = 0; i < doc.components.size(); ++i) {
        const IcsComponent& c = doc.components[i];
        Require(c.parent < static_cast<int>(i), "a component inside one that follows it");
        for (int child : c.children) {
            Require(child > static_cast<int>(i) &&
                        child < static_cast<int>(doc.components.size()) &&
                        doc.at(child).parent == static_cast<int>(i),
                    "a component's children do not name it as their parent");
        }
    }
}

ReminderList ImportInto(ReminderList list, const IcsImport& ics, ImportCounts& counts) {
    counts = AddImportedEvents(ics.events, list);
    return list;
}

int Mapped(const IcsImport& ics) {
    int n = 0;
    for (const ImportedEvent& e : ics.events) n += e.mapped ? 1 : 0;
    return n;
}

bool InDateOrder(const ReminderList& list) {
    for (int i = 2; i <= list.count(); ++i) {
        if (list.at(i - 1).date > list.at(i).date) return false;
    }
    return true;
}

void Run(std::span<const std::uint8_t> input) {
    const std::size_t size = input.size();
    {
        fuzz::HeapWatch heap;
        const IcsDocument doc = ParseIcs(std::vector<std::uint8_t>(input.begin(), input.end()));
        heap.Require(kParseMultiple * size + kFixedBytes, "parsing the calendar");
        CheckDocument(doc);
    }
    IcsImport ics;
    {
        fuzz::HeapWatch heap;
        ics = ReadIcsEvents(std::vector<std::uint8_t>(input.begin(), input.end()), Options());
        heap.Require(kImportMultiple * size + kFixedBytes, "reading the calendar's events");
    }
    if (ics.errorLine != 0) {
        Require(!ics.error.empty() && ics.events.empty(), "a malformed file without a reason");
        return;
    }
    for (const ImportedEvent& e : ics.events) {
        Require(e.line >= 1, "an event without its line");
        if (e.mapped) {
            Require(AddableReminder(e.reminder), "an event became a reminder Add refuses");
        } else {
            Require(!e.reason.empty(), "an event skipped without a reason");
        }
    }

    // Into a data file, saved and loaded again; a second import adds nothing.
    ImportCounts counts;
    ReminderData data;
    data.current = ImportInto({}, ics, counts);
    Require(counts.added == Mapped(ics) && counts.present == 0,
            "an import into an empty list did not add every reminder");
    Require(InDateOrder(data.current), "an import left the list out of date order");
    const auto path = fuzz::EmptyScratchFolder() / "Tessaly.tsy";
    Require(static_cast<bool>(SaveReminderFile(path, data, kEditorLabel)), "the save failed");
    ReminderData loaded;
    Require(static_cast<bool>(LoadReminderFile(path, loaded, IfMissing::kFail)),
            "the saved file does not load");
    Require(loaded == data, "the saved file loads differently");
    const ReminderList twice = ImportInto(loaded.current, ics, counts);
    Require(counts.added == 0 && counts.present == Mapped(ics) && twice == loaded.current,
            "a second import added something");

    // Out to a calendar and back: the same reminders, and nothing new for the data file.
    const IcsExport exported = ExportIcs(loaded, false, kToday);
    Require(exported.notes.empty(), "an imported reminder could not be exported as it is");
    const IcsImport back = ReadIcsEvents(exported.text, Options());
    Require(back.errorLine == 0, "an exported calendar does not parse");
    Require(Mapped(back) == loaded.current.count(), "an exported reminder does not import");
    Require(ImportInto({}, back, counts) == loaded.current,
            "an exported calendar imports other reminders");
    Require(ImportInto(loaded.current, back, counts) == loaded.current && counts.added == 0,
            "importing the export into its own data file added something");
}

struct Job {
    std::span<const std::uint8_t> input;
};

void* RunJob(void* job) {
    Run(static_cast<Job*>(job)->input);
    return nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Job job{{data, size}};
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, kStackBytes);
    pthread_t thread;
    Require(pthread_create(&thread, &attributes, RunJob, &job) == 0, "cannot start a thread");
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
    return 0;
}
