#include "platform/ByteBuffer.h"

#include <cstdlib>

#include <sys/mman.h>

#include "platform/HugePage.h"

namespace {

// Below this the allocator's usual heap serves: huge pages would waste more than they save.
constexpr size_t kLargeBuffer = kHugePageSize;

} // namespace

void* AllocateLargeBuffer(size_t bytes)
{
    if (bytes < kLargeBuffer) return ::operator new(bytes);
    void* block = std::aligned_alloc(kHugePageSize, RoundUpToHugePage(bytes));
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
