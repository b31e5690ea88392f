// The heap watch over AddressSanitizer's allocation hooks.
#include "tests/fuzz/heap_watch.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__)
#define TESSALY_HEAP_HOOKS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TESSALY_HEAP_HOOKS 1
#endif
#endif

#ifdef TESSALY_HEAP_HOOKS
// GCC ships no header for the allocator interface; these are its declarations.
extern "C" {
int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*,
                                                                  std::size_t),
                                              void (*free_hook)(const volatile void*));
std::size_t __sanitizer_get_allocated_size(const volatile void* p);
}
#endif

namespace tessaly::fuzz {
namespace {

// Counted on every thread: the code watched may start threads of its own.
std::atomic<bool> watching{false};
std::atomic<std::int64_t> held{0};  // beyond the start; negative after freeing older blocks
std::atomic<std::int64_t> peak{0};

#ifdef TESSALY_HEAP_HOOKS
void OnMalloc(const volatile void*, std::size_t size) {
    if (!watching.load(std::memory_order_relaxed)) return;
    const std::int64_t now =
        held.fetch_add(static_cast<std::int64_t>(size), std::memory_order_relaxed) +
        static_cast<std::int64_t>(size);
    std::int64_t seen = peak.load(std::memory_order_relaxed);
    while (now > seen && !peak.compare_exchange_weak(seen, now, std::memory_order_relaxed)) {
    }
}

void OnFree(const volatile void* p) {
    if (!p || !watching.load(std::memory_order_relaxed)) return;
    held.fetch_sub(static_cast<std::int64_t>(__sanitizer_get_allocated_size(p)),
                   std::memory_order_relaxed);
}

bool InstallHooks() {
    return __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree) != 0;
}
#else
bool InstallHooks() {
    return false;
}
#endif

bool Hooked() {
    static const bool hooked = InstallHooks();
    return hooked;
}

}  // namespace

HeapWatch::HeapWatch() {
    if (!Hooked()) return;
    if (watching.exchange(true)) {
        std::fprintf(stderr, "a heap watch began while another was running\n");
        std::abort();
    }
    held = 0;
    peak = 0;
}

HeapWatch::~HeapWatch() {
    watching = false;
}

bool HeapWatch::Measures() {
    return Hooked();
}

std::size_t HeapWatch::PeakBytes() const {
    return static_cast<std::size_t>(peak.load());
}

void HeapWatch::Require(std::size_t bound, const char* what) const {
    if (!Measures() || PeakBytes() <= bound) return;
    std::fprintf(stderr, "%s held %zu bytes of heap at once; at most %zu may be used\n", what,
                 PeakBytes(), bound);
    std::abort();
}

}  // namespace tessaly::fuzz
