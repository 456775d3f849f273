// Cells and the sparse cell store of a sheet.
#pragma once

#include <array>
#include <map>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>
#include <string>
#include <unordered_map>

#include "model/BlockVector.h"
#include "model/ChunkPool.h"
#include "model/Items.h"
#include "styles/Variant.h"

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
    // The cell object of a stored record: takes over the record's uses.
    TCell(TCells* owner, uint16_t row, uint16_t col, int32_t xfIndex, TVariant value);
    // Makes a pending cell new again at (row, col), as a fresh TCell would be.
    void Reinitialize(uint16_t row, uint16_t col);
    void InheritRowAndColumnStyle();
    // SetFontIndex(0), repeated by a sheet's new cells from the same record.
    void ResetFontIndex();

    TCellData FData;
};

// A stored cell as its record has it, read without making a TCell for it:
// what the page writer, the listing and the reader's later passes need.
// Valid until the store changes.
class TStoredCell {
public:
    uint16_t Row = 0;
    uint16_t Col = 0;
    int32_t XFIndex = 0;
    const TCells* Owner = nullptr;

    const TVariant& Value() const { return FValue ? *FValue : FOwnValue; }
    // The store's place of a text kept once per store (see StoreNew), or -1.
    int64_t TextSlot() const { return FTextSlot; }
    const std::string& Formula() const;
    const std::u16string& Hyperlink() const;
    // The XF record of XFIndex (the default record outside the table).
    TXFRecord XFRecord() const;
    // The cell object's state, for a pending cell or one the caller has.
    static TStoredCell Of(const TCell& cell);

private:
    friend class TCells;
    const TVariant* FValue = nullptr; // a text of the store, or the cell's value
    TVariant FOwnValue;               // a number, truth value or error
    const TCell* FCell = nullptr;     // the cell object, when there is one
    int64_t FTextSlot = -1;
};

// The cells of a sheet. A stored cell is a 12-byte record (position, XF
// index, value) in blocks of 4,096, found through a per-row list, so
// a cell costs no allocation of its own. A TCell object is made for a stored
// cell only when one is asked for (FindCell, GetCell, Items); from then on the
// record only points at it, and the object is the cell. Texts are kept once
// per store and shared by the records.
class TCells : public TCustomXLSItems {
    // A row's stored cells: while they were added in column order with
    // consecutive record indexes, the first index and the count say it all.
    struct TRowCells {
        uint32_t First = 0;
        uint16_t Count = 0;
        uint8_t FirstCol = 0;
        bool Dense = true;
        std::vector<uint32_t> Entries; // column << 24 | index, by column, once not dense
    };
    using TRowMap = std::map<uint16_t, TRowCells, std::less<uint16_t>, TPoolAllocator<std::pair<const uint16_t, TRowCells>>>;

public:
    explicit TCells(TSheet* sheet, TStyleTables* styleTables);
    ~TCells() override;

    // Stored cell at (row, col), or null; never creates.
    TCell* FindCell(int row, int col) const;
    // Get-or-create: the stored cell, or a new pending cell carrying its
    // row's and column's formatting (the previous pending cell is reused).
    // A column outside 0..255 or a row outside 0..65535 raises EXLSError(5).
    TCell* GetCell(int row, int col);

    int Count() const override { return static_cast<int>(FRecords.size()); }
    // Range error outside 0..Count-1.
    TCell* Items(int index) const override;
    TCell* PendingItem() const { return static_cast<TCell*>(TCustomXLSItems::PendingItem()); }

    // The 4-byte key: row low, row high, column low, column high.
    static std::string CellKey(uint16_t row, uint16_t col);

    // Stores the pending cell.
    void Changed(TCustomXLSItem* item) override;
    int IndexOf(const TCustomXLSItem* item) const override;

    // ---- Access without cell objects ----
    // Position of stored cell `index` (0..Count-1) in insertion order.
    uint16_t RowOf(int index) const { return Record(static_cast<uint32_t>(index)).Row; }
    uint16_t ColOf(int index) const { return Record(static_cast<uint32_t>(index)).Col; }
    // XF index of stored cell `index`.
    int32_t XFIndexOf(int index) const;
    // Index of the stored cell at (row, col), or -1.
    int IndexAt(int row, int col) const;
    // Stored cell `index` as its record has it.
    TStoredCell Stored(int index) const;
    // The indexes of a row's stored cells, in column order, appended to `out`.
    void RowIndexes(int row, std::vector<uint32_t>& out) const;
    // RowIndexes for a caller that asks for rows from low to high: each row
    // is found from the one before instead of searched for. One per thread;
    // valid while no row is added to the store.
    class TRowWalk {
    public:
        explicit TRowWalk(const TCells& cells);
        void RowIndexes(int row, std::vector<uint32_t>& out);

