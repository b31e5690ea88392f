// The data file: a 4-byte label, the current list, the archive list, each field little-endian.
#include "core/data_file.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>

#include "core/bytes.h"
#include "core/large_buffer.h"

namespace tessaly {
namespace {

constexpr std::size_t kLabelBytes = 4;
constexpr std::size_t kCountBytes = 4;

// The file's bytes one piece after another; an empty piece ends them.
using PieceView = std::function<std::span<const std::uint8_t>()>;

// Reads the file's bytes, a piece at a time, as if they were followed by endless zeros.
// `size` is what the file holds as far as the counts are concerned.
class ZeroFilledReader {
  public:
    ZeroFilledReader(std::uint64_t size, const PieceView& next) : size_(size), next_(next) {}

    void Read(std::uint8_t* out, std::size_t n) {
        while (n > 0) {
            if (piece_.empty() && !Refill()) {
                std::memset(out, 0, n);
                pos_ += n;
                return;
            }
            const std::size_t k = std::min(n, piece_.size());
            std::memcpy(out, piece_.data(), k);
            piece_ = piece_.subspan(k);
            out += k;
            n -= k;
            pos_ += k;
        }
    }
    std::int32_t ReadInt32() {
        std::uint8_t b[kCountBytes];
        Read(b, sizeof b);
        return ByteReader(b).I32();
    }
    // A count cut to the records that begin inside the file.
    std::size_t ReadCount() {
        const std::int32_t stored = ReadInt32();
        if (stored <= 0) return 0;
        const std::uint64_t left = pos_ < size_ ? size_ - pos_ : 0;
        const std::uint64_t beginning = (left + kReminderBytes - 1) / kReminderBytes;
        return static_cast<std::size_t>(std::min<std::uint64_t>(stored, beginning));
    }
    std::vector<Reminder> ReadRecords(std::size_t count) {
        std::vector<Reminder> out;
        out.reserve(count);
        HintLargeBuffer(out.data(), count * sizeof(Reminder));
        std::uint8_t record[kReminderBytes];
        for (std::size_t i = 0; i < count; ++i) {
            if (piece_.size() >= kReminderBytes) {
                // Most records lie whole inside the piece: decoded where they are.
                out.push_back(DecodeReminder(piece_.data()));
                piece_ = piece_.subspan(kReminderBytes);
                pos_ += kReminderBytes;
                continue;
            }
            Read(record, sizeof record);
            out.push_back(DecodeReminder(record));
        }
        return out;
    }

  private:
    bool Refill() {
        if (ended_) return false;
        piece_ = next_();
        ended_ = piece_.empty();
        return !ended_;
    }

