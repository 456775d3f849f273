// A worksheet: its cell, row and column stores, ranges, page setup, images
// and view settings.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "model/Cell.h"
#include "model/PageSetup.h"
#include "model/Ranges.h"
#include "model/RowCol.h"

class TWorkbook;

class TSheet {
public:
    // Created by TSheets::Add only. Index is -1 until the sheet is appended.
    explicit TSheet(TWorkbook* workbook);
    ~TSheet();
    TSheet(const TSheet&) = delete;
    TSheet& operator=(const TSheet&) = delete;

    TWorkbook* Workbook() const { return FWorkbook; }
    TCells& Cells() { return *FCells; }
    const TCells& Cells() const { return *FCells; }
    TColumns& Columns() { return *FColumns; }
    const TColumns& Columns() const { return *FColumns; }
    TRows& Rows() { return *FRows; }
    const TRows& Rows() const { return *FRows; }
    TRanges& Ranges() { return *FRanges; }
    const TRanges& Ranges() const { return *FRanges; }
    TPageSetup& PageSetup() { return *FPageSetup; }
    const TPageSetup& PageSetup() const { return *FPageSetup; }
    TXLSImages& Images() { return *FImages; }
    const TXLSImages& Images() const { return *FImages; }
    TStyleTables* StyleTables() const;

    int Index() const { return FIndex; }
    const std::u16string& Name() const { return FName; }
    // Raises EXLSError(7) or (6) as TSheets::ValidateName says; every existing
    // name counts as taken, this sheet's own included.
    void SetName(const std::u16string& name);

    // The rectangle of the stored cells; false (rect untouched) when there are none.
    bool GetUsedRange(TRangeRect& rect) const;
    // The rectangle of the first merged range containing the cell.
    bool FindMergedArea(int row, int col, TRangeRect& rect) const;
    // IncOutlineLevel on rows first..last (none when last < first).
    void GroupRows(int first, int last);
    void GroupColumns(int first, int last);

    // View settings and the password verifier, stored as read.
    uint16_t PasswordHash = 0;
    bool ShowGridLines = true;
    bool ShowHeadings = true;
    bool ShowZeros = true;
    uint16_t FrozenRows = 0;
    uint8_t FrozenColumns = 0;
    unsigned Zoom = 100;
    bool PageBreakPreview = false;

private:
    friend class TSheets;

    TWorkbook* FWorkbook;
    std::unique_ptr<TCells> FCells;
    std::unique_ptr<TColumns> FColumns;
    std::unique_ptr<TRows> FRows;
    std::unique_ptr<TRanges> FRanges;
    int FIndex = -1;
    std::u16string FName;
    std::unique_ptr<TPageSetup> FPageSetup;
    std::unique_ptr<TXLSImages> FImages;
};
