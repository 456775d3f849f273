// Cell records: numbers, RK numbers, strings, booleans, formatted empty cells
// and the date rule of ApplyCellFormat.
#include <gtest/gtest.h>

#include "fixtures/WorkbookBuilder.h"
#include "model/Workbook.h"
#include "styles/XLSError.h"

namespace {

const TSheet& FirstSheet(const TXLSFile& file) { return *file.Workbook().Sheets().Items(0); }

// The value of a stored cell; Null when the cell is not stored.
TVariant ValueAt(const TCells& cells, int row, int col)
{
    const TCell* cell = cells.FindCell(row, col);
    return cell ? cell->Value() : TVariant::Null();
}

// The XF index of a stored cell, -1 when the cell is not stored.
int XFAt(const TCells& cells, int row, int col)
{
    const TCell* cell = cells.FindCell(row, col);
    return cell ? cell->XFIndex() : -1;
}

// A workbook with XF 0 plain (General), XF 1 under the built-in date format
// 14, XF 2 with a solid fill, XF 3 unlocked.
TWorkbookBuilder StyledBook()
{
    TWorkbookBuilder book;
    book.Font().XF().XF({.FormatCode = 14}).XF({.FillPattern = 1}).XF({.Locked = false});
    return book;
}

} // namespace

TEST(ReaderCells, RKNumbers)
{
    struct {
        uint32_t Rk;
        double Value;
    } cases[] = {
        {0x3FF00000, 1.0}, {0x3FF00001, 0.01}, {0x00000192, 100.0},
        {0x00000193, 1.0}, {0xFFFFFFFE, -1.0}, {0xC0000002u, -268435456.0},
    };
    for (const auto& c : cases) EXPECT_EQ(RKToDouble(c.Rk), c.Value) << std::hex << c.Rk;

    TWorkbookBuilder book;
    book.Sheet(u"S").Rk(0, 0, 0x3FF00001).MulRk(1, 2, {{0, 0x00000192}, {0, 0xFFFFFFFE}});
    auto file = OpenXlsBytes(book.FileBytes());
    const TCells& cells = FirstSheet(*file).Cells();
    EXPECT_EQ(ValueAt(cells, 0, 0), TVariant::Double(0.01));
    EXPECT_EQ(ValueAt(cells, 1, 2), TVariant::Double(100));
    EXPECT_EQ(ValueAt(cells, 1, 3), TVariant::Double(-1));
    EXPECT_EQ(cells.Count(), 3);
}

