// Cell formats: the interned table of XF records with its edit buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "styles/VDataTable.h"

// XF record. Its byte form (Bytes, 23 bytes: the fields in this order,
// little-endian, no padding) is what the table compares and interns.
struct TXFRecord {
    uint16_t FontIndex;    // index into the font table
    uint16_t FormatIndex;  // position in the workbook's format strings (not the file's code)
    uint8_t HAlign;        // 0 general, 1 left, 2 centre, 3 right, 4 fill, 5 justify, 6 centre across, 7 distributed
    uint8_t VAlign;        // 0 top, 1 centre, 2 bottom, 3 justify, 4 distributed
    uint8_t Rotation;      // BIFF8 rotation byte
    uint8_t WrapText;
    uint8_t FillPattern;   // 0 none, 1 solid, 2..18 patterns
    uint8_t PatternColor;  // palette index
    uint8_t FillColor;     // palette index
    uint8_t Merged;        // the cell belongs to a merged area
    uint8_t Indent;        // 0..15
    uint8_t BorderColor[4]; // left, right, top, bottom
    uint8_t BorderStyle[4]; // left, right, top, bottom
    uint8_t StyleXF;
    uint8_t Locked;

    bool operator==(const TXFRecord&) const = default;
    static constexpr size_t ByteSize = 23;
    std::string Bytes() const;
    // Fills the record from 23 bytes (a shorter string leaves the rest zero).
    static TXFRecord FromBytes(const std::string& bytes);
    // Font 0, format 0, VAlign 2, PatternColor 57, FillColor 58, border
    // colours 58, Locked 1, everything else 0.
    static TXFRecord Default();
};

// The fill of `rec` from a file's pattern and its two colour indexes: for
// the solid pattern (1) the fill colour is the foreground and the pattern
// colour the background; for every other pattern the other way round.
void SetFileFill(TXFRecord& rec, uint8_t pattern, uint16_t foreIcv, uint16_t backIcv);

// Border sides.
constexpr int BorderLeft = 0, BorderRight = 1, BorderTop = 2, BorderBottom = 3, BorderAll = 4;

// Clear, ResetBuffer, Load, Commit, Append, AddRef and Release work as for
// fonts; Clear keeps DefaultRecord and DefaultIndex.
class TVirtualXFTable : public TVirtualRecordTable<TXFRecord> {
public:
    // The default record becomes record 0 with one use; DefaultIndex 0.
    TVirtualXFTable();

    // DefaultIndex = index of DefaultRecord, appending it when absent.
    void EnsureDefault();

    // Converts a BIFF8 XF record body into Buffer (after ResetBuffer). The
    // font and format indexes are copied as the file has them; the reader
    // corrects them before Append. Reads only the bytes that are there.
    TXFRecord& ReadXFRecord(const uint8_t* body, size_t size);

    // No number format, wrapping, fill, merge, indent or border, and locked.
    static bool IsPlain(const TXFRecord& rec);

    // Record `index`, or the default record for an index outside the table.
    const TXFRecord& GetOrDefault(int index) const;
    const std::string& DefaultRecord() const { return FDefaultRecord; }
    int DefaultIndex() const { return FDefaultIndex; }

private:
    std::string FDefaultRecord;
    TXFRecord FDefaultDecoded = TXFRecord::Default();
    int FDefaultIndex = 0;
};
