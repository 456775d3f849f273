#include "reading/XLSReader.h"

#include <array>
#include <iterator>

#include "formulas/PtgParser.h"
#include "model/Workbook.h"
#include "platform/CodePage.h"
#include "platform/LittleEndian.h"
#include "reading/BiffStream.h"
#include "reading/CFile.h"
#include "reading/RecordCursor.h"
#include "styles/XLSError.h"

TXLSReader::TXLSReader(TWorkbook& workbook) : FWorkbook(workbook), FCodePage(std::make_unique<TCodePage>()) {}

TXLSReader::~TXLSReader() = default;

// Every record id the reader acts on; everything else is passed over.
const TXLSReader::TDispatchEntry TXLSReader::DispatchTable[] = {
    {0x0006, &TXLSReader::HandleFormula},
    {0x000A, &TXLSReader::HandleEof},
    {0x0013, &TXLSReader::HandlePassword},
    {0x0014, &TXLSReader::HandleHeader},
    {0x0015, &TXLSReader::HandleFooter},
    {0x0017, &TXLSReader::HandleExternSheet},
    {0x0018, &TXLSReader::HandleName},
    {0x0022, &TXLSReader::HandleDateMode},
    {0x0026, &TXLSReader::HandleMargin},
    {0x0027, &TXLSReader::HandleMargin},
    {0x0028, &TXLSReader::HandleMargin},
    {0x0029, &TXLSReader::HandleMargin},
    {0x002A, &TXLSReader::HandlePrintHeaders},
    {0x002B, &TXLSReader::HandlePrintGridLines},
    {0x002F, &TXLSReader::HandleFilePass},
    {0x0031, &TXLSReader::HandleFont},
    {0x0041, &TXLSReader::HandlePane},
    {0x007D, &TXLSReader::HandleColInfo},
    {0x0081, &TXLSReader::HandleWsBool},
    {0x0083, &TXLSReader::HandleHCenter},
    {0x0084, &TXLSReader::HandleVCenter},
    {0x0085, &TXLSReader::HandleBoundSheet},
    {0x0092, &TXLSReader::HandlePalette},
    {0x00A0, &TXLSReader::HandleScl},
    {0x00A1, &TXLSReader::HandleSetup},
    {0x00BD, &TXLSReader::HandleMulRk},
    {0x00BE, &TXLSReader::HandleMulBlank},
    {0x00E0, &TXLSReader::HandleXF},
    {0x00E5, &TXLSReader::HandleMergeCells},
    {0x00FC, &TXLSReader::HandleSst},
    {0x00FD, &TXLSReader::HandleLabelSst},
    {0x0201, &TXLSReader::HandleBlank},
    {0x0203, &TXLSReader::HandleNumber},
    {0x0204, &TXLSReader::HandleLabel},
    {0x0205, &TXLSReader::HandleBoolErr},
    {0x0207, &TXLSReader::HandleString},
    {0x0208, &TXLSReader::HandleRow},
    {0x023E, &TXLSReader::HandleWindow2},
    {0x027E, &TXLSReader::HandleRk},
    {0x041E, &TXLSReader::HandleFormat},
    {0x04BC, &TXLSReader::HandleSharedFormula},
    {0x0809, &TXLSReader::HandleBof},
};

namespace {

// BOF of BIFF2, BIFF3, BIFF4 and BIFF5-8.
bool IsBofId(uint32_t id)
{
    return id == 0x0009 || id == 0x0209 || id == 0x0409 || id == 0x0809;
}

// A file of Excel 2.x-4.0: no compound document, its first record a BOF of
// BIFF2 (0x0009), BIFF3 (0x0209) or BIFF4 (0x0409).
bool IsBareBiffStream(const TByteBuffer& bytes)
{
    if (bytes.size() < 4 || bytes[0] != 0x09) return false;
    return bytes[1] == 0x00 || bytes[1] == 0x02 || bytes[1] == 0x04;
}

} // namespace

