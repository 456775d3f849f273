// The bytes of a whole file. Two things set it apart from std::vector<uint8_t>:
// resize() leaves new bytes as they are, for a buffer that is read over at
// once (an explicit value, resize(n, 0), still fills), and a buffer of
// megabytes asks the kernel for huge pages, so that reading a large workbook
// costs a handful of page faults instead of thousands.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

void* AllocateLargeBuffer(size_t bytes);
void FreeLargeBuffer(void* block, size_t bytes);

template <class T>
struct TUninitializedAllocator {
    using value_type = T;

    TUninitializedAllocator() = default;
    template <class U>
    TUninitializedAllocator(const TUninitializedAllocator<U>&) noexcept {}

    T* allocate(size_t count) { return static_cast<T*>(AllocateLargeBuffer(count * sizeof(T))); }
    void deallocate(T* block, size_t count) noexcept { FreeLargeBuffer(block, count * sizeof(T)); }

    // Without arguments an item is default-initialised: for bytes, not written at all.
    template <class U>
    void construct(U* item) noexcept
    {
        ::new (static_cast<void*>(item)) U;
    }
    template <class U, class... Args>
    void construct(U* item, Args&&... args)
    {
        ::new (static_cast<void*>(item)) U(static_cast<Args&&>(args)...);
    }

    template <class U>
    bool operator==(const TUninitializedAllocator<U>&) const noexcept { return true; }
};

using TByteBuffer = std::vector<uint8_t, TUninitializedAllocator<uint8_t>>;
