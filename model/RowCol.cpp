#include "model/RowCol.h"

#include <cmath>

#include "model/Cell.h"
#include "model/Sheet.h"
#include "platform/ScreenMetrics.h"
#include "styles/XLSError.h"

namespace {

int32_t RoundHalfEven(double value)
{
    return static_cast<int32_t>(std::nearbyint(value));
}

} // namespace

// ---- TCustomRowCol ----

TCustomRowCol::TCustomRowCol(TCustomRowCols* owner, uint16_t index, double size, int32_t sizePixels)
    : TCustomXLSItem(owner), FSize(size), FSizePixels(sizePixels), FIndex(index)
{
}

void TCustomRowCol::IncOutlineLevel()
{
    if (FOutlineLevel >= 7)
        return;
    ++FOutlineLevel;
    FHasProperties = true;
    NotifyChanged();
}

void TCustomRowCol::ApplySize(double size, int32_t pixels)
{
    FSize = size;
    FSizePixels = pixels;
    FHasProperties = true;
    FCustomSize = true;
    NotifyChanged();
}

template <class Setter>
void TCustomRowCol::ForEachCell(Setter setter)
{
    TSheet* sheet = Owner()->Sheet();
    if (!sheet)
        return;
    TCells& cells = sheet->Cells();
    const int count = cells.Count();
    for (int i = 0; i < count; ++i)
        if (Covers(cells.RowOf(i), cells.ColOf(i)))
            setter(*cells.Items(i));
}

// Runs the inherited setter on the item, then the same setter on its stored cells.
#define QUILLON_PROPAGATE(Name, Params, Args)                          \
    void TCustomRowCol::Name Params                                    \
    {                                                                  \
        TCustomXLSItem::Name Args;                                     \
        ForEachCell([&](TCell& cell) { cell.Name Args; });             \
    }

QUILLON_PROPAGATE(SetFillColorIndex, (uint8_t index), (index))
QUILLON_PROPAGATE(SetPatternColorIndex, (uint8_t index), (index))
QUILLON_PROPAGATE(SetFillColor, (TColor color), (color))
QUILLON_PROPAGATE(SetPatternColor, (TColor color), (color))
QUILLON_PROPAGATE(SetFillPattern, (uint8_t pattern), (pattern))
QUILLON_PROPAGATE(SetHorizontalAlignment, (uint8_t align), (align))
QUILLON_PROPAGATE(SetVerticalAlignment, (uint8_t align), (align))
QUILLON_PROPAGATE(SetWrapText, (bool wrap), (wrap))
QUILLON_PROPAGATE(SetRotation, (uint8_t rotation), (rotation))
QUILLON_PROPAGATE(SetIndent, (uint8_t indent), (indent))
QUILLON_PROPAGATE(SetBorderColorIndex, (int side, uint8_t index), (side, index))
QUILLON_PROPAGATE(SetBorderColor, (int side, TColor color), (side, color))
QUILLON_PROPAGATE(SetBorderStyle, (int side, uint8_t style), (side, style))
QUILLON_PROPAGATE(SetFormatIndex, (uint16_t pos), (pos))
QUILLON_PROPAGATE(SetFontBold, (bool bold), (bold))
QUILLON_PROPAGATE(SetFontItalic, (bool italic), (italic))
QUILLON_PROPAGATE(SetFontUnderline, (bool underline), (underline))
QUILLON_PROPAGATE(SetFontStrikeout, (bool strikeout), (strikeout))
QUILLON_PROPAGATE(SetFontUnderlineStyle, (uint8_t kind), (kind))
QUILLON_PROPAGATE(SetFontScript, (uint8_t script), (script))
QUILLON_PROPAGATE(SetFontName, (const std::u16string& name), (name))
QUILLON_PROPAGATE(SetFontColorIndex, (uint8_t index), (index))
QUILLON_PROPAGATE(SetFontColor, (TColor color), (color))
QUILLON_PROPAGATE(SetFontSize, (uint16_t points), (points))

#undef QUILLON_PROPAGATE

void TCustomRowCol::SetMerged(bool merged)
{
    // A merged flag on a row or column stays with the item.
    TCustomXLSItem::SetMerged(merged);
}

// ---- TRow, TColumn ----

TRow::TRow(TCustomRowCols* owner, uint16_t index)
    : TCustomRowCol(owner, index, PixelsToPoints(ScreenMetrics().DefaultRowHeight), ScreenMetrics().DefaultRowHeight)
{
}

void TRow::SetHeight(double points)
{
    if (points == Size())
        return;
    ApplySize(points, RoundHalfEven(PointsToPixels(points)));
}

void TRow::SetHeightPixels(int32_t pixels)
{
    if (pixels == SizePixels())
        return;
    ApplySize(PixelsToPoints(pixels), pixels);
}

bool TRow::Covers(uint16_t row, uint16_t) const
{
    return row == Index();
}

TColumn::TColumn(TCustomRowCols* owner, uint16_t index)
    : TCustomRowCol(owner, index, PixelsToChars(ScreenMetrics().DefaultColumnWidth),
                    ScreenMetrics().DefaultColumnWidth)
{
}

void TColumn::SetWidth(double chars)
{
    if (chars == Size())
        return;
    ApplySize(chars, RoundHalfEven(CharsToPixels(chars)));
}

void TColumn::SetWidthPixels(int32_t pixels)
{
    if (pixels == SizePixels())
        return;
    ApplySize(PixelsToChars(pixels), pixels);
}

bool TColumn::Covers(uint16_t, uint16_t col) const
{
    return col == Index();
}

// ---- Stores ----

TCustomRowCols::TCustomRowCols(TSheet* sheet, TStyleTables* styleTables, uint32_t bucketCount)
    : TCustomXLSItems(sheet, styleTables, bucketCount, 2)
{
}

uint32_t TCustomRowCols::KeyValueOf(const TCustomXLSItem* item) const
{
    return static_cast<const TCustomRowCol*>(item)->Index();
}

TCustomRowCol* TCustomRowCols::FindItem(int index) const
{
    if (index < 0 || index > 0xFFFF)
        return nullptr;
    return static_cast<TCustomRowCol*>(FindByKey(static_cast<uint32_t>(index)));
}

template <class Make>
TCustomRowCol* TCustomRowCols::GetItem(int index, int limit, Make make)
{
    if (index < 0 || index > limit)
        throw EXLSError(5);
    if (TCustomRowCol* stored = FindItem(index))
        return stored;
    SetPending(nullptr);
    return static_cast<TCustomRowCol*>(SetPending(make(static_cast<uint16_t>(index))));
}

TRows::TRows(TSheet* sheet, TStyleTables* styleTables) : TCustomRowCols(sheet, styleTables, 1024) {}

TRow* TRows::GetRow(int index)
{
    return static_cast<TRow*>(
        GetItem(index, 0xFFFF, [this](uint16_t i) { return std::make_unique<TRow>(this, i); }));
}

TColumns::TColumns(TSheet* sheet, TStyleTables* styleTables) : TCustomRowCols(sheet, styleTables, 256) {}

TColumn* TColumns::GetColumn(int index)
{
    return static_cast<TColumn*>(
        GetItem(index, 255, [this](uint16_t i) { return std::make_unique<TColumn>(this, i); }));
}
