// What BIFF2-BIFF7 share: the version the first BOF names, the table of the
// records whose layout differs from BIFF8, the code page of their 8-bit
// text, and the 8-bit forms of LABEL, STRING, HEADER and FOOTER.
#include "reading/XLSReader.h"

#include "model/Workbook.h"
#include "platform/CodePage.h"
#include "reading/RecordCursor.h"

// Records of these versions that are not listed here and not in
// DispatchTable, or whose contents the reader does not use in them (NAME,
// EXTERNSHEET: their BIFF8 forms serve the defined names and 3-D references
// of BIFF8 only), are passed over.
const TXLSReader::TOlderDispatchEntry TXLSReader::OlderDispatchTable[] = {
    {0x0001, 2, 2, &TXLSReader::HandleBlank2},
    {0x0002, 2, 2, &TXLSReader::HandleInteger2},
    {0x0003, 2, 2, &TXLSReader::HandleNumber2},
    {0x0004, 2, 2, &TXLSReader::HandleLabel2},
    {0x0005, 2, 2, &TXLSReader::HandleBoolErr2},
    {0x0006, 2, 2, &TXLSReader::HandleFormula2},
    {0x0007, 2, 2, &TXLSReader::HandleString2},
    {0x0008, 2, 2, &TXLSReader::HandleRow2},
    {0x0009, 2, 2, &TXLSReader::HandleBof},
    {0x0014, 2, 5, &TXLSReader::HandleHeader8},
    {0x0015, 2, 5, &TXLSReader::HandleFooter8},
    {0x0017, 2, 5, &TXLSReader::HandleDefault},
    {0x0018, 2, 5, &TXLSReader::HandleDefault},
    {0x001E, 2, 3, &TXLSReader::HandleFormat2},
    {0x0024, 2, 2, &TXLSReader::HandleColWidth2},
    {0x0031, 2, 2, &TXLSReader::HandleFont2},
    {0x0031, 5, 5, &TXLSReader::HandleFont5},
    {0x0042, 2, 5, &TXLSReader::HandleCodePage},
    {0x0043, 2, 2, &TXLSReader::HandleXF2},
    {0x0044, 2, 2, &TXLSReader::HandleIxfe2},
    {0x0085, 5, 5, &TXLSReader::HandleBoundSheet5},
    {0x008F, 4, 4, &TXLSReader::HandleBoundSheet5},
    {0x00D6, 5, 5, &TXLSReader::HandleLabel8},
    {0x00E0, 5, 5, &TXLSReader::HandleXF5},
    {0x0204, 2, 5, &TXLSReader::HandleLabel8},
    {0x0206, 3, 3, &TXLSReader::HandleFormula3},
    {0x0207, 2, 5, &TXLSReader::HandleString8},
    {0x0209, 3, 3, &TXLSReader::HandleBof},
    {0x0231, 3, 4, &TXLSReader::HandleFont2},
    {0x0243, 3, 3, &TXLSReader::HandleXF3},
    {0x0406, 4, 4, &TXLSReader::HandleFormula3},
    {0x0409, 4, 4, &TXLSReader::HandleBof},
    {0x041E, 4, 4, &TXLSReader::HandleFormat2},
    {0x041E, 5, 5, &TXLSReader::HandleFormat5},
    {0x0443, 4, 4, &TXLSReader::HandleXF4},
};

int BiffVersionOfBof(uint16_t id, uint16_t versionWord)
{
    switch (id) {
    case 0x0009: return 2;
    case 0x0209: return 3;
    case 0x0409: return 4;
    default: return versionWord == 0x0500 ? 5 : 8;
    }
}

bool TXLSReader::DispatchOlder(uint32_t id)
{
    for (const TOlderDispatchEntry& entry : OlderDispatchTable) {
        if (entry.Id == id && FVersion >= entry.FirstVersion && FVersion <= entry.LastVersion) {
            (this->*entry.Handler)();
            return true;
        }
    }
    return false;
}

void TXLSReader::ReadFirstBof()
{
    FFirstBofRead = true;
    TEasyStream& data = FCursor->Data();
    uint16_t version = 0, kind = 0;
    data.ReadWord(version);
    data.ReadWord(kind);
    FVersion = BiffVersionOfBof(uint16_t(FCursor->Record().Id), version);
    // A BIFF4 workbook (kind 0x0100) names its sheets in BUNDLESHEET records;
    // every other BIFF2-4 file is one sheet.
    if (FVersion <= 4 && kind != 0x0100) AddFileSheet();
}

void TXLSReader::AddFileSheet()
{
    std::u16string name = FFileName.substr(FFileName.find_last_of(u'/') + 1);
    const size_t dot = name.find_last_of(u'.');
    if (dot != std::u16string::npos && dot > 0) name.erase(dot);
    TSheets& sheets = FWorkbook.Sheets();
    if (sheets.ValidateName(name) != 0) name = u"Sheet1";
    sheets.Add(name);
}