void TXLSReader::Read(const std::u16string& fileName, const std::u16string& password, const TReadOptions& options)
{
    FOptions = options;
    FPassword = password;
    FFileName = fileName;
    FWorkbook.Clear();

    TByteBuffer bytes = TCFile::ReadFileBytes(fileName);
    std::unique_ptr<TCFile> file;
    std::unique_ptr<TCFileStream> bareStream;
    TCFileStream* source = nullptr;
    if (IsBareBiffStream(bytes)) {
        FVersion = BiffVersionOfBof(ReadU16(bytes), 0);
        bareStream = std::make_unique<TCFileStream>(std::move(bytes));
        source = bareStream.get();
    } else {
        file = std::make_unique<TCFile>(std::move(bytes));
        // Only a stream counts: a storage of that name is no workbook either.
        // Excel 5.0 and 95 named the stream "Book".
        source = dynamic_cast<TCFileStream*>(file->Root->FindItem("Workbook"));
        if (!source) source = dynamic_cast<TCFileStream*>(file->Root->FindItem("Book"));
        if (!source) throw EXLSError(2, "Workbook");
    }

    {
        TBIFFStream stream(source);
        stream.ZeroIdIsRecord = bareStream != nullptr;
        stream.Rewind();
        TRecordCursor cursor(stream);
        cursor.OnProgress = OnProgress;
        FStream = &stream;
        FCursor = &cursor;
        try {
            RunRecordLoop();
        } catch (...) {
            FStream = nullptr;
            FCursor = nullptr;
            throw;
        }
        FStream = nullptr;
        FCursor = nullptr;
    }

    ApplyDefinedNames();
    DecodeFormulaTexts();
    FWorkbook.XFTable().EnsureDefault();
}

void TXLSReader::RunRecordLoop()
{
    FCursor->Consumed = true;
    while (FCursor->Fetch()) Dispatch(FCursor->Record().Id);
}

void TXLSReader::Dispatch(uint32_t id)
{
    // A chart's records (NUMBER, LABEL, ... holding its series values at point
    // and series numbers) must not reach the sheet; only the substream bounds count.
    if (InChartRecords() && !IsBofId(id) && id != 0x000A) {
        HandleDefault();
        return;
    }
    if (FVersion < 8 && DispatchOlder(id)) return;
    // The table position of each id's handler, worked out once: a cell record
    // is the most frequent and would otherwise walk most of the table.
    constexpr size_t kIds = 0x1000; // above every id of the table
    static const std::array<uint8_t, kIds> slots = [] {
        std::array<uint8_t, kIds> byId{}; // 0: no handler, else table position + 1
        for (size_t i = std::size(DispatchTable); i-- > 0;) byId[DispatchTable[i].Id] = uint8_t(i + 1); // the first entry wins
        return byId;
    }();
    if (id < kIds && slots[id] != 0) {
        (this->*DispatchTable[slots[id] - 1].Handler)();
        return;
    }
    HandleDefault();
}

void TXLSReader::HandleDefault()
{
    FCursor->Consumed = true;
}

bool TXLSReader::InChartRecords() const
{
    if (FDepth > 1) return true; // an embedded chart (or any nested substream)
    return FGlobalsDone && size_t(FCurrentSheet) < FSheetKinds.size() && FSheetKinds[FCurrentSheet] == SheetKindChart;
}

TSheet& TXLSReader::CurrentSheet()
{
    return *FWorkbook.Sheets().Items(FCurrentSheet);
}

std::u16string TXLSReader::Utf16FromBytes(const std::string& bytes)
{
    std::u16string text(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = char16_t(ReadU16(bytes, 2 * i));
    return text;
}

size_t TXLSReader::CharCount(const TContinuedString& text)
{
    return text.Wide ? text.Bytes.size() / 2 : text.Bytes.size();
}

std::u16string TXLSReader::ReadWideText(size_t charCount, bool wide)
{
    std::string bytes;
    FCursor->Data().ReadBytesAsString(bytes, wide ? 2 * charCount : charCount);
    return wide ? Utf16FromBytes(bytes) : AnsiToWide(bytes);
}

std::string TXLSReader::ReadAnsiText(size_t charCount, bool wide)
{
    std::string bytes;
    FCursor->Data().ReadBytesAsString(bytes, wide ? 2 * charCount : charCount);
    return wide ? WideToAnsi(Utf16FromBytes(bytes)) : bytes;
}
