// Reading and writing the help file's byte layout, field by field.
#include "editor/help/help_file.h"

#include <algorithm>

namespace tessaly::help {
namespace {

// Reads little-endian fields; past the end every byte is zero.
class ByteReader {
  public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool AtEnd() const { return pos_ >= bytes_.size(); }

    std::uint32_t U32() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= std::uint32_t{Byte()} << (8 * i);
        return v;
    }
    std::uint16_t U16() {
        const std::uint16_t lo = Byte();
        return static_cast<std::uint16_t>(lo | (Byte() << 8));
    }
    // Up to n bytes; what lies past the end is left out rather than stored as NULs, which would
    // show and search as nothing anyway.
    std::string Text(std::size_t n) {
        const std::size_t have = pos_ < bytes_.size() ? std::min(n, bytes_.size() - pos_) : 0;
        std::string s(reinterpret_cast<const char*>(bytes_.data()) + (have ? pos_ : 0), have);
        pos_ += n;
        return s;
    }

  private:
    std::uint8_t Byte() {
        const std::uint8_t b = pos_ < bytes_.size() ? bytes_[pos_] : 0;
        ++pos_;
        return b;
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

void PutU16(std::vector<std::uint8_t>& out, std::size_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF));
}

void PutText(std::vector<std::uint8_t>& out, const std::string& s) {
    PutU16(out, s.size());
    out.insert(out.end(), s.begin(), s.end());
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
    // grows past half the file's size whatever the count says.
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
    std::vector<std::uint8_t> out;
    PutU32(out, static_cast<std::uint32_t>(topics.size()));
    for (const HelpTopic& t : topics) PutText(out, t.text);
    for (const HelpTopic& t : topics) PutText(out, t.title);
    for (const HelpTopic& t : topics) PutU32(out, static_cast<std::uint32_t>(t.level));
    return out;
}

}  // namespace tessaly::help
