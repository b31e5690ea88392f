// Reminders as iCalendar (RFC 5545) text and back: content lines with folding and escaping,
// export of both lists, and the reading of other programs' events into reminders through the
// editor's own checks, with their times, repeats, alarms and titles kept or the reason why not.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/date.h"
#include "core/reminder.h"
#include "tools/tsy/zones.h"

namespace tessaly {

// --- Content lines ---

// TEXT value escaping: backslash, semicolon, comma and line breaks.
std::string EscapeIcsText(std::string_view text);
std::string UnescapeIcsText(std::string_view text);
// One content line with its CR LF, folded so that no line exceeds 75 octets; a fold never
// splits a UTF-8 sequence.
std::string FoldIcsLine(std::string_view line);
// Text without control characters: tabs and line breaks become blanks, the other C0 and C1
// controls and DEL are dropped. A reminder's description never holds one.
std::string PrintableText(std::string_view utf8);

// Views into the document's own unfolded text.
struct IcsProperty {
    std::string_view name;    // upper case
    std::string_view params;  // as written, from the first ";" up to the ":" (empty for none)
    std::string_view value;   // raw, still escaped
    int line = 0;             // where the (unfolded) line begins, from 1

    // A parameter's value, unquoted; several values stay joined by their commas.
    std::optional<std::string> Param(std::string_view name) const;
};

struct IcsComponent {
    std::string_view name;  // upper case: VCALENDAR, VEVENT, VALARM, ...
    int line = 0;           // of its BEGIN
    int parent = -1;        // index in the document, -1 for a calendar
    std::vector<IcsProperty> properties;
    std::vector<int> children;  // indexes in the document, in file order

    const IcsProperty* Find(std::string_view name) const;
};

// A parsed file. Components lie side by side, so any depth of nesting costs no stack to build
// or to free. Not copyable: the views point into its text.
struct IcsDocument {
    std::vector<std::uint8_t> text;  // the unfolded lines
    std::vector<IcsComponent> components;
    std::vector<int> calendars;  // the top-level VCALENDARs
    int errorLine = 0;           // 0 when the text is well formed
    std::string error;

    IcsDocument() = default;
    IcsDocument(IcsDocument&&) = default;
    IcsDocument& operator=(IcsDocument&&) = default;
    IcsDocument(const IcsDocument&) = delete;
    IcsDocument& operator=(const IcsDocument&) = delete;

    const IcsComponent& at(int index) const { return components[static_cast<size_t>(index)]; }
};

// Unfolds and parses the bytes in place; every component must close with its own END. A
// byte-order mark and line ends of CR LF, LF or CR alone are accepted. Time and memory are
// linear in the size of the text.
IcsDocument ParseIcs(std::vector<std::uint8_t> bytes);
IcsDocument ParseIcs(std::string_view text);

// --- Export ---

// A stable UID: the same record exported again gets the same one. duplicate numbers equal
// records (0 for the first), archived separates the two lists.
std::string ReminderUid(const Reminder& r, bool archived, int duplicate);

struct IcsExport {
    std::string text;
    std::vector<std::string> notes;  // records left out or changed, for stderr
};

// One VEVENT per current reminder (and archived one, as a single past event, with
// withArchive). stamp is the DTSTAMP's date.
IcsExport ExportIcs(const ReminderData& data, bool withArchive, DateKey stamp);

// --- Import ---

struct ImportOptions {
    DateKey today = 0;
    // A series a reminder cannot keep is imported as its next date, once, instead of skipped.
    bool nextOnly = false;
    // Where times in UTC and in named zones are turned into this computer's clock time.
    SystemZones* zones = nullptr;
};

struct ImportedEvent {
    int line = 0;         // of the event's BEGIN:VEVENT
    std::string summary;  // UTF-8, for messages: at most about 60 characters
    bool mapped = false;
    Reminder reminder;               // when mapped: what Add would insert
    std::string reason;              // when not: why it was skipped and what to do
    std::vector<std::string> notes;  // what was changed on the way in
};

struct IcsImport {
    int errorLine = 0;  // 0 when the file is well formed
    std::string error;
    std::vector<ImportedEvent> events;  // in file order
};

// Reads every VEVENT. A malformed file yields errorLine and no events.
IcsImport ReadIcsEvents(std::vector<std::uint8_t> bytes, const ImportOptions& options);
IcsImport ReadIcsEvents(std::string_view text, const ImportOptions& options);

struct ImportCounts {
    int added = 0;
    int present = 0;  // matched by an equal reminder already in the current list
};

// Inserts the mapped events in date order as Add does. Each reminder already in the current
// list matches one equal event, so importing the same file twice adds nothing, while two
// events of one file that become equal reminders are both added.
ImportCounts AddImportedEvents(const std::vector<ImportedEvent>& events, ReminderList& current);

}  // namespace tessaly
