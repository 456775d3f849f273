// Decoding of hand-built BIFF8 formula token sequences into formula text.
#include "formulas/PtgParser.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

std::string U16(unsigned value) {
    return {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)};
}
std::string Byte(unsigned value) { return std::string(1, static_cast<char>(value)); }

std::string Int(unsigned value) { return Byte(0x1E) + U16(value); }
std::string Num(double value) {
    std::string bytes(8, '\0');
    std::memcpy(bytes.data(), &value, 8);
    return Byte(0x1F) + bytes;
}
std::string Bool(unsigned value) { return Byte(0x1D) + Byte(value); }
std::string Str(const std::string& chars) { return Byte(0x17) + Byte(chars.size()) + Byte(0) + chars; }
std::string WideStr(const std::u16string& chars) {
    std::string bytes = Byte(0x17) + Byte(chars.size()) + Byte(1);
    for (char16_t unit : chars) bytes += U16(unit);
    return bytes;
}
std::string Op(unsigned type) { return Byte(type); }
std::string Attr(unsigned bits) { return Byte(0x19) + Byte(bits) + U16(0); }
std::string Func(unsigned number, unsigned type = 0x21) { return Byte(type) + U16(number); }
std::string FuncVar(unsigned count, unsigned number, unsigned type = 0x22) {
    return Byte(type) + Byte(count) + U16(number);
}
std::string Ref(unsigned type, unsigned row, unsigned colWord) { return Byte(type) + U16(row) + U16(colWord); }
std::string Area(unsigned type, unsigned firstRow, unsigned lastRow, unsigned firstCol, unsigned lastCol) {
    return Byte(type) + U16(firstRow) + U16(lastRow) + U16(firstCol) + U16(lastCol);
}
std::string Ref3d(unsigned type, unsigned externIndex, unsigned row, unsigned colWord) {
    return Byte(type) + U16(externIndex) + U16(row) + U16(colWord);
}
std::string Area3d(unsigned type, unsigned externIndex, unsigned firstRow, unsigned lastRow,
                   unsigned firstCol, unsigned lastCol) {
    return Byte(type) + U16(externIndex) + U16(firstRow) + U16(lastRow) + U16(firstCol) + U16(lastCol);
}
std::string ExternEntry(unsigned link, unsigned firstSheet, unsigned lastSheet) {
    return U16(link) + U16(firstSheet) + U16(lastSheet);
}
// A SHRFMLA body: rectangle, reserved byte, use count, token length, tokens.
std::string SharedBody(unsigned firstRow, unsigned lastRow, unsigned firstCol, unsigned lastCol,
                       const std::string& tokens) {
    return U16(firstRow) + U16(lastRow) + Byte(firstCol) + Byte(lastCol) + Byte(0) + Byte(1) +
           U16(tokens.size()) + tokens;
}

constexpr unsigned kBothRelative = 0xC000;
constexpr uint16_t kShared = TPtgParser::kSharedFormulaOption;

class FormulaDecoder : public ::testing::Test {
protected:
    std::vector<std::string> SheetNames{"Sheet1", "Data", "It's"};
    std::vector<std::string> ExternSheets{ExternEntry(0, 0, 0), ExternEntry(0, 1, 1),
                                          ExternEntry(0, 2, 2), ExternEntry(1, 7, 7),
                                          std::string("\0\0\1", 3)};
    TPtgParser Parser{SheetNames, ExternSheets, LocaleEnUS()};

    std::string Decoded(const std::string& tokens, uint16_t row = 0, uint16_t col = 0) {
        EXPECT_EQ(Parser.Decode(0, row, tokens, 0, col), 0);
        EXPECT_EQ(Parser.ErrorCode, 0);
        return Parser.FormulaText;
    }
    void ExpectNotRecognized(const std::string& tokens, uint16_t row = 0, uint16_t col = 0) {
        Decoded(Int(1)); // leaves a text behind that a failure must clear
        EXPECT_EQ(Parser.Decode(0, row, tokens, 0, col), TPtgParser::kNotRecognized);
        EXPECT_EQ(Parser.ErrorCode, TPtgParser::kNotRecognized);
        EXPECT_EQ(Parser.FormulaText, "");
        EXPECT_EQ(Parser.Stack->Count(), 0);
    }
};

