// Descriptions are stored as Windows-1252 bytes; tools speak UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace tessaly {

// The five unassigned bytes (0x81 0x8D 0x8F 0x90 0x9D) become the C1 controls of the same number.
std::string Cp1252ToUtf8(std::string_view bytes);
// A character Windows-1252 cannot hold, or a malformed UTF-8 sequence, becomes "?".
std::string Utf8ToCp1252(std::string_view utf8);

}  // namespace tessaly
