#include <gtest/gtest.h>

#include "model/Workbook.h"
#include "platform/ScreenMetrics.h"
#include "styles/XLSError.h"

namespace {

struct RowColFixture : ::testing::Test {
    TWorkbook wb;
    TSheet& sheet = *wb.Sheets().Items(0);
    void SetUp() override { SetScreenResolution(96); }
    void TearDown() override { SetScreenResolution(96); }
};

} // namespace

using RowSize = RowColFixture;

TEST_F(RowSize, HeightsInPointsAndPixels)
{
    TRow* row = sheet.Rows().GetRow(0);
    EXPECT_EQ(row->SizePixels(), 17);
    EXPECT_DOUBLE_EQ(row->Size(), 12.75);
    EXPECT_FALSE(row->Stored());

    row->SetHeight(12.75); // equal to the default: nothing changes
    EXPECT_FALSE(row->Stored());
    const std::pair<double, int> cases[] = {{15, 20}, {12.375, 16}, {12.3749, 16}, {11.625, 16}, {0, 0}};
    for (auto [points, pixels] : cases) {
        row->SetHeight(points);
        EXPECT_EQ(row->SizePixels(), pixels) << points; // halves go to the even neighbour
    }
    EXPECT_TRUE(row->Stored() && row->HasProperties() && row->CustomSize());

    TRow* hidden = sheet.Rows().GetRow(1);
    hidden->SetHeightPixels(0);
    EXPECT_DOUBLE_EQ(hidden->Size(), 0);
    EXPECT_TRUE(hidden->Stored());
    hidden->ClearCustomSize();
    EXPECT_FALSE(hidden->CustomSize());
    EXPECT_TRUE(hidden->HasProperties());
}

TEST_F(RowSize, ColumnWidthsInCharactersAndPixels)
{
    TColumn* col = sheet.Columns().GetColumn(0);
    EXPECT_EQ(col->SizePixels(), 64);
    EXPECT_NEAR(col->Size(), 8.43, 0.005);

    col->SetWidth(8.43);
    EXPECT_EQ(col->SizePixels(), 64);
    col->SetWidth(0.5);
    EXPECT_EQ(col->SizePixels(), 6);
    col->SetWidthPixels(10);
    EXPECT_NEAR(col->Size(), 0.834, 1e-12);
    col->SetWidth(FileWidthToChars(2340));
    EXPECT_NEAR(col->Size(), 8.43, 0.005);
    EXPECT_EQ(col->SizePixels(), 64);
}

TEST_F(RowSize, OtherResolutionUsesTheOtherSet)
{
    SetScreenResolution(120);
    TRow* row = sheet.Rows().GetRow(0);
    TColumn* col = sheet.Columns().GetColumn(0);
    EXPECT_EQ(row->SizePixels(), 22);
    EXPECT_DOUBLE_EQ(row->Size(), 13.2);
    EXPECT_EQ(col->SizePixels(), 80);
    row->SetHeight(15);
    EXPECT_EQ(row->SizePixels(), 25);
    col->SetWidth(2);
    EXPECT_EQ(col->SizePixels(), 25);
}

TEST_F(RowSize, StoresAndBounds)
{
    TRows& rows = sheet.Rows();
    TColumns& cols = sheet.Columns();
    EXPECT_EQ(rows.GetRow(7)->SizePixels(), 17); // reading a default does not store
    EXPECT_FALSE(rows.Exists(7));
    EXPECT_EQ(rows.Count(), 0);
    rows.GetRow(9)->SetHeight(30);
    rows.GetRow(3)->SetHeight(30);
    EXPECT_TRUE(rows.Exists(9));
    EXPECT_EQ(rows.Items(0)->Index(), 9);
    EXPECT_EQ(rows.Items(1)->Index(), 3);
    EXPECT_EQ(rows.GetRow(9), rows.Items(0));
    EXPECT_EQ(rows.KeyOf(rows.Items(0)), std::string("\x09\x00", 2));
    EXPECT_THROW(rows.Items(2), ERangeError);

    EXPECT_THROW(rows.GetRow(65536), EXLSError);
    EXPECT_THROW(cols.GetColumn(256), EXLSError);
    EXPECT_NO_THROW(rows.GetRow(65535));
    EXPECT_NO_THROW(cols.GetColumn(255));
    EXPECT_FALSE(cols.Exists(300));
}

TEST_F(RowSize, OutlineLevelsStopAtSeven)
{
    sheet.GroupRows(3, 1);
    EXPECT_EQ(sheet.Rows().Count(), 0);
    for (int i = 0; i < 8; ++i)
        sheet.GroupRows(1, 3);
    ASSERT_EQ(sheet.Rows().Count(), 3);
    for (int r = 1; r <= 3; ++r) {
        EXPECT_EQ(sheet.Rows().FindRow(r)->OutlineLevel(), 7);
        EXPECT_TRUE(sheet.Rows().FindRow(r)->HasProperties());
        EXPECT_FALSE(sheet.Rows().FindRow(r)->CustomSize());
    }
    sheet.GroupColumns(4, 4);
    EXPECT_EQ(sheet.Columns().FindColumn(4)->OutlineLevel(), 1);
}

using RowFormat = RowColFixture;

TEST_F(RowFormat, RowFormatReachesItsStoredCellsAndLaterCells)
{
    TCells& cells = sheet.Cells();
    cells.GetCell(4, 0)->SetValue(TVariant::Double(1));
    cells.GetCell(4, 9)->SetValue(TVariant::Double(2));
    cells.GetCell(5, 0)->SetValue(TVariant::Double(3));
    const int plain = cells.FindCell(5, 0)->XFIndex();

    sheet.Rows().GetRow(4)->SetFontBold(true);
    EXPECT_TRUE(cells.FindCell(4, 0)->FontBold());
    EXPECT_TRUE(cells.FindCell(4, 9)->FontBold());
    EXPECT_FALSE(cells.FindCell(5, 0)->FontBold());
    EXPECT_EQ(cells.FindCell(5, 0)->XFIndex(), plain);
    EXPECT_EQ(cells.Count(), 3); // propagation creates no cells

    TCell* later = cells.GetCell(4, 20);
    EXPECT_TRUE(later->FontBold());
    EXPECT_FALSE(later->Stored());
}

TEST_F(RowFormat, ColumnFormatKeepsCellsOwnProperties)
{
    TCells& cells = sheet.Cells();
    TCell* cell = cells.GetCell(0, 2);
    cell->SetFontItalic(true);
    TColumn* col = sheet.Columns().GetColumn(2);
    col->SetFillColor(RGBColor(255, 0, 0));
    col->SetBorderStyle(BorderAll, 1);
    col->SetFontColor(RGBColor(0, 0, 255));
    EXPECT_EQ(cell->FillColorIndex(), 3);
    EXPECT_EQ(cell->BorderStyle(BorderBottom), 1);
    EXPECT_EQ(cell->FontColorIndex(), 5);
    EXPECT_TRUE(cell->FontItalic());
    EXPECT_EQ(col->FillColorIndex(), 3);
}

TEST_F(RowFormat, MergedAndLockedStayWithTheRow)
{
    TCells& cells = sheet.Cells();
    TCell* cell = cells.GetCell(2, 0);
    cell->SetValue(TVariant::Double(1));
    TRow* row = sheet.Rows().GetRow(2);
    row->SetMerged(true);
    row->SetLocked(false);
    EXPECT_TRUE(row->Merged());
    EXPECT_FALSE(cell->Merged());
    EXPECT_EQ(cell->XFIndex(), wb.XFTable().DefaultIndex());
}
