// Reminders as iCalendar (RFC 5545) text and back: content lines with folding and escaping,
// the recurrence rule in both directions, export of both lists and the reading of events
// into reminders through the editor's own checks.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/date.h"
#include "core/reminder.h"

namespace tessaly {

// --- Content lines ---

// TEXT value escaping: backslash, semicolon, comma and line breaks.
std::string EscapeIcsText(std::string_view text);
std::string UnescapeIcsText(std::string_view text);
// One content line with its CR LF, folded so that no line exceeds 75 octets; a fold never
// splits a UTF-8 sequence.
std::string FoldIcsLine(std::string_view line);

struct IcsProperty {
    std::string name;                                         // upper case
    std::vector<std::pair<std::string, std::string>> params;  // names upper case, values unquoted
    std::string value;                                        // raw, still escaped
    int line = 0;  // where the (unfolded) line begins, from 1

    std::optional<std::string> Param(std::string_view name) const;
};

struct IcsComponent {
    std::string name;  // upper case: VCALENDAR, VEVENT, VALARM, ...
    int line = 0;      // of its BEGIN
    std::vector<IcsProperty> properties;
    std::vector<IcsComponent> children;

    const IcsProperty* Find(std::string_view name) const;
};

struct IcsParseResult {
    std::vector<IcsComponent> calendars;
    int errorLine = 0;  // 0 when the text is well formed
    std::string error;
};

// Unfolds and parses the text; every component must close with its own END. A byte-order
// mark and bare LF line ends are accepted.
IcsParseResult ParseIcs(std::string_view text);

// --- Recurrence ---

struct RecurrenceRule {
    int frequency = kOneTime;  // Frequency code
    int period = 1;
    int monthDay = 0;     // monthly: the day of the month; 0 means the start's day
    int weekday = -1;     // weekday months: 0 Sunday .. 6 Saturday
    int weekOrdinal = 0;  // weekday months: 1..4, or -1 for the last
};

struct RuleReading {
    enum Status { kMapped, kUnmappable, kMalformed } status = kMapped;
    RecurrenceRule rule;
    std::string reason;  // why it cannot be mapped, or what is malformed
};

// The RRULE value for a reminder, empty for one that happens once. A stored period of 0
// counts as 1.
std::string WriteRecurrenceRule(const Reminder& r);
// Reads an RRULE value against the event's start date.
RuleReading ReadRecurrenceRule(std::string_view value, CivilDate start);

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
    // Added to times written in UTC ("Z") to give local clock times.
    int utcOffsetMinutes = 0;
};

struct ImportedEvent {
    int line = 0;         // of the event's BEGIN:VEVENT
    std::string summary;  // UTF-8, for messages
    bool mapped = false;
    Reminder reminder;   // when mapped: what Add would insert
    std::string reason;  // when not: why it was skipped
};

struct IcsImport {
    int errorLine = 0;  // 0 when the file is well formed
    std::string error;
    std::vector<ImportedEvent> events;  // in file order
};

// Reads every VEVENT. A malformed file yields errorLine and no events.
IcsImport ReadIcsEvents(std::string_view text, const ImportOptions& options);

struct ImportCounts {
    int added = 0;
    int present = 0;  // equal to a reminder already in the current list
};

// Inserts the mapped events in date order as Add does, leaving out any equal to a reminder
// already in the current list, so importing the same file twice adds nothing.
ImportCounts AddImportedEvents(const std::vector<ImportedEvent>& events, ReminderList& current);

}  // namespace tessaly
