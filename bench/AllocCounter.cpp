// Counts the bytes allocated through operator new, so benchmarks can report the peak memory
// a parse needs per source byte.
#include "BenchCorpus.h"

#include <cstdlib>
#include <malloc.h>
#include <new>

// The benchmarks run on one thread; plain counters keep the bookkeeping cheap.
namespace {
size_t GLive = 0;
size_t GPeak = 0;

void* Allocate(size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    GLive += malloc_usable_size(p);
    if (GLive > GPeak) GPeak = GLive;
    return p;
}

void Release(void* p) noexcept {
    if (!p) return;
    GLive -= malloc_usable_size(p);
    std::free(p);
}
} // namespace

namespace kolva::bench {
size_t LiveBytes() {
    return GLive;
}
size_t PeakBytes() {
    return GPeak;
}
void ResetPeak() {
    GPeak = GLive;
}
} // namespace kolva::bench

void* operator new(size_t size) {
    return Allocate(size);
}
void* operator new[](size_t size) {
    return Allocate(size);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* p) noexcept {
    Release(p);
}
void operator delete[](void* p) noexcept {
    Release(p);
}
void operator delete(void* p, size_t) noexcept {
    Release(p);
}
void operator delete[](void* p, size_t) noexcept {
    Release(p);
}
