// The allocator's heap on huge pages, for a process that converts workbooks.
//
// On the virtual machines Quillon runs on, the first touch of a 4 KiB page
// costs about 10 microseconds; a 2 MiB huge page costs about as much as 30 of
// them. A conversion of a small workbook touches a few hundred pages, which
// was half its time. So the first megabytes of the heap are advised for huge
// pages, allocations up to 2 MiB stay in that heap instead of each being
// mapped and unmapped on its own, and the page writer's second thread shares
// the heap instead of starting an arena of fresh pages.
#pragma once

#include <cstddef>

// Call once, early, before other threads start. Only advice: where the C
// library or the kernel does not follow it, allocation works as before.
void UseHugePagesForHeap(size_t reserve);