    private:
        const TCells& FCells;
        std::optional<TRowMap::const_iterator> FAt; // the first row not below the last one asked for
        uint16_t FAsked = 0;
    };
    // The first row from `row` on that holds a stored cell, or -1.
    int NextRow(int row) const;

    // Stores a new cell at an empty position with `value` and format
    // `xfIndex`, exactly as GetCell, SetValue (unless `value` is empty) and
    // SetXFIndex (unless `xfIndex` lies outside the XF table) would, use
    // counts included, when the position takes no format from its row or
    // column and SetValue would not change the format; returns false and
    // does nothing otherwise. `shared`: an 8-bit or UTF-16 text kept once per
    // store under this key (any number the caller gives equal texts), or -1.
    // `then`: a second SetValue, with this value, after SetXFIndex.
    bool StoreNew(int row, int col, int32_t xfIndex, const TVariant& value, int64_t shared = -1,
                  const TVariant* then = nullptr);
    // SetMerged(true) on every position of the rectangle, as GetCell and
    // SetMerged on each would do, without making cell objects for the
    // positions that do not need one.
    void MergeArea(uint16_t firstRow, uint16_t lastRow, uint8_t firstCol, uint8_t lastCol);

protected:
    uint32_t KeyValueOf(const TCustomXLSItem* item) const override;

private:
    friend class TCell;
    friend class TStoredCell;

    struct TRecord {
        uint16_t Row;
        uint8_t Col;
        uint8_t Kind; // the value's type code up to varInt64, or one of the kinds in Cell.cpp
        int32_t XF;
        // A 32-bit value itself; a double or 64-bit integer as its place in
        // FNumbers; a text as its place in FTexts; the cell object as its place in FObjects.
        uint32_t Payload;
    };
    static_assert(sizeof(TRecord) == 12);
    // Appends the indexes of the row's cells to `out`.
    static void AppendIndexes(const TRowCells& cells, std::vector<uint32_t>& out);
    // A reference stays valid until the next AddRecord (the first block grows).
    const TRecord& Record(uint32_t index) const { return FRecords[index]; }
    TRecord& Record(uint32_t index) { return FRecords[index]; }
    // The row's cells, or null.
    const TRowCells* RowCells(int row) const;
    // Appends a record and lists it in its row; returns its index.
    uint32_t AddRecord(const TRecord& record);
    // The cell object of a record, made on first request.
    TCell* CellOf(uint32_t index) const;
    // The slot in FTexts of the text kept under `key`, which is `value`
    // when the key is new.
    uint32_t SharedTextSlot(int64_t key, const TVariant& value);
    // The record's value, packed; false for a value a record cannot hold.
    bool PackValue(const TVariant& value, int64_t shared, TRecord& record);
    // Whether a new cell at (row, col) takes no format from its row or column.
    bool InheritsNothing(uint16_t row, uint16_t col) const;
    // Whether TakeNewCellUses knows what a new cell does to the use counts:
    // under a default record with a font, only once a first cell has shown it.
    bool NewCellUsesKnown() const;
    // The use counts a new cell at a position that inherits nothing takes:
    // the constructor's use of the default record and what Clear does.
    void TakeNewCellUses();

    TBlockVector<TRecord, 12> FRecords; // 4,096 records, 48 KiB per block
    TChunkPool FRowNodes; // the nodes of FRows, which never erases
    TRowMap FRows{TPoolAllocator<std::pair<const uint16_t, TRowCells>>(&FRowNodes)}; // only the rows that hold cells
    TRowMap::value_type* FLastRow = nullptr; // the highest row of FRows, whose node never moves
    mutable std::vector<std::unique_ptr<TCell>> FObjects; // cell objects of stored cells
    std::vector<TVariant> FTexts;                         // texts of the records
    TBlockVector<uint64_t, 12> FNumbers;                  // the bits of their doubles and 64-bit integers
    std::vector<uint32_t> FSharedSlots;                   // small caller's key -> slot in FTexts
    std::unordered_map<int64_t, uint32_t> FSharedTexts;   // other caller's key -> slot in FTexts

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
