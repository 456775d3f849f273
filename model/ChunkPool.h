// Memory for pieces that live as long as their owner (a map's nodes, a
// store's blocks): handed out from chunks that grow fourfold up to 4 MiB (two
// huge pages) and given back all at once. Each piece saves a heap block this
// way, and a large owner most of its page faults.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/ByteBuffer.h"

class TChunkPool {
public:
    TChunkPool() = default;
    TChunkPool(const TChunkPool&) = delete;
    TChunkPool& operator=(const TChunkPool&) = delete;

    void* Allocate(size_t bytes, size_t alignment)
    {
        size_t skip = (alignment - reinterpret_cast<uintptr_t>(FNext) % alignment) % alignment;
        if (!FNext || skip + bytes > FLeft) {
            FLastSize = std::min(kLargestChunk, FLastSize * 4);
            const size_t size = std::max(FLastSize, bytes + alignment);
            FChunks.push_back(TChunk(static_cast<uint8_t*>(AllocateLargeBuffer(size)), TChunkFree{size}));
            FNext = FChunks.back().get();
            FLeft = size;
            skip = (alignment - reinterpret_cast<uintptr_t>(FNext) % alignment) % alignment;
        }
        uint8_t* block = FNext + skip;
        FNext = block + bytes;
        FLeft -= skip + bytes;
        return block;
    }

private:
    static constexpr size_t kLargestChunk = size_t{4} << 20;
    struct TChunkFree {
        size_t Bytes;
        void operator()(uint8_t* chunk) const { FreeLargeBuffer(chunk, Bytes); }
    };
    using TChunk = std::unique_ptr<uint8_t[], TChunkFree>;

    std::vector<TChunk> FChunks;
    uint8_t* FNext = nullptr;
    size_t FLeft = 0;
    size_t FLastSize = 32; // the first chunk is four times this: a node or two
};

// An allocator over a TChunkPool: what it deallocates stays taken until the pool goes.
template <class T>
struct TPoolAllocator {
    using value_type = T;

    explicit TPoolAllocator(TChunkPool* pool) noexcept : Pool(pool) {}
    template <class U>
    TPoolAllocator(const TPoolAllocator<U>& other) noexcept : Pool(other.Pool) {}

    T* allocate(size_t count) { return static_cast<T*>(Pool->Allocate(count * sizeof(T), alignof(T))); }
    void deallocate(T*, size_t) noexcept {}

    template <class U>
    bool operator==(const TPoolAllocator<U>& other) const noexcept { return Pool == other.Pool; }

    TChunkPool* Pool;
};
