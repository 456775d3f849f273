// The function table, the text stack and the shared formula store.
#include "formulas/Lists.h"
#include "formulas/XLSFormula.h"
#include "styles/XLSError.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

TEST(FormulaFunctions, TableHoldsSeventySixDistinctNumbers) {
    std::set<uint32_t> numbers;
    for (const TXLSFunctionRec& rec : XLSFunctions()) numbers.insert(rec.FuncNumber);
    EXPECT_EQ(XLSFunctions().size(), 76u);
    EXPECT_EQ(numbers.size(), 76u);
}

TEST(FormulaFunctions, FindsByNumber) {
    struct Case {
        uint16_t number;
        const char* name;
        int32_t argCount;
    };
    const Case cases[] = {
        {4, "SUM", -1},       {0, "COUNT", 1},     {221, "TODAY", 0},   {27, "ROUND", 2},
        {212, "ROUNDUP", 2},  {213, "ROUNDDOWN", 2}, {285, "FLOOR", 2}, {288, "CEILING", 2},
        {8, "ROW", -1},       {1, "IF", 3},        {347, "COUNTBLANK", 1}, {336, "CONCATENATE", -1},
    };
    for (const Case& c : cases) {
        const TXLSFunctionRec* rec = FindFunction(c.number);
        ASSERT_NE(rec, nullptr) << c.number;
        EXPECT_EQ(rec->FuncName, c.name);
        EXPECT_EQ(rec->ArgCount, c.argCount) << c.name;
    }
    for (uint16_t missing : {100, 255, 0x8004, 0xFFFF}) EXPECT_EQ(FindFunction(missing), nullptr) << missing;
}

TEST(FormulaStringStack, PopsInReverseAndRefusesAnEmptyStack) {
    TStringStack stack;
    EXPECT_THROW(stack.Pop(), ERangeError);
    EXPECT_THROW(stack.Bottom(), ERangeError);
    stack.Push("a");
    stack.Push("b");
    EXPECT_EQ(stack.Bottom(), "a");
    EXPECT_EQ(stack.Pop(), "b");
    EXPECT_EQ(stack.Pop(), "a");
    EXPECT_EQ(stack.Count(), 0);
}

TEST(FormulaSharedStore, KeepsTheRectangleAndEveryByteAfterTheHeader) {
    TXLSSharedFormulas store;
    // rows 0x0102..0x0304, columns 5..6, reserved, use count, token length 1 (too small on purpose)
    store.Add(3, std::string("\x02\x01\x04\x03\x05\x06\x00\x02\x01\x00\x1E\x07\x00", 13));
    ASSERT_EQ(store.Count(), 1);
    const TXLSSharedFormula& item = store.Items()[0];
    EXPECT_EQ(item.SheetIndex, 3);
    EXPECT_EQ(item.FirstRow, 0x0102);
    EXPECT_EQ(item.LastRow, 0x0304);
    EXPECT_EQ(item.FirstCol, 5);
    EXPECT_EQ(item.LastCol, 6);
    EXPECT_EQ(item.Tokens, std::string("\x1E\x07\x00", 3));
}

TEST(FormulaSharedStore, MatchesOnlyInsideTheRectangleOfTheSameSheet) {
    TXLSSharedFormulas store;
    store.Add(0, std::string("\x02\x00\x04\x00\x01\x03\x00\x01\x01\x00", 10) + "T");
    struct Case {
        uint16_t sheet, row, col;
        bool found;
    };
    const Case cases[] = {
        {0, 2, 1, true},  {0, 4, 3, true},  {0, 3, 2, true},  {0, 1, 2, false},
        {0, 5, 2, false}, {0, 3, 0, false}, {0, 3, 4, false}, {1, 3, 2, false},
        {0, 3, 0x101, false}, // the column is compared whole, not by its low byte
    };
    for (const Case& c : cases)
        EXPECT_EQ(store.FindTokens(c.sheet, c.row, c.col), c.found ? "T" : "")
            << c.sheet << " " << c.row << " " << c.col;
}

TEST(FormulaSharedStore, PassesOverBodiesTooShortForTheHeader) {
    TXLSSharedFormulas store;
    store.Add(0, std::string("\x00\x00\x09\x00\x00", 5));
    store.Add(0, "");
    EXPECT_EQ(store.Count(), 0);
    EXPECT_EQ(store.FindTokens(0, 0, 0), "");
}

} // namespace
