#include "platform/ByteBuffer.h"

#include <cstdlib>

#include <sys/mman.h>

namespace {

constexpr size_t kHugePage = size_t{2} << 20;
// Below this the allocator's usual heap serves: huge pages would waste more than they save.
constexpr size_t kLargeBuffer = kHugePage;

size_t RoundUpToHugePage(size_t bytes) { return (bytes + kHugePage - 1) / kHugePage * kHugePage; }

} // namespace

void* AllocateLargeBuffer(size_t bytes)
{
    if (bytes < kLargeBuffer) return ::operator new(bytes);
    void* block = std::aligned_alloc(kHugePage, RoundUpToHugePage(bytes));
    if (!block) throw std::bad_alloc();
    // Only advice: where the kernel keeps huge pages off, the buffer works as any other.
    madvise(block, RoundUpToHugePage(bytes), MADV_HUGEPAGE);
    return block;
}

void FreeLargeBuffer(void* block, size_t bytes)
{
    if (bytes < kLargeBuffer)
        ::operator delete(block);
    else
        std::free(block);
}
