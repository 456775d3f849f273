// New cells under the formats a file's reader leaves while it reads: the XF
// table refilled with the file's records, its default index still 0 and
// record 0 on a font other than 0. Every new cell clears its font by
// copy-on-write; the outcome must be the same for the first cell and all
// later ones, and must follow a refilled table.
#include <gtest/gtest.h>

#include "model/Workbook.h"

namespace {

struct CellCreation : ::testing::Test {
    TWorkbook wb;
    TCells& cells = wb.Sheets().Items(0)->Cells();
    TVirtualXFTable& xfs = wb.XFTable();
    const TVirtualDataTable& xfUses = xfs.Table();
    const TVirtualDataTable& fontUses = wb.FontTable().Table();

    void SetUp() override
    {
        for (int i = 0; i < 8; ++i)
            wb.FontTable().Append();
    }
    // Refills the XF table as a reader does: `copies` equal records on `font`.
    void RefillXFs(uint16_t font, uint8_t hAlign, int copies)
    {
        xfs.Clear();
        for (int i = 0; i < copies; ++i) {
            TXFRecord& rec = xfs.ResetBuffer();
            rec.FontIndex = font;
            rec.HAlign = hAlign;
            xfs.Append();
        }
    }
};

TEST_F(CellCreation, EveryNewCellMovesTheSameUses)
{
    RefillXFs(5, 0, 2);
    ASSERT_EQ(xfs.DefaultIndex(), 0);
    const int font0 = fontUses.UseCount(0);
    for (int n = 1; n <= 5; ++n) {
        TCell* cell = cells.GetCell(n, 0);
        cell->SetValue(TVariant::Double(n));
        EXPECT_EQ(cell->XFIndex(), 0);
        EXPECT_EQ(cell->FontIndex(), 5);
        EXPECT_EQ(xfUses.UseCount(0), 1 + n) << n;
        EXPECT_EQ(xfUses.UseCount(1), 1);
        // the record with font 0 was added by the first cell and holds no use
        ASSERT_EQ(xfs.Count(), 3);
        EXPECT_EQ(xfs.Get(2).FontIndex, 0);
        EXPECT_EQ(xfUses.UseCount(2), 0);
        EXPECT_EQ(fontUses.UseCount(0), font0 + n);
    }
}

TEST_F(CellCreation, ARefilledTableIsWorkedOutAgain)
{
    RefillXFs(5, 0, 1);
    cells.GetCell(0, 0)->SetValue(TVariant::Double(1));
    ASSERT_EQ(xfs.Count(), 2);

    RefillXFs(7, 3, 2);
    TCell* cell = cells.GetCell(1, 0);
    cell->SetValue(TVariant::Double(2));
    EXPECT_EQ(cell->XFIndex(), 0);
    EXPECT_EQ(cell->FontIndex(), 7);
    ASSERT_EQ(xfs.Count(), 3);
    EXPECT_EQ(xfs.Get(2).FontIndex, 0);
    EXPECT_EQ(xfs.Get(2).HAlign, 3);
    EXPECT_EQ(xfUses.UseCount(0), 2);
}

} // namespace
