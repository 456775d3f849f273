// Handlers of FORMULA, its STRING result and SHRFMLA. The tokens are kept
// and decoded after the record loop (FormulaTexts.cpp), when every sheet
// name and shared formula is known.
#include "reading/XLSReader.h"

#include "formulas/PtgParser.h"
#include "model/Workbook.h"
#include "platform/LittleEndian.h"
#include "reading/RecordCursor.h"
#include "styles/XLSFormat.h"

void TXLSReader::HandleFormula()
{
    TEasyStream& data = FCursor->Data();
    uint16_t row = 0, col = 0, xf = 0;
    data.ReadWord(row);
    data.ReadWord(col);
    data.ReadWord(xf);
    ReadFormulaRecord(row, col, xf, 2, 4, 2);
}

// From the 8 result bytes on: the option field, the chain field and the
// token size field have these sizes in the version's layout.
void TXLSReader::ReadFormulaRecord(uint16_t row, uint16_t col, int32_t xf, size_t optionSize, size_t chainSize,
                                   size_t sizeFieldSize)
{
    TEasyStream& data = FCursor->Data();
    uint8_t result[8] = {};
    data.ReadBytes(result, sizeof result);

    TCell& cell = *CurrentSheet().Cells().GetCell(row, col);
    if (result[6] == 0xFF && result[7] == 0xFF) {
        if (result[0] == 0) { // a string: its text follows in a STRING record
            FPendingRow = row;
            FPendingCol = col;
            FPendingXF = xf;
        } else if (result[0] == 1) {
            cell.SetValue(TVariant::Boolean(result[2] == 1));
        } else if (result[0] == 2 && IsErrorCode(result[2])) {
            cell.SetValue(TVariant::Error(result[2]));
        } // an empty string (or an unknown error code) leaves the value as it is
    } else {
        cell.SetValue(TVariant::Double(ReadDouble(result)));
    }
    ApplyCellFormat(cell, xf);

    if (!FOptions.ReadFormulas) {
        FCursor->Consumed = true;
        return;
    }
    uint16_t options = 0, tokenSize = 0;
    uint8_t field[2] = {};
    data.ReadBytes(field, optionSize);
    options = ReadU16(field);
    // Shared formulas came with BIFF5; the bit means something else before.
    if (FVersion <= 4) options &= uint16_t(~TPtgParser::kSharedFormulaOption);
    data.Skip(chainSize);
    field[0] = field[1] = 0;
    data.ReadBytes(field, sizeFieldSize);
    tokenSize = ReadU16(field);
    std::string tokens;
    data.ReadBytesAsString(tokens, tokenSize);
    std::string entry;
    entry += char(options & 0xFF);
    entry += char(options >> 8);
    FFormulaTokens.push_back(entry + tokens);
    // A placeholder until the texts are decoded: the entry's position.
    cell.SetFormula(std::to_string(FFormulaTokens.size() - 1));
    FCursor->Consumed = true;
}

void TXLSReader::HandleString()
{
    if (FPendingRow < 0 || FPendingCol < 0 || FPendingXF < 0) {
        FCursor->Consumed = true;
        return;
    }
    TEasyStream& data = FCursor->Data();
    uint16_t count = 0;
    uint8_t option = 0;
    data.ReadWord(count);
    data.ReadByte(option);
    const TContinuedString text = FCursor->ReadContinuedString(count, option);

    SetCellValue(FPendingRow, FPendingCol, FPendingXF,
                 text.Wide ? TVariant::Wide(Utf16FromBytes(text.Bytes)) : TVariant::String(text.Bytes));
    FPendingRow = FPendingCol = FPendingXF = -1;

    // Fewer characters than announced: the look-ahead met another record,
    // which stays unconsumed for the loop to dispatch.
    if (CharCount(text) >= count) FCursor->Consumed = true;
}

void TXLSReader::HandleSharedFormula()
{
    if (FOptions.ReadFormulas) {
        const TEasyStream& data = FCursor->Data();
        FormulaDecoder().SharedFormulas->Add(uint16_t(FCurrentSheet),
                                              std::string(reinterpret_cast<const char*>(data.Data()), data.Size()));
    }
    FCursor->Consumed = true;
}
