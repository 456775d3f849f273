#include "model/Sheet.h"

#include <algorithm>

#include "model/Workbook.h"
#include "styles/XLSError.h"

TSheet::TSheet(TWorkbook* workbook) : FWorkbook(workbook)
{
    TStyleTables* tables = workbook->StyleTables();
    FCells = std::make_unique<TCells>(this, tables);
    FColumns = std::make_unique<TColumns>(this, tables);
    FRows = std::make_unique<TRows>(this, tables);
    FRanges = std::make_unique<TRanges>(this);
    FPageSetup = std::make_unique<TPageSetup>(this);
    FImages = std::make_unique<TXLSImages>();
}

TSheet::~TSheet()
{
    FCells.reset();
    FColumns.reset();
    FRows.reset();
    FRanges.reset();
    FPageSetup.reset();
    FImages.reset();
}

TStyleTables* TSheet::StyleTables() const
{
    return FWorkbook->StyleTables();
}

void TSheet::SetName(const std::u16string& name)
{
    if (const uint8_t code = FWorkbook->Sheets().ValidateName(name))
        throw EXLSError(code);
    if (name == FName)
        return;
    const std::u16string oldName = std::move(FName);
    FName = name;
    if (FIndex >= 0)
        FWorkbook->Sheets().Renamed(this, oldName);
}

bool TSheet::GetUsedRange(TRangeRect& rect) const
{
    const int count = FCells->Count();
    if (count == 0)
        return false;
    TRangeRect used{65535, 0, 255, 0};
    for (int i = 0; i < count; ++i) {
        const uint16_t row = FCells->RowOf(i);
        const auto col = static_cast<uint8_t>(FCells->ColOf(i));
        used.FirstRow = std::min(used.FirstRow, row);
        used.LastRow = std::max(used.LastRow, row);
        used.FirstCol = std::min(used.FirstCol, col);
        used.LastCol = std::max(used.LastCol, col);
    }
    rect = used;
    return true;
}

bool TSheet::FindMergedArea(int row, int col, TRangeRect& rect) const
{
    for (int i = 0; i < FRanges->Count(); ++i) {
        const TRange* range = FRanges->Items(i);
        if (range->Merged() && range->FindRect(row, col, rect))
            return true;
    }
    return false;
}

void TSheet::GroupRows(int first, int last)
{
    for (int row = first; row <= last; ++row)
        FRows->GetRow(row)->IncOutlineLevel();
}

void TSheet::GroupColumns(int first, int last)
{
    for (int col = first; col <= last; ++col)
        FColumns->GetColumn(col)->IncOutlineLevel();
}
