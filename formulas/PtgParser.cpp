#include "formulas/PtgParser.h"

#include "formulas/XLSFormula.h"
#include "platform/CodePage.h"
#include "platform/LittleEndian.h"
#include "styles/XLSFormat.h"

#include <cmath>
#include <utility>

namespace {

// Attribute bits of the PtgAttr* tokens ([MS-XLS]).
constexpr uint8_t kAttrVolatile = 0x01;
constexpr uint8_t kAttrIf = 0x02;
constexpr uint8_t kAttrGoto = 0x08;
constexpr uint8_t kAttrSum = 0x10;
constexpr uint8_t kAttrSpace = 0x40;
constexpr uint8_t kAttrDropped = kAttrVolatile | kAttrIf | kAttrGoto | kAttrSpace;

constexpr uint16_t kSumFunctionNumber = 4;

// Flags in the high byte of a column word.
constexpr uint16_t kRowRelative = 0x8000;
constexpr uint16_t kColRelative = 0x4000;

constexpr uint8_t kParenthesis = 0x15;

// Operand tokens exist in three classes (reference 0x20, value 0x40, array
// 0x60) that read alike: fold them onto the reference class.
uint8_t BaseType(uint8_t type) {
    if (type < 0x20) return type;
    if (type < 0x80) return static_cast<uint8_t>(0x20 | (type & 0x1F));
    return 0; // not a token type
}

// The sign of a binary operator, "" for the parenthesis, nullptr otherwise.
const char* OperatorSign(uint8_t type) {
    switch (type) {
    case 0x03: return "+";
    case 0x04: return "-";
    case 0x05: return "*";
    case 0x06: return "/";
    case 0x08: return "&";
    case 0x09: return "<";
    case 0x0A: return "<=";
    case 0x0B: return "=";
    case 0x0C: return ">=";
    case 0x0D: return ">";
    case 0x0E: return "<>";
    case kParenthesis: return "";
    default: return nullptr;
    }
}

// A cell reference as text: "$" before an absolute column and row.
std::string CellText(uint16_t row, uint16_t colWord) {
    std::string text;
    if (!(colWord & kColRelative)) text += '$';
    text += ColumnLetters(colWord & 0xFF);
    if (!(colWord & kRowRelative)) text += '$';
    text += std::to_string(row + 1);
    return text;
}

// Offsets of a relative reference are signed: adding them modulo 65536 rows
// and 256 columns moves them from the formula's cell.
void AddBase(uint16_t baseRow, uint16_t baseCol, uint16_t& row, uint16_t& colWord) {
    if (colWord & kRowRelative) row = static_cast<uint16_t>(baseRow + row);
    if (colWord & kColRelative)
        colWord = static_cast<uint16_t>((colWord & 0xFF00) | ((baseCol + colWord) & 0xFF));
}

// Cell (row at offset, column word at offset + 2), optionally moved by the base.
std::string CellAt(const std::string& data, size_t offset, bool relative, uint16_t baseRow,
                   uint16_t baseCol) {
    uint16_t row = ReadU16(data, offset);
    uint16_t colWord = ReadU16(data, offset + 2);
    if (relative) AddBase(baseRow, baseCol, row, colWord);
    return CellText(row, colWord);
}

// Area: first row, last row, first column word, last column word.
std::string AreaAt(const std::string& data, size_t offset, bool relative, uint16_t baseRow,
                   uint16_t baseCol) {
    uint16_t firstRow = ReadU16(data, offset);
    uint16_t lastRow = ReadU16(data, offset + 2);
    uint16_t firstCol = ReadU16(data, offset + 4);
    uint16_t lastCol = ReadU16(data, offset + 6);
    if (relative) {
        AddBase(baseRow, baseCol, firstRow, firstCol);
        AddBase(baseRow, baseCol, lastRow, lastCol);
    }
    return CellText(firstRow, firstCol) + ":" + CellText(lastRow, lastCol);
}

void AppendU16(std::string& out, uint16_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}

// A BIFF2-7 row word (flags in bits 15 and 14, row in bits 0-13) as a BIFF8
// row; a relative offset of the RefN/AreaN forms is a signed 14-bit value.
uint16_t OlderRow(uint16_t rowWord, bool offset) {
    uint16_t row = rowWord & 0x3FFF;
    if (offset && (rowWord & kRowRelative) && (row & 0x2000)) row |= 0xC000;
    return row;
}

// The BIFF8 column word of a BIFF2-7 column byte and row word.
uint16_t OlderColWord(uint16_t rowWord, uint8_t col) {
    return static_cast<uint16_t>((rowWord & (kRowRelative | kColRelative)) | col);
}

} // namespace

