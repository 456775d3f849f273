#include <gtest/gtest.h>

#include <cstdint>

#include "model/BlockVector.h"
#include "platform/ByteBuffer.h"

// Items keep their values across the first block's growth, the later blocks
// and the chunks they are cut from, up to chunks of huge-page size.
TEST(BlockVector, KeepsEveryItemAcrossBlocksAndChunks)
{
    struct TItem {
        uint32_t A;
        uint64_t B;
    };
    TBlockVector<TItem, 6> items; // 64 items per block: many chunks soon
    const uint32_t count = 200000;
    for (uint32_t i = 0; i < count; ++i) {
        items.push_back({i, uint64_t(i) * 7});
        ASSERT_EQ(items[i / 2].A, i / 2); // earlier items stay where they are
    }
    ASSERT_EQ(items.size(), count);
    for (uint32_t i = 0; i < count; ++i) {
        ASSERT_EQ(items[i].A, i);
        ASSERT_EQ(items[i].B, uint64_t(i) * 7);
    }
    items[count - 1].B = 1;
    EXPECT_EQ(items[count - 1].B, 1u);
}

TEST(ByteBuffer, ResizeLeavesBytesButAValueFills)
{
    TByteBuffer small(10, 0xAB);
    EXPECT_EQ(small[9], 0xAB);
    TByteBuffer large;
    large.resize(size_t(5) << 20); // huge-page sized
    large[0] = 1;
    large.back() = 2;
    large.resize(large.size() + 100, 0);
    EXPECT_EQ(large[0], 1);
    EXPECT_EQ(large[(size_t(5) << 20) - 1], 2);
    EXPECT_EQ(large.back(), 0);
}
