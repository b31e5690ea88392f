// What reading a large or damaged help file costs in memory, counted by this test's own
// operator new: every byte the reader allocates, whatever it allocates it for.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "editor/help/help_file.h"

namespace {

// Each block carries its size and whether it was counted, so delete can take it off again.
struct Counter {
    bool on = false;
    std::size_t total = 0;  // allocated while counting
    std::size_t live = 0;
    std::size_t peak = 0;
};
Counter counter;

void* Allocate(std::size_t n) {
    auto* block = static_cast<std::size_t*>(std::malloc(n + 2 * sizeof(std::size_t)));
    if (!block) throw std::bad_alloc();
    block[0] = n;
    block[1] = counter.on ? 1 : 0;
    if (counter.on) {
        counter.total += n;
        counter.live += n;
        if (counter.live > counter.peak) counter.peak = counter.live;
    }
    return block + 2;
}

void Free(void* p) noexcept {
    if (!p) return;
    auto* block = static_cast<std::size_t*>(p) - 2;
    if (block[1]) counter.live -= block[0];
    std::free(block);
}

}  // namespace

void* operator new(std::size_t n) {
    return Allocate(n);
}
void* operator new[](std::size_t n) {
    return Allocate(n);
}
void operator delete(void* p) noexcept {
    Free(p);
}
void operator delete[](void* p) noexcept {
    Free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    Free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    Free(p);
}

namespace tessaly::help {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kTenMegabytes = 10 * 1024 * 1024;

Bytes WithCount(std::uint32_t count, std::size_t size) {
    Bytes bytes(size, 0);
    for (int i = 0; i < 4; ++i) bytes[static_cast<std::size_t>(i)] = (count >> (8 * i)) & 0xFF;
    return bytes;
}

struct Cost {
    HelpFileStatus status;
    std::size_t topics, total, peak;
};

Cost Read(const Bytes& bytes) {
    counter = {};
    counter.on = true;
    HelpFile file = ReadHelpFile(bytes);
    counter.on = false;
    return {file.status, file.topics.size(), counter.total, counter.peak};
}

// A damaged 10 MB file once made one topic per two bytes: 5 million topics, 600 MB. Every
// shape of it now costs at most twice the file's size.
TEST(HelpFileMemory, ALargeOrDamagedFileCostsAtMostTwiceItsSize) {
    Bytes wellFormed;
    {
        std::vector<HelpTopic> topics;
        while (topics.size() * (kMaxHelpText + 8) < kTenMegabytes) {
            topics.push_back({std::string(kMaxHelpText, 'x'), "Title", 0});
        }
        wellFormed = WriteHelpFile(topics);
    }
    struct Case {
        const char* what;
        Bytes bytes;
        HelpFileStatus status;
    };
    const Case cases[] = {
        {"count 0x7FFFFFFF, then zeros", WithCount(0x7FFFFFFF, kTenMegabytes),
         HelpFileStatus::kDamaged},
        {"the largest count, then zeros", WithCount(kMaxHelpTopics, kTenMegabytes),
         HelpFileStatus::kOk},
        {"one topic whose length runs past the end", WithCount(1, kTenMegabytes),
         HelpFileStatus::kOk},
        {"a well-formed file of long topics", wellFormed, HelpFileStatus::kOk},
    };
    for (const Case& c : cases) {
        const Cost cost = Read(c.bytes);
        std::printf("%s (%zu bytes): %zu topics, %zu bytes allocated, peak %zu\n", c.what,
                    c.bytes.size(), cost.topics, cost.total, cost.peak);
        EXPECT_EQ(cost.status, c.status) << c.what;
        EXPECT_LE(cost.total, 2 * c.bytes.size()) << c.what;
        EXPECT_LE(cost.topics, kMaxHelpTopics) << c.what;
    }
}

// The other extreme: topics of two bytes each, where the list itself is the cost. It holds one
// HelpTopic a topic, and no more while it is made (grown step by step, it held up to three).
TEST(HelpFileMemory, ManySmallTopicsCostOneTopicEach) {
    std::vector<HelpTopic> empty(kMaxHelpTopics);
    const Bytes wellFormed = WriteHelpFile(empty);
    const Bytes cut = WithCount(kMaxHelpTopics, 4 + 2 * kMaxHelpTopics);  // texts only, empty
    for (const Bytes* bytes : {&wellFormed, &cut}) {
        const Cost cost = Read(*bytes);
        EXPECT_EQ(cost.topics, kMaxHelpTopics);
        EXPECT_LE(cost.peak, bytes->size() + kMaxHelpTopics * sizeof(HelpTopic));
    }
}

}  // namespace
}  // namespace tessaly::help
