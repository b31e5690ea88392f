// Reading and writing the help file's byte layout, field by field.
#include "editor/help/help_file.h"

#include "core/bytes.h"

namespace tessaly::help {
namespace {

// A text or title: its length in two bytes, then its bytes.
void PutText(ByteWriter& out, const std::string& s) {
    out.U16(static_cast<std::uint16_t>(s.size()));
    out.Text(s);
}

}  // namespace

HelpFile ReadHelpFile(std::span<const std::uint8_t> bytes) {
    HelpFile file;
    if (bytes.size() > kMaxHelpFileBytes) {
        file.status = HelpFileStatus::kDamaged;
        return file;
    }
    ByteReader in(bytes);
    const auto count = static_cast<std::int32_t>(in.U32());
    if (count <= 0) return file;
    if (static_cast<std::uint32_t>(count) > kMaxHelpTopics) {
        file.status = HelpFileStatus::kDamaged;
        return file;
    }

    // Every text read needs at least its two length bytes inside the file, so the list never
    // grows past half the file's size whatever the count says. Room for that many at once: a
    // list grown step by step holds up to three times its topics while it moves.
    file.topics.reserve(std::min<std::size_t>(static_cast<std::size_t>(count), bytes.size() / 2));
    for (std::int32_t i = 0; i < count && !in.AtEnd(); ++i) {
        HelpTopic t;
        t.text = in.Text(in.U16());
        file.topics.push_back(std::move(t));
    }
    for (HelpTopic& t : file.topics) t.title = in.Text(in.U16());
    // A cut list means the file ended inside the texts: its titles and flags read as zeros.
    for (HelpTopic& t : file.topics) t.level = static_cast<std::int32_t>(in.U32());
    // A count with not one topic behind it has nothing to show either.
    if (!file.topics.empty()) file.status = HelpFileStatus::kOk;
    return file;
}

std::vector<std::uint8_t> WriteHelpFile(const std::vector<HelpTopic>& topics) {
    std::vector<std::uint8_t> bytes;
    ByteWriter out(bytes);
    out.U32(static_cast<std::uint32_t>(topics.size()));
    for (const HelpTopic& t : topics) PutText(out, t.text);
    for (const HelpTopic& t : topics) PutText(out, t.title);
    for (const HelpTopic& t : topics) out.I32(t.level);
    return bytes;
}

}  // namespace tessaly::help
