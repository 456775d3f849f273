// The workbook-globals records of BIFF5/BIFF7 (Excel 5.0 and 95) whose
// layout differs from BIFF8: names and texts of 8-bit characters with a
// one-byte length, and the 16-byte XF record.
#include "reading/XLSReader.h"

#include <algorithm>

#include "model/Workbook.h"
#include "reading/RecordCursor.h"

// BOUNDSHEET of BIFF5/7, and BUNDLESHEET of a BIFF4 workbook: stream
// position (4), visibility (1), kind (1), count (1), name.
void TXLSReader::HandleBoundSheet5()
{
    TEasyStream& data = FCursor->Data();
    data.Skip(5);
    uint8_t kind = 0, count = 0;
    data.ReadByte(kind);
    data.ReadByte(count);
    FWorkbook.Sheets().Add(WideOf(ReadBytes8(count)));
    FSheetKinds.push_back(kind);
    FCursor->Consumed = true;
}

// FONT: the BIFF8 fields up to offset 14, then count (1) and the name.
void TXLSReader::HandleFont5()
{
    BeginFontTable();
    TEasyStream& data = FCursor->Data();
    FWorkbook.FontTable().ReadFontRecord(data.Data(), std::min<size_t>(data.Size(), 14));
    data.Skip(14);
    uint8_t count = 0;
    data.ReadByte(count);
    AppendFont(ReadBytes8(count));
}

// FORMAT: code (2), count (1), characters.
void TXLSReader::HandleFormat5()
{
    TEasyStream& data = FCursor->Data();
    uint16_t code = 0;
    uint8_t count = 0;
    data.ReadWord(code);
    data.ReadByte(count);
    AddOlderFormat(code, ReadBytes8(count));
}

namespace {

uint32_t Bits(uint32_t value, int first, int count)
{
    return (value >> first) & ((1u << count) - 1);
}

} // namespace

// XF, 16 bytes: font (2), format (2), protection (2), alignment (1),
// orientation (1), then fill and bottom border (4), other borders (4).
void TXLSReader::HandleXF5()
{
    BeginXFTable();
    TEasyStream& data = FCursor->Data();
    uint16_t font = 0, format = 0, protection = 0;
    uint8_t alignment = 0, orientation = 0;
    uint32_t fill = 0, borders = 0;
    data.ReadWord(font);
    data.ReadWord(format);
    data.ReadWord(protection);
    data.ReadByte(alignment);
    data.ReadByte(orientation);
    data.ReadDWord(fill);
    data.ReadDWord(borders);

    TXFRecord& rec = FWorkbook.XFTable().ResetBuffer();
    rec.FontIndex = font;
    rec.FormatIndex = format;
    rec.Locked = protection & 0x0001;
    rec.StyleXF = (protection & 0x0004) ? 1 : 0;
    rec.HAlign = alignment & 0x07;
    rec.WrapText = (alignment >> 3) & 0x01;
    rec.VAlign = (alignment >> 4) & 0x07;
    // Not rotated, stacked, 90 degrees counter-clockwise, 90 degrees clockwise.
    static constexpr uint8_t Rotations[4] = {0, 255, 90, 180};
    rec.Rotation = Rotations[orientation & 0x03];
    SetFileFill(rec, uint8_t(Bits(fill, 16, 6)), uint16_t(Bits(fill, 0, 7)), uint16_t(Bits(fill, 7, 7)));
    rec.BorderStyle[BorderBottom] = uint8_t(Bits(fill, 22, 3));
    rec.BorderColor[BorderBottom] = ColorIndexFromFile(uint16_t(Bits(fill, 25, 7)));
    rec.BorderStyle[BorderTop] = uint8_t(Bits(borders, 0, 3));
    rec.BorderStyle[BorderLeft] = uint8_t(Bits(borders, 3, 3));
    rec.BorderStyle[BorderRight] = uint8_t(Bits(borders, 6, 3));
    rec.BorderColor[BorderTop] = ColorIndexFromFile(uint16_t(Bits(borders, 9, 7)));
    rec.BorderColor[BorderLeft] = ColorIndexFromFile(uint16_t(Bits(borders, 16, 7)));
    rec.BorderColor[BorderRight] = ColorIndexFromFile(uint16_t(Bits(borders, 23, 7)));
    AppendXF();
}
