// Row and column records, merged areas, page setup and view settings.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "fixtures/WorkbookBuilder.h"
#include "model/Workbook.h"
#include "platform/ScreenMetrics.h"

namespace {

const TSheet& FirstSheet(const TXLSFile& file) { return *file.Workbook().Sheets().Items(0); }

TBiffBody RowBody(uint16_t row, uint16_t height, uint16_t options, uint16_t xf = 0)
{
    return TBiffBody().U16(row).U16(0).U16(4).U16(height).U16(0).U16(0).U16(options).U16(xf);
}

TBiffBody ColInfoBody(uint16_t first, uint16_t last, uint16_t width, uint16_t xf, uint16_t options)
{
    return TBiffBody().U16(first).U16(last).U16(width).U16(xf).U16(options).U16(0);
}

TBiffBody TextBody(const std::u16string& text) { return TBiffBody().String16(text, false); }

TWorkbookBuilder StyledBook()
{
    TWorkbookBuilder book;
    book.Font().XF().XF({.FillPattern = 1});
    return book;
}

} // namespace

TEST(ReaderSheet, RowRecords)
{
    TWorkbookBuilder book = StyledBook();
    book.Sheet(u"S")
        .Record(BiffId::Row, RowBody(0, 300, 0x0023))          // outline level 3, hidden
        .Record(BiffId::Row, RowBody(1, 600, 0x0040 | 0x0080, 1)) // 30 points by hand, formatted
        .Record(BiffId::Row, RowBody(2, 300, 0x0080, 0x4001))    // XF word with high bits: not applied
        .Record(BiffId::Row, RowBody(3, 400, 0))
        .Record(BiffId::Row, RowBody(4, 0x8000, 0x0080, 1))    // bit 15: default height
        .Record(BiffId::Row, RowBody(5, 0x8000 | 400, 0x0040)) // the low bits do not count then
        .Record(BiffId::Row, RowBody(6, 0x8000, 0x0020))       // hidden all the same
        .Record(BiffId::Row, RowBody(7, 0x7FFF, 0x0040));      // the largest height in 15 bits
    const std::vector<uint8_t> bytes = book.FileBytes();
    auto file = OpenXlsBytes(bytes);
    const TRows& rows = FirstSheet(*file).Rows();
    ASSERT_NE(rows.FindRow(0), nullptr);
    EXPECT_EQ(rows.FindRow(0)->SizePixels(), 0);
    EXPECT_EQ(rows.FindRow(0)->OutlineLevel(), 3);
    EXPECT_EQ(rows.FindRow(1)->Size(), 30.0);
    EXPECT_TRUE(rows.FindRow(1)->CustomSize());
    EXPECT_EQ(rows.FindRow(1)->XFIndex(), 1);
    EXPECT_EQ(rows.FindRow(2)->XFIndex(), 0);
    EXPECT_EQ(rows.FindRow(3)->Size(), 20.0);
    EXPECT_FALSE(rows.FindRow(3)->CustomSize());
    TWorkbook untouched;
    const TRow& fresh = *untouched.Sheets().Items(0)->Rows().GetRow(0);
    ASSERT_NE(rows.FindRow(4), nullptr);
    EXPECT_EQ(rows.FindRow(4)->Size(), fresh.Size());
    EXPECT_EQ(rows.FindRow(4)->SizePixels(), fresh.SizePixels());
    EXPECT_EQ(rows.FindRow(5), nullptr); // nothing of it differs from a default row
    EXPECT_EQ(rows.FindRow(4)->XFIndex(), 1);
    EXPECT_EQ(rows.FindRow(6)->SizePixels(), 0);
    EXPECT_EQ(rows.FindRow(7)->Size(), 0x7FFF / 20.0);

    TReadOptions noRows;
    noRows.ReadRowInfo = false;
    EXPECT_EQ(FirstSheet(*OpenXlsBytes(bytes, u"", noRows)).Rows().Count(), 0);
}

