// FORMULA records with their cached results, STRING, SHRFMLA, and the
// formula texts decoded after the record loop.
#include <gtest/gtest.h>

#include "fixtures/WorkbookBuilder.h"
#include "model/Workbook.h"
#include "styles/XLSError.h"

namespace {

const TCells& FirstCells(const TXLSFile& file) { return file.Workbook().Sheets().Items(0)->Cells(); }

TVariant ValueAt(const TCells& cells, int row, int col)
{
    const TCell* cell = cells.FindCell(row, col);
    return cell ? cell->Value() : TVariant::Null();
}

std::string FormulaAt(const TCells& cells, int row, int col)
{
    const TCell* cell = cells.FindCell(row, col);
    return cell ? cell->Formula() : "<no cell>";
}

// 1+2 in tokens: PtgInt 1, PtgInt 2, PtgAdd.
const std::vector<uint8_t> OnePlusTwo = {0x1E, 1, 0, 0x1E, 2, 0, 0x03};
// A token no decoder knows.
const std::vector<uint8_t> Garbage = {0xFF, 0xFF};

TWorkbookBuilder FormulaBook()
{
    TWorkbookBuilder book;
    book.Font().XF().XF({.FillPattern = 1}).XF({.FormatCode = 14});
    return book;
}

} // namespace

TEST(ReaderFormula, CachedResultsAndFormulaTexts)
{
    TWorkbookBuilder book = FormulaBook();
    book.Sheet(u"S")
        .Formula(0, 0, NumberResult(3), OnePlusTwo)
        .Formula(1, 0, SpecialResult(1, 1), OnePlusTwo)
        .Formula(2, 0, SpecialResult(2, 0x07), OnePlusTwo, 1)
        .Formula(3, 0, NumberResult(45), OnePlusTwo, 2)
        .Formula(4, 0, SpecialResult(2, 0x2A), OnePlusTwo, 2)  // not turned into a date
        .Formula(5, 0, SpecialResult(2, 0x63), OnePlusTwo, 1); // no error code
    auto file = OpenXlsBytes(book.FileBytes());
    const TCells& cells = FirstCells(*file);
    EXPECT_EQ(ValueAt(cells, 0, 0), TVariant::Double(3));
    EXPECT_EQ(ValueAt(cells, 1, 0), TVariant::Boolean(true));
    EXPECT_EQ(ValueAt(cells, 2, 0), TVariant::Error(0x07)); // an error result with the format
    EXPECT_EQ(cells.FindCell(2, 0)->XFIndex(), 1);
    EXPECT_EQ(ValueAt(cells, 3, 0), TVariant::Date(46)); // under a date format
    EXPECT_EQ(ValueAt(cells, 4, 0), TVariant::Error(0x2A));
    EXPECT_TRUE(ValueAt(cells, 5, 0).IsEmpty());
    EXPECT_EQ(cells.FindCell(5, 0)->XFIndex(), 1);
    for (int row = 0; row < 6; ++row) EXPECT_EQ(FormulaAt(cells, row, 0), "1+2");
}

TEST(ReaderFormula, StringResultTakesTheTextOfTheStringRecord)
{
    TWorkbookBuilder book = FormulaBook();
    TSheetBuilder& sheet = book.Sheet(u"S");
    sheet.String(u"stray"); // no pending formula: passed over
    sheet.Formula(0, 0, SpecialResult(0), OnePlusTwo, 1).String(u"abc");
    sheet.Formula(1, 0, SpecialResult(0), OnePlusTwo, 1); // no STRING follows
    sheet.Number(2, 0, 5);
    // Characters continued in a CONTINUE record that switches to two bytes.
    sheet.Formula(3, 0, SpecialResult(0), OnePlusTwo, 1)
        .Record(BiffId::String, TBiffBody().U16(5).U8(0).Chars(u"ab", false).ContinueString(true).Chars(u"c\u0416e", true));
    sheet.Number(4, 0, 6);
    auto file = OpenXlsBytes(book.FileBytes());
    const TCells& cells = FirstCells(*file);
    EXPECT_EQ(ValueAt(cells, 0, 0), TVariant::String("abc"));
    EXPECT_EQ(cells.FindCell(0, 0)->XFIndex(), 1);
    EXPECT_TRUE(ValueAt(cells, 1, 0).IsEmpty());
    EXPECT_EQ(cells.FindCell(1, 0)->XFIndex(), 1);
    EXPECT_EQ(FormulaAt(cells, 1, 0), "1+2");
    EXPECT_EQ(ValueAt(cells, 2, 0), TVariant::Double(5));
    EXPECT_EQ(ValueAt(cells, 3, 0), TVariant::Wide(u"abc\u0416e"));
    EXPECT_EQ(ValueAt(cells, 4, 0), TVariant::Double(6));
}

