// The records of BIFF2, BIFF3 and BIFF4 (Excel 2.x to 4.0) whose layout
// differs from the later versions: fonts, formats and XFs of each version,
// and the BIFF2 cell records with their 3-byte cell attributes.
#include "reading/XLSReader.h"

#include "model/Workbook.h"
#include "platform/ScreenMetrics.h"
#include "reading/RecordCursor.h"

namespace {

uint32_t Bits(uint32_t value, int first, int count)
{
    return (value >> first) & ((1u << count) - 1);
}

// A colour index of the 5-bit fields of BIFF3/4 XFs: 0..7 are the same
// eight colours as 8..15.
uint16_t OlderIcv(uint32_t icv)
{
    return uint16_t(icv < 8 ? icv + 8 : icv);
}

} // namespace

// FONT of BIFF2 (0x0031) and BIFF3/4 (0x0231): height (2), options (2:
// bit 0 bold, 1 italic, 2 underline, 3 strike-out), in BIFF3/4 a colour
// index (2), then count (1) and the name. BIFF2 keeps its colours in
// FONTCOLOR records, which are not read.
void TXLSReader::HandleFont2()
{
    BeginFontTable();
    TEasyStream& data = FCursor->Data();
    uint16_t height = 0, options = 0, color = 0x7FFF;
    data.ReadWord(height);
    data.ReadWord(options);
    if (FVersion >= 3) data.ReadWord(color);
    uint8_t count = 0;
    data.ReadByte(count);

    TFontRecord& font = FWorkbook.FontTable().ResetBuffer();
    font.Size = uint16_t(height / 20);
    font.Bold = options & 0x01;
    font.Italic = (options >> 1) & 0x01;
    font.Underline = font.UnderlineKind = (options >> 2) & 0x01;
    font.StrikeOut = (options >> 3) & 0x01;
    font.ColorIndex = ColorIndexFromFile(color);
    AppendFont(ReadBytes8(count));
}

// FORMAT of BIFF2/3 (0x001E: count, characters) and BIFF4 (0x041E: two
// unused bytes first); the n-th FORMAT record is format n.
void TXLSReader::HandleFormat2()
{
    if (FCursor->Record().Id == 0x041E) FCursor->Data().Skip(2);
    uint8_t count = 0;
    FCursor->Data().ReadByte(count);
    AddOlderFormat(uint16_t(OlderFormatCodes + FOlderFormatCount++), ReadBytes8(count));
}

// XF of BIFF2 (4 bytes): font (1), unused (1), format in bits 0-5 and
// locked in bit 6 (1), horizontal alignment in bits 0-2 and a thin border
// per side in bits 3-6 (1).
void TXLSReader::HandleXF2()
{
    BeginXFTable();
    TEasyStream& data = FCursor->Data();
    uint8_t font = 0, format = 0, style = 0;
    data.ReadByte(font);
    data.Skip(1);
    data.ReadByte(format);
    data.ReadByte(style);
    TXFRecord& rec = FWorkbook.XFTable().ResetBuffer();
    rec.FontIndex = font;
    rec.FormatIndex = format & 0x3F;
    rec.Locked = (format >> 6) & 0x01;
    rec.HAlign = style & 0x07;
    static constexpr int Sides[4] = {BorderLeft, BorderRight, BorderTop, BorderBottom};
    for (int i = 0; i < 4; ++i) rec.BorderStyle[Sides[i]] = (style >> (3 + i)) & 0x01;
    AppendXF();
}

// The fill (2) and borders (4) at offset 6 of the 12-byte XFs of BIFF3/4.
static void ReadOlderXFFill(TEasyStream& data, TXFRecord& rec)
{
    uint16_t fill = 0;
    uint32_t borders = 0;
    data.ReadWord(fill);
    data.ReadDWord(borders);
    SetFileFill(rec, uint8_t(Bits(fill, 0, 6)), OlderIcv(Bits(fill, 6, 5)), OlderIcv(Bits(fill, 11, 5)));
    static constexpr int Sides[4] = {BorderTop, BorderLeft, BorderBottom, BorderRight};
    for (int i = 0; i < 4; ++i) {
        rec.BorderStyle[Sides[i]] = uint8_t(Bits(borders, 8 * i, 3));
        rec.BorderColor[Sides[i]] = ColorIndexFromFile(OlderIcv(Bits(borders, 8 * i + 3, 5)));
    }
}

// XF of BIFF3 (12 bytes): font (1), format (1), protection (1), used
// attributes (1), alignment and parent (2), fill (2), borders (4).
void TXLSReader::HandleXF3()
{
    BeginXFTable();
    TEasyStream& data = FCursor->Data();
    uint8_t font = 0, format = 0, protection = 0;
    uint16_t alignment = 0;
    data.ReadByte(font);
    data.ReadByte(format);
    data.ReadByte(protection);
    data.Skip(1);
    data.ReadWord(alignment);
    TXFRecord& rec = FWorkbook.XFTable().ResetBuffer();
    rec.FontIndex = font;
    rec.FormatIndex = format;
    rec.Locked = protection & 0x01;
    rec.StyleXF = (protection >> 2) & 0x01;
    rec.HAlign = alignment & 0x07;
    rec.WrapText = (alignment >> 3) & 0x01;
    ReadOlderXFFill(data, rec);
    AppendXF();
}

