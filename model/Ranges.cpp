#include "model/Ranges.h"

#include <algorithm>
#include <unordered_map>

#include "model/Sheet.h"
#include "styles/XLSError.h"

int TRangeRects::Add(uint16_t firstRow, uint16_t lastRow, uint8_t firstCol, uint8_t lastCol)
{
    FRects.push_back({firstRow, lastRow, firstCol, lastCol});
    return Count() - 1;
}

void TRangeRects::AddRects(const TRangeRects& other)
{
    const std::vector<TRangeRect> copy = other.FRects; // `other` may be this list
    FRects.insert(FRects.end(), copy.begin(), copy.end());
}

TRangeRect TRangeRects::Rect(int index) const
{
    if (index < 0 || index >= Count())
        RaiseListIndexError(index);
    return FRects[static_cast<size_t>(index)];
}

bool TRangeRects::FindRect(int row, int col, TRangeRect& rect) const
{
    bool found = false;
    for (const TRangeRect& r : FRects)
        if (r.Contains(row, col)) {
            rect = r;
            found = true;
        }
    return found;
}

TRange::TRange(TSheet* sheet) : FSheet(sheet) {}

void TRange::SetName(const std::string& name)
{
    if (name.find(' ') != std::string::npos)
        throw EXLSError(11, name);
    if (name != FName)
        FName = name;
}


bool TMergedCover::StillHolds(const TSheet& sheet) const
{
    return FFormatChanges == sheet.Cells().StoredFormatChanges() &&
           FXFGeneration == sheet.Cells().StyleTables()->XFTable->Generation();
}

void TMergedCover::Stamp(const TSheet& sheet)
{
    FFormatChanges = sheet.Cells().StoredFormatChanges();
    FXFGeneration = sheet.Cells().StyleTables()->XFTable->Generation();
}

bool TMergedCover::Covers(const TSheet& sheet, const TRangeRect& rect)
{
    if (!StillHolds(sheet)) {
        FRects.Clear();
        Stamp(sheet);
        return false;
    }
    return FRects.Covers(rect);
}

void TMergedCover::Add(const TSheet& sheet, const TRangeRect& rect)
{
    // Covers() ran before the merge; the merge itself only added flags.
    Stamp(sheet);
    FRects.Add(rect);
}

bool TLargestRects::Covers(const TRangeRect& rect) const
{
    return std::any_of(FRects.begin(), FRects.end(), [&](const TRangeRect& known) { return rect.Inside(known); });
}

void TLargestRects::Add(const TRangeRect& rect)
{
    std::erase_if(FRects, [&](const TRangeRect& known) { return known.Inside(rect); });
    if (FRects.size() < kMaxRects) {
        FRects.push_back(rect);
        return;
    }
    auto smallest = std::min_element(FRects.begin(), FRects.end(),
                                     [](const TRangeRect& a, const TRangeRect& b) { return a.Area() < b.Area(); });
    if (smallest->Area() < rect.Area())
        *smallest = rect;
}

void TRange::Merge()
{
    FMerged = true;
    TCells& cells = FSheet->Cells();
    TMergedCover& cover = FSheet->Ranges().MergedCover();
    for (int i = 0; i < Count(); ++i) {
        const TRangeRect r = Rect(i);
        if (r.LastRow < r.FirstRow || r.LastCol < r.FirstCol || cover.Covers(*FSheet, r))
            continue;
        cells.MergeArea(r.FirstRow, r.LastRow, r.FirstCol, r.LastCol);
        cover.Add(*FSheet, r);
    }
}

TRange* TRanges::Add()
{
    FRanges.push_back(std::make_unique<TRange>(FSheet));
    return FRanges.back().get();
}

TRange* TRanges::Items(int index) const
{
    if (index < 0 || index >= Count())
        RaiseListIndexError(index);
    return FRanges[static_cast<size_t>(index)].get();
}

void TRanges::Delete(int index)
{
    if (index < 0 || index >= Count())
        RaiseListIndexError(index);
    FRanges.erase(FRanges.begin() + index);
}
