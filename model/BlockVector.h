// A growing array kept in blocks of 2^Bits items. Only the first block grows
// by reallocation (so that a small store stays small); every later block is
// made whole, so growing never copies more than the first block and a full
// block's items never move.
//
// The later blocks are cut from chunks, each holding twice the blocks of the
// chunk before it up to a bound: memory stays within about twice what is
// stored, and a large store lies in chunks of megabytes, which the kernel can
// back with huge pages (a page fault per 2 MiB instead of per 4 KiB).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <type_traits>
#include <vector>

#include "platform/ByteBuffer.h"

template <class T, unsigned Bits>
class TBlockVector {
    static_assert(std::is_trivially_copyable_v<T>, "items are copied as bytes");

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
    // Chunks grow to 4 MiB, two huge pages, and stay so.
    static constexpr size_t kLargeChunkBlocks = std::max<size_t>(1, (size_t{4} << 20) / (kBlockSize * sizeof(T)));

    struct TChunkFree {
        size_t Bytes;
        void operator()(T* chunk) const { FreeLargeBuffer(chunk, Bytes); }
    };
    using TChunk = std::unique_ptr<T[], TChunkFree>;

    static TChunk NewChunk(size_t items)
    {
        const size_t bytes = items * sizeof(T);
        return TChunk(static_cast<T*>(AllocateLargeBuffer(bytes)), TChunkFree{bytes});
    }

    void Grow()
    {
        if (FCapacity < kBlockSize) { // the first block doubles
            const size_t room = std::min(kBlockSize, std::max<size_t>(1, 2 * FCapacity));
            TChunk first = NewChunk(room);
            if (FSize)
                std::memcpy(first.get(), FChunks[0].get(), FSize * sizeof(T));
            if (FChunks.empty()) {
                FChunks.push_back(std::move(first));
                FBlocks.push_back(nullptr);
            } else {
                FChunks[0] = std::move(first);
            }
            FBlocks[0] = FChunks[0].get();
            FCapacity = room;
            return;
        }
        if (FFreeBlocks == 0) {
            FLastChunkBlocks = std::min(kLargeChunkBlocks, 4 * FLastChunkBlocks);
            FChunks.push_back(NewChunk(FLastChunkBlocks * kBlockSize));
            FFreeBlocks = FLastChunkBlocks;
        }
        FBlocks.push_back(FChunks.back().get() + (FLastChunkBlocks - FFreeBlocks) * kBlockSize);
        --FFreeBlocks;
        FCapacity += kBlockSize;
    }

    std::vector<TChunk> FChunks; // the first block, then the chunks of the later ones
    std::vector<T*> FBlocks;
    size_t FSize = 0;
    size_t FCapacity = 0;
    size_t FLastChunkBlocks = 1; // the first block's chunk counts as one
    size_t FFreeBlocks = 0;      // blocks of the last chunk not yet handed out
};