TPtgParser::TPtgParser(const std::vector<std::string>& sheetNames,
                       const std::vector<std::string>& externSheets, const TLocale& locale)
    : SheetNames(&sheetNames),
      ExternSheets(&externSheets),
      Locale(&locale),
      Stack(std::make_unique<TStringStack>()),
      SharedFormulas(std::make_unique<TXLSSharedFormulas>()) {}

int32_t TPtgParser::Decode(uint16_t sheetIndex, uint16_t row, const std::string& tokenBytes,
                           uint16_t options, uint16_t col) {
    ErrorCode = 0;
    FormulaText.clear();
    BaseRow = row;
    BaseCol = col;
    TokenBytes = tokenBytes;
    if (options & kSharedFormulaOption) {
        std::string shared = SharedFormulas->FindTokens(sheetIndex, row, col);
        if (!shared.empty()) TokenBytes = std::move(shared);
    }
    TokenList.clear();
    if (!Tokenize() || !BuildText()) {
        ErrorCode = kNotRecognized;
        FormulaText.clear();
    }
    return ErrorCode;
}

bool TPtgParser::Tokenize() {
    size_t pos = 0;
    while (pos < TokenBytes.size()) {
        TPtgToken token;
        token.Ptg = static_cast<uint8_t>(TokenBytes[pos++]);
        if (!ReadToken(BaseType(token.Ptg), pos, token)) return false;
        if (!token.Skip) TokenList.push_back(std::move(token));
    }
    return true;
}

