// The help file: a flat list of topics (body text, title, level flag) in one little-endian layout.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tessaly::help {

// Texts are single-byte Windows-1252, CR LF line breaks, no terminator.
struct HelpTopic {
    std::string text;
    std::string title;
    std::int32_t level = 0;  // 0: top level; anything else: under the top-level topic before it
};

// One text or title holds at most this many bytes (its length field has two bytes).
inline constexpr std::size_t kMaxHelpText = 65535;

// Far beyond any real help file, which holds a few dozen topics in some hundred kilobytes (the
// largest ever timed here: 2,000 topics, 5 MB). A count or a file beyond these is damaged:
// taking it at its word would cost memory and tree items in proportion to the damage.
inline constexpr std::uint32_t kMaxHelpTopics = 20'000;
inline constexpr std::uint64_t kMaxHelpFileBytes = 64 * 1024 * 1024;

enum class HelpFileStatus {
    kOk,
    kNoContent,  // the count is 0 or negative, or the file ends right after it
    kDamaged,    // a count above kMaxHelpTopics, or a file above kMaxHelpFileBytes
};

struct HelpFile {
    HelpFileStatus status = HelpFileStatus::kNoContent;
    std::vector<HelpTopic> topics;  // topic number i is topics[i - 1]
};

// Reads count, N texts, N titles, N level flags. Bytes missing at the end count as zero, but the
// reader never makes more of a damaged file than the file holds: a text that runs past the end
// keeps what is there, and topics whose text would begin past the end are not made up. Reading
// costs the texts (at most the file's size) and one HelpTopic for every topic, of which a file
// holds at most one for every two bytes and never more than kMaxHelpTopics: for a real help
// file, of long texts, about twice its size.
HelpFile ReadHelpFile(std::span<const std::uint8_t> bytes);

// The layout ReadHelpFile reads. Texts and titles longer than kMaxHelpText are the caller's
// fault; check them first (CheckHelpTopics).
std::vector<std::uint8_t> WriteHelpFile(const std::vector<HelpTopic>& topics);

}  // namespace tessaly::help
