// The merged area of every position of a page, worked out once, so that the
// writer does not ask TSheet::FindMergedArea (a walk over every range) for
// each of the up to 16,777,216 positions a merged area can cover.
#pragma once

#include <cstdint>
#include <vector>

#include "model/Ranges.h"

class TSheet;

class TMergedAreaMap {
public:
    // Gives every position of `page` the area FindMergedArea finds for it:
    // the first merged range that contains it, and within that range the
    // last rectangle that does. The work grows with the positions painted,
    // not with positions times ranges.
    void Build(const TSheet& sheet, const TRangeRect& page);
    // FindMergedArea for a position of the page.
    bool Find(int row, int col, TRangeRect& area) const;
    void Clear();

private:
    // Paints the positions of `rect` (clipped to the page) that no earlier
    // rectangle has taken.
    void Paint(const TRangeRect& rect);

    TRangeRect FPage;
    size_t FCols = 0;
    std::vector<TRangeRect> FAreas;
    std::vector<int32_t> FOwner; // per position: index into FAreas, or -1
    TLargestRects FLargest; // painted already, to pass over rectangles inside them
};
