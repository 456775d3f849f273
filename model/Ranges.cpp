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

namespace {

// SetMerged(true) on many cells that share a few formats: what the first
// cell of a format did (the merged twin of its record, and the record that
// gave up a use) is repeated for the others without editing the record again.
class TMergeFlagger {
public:
    explicit TMergeFlagger(TVirtualXFTable& xfs) : FXFs(xfs) {}

    void Flag(TCell& cell)
    {
        const int32_t before = cell.XFIndex();
        const auto known = FTwins.find(before);
        if (known == FTwins.end()) {
            // Replace releases the earliest record equal to the loaded one.
            const int released = FXFs.Table().IndexOf(FXFs.Table().Get(before));
            cell.SetMerged(true);
            FTwins.emplace(before, TTwin {cell.XFIndex(), released});
            return;
        }
        const TTwin twin = known->second;
        if (twin.Merged == before)
            return; // the record has the flag already: SetMerged changes nothing
        FXFs.Release(twin.Released);
        FXFs.AddRef(twin.Merged);
        cell.SetXFIndex(twin.Merged);
    }

private:
    struct TTwin {
        int32_t Merged;
        int Released;
    };
    TVirtualXFTable& FXFs;
    std::unordered_map<int32_t, TTwin> FTwins;
};

} // namespace

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
    TMergeFlagger flagger(*cells.StyleTables()->XFTable);
    for (int i = 0; i < Count(); ++i) {
        const TRangeRect r = Rect(i);
        if (r.LastRow < r.FirstRow || r.LastCol < r.FirstCol || cover.Covers(*FSheet, r))
            continue;
        for (int row = r.FirstRow; row <= r.LastRow; ++row)
            for (int col = r.FirstCol; col <= r.LastCol; ++col)
                flagger.Flag(*cells.GetCell(row, col));
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
