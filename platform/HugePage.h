// The kernel's huge page (2 MiB on x86-64), and sizes and addresses rounded to it.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t kHugePageSize = size_t{2} << 20;

constexpr uintptr_t RoundUpToHugePage(uintptr_t n) { return (n + kHugePageSize - 1) & ~uintptr_t{kHugePageSize - 1}; }
constexpr uintptr_t RoundDownToHugePage(uintptr_t n) { return n & ~uintptr_t{kHugePageSize - 1}; }
