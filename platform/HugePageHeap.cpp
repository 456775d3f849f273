#include "platform/HugePageHeap.h"

#include <cstdint>
#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

#include "platform/HugePage.h"

namespace {

// Blocks from this size on are mapped on their own and given back when freed
// (large buffers ask for huge pages themselves); below it they come from the heap.
constexpr int kOwnMappingFrom = static_cast<int>(kHugePageSize);

// Keeps the heap below the first huge page boundary taken: it is never
// touched, so it costs address space only.
void* HeapBelowBoundary = nullptr;

} // namespace

void UseHugePagesForHeap(size_t reserve)
{
#if defined(__GLIBC__)
    if (HeapBelowBoundary || reserve < kHugePageSize || reserve > (size_t{1} << 30))
        return;
    const uintptr_t heapEnd = reinterpret_cast<uintptr_t>(sbrk(0));
    if (heapEnd == uintptr_t(-1))
        return;
    // Freed room at the top stays, so the advised pages are not given back and taken anew.
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(reserve + 2 * kHugePageSize));
    mallopt(M_ARENA_MAX, 1);

    // The heap's free top runs up to its end. A block from the top's start
    // to just below a huge page boundary (a megabyte at least, so that no
    // freed block serves it instead) makes what follows start on a huge page.
    const uintptr_t top = heapEnd - mallinfo2().keepcost;
    constexpr uintptr_t kHeader = 16, kSizeField = 8;
    uintptr_t boundary = RoundUpToHugePage(top + kHeader);
    if (boundary - top < (uintptr_t{1} << 20))
        boundary += kHugePageSize;
    const size_t below = boundary - top - kHeader - kSizeField;
    // Grow the heap in the same step by `reserve` beyond the boundary. Nothing
    // above the boundary may be touched before it is advised: a huge page
    // only comes where no small page is yet.
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(2 * kHugePageSize));
    mallopt(M_TOP_PAD, static_cast<int>(reserve + kHugePageSize));
    HeapBelowBoundary = std::malloc(below);
    mallopt(M_TOP_PAD, 128 << 10); // the C library's default
    mallopt(M_MMAP_THRESHOLD, kOwnMappingFrom);
    const uintptr_t grownEnd = reinterpret_cast<uintptr_t>(sbrk(0));
    // Only a block from the top says that the range above it is the heap.
    if (reinterpret_cast<uintptr_t>(HeapBelowBoundary) != top + kHeader)
        return;
    if (RoundDownToHugePage(grownEnd) > boundary)
        madvise(reinterpret_cast<void*>(boundary), RoundDownToHugePage(grownEnd) - boundary, MADV_HUGEPAGE);
#else
    (void)reserve;
#endif
}
