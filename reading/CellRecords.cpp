// Handlers of the cell records: numbers, strings, booleans and formatted
// empty cells; RK numbers, and the date rule of ApplyCellFormat.
#include "reading/XLSReader.h"

#include <cstring>

#include "model/Workbook.h"
#include "reading/RecordCursor.h"
#include "styles/XLSError.h"
#include "styles/XLSFormat.h"

double RKToDouble(uint32_t rk)
{
    double value;
    if (rk & 0x02) {
        value = double(int32_t(rk & ~uint32_t(3)) >> 2);
    } else {
        const uint64_t bits = uint64_t(rk & ~uint32_t(3)) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return (rk & 0x01) ? value / 100 : value;
}

double SerialToDate(double serial, bool date1904)
{
    if (date1904) return serial + 1462;
    // The 1900 system counts the day 1900-02-29, which never was.
    const double date = serial + 1;
    return date > 61 ? serial : date;
}

void ApplyCellFormat(TCell& cell, int32_t xfIndex)
{
    const TStyleTables& tables = *cell.StyleTables();
    if (xfIndex < 0 || xfIndex >= tables.XFTable->Count()) return;
    cell.SetXFIndex(xfIndex);
    const int position = cell.FormatIndex();
    if (position >= tables.FormatStrings->Count()) return;
    if (FormatClassOf(tables.FormatStrings->Get(position)) != "date") return;
    const TVariant& value = cell.Value();
    if (!value.IsInteger() && !value.IsFloat()) return;
    const bool date1904 = cell.Owner()->Sheet()->Workbook()->Date1904;
    cell.SetValue(TVariant::Date(SerialToDate(value.AsDouble(), date1904)));
}

namespace {

// Row, column and XF index, the head of every cell record.
struct TCellHead {
    uint16_t Row = 0, Col = 0, XF = 0;
};

TCellHead ReadCellHead(TEasyStream& data)
{
    TCellHead head;
    data.ReadWord(head.Row);
    data.ReadWord(head.Col);
    data.ReadWord(head.XF);
    return head;
}

} // namespace

bool TXLSReader::IsDateXF(int32_t index)
{
    const TVirtualXFTable& xfs = FWorkbook.XFTable();
    const TFormatStrings& formats = FWorkbook.FormatStrings();
    if (index < 0 || index >= xfs.Count()) return false;
    TDateXFs& known = FDateXFs;
    if (known.XFGeneration != xfs.Generation() || known.FormatReplacements != formats.Replacements()) {
        known = {xfs.Generation(), formats.Replacements(), {}};
    }
    if (size_t(index) >= known.ByXF.size()) known.ByXF.resize(size_t(xfs.Count()), -1);
    int8_t& date = known.ByXF[size_t(index)];
    if (date < 0) {
        const int position = xfs.Get(index).FormatIndex;
        date = position < formats.Count() && FormatClassOf(formats.At(position)) == "date";
    }
    return date == 1;
}

void TXLSReader::SetCellValue(int row, int col, int32_t xfIndex, const TVariant& value, int64_t shared)
{
    TCells& cells = CurrentSheet().Cells();
    // Most cells go straight into the store; the rest take the long way
    // through a cell object, which gives the same result.
    if (IsDateXF(xfIndex) && (value.IsInteger() || value.IsFloat())) {
        // ApplyCellFormat's date rule: the number becomes a date after SetXFIndex.
        const TVariant date = TVariant::Date(SerialToDate(value.AsDouble(), FWorkbook.Date1904));
        if (cells.StoreNew(row, col, xfIndex, value, shared, &date)) return;
    } else if (cells.StoreNew(row, col, xfIndex, value, shared)) {
        return;
    }
    TCell& cell = *cells.GetCell(row, col);
    cell.SetValue(value);
    ApplyCellFormat(cell, xfIndex);
}

void TXLSReader::HandleNumber()
{
    TEasyStream& data = FCursor->Data();
    const TCellHead head = ReadCellHead(data);
    double value = 0;
    data.ReadDouble(value);
    SetCellValue(head.Row, head.Col, head.XF, TVariant::Double(value));
    FCursor->Consumed = true;
}

void TXLSReader::HandleRk()
{
    TEasyStream& data = FCursor->Data();
    const TCellHead head = ReadCellHead(data);
    uint32_t rk = 0;
    data.ReadDWord(rk);
    SetCellValue(head.Row, head.Col, head.XF, TVariant::Double(RKToDouble(rk)));
    FCursor->Consumed = true;
}

// (XF, RK) pairs for consecutive columns; the last-column word is not read.
// A column past 255 makes GetCell raise EXLSError 5.
void TXLSReader::HandleMulRk()
{
    TEasyStream& data = FCursor->Data();
    uint16_t row = 0, first = 0;
    data.ReadWord(row);
    data.ReadWord(first);
    for (int col = first; data.Remaining() > 6; ++col) {
        uint16_t xf = 0;
        uint32_t rk = 0;
        data.ReadWord(xf);
        data.ReadDWord(rk);
        SetCellValue(row, col, xf, TVariant::Double(RKToDouble(rk)));
    }
    FCursor->Consumed = true;
}

void TXLSReader::HandleLabel()
{
    TEasyStream& data = FCursor->Data();
    const TCellHead head = ReadCellHead(data);
    uint16_t count = 0;
    data.ReadWord(count);
    TVariant value = TVariant::String("");
    if (count > 0) {
        uint8_t option = 0;
        data.ReadByte(option);
        std::string bytes;
        data.ReadBytesAsString(bytes, (option & 1) ? 2 * size_t(count) : count);
        value = (option & 1) ? TVariant::Wide(Utf16FromBytes(bytes)) : TVariant::String(bytes);
    }
    SetCellValue(head.Row, head.Col, head.XF, value);
    FCursor->Consumed = true;
}

void TXLSReader::HandleLabelSst()
{
    TEasyStream& data = FCursor->Data();
    const TCellHead head = ReadCellHead(data);
    uint32_t index = 0;
    data.ReadDWord(index);
    if (index >= FSharedStrings.size()) RaiseListIndexError(index);
    if (FSharedValues.size() != FSharedStrings.size()) FSharedValues.resize(FSharedStrings.size());
    TVariant& value = FSharedValues[index];
    if (value.IsEmpty()) {
        const std::string& entry = FSharedStrings[index];
        const std::string characters = entry.substr(1);
        value = entry[0] == 0 ? TVariant::String(characters) : TVariant::Wide(Utf16FromBytes(characters));
    }
    SetCellValue(head.Row, head.Col, head.XF, value, index);
    FCursor->Consumed = true;
}

// A value byte and an error flag: without the flag 0 is false and 1 true;
// with it the byte is an error code. A cell with an unknown error code
// keeps its format but gets no value.
void TXLSReader::HandleBoolErr()
{
    TEasyStream& data = FCursor->Data();
    const TCellHead head = ReadCellHead(data);
    uint8_t value = 0, isError = 0;
    data.ReadByte(value);
    data.ReadByte(isError);
    if (!isError) {
        if (value <= 1) SetCellValue(head.Row, head.Col, head.XF, TVariant::Boolean(value == 1));
    } else if (IsErrorCode(value)) {
        SetCellValue(head.Row, head.Col, head.XF, TVariant::Error(value));
    } else {
        ApplyCellFormat(*CurrentSheet().Cells().GetCell(head.Row, head.Col), head.XF);
    }
    FCursor->Consumed = true;
}

void TXLSReader::FormatEmptyCell(int row, int col, uint16_t xfIndex)
{
    const TVirtualXFTable& xfs = FWorkbook.XFTable();
    if (xfIndex >= xfs.Count() || TVirtualXFTable::IsPlain(xfs.Get(xfIndex))) return;
    if (CurrentSheet().Cells().StoreNew(row, col, xfIndex, TVariant())) return;
    ApplyCellFormat(*CurrentSheet().Cells().GetCell(row, col), xfIndex);
}

void TXLSReader::HandleBlank()
{
    if (FOptions.ReadBlankCells) {
        const TCellHead head = ReadCellHead(FCursor->Data());
        FormatEmptyCell(head.Row, head.Col, head.XF);
    }
    FCursor->Consumed = true;
}

void TXLSReader::HandleMulBlank()
{
    if (FOptions.ReadBlankCells) {
        TEasyStream& data = FCursor->Data();
        uint16_t row = 0, first = 0;
        data.ReadWord(row);
        data.ReadWord(first);
        for (int col = first; data.Remaining() > 2; ++col) {
            uint16_t xf = 0;
            data.ReadWord(xf);
            FormatEmptyCell(row, col, xf);
        }
    }
    FCursor->Consumed = true;
}