void TXLSReader::HandleCodePage()
{
    uint16_t codePage = 0;
    FCursor->Data().ReadWord(codePage);
    FCodePage = std::make_unique<TCodePage>(codePage);
    FCursor->Consumed = true;
}

std::u16string TXLSReader::WideOf(const std::string& bytes) const
{
    return FCodePage->ToWide(bytes);
}

std::string TXLSReader::AnsiOf(const std::string& bytes) const
{
    return FCodePage->IsAnsi() ? bytes : WideToAnsi(FCodePage->ToWide(bytes));
}

TVariant TXLSReader::TextValue(const std::string& bytes) const
{
    return FCodePage->IsAnsi() ? TVariant::String(bytes) : TVariant::Wide(FCodePage->ToWide(bytes));
}

std::string TXLSReader::ReadBytes8(size_t count)
{
    TEasyStream& data = FCursor->Data();
    std::string bytes;
    data.ReadBytesAsString(bytes, std::min(count, data.Remaining()));
    return bytes;
}

// LABEL (BIFF3-7, and the BIFF2 files that use it) and RSTRING (BIFF5/7):
// row, column, XF, 16-bit count, 8-bit characters; the formatting runs of
// RSTRING after them are not read.
void TXLSReader::HandleLabel8()
{
    TEasyStream& data = FCursor->Data();
    uint16_t row = 0, col = 0, xf = 0, count = 0;
    data.ReadWord(row);
    data.ReadWord(col);
    data.ReadWord(xf);
    data.ReadWord(count);
    SetCellValue(row, col, xf, TextValue(ReadBytes8(count)));
    FCursor->Consumed = true;
}

// STRING of BIFF3-7: a 16-bit count and 8-bit characters.
void TXLSReader::HandleString8()
{
    if (FPendingRow >= 0 && FPendingCol >= 0 && FPendingXF >= 0) {
        uint16_t count = 0;
        FCursor->Data().ReadWord(count);
        SetCellValue(FPendingRow, FPendingCol, FPendingXF, TextValue(ReadBytes8(count)));
        FPendingRow = FPendingCol = FPendingXF = -1;
    }
    FCursor->Consumed = true;
}

void TXLSReader::ReadHeaderText8(std::string& left, std::string& center, std::string& right)
{
    TEasyStream& data = FCursor->Data();
    FCursor->Consumed = true;
    if (data.Size() == 0) return;
    uint8_t count = 0;
    data.ReadByte(count);
    SplitHeaderText(AnsiOf(ReadBytes8(count)), left, center, right);
}

void TXLSReader::HandleHeader8()
{
    TPageSetup& setup = CurrentSheet().PageSetup();
    ReadHeaderText8(setup.HeaderLeft, setup.HeaderCenter, setup.HeaderRight);
}

void TXLSReader::HandleFooter8()
{
    TPageSetup& setup = CurrentSheet().PageSetup();
    ReadHeaderText8(setup.FooterLeft, setup.FooterCenter, setup.FooterRight);
}

// The end of every FONT, XF and FORMAT record, whatever its layout.

void TXLSReader::BeginFontTable()
{
    if (!FFontsCleared) {
        FWorkbook.FontTable().Clear();
        FFontsCleared = true;
    }
}

void TXLSReader::AppendFont(const std::string& name)
{
    TVirtualFontTable& fonts = FWorkbook.FontTable();
    fonts.Buffer().SetName(WideOf(name));
    fonts.Append();
    FCursor->Consumed = true;
}

void TXLSReader::BeginXFTable()
{
    if (!FXFsCleared) {
        FWorkbook.XFTable().Clear();
        FXFsCleared = true;
    }
}

void TXLSReader::AppendXF()
{
    TVirtualXFTable& xfs = FWorkbook.XFTable();
    TXFRecord& rec = xfs.Buffer();
    // Every BIFF version leaves out font index 4.
    if (rec.FontIndex > 3) --rec.FontIndex;
    // BIFF2-4 number formats are numbered by their order in the file.
    const uint16_t code = FVersion <= 4 ? uint16_t(OlderFormatCodes + rec.FormatIndex) : rec.FormatIndex;
    const int position = FWorkbook.FormatStrings().PositionOf(code);
    rec.FormatIndex = uint16_t(position < 0 ? 0 : position);
    xfs.Append();
    FCursor->Consumed = true;
}

void TXLSReader::AddOlderFormat(uint16_t code, const std::string& text)
{
    FWorkbook.FormatStrings().SetFormat(AnsiOf(text), code);
    FCursor->Consumed = true;
}
