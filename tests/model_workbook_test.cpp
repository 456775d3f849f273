#include <gtest/gtest.h>

#include "model/Workbook.h"
#include "styles/XLSError.h"

namespace {

uint8_t AddFails(TWorkbook& wb, const std::u16string& name)
{
    try {
        wb.Sheets().Add(name);
    } catch (const EXLSError& e) {
        return e.ErrorCode();
    }
    return 0;
}

} // namespace

TEST(Workbook, CreateNamesSheetsInOrder)
{
    TWorkbook wb(3);
    ASSERT_EQ(wb.Sheets().Count(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(wb.Sheets().Items(i)->Index(), i);
        EXPECT_EQ(wb.Sheets().Items(i)->Workbook(), &wb);
    }
    EXPECT_EQ(wb.Sheets().Items(2)->Name(), u"Sheet3");
    EXPECT_EQ(wb.Sheets().FindByName(u"Sheet2"), wb.Sheets().Items(1));
    EXPECT_EQ(wb.Sheets().FindByName(u"sheet2"), nullptr);
    try {
        wb.Sheets().Items(3);
        FAIL();
    } catch (const ERangeError& e) {
        EXPECT_STREQ(e.what(), "List index (3) out of bounds !");
    }
    EXPECT_EQ(wb.StyleTables()->XFTable, &wb.XFTable());
    EXPECT_EQ(TWorkbook().Sheets().Count(), 1);
}

TEST(Workbook, SheetNameValidation)
{
    TWorkbook wb(0);
    wb.Sheets().Add(u"Sheet1");
    EXPECT_EQ(AddFails(wb, u"Sheet1"), 6);
    EXPECT_EQ(wb.Sheets().Count(), 1);
    EXPECT_EQ(AddFails(wb, std::u16string(256, u'a')), 7);
    EXPECT_EQ(AddFails(wb, u""), 7);
    EXPECT_EQ(AddFails(wb, u"   "), 6);
    EXPECT_EQ(AddFails(wb, u"\t\x01 "), 6);
    EXPECT_EQ(AddFails(wb, std::u16string(255, u'a')), 0);
    EXPECT_EQ(AddFails(wb, u" x "), 0);
    EXPECT_EQ(wb.Sheets().Items(2)->Name(), u" x "); // stored untrimmed
    EXPECT_EQ(AddFails(wb, u"Data"), 0);
    EXPECT_EQ(AddFails(wb, u"DATA"), 0);
    EXPECT_EQ(AddFails(wb, u"\u4E2D"), 0); // "?" in the code page is not blank
    EXPECT_EQ(wb.Sheets().Count(), 6);

    try {
        wb.Sheets().Add(u"");
        FAIL();
    } catch (const EXLSError& e) {
        EXPECT_STREQ(e.what(), "Sheet name must have a length 1..255");
    }
}

TEST(Workbook, RenamingASheet)
{
    TWorkbook wb(2);
    TSheet* sheet = wb.Sheets().Items(0);
    try {
        sheet->SetName(u"Sheet1"); // its own name counts as taken
        FAIL();
    } catch (const EXLSError& e) {
        EXPECT_EQ(e.ErrorCode(), 6);
        EXPECT_STREQ(e.what(), "Invalid or duplicated sheet name");
    }
    EXPECT_THROW(sheet->SetName(u"Sheet2"), EXLSError);
    EXPECT_THROW(sheet->SetName(u""), EXLSError);
    EXPECT_EQ(sheet->Name(), u"Sheet1");
    sheet->SetName(u"Summary");
    EXPECT_EQ(wb.Sheets().FindByName(u"Summary"), sheet);
    // The old name is free again, and taken once more by the next sheet.
    EXPECT_EQ(wb.Sheets().FindByName(u"Sheet1"), nullptr);
    TSheet* added = wb.Sheets().Add(u"Sheet1");
    EXPECT_EQ(wb.Sheets().FindByName(u"Sheet1"), added);
    EXPECT_THROW(wb.Sheets().Add(u"Summary"), EXLSError);
    wb.Sheets().Clear();
    EXPECT_EQ(wb.Sheets().FindByName(u"Summary"), nullptr);
}

TEST(Workbook, ClearKeepsTheXFTableAndRenewsTheOthers)
{
    TWorkbook wb(2);
    wb.FormatStrings().SetFormat("0.000", 164);
    wb.FontTable().ResetBuffer().Bold = 1;
    wb.FontTable().Append();
    wb.XFTable().ResetBuffer().HAlign = 3;
    wb.XFTable().Append();
    wb.Date1904 = true;
    TVirtualXFTable* xfs = &wb.XFTable();

    wb.Clear();
    EXPECT_EQ(wb.Sheets().Count(), 0);
    EXPECT_EQ(wb.FormatStrings().Count(), 36);
    EXPECT_EQ(wb.FontTable().Count(), 1);
    EXPECT_EQ(&wb.XFTable(), xfs);
    EXPECT_EQ(wb.XFTable().Count(), 2);
    EXPECT_FALSE(wb.Date1904);
    EXPECT_EQ(wb.StyleTables()->FontTable, &wb.FontTable());
    EXPECT_EQ(wb.StyleTables()->FormatStrings, &wb.FormatStrings());

    // A sheet added afterwards works with the new tables.
    TSheet* sheet = wb.Sheets().Add(u"After");
    EXPECT_EQ(sheet->Index(), 0);
    sheet->Cells().GetCell(0, 0)->SetFontBold(true);
    EXPECT_TRUE(sheet->Cells().FindCell(0, 0)->FontBold());
}

TEST(Workbook, SheetDefaults)
{
    TWorkbook wb;
    const TSheet& s = *wb.Sheets().Items(0);
    EXPECT_TRUE(s.ShowGridLines && s.ShowHeadings && s.ShowZeros);
    EXPECT_FALSE(s.PageBreakPreview);
    EXPECT_EQ(s.Zoom, 100u);
    EXPECT_EQ(s.FrozenRows, 0);
    EXPECT_EQ(s.FrozenColumns, 0);
    EXPECT_EQ(s.PasswordHash, 0);
    EXPECT_EQ(wb.PasswordHash, 0);
    EXPECT_EQ(s.Cells().Count() + s.Rows().Count() + s.Columns().Count() + s.Ranges().Count(), 0);
    EXPECT_EQ(s.Images().Count(), 0);
    EXPECT_EQ(s.StyleTables(), wb.StyleTables());
}

TEST(CellStore, CoordinateBounds)
{
    TWorkbook wb;
    TCells& cells = wb.Sheets().Items(0)->Cells();
    for (auto [row, col] : {std::pair{0, 256}, {0, -1}, {65536, 0}, {-1, 0}}) {
        try {
            cells.GetCell(row, col);
            FAIL() << row << "," << col;
        } catch (const EXLSError& e) {
            EXPECT_EQ(e.ErrorCode(), 5);
            EXPECT_STREQ(e.what(), "Invalid row or column number");
        }
    }
    EXPECT_EQ(cells.PendingItem(), nullptr); // unchanged
    TCell* corner = cells.GetCell(65535, 255);
    EXPECT_EQ(corner->Row(), 65535);
    EXPECT_EQ(corner->Col(), 255);
    EXPECT_EQ(cells.FindCell(0, 300), nullptr);
}

TEST(CellStore, PendingCellsStayOutOfTheStore)
{
    TWorkbook wb;
    TCells& cells = wb.Sheets().Items(0)->Cells();
    TCell* a = cells.GetCell(1, 1);
    EXPECT_FALSE(a->Stored());
    EXPECT_EQ(cells.PendingItem(), a);
    TCell* b = cells.GetCell(2, 2);
    EXPECT_EQ(b->Row(), 2);
    EXPECT_EQ(cells.Count(), 0);
    EXPECT_EQ(cells.FindCell(1, 1), nullptr);
    EXPECT_EQ(cells.FindCell(2, 2), nullptr);
    EXPECT_THROW(cells.Items(0), ERangeError);

    b->SetValue(TVariant::Double(1.5));
    EXPECT_TRUE(b->Stored());
    EXPECT_EQ(cells.PendingItem(), nullptr);
    EXPECT_EQ(cells.Count(), 1);
    EXPECT_EQ(cells.FindCell(2, 2), b);
    EXPECT_EQ(cells.GetCell(2, 2), b);
    EXPECT_EQ(cells.IndexOf(b), 0);
    EXPECT_EQ(cells.KeyOf(b), TCells::CellKey(2, 2));
    EXPECT_EQ(TCells::CellKey(0x0102, 0x03), std::string("\x02\x01\x03\x00", 4));

    // A probe of an empty position does not disturb stored cells.
    TCell* probe = cells.GetCell(3, 3);
    EXPECT_TRUE(probe->Value().IsEmpty());
    EXPECT_EQ(cells.FindCell(2, 2)->Value().AsDouble(), 1.5);
    try {
        cells.Items(1);
        FAIL();
    } catch (const ERangeError& e) {
        EXPECT_STREQ(e.what(), "List index (1) out of bounds");
    }
}

TEST(CellStore, ProbedCellStartsClean)
{
    // The pending cell is renewed for each empty position: nothing carries over.
    TWorkbook wb;
    TSheet& sheet = *wb.Sheets().Items(0);
    sheet.Rows().GetRow(5)->SetFontBold(true);
    TCell* under = sheet.Cells().GetCell(5, 0);
    EXPECT_TRUE(under->FontBold());
    TCell* other = sheet.Cells().GetCell(6, 0);
    EXPECT_FALSE(other->FontBold());
    EXPECT_EQ(other->Row(), 6);
    EXPECT_EQ(other->XFIndex(), wb.XFTable().DefaultIndex());
    EXPECT_FALSE(other->Stored());
    EXPECT_EQ(sheet.Cells().Count(), 0);
}

TEST(CellStore, ItemsKeepInsertionOrder)
{
    TWorkbook wb;
    TCells& cells = wb.Sheets().Items(0)->Cells();
    const std::pair<int, int> order[] = {{5, 0}, {0, 3}, {2, 1}};
    for (auto [r, c] : order)
        cells.GetCell(r, c)->SetValue(TVariant::Integer(r));
    ASSERT_EQ(cells.Count(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(cells.Items(i)->Row(), order[i].first);
        EXPECT_EQ(cells.Items(i)->Col(), order[i].second);
    }
}

TEST(CellStore, ManyCellsAreFoundAgain)
{
    TWorkbook wb;
    TCells& cells = wb.Sheets().Items(0)->Cells();
    for (int r = 0; r < 2000; r += 3)
        for (int c = 0; c < 256; c += 17)
            cells.GetCell(r, c)->SetValue(TVariant::Integer(r * 256 + c));
    cells.GetCell(65535, 255)->SetValue(TVariant::Integer(-1));
    ASSERT_NE(cells.FindCell(65535, 255), nullptr);
    EXPECT_EQ(cells.FindCell(65535, 254), nullptr);
    EXPECT_EQ(cells.FindCell(65279, 255), nullptr);
    for (int r = 0; r < 2000; ++r)
        for (int c = 0; c < 256; ++c) {
            const TCell* cell = cells.FindCell(r, c);
            if (r % 3 == 0 && c % 17 == 0) {
                ASSERT_NE(cell, nullptr);
                EXPECT_EQ(cell->Value().AsInt64(), r * 256 + c);
            } else {
                ASSERT_EQ(cell, nullptr);
            }
        }
}

TEST(CellStore, UsedRange)
{
    TWorkbook wb;
    TSheet& sheet = *wb.Sheets().Items(0);
    TRangeRect rect{1, 2, 3, 4};
    EXPECT_FALSE(sheet.GetUsedRange(rect));
    EXPECT_EQ(rect, (TRangeRect{1, 2, 3, 4}));

    sheet.Rows().GetRow(20)->SetHeight(30); // rows, columns and pending cells do not count
    sheet.Columns().GetColumn(1)->SetWidth(3);
    sheet.Cells().GetCell(0, 0);
    EXPECT_FALSE(sheet.GetUsedRange(rect));

    sheet.Cells().GetCell(10, 7)->SetValue(TVariant::Boolean(true));
    sheet.Cells().GetCell(3, 2)->SetFillPattern(1); // a style alone stores the cell
    ASSERT_TRUE(sheet.GetUsedRange(rect));
    EXPECT_EQ(rect, (TRangeRect{3, 10, 2, 7}));
}
