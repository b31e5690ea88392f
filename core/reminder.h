// The 58-byte reminder record, the two reminder lists and the ordered insert.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/date.h"

namespace tessaly {

enum Kind : std::uint8_t { kBirthday = 1, kAnniversary, kReminderKind, kAppointment, kMeeting };
enum Frequency : std::uint8_t {
    kOneTime = 1,
    kAnnual,
    kMonthlyPeriod,
    kWeeklyPeriod,
    kWeekdayMonths
};

constexpr std::size_t kDescriptionBytes = 48;

struct Reminder {
    std::uint8_t kind = 0;
    // Windows-1252 bytes, blank-padded, no terminator.
    std::array<char, kDescriptionBytes> description = BlankDescription();
    DateKey date = 0;
    // Kinds 1, 2 (and 0): a year of origin. Kinds 3..5: a clock time hhmm (see time_text.h).
    std::int16_t timeOrYear = 0;
    std::uint8_t notifyDays = 0;
    std::uint8_t period = 0;
    std::uint8_t frequency = 0;

    static constexpr std::array<char, kDescriptionBytes> BlankDescription() {
        std::array<char, kDescriptionBytes> d{};
        d.fill(' ');
        return d;
    }
    // Cuts to 48 bytes or pads with blanks.
    void SetDescription(std::string_view bytes);
    std::string_view Description() const { return {description.data(), description.size()}; }

    bool operator==(const Reminder&) const = default;
};

// On-disk layout: kind(1) description(48) date(4) timeOrYear(2) notifyDays(1) period(1)
// frequency(1), little-endian, no padding.
constexpr std::size_t kReminderBytes = 1 + kDescriptionBytes + 4 + 2 + 1 + 1 + 1;
static_assert(kReminderBytes == 58, "the data file's record is 58 bytes");

void EncodeReminder(const Reminder& r, std::uint8_t* out);
Reminder DecodeReminder(const std::uint8_t* in);

// Kind names as the editor lists them (kind 1..5), empty outside that range.
std::string_view KindName(int kind);

// An ordered list addressed by 1-based position, as the windows and status bar number it.
class ReminderList {
  public:
    ReminderList() = default;
    explicit ReminderList(std::vector<Reminder> entries) : entries_(std::move(entries)) {}

    int count() const { return static_cast<int>(entries_.size()); }
    bool empty() const { return entries_.empty(); }
    Reminder& at(int position) { return entries_.at(static_cast<std::size_t>(position - 1)); }
    const Reminder& at(int position) const {
        return entries_.at(static_cast<std::size_t>(position - 1));
    }

    // Closes the gap.
    void RemoveAt(int position);
    void Append(const Reminder& r) { entries_.push_back(r); }
    // Puts r in front of the first entry dated later than r, so it follows every entry of
    // its own date; returns its position.
    int InsertByDate(const Reminder& r);
    // Removes every entry whose date is negative (consumed).
    void RemoveConsumed();

    std::vector<Reminder>& entries() { return entries_; }
    const std::vector<Reminder>& entries() const { return entries_; }

    bool operator==(const ReminderList&) const = default;

  private:
    std::vector<Reminder> entries_;
};

// The two lists a data file holds.
struct ReminderData {
    ReminderList current;  // ascending date, ties in insertion order
    ReminderList archive;  // in order of archiving
    bool operator==(const ReminderData&) const = default;
};

}  // namespace tessaly
