// The merged area of every position of a page, worked out once, so that the
// writer does not ask TSheet::FindMergedArea (a walk over every range) for
// each of the up to 16,777,216 positions a merged area can cover. Each row
// keeps the column spans of its areas, so a large area costs a span per row.
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
    struct TSpan;
    static void PaintRow(std::vector<TSpan>& spans, uint8_t first, uint8_t last, int32_t area);

    // The columns first..last of a row that belong to area `Area`.
    struct TSpan {
        uint8_t First, Last;
        int32_t Area;
    };

    TRangeRect FPage;
    std::vector<TRangeRect> FAreas;
    int FRowsFirst = 0; // the row of FRows[0]
    std::vector<std::vector<TSpan>> FRows; // per row from FRowsFirst: its spans by column, none overlapping
    TLargestRects FLargest; // painted already, to pass over rectangles inside them
};
