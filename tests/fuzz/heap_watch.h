// How much heap a stretch of code holds at most, so a fuzz target can bound its memory by the
// size of its input rather than only notice a crash.
#pragma once

#include <cstddef>

namespace tessaly::fuzz {

// Watches the heap from construction to destruction: the most it held at once beyond what it
// held when the watch began. Counted through the sanitizer allocator's hooks, so only in
// builds with AddressSanitizer; elsewhere nothing is measured and no bound is checked. One
// watch at a time.
class HeapWatch {
  public:
    HeapWatch();
    ~HeapWatch();
    HeapWatch(const HeapWatch&) = delete;
    HeapWatch& operator=(const HeapWatch&) = delete;

    static bool Measures();
    std::size_t PeakBytes() const;

    // Aborts, naming what and both figures, when the peak so far exceeds bound.
    void Require(std::size_t bound, const char* what) const;
};

}  // namespace tessaly::fuzz