// Takes the operand bytes of one token at pos and fills it. A sequence that
// ends inside the operand bytes is malformed: rather than decode a reference
// or constant from part of its bytes, the formula is not recognized.
bool TPtgParser::ReadToken(uint8_t type, size_t& pos, TPtgToken& token) {
    auto take = [&](size_t count) {
        if (TokenBytes.size() - pos < count) return false;
        token.Data = TokenBytes.substr(pos, count);
        pos += count;
        return true;
    };
    auto function = [&](const TXLSFunctionRec* rec, int32_t argCount) {
        token.Kind = pkFunction;
        token.Text = std::string(rec->FuncName);
        token.ArgCount = argCount;
    };

    if (const char* sign = OperatorSign(type)) {
        token.Kind = pkOperator;
        token.Text = sign;
        return true;
    }
    token.Kind = pkOperand;
    if (Version < 8 && (type == 0x24 || type == 0x25 || type == 0x2C || type == 0x2D || type == 0x3A || type == 0x3B))
        return ReadOlderReference(type, pos, token);
    // BIFF2-3 number functions in one byte; BIFF2's attribute tokens are
    // shorter and not decoded.
    const size_t functionSize = Version <= 3 ? 1 : 2;
    switch (type) {
    case 0x17:
        return FillStringToken(pos, token);
    case 0x19: {
        if (Version == 2 || !take(3)) return false;
        const uint8_t bits = static_cast<uint8_t>(token.Data[0]);
        if (bits & kAttrDropped) {
            token.Skip = true;
            return true;
        }
        if (!(bits & kAttrSum)) return false; // CHOOSE jump table and others
        function(FindFunction(kSumFunctionNumber), 1);
        return true;
    }
    case 0x1D:
        if (!take(1)) return false;
        token.Text = token.Data[0] == 1 ? "TRUE" : "FALSE";
        return true;
    case 0x1E:
        if (!take(2)) return false;
        token.Text = std::to_string(ReadU16(token.Data, 0));
        return true;
    case 0x1F: {
        if (!take(8)) return false;
        const double value = ReadDouble(token.Data);
        if (!std::isfinite(value)) return false; // no text can stand for it
        token.Text = FormatNumberText("", value, *Locale);
        return true;
    }
    case 0x21: {
        if (!take(functionSize)) return false;
        const TXLSFunctionRec* rec = FindFunction(functionSize == 1 ? uint8_t(token.Data[0]) : ReadU16(token.Data, 0));
        if (!rec || rec->ArgCount < 0) return false;
        function(rec, rec->ArgCount);
        return true;
    }
    case 0x22: {
        if (!take(1 + functionSize)) return false;
        const TXLSFunctionRec* rec = FindFunction(functionSize == 1 ? uint8_t(token.Data[1]) : ReadU16(token.Data, 1));
        if (!rec) return false;
        function(rec, static_cast<uint8_t>(token.Data[0]));
        return true;
    }
    case 0x24:
    case 0x2C:
        if (!take(4)) return false;
        token.Text = CellAt(token.Data, 0, type == 0x2C, BaseRow, BaseCol);
        return true;
    case 0x25:
    case 0x2D:
        if (!take(8)) return false;
        token.Text = AreaAt(token.Data, 0, type == 0x2D, BaseRow, BaseCol);
        return true;
    case 0x3A:
        if (!take(6) || !SheetPrefix(token.Data, token.Text)) return false;
        token.Text += CellAt(token.Data, 2, false, BaseRow, BaseCol);
        return true;
    case 0x3B:
        if (!take(10) || !SheetPrefix(token.Data, token.Text)) return false;
        token.Text += AreaAt(token.Data, 2, false, BaseRow, BaseCol);
        return true;
    default:
        return false;
    }
}

// Reference operands of BIFF2-7: row words with the flags and one-byte
// columns; 3-D forms (BIFF5/7) with the EXTERNSHEET index (negative: this
// workbook), 8 reserved bytes and the first and last sheet index.
bool TPtgParser::ReadOlderReference(uint8_t type, size_t& pos, TPtgToken& token) {
    const bool area = type == 0x25 || type == 0x2D || type == 0x3B;
    const bool threeD = type == 0x3A || type == 0x3B;
    const size_t head = threeD ? 14 : 0;
    const size_t size = head + (area ? 6 : 3);
    if ((threeD && Version < 5) || TokenBytes.size() - pos < size) return false;
    const std::string data = TokenBytes.substr(pos, size);
    pos += size;
    const bool offset = type == 0x2C || type == 0x2D;

    std::string biff8;
    if (area) {
        const uint16_t firstRow = ReadU16(data, head), lastRow = ReadU16(data, head + 2);
        AppendU16(biff8, OlderRow(firstRow, offset));
        AppendU16(biff8, OlderRow(lastRow, offset));
        AppendU16(biff8, OlderColWord(firstRow, static_cast<uint8_t>(data[head + 4])));
        AppendU16(biff8, OlderColWord(lastRow, static_cast<uint8_t>(data[head + 5])));
    } else {
        const uint16_t row = ReadU16(data, head);
        AppendU16(biff8, OlderRow(row, offset));
        AppendU16(biff8, OlderColWord(row, static_cast<uint8_t>(data[head + 2])));
    }
    token.Data = data;
    token.Text.clear();
    if (threeD) {
        // Only references into this workbook are followed.
        const uint16_t sheet = ReadU16(data, 10);
        if (static_cast<int16_t>(ReadU16(data, 0)) >= 0 || sheet >= SheetNames->size()) return false;
        token.Text = "'" + (*SheetNames)[sheet] + "'!";
    }
    token.Text += area ? AreaAt(biff8, 0, offset, BaseRow, BaseCol) : CellAt(biff8, 0, offset, BaseRow, BaseCol);
    return true;
}

