#include "model/Ranges.h"

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

void TRange::Merge()
{
    FMerged = true;
    TCells& cells = FSheet->Cells();
    for (int i = 0; i < Count(); ++i) {
        const TRangeRect r = Rect(i);
        for (int row = r.FirstRow; row <= r.LastRow; ++row)
            for (int col = r.FirstCol; col <= r.LastCol; ++col)
                cells.GetCell(row, col)->SetMerged(true);
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
