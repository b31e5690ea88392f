// The help file reader: golden bytes, files cut anywhere, absurd counts, lengths and sizes.
#include "editor/help/help_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace tessaly::help {
namespace {

using Bytes = std::vector<std::uint8_t>;

HelpFile Read(const Bytes& b) {
    return ReadHelpFile(b);
}

// Two topics: "Hi\r\n" / "A" at the top, "x" / "Sub" with level -1.
const Bytes kGolden = {
    0x02, 0x00, 0x00, 0x00,                          // count 2
    0x04, 0x00, 'H',  'i',  '\r', '\n',              // text 1
    0x01, 0x00, 'x',                                 // text 2
    0x01, 0x00, 'A',                                 // title 1
    0x03, 0x00, 'S',  'u',  'b',                     // title 2
    0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF,  // levels 0, -1
};

TEST(HelpFileTest, GoldenBytesReadAndWrite) {
    const HelpFile f = Read(kGolden);
    ASSERT_EQ(f.status, HelpFileStatus::kOk);
    ASSERT_EQ(f.topics.size(), 2u);
    EXPECT_EQ(f.topics[0].text, "Hi\r\n");
    EXPECT_EQ(f.topics[0].title, "A");
    EXPECT_EQ(f.topics[0].level, 0);
    EXPECT_EQ(f.topics[1].text, "x");
    EXPECT_EQ(f.topics[1].title, "Sub");
    EXPECT_EQ(f.topics[1].level, -1);
    EXPECT_EQ(WriteHelpFile(f.topics), kGolden);
}

TEST(HelpFileTest, CountZeroOrNegativeIsNoContent) {
    // Also a count with nothing behind it: a file of 4 bytes holding 1, or of just 2 bytes.
    for (const Bytes& b : {Bytes{}, Bytes{0, 0, 0, 0}, Bytes{0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 'a'},
                           Bytes{0x00, 0x00, 0x00, 0x80}, Bytes{1, 0}, Bytes{1, 0, 0, 0}}) {
        const HelpFile f = Read(b);
        EXPECT_EQ(f.status, HelpFileStatus::kNoContent) << b.size();
        EXPECT_TRUE(f.topics.empty());
    }
}

// Every cut keeps the topics whose text begins inside the file; each field holds a prefix of
// what the whole file held, or zeros.
TEST(HelpFileTest, FileCutAnywhereReadsWhatIsThere) {
    const HelpFile whole = Read(kGolden);
    for (std::size_t size = 4; size < kGolden.size(); ++size) {
        const Bytes cut(kGolden.begin(), kGolden.begin() + static_cast<std::ptrdiff_t>(size));
        const HelpFile f = Read(cut);
        SCOPED_TRACE(size);
        ASSERT_EQ(f.status, size == 4 ? HelpFileStatus::kNoContent : HelpFileStatus::kOk);
        ASSERT_EQ(f.topics.size(), size <= 4 ? 0u : size <= 10 ? 1u : 2u);
        for (std::size_t i = 0; i < f.topics.size(); ++i) {
            const HelpTopic& got = f.topics[i];
            const HelpTopic& full = whole.topics[i];
            EXPECT_EQ(full.text.substr(0, got.text.size()), got.text);
            EXPECT_EQ(full.title.substr(0, got.title.size()), got.title);
            // The flags start at byte 21; each keeps the bytes that are there.
            const std::ptrdiff_t flag = 21 + 4 * static_cast<std::ptrdiff_t>(i);
            const auto present =
                std::clamp<std::ptrdiff_t>(static_cast<std::ptrdiff_t>(size) - flag, 0, 4);
            const std::uint32_t mask = present == 4 ? 0xFFFFFFFFu : (1u << (8 * present)) - 1;
            EXPECT_EQ(static_cast<std::uint32_t>(got.level),
                      static_cast<std::uint32_t>(full.level) & mask);
        }
    }
    // Cut right after the titles: all texts and titles whole, the levels read as 0.
    const HelpFile noLevels = Read(Bytes(kGolden.begin(), kGolden.begin() + 21));
    ASSERT_EQ(noLevels.topics.size(), 2u);
    EXPECT_EQ(noLevels.topics[1].title, "Sub");
    EXPECT_EQ(noLevels.topics[1].level, 0);
    // Cut in the middle of the second level flag: its low bytes are there, the rest is zero.
    const HelpFile halfLevel = Read(Bytes(kGolden.begin(), kGolden.begin() + 27));
    EXPECT_EQ(halfLevel.topics[1].level, 0xFFFF);
}

TEST(HelpFileTest, CountsBeyondTheFileCostNoMoreThanTheFile) {
    // A count of ten thousand over a 9-byte file: only topics whose text begins inside.
    const HelpFile hugeCount = Read({0x10, 0x27, 0x00, 0x00, 0x01, 0x00, 'a', 0x00, 0x00});
    ASSERT_EQ(hugeCount.status, HelpFileStatus::kOk);
    EXPECT_EQ(hugeCount.topics.size(), 2u);
    EXPECT_EQ(hugeCount.topics[0].text, "a");
    // A length of 65535 with three bytes left keeps the three bytes.
    const HelpFile longText = Read({0x01, 0, 0, 0, 0xFF, 0xFF, 'a', 'b', 'c'});
    ASSERT_EQ(longText.topics.size(), 1u);
    EXPECT_EQ(longText.topics[0].text, "abc");
    EXPECT_EQ(longText.topics[0].title, "");
    // Many empty topics still take their two length bytes each.
    Bytes manyEmpty = {0x10, 0x27, 0, 0};  // 10,000
    manyEmpty.resize(4 + 2000, 0);
    EXPECT_LE(Read(manyEmpty).topics.size(), 1000u);
}

// Counts and sizes far beyond any real help file are refused as damaged, before anything is
// made of them; the limits themselves still read.
TEST(HelpFileTest, CountsAndSizesBeyondTheLimitsAreDamaged) {
    const auto withCount = [](std::uint32_t count, std::size_t size) {
        Bytes b(size, 0);
        for (int i = 0; i < 4; ++i) b[static_cast<std::size_t>(i)] = (count >> (8 * i)) & 0xFF;
        return b;
    };
    EXPECT_EQ(Read(withCount(kMaxHelpTopics + 1, 64)).status, HelpFileStatus::kDamaged);
    EXPECT_EQ(Read(withCount(0x7FFFFFFF, 9)).status, HelpFileStatus::kDamaged);
    EXPECT_EQ(Read(withCount(kMaxHelpTopics, 64)).status, HelpFileStatus::kOk);

    Bytes huge = withCount(1, kMaxHelpFileBytes + 1);
    EXPECT_EQ(Read(huge).status, HelpFileStatus::kDamaged);
    huge.pop_back();
    EXPECT_EQ(Read(huge).status, HelpFileStatus::kOk);
}

TEST(HelpFileTest, LongestTextAndAnyLevelRoundTrip) {
    std::vector<HelpTopic> topics = {
        {std::string(kMaxHelpText, 'z'), std::string(kMaxHelpText, 't'), 0},
        {"", "", 2},
        {"\ttab\r\n\xE9\x80", "\xFC", -1},
    };
    const HelpFile f = Read(WriteHelpFile(topics));
    ASSERT_EQ(f.topics.size(), 3u);
    for (std::size_t i = 0; i < topics.size(); ++i) {
        EXPECT_EQ(f.topics[i].text, topics[i].text);
        EXPECT_EQ(f.topics[i].title, topics[i].title);
        EXPECT_EQ(f.topics[i].level, topics[i].level);
    }
}

}  // namespace
}  // namespace tessaly::help
