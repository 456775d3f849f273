// Turns the parsed-expression tokens of a BIFF8 formula ([MS-XLS] 2.5.198,
// reverse Polish order) into formula text without the leading "=", for
// example SUM(A1:A9). Only a fixed subset of the token types is known; any
// other token, or malformed token data, leaves the formula undecoded.
#pragma once

#include "formulas/Lists.h"
#include "platform/Locale.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

enum TPtgKind : uint8_t {
    pkOperator = 0,
    pkFunction = 1,
    pkOperand = 2,
};

struct TPtgToken {
    uint8_t Kind = pkOperand;
    uint8_t Ptg = 0;       // the type byte as stored
    std::string Data;      // the operand bytes after the type byte
    std::string Text;      // operand text, operator sign or function name
    int32_t ArgCount = 0;  // functions: number of arguments
    bool Skip = false;     // carries nothing for the text
};

class TPtgParser {
public:
    // Option bit of a FORMULA record: the cell uses a shared formula.
    static constexpr uint16_t kSharedFormulaOption = 0x0008;
    // Returned by Decode, and held in ErrorCode, for an undecodable formula.
    static constexpr int32_t kNotRecognized = -1;
    // Longest text the decoder builds; a longer formula is not recognized.
    // Far above what Excel writes (1024 characters in BIFF8), it keeps the
    // work of hostile deeply nested tokens bounded.
    static constexpr size_t kMaxTextLength = 16384;

    // Keeps both lists by reference; the caller owns them and fills them
    // before the first Decode. sheetNames: every sheet's name in the 8-bit
    // code page, in sheet order; externSheets: the 6-byte EXTERNSHEET entries.
    // Number constants are written with the decimal separator of `locale`,
    // which must outlive the parser.
    TPtgParser(const std::vector<std::string>& sheetNames,
               const std::vector<std::string>& externSheets,
               const TLocale& locale = UserLocale());

    // Decodes the tokens of the formula in cell (row, col) of sheet
    // sheetIndex. options is the FORMULA record's option word; with its shared
    // bit the tokens of a matching shared formula replace tokenBytes.
    // Returns 0 with the text in FormulaText, or kNotRecognized with
    // FormulaText empty.
    int32_t Decode(uint16_t sheetIndex, uint16_t row, const std::string& tokenBytes,
                   uint16_t options, uint16_t col);

    // The BIFF version of the tokens: 8, or 2..5 for Excel 2.x-95, whose
    // references keep their relative flags in the row word and their column
    // in one byte, whose strings have no option byte and whose 3-D
    // references name the sheet directly.
    int Version = 8;

    int32_t ErrorCode = 0;
    std::string TokenBytes;
    uint16_t BaseRow = 0;
    uint16_t BaseCol = 0;
    std::string FormulaText;
    std::vector<TPtgToken> TokenList;
    const std::vector<std::string>* SheetNames;
    const std::vector<std::string>* ExternSheets;
    const TLocale* Locale;
    std::unique_ptr<TStringStack> Stack;
    std::unique_ptr<TXLSSharedFormulas> SharedFormulas;

private:
    bool Tokenize();
    bool ReadToken(uint8_t type, size_t& pos, TPtgToken& token);
    bool FillStringToken(size_t& pos, TPtgToken& token);
    bool SheetPrefix(const std::string& data, std::string& prefix) const;
    // The reference and area tokens of BIFF2-7, their operands rewritten
    // into the BIFF8 form.
    bool ReadOlderReference(uint8_t type, size_t& pos, TPtgToken& token);
    bool BuildText();
};