TEST(ReaderFormula, StringCutShortHandsTheNextRecordToTheLoop)
{
    TWorkbookBuilder book = FormulaBook();
    book.Sheet(u"S")
        .Formula(0, 0, SpecialResult(0), OnePlusTwo)
        .Record(BiffId::String, TBiffBody().U16(10).U8(0).Chars(u"abc", false))
        .String(u"next") // not a CONTINUE: dispatched on its own, no formula pending
        .Number(1, 0, 7);
    auto file = OpenXlsBytes(book.FileBytes());
    const TCells& cells = FirstCells(*file);
    EXPECT_EQ(ValueAt(cells, 0, 0), TVariant::String("abc"));
    EXPECT_EQ(ValueAt(cells, 1, 0), TVariant::Double(7));
}

TEST(ReaderFormula, WithoutReadFormulasOnlyTheResultsAreRead)
{
    TWorkbookBuilder book = FormulaBook();
    book.Sheet(u"S").Formula(0, 0, NumberResult(3), OnePlusTwo).Formula(1, 0, SpecialResult(0), Garbage).String(u"x");
    TReadOptions options;
    options.ReadFormulas = false;
    options.StrictFormulas = true;
    auto file = OpenXlsBytes(book.FileBytes(), u"", options);
    const TCells& cells = FirstCells(*file);
    EXPECT_EQ(ValueAt(cells, 0, 0), TVariant::Double(3));
    EXPECT_EQ(FormulaAt(cells, 0, 0), "");
    EXPECT_EQ(ValueAt(cells, 1, 0), TVariant::String("x"));
    EXPECT_EQ(FormulaAt(cells, 1, 0), "");
}

TEST(ReaderFormula, UndecodableFormulaIsEmptyOrEndsAStrictRead)
{
    TWorkbookBuilder book = FormulaBook();
    book.Sheet(u"S").Formula(0, 0, NumberResult(3), Garbage).Formula(1, 0, NumberResult(3), OnePlusTwo);
    auto file = OpenXlsBytes(book.FileBytes());
    EXPECT_EQ(FormulaAt(FirstCells(*file), 0, 0), "");
    EXPECT_EQ(FormulaAt(FirstCells(*file), 1, 0), "1+2");

    TReadOptions strict;
    strict.StrictFormulas = true;
    EXPECT_EQ(OpenErrorCode(book.FileBytes(), strict), 13);
}

TEST(ReaderFormula, SharedFormulasAndSheetReferences)
{
    TWorkbookBuilder book = FormulaBook();
    book.Record(BiffId::ExternSheet, TBiffBody().U16(1).U16(0).U16(1).U16(1));
    book.Sheet(u"First");
    TSheetBuilder& second = book.Sheet(u"Second");
    // PtgExp pointing at the shared formula's anchor (5, 0); shared tokens: 7.
    const std::vector<uint8_t> exp = {0x01, 5, 0, 0, 0};
    second.Formula(5, 0, NumberResult(7), exp, 0, 0x0008)
        .Record(BiffId::ShrFmla, TBiffBody().U16(5).U16(6).U8(0).U8(0).U8(0).U8(2).U16(3).Bytes(std::vector<uint8_t>{0x1E, 7, 0}))
        .Formula(6, 0, NumberResult(7), exp, 0, 0x0008)
        .Formula(7, 0, NumberResult(0), {0x3A, 0, 0, 2, 0, 1, 0xC0}); // Second!B3 through EXTERNSHEET 0
    auto file = OpenXlsBytes(book.FileBytes());
    const TCells& cells = file->Workbook().Sheets().Items(1)->Cells();
    EXPECT_EQ(FormulaAt(cells, 5, 0), "7");
    EXPECT_EQ(FormulaAt(cells, 6, 0), "7");
    EXPECT_EQ(FormulaAt(cells, 7, 0), "'Second'!B3");
}
