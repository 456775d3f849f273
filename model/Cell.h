// Cells and the sparse cell store of a sheet.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>
#include <string>
#include <unordered_map>

#include "model/Items.h"
#include "model/Variant.h"

class TCells;

// What a cell holds beside its format: value, text attributes, coordinates.
// The two attributes are kept apart (not in one tagged string), so that no
// attribute text can be mistaken for a separator; Attributes() builds the
// tagged form on request.
struct TCellData {
    struct TTextAttributes {
        std::string Formula;      // "F"
        std::u16string Hyperlink; // "H"
    };
    TVariant Value;
    std::unique_ptr<TTextAttributes> Texts; // none while both are empty
    uint16_t Row = 0;
    uint16_t Col = 0;
};

class TCell : public TCustomXLSItem {
public:
    // Created by TCells::GetCell only: item creation, coordinates, Clear,
    // then the style of the cell's row and column is taken over.
    TCell(TCells* owner, uint16_t row, uint16_t col);

    uint16_t Row() const { return FData.Row; }
    uint16_t Col() const { return FData.Col; }

    const TVariant& Value() const { return FData.Value; }
    // Accepts the type codes 2..8, 11, 16..20 and 256; raises EXLSError(3)
    // for any other (empty and null included) and for a string longer than
    // 65535 characters in the 8-bit code page, leaving the cell unchanged. A
    // first date value on a cell with format position 0 sets position 13
    // ("mm/dd/yy"). Always notifies the owner, which stores a pending cell.
    void SetValue(const TVariant& value);

    // 8-bit formula text (attribute "F"); an empty text removes it.
    const std::string& Formula() const;
    void SetFormula(const std::string& text);
    // Hyperlink text (attribute "H"). Setting a new link also makes the font
    // blue (palette 5) and underlined, and gives an empty cell the link text
    // as its value.
    const std::u16string& Hyperlink() const;
    void SetHyperlink(const std::u16string& text);
    // The attributes in their tagged form: for each present attribute
    // FF 00 FF 63, tag, FF 00 FF 63, value bytes, FF 00 FF 63 ("F" first,
    // then "H" with UTF-16LE bytes).
    std::string Attributes() const;

    // Removes both attributes, empties the value, and returns font and XF to
    // the defaults (with their use counts).
    void Clear();

private:
    friend class TCells;
    // Makes a pending cell new again at (row, col), as a fresh TCell would be.
    void Reinitialize(uint16_t row, uint16_t col);
    void InheritRowAndColumnStyle();
    // SetFontIndex(0), repeated by a sheet's new cells from the same record.
    void ResetFontIndex();

    TCellData FData;
};

class TCells : public TCustomXLSItems {
public:
    explicit TCells(TSheet* sheet, TStyleTables* styleTables); // 16383 buckets

    // Stored cell at (row, col), or null; never creates.
    TCell* FindCell(int row, int col) const;
    // Get-or-create: the stored cell, or a new pending cell carrying its
    // row's and column's formatting (the previous pending cell is freed).
    // A column outside 0..255 or a row outside 0..65535 raises EXLSError(5).
    TCell* GetCell(int row, int col);

    TCell* Items(int index) const { return static_cast<TCell*>(TCustomXLSItems::Items(index)); }
    TCell* PendingItem() const { return static_cast<TCell*>(TCustomXLSItems::PendingItem()); }

    // The 4-byte key: row low, row high, column low, column high.
    static std::string CellKey(uint16_t row, uint16_t col);

    // Also records the position of a newly stored cell.
    void Changed(TCustomXLSItem* item) override;

protected:
    uint32_t KeyValueOf(const TCustomXLSItem* item) const override;

private:
    // One bit per position that holds a stored cell, in blocks of 256 rows
    // made on first use, so that looking up an empty position needs no
    // bucket scan.
    class TPresence {
    public:
        bool Has(uint16_t row, uint16_t col) const;
        void Set(uint16_t row, uint16_t col);

    private:
        using TBlock = std::array<uint64_t, 256 * 256 / 64>;
        std::vector<std::unique_ptr<TBlock>> FBlocks;
    };
    TPresence FPresence;

    friend class TCell;
    // The format a new cell gets under a formatted row and a formatted
    // column, per pair of their XF indexes; valid while the tables keep
    // their generation and default index.
    struct TCombinedFormats {
        uint32_t XFGeneration = 0, FontGeneration = 0;
        const TVirtualFontTable* FontTable = nullptr;
        int32_t DefaultIndex = 0;
        std::unordered_map<uint64_t, int32_t> Formats;
    };
    TCombinedFormats FCombined;
    // The outcome of the last ResetFontIndex that went through the XF table:
    // from record From it took a use from record Released (the earliest one
    // equal to From) and committed record Committed. Valid while the table
    // keeps its generation.
    struct TFontReset {
        const TVirtualXFTable* Table = nullptr;
        uint32_t Generation = 0;
        int32_t From = -1, Released = -1, Committed = -1;
    };
    TFontReset FFontReset;
    // The cache, emptied first when the tables have changed since it was filled.
    std::unordered_map<uint64_t, int32_t>& CombinedFormats();
};
