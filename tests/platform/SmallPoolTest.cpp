#include "platform/SmallPool.h"

#include <cstdint>
#include <cstring>
#include <set>
#include <vector>

#include <gtest/gtest.h>

namespace kolva {
namespace {

// Blocks of every size, small and large, live side by side without overlapping, each aligned
// for any object; freed in another order than made and made again, they stay so.
TEST(SmallPool, BlocksAreAlignedAndApartThroughReuse) {
    struct TBlock {
        unsigned char* Data;
        size_t Size;
    };
    std::vector<TBlock> blocks;
    const auto make = [&](size_t size) {
        auto* data = static_cast<unsigned char*>(SmallPoolAllocate(size));
        ASSERT_NE(data, nullptr);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(data) % alignof(std::max_align_t), 0u) << size;
        std::memset(data, int(blocks.size() & 0xFF), size);
        blocks.push_back({data, size});
    };
    const auto check = [&] {
        for (size_t i = 0; i < blocks.size(); ++i)
            for (size_t k = 0; k < blocks[i].Size; ++k)
                ASSERT_EQ(blocks[i].Data[k], (i & 0xFF)) << "block " << i << " overwritten";
    };
    for (int round = 0; round < 3; ++round) {
        for (size_t size = 0; size <= SmallPoolMaxSize + 64; size += 8)
            make(size);
        check();
        // Every other block goes, then the rest of the round's blocks in reverse order.
        std::vector<TBlock> kept;
        for (size_t i = 0; i < blocks.size(); ++i) {
            if (i % 2)
                SmallPoolRelease(blocks[i].Data, blocks[i].Size);
            else
                kept.push_back(blocks[i]);
        }
        blocks = kept;
        for (size_t i = 0; i < blocks.size(); ++i)
            std::memset(blocks[i].Data, int(i & 0xFF), blocks[i].Size);
        check();
    }
    for (auto it = blocks.rbegin(); it != blocks.rend(); ++it)
        SmallPoolRelease(it->Data, it->Size);
    SmallPoolRelease(nullptr, 16);
}

} // namespace
} // namespace kolva
