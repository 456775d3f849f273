// Fonts and colours: the interned font table with its edit buffer, the
// 58-entry palette and the conversions between file colour indexes, palette
// indexes and RGB colours.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "styles/VDataTable.h"

// An RGB colour as 0x00BBGGRR. A value with bit 31 set names a system colour
// (its low byte is the system colour index) and is resolved before use.
using TColor = uint32_t;

constexpr TColor RGBColor(uint8_t r, uint8_t g, uint8_t b)
{
    return static_cast<TColor>(r) | (static_cast<TColor>(g) << 8) | (static_cast<TColor>(b) << 16);
}
constexpr uint8_t RedOf(TColor c) { return c & 0xFF; }
constexpr uint8_t GreenOf(TColor c) { return (c >> 8) & 0xFF; }
constexpr uint8_t BlueOf(TColor c) { return (c >> 16) & 0xFF; }
constexpr TColor SystemColorFlag = 0x80000000u;
constexpr TColor SystemColor(uint8_t index) { return SystemColorFlag | index; }

// Palette indexes of the automatic colours.
constexpr uint8_t AutoForegroundColor = 57; // window text
constexpr uint8_t AutoBackgroundColor = 58; // window
constexpr uint8_t PaletteCount = 58;

// The colours of palette indexes 1..58: the [MS-XLS] default palette (colour
// indexes 8..63), then the two automatic colours (both black). A workbook
// owns one; its PALETTE record may replace entries 1..56.
class TPalette {
public:
    // Entries of a file's PALETTE record; the first stands for colour index 8.
    static constexpr uint8_t FileEntryCount = 56;

    // The default palette.
    TPalette();
    static const TPalette& Default();

    // RGB of entry (index and 0x7F); indexes outside 1..58 give black.
    TColor Color(uint8_t index) const;
    // The index 1..58 nearest to the colour (system colours resolved first);
    // ties keep the lower index.
    uint8_t NearestIndex(TColor color) const;
    // Replaces entry 1..56 (colour index 8..63); other indexes change nothing.
    void SetColor(uint8_t index, TColor color);
    // Back to the default palette.
    void Reset() { *this = Default(); }

    bool operator==(const TPalette&) const = default;

private:
    std::array<TColor, PaletteCount> FColors;
};

// Palette index of a file colour index (icv): 8..65 give icv - 7; every other
// value (0..7, the automatic font colour 0x7FFF, ...) gives 1.
uint8_t ColorIndexFromFile(uint16_t icv);
// The palette's Color and NearestIndex, of the default palette unless one is given.
TColor PaletteColor(uint8_t index, const TPalette& palette = TPalette::Default());
uint8_t NearestColorIndex(TColor color, const TPalette& palette = TPalette::Default());

// Font record. Its byte form (Bytes, 209 bytes: the fields in this order,
// little-endian, no padding) is what the table compares and interns.
struct TFontRecord {
    uint8_t Bold;          // 1 when the file's weight is exactly 700
    uint8_t Italic;
    uint8_t Underline;     // 1 when UnderlineKind is not 0
    uint8_t StrikeOut;
    uint8_t UnderlineKind; // 0 none, 1 single, 2 double, 0x21/0x22 accounting
    uint8_t Script;        // 0 normal, 1 superscript, 2 subscript
    uint8_t ColorIndex;    // palette index 1..58
    uint16_t Size;         // whole points
    char16_t NameUnits[100]; // zero-filled after the name; no terminator at 100 units

    // The name up to its first zero unit (at most 100 units).
    std::u16string Name() const;
    // Zero-fills the field and copies at most 100 units.
    void SetName(const std::u16string& name);

    bool operator==(const TFontRecord&) const = default;
    static constexpr size_t ByteSize = 209;
    std::string Bytes() const;
    // Fills the record from 209 bytes (a shorter string leaves the rest zero).
    static TFontRecord FromBytes(const std::string& bytes);
    // All flags and codes 0, ColorIndex 57, Size 10, Name "Arial".
    static TFontRecord Default();
};

class TVirtualFontTable : public TVirtualRecordTable<TFontRecord> {
public:
    // The default font becomes record 0 with one use.
    TVirtualFontTable();

    // Converts a BIFF8 FONT record body into Buffer (after ResetBuffer); reads
    // only the bytes that are there.
    TFontRecord& ReadFontRecord(const uint8_t* body, size_t size);
};