    std::uint64_t size_;
    const PieceView& next_;
    std::span<const std::uint8_t> piece_;  // its unread part
    std::uint64_t pos_ = 0;                // in the file
    bool ended_ = false;
};

ReminderData Decode(ZeroFilledReader& in) {
    std::uint8_t label[kLabelBytes];
    in.Read(label, sizeof label);
    ReminderData data;
    std::vector<Reminder> current = in.ReadRecords(in.ReadCount());
    data.archive = ReminderList(in.ReadRecords(in.ReadCount()));
    // Files written by these programs hold no consumed entries and are in order already:
    // one look tells, and such a file is neither compacted nor sorted.
    bool consumed = false, sorted = true;
    DateKey last = 0;
    for (const Reminder& r : current) {
        if (r.date < 0) {
            consumed = true;
        } else {
            sorted = sorted && last <= r.date;
            last = r.date;
        }
    }
    if (consumed) std::erase_if(current, [](const Reminder& r) { return r.date < 0; });
    if (!sorted) {
        std::stable_sort(current.begin(), current.end(),
                         [](const Reminder& a, const Reminder& b) { return a.date < b.date; });
    }
    data.current = ReminderList(std::move(current));
    return data;
}

// The label as stored: its first four bytes, blank-padded.
std::array<std::uint8_t, kLabelBytes> LabelBytes(std::string_view label) {
    std::array<std::uint8_t, kLabelBytes> bytes;
    for (std::size_t i = 0; i < kLabelBytes; ++i)
        bytes[i] = i < label.size() ? static_cast<std::uint8_t>(label[i]) : ' ';
    return bytes;
}

void PutRecords(std::vector<std::uint8_t>& out, const std::vector<Reminder>& list) {
    ByteWriter(out).I32(static_cast<std::int32_t>(list.size()));
    const std::size_t at = out.size();
    out.resize(at + list.size() * kReminderBytes);
    for (std::size_t i = 0; i < list.size(); ++i)
        EncodeReminder(list[i], &out[at + i * kReminderBytes]);
}

}  // namespace

std::vector<std::uint8_t> EncodeReminderFile(const ReminderData& data, std::string_view label) {
    std::vector<std::uint8_t> out;
    out.reserve(kLabelBytes + 2 * kCountBytes +
                kReminderBytes * (data.current.entries().size() + data.archive.entries().size()));
    ByteWriter(out).Bytes(LabelBytes(label));
    PutRecords(out, data.current.entries());
    PutRecords(out, data.archive.entries());
    return out;
}

ReminderData DecodeReminderFile(std::span<const std::uint8_t> bytes) {
    // The bytes are read where they lie: one piece, the whole file.
    bool given = false;
    const PieceView next = [&]() -> std::span<const std::uint8_t> {
        if (given) return {};
        given = true;
        return bytes;
    };
    ZeroFilledReader in(bytes.size(), next);
    return Decode(in);
}

IoResult LoadReminderFile(const std::filesystem::path& path, ReminderData& data,
                          IfMissing ifMissing) {
    ReminderData loaded;
    IoResult r =
        ReadWholeFileInPieces(path, ifMissing, [&](std::uint64_t size, const PieceSource& read) {
            std::vector<std::uint8_t> buffer(PieceBytesFor(size));
            const PieceView next = [&]() -> std::span<const std::uint8_t> {
                return {buffer.data(), read(buffer)};
            };
            ZeroFilledReader in(size, next);
            loaded = Decode(in);
        });
    if (r) data = std::move(loaded);
    return r;
}

namespace {

// The file's bytes a piece at a time, leaving consumed entries out as it goes: the saving of
// a large list neither copies the list nor holds its whole image.
class PieceEncoder {
  public:
    PieceEncoder(const ReminderData& data, std::string_view label)
        : lists_{&data.current.entries(), &data.archive.entries()}, label_(LabelBytes(label)) {
        const std::vector<Reminder>& current = *lists_[0];
        counts_[0] = static_cast<std::int32_t>(std::count_if(
            current.begin(), current.end(), [](const Reminder& r) { return r.date >= 0; }));
        counts_[1] = static_cast<std::int32_t>(lists_[1]->size());
    }

    std::uint64_t TotalBytes() const {
        return kLabelBytes + 2 * kCountBytes +
               kReminderBytes * (static_cast<std::uint64_t>(counts_[0]) +
                                 static_cast<std::uint64_t>(counts_[1]));
    }

    // Fills the piece with whole records; a piece holds at least one record or what is left.
    std::size_t Fill(std::span<std::uint8_t> piece) {
        std::size_t used = 0;
        if (!labelDone_) {
            if (piece.size() < kLabelBytes) return 0;
            std::memcpy(piece.data(), label_.data(), kLabelBytes);
            used = kLabelBytes;
            labelDone_ = true;
        }
        while (list_ < 2) {
            if (!countDone_) {
                if (piece.size() - used < kCountBytes) return used;
                ByteWriter(piece.subspan(used, kCountBytes)).I32(counts_[list_]);
                used += kCountBytes;
                countDone_ = true;
            }
            const std::vector<Reminder>& list = *lists_[list_];
            // Entries are consumed in the current list only; the archive is written as it is.
            for (; next_ < list.size(); ++next_) {
                if (list[next_].date < 0 && list_ == 0) continue;
                if (piece.size() - used < kReminderBytes) return used;
                EncodeReminder(list[next_], piece.data() + used);
                used += kReminderBytes;
            }
            ++list_;
            next_ = 0;
            countDone_ = false;
        }
        return used;
    }

  private:
    const std::vector<Reminder>* lists_[2];
    std::int32_t counts_[2] = {};
    std::array<std::uint8_t, kLabelBytes> label_;
    bool labelDone_ = false;
    bool countDone_ = false;
    std::size_t list_ = 0;
    std::size_t next_ = 0;
};

}  // namespace

IoResult SaveReminderFile(const std::filesystem::path& path, const ReminderData& data,
                          std::string_view label) {
    PieceEncoder encoder(data, label);
    return ReplaceWholeFileInPieces(path, encoder.TotalBytes(), [&](std::span<std::uint8_t> piece) {
        return encoder.Fill(piece);
    });
}

}  // namespace tessaly
