#include "platform/SmallPool.h"

#include <new>

// Under AddressSanitizer every block comes from the general heap, so that the sanitizer sees
// each object's lifetime (a pooled block would never be reported as used after its free).
#if defined(__SANITIZE_ADDRESS__)
#define KOLVA_POOL_BYPASS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KOLVA_POOL_BYPASS 1
#endif
#endif

namespace kolva {

#ifdef KOLVA_POOL_BYPASS

void* SmallPoolAllocate(std::size_t Size) {
    return ::operator new(Size);
}

void SmallPoolRelease(void* Block, std::size_t) noexcept {
    ::operator delete(Block);
}

#else

namespace {

constexpr std::size_t Granule = alignof(std::max_align_t);
constexpr std::size_t ClassCount = SmallPoolMaxSize / Granule + 1;
constexpr std::size_t ChunkSize = 64 * 1024;

// A free block holds the link to the next free block of its class.
struct TFreeBlock {
    TFreeBlock* Next;
};

struct TPool {
    TFreeBlock* Free[ClassCount] = {};
    char* Cursor = nullptr; // the unused rest of the newest chunk
    std::size_t Left = 0;
};

// Made on first use and never freed: objects may outlive the thread's static objects.
TPool& ThreadPool() {
    thread_local TPool* pool = new TPool;
    return *pool;
}

std::size_t ClassOf(std::size_t Size) {
    return Size == 0 ? 1 : (Size + Granule - 1) / Granule;
}

} // namespace

void* SmallPoolAllocate(std::size_t Size) {
    if (Size > SmallPoolMaxSize) return ::operator new(Size);
    TPool& pool = ThreadPool();
    const std::size_t cls = ClassOf(Size);
    if (TFreeBlock* block = pool.Free[cls]) {
        pool.Free[cls] = block->Next;
        return block;
    }
    const std::size_t bytes = cls * Granule;
    if (pool.Left < bytes) {
        // The rest of the old chunk is too small for this class; it stays unused.
        pool.Cursor = static_cast<char*>(::operator new(ChunkSize));
        pool.Left = ChunkSize;
    }
    void* block = pool.Cursor;
    pool.Cursor += bytes;
    pool.Left -= bytes;
    return block;
}

void SmallPoolRelease(void* Block, std::size_t Size) noexcept {
    if (!Block) return;
    if (Size > SmallPoolMaxSize) return ::operator delete(Block);
    TPool& pool = ThreadPool();
    const std::size_t cls = ClassOf(Size);
    auto* block = static_cast<TFreeBlock*>(Block);
    block->Next = pool.Free[cls];
    pool.Free[cls] = block;
}

#endif

} // namespace kolva
