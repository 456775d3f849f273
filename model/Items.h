// Style-bearing items (cells, rows, columns) and the keyed stores that own them.
//
// Conventions of the model headers: owned objects, back references and
// values that a setter checks or propagates are reached through methods
// (`Owner()`, `XFIndex()`, `SetXFIndex()`); plain settings that are stored
// as read and never validated are public data members (`TSheet::Zoom`,
// `TPageSetup::TopMargin`, `TWorkbook::PasswordHash`).
//
// An item is pending or stored. A store hands out one new, unstored item
// for an empty key (its pending item) and stores it only when one of the
// item's setters reports a change through Changed(); at most one item per
// store is pending. Stored items are kept in insertion order and never
// removed one by one.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "styles/XLSFont.h"
#include "styles/XLSFormatXF.h"

class TFormatStrings;
class TSheet;
class TCustomXLSItems;

// The workbook's style context: non-owning references to its tables. Every
// sheet and store points at the workbook's one record, so replacing a table
// is seen everywhere at once.
struct TStyleTables {
    TVirtualFontTable* FontTable = nullptr;
    TVirtualXFTable* XFTable = nullptr;
    TFormatStrings* FormatStrings = nullptr;
    TPalette* Palette = nullptr;
};

// An item that holds an index into the workbook's XF table and offers one
// setter and one getter per formatting property. Setters are copy-on-write:
// they load the item's record into the table's edit buffer, change one
// field, commit and take the returned index. Setters that are virtual are
// overridden by rows and columns, which pass the change on to their cells.
class TCustomXLSItem {
public:
    // XFIndex = the XF table's DefaultIndex, with one use taken on it.
    explicit TCustomXLSItem(TCustomXLSItems* owner);
    // Releases the font of the item's XF record and the XF record.
    virtual ~TCustomXLSItem();
    TCustomXLSItem(const TCustomXLSItem&) = delete;
    TCustomXLSItem& operator=(const TCustomXLSItem&) = delete;

    bool Stored() const { return FStored; }
    TCustomXLSItems* Owner() const { return FOwner; }
    TStyleTables* StyleTables() const;
    // The workbook's palette, which the colour getters and setters use.
    const TPalette& Palette() const;
    int32_t XFIndex() const { return FXFIndex; }
    // A format read from the file: when it differs, XFIndex becomes `index`
    // and the owner is notified; no use counts change.
    void SetXFIndex(int32_t index);
    // The item's XF record (the default record when XFIndex is outside the table).
    TXFRecord XFRecord() const;
    // The font record of the item's XF record (the default font when outside the table).
    TFontRecord FontRecord() const;

    // Setters, in slot order. "Stores" = sends Changed to the owner.
    virtual void SetFillColorIndex(uint8_t index);      // 0: stores unless 58
    virtual void SetPatternColorIndex(uint8_t index);   // 1: stores unless 57
    virtual void SetFillColor(TColor color);            // 2: slot 0 via NearestColorIndex
    virtual void SetPatternColor(TColor color);         // 3: slot 1 via NearestColorIndex
    virtual void SetFillPattern(uint8_t pattern);       // 4: stores unless 0
    virtual void SetHorizontalAlignment(uint8_t align); // 5: stores unless 0
    virtual void SetVerticalAlignment(uint8_t align);   // 6: stores unless 2 (the default)
    virtual void SetMerged(bool merged);                // 7: stores when true
    virtual void SetWrapText(bool wrap);                // 8: stores when true
    virtual void SetRotation(uint8_t rotation);         // 9: stores unless 0
    virtual void SetIndent(uint8_t indent);             // 10: above 15 stored as 15; stores unless 0
    virtual void SetLocked(bool locked);                // 11: stores when false
    virtual void SetBorderColorIndex(int side, uint8_t index); // 12: side 0..3, 4 = all; always stores
    virtual void SetBorderColor(int side, TColor color);       // 13
    virtual void SetBorderStyle(int side, uint8_t style);      // 14: always stores
    virtual void SetFormatIndex(uint16_t pos);          // 15: position in the format strings
    virtual void SetFontBold(bool bold);                // 16..25: font setters, always store
    virtual void SetFontItalic(bool italic);
    virtual void SetFontUnderline(bool underline);
    virtual void SetFontStrikeout(bool strikeout);
    virtual void SetFontUnderlineStyle(uint8_t kind);
    virtual void SetFontScript(uint8_t script);
    virtual void SetFontName(const std::u16string& name); // at most 100 units kept
    virtual void SetFontColorIndex(uint8_t index);
    virtual void SetFontColor(TColor color);
    virtual void SetFontSize(uint16_t points);
    // XF FontIndex; stores unless 0.
    void SetFontIndex(uint16_t index);

