// The workbook's list of number formats: 36 built-ins, then the file's own.
// A format's position in the list is what XF records store.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TNumberFormat {
    uint16_t Code;      // the format code as the file numbers it
    std::string Format; // 8-bit, system code page
};

class TFormatStrings {
public:
    // The 36 built-in formats at positions 0..35.
    TFormatStrings();

    int Count() const { return static_cast<int>(FFormats.size()); }
    // A copy of the record at `pos`; range error outside 0..Count-1.
    TNumberFormat Get(int pos) const;
    // The record at `pos` itself, valid until the list changes; range error as Get.
    const TNumberFormat& At(int pos) const;
    // First position whose Code equals `code`, or -1.
    int PositionOf(uint16_t code) const;
    // Replaces the text of a listed code (keeping its position) or appends a
    // new record; returns the position.
    int SetFormat(const std::string& text, uint16_t code);
    // Grows whenever a listed text is replaced, so that what was worked out
    // from a position's text can tell that it still holds.
    uint32_t Replacements() const { return FReplacements; }

private:
    uint32_t FReplacements = 0;
    std::vector<TNumberFormat> FFormats;
};