TEST(ReaderSheet, ColumnRecordsClampTheLastColumn)
{
    TWorkbookBuilder book = StyledBook();
    book.Sheet(u"S")
        .Record(BiffId::ColInfo, ColInfoBody(0, 256, 2560, 1, 0x0200)) // 10 characters, outline level 2
        .Record(BiffId::ColInfo, ColInfoBody(3, 3, 2560, 0, 0x0001));  // hidden
    const std::vector<uint8_t> bytes = book.FileBytes();
    auto file = OpenXlsBytes(bytes);
    const TColumns& columns = FirstSheet(*file).Columns();
    EXPECT_EQ(columns.Count(), 256);
    ASSERT_NE(columns.FindColumn(255), nullptr);
    EXPECT_EQ(columns.FindColumn(255)->SizePixels(), int(CharsToPixels(FileWidthToChars(2560)) + 0.5));
    EXPECT_EQ(columns.FindColumn(255)->XFIndex(), 1);
    EXPECT_EQ(columns.FindColumn(255)->OutlineLevel(), 2);
    EXPECT_EQ(columns.FindColumn(3)->SizePixels(), 0);

    TReadOptions noColumns;
    noColumns.ReadColumnInfo = false;
    EXPECT_EQ(FirstSheet(*OpenXlsBytes(bytes, u"", noColumns)).Columns().Count(), 0);
}

TEST(ReaderSheet, MergedAreasMarkTheirCells)
{
    TWorkbookBuilder book;
    book.Sheet(u"S").Record(BiffId::MergeCells,
                            TBiffBody().U16(2).U16(0).U16(1).U16(0).U16(2).U16(4).U16(4).U16(3).U16(3).U16(7));
    auto file = OpenXlsBytes(book.FileBytes());
    const TSheet& sheet = FirstSheet(*file);
    ASSERT_EQ(sheet.Ranges().Count(), 2);
    EXPECT_TRUE(sheet.Ranges().Items(0)->Merged());
    EXPECT_EQ(sheet.Ranges().Items(0)->Rect(0), (TRangeRect {0, 1, 0, 2}));
    EXPECT_EQ(sheet.Cells().Count(), 6 + 1);
    EXPECT_TRUE(sheet.Cells().FindCell(1, 2)->Merged());
}

// Areas are checked as they are read: one that ends before it begins is
// passed over, and a column above 255 ends the area at 255 (a first column
// above 255 then lies after the last one). Taken as low bytes, these would
// have been whole rows.
TEST(ReaderSheet, MergedAreasOutsideTheSheetArePassedOver)
{
    TBiffBody body;
    body.U16(6);
    for (auto [firstRow, lastRow, firstCol, lastCol] : std::vector<std::array<uint16_t, 4>> {
             {5, 2, 0, 1},      // rows inverted
             {0, 1, 3, 2},      // columns inverted
             {0, 1, 256, 511},  // starts right of the sheet
             {3, 4, 250, 300},  // ends right of the sheet: cut at 255
             {6, 6, 0, 0xFFFF}, // to the last column
             {8, 9, 1, 2}})
        body.U16(firstRow).U16(lastRow).U16(firstCol).U16(lastCol);
    TWorkbookBuilder book;
    book.Sheet(u"S").Record(BiffId::MergeCells, body);
    auto file = OpenXlsBytes(book.FileBytes());
    const TSheet& sheet = FirstSheet(*file);
    ASSERT_EQ(sheet.Ranges().Count(), 3);
    EXPECT_EQ(sheet.Ranges().Items(0)->Rect(0), (TRangeRect {3, 4, 250, 255}));
    EXPECT_EQ(sheet.Ranges().Items(1)->Rect(0), (TRangeRect {6, 6, 0, 255}));
    EXPECT_EQ(sheet.Ranges().Items(2)->Rect(0), (TRangeRect {8, 9, 1, 2}));
    EXPECT_EQ(sheet.Cells().Count(), 2 * 6 + 256 + 2 * 2);
    EXPECT_EQ(sheet.Cells().FindCell(0, 0), nullptr);
    EXPECT_EQ(sheet.Cells().FindCell(2, 0), nullptr);
}

TEST(ReaderSheet, HeaderAndFooterSections)
{
    TWorkbookBuilder book;
    TSheetBuilder& sheet = book.Sheet(u"S");
    sheet.Record(BiffId::Header, TextBody(u"&LLeft&CMiddle&RRight"))
        .Record(BiffId::Footer, TextBody(u"&CPage &P"))
        .Record(BiffId::Footer, TextBody(u"no codes"))
        .Record(BiffId::Footer, TBiffBody());
    auto file = OpenXlsBytes(book.FileBytes());
    const TPageSetup& setup = FirstSheet(*file).PageSetup();
    EXPECT_EQ(setup.HeaderLeft, "Left");
    EXPECT_EQ(setup.HeaderCenter, "Middle");
    EXPECT_EQ(setup.HeaderRight, "Right");
    EXPECT_EQ(setup.FooterCenter, "Page &P");
    EXPECT_EQ(setup.FooterLeft, "");
    EXPECT_EQ(setup.FooterRight, "");
}