    // Getters.
    uint8_t FillColorIndex() const { return XFRecord().FillColor; }
    uint8_t PatternColorIndex() const { return XFRecord().PatternColor; }
    TColor FillColor() const { return PaletteColor(FillColorIndex(), Palette()); }
    TColor PatternColor() const { return PaletteColor(PatternColorIndex(), Palette()); }
    uint8_t FillPattern() const { return XFRecord().FillPattern; }
    uint8_t HorizontalAlignment() const { return XFRecord().HAlign; }
    uint8_t VerticalAlignment() const { return XFRecord().VAlign; }
    bool Merged() const { return XFRecord().Merged != 0; }
    bool WrapText() const { return XFRecord().WrapText != 0; }
    uint8_t Rotation() const { return XFRecord().Rotation; }
    uint8_t Indent() const { return XFRecord().Indent; }
    // 58 / 0 for a side outside 0..3.
    uint8_t BorderColorIndex(int side) const;
    TColor BorderColor(int side) const { return PaletteColor(BorderColorIndex(side), Palette()); }
    uint8_t BorderStyle(int side) const;
    uint16_t FormatIndex() const { return XFRecord().FormatIndex; }
    uint16_t FontIndex() const { return XFRecord().FontIndex; }
    bool FontBold() const { return FontRecord().Bold != 0; }
    bool FontItalic() const { return FontRecord().Italic != 0; }
    bool FontUnderline() const { return FontRecord().Underline != 0; }
    bool FontStrikeout() const { return FontRecord().StrikeOut != 0; }
    uint8_t FontUnderlineStyle() const { return FontRecord().UnderlineKind; }
    uint8_t FontScript() const { return FontRecord().Script; }
    std::u16string FontName() const { return FontRecord().Name(); }
    uint8_t FontColorIndex() const { return FontRecord().ColorIndex; }
    TColor FontColor() const { return PaletteColor(FontColorIndex(), Palette()); }
    uint16_t FontSize() const { return FontRecord().Size; }

protected:
    // An item that is stored already and holds a use of `xfIndex` and of its
    // font (the cell object of a stored cell record).
    TCustomXLSItem(TCustomXLSItems* owner, int32_t xfIndex) : FOwner(owner), FXFIndex(xfIndex), FStored(true) {}
    // Sends Changed(this) to the owner.
    void NotifyChanged();
    // Replaces XFIndex without touching use counts (style inheritance, Clear).
    void AssignXFIndex(int32_t index) { ReplaceXFIndex(index); }

private:
    friend class TCustomXLSItems;

    // Copy-on-write of one XF field; `isDefault` decides whether to notify.
    template <class Edit>
    void EditXF(bool checkUnchanged, bool notify, Edit edit);
    template <class Edit>
    void EditFont(Edit edit);
    // Every change of FXFIndex goes through here, so that the owner can count
    // the format changes of its stored items.
    void ReplaceXFIndex(int32_t index);

    TCustomXLSItems* FOwner;
    int32_t FXFIndex;
    bool FStored = false;
};

// The owning, insertion-ordered list of a store's items with a hash index on
// a 32-bit key (the key bytes read as little-endian). Buckets are chosen by
// the CRC hash of the key bytes; each bucket entry keeps the key beside the
// item and its list position, so a lookup compares plain integers and needs
// no further indirection once it has found the key.
//
// The bucket table grows with the items, up to `bucketCount` buckets: an
// empty store holds no table and a store of a few items a small one, so a
// workbook of many small sheets costs what its sheets hold.
class TKeyedItemList {
public:
    // `keySize`: 2 or 4 key bytes; `bucketCount`: the most buckets, 1..65535.
    TKeyedItemList(uint32_t bucketCount, unsigned keySize);