struct DecodeCase {
    const char* name;
    std::string tokens;
    uint16_t row, col;
    std::string expected;
};

TEST_F(FormulaDecoder, DecodesTheKnownTokens) {
    const std::vector<DecodeCase> cases = {
        {"reference plus integer", Ref(0x24, 0, kBothRelative) + Int(5) + Op(0x03), 0, 0, "A1+5"},
        {"sum attribute over an area", Area(0x25, 0, 9, kBothRelative, kBothRelative) + Attr(0x10), 0, 0,
         "SUM(A1:A10)"},
        {"variable-argument call", Int(1) + Int(2) + FuncVar(2, 4, 0x42), 0, 0, "SUM(1;2)"},
        {"parenthesis", Int(1) + Int(2) + Op(0x03) + Op(0x15) + Int(3) + Op(0x05), 0, 0, "(1+2)*3"},
        {"volatile attribute dropped", Attr(0x01) + Func(74), 0, 0, "NOW()"},
        {"relative reference wraps back", Ref(0x2C, 0xFFFF, kBothRelative | 0xFF), 5, 3, "C5"},
        {"relative reference, absolute parts kept", Ref(0x4C, 2, 0x8000 | 1), 10, 20, "$B13"},
        {"relative area", Area(0x2D, 0, 2, kBothRelative, 0xC001), 4, 2, "C5:D7"},
        {"reference on a sheet", Ref3d(0x3A, 1, 1, 1), 0, 0, "'Data'!$B$2"},
        {"area on a sheet, quote not doubled", Area3d(0x5B, 2, 0, 2, 0, 1), 0, 0, "'It's'!$A$1:$B$3"},
        {"sheet references ignore the base", Ref3d(0x7A, 0, 0, kBothRelative), 9, 9, "'Sheet1'!A1"},
        {"last column and row", Ref(0x64, 0xFFFF, 0xFF), 0, 0, "$IV$65536"},
        {"two-letter column", Ref(0x44, 0, 26 | kBothRelative), 0, 0, "AA1"},
        {"empty string takes three bytes", Str("") + Int(7) + Op(0x08), 0, 0, "\"\"&7"},
        {"string with a quote inside", Str("a\"b"), 0, 0, "\"a\"b\""},
        {"16-bit string in the code page", WideStr(u"Gr\u00FC\u00DFe \u20AC\u4E2D"), 0, 0,
         "\"Gr\xFC\xDF" "e \x80?\""},
        {"booleans", Bool(1) + Bool(0) + FuncVar(2, 36), 0, 0, "AND(TRUE;FALSE)"},
        {"integer is unsigned", Int(65535), 0, 0, "65535"},
        {"fixed-argument call", Num(2.5) + Int(1) + Func(27, 0x41), 0, 0, "ROUND(2.5;1)"},
        {"no-argument call in array class", Func(221, 0x61), 0, 0, "TODAY()"},
        {"optimised IF with its jumps", Int(1) + Attr(0x02) + Int(2) + Attr(0x08) + Int(3) + Attr(0x08) +
                                            FuncVar(3, 1),
         0, 0, "IF(1;2;3)"},
        {"spaces dropped", Attr(0x40) + Int(1) + Attr(0x40) + Int(2) + Op(0x0E), 0, 0, "1<>2"},
        {"no tokens", "", 0, 0, ""},
    };
    for (const DecodeCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Decoded(c.tokens, c.row, c.col), c.expected);
    }
}

TEST_F(FormulaDecoder, WritesEveryBinaryOperatorWithoutBlanks) {
    const std::vector<std::pair<unsigned, std::string>> signs = {
        {0x03, "+"}, {0x04, "-"}, {0x05, "*"}, {0x06, "/"},  {0x08, "&"},  {0x09, "<"},
        {0x0A, "<="}, {0x0B, "="}, {0x0C, ">="}, {0x0D, ">"}, {0x0E, "<>"},
    };
    for (const auto& [type, sign] : signs)
        EXPECT_EQ(Decoded(Int(1) + Int(2) + Op(type)), "1" + sign + "2") << type;
}

