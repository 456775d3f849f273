// Cell rectangles, merged areas and named ranges.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TSheet;

// Inclusive rectangle; also the layout of a sheet's used range.
struct TRangeRect {
    uint16_t FirstRow = 0;
    uint16_t LastRow = 0;
    uint8_t FirstCol = 0;
    uint8_t LastCol = 0;

    bool Contains(int row, int col) const
    {
        return FirstRow <= row && row <= LastRow && FirstCol <= col && col <= LastCol;
    }
    bool Inside(const TRangeRect& outer) const
    {
        return outer.FirstRow <= FirstRow && LastRow <= outer.LastRow && outer.FirstCol <= FirstCol &&
               LastCol <= outer.LastCol;
    }
    // Cells of the rectangle (0 when last is before first).
    uint64_t Area() const
    {
        if (LastRow < FirstRow || LastCol < FirstCol) return 0;
        return uint64_t(LastRow - FirstRow + 1) * uint64_t(LastCol - FirstCol + 1);
    }
    bool operator==(const TRangeRect&) const = default;
};

// A few of the largest rectangles added, to tell cheaply that a rectangle
// lies inside one of them.
class TLargestRects {
public:
    bool Covers(const TRangeRect& rect) const;
    void Add(const TRangeRect& rect);
    void Clear() { FRects.clear(); }

private:
    static constexpr size_t kMaxRects = 8;
    std::vector<TRangeRect> FRects;
};

// An ordered list of rectangles, kept in the order added; they may overlap.
class TRangeRects {
public:
    virtual ~TRangeRects() = default;

    // No check that first is not after last. Returns the new index.
    int Add(uint16_t firstRow, uint16_t lastRow, uint8_t firstCol, uint8_t lastCol);
    // Appends a copy of every rectangle of `other`, in its order.
    void AddRects(const TRangeRects& other);
    // Range error "List index (i) out of bounds" outside 0..Count-1.
    TRangeRect Rect(int index) const;
    int Count() const { return static_cast<int>(FRects.size()); }
    // The last rectangle containing the cell; false (rect untouched) when none does.
    bool FindRect(int row, int col, TRangeRect& rect) const;

private:
    std::vector<TRangeRect> FRects;
};

// A merged area (Merged true, no name) or a named range.
class TRange : public TRangeRects {
public:
    explicit TRange(TSheet* sheet);

    TSheet* Sheet() const { return FSheet; }
    const std::string& Name() const { return FName; }
    // A name containing a space raises EXLSError(11, name); the range keeps its old name.
    void SetName(const std::string& name);
    bool Merged() const { return FMerged; }
    // Sets Merged and gives every cell of every rectangle the merged flag,
    // which stores the cells. Rectangles with last before first mark nothing.
    void Merge();

private:
    TSheet* FSheet;
    std::string FName;
    bool FMerged = false;
};

// A few rectangles whose cells are all stored with the merged flag, as left
// by earlier merges. They hold only while the cell store reports no format
// change of a stored cell and the XF table keeps its generation; a merge of
// a rectangle inside one of them would change nothing and is passed over.
class TMergedCover {
public:
    // True when `rect` lies inside a rectangle known to be merged. Forgets
    // every rectangle first when the cells' formats have changed since.
    bool Covers(const TSheet& sheet, const TRangeRect& rect);
    // Notes `rect` as merged, once its cells have been flagged.
    void Add(const TSheet& sheet, const TRangeRect& rect);

private:
    bool StillHolds(const TSheet& sheet) const;
    void Stamp(const TSheet& sheet);

    uint32_t FFormatChanges = 0;
    uint32_t FXFGeneration = 0;
    TLargestRects FRects;
};

// The sheet's ordered, owning list of ranges.
class TRanges {
public:
    explicit TRanges(TSheet* sheet) : FSheet(sheet) {}

    // A new empty range of the sheet, appended.
    TRange* Add();
    // Range error "List index (i) out of bounds" outside 0..Count-1.
    TRange* Items(int index) const;
    int Count() const { return static_cast<int>(FRanges.size()); }
    // Removes and frees the range at `index`; range error as Items.
    void Delete(int index);
    // What the merges of this sheet have flagged so far (used by TRange::Merge).
    TMergedCover& MergedCover() { return FMergedCover; }

private:
    TSheet* FSheet;
    std::vector<std::unique_ptr<TRange>> FRanges;
    TMergedCover FMergedCover;
};
