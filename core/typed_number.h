// How numbers typed by a person are read: the leading decimal number, nothing else.
#pragma once

#include <cstdint>
#include <string_view>

namespace tessaly {

// Blanks are skipped, then digits are read; no sign is read, so "-5" and "abc" are 0.
// The value is held at maxValue when it is larger.
std::int64_t ReadLeadingNumber(std::string_view text, std::int64_t maxValue = INT32_MAX);

// As above, but also one "." and more digits; returns the value times 100, rounded to
// the nearest integer ("9.30" gives 930, "12.5" gives 1250), held at maxValue.
std::int64_t ReadLeadingHundredths(std::string_view text, std::int64_t maxValue = INT32_MAX);

// Leading and trailing blanks (spaces and TABs) removed.
std::string_view TrimBlanks(std::string_view text);
// Leading and trailing spaces removed; a TAB stays (in a help line it is a stop of its own).
std::string_view TrimSpaces(std::string_view text);

}  // namespace tessaly
