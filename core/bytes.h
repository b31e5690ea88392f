// Byte layouts read and written field by field, little-endian, whatever the machine: the data
// file's records and counts, the help file's topics.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

// Reads fields from bytes in memory, in order. Past the end every byte reads as zero, so a cut
// file reads as if its missing part were zeros.
class ByteReader {
  public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool AtEnd() const { return pos_ >= bytes_.size(); }

    std::uint8_t U8() {
        const std::uint8_t b = pos_ < bytes_.size() ? bytes_[pos_] : 0;
        ++pos_;
        return b;
    }
    std::uint16_t U16() { return static_cast<std::uint16_t>(Unsigned(2)); }
    std::uint32_t U32() { return static_cast<std::uint32_t>(Unsigned(4)); }
    std::int16_t I16() { return static_cast<std::int16_t>(U16()); }
    std::int32_t I32() { return static_cast<std::int32_t>(U32()); }

    // The next out.size() bytes, zeros past the end.
    void Bytes(std::span<std::uint8_t> out) {
        const std::size_t have = Have(out.size());
        if (have > 0) std::memcpy(out.data(), bytes_.data() + pos_, have);
        std::fill(out.begin() + static_cast<std::ptrdiff_t>(have), out.end(), std::uint8_t{0});
        pos_ += out.size();
    }
    // The next n bytes as text, only as far as there are bytes: no zeros are made up.
    std::string Text(std::size_t n) {
        const std::size_t have = Have(n);
        std::string text(reinterpret_cast<const char*>(bytes_.data()) + (have ? pos_ : 0), have);
        pos_ += n;
        return text;
    }

  private:
    std::uint64_t Unsigned(std::size_t size) {
        std::uint64_t v = 0;
        if (Have(size) == size) {  // the usual case, read where the bytes lie
            for (std::size_t i = 0; i < size; ++i) v |= std::uint64_t{bytes_[pos_ + i]} << (8 * i);
            pos_ += size;
            return v;
        }
        for (std::size_t i = 0; i < size; ++i) v |= std::uint64_t{U8()} << (8 * i);
        return v;
    }
    // How many of the next n bytes the bytes hold.
    std::size_t Have(std::size_t n) const {
        return pos_ < bytes_.size() ? std::min(n, bytes_.size() - pos_) : 0;
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

// Writes fields in order: into a place of a known size (a record, a piece of a file), or at the
// end of a growing buffer.
class ByteWriter {
  public:
    explicit ByteWriter(std::span<std::uint8_t> place) : place_(place) {}
    explicit ByteWriter(std::vector<std::uint8_t>& grows) : grows_(&grows) {}

    void U8(std::uint8_t v) { Put(&v, 1); }
    void U16(std::uint16_t v) { Unsigned(v, 2); }
    void U32(std::uint32_t v) { Unsigned(v, 4); }
    void I16(std::int16_t v) { U16(static_cast<std::uint16_t>(v)); }
    void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
    void Bytes(std::span<const std::uint8_t> bytes) { Put(bytes.data(), bytes.size()); }
    void Text(std::string_view text) {
        Put(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    }
    // Bytes written so far.
    std::size_t Written() const { return written_; }

  private:
    void Unsigned(std::uint32_t v, int size) {
        std::uint8_t b[4];
        for (int i = 0; i < size; ++i) b[i] = static_cast<std::uint8_t>(v >> (8 * i));
        Put(b, static_cast<std::size_t>(size));
    }
    // Writing past the end of a place is the caller's fault; nothing lands outside it.
    void Put(const std::uint8_t* bytes, std::size_t n) {
        if (grows_) {
            grows_->insert(grows_->end(), bytes, bytes + n);
        } else if (written_ <= place_.size()) {
            const std::size_t fits = std::min(n, place_.size() - written_);
            if (fits > 0) std::memcpy(place_.data() + written_, bytes, fits);
        }
        written_ += n;
    }

    std::span<std::uint8_t> place_;
    std::vector<std::uint8_t>* grows_ = nullptr;
    std::size_t written_ = 0;
};

}  // namespace tessaly
