// Handlers of the substream bounds and of the workbook-globals records.
#include "reading/XLSReader.h"

#include "model/Workbook.h"
#include "reading/RecordCursor.h"

// Substreams: the first top-level substream is the workbook globals; the
// n-th top-level substream after it belongs to the n-th BOUNDSHEET. Nested
// substreams (an embedded chart) keep the enclosing sheet's position, but
// their records act on nothing (Dispatch).
void TXLSReader::HandleBof()
{
    if (!FFirstBofRead) ReadFirstBof();
    PassSubstreamBound(+1);
}

void TXLSReader::HandleEof()
{
    PassSubstreamBound(-1);
}

void TXLSReader::PassSubstreamBound(int step)
{
    FDepth += step;
    if (FDepth == 0) {
        if (FGlobalsDone) ++FCurrentSheet;
        else FGlobalsDone = true;
    }
    FCursor->Consumed = true;
}

void TXLSReader::HandleBoundSheet()
{
    TEasyStream& data = FCursor->Data();
    data.Skip(4); // stream position of the sheet's BOF
    uint8_t visibility = 0, kind = 0, count = 0, option = 0;
    data.ReadByte(visibility); // every sheet is read, hidden ones too
    data.ReadByte(kind);
    data.ReadByte(count);
    data.ReadByte(option);
    FWorkbook.Sheets().Add(ReadWideText(count, option & 1));
    FSheetKinds.push_back(kind);
    FCursor->Consumed = true;
}

void TXLSReader::HandleFont()
{
    BeginFontTable();
    TVirtualFontTable& fonts = FWorkbook.FontTable();
    fonts.ReadFontRecord(FCursor->Data().Data(), FCursor->Data().Size());
    fonts.Append();
    FCursor->Consumed = true;
}

void TXLSReader::HandleXF()
{
    BeginXFTable();
    FWorkbook.XFTable().ReadXFRecord(FCursor->Data().Data(), FCursor->Data().Size());
    AppendXF();
}

// The workbook's own colours for colour indexes 8 upwards: a count, then
// R, G, B and a reserved byte per entry.
void TXLSReader::HandlePalette()
{
    TEasyStream& data = FCursor->Data();
    uint16_t count = 0;
    data.ReadWord(count);
    TPalette& palette = FWorkbook.Palette();
    for (uint16_t entry = 0; entry < count && entry < TPalette::FileEntryCount && data.Remaining() >= 4; ++entry) {
        uint8_t red = 0, green = 0, blue = 0;
        data.ReadByte(red);
        data.ReadByte(green);
        data.ReadByte(blue);
        data.Skip(1);
        palette.SetColor(uint8_t(entry + 1), RGBColor(red, green, blue));
    }
    FCursor->Consumed = true;
}

void TXLSReader::HandleFormat()
{
    TEasyStream& data = FCursor->Data();
    uint16_t code = 0, count = 0;
    uint8_t option = 0;
    data.ReadWord(code);
    data.ReadWord(count);
    data.ReadByte(option);
    FWorkbook.FormatStrings().SetFormat(ReadAnsiText(count, option & 1), code);
    FCursor->Consumed = true;
}

// The shared string table runs on into CONTINUE records; it ends when the
// look-ahead meets another record, which the loop then dispatches, so this
// handler never marks its record consumed.
void TXLSReader::HandleSst()
{
    TEasyStream& data = FCursor->Data();
    data.Skip(8); // total and unique counts: not trusted, not used
    for (;;) {
        if (data.Remaining() < 2 && !FCursor->FetchContinue()) return;
        uint16_t count = 0;
        data.ReadWord(count);
        if (data.Remaining() == 0 && !FCursor->FetchContinue()) return;
        uint8_t option = 0;
        data.ReadByte(option);
        uint16_t runs = 0;
        uint32_t extSize = 0;
        if (option & 0x08) data.ReadWord(runs);
        if (option & 0x04) data.ReadDWord(extSize);

        TContinuedString text = FCursor->ReadContinuedString(count, option);
        FSharedStrings.push_back(char(text.Wide ? 1 : 0) + text.Bytes);
        // Characters missing: the look-ahead met another record, whose body
        // must not be skipped as formatting runs of this string.
        if (CharCount(text) < count) return;

        if ((option & 0x08) && !FCursor->SkipContinued(size_t(runs) * 4)) return;
        if ((option & 0x04) && extSize >= 1 && !FCursor->SkipContinued(extSize)) return;
    }
}

void TXLSReader::HandleExternSheet()
{
    TEasyStream& data = FCursor->Data();
    data.Skip(2); // the count: the body says how many entries there are
    std::string entry;
    while (data.Remaining() >= 6 && data.ReadBytesAsString(entry, 6)) FExternSheets.push_back(entry);
    FCursor->Consumed = true;
}

void TXLSReader::HandleName()
{
    const TEasyStream& data = FCursor->Data();
    FNameRecords.emplace_back(reinterpret_cast<const char*>(data.Data()), data.Size());
    FCursor->Consumed = true;
}

void TXLSReader::HandlePassword()
{
    uint16_t hash = 0;
    FCursor->Data().ReadWord(hash);
    if (FGlobalsDone) CurrentSheet().PasswordHash = hash;
    else FWorkbook.PasswordHash = hash;
    FCursor->Consumed = true;
}

// A workbook saved in the 1904 date system: its serials count from 1904-01-01.
void TXLSReader::HandleDateMode()
{
    uint16_t mode = 0;
    FCursor->Data().ReadWord(mode);
    FWorkbook.Date1904 = mode == 1;
    FCursor->Consumed = true;
}
