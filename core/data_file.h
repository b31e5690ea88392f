// The data file: a 4-byte label, the current list, the archive list; read and written whole.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>
#include <vector>

#include "core/file_io.h"
#include "core/product.h"
#include "core/reminder.h"

namespace tessaly {

// The editor labels the file with its version, the notifier "1.00"; readers ignore the label.
inline constexpr std::string_view kEditorLabel = kVersion;
inline constexpr std::string_view kNotifierLabel = "1.00";

// Exactly 12 + 58 * (current + archive) bytes.
std::vector<std::uint8_t> EncodeReminderFile(const ReminderData& data, std::string_view label);

// Reads whatever bytes there are: missing bytes read as zeros; a negative count is 0; a
// count larger than the records that begin inside the file is cut to them, so a damaged
// count cannot exhaust memory. Consumed (negative-date) current entries are left out and
// the current list is put back into date order (stably), so every rule can rely on it.
ReminderData DecodeReminderFile(std::span<const std::uint8_t> bytes);

// Loads both lists; on failure the lists are left as they were.
IoResult LoadReminderFile(const std::filesystem::path& path, ReminderData& data,
                          IfMissing ifMissing = IfMissing::kCreateEmpty);

// Writes both lists with the caller's label, replacing the file atomically. Consumed
// entries are never written.
IoResult SaveReminderFile(const std::filesystem::path& path, const ReminderData& data,
                          std::string_view label);

}  // namespace tessaly
