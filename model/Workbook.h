// The workbook: its sheets and its style tables.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/Items.h"
#include "model/Sheet.h"
#include "styles/XLSFont.h"
#include "styles/XLSFormatStr.h"
#include "styles/XLSFormatXF.h"

class TWorkbook;

// The ordered, owning list of sheets. Sheets are only appended, and removed
// all at once by Clear.
class TSheets {
public:
    explicit TSheets(TWorkbook* workbook) : FWorkbook(workbook) {}

    // Raises EXLSError(7) or (6) for an invalid name and adds nothing.
    TSheet* Add(const std::u16string& name);
    int Count() const { return static_cast<int>(FSheets.size()); }
    // Range error "List index (i) out of bounds !" outside 0..Count-1.
    TSheet* Items(int index) const;
    // First sheet whose name equals `name` exactly, or null.
    TSheet* FindByName(const std::u16string& name) const;
    // 0 when acceptable; 7 for an empty name or one over 255 units; 6 for a
    // name blank after trimming (in the 8-bit code page) or already used.
    uint8_t ValidateName(const std::u16string& name) const;
    void Clear();
    TWorkbook* Workbook() const { return FWorkbook; }

private:
    friend class TSheet;
    // Keeps the name index true when an appended sheet takes a new name.
    void Renamed(TSheet* sheet, const std::u16string& oldName);

    TWorkbook* FWorkbook;
    std::vector<std::unique_ptr<TSheet>> FSheets;
    // The appended sheets by name, so that a name is checked in constant time.
    std::unordered_map<std::u16string, TSheet*> FByName;
};

class TWorkbook {
public:
    // Builds the tables and appends `sheetCount` sheets named Sheet1, Sheet2, ...
    explicit TWorkbook(int sheetCount = 1);
    // Frees the sheets, then the format strings, the font table and the XF table.
    ~TWorkbook();
    TWorkbook(const TWorkbook&) = delete;
    TWorkbook& operator=(const TWorkbook&) = delete;

    TSheets& Sheets() { return *FSheets; }
    const TSheets& Sheets() const { return *FSheets; }
    TFormatStrings& FormatStrings() { return *FFormatStrings; }
    TVirtualFontTable& FontTable() { return *FFontTable; }
    TVirtualXFTable& XFTable() { return *FXFTable; }
    const TFormatStrings& FormatStrings() const { return *FFormatStrings; }
    const TVirtualFontTable& FontTable() const { return *FFontTable; }
    const TVirtualXFTable& XFTable() const { return *FXFTable; }
    // The one style context every sheet and item points at.
    TStyleTables* StyleTables() { return &FStyleTables; }
    // The colours of the palette indexes: the default ones unless a file's
    // PALETTE record replaced them.
    TPalette& Palette() { return FPalette; }
    const TPalette& Palette() const { return FPalette; }

    // Frees every sheet, puts fresh format strings (built-ins only) and a
    // fresh font table in place, resets Date1904 and the palette. The XF table stays.
    void Clear();

    uint16_t PasswordHash = 0; // workbook PASSWORD verifier, 0 = none
    bool Date1904 = false;     // DATEMODE: serials count from 1904-01-01

private:
    std::unique_ptr<TSheets> FSheets;
    std::unique_ptr<TFormatStrings> FFormatStrings;
    std::unique_ptr<TVirtualFontTable> FFontTable;
    std::unique_ptr<TVirtualXFTable> FXFTable;
    TPalette FPalette;
    TStyleTables FStyleTables;
};
