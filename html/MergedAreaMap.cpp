#include "html/MergedAreaMap.h"

#include <algorithm>

#include "model/Sheet.h"

void TMergedAreaMap::Clear()
{
    FAreas = {};
    FRows = {};
    FLargest.Clear();
}

void TMergedAreaMap::Build(const TSheet& sheet, const TRangeRect& page)
{
    Clear();
    FPage = page;
    const TRanges& ranges = sheet.Ranges();
    // Rows get span lists only between the first and the last row an area covers.
    int firstRow = page.LastRow + 1, lastRow = page.FirstRow - 1;
    for (int i = 0; i < ranges.Count(); ++i) {
        const TRange& range = *ranges.Items(i);
        if (!range.Merged())
            continue;
        for (int r = 0; r < range.Count(); ++r) {
            const TRangeRect& rect = range.Rect(r);
            if (rect.LastRow < rect.FirstRow || rect.LastCol < rect.FirstCol)
                continue;
            firstRow = std::min<int>(firstRow, std::max<int>(rect.FirstRow, page.FirstRow));
            lastRow = std::max<int>(lastRow, std::min<int>(rect.LastRow, page.LastRow));
        }
    }
    if (firstRow > lastRow)
        return;
    FRowsFirst = firstRow;
    FRows.resize(size_t(lastRow - firstRow + 1));
    for (int i = 0; i < ranges.Count(); ++i) {
        const TRange& range = *ranges.Items(i);
        if (!range.Merged())
            continue;
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
    for (int row = firstRow; row <= lastRow; ++row)
        PaintRow(FRows[size_t(row - FRowsFirst)], uint8_t(firstCol), uint8_t(lastCol), index);
    FLargest.Add(rect);
}

void TMergedAreaMap::PaintRow(std::vector<TSpan>& spans, uint8_t first, uint8_t last, int32_t area)
{
    // The gaps of first..last between the spans there are become spans of `area`.
    std::vector<TSpan> painted;
    painted.reserve(spans.size() + 2);
    int from = first; // the first column not yet placed
    for (const TSpan& span : spans) {
        if (span.First > from && from <= last)
            painted.push_back({uint8_t(from), uint8_t(std::min<int>(last, span.First - 1)), area});
        painted.push_back(span);
        from = std::max(from, span.Last + 1);
    }
    if (from <= last)
        painted.push_back({uint8_t(from), last, area});
    spans = std::move(painted);
}

bool TMergedAreaMap::Find(int row, int col, TRangeRect& area) const
{
    if (!FPage.Contains(row, col) || row < FRowsFirst || size_t(row - FRowsFirst) >= FRows.size())
        return false;
    const std::vector<TSpan>& spans = FRows[size_t(row - FRowsFirst)];
    const auto after = std::upper_bound(spans.begin(), spans.end(), col,
                                        [](int c, const TSpan& span) { return c < span.First; });
    if (after == spans.begin() || (after - 1)->Last < col)
        return false;
    area = FAreas[size_t((after - 1)->Area)];
    return true;
}