TEST_F(FormulaDecoder, WritesNumbersInTheGeneralFormOfTheLocale) {
    const std::vector<std::pair<double, std::string>> german = {
        {1234.5, "1234,5"},   {-0.25, "-0,25"},  {0.0001, "0,0001"}, {0.00001, "1E-5"},
        {1e20, "1E20"},       {3.0, "3"},        {0.0, "0"},         {1.0 / 3, "0,333333333333333"},
        {123456789012345.0, "123456789012345"}, {1234567890123456.0, "1,23456789012346E15"},
    };
    TPtgParser parser(SheetNames, ExternSheets, LocaleDeDE());
    for (const auto& [value, text] : german) {
        ASSERT_EQ(parser.Decode(0, 0, Num(value), 0, 0), 0);
        EXPECT_EQ(parser.FormulaText, text) << value;
    }
    EXPECT_EQ(Decoded(Num(1234.5)), "1234.5");
}

TEST_F(FormulaDecoder, RefusesTokensOutsideItsSubset) {
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"placeholder of a shared formula", Byte(0x01) + U16(0) + U16(0)},
        {"table placeholder", Byte(0x02) + U16(0) + U16(0)},
        {"power", Int(2) + Int(3) + Op(0x07)},
        {"intersection", Int(2) + Int(3) + Op(0x0F)},
        {"union", Int(2) + Int(3) + Op(0x10)},
        {"range", Int(2) + Int(3) + Op(0x11)},
        {"unary plus", Int(2) + Op(0x12)},
        {"unary minus", Int(2) + Op(0x13)},
        {"percent", Int(2) + Op(0x14)},
        {"missing argument", Int(1) + Op(0x16) + FuncVar(2, 4)},
        {"error constant", Byte(0x1C) + Byte(0x07)},
        {"array constant", Byte(0x20) + std::string(7, '\0')},
        {"defined name", Byte(0x23) + U16(1) + U16(0)},
        {"external name", Byte(0x39) + U16(0) + U16(1) + U16(0)},
        {"CHOOSE jump table", Int(1) + Byte(0x19) + Byte(0x04) + U16(1) + U16(4) + U16(4) + Int(2)},
        {"attribute without known bits", Int(1) + Attr(0x00)},
        {"type byte above the array class", Byte(0x80)},
        {"add-in function", Int(1) + FuncVar(1, 255)},
        {"function number not in the table", Int(1) + Func(100)},
        {"variable function as fixed call", Int(1) + Func(8)},
        {"command-equivalent function number", Int(1) + FuncVar(1, 0x8004)},
    };
    for (const auto& [name, tokens] : cases) {
        SCOPED_TRACE(name);
        ExpectNotRecognized(tokens);
    }
}

// Malformed data is refused instead of read past the token bytes, the stack
// or the lists.
TEST_F(FormulaDecoder, RefusesMalformedTokens) {
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"operator on an empty stack", Op(0x03)},
        {"operator with one operand", Int(1) + Op(0x05)},
        {"parenthesis on an empty stack", Op(0x15)},
        {"more arguments than operands", Int(1) + FuncVar(3, 4)},
        {"fixed call short of operands", Int(1) + Func(27)},
        {"operands left over", Int(1) + Int(2)},
        {"truncated integer", Byte(0x1E) + Byte(1)},
        {"truncated reference", Byte(0x24) + U16(0)},
        {"truncated area", Area(0x25, 0, 1, 0, 0).substr(0, 6)},
        {"truncated number", Num(1.5).substr(0, 5)},
        {"truncated string", Byte(0x17) + Byte(5) + Byte(0) + "ab"},
        {"truncated 16-bit string", Byte(0x17) + Byte(2) + Byte(1) + "a\0b"},
        {"string header cut off", Byte(0x17) + Byte(3)},
        {"truncated function", Byte(0x22) + Byte(0)},
        {"truncated attribute", Byte(0x19) + Byte(0x10)},
        {"truncated sheet reference", Ref3d(0x3A, 1, 1, 1).substr(0, 4)},
        {"EXTERNSHEET index outside the list", Ref3d(0x3A, 9, 0, 0)},
        {"sheet index outside the list", Ref3d(0x3A, 3, 0, 0)},
        {"short EXTERNSHEET entry", Area3d(0x3B, 4, 0, 0, 0, 0)},
        {"not a number", Num(std::numeric_limits<double>::quiet_NaN())},
        {"infinity", Num(std::numeric_limits<double>::infinity())},
        {"text beyond the length cap", Int(1) + std::string(TPtgParser::kMaxTextLength, '\x15')},
    };
    for (const auto& [name, tokens] : cases) {
        SCOPED_TRACE(name);
        ExpectNotRecognized(tokens);
    }
}

