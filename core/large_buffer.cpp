// The large-buffer hint: transparent huge pages where the system has them, nothing elsewhere.
#include "core/large_buffer.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace tessaly {

void HintLargeBuffer([[maybe_unused]] void* data, [[maybe_unused]] std::size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    // Only whole large pages inside the buffer: the hint must not reach memory it does not own.
    constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;
    const auto at = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t begin = (at + kLargePage - 1) & ~(kLargePage - 1);
    const std::uintptr_t end = (at + bytes) & ~(kLargePage - 1);
    // A refusal only costs speed.
    if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#endif
}

}  // namespace tessaly
