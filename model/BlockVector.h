// A growing array kept in blocks of 2^Bits items. Only the first block grows
// by reallocation (so that a small store stays small); every later block is
// made whole, so growing never copies more than the first block and a full
// block's items never move.
//
// The later blocks come from a chunk pool: a large store lies in chunks of
// megabytes, which the kernel can back with huge pages (a page fault per
// 2 MiB instead of per 4 KiB).
#pragma once

#include <algorithm>
#include <cstddef>
#include <type_traits>
#include <vector>

#include "model/ChunkPool.h"

template <class T, unsigned Bits>
class TBlockVector {
    static_assert(std::is_trivially_copyable_v<T>, "items live in raw chunk memory");

public:
    TBlockVector() = default;
    TBlockVector(const TBlockVector&) = delete;
    TBlockVector& operator=(const TBlockVector&) = delete;

    size_t size() const { return FSize; }
    bool empty() const { return FSize == 0; }
    T& operator[](size_t index) { return FBlocks[index >> Bits][index & kMask]; }
    const T& operator[](size_t index) const { return FBlocks[index >> Bits][index & kMask]; }

    void push_back(const T& item)
    {
        if (FSize == FCapacity)
            Grow();
        FBlocks[FSize >> Bits][FSize & kMask] = item;
        ++FSize;
    }

private:
    static constexpr size_t kBlockSize = size_t{1} << Bits;
    static constexpr size_t kMask = kBlockSize - 1;

    void Grow()
    {
        if (FCapacity < kBlockSize) { // the first block doubles
            FFirst.resize(std::min(kBlockSize, std::max<size_t>(1, 2 * FCapacity)));
            if (FBlocks.empty())
                FBlocks.push_back(nullptr);
            FBlocks[0] = FFirst.data();
            FCapacity = FFirst.size();
            return;
        }
        FBlocks.push_back(static_cast<T*>(FLaterBlocks.Allocate(kBlockSize * sizeof(T), alignof(T))));
        FCapacity += kBlockSize;
    }

    std::vector<T> FFirst;
    TChunkPool FLaterBlocks;
    std::vector<T*> FBlocks;
    size_t FSize = 0;
    size_t FCapacity = 0;
};
