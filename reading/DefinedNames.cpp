// After the record loop: defined names ([MS-XLS] 2.4.150) become named
// ranges of their sheet, the built-in print area becomes the sheet's print area.
#include "reading/XLSReader.h"

#include "model/Workbook.h"
#include "platform/CodePage.h"
#include "platform/LittleEndian.h"
#include "styles/XLSError.h"

#include <algorithm>

namespace {

struct TDefinedName {
    int SheetPosition = -1;
    std::string Text;
    TRangeRects Rects;
    bool BuiltIn = false;
};

// The sheet and the rectangles of a name whose formula is a list of 3-D
// references (joined by union operators); false for hidden, function and
// macro names and for formulas of any other form.
bool DecodeName(const std::string& body, TDefinedName& name)
{
    const uint16_t options = ReadWholeU16(body, 0);
    if (options != 0 && options != 0x0020) return false;
    name.BuiltIn = options & 0x0020;

    const size_t count = ReadU8(body, 3);
    const size_t formulaSize = ReadWholeU16(body, 4);
    const bool wide = ReadU8(body, 14) & 1;
    const size_t textBegin = 15;
    const size_t textSize = wide ? 2 * count : count;
    if (textBegin + textSize > body.size()) return false;
    const std::string textBytes = body.substr(textBegin, textSize);
    name.Text = wide ? WideToAnsi(TXLSReader::Utf16FromBytes(textBytes)) : textBytes;

    const size_t begin = textBegin + textSize;
    const size_t end = std::min(body.size(), begin + formulaSize);
    size_t pos = begin;
    if (pos < end && uint8_t(body[pos]) == 0x29) pos += 3; // PtgMemFunc and its size
    int references = 0;
    while (pos < end) {
        const uint8_t token = uint8_t(body[pos]);
        size_t dataSize;
        if (token == 0x3A || token == 0x5A || token == 0x7A) dataSize = 6;       // PtgRef3d
        else if (token == 0x3B || token == 0x5B || token == 0x7B) dataSize = 10; // PtgArea3d
        else break;
        if (pos + 1 + dataSize > end) break;
        const size_t data = pos + 1;
        const int sheet = ReadWholeU16(body, data);
        if (references == 0) name.SheetPosition = sheet;
        if (sheet == name.SheetPosition) {
            if (dataSize == 6) {
                const uint16_t row = ReadWholeU16(body, data + 2);
                const uint8_t col = ReadU8(body, data + 4);
                name.Rects.Add(row, row, col, col);
            } else {
                name.Rects.Add(ReadWholeU16(body, data + 2), ReadWholeU16(body, data + 4), ReadU8(body, data + 6),
                               ReadU8(body, data + 8));
            }
        }
        // From the second reference on, a union operator follows each one.
        pos += 1 + dataSize + (references > 0 ? 1 : 0);
        ++references;
    }
    return name.SheetPosition >= 0 && references > 0;
}

} // namespace

void TXLSReader::ApplyDefinedNames()
{
    TSheets& sheets = FWorkbook.Sheets();
    for (const std::string& body : FNameRecords) {
        TDefinedName name;
        if (!DecodeName(body, name) || name.SheetPosition >= sheets.Count()) continue;
        TSheet& sheet = *sheets.Items(name.SheetPosition);
        if (!name.BuiltIn) {
            TRanges& ranges = sheet.Ranges();
            TRange* range = ranges.Add();
            range->AddRects(name.Rects);
            // Other writers store names the model refuses (a filter's
            // "Excel_BuiltIn__FilterDatabase_1 1", say): that name is passed over.
            try {
                range->SetName(name.Text);
            } catch (const EXLSError&) {
                ranges.Delete(ranges.Count() - 1);
            }
        } else if (name.Text == "\x06") {
            sheet.PageSetup().PrintArea().AddRects(name.Rects);
        }
    }
}