TEST(ReaderCells, SerialsUnderADateFormatBecomeDates)
{
    struct {
        double Serial;
        double Date; // days since 1899-12-30
    } cases[] = {
        {1, 2},       // 1900-01-01
        {45, 46},     // 1900-02-14
        {60, 61},     // the 1900-02-29 that never was: 1900-03-01
        {61, 61},     // 1900-03-01
        {39478.5, 39478.5},
    };
    TWorkbookBuilder book = StyledBook();
    TSheetBuilder& sheet = book.Sheet(u"S");
    for (uint16_t i = 0; i < std::size(cases); ++i) sheet.Number(i, 0, cases[i].Serial, 1);
    sheet.Rk(10, 0, 0x000000B6, 1); // 45 as an RK integer
    sheet.Number(11, 0, 45, 0);     // General: stays a number
    sheet.Label(12, 0, u"text", false, 1);
    auto file = OpenXlsBytes(book.FileBytes());
    const TCells& cells = FirstSheet(*file).Cells();
    for (uint16_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(ValueAt(cells, i, 0), TVariant::Date(cases[i].Date)) << cases[i].Serial;
    EXPECT_EQ(ValueAt(cells, 10, 0), TVariant::Date(46));
    EXPECT_EQ(ValueAt(cells, 11, 0), TVariant::Double(45));
    EXPECT_EQ(ValueAt(cells, 12, 0), TVariant::String("text"));
    EXPECT_EQ(XFAt(cells, 12, 0), 1);
}

TEST(ReaderCells, SerialsOfA1904WorkbookCountFrom1904)
{
    TWorkbookBuilder book = StyledBook();
    book.DateMode(1);
    book.Sheet(u"S").Number(0, 0, 0, 1).Number(1, 0, 59, 1).Number(2, 0, 37986.25, 1);
    auto file = OpenXlsBytes(book.FileBytes());
    const TCells& cells = FirstSheet(*file).Cells();
    EXPECT_EQ(ValueAt(cells, 0, 0), TVariant::Date(1462));         // 1904-01-01
    EXPECT_EQ(ValueAt(cells, 1, 0), TVariant::Date(1521));         // 1904-02-29
    EXPECT_EQ(ValueAt(cells, 2, 0), TVariant::Date(39448.25));     // 2008-01-01 06:00
    EXPECT_EQ(SerialToDate(60, false), 61);
    EXPECT_EQ(SerialToDate(60, true), 1522);
}

TEST(ReaderCells, Labels)
{
    TWorkbookBuilder book;
    book.Sheet(u"S")
        .Label(0, 0, u"")
        .Label(0, 1, u"caf\u00E9")
        .Label(0, 2, u"\u0416x", true)
        .Record(BiffId::Label, TBiffBody().U16(0).U16(3).U16(0).U16(10).U8(0).Chars(u"cut", false));
    auto file = OpenXlsBytes(book.FileBytes());
    const TCells& cells = FirstSheet(*file).Cells();
    EXPECT_EQ(ValueAt(cells, 0, 0), TVariant::String(""));
    EXPECT_EQ(ValueAt(cells, 0, 1), TVariant::String("caf\xE9"));
    EXPECT_EQ(ValueAt(cells, 0, 2), TVariant::Wide(u"\u0416x"));
    EXPECT_EQ(ValueAt(cells, 0, 3), TVariant::String("")); // characters cut off by the body
}

TEST(ReaderCells, BooleansAndErrors)
{
    TWorkbookBuilder book = StyledBook();
    book.Sheet(u"S")
        .BoolErr(0, 0, 1, false, 3)
        .BoolErr(0, 1, 0, false)
        .BoolErr(0, 2, 0x07, true, 3)
        .BoolErr(0, 3, 0, true, 3)   // #NULL! has the value byte 0
        .BoolErr(0, 4, 0x2A, true, 2)
        .BoolErr(0, 5, 0x08, true, 3) // no error code
        .BoolErr(0, 6, 2, false, 3);  // no boolean
    auto file = OpenXlsBytes(book.FileBytes());
    const TCells& cells = FirstSheet(*file).Cells();
    EXPECT_EQ(ValueAt(cells, 0, 0), TVariant::Boolean(true));
    EXPECT_EQ(XFAt(cells, 0, 0), 3);
    EXPECT_EQ(ValueAt(cells, 0, 1), TVariant::Boolean(false));
    EXPECT_EQ(ValueAt(cells, 0, 2), TVariant::Error(0x07));
    EXPECT_EQ(XFAt(cells, 0, 2), 3);
    EXPECT_EQ(ValueAt(cells, 0, 3), TVariant::Error(0x00));
    EXPECT_EQ(ValueAt(cells, 0, 4), TVariant::Error(0x2A));
    EXPECT_EQ(XFAt(cells, 0, 4), 2);
    EXPECT_TRUE(ValueAt(cells, 0, 5).IsEmpty());
    EXPECT_EQ(XFAt(cells, 0, 5), 3);
    EXPECT_EQ(cells.FindCell(0, 6), nullptr);
}

TEST(ReaderCells, BlankCellsAreFormattedUnlessPlainOrSwitchedOff)
{
    TWorkbookBuilder book = StyledBook();
    book.Sheet(u"S").Blank(0, 0, 2).Blank(0, 1, 0).Blank(0, 2, 1).Blank(0, 3, 99).MulBlank(1, 0, {3, 0, 2, 200});
    const std::vector<uint8_t> bytes = book.FileBytes();

    auto file = OpenXlsBytes(bytes);
    const TCells& cells = FirstSheet(*file).Cells();
    EXPECT_EQ(XFAt(cells, 0, 0), 2);
    EXPECT_EQ(XFAt(cells, 0, 1), -1); // plain
    EXPECT_EQ(XFAt(cells, 0, 2), 1);  // a number format is not plain
    EXPECT_EQ(XFAt(cells, 0, 3), -1); // outside the XF table
    EXPECT_EQ(XFAt(cells, 1, 0), 3);  // unlocked
    EXPECT_EQ(XFAt(cells, 1, 1), -1);
    EXPECT_EQ(XFAt(cells, 1, 2), 2);
    EXPECT_EQ(XFAt(cells, 1, 3), -1);
    EXPECT_EQ(cells.Count(), 4);

    TReadOptions noBlanks;
    noBlanks.ReadBlankCells = false;
    EXPECT_EQ(FirstSheet(*OpenXlsBytes(bytes, u"", noBlanks)).Cells().Count(), 0);
}

TEST(ReaderCells, ColumnsPast255EndTheReadWithCode5)
{
    auto expectCode5 = [](TSheetBuilder& (*fill)(TSheetBuilder&)) {
        TWorkbookBuilder book = StyledBook();
        fill(book.Sheet(u"S"));
        EXPECT_EQ(OpenErrorCode(book.FileBytes()), 5);
    };
    expectCode5([](TSheetBuilder& s) -> TSheetBuilder& { return s.Number(0, 256, 1); });
    // The running column of MULRK and MULBLANK does not wrap to column 0.
    expectCode5([](TSheetBuilder& s) -> TSheetBuilder& { return s.MulRk(0, 254, {{0, 2}, {0, 2}, {0, 2}}); });
    expectCode5([](TSheetBuilder& s) -> TSheetBuilder& { return s.MulBlank(0, 255, {2, 2}); });
}

TEST(ReaderCells, ShortBodiesGiveZeroFields)
{
    TWorkbookBuilder book;
    book.Sheet(u"S")
        .Record(BiffId::Number, TBiffBody().U16(2).U16(1).U16(0).U32(0)) // half a double
        .Record(BiffId::Rk, TBiffBody().U16(3))
        .Record(BiffId::MulRk, TBiffBody().U16(4).U16(0).U16(0).U16(2)) // no whole pair
        .Record(BiffId::LabelSst, TBiffBody());
    EXPECT_THROW(OpenXlsBytes(book.FileBytes()), ERangeError); // LABELSST index 0 of an empty table
    book.Sheets[0]->Records.pop_back();
    auto file = OpenXlsBytes(book.FileBytes());
    const TCells& cells = FirstSheet(*file).Cells();
    EXPECT_EQ(ValueAt(cells, 2, 1), TVariant::Double(0));
    EXPECT_EQ(ValueAt(cells, 3, 0), TVariant::Double(0));
    EXPECT_EQ(cells.FindCell(4, 0), nullptr);
}
