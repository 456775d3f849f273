// After the record loop: the kept formula tokens of every cell become its
// formula text.
#include "reading/XLSReader.h"

#include <charconv>

#include "formulas/PtgParser.h"
#include "model/Workbook.h"
#include "platform/LittleEndian.h"
#include "platform/CodePage.h"
#include "styles/XLSError.h"

TPtgParser& TXLSReader::FormulaDecoder()
{
    if (!FFormulaDecoder) {
        FillSheetNames();
        FFormulaDecoder = std::make_unique<TPtgParser>(FSheetNames, FExternSheets);
        FFormulaDecoder->Version = FVersion;
    }
    return *FFormulaDecoder;
}

void TXLSReader::FillSheetNames()
{
    const TSheets& sheets = FWorkbook.Sheets();
    FSheetNames.clear();
    for (int i = 0; i < sheets.Count(); ++i) FSheetNames.push_back(WideToAnsi(sheets.Items(i)->Name()));
}

namespace {

// The formula token list position a cell's placeholder text holds, or -1.
long PlaceholderPosition(const std::string& text, size_t listSize)
{
    size_t position = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), position);
    if (error != std::errc() || end != text.data() + text.size() || position >= listSize) return -1;
    return long(position);
}

} // namespace

void TXLSReader::DecodeFormulaTexts()
{
    if (FFormulaTokens.empty()) return;
    TPtgParser& decoder = FormulaDecoder();
    FillSheetNames(); // the decoder holds the list; the sheets are all known now
    const TSheets& sheets = FWorkbook.Sheets();
    for (int s = 0; s < sheets.Count(); ++s) {
        TCells& cells = sheets.Items(s)->Cells();
        for (int i = 0; i < cells.Count(); ++i) {
            if (cells.Stored(i).Formula().empty()) continue; // spares the others a cell object
            TCell& cell = *cells.Items(i);
            const long position = PlaceholderPosition(cell.Formula(), FFormulaTokens.size());
            bool decoded = false;
            if (position >= 0) {
                const std::string& entry = FFormulaTokens[size_t(position)];
                const uint16_t options = ReadU16(entry);
                decoded = decoder.Decode(uint16_t(s), cell.Row(), entry.substr(2), options, cell.Col() & 0xFF) == 0;
            }
            cell.SetFormula(decoded ? decoder.FormulaText : std::string());
            if (!decoded && FOptions.StrictFormulas) throw EXLSError(13);
        }
    }
}