// String constant: character count, option byte (bit 0: 16-bit characters;
// none before BIFF8), the characters. Written in double quotes, inner quotes
// as they are.
bool TPtgParser::FillStringToken(size_t& pos, TPtgToken& token) {
    const size_t headSize = Version < 8 ? 1 : 2;
    if (TokenBytes.size() - pos < headSize) return false;
    const size_t count = static_cast<uint8_t>(TokenBytes[pos]);
    const bool wide = Version == 8 && (TokenBytes[pos + 1] & 0x01);
    const size_t size = headSize + (wide ? 2 * count : count);
    if (TokenBytes.size() - pos < size) return false;
    token.Data = TokenBytes.substr(pos, size);
    pos += size;

    std::string chars = token.Data.substr(headSize);
    if (wide) {
        std::u16string units;
        for (size_t i = 0; i < count; ++i) units += static_cast<char16_t>(ReadU16(token.Data, headSize + 2 * i));
        chars = WideToAnsi(units);
    }
    token.Text = "\"" + chars + "\"";
    return true;
}

// "'name'!" of the sheet that the EXTERNSHEET entry at the first operand word
// points to. Entries or sheets outside the lists (other workbooks, deleted
// sheets) are not followed, and writing the reference without a prefix would
// silently point it at the formula's own sheet: such a formula is not
// recognized instead.
bool TPtgParser::SheetPrefix(const std::string& data, std::string& prefix) const {
    const uint16_t entryIndex = ReadU16(data, 0);
    if (entryIndex >= ExternSheets->size()) return false;
    const std::string& entry = (*ExternSheets)[entryIndex];
    if (entry.size() < 6) return false;
    const uint16_t sheet = ReadU16(entry, 2);
    if (sheet >= SheetNames->size()) return false;
    prefix = "'" + (*SheetNames)[sheet] + "'!";
    return true;
}

// Evaluates the tokens in reverse Polish order on the text stack. Tokens that
// pop more texts than there are, and sequences that leave more than one text
// behind, are malformed: the formula is not recognized rather than decoded
// with missing or dropped operands.
bool TPtgParser::BuildText() {
    // Each step makes a longer text; capping it bounds the work.
    auto push = [&](std::string text) {
        if (text.size() > kMaxTextLength) return false;
        Stack->Push(std::move(text));
        return true;
    };
    auto step = [&](const TPtgToken& token) {
        if (token.Kind == pkOperand) return push(token.Text);
        if (token.Kind == pkOperator && token.Ptg == kParenthesis) {
            if (Stack->Count() < 1) return false;
            return push("(" + Stack->Pop() + ")");
        }
        if (token.Kind == pkOperator) {
            if (Stack->Count() < 2) return false;
            std::string right = Stack->Pop();
            std::string left = Stack->Pop();
            left += token.Text;
            left += right;
            return push(std::move(left));
        }
        if (token.ArgCount > Stack->Count()) return false;
        std::vector<std::string> arguments(static_cast<size_t>(token.ArgCount));
        for (auto it = arguments.rbegin(); it != arguments.rend(); ++it) *it = Stack->Pop();
        std::string call = token.Text + "(";
        for (size_t i = 0; i < arguments.size(); ++i) {
            if (i > 0) call += ';';
            call += arguments[i];
        }
        call += ')';
        return push(std::move(call));
    };

    bool ok = true;
    for (const TPtgToken& token : TokenList)
        if (!(ok = step(token))) break;
    if (ok && Stack->Count() > 1) ok = false;
    if (ok && Stack->Count() == 1) FormulaText = Stack->Bottom();
    Stack->Clear();
    return ok;
}
