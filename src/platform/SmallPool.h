// A free-list allocator for small objects that are made and freed by the ten thousand, such
// as the code items of a parsed unit: every parse frees the previous model and builds a new
// one. A freed block goes onto the free list of its size class and is handed out again by
// the next request of that class, which costs a few instructions where the general heap
// searches, splits and merges blocks. Blocks are carved from large chunks; chunks are never
// given back, so the pool holds on to the most memory its objects ever needed at once.
//
// Each thread has a pool of its own and the pools never die, so an object may be freed on
// another thread than the one that made it, and after static destruction has begun.
// Under AddressSanitizer the pool hands every request to the general heap, so that the
// sanitizer still sees each object's lifetime.
#pragma once

#include <cstddef>

namespace kolva {

/// Room for Size bytes, aligned for any object. Sizes above SmallPoolMaxSize come from the
/// general heap. Raises std::bad_alloc when out of memory.
void* SmallPoolAllocate(std::size_t Size);
/// Gives back a block from SmallPoolAllocate; Size must be the size it was asked for.
void SmallPoolRelease(void* Block, std::size_t Size) noexcept;

constexpr std::size_t SmallPoolMaxSize = 512;

} // namespace kolva
