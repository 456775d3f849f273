#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/HugePageHeap.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
#define OtherAllocator 1
#endif
#endif
#ifndef OtherAllocator
#define OtherAllocator 0
#endif

namespace {

bool HugePagesOnAdvice()
{
    std::ifstream setting("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string text;
    std::getline(setting, text);
    return text.find("[always]") != std::string::npos || text.find("[madvise]") != std::string::npos;
}

// Huge page faults the kernel had to serve with small pages, for want of free memory.
uint64_t HugePageFallbacks()
{
    std::ifstream stats("/proc/vmstat");
    for (std::string name, value; stats >> name >> value;)
        if (name == "thp_fault_fallback")
            return std::stoull(value);
    return 0;
}

struct TMapping {
    bool Found = false;
    bool Advised = false;       // VmFlags "hg"
    uint64_t HugeBytes = 0;     // AnonHugePages
};

TMapping MappingOf(const void* address)
{
    const auto at = reinterpret_cast<uintptr_t>(address);
    std::ifstream maps("/proc/self/smaps");
    TMapping mapping;
    bool inside = false;
    for (std::string line; std::getline(maps, line);) {
        unsigned long long first = 0, last = 0;
        char dash = 0;
        std::istringstream head(line);
        if (line.find("VmFlags:") == 0) {
            if (inside) {
                mapping.Advised = (line + " ").find(" hg ") != std::string::npos;
                return mapping;
            }
        } else if (inside && line.find("AnonHugePages:") == 0) {
            mapping.HugeBytes = std::stoull(line.substr(14)) * 1024;
        } else if ((head >> std::hex >> first >> dash >> last) && dash == '-') {
            inside = at >= first && at < last;
            mapping.Found = inside;
        }
    }
    return mapping;
}

} // namespace

// The first touch of a small page is what made small conversions slow; the
// blocks a conversion makes after the call must lie on huge pages, the first
// huge page above the old end of the heap included.
TEST(HugePageHeap, BlocksMadeAfterItLieOnHugePages)
{
#if !defined(__GLIBC__) || defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__) || OtherAllocator
    GTEST_SKIP() << "the C library's own allocator is not the one in use";
#endif
    if (!HugePagesOnAdvice())
        GTEST_SKIP() << "the kernel gives no huge pages on advice";
    constexpr size_t kReserve = size_t{8} << 20, kBlock = size_t{64} << 10;
    const uint64_t fallbacksBefore = HugePageFallbacks();
    UseHugePagesForHeap(kReserve);
    UseHugePagesForHeap(kReserve); // a second call changes nothing

    std::vector<std::unique_ptr<char[]>> blocks;
    for (size_t made = 0; made < kReserve - (size_t{1} << 20); made += kBlock) {
        blocks.emplace_back(new char[kBlock]);
        std::memset(blocks.back().get(), 1, kBlock);
    }
    const TMapping mapping = MappingOf(blocks.back().get());
    ASSERT_TRUE(mapping.Found);
    EXPECT_TRUE(mapping.Advised);
    if (HugePageFallbacks() == fallbacksBefore) {
        EXPECT_GE(mapping.HugeBytes, kReserve - (size_t{1} << 20));
    }
}
