// tsy, the data file companion: dump, roll over, list due reminders and the day's alerts,
// acknowledge, add, export and import iCalendar files, with the same rules as the editor and the
// notifier. The command logic is one function over its arguments and output streams, so tests
// run it in-process on either platform.
#pragma once

#include <ostream>
#include <span>
#include <string>

#include "core/date.h"
#include "tools/tsy/zones.h"

namespace tessaly {

// Exit statuses.
inline constexpr int kTsyOk = 0;
inline constexpr int kTsyFileError = 1;  // a file could not be read or written
inline constexpr int kTsyBadInput = 2;   // invalid input or usage; no file was changed

// Runs one tsy command. args are the UTF-8 arguments after the program name; systemToday
// is the date used when no --today is given; zones turns imported times into this computer's
// clock time (null: the system's own zones). JSON and results go to out, messages to err.
int RunTsy(std::span<const std::string> args, std::ostream& out, std::ostream& err,
           DateKey systemToday, SystemZones* zones = nullptr);

// A JSON string literal (with its quotes) of UTF-8 text: quotes, backslashes and control
// characters (C0, DEL and C1) escaped, the C1 ones as \u0080..\u009F.
std::string JsonString(std::string_view utf8);

}  // namespace tessaly
