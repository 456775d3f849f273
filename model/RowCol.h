// Rows and columns: sparse items with a size, an outline level and a cell
// format that is passed on to the stored cells of the row or column.
#pragma once

#include <cstdint>

#include "model/Items.h"

class TCell;
class TCustomRowCols;

class TCustomRowCol : public TCustomXLSItem {
public:
    uint8_t OutlineLevel() const { return FOutlineLevel; }
    // Row height in points or column width in characters.
    double Size() const { return FSize; }
    // The same in screen pixels; 0 means hidden.
    int32_t SizePixels() const { return FSizePixels; }
    uint16_t Index() const { return FIndex; }
    bool HasProperties() const { return FHasProperties; }
    bool CustomSize() const { return FCustomSize; }

    void ClearCustomSize() { FCustomSize = false; }
    // Up to level 7; each step sets HasProperties and notifies.
    void IncOutlineLevel();

    // The style setters run on the item, then on every stored cell of the
    // row or column (SetLocked and SetMerged change the item only).
    void SetFillColorIndex(uint8_t index) override;
    void SetPatternColorIndex(uint8_t index) override;
    void SetFillColor(TColor color) override;
    void SetPatternColor(TColor color) override;
    void SetFillPattern(uint8_t pattern) override;
    void SetHorizontalAlignment(uint8_t align) override;
    void SetVerticalAlignment(uint8_t align) override;
    void SetMerged(bool merged) override;
    void SetWrapText(bool wrap) override;
    void SetRotation(uint8_t rotation) override;
    void SetIndent(uint8_t indent) override;
    void SetBorderColorIndex(int side, uint8_t index) override;
    void SetBorderColor(int side, TColor color) override;
    void SetBorderStyle(int side, uint8_t style) override;
    void SetFormatIndex(uint16_t pos) override;
    void SetFontBold(bool bold) override;
    void SetFontItalic(bool italic) override;
    void SetFontUnderline(bool underline) override;
    void SetFontStrikeout(bool strikeout) override;
    void SetFontUnderlineStyle(uint8_t kind) override;
    void SetFontScript(uint8_t script) override;
    void SetFontName(const std::u16string& name) override;
    void SetFontColorIndex(uint8_t index) override;
    void SetFontColor(TColor color) override;
    void SetFontSize(uint16_t points) override;

protected:
    TCustomRowCol(TCustomRowCols* owner, uint16_t index, double size, int32_t sizePixels);
    // Whether the cell position lies in this row or column.
    virtual bool Covers(uint16_t row, uint16_t col) const = 0;
    // Sets both sizes and both flags, and notifies.
    void ApplySize(double size, int32_t pixels);

private:
    template <class Setter>
    void ForEachCell(Setter setter);

    double FSize;
    int32_t FSizePixels;
    uint16_t FIndex;
    uint8_t FOutlineLevel = 0;
    bool FHasProperties = false;
    bool FCustomSize = false;
};

class TRow : public TCustomRowCol {
public:
    // Default height (17 pixels / 12.75 points at 96 dpi) and default format.
    TRow(TCustomRowCols* owner, uint16_t index);
    // Points; pixels = points / K rounded half to even.
    void SetHeight(double points);
    void SetHeightPixels(int32_t pixels);

protected:
    bool Covers(uint16_t row, uint16_t col) const override;
};

class TColumn : public TCustomRowCol {
public:
    // Default width (64 pixels / about 8.43 characters at 96 dpi) and default format.
    TColumn(TCustomRowCols* owner, uint16_t index);
    // Characters; pixels = CharsToPixels rounded half to even.
    void SetWidth(double chars);
    void SetWidthPixels(int32_t pixels);

protected:
    bool Covers(uint16_t row, uint16_t col) const override;
};

// The sparse store of rows or columns; the key is the index as 2 bytes.
class TCustomRowCols : public TCustomXLSItems {
public:
    TCustomRowCols(TSheet* sheet, TStyleTables* styleTables, uint32_t bucketCount);

    // True when a stored item has this index.
    bool Exists(int index) const { return FindItem(index) != nullptr; }
    // The stored item with this index, or null; never creates.
    TCustomRowCol* FindItem(int index) const;
    TCustomRowCol* Items(int index) const override { return static_cast<TCustomRowCol*>(TCustomXLSItems::Items(index)); }

protected:
    uint32_t KeyValueOf(const TCustomXLSItem* item) const override;
    // Get-or-create through `make` for an index without a stored item.
    template <class Make>
    TCustomRowCol* GetItem(int index, int limit, Make make);
};

class TRows : public TCustomRowCols {
public:
    TRows(TSheet* sheet, TStyleTables* styleTables);
    // Get-or-create like TCells::GetCell; an index outside 0..65535 raises EXLSError(5).
    TRow* GetRow(int index);
    TRow* FindRow(int index) const { return static_cast<TRow*>(FindItem(index)); }
    TRow* Items(int index) const { return static_cast<TRow*>(TCustomRowCols::Items(index)); }
};

class TColumns : public TCustomRowCols {
public:
    TColumns(TSheet* sheet, TStyleTables* styleTables);
    // Get-or-create; an index outside 0..255 raises EXLSError(5).
    TColumn* GetColumn(int index);
    TColumn* FindColumn(int index) const { return static_cast<TColumn*>(FindItem(index)); }
    TColumn* Items(int index) const { return static_cast<TColumn*>(TCustomRowCols::Items(index)); }
};
