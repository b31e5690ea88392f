// Little-endian fields, golden bytes both ways, a cut input and a full place.
#include "core/bytes.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace tessaly {
namespace {

TEST(ByteFields, EachFieldLittleEndianBothWays) {
    const std::vector<std::uint8_t> golden = {0x01, 0x03, 0x02, 0x07, 0x06, 0x05, 0x04, 0xFE,
                                              0xFF, 0xFD, 0xFF, 0xFF, 0xFF, 'a',  'b'};
    std::vector<std::uint8_t> bytes;
    ByteWriter out(bytes);
    out.U8(0x01);
    out.U16(0x0203);
    out.U32(0x04050607);
    out.I16(-2);
    out.I32(-3);
    out.Text("ab");
    EXPECT_EQ(bytes, golden);
    EXPECT_EQ(out.Written(), golden.size());

    ByteReader in(golden);
    EXPECT_EQ(in.U8(), 0x01);
    EXPECT_EQ(in.U16(), 0x0203);
    EXPECT_EQ(in.U32(), 0x04050607u);
    EXPECT_EQ(in.I16(), -2);
    EXPECT_EQ(in.I32(), -3);
    EXPECT_EQ(in.Text(2), "ab");
    EXPECT_TRUE(in.AtEnd());
}

// A cut file reads as if zeros followed; a text keeps only what is there.
TEST(ByteFields, PastTheEndIsZeros) {
    const std::vector<std::uint8_t> cut = {0x34, 0x12, 'x'};
    ByteReader in(cut);
    EXPECT_EQ(in.U16(), 0x1234);
    EXPECT_EQ(in.Text(4), "x");
    EXPECT_EQ(in.U32(), 0u);
    std::array<std::uint8_t, 3> field = {9, 9, 9};
    ByteReader(std::span<const std::uint8_t>(cut).subspan(2)).Bytes(field);
    EXPECT_EQ(field, (std::array<std::uint8_t, 3>{'x', 0, 0}));
}

// Nothing lands outside a place of a given size.
TEST(ByteFields, APlaceIsNeverWrittenPast) {
    std::array<std::uint8_t, 5> memory = {0, 0, 0, 0xAA, 0xAA};
    ByteWriter out(std::span<std::uint8_t>(memory).first(3));
    out.U32(0x11223344);
    out.U8(0x55);
    EXPECT_EQ(memory, (std::array<std::uint8_t, 5>{0x44, 0x33, 0x22, 0xAA, 0xAA}));
    EXPECT_EQ(out.Written(), 5u);
}

}  // namespace
}  // namespace tessaly