TEST_F(FormulaDecoder, KeepsDeepButReasonableNesting) {
    const std::string tokens = Int(1) + std::string(1000, '\x15');
    EXPECT_EQ(Decoded(tokens), std::string(1000, '(') + "1" + std::string(1000, ')'));
}

TEST_F(FormulaDecoder, StartsEveryDecodingAfresh) {
    ExpectNotRecognized(Int(1) + Int(2));
    EXPECT_EQ(Decoded(Ref(0x24, 0, 0)), "$A$1");
    ASSERT_EQ(Parser.TokenList.size(), 1u);
    EXPECT_EQ(Parser.TokenList[0].Ptg, 0x24);
    EXPECT_EQ(Parser.TokenList[0].Data, U16(0) + U16(0));
}

TEST_F(FormulaDecoder, DropsSkippedTokensFromTheList) {
    Decoded(Attr(0x01) + Func(74));
    ASSERT_EQ(Parser.TokenList.size(), 1u);
    EXPECT_EQ(Parser.TokenList[0].Kind, pkFunction);
    EXPECT_EQ(Parser.TokenList[0].Text, "NOW");
    EXPECT_EQ(Parser.TokenList[0].ArgCount, 0);
}

class SharedFormulaDecoding : public FormulaDecoder {
protected:
    const std::string Placeholder = Byte(0x01) + U16(1) + U16(2); // ptgExp: row 1, column 2
};

TEST_F(SharedFormulaDecoding, GivesEachCellOfTheBlockItsOwnReferences) {
    // Rows 1..9 of column 2: one row up, same column.
    Parser.SharedFormulas->Add(0, SharedBody(1, 9, 2, 2, Ref(0x2C, 0xFFFF, kBothRelative)));
    ASSERT_EQ(Parser.Decode(0, 4, Placeholder, kShared, 2), 0);
    EXPECT_EQ(Parser.FormulaText, "C4");
    ASSERT_EQ(Parser.Decode(0, 9, Placeholder, kShared, 2), 0);
    EXPECT_EQ(Parser.FormulaText, "C9");
}

TEST_F(SharedFormulaDecoding, UsesTheCellsOwnTokensWithoutAMatch) {
    Parser.SharedFormulas->Add(0, SharedBody(1, 9, 2, 2, Int(1)));
    EXPECT_EQ(Parser.Decode(0, 10, Placeholder, kShared, 2), TPtgParser::kNotRecognized);
    EXPECT_EQ(Parser.Decode(0, 4, Int(5), kShared, 3), 0);
    EXPECT_EQ(Parser.FormulaText, "5");
    // Without the shared bit the store is not asked.
    EXPECT_EQ(Parser.Decode(0, 4, Int(5), 0, 2), 0);
    EXPECT_EQ(Parser.FormulaText, "5");
}

TEST_F(SharedFormulaDecoding, TakesTheFirstAddedRecordOfTheCellsSheet) {
    Parser.SharedFormulas->Add(1, SharedBody(0, 5, 0, 5, Int(1)));
    Parser.SharedFormulas->Add(0, SharedBody(0, 5, 0, 5, Int(2)));
    Parser.SharedFormulas->Add(0, SharedBody(0, 5, 0, 5, Int(3)));
    ASSERT_EQ(Parser.Decode(0, 3, Placeholder, kShared, 3), 0);
    EXPECT_EQ(Parser.FormulaText, "2");
    ASSERT_EQ(Parser.Decode(1, 3, Placeholder, kShared, 3), 0);
    EXPECT_EQ(Parser.FormulaText, "1");
    EXPECT_EQ(Parser.Decode(2, 3, Placeholder, kShared, 3), TPtgParser::kNotRecognized);
}

} // namespace