// XF of BIFF4 (12 bytes): font (1), format (1), protection and parent (2),
// alignment (1: horizontal 0-2, wrap 3, vertical 4-5, orientation 6-7),
// used attributes (1), fill (2), borders (4).
void TXLSReader::HandleXF4()
{
    BeginXFTable();
    TEasyStream& data = FCursor->Data();
    uint8_t font = 0, format = 0, alignment = 0;
    uint16_t protection = 0;
    data.ReadByte(font);
    data.ReadByte(format);
    data.ReadWord(protection);
    data.ReadByte(alignment);
    data.Skip(1);
    TXFRecord& rec = FWorkbook.XFTable().ResetBuffer();
    rec.FontIndex = font;
    rec.FormatIndex = format;
    rec.Locked = protection & 0x01;
    rec.StyleXF = (protection >> 2) & 0x01;
    rec.HAlign = alignment & 0x07;
    rec.WrapText = (alignment >> 3) & 0x01;
    rec.VAlign = (alignment >> 4) & 0x03;
    static constexpr uint8_t Rotations[4] = {0, 255, 90, 180};
    rec.Rotation = Rotations[(alignment >> 6) & 0x03];
    ReadOlderXFFill(data, rec);
    AppendXF();
}

// IXFE: the XF of the BIFF2 cell records that follow with XF 63 in their
// attributes.
void TXLSReader::HandleIxfe2()
{
    FCursor->Data().ReadWord(FIxfe);
    FCursor->Consumed = true;
}

TXLSReader::TCell2Head TXLSReader::ReadCell2Head()
{
    TEasyStream& data = FCursor->Data();
    TCell2Head head;
    uint8_t attributes[3] = {};
    data.ReadWord(head.Row);
    data.ReadWord(head.Col);
    data.ReadBytes(attributes, sizeof attributes);
    head.XF = attributes[0] & 0x3F;
    if (head.XF == 63) head.XF = FIxfe;
    return head;
}

void TXLSReader::HandleBlank2()
{
    if (FOptions.ReadBlankCells) {
        const TCell2Head head = ReadCell2Head();
        FormatEmptyCell(head.Row, head.Col, head.XF);
    }
    FCursor->Consumed = true;
}

void TXLSReader::HandleInteger2()
{
    const TCell2Head head = ReadCell2Head();
    uint16_t value = 0;
    FCursor->Data().ReadWord(value);
    SetCellValue(head.Row, head.Col, head.XF, TVariant::Double(value));
    FCursor->Consumed = true;
}

void TXLSReader::HandleNumber2()
{
    const TCell2Head head = ReadCell2Head();
    double value = 0;
    FCursor->Data().ReadDouble(value);
    SetCellValue(head.Row, head.Col, head.XF, TVariant::Double(value));
    FCursor->Consumed = true;
}

void TXLSReader::HandleLabel2()
{
    const TCell2Head head = ReadCell2Head();
    uint8_t count = 0;
    FCursor->Data().ReadByte(count);
    SetCellValue(head.Row, head.Col, head.XF, TextValue(ReadBytes8(count)));
    FCursor->Consumed = true;
}

// Value byte and error flag as in BIOOLERR of the later versions.
void TXLSReader::HandleBoolErr2()
{
    const TCell2Head head = ReadCell2Head();
    uint16_t word = 0;
    FCursor->Data().ReadWord(word);
    if (word <= 1) SetCellValue(head.Row, head.Col, head.XF, TVariant::Boolean(word == 1));
    FCursor->Consumed = true;
}

// FORMULA of BIFF2: cell attributes, result (8), options (1), token size (1).
void TXLSReader::HandleFormula2()
{
    const TCell2Head head = ReadCell2Head();
    ReadFormulaRecord(head.Row, head.Col, head.XF, 1, 0, 1);
}

// FORMULA of BIFF3 (0x0206) and BIFF4 (0x0406): XF (2), result (8),
// options (2), token size (2), without the chain field of the later versions.
void TXLSReader::HandleFormula3()
{
    TEasyStream& data = FCursor->Data();
    uint16_t row = 0, col = 0, xf = 0;
    data.ReadWord(row);
    data.ReadWord(col);
    data.ReadWord(xf);
    ReadFormulaRecord(row, col, xf, 2, 0, 2);
}

// STRING of BIFF2: count (1), characters.
void TXLSReader::HandleString2()
{
    if (FPendingRow >= 0 && FPendingCol >= 0 && FPendingXF >= 0) {
        uint8_t count = 0;
        FCursor->Data().ReadByte(count);
        SetCellValue(FPendingRow, FPendingCol, FPendingXF, TextValue(ReadBytes8(count)));
        FPendingRow = FPendingCol = FPendingXF = -1;
    }
    FCursor->Consumed = true;
}

// ROW of BIFF2: row (2), first and last column (4), height (2; bit 15 set:
// the default height), then cell attributes that are not read.
void TXLSReader::HandleRow2()
{
    if (FOptions.ReadRowInfo) {
        TEasyStream& data = FCursor->Data();
        uint16_t index = 0, height = 0;
        data.ReadWord(index);
        data.Skip(4);
        data.ReadWord(height);
        if (!(height & 0x8000)) CurrentSheet().Rows().GetRow(index)->SetHeight((height & 0x7FFF) / 20.0);
    }
    FCursor->Consumed = true;
}

// COLWIDTH of BIFF2: first and last column (1 each), width in 1/256 of a character (2).
void TXLSReader::HandleColWidth2()
{
    if (FOptions.ReadColumnInfo) {
        TEasyStream& data = FCursor->Data();
        uint8_t first = 0, last = 0;
        uint16_t width = 0;
        data.ReadByte(first);
        data.ReadByte(last);
        data.ReadWord(width);
        TSheet& sheet = CurrentSheet();
        for (int index = first; index <= last; ++index) sheet.Columns().GetColumn(index)->SetWidth(FileWidthToChars(width));
    }
    FCursor->Consumed = true;
}
