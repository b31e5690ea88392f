// Any command line for tsy, run end to end on a data file and a calendar in a folder of their
// own. Every command ends with status 0, 1 or 2 and a failure says why; a rejected command
// (2) changes no file, one that could not read or write a file (1) changes none that was there,
// and a command that only reads changes nothing; every data file a command writes is whole
// (12 + 58 (N + M) bytes, in order, loading and saving to the same bytes).
//
// The input: the arguments, one a line, up to the first NUL byte; after it, the file
// Tessaly.tsy as the command finds it: a data file, or a calendar to import (without a NUL, a
// small data file with due reminders). The folder also holds a calendar, in.ics.
// Arguments holding "/" could name places outside the folder, so such inputs are passed over.
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "core/data_file.h"
#include "tests/fuzz/heap_watch.h"
#include "tests/fuzz/scratch_folder.h"
#include "tools/tsy/tsy.h"
#include "tools/tsy/fuzz/fixed_local_zones.h"
#include "tools/tsy/zones.h"

namespace {

using namespace tessaly;
namespace fs = std::filesystem;
using fuzz::Bytes;
using fuzz::FixedLocalZones;
using fuzz::Require;

constexpr DateKey kToday = 20261208;  // a Tuesday

// What a command may hold at once: its lists (a few times the data file, as in loading it),
// texts of the size of its arguments and, for an import, the calendar as read (within 60 times
// its size, as the iCalendar target checks), beside what it costs whatever the input (the usage
// text, the calendar in the folder, the buffers of a save and of the day's backup, and the up
// to 2,000 dates of a series that an import compares with a reminder's steps).
constexpr std::size_t kInputMultiple = 60;
constexpr std::size_t kFixedBytes = 256 << 10;

Reminder Make(int kind, std::string_view text, DateKey date, int timeOrYear, int notify,
              int frequency, int period = 1) {
    Reminder r;
    r.kind = static_cast<std::uint8_t>(kind);
    r.SetDescription(text);
    r.date = date;
    r.timeOrYear = static_cast<std::int16_t>(timeOrYear);
    r.notifyDays = static_cast<std::uint8_t>(notify);
    r.frequency = static_cast<std::uint8_t>(frequency);
    r.period = static_cast<std::uint8_t>(period);
    return r;
}

// Two reminders due today, one past, one ahead, and an archived one.
const Bytes& SampleDataFile() {
    static const Bytes bytes =
        EncodeReminderFile({ReminderList({Make(4, "Dentist", 20261201, 1430, 3, 1),
                                          Make(1, "Mum", 20261208, 1956, 7, 2),
                                          Make(5, "Project review", 20261210, 1000, 3, 4, 2),
                                          Make(3, "Renew car insurance", 20270105, 0, 10, 3, 12)}),
                            ReminderList({Make(4, "Eye test", 20261118, 1100, 2, 1)})},
                           kEditorLabel);
    return bytes;
}

constexpr std::string_view kCalendar =
    "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Tessaly//fuzz//EN\r\n"
    "BEGIN:VEVENT\r\nUID:1\r\nSUMMARY:Birthday Ben\r\nDTSTART;VALUE=DATE:19800219\r\n"
    "RRULE:FREQ=YEARLY\r\nEND:VEVENT\r\n"
    "BEGIN:VEVENT\r\nUID:2\r\nSUMMARY:Car service\r\nDTSTART:20261220T100000\r\n"
    "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-P2D\r\nEND:VALARM\r\nEND:VEVENT\r\n"
    "BEGIN:VEVENT\r\nUID:3\r\nSUMMARY:Choir\r\nDTSTART:20261211T190000Z\r\n"
    "RRULE:FREQ=WEEKLY;INTERVAL=2\r\nEND:VEVENT\r\n"
    "BEGIN:VEVENT\r\nUID:4\r\nSUMMARY:Standup\r\nDTSTART:20261209T090000\r\n"
    "RRULE:FREQ=DAILY\r\nEND:VEVENT\r\n"
    "END:VCALENDAR\r\n";

bool InBackups(const std::string& name) {
    return name.starts_with("Backups/");
}

// A data file as tsy writes one: its bytes are exactly those its lists save to.
bool WholeDataFile(const Bytes& bytes) {
    if (bytes.size() < 12) return false;
    const std::string_view label(reinterpret_cast<const char*>(bytes.data()), 4);
    return EncodeReminderFile(DecodeReminderFile(bytes), label) == bytes;
}

bool CalendarText(const Bytes& bytes) {
    constexpr std::string_view kBegin = "BEGIN:VCALENDAR";
    return bytes.size() >= kBegin.size() && std::equal(kBegin.begin(), kBegin.end(), bytes.begin());
}

// Runs tsy with the folder as its working folder, as a person typing the command there would.
int RunIn(const fs::path& folder, const std::vector<std::string>& args, std::string& err) {
    static const fs::path home = fs::current_path();
    static FixedLocalZones zones;
    std::ostringstream out, errors;
    fs::current_path(folder);
    const int status = RunTsy(args, out, errors, kToday, &zones);
    fs::current_path(home);
    err = errors.str();
    return status;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t end = input.find('\0');
    std::vector<std::string> args;
    if (const std::string_view line = input.substr(0, end); !line.empty()) {
        for (std::size_t at = 0;;) {
            const std::size_t next = line.find('\n', at);
            args.emplace_back(line.substr(at, next - at));
            if (next == std::string_view::npos) break;
            at = next + 1;
        }
    }
    for (const std::string& a : args) {
        if (a.find('/') != std::string::npos) return 0;
    }

    const fs::path& folder = fuzz::EmptyScratchFolder();
    if (end == std::string_view::npos) {
        fuzz::WriteBytes(folder / "Tessaly.tsy", SampleDataFile());
    } else {
        fuzz::WriteBytes(folder / "Tessaly.tsy", {data + end + 1, size - end - 1});
    }
    fuzz::WriteBytes(folder / "in.ics",
                     {reinterpret_cast<const std::uint8_t*>(kCalendar.data()), kCalendar.size()});
    const std::map<std::string, Bytes> before = fuzz::FolderContents(folder);

    std::string err;
    int status;
    {
        fuzz::HeapWatch heap;
        status = RunIn(folder, args, err);
        heap.Require(kInputMultiple * size + kFixedBytes, "the command");
    }
    const std::map<std::string, Bytes> after = fuzz::FolderContents(folder);

    Require(status == kTsyOk || status == kTsyFileError || status == kTsyBadInput,
            "an exit status other than 0, 1 or 2");
    Require(status == kTsyOk || !err.empty(), "a failure without a message");
    if (status == kTsyBadInput) Require(after == before, "a rejected command changed a file");
    const std::string command = args.empty() ? "" : args[0];
    if (command == "dump" || command == "due" || command == "backups" || command == "alerts") {
        Require(after == before, "a command that only reads changed a file");
    }
    if (status == kTsyFileError) {
        for (const auto& [name, bytes] : before) {
            const auto now = after.find(name);
            Require(now != after.end() && now->second == bytes,
                    "a command that failed changed a file");
        }
    }
    for (const auto& [name, bytes] : after) {
        const auto was = before.find(name);
        if (was != before.end() && was->second == bytes) continue;
        // A failed save may keep the day's backup first; nothing else.
        if (status == kTsyFileError) Require(InBackups(name), "a command that failed left a file");
        if (!InBackups(name)) {
            Require(WholeDataFile(bytes) || CalendarText(bytes),
                    "a written file is neither a whole data file nor a calendar");
        }
    }
    return 0;
}