// Tokens of Excel 2.x-95: the relative flags in the row word, one-byte
// columns, strings without an option byte, 3-D references naming the sheet,
// and (BIFF2-3) one-byte function numbers.
namespace {

std::string OldRef(unsigned type, unsigned rowWord, unsigned col) { return Byte(type) + U16(rowWord) + Byte(col); }
std::string OldArea(unsigned type, unsigned firstRow, unsigned lastRow, unsigned firstCol, unsigned lastCol) {
    return Byte(type) + U16(firstRow) + U16(lastRow) + Byte(firstCol) + Byte(lastCol);
}
std::string OldRef3d(unsigned type, int externIndex, unsigned sheet, unsigned rowWord, unsigned col) {
    return Byte(type) + U16(unsigned(externIndex) & 0xFFFF) + std::string(8, '\0') + U16(sheet) + U16(sheet) +
           U16(rowWord) + Byte(col);
}
std::string OldStr(const std::string& chars) { return Byte(0x17) + Byte(chars.size()) + chars; }

} // namespace

TEST_F(FormulaDecoder, DecodesTheTokensOfOlderVersions) {
    struct OlderCase {
        int version;
        const char* name;
        std::string tokens;
        uint16_t row, col;
        std::string expected;
    };
    const std::vector<OlderCase> cases = {
        {5, "reference plus integer", OldRef(0x24, kBothRelative, 1) + Int(5) + Op(0x03), 0, 0, "B1+5"},
        {5, "absolute reference", OldRef(0x44, 1, 1), 0, 0, "$B$2"},
        {5, "sum over an area", OldArea(0x25, kBothRelative, kBothRelative | 9, 0, 0) + Attr(0x10), 0, 0, "SUM(A1:A10)"},
        {5, "relative offsets are signed 14-bit", OldRef(0x2C, kBothRelative | 0x3FFF, 0xFF), 5, 3, "C5"},
        {5, "relative area", OldArea(0x2D, kBothRelative, kBothRelative | 2, 0, 1), 4, 2, "C5:D7"},
        {5, "reference on a sheet of this workbook", OldRef3d(0x3A, -1, 1, 1, 1), 0, 0, "'Data'!$B$2"},
        {5, "8-bit string", OldStr("abc") + Int(1) + Op(0x08), 0, 0, "\"abc\"&1"},
        {4, "two-byte function number", Func(74), 0, 0, "NOW()"},
        {3, "one-byte function number", Byte(0x21) + Byte(74), 0, 0, "NOW()"},
        {3, "one-byte variable-argument call", Int(1) + Int(2) + Byte(0x22) + Byte(2) + Byte(4), 0, 0, "SUM(1;2)"},
        {2, "reference of BIFF2", OldRef(0x24, kBothRelative, 0) + Num(1.5) + Op(0x05), 0, 0, "A1*1.5"},
    };
    for (const OlderCase& c : cases) {
        SCOPED_TRACE(c.name);
        Parser.Version = c.version;
        EXPECT_EQ(Decoded(c.tokens, c.row, c.col), c.expected);
    }
    // Not followed: another workbook's sheet, a sheet outside the list, 3-D
    // references before BIFF5, and BIFF2's shorter attribute tokens.
    const std::vector<std::pair<int, std::string>> refused = {
        {5, OldRef3d(0x3A, 1, 0, 0, 0)}, {5, OldRef3d(0x3A, -1, 9, 0, 0)}, {4, OldRef3d(0x3A, -1, 0, 0, 0)},
        {2, Attr(0x01) + Byte(0x21) + Byte(74)}, {5, OldRef(0x24, 0, 0).substr(0, 3)},
    };
    for (const auto& [version, tokens] : refused) {
        Parser.Version = version;
        ExpectNotRecognized(tokens);
    }
}
