#include "html/MergedAreaMap.h"

#include <algorithm>

#include "model/Sheet.h"

void TMergedAreaMap::Clear()
{
    FAreas = {};
    FOwner = {};
    FLargest.Clear();
    FCols = 0;
}

void TMergedAreaMap::Build(const TSheet& sheet, const TRangeRect& page)
{
    Clear();
    FPage = page;
    FCols = size_t(page.LastCol - page.FirstCol + 1);
    const TRanges& ranges = sheet.Ranges();
    for (int i = 0; i < ranges.Count(); ++i) {
        const TRange& range = *ranges.Items(i);
        if (!range.Merged())
            continue;
        if (FOwner.empty())
            FOwner.assign(size_t(page.LastRow - page.FirstRow + 1) * FCols, -1);
        // Within a range the last containing rectangle wins: paint from the end.
        for (int r = range.Count() - 1; r >= 0; --r)
            Paint(range.Rect(r));
    }
}

void TMergedAreaMap::Paint(const TRangeRect& rect)
{
    if (rect.LastRow < rect.FirstRow || rect.LastCol < rect.FirstCol)
        return;
    // Every position inside a painted rectangle is taken already.
    if (FLargest.Covers(rect))
        return;
    const int firstRow = std::max<int>(rect.FirstRow, FPage.FirstRow), lastRow = std::min<int>(rect.LastRow, FPage.LastRow);
    const int firstCol = std::max<int>(rect.FirstCol, FPage.FirstCol), lastCol = std::min<int>(rect.LastCol, FPage.LastCol);
    if (firstRow > lastRow || firstCol > lastCol)
        return;
    const auto index = int32_t(FAreas.size());
    FAreas.push_back(rect);
    for (int row = firstRow; row <= lastRow; ++row) {
        int32_t* owner = &FOwner[size_t(row - FPage.FirstRow) * FCols];
        for (int col = firstCol; col <= lastCol; ++col)
            if (owner[col - FPage.FirstCol] < 0)
                owner[col - FPage.FirstCol] = index;
    }
    FLargest.Add(rect);
}

bool TMergedAreaMap::Find(int row, int col, TRangeRect& area) const
{
    if (FOwner.empty() || !FPage.Contains(row, col))
        return false;
    const int32_t owner = FOwner[size_t(row - FPage.FirstRow) * FCols + size_t(col - FPage.FirstCol)];
    if (owner < 0)
        return false;
    area = FAreas[size_t(owner)];
    return true;
}
