// The formula decoder: token bytes of one cell, optionally with EXTERNSHEET
// entries and one shared formula, decoded as the reader does after its loop.
// Input layout (everything cut short is taken as absent):
//   byte 0           number of EXTERNSHEET entries (low 2 bits), 6 bytes each;
//                    bits 2-4 the BIFF version of the tokens, 2..5 (else 8)
//   2 bytes          option word of the FORMULA record
//   2 bytes, 1 byte  row and column of the cell
//   2 bytes n, n     body of a SHRFMLA record (kept when n > 0)
//   the rest         the token bytes
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "formulas/PtgParser.h"
#include "platform/LittleEndian.h"
#include "styles/XLSError.h"

namespace {

class TInput {
public:
    TInput(const uint8_t* data, size_t size) : FData(data, size) {}
    uint8_t U8() { return Take<uint8_t>(); }
    uint16_t U16() { return Take<uint16_t>(); }
    std::string Bytes(size_t n)
    {
        n = BytesWithin(FData, FPos, n);
        std::string bytes(reinterpret_cast<const char*>(FData.data() + FPos), n);
        FPos += n;
        return bytes;
    }
    std::string Rest() { return Bytes(FData.size() - FPos); }

private:
    template <typename T>
    T Take()
    {
        const T value = ReadLittleEndian<T>(FData, FPos);
        FPos += BytesWithin(FData, FPos, sizeof(T));
        return value;
    }

    TByteSpan FData;
    size_t FPos = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TInput input(data, size);
    const std::vector<std::string> sheetNames {"Sheet1", "Data 2", "X'Y"};
    std::vector<std::string> externSheets;
    const uint8_t head = input.U8();
    const int version = (head >> 2) & 7;
    for (int n = head & 3; n > 0; --n) externSheets.push_back(input.Bytes(6));
    const uint16_t options = input.U16();
    const uint16_t row = input.U16();
    const uint8_t col = input.U8();
    const std::string shared = input.Bytes(input.U16());
    const std::string tokens = input.Rest();

    TPtgParser parser(sheetNames, externSheets);
    parser.Version = version >= 2 && version <= 5 ? version : 8;
    if (!shared.empty()) parser.SharedFormulas->Add(0, shared);
    const int32_t result = parser.Decode(0, row, tokens, options, col);
    if (result != 0 && !parser.FormulaText.empty()) __builtin_trap(); // a failure must leave no text
    if (parser.FormulaText.size() > TPtgParser::kMaxTextLength) __builtin_trap();
    // The decoder is used for every formula of a workbook: a second decode
    // with the same parser must not depend on what the first left behind.
    parser.Decode(1, uint16_t(row + 1), tokens, options, uint8_t(col + 1));
    return 0;
}