    int Count() const { return static_cast<int>(FItems.size()); }
    TCustomXLSItem* Items(int index) const { return FItems[static_cast<size_t>(index)].get(); }
    // Appends the item under `key`; returns its position.
    int Add(std::unique_ptr<TCustomXLSItem> item, uint32_t key);
    // Position of the first item stored under `key`, or -1.
    int IndexOf(uint32_t key) const;
    TCustomXLSItem* Find(uint32_t key) const;
    // Bucket of a key under the table's present size (0 while it has none).
    uint32_t BucketOf(uint32_t key) const;
    // Buckets in use now; grows towards MaxBucketCount() as items are added.
    uint32_t BucketCount() const { return static_cast<uint32_t>(FBuckets.size()); }
    uint32_t MaxBucketCount() const { return FMaxBucketCount; }
    unsigned KeySize() const { return FKeySize; }
    // Longest bucket (for measurements).
    size_t LongestBucket() const;

private:
    struct TEntry {
        uint32_t Key;
        uint32_t Index;
        TCustomXLSItem* Item;
    };
    // The first entry of `key`, or null.
    const TEntry* Lookup(uint32_t key) const;
    // A larger table once the items outnumber the buckets; entries keep their order per bucket.
    void GrowBuckets();

    uint32_t FMaxBucketCount;
    unsigned FKeySize;
    std::vector<std::unique_ptr<TCustomXLSItem>> FItems;
    std::vector<std::vector<TEntry>> FBuckets; // none until the first item
};

// The keyed item store shared by cells, rows and columns.
class TCustomXLSItems {
public:
    TCustomXLSItems(TSheet* sheet, TStyleTables* styleTables, uint32_t bucketCount, unsigned keySize);
    virtual ~TCustomXLSItems();
    TCustomXLSItems(const TCustomXLSItems&) = delete;
    TCustomXLSItems& operator=(const TCustomXLSItems&) = delete;

    // Unless Updating: an unstored item is appended to the list and marked
    // stored; if it was the pending item the pending slot is cleared.
    virtual void Changed(TCustomXLSItem* item);
    // The item's key as bytes: 4 for cells, 2 for rows and columns.
    virtual std::string KeyOf(const TCustomXLSItem* item) const;
    // Position of the stored item with the same key, -1 if none.
    virtual int IndexOf(const TCustomXLSItem* item) const;

    virtual int Count() const { return FList.Count(); }
    // Range error "List index (i) out of bounds" outside 0..Count-1.
    virtual TCustomXLSItem* Items(int index) const;

    TSheet* Sheet() const { return FSheet; }
    TStyleTables* StyleTables() const { return FStyleTables; }
    TCustomXLSItem* PendingItem() const { return FPendingItem.get(); }
    // Grows whenever the XF index of a stored item changes: work that relies
    // on the formats of stored items (merged areas) can tell that it still holds.
    uint32_t StoredFormatChanges() const { return FStoredFormatChanges; }
    bool Updating() const { return FUpdating; }
    void SetUpdating(bool updating) { FUpdating = updating; }
    const TKeyedItemList& List() const { return FList; }

protected:
    // The item's key as a number (row | col << 16 for cells, the index for rows and columns).
    virtual uint32_t KeyValueOf(const TCustomXLSItem* item) const = 0;
    TCustomXLSItem* FindByKey(uint32_t key) const { return FList.Find(key); }
    // Frees the pending item, if any, and makes `item` the pending one.
    TCustomXLSItem* SetPending(std::unique_ptr<TCustomXLSItem> item);
    std::unique_ptr<TCustomXLSItem>& PendingSlot() { return FPendingItem; }
    // For stores that keep their items themselves: the pending item, taken
    // out of its slot; marking an item stored; counting a format change of a
    // stored item made without one.
    std::unique_ptr<TCustomXLSItem> TakePending() { return std::move(FPendingItem); }
    static void MarkStored(TCustomXLSItem& item) { item.FStored = true; }
    void NoteStoredFormatChange() { ++FStoredFormatChanges; }

private:
    TSheet* FSheet;
    TStyleTables* FStyleTables;
    TKeyedItemList FList;
    std::unique_ptr<TCustomXLSItem> FPendingItem;
    bool FUpdating = false;
    uint32_t FStoredFormatChanges = 0;
    friend class TCustomXLSItem;
};