TEST(ReaderSheet, PageSetupRecords)
{
    auto setupBody = [](uint16_t options) {
        return TBiffBody().U16(9).U16(80).U16(5).U16(2).U16(3).U16(options).U32(0).Double(0.3).Double(0.4).U16(1);
    };
    TWorkbookBuilder book;
    book.Sheet(u"Used").Record(BiffId::Setup, setupBody(0x0080 | 0x0001 | 0x0008))
        .Record(0x0026, TBiffBody().Double(0.25))
        .Record(0x0029, TBiffBody().Double(1.5))
        .Record(0x002A, TBiffBody().U16(1))
        .Record(0x002B, TBiffBody().U16(1))
        .Record(0x0083, TBiffBody().U16(1))
        .Record(0x0084, TBiffBody().U16(2))
        .Record(0x0081, TBiffBody().U16(0x0100 | 0x0040));
    book.Sheet(u"Auto").Record(BiffId::Setup, setupBody(0x0002 | 0x0010));
    auto file = OpenXlsBytes(book.FileBytes());

    const TPageSetup& used = FirstSheet(*file).PageSetup();
    EXPECT_EQ(used.PaperSize, 9);
    EXPECT_EQ(used.Scale, 80);
    EXPECT_EQ(used.StartPageNumber, 5);
    EXPECT_EQ(used.FitWidth, 2);
    EXPECT_EQ(used.FitHeight, 3);
    EXPECT_TRUE(used.OverThenDown);
    EXPECT_FALSE(used.Portrait);
    EXPECT_TRUE(used.BlackAndWhite);
    EXPECT_FALSE(used.DraftQuality);
    EXPECT_EQ(used.HeaderMargin, 0.3);
    EXPECT_EQ(used.FooterMargin, 0.4);
    EXPECT_EQ(used.LeftMargin, 0.25);
    EXPECT_EQ(used.BottomMargin, 1.5);
    EXPECT_TRUE(used.PrintHeadings);
    EXPECT_TRUE(used.PrintGridLines);
    EXPECT_TRUE(used.CenterHorizontally);
    EXPECT_FALSE(used.CenterVertically);
    EXPECT_FALSE(used.SummaryRowsAbove);
    EXPECT_TRUE(used.SummaryColsLeft);
    EXPECT_FALSE(used.UseScale);

    const TPageSetup& automatic = file->Workbook().Sheets().Items(1)->PageSetup();
    EXPECT_EQ(automatic.StartPageNumber, -1);
    EXPECT_TRUE(automatic.Portrait);
    EXPECT_TRUE(automatic.DraftQuality);
}

TEST(ReaderSheet, ViewRecords)
{
    TWorkbookBuilder book;
    book.Sheet(u"Zoomed")
        .Record(BiffId::Window2, TBiffBody().U16(0x0800 | 0x0004))
        .Record(0x0041, TBiffBody().U16(0x0102).U16(7).Zeros(6))
        .Record(BiffId::Scl, TBiffBody().U16(3).U16(4));
    book.Sheet(u"Kept").Record(BiffId::Scl, TBiffBody().U16(3).U16(0));
    auto file = OpenXlsBytes(book.FileBytes());
    const TSheet& zoomed = FirstSheet(*file);
    EXPECT_FALSE(zoomed.ShowGridLines);
    EXPECT_TRUE(zoomed.ShowHeadings);
    EXPECT_FALSE(zoomed.ShowZeros);
    EXPECT_TRUE(zoomed.PageBreakPreview);
    EXPECT_EQ(zoomed.FrozenColumns, 2);
    EXPECT_EQ(zoomed.FrozenRows, 7);
    EXPECT_EQ(zoomed.Zoom, 75u);
    EXPECT_EQ(file->Workbook().Sheets().Items(1)->Zoom, 100u);
}
