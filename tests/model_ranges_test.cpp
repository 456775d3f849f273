#include <gtest/gtest.h>

#include "model/Workbook.h"
#include "styles/XLSError.h"

TEST(RangeRects, AddFindAndCopy)
{
    TRangeRects rects;
    EXPECT_EQ(rects.Add(0, 5, 0, 5), 0);
    EXPECT_EQ(rects.Add(2, 3, 2, 3), 1);
    TRangeRect r;
    ASSERT_TRUE(rects.FindRect(2, 2, r));
    EXPECT_EQ(r, (TRangeRect{2, 3, 2, 3})); // the later of two overlapping rectangles
    ASSERT_TRUE(rects.FindRect(5, 0, r));
    EXPECT_EQ(r, (TRangeRect{0, 5, 0, 5}));
    r = {9, 9, 9, 9};
    EXPECT_FALSE(rects.FindRect(6, 0, r));
    EXPECT_EQ(r, (TRangeRect{9, 9, 9, 9}));

    TRangeRects other;
    other.Add(7, 8, 1, 1);
    other.AddRects(rects);
    ASSERT_EQ(other.Count(), 3);
    EXPECT_EQ(other.Rect(2), (TRangeRect{2, 3, 2, 3}));
    other.AddRects(other);
    EXPECT_EQ(other.Count(), 6);
    try {
        other.Rect(6);
        FAIL();
    } catch (const ERangeError& e) {
        EXPECT_STREQ(e.what(), "List index (6) out of bounds");
    }
}

TEST(Ranges, RangeNames)
{
    TWorkbook wb;
    TRange* range = wb.Sheets().Items(0)->Ranges().Add();
    range->SetName("MyRange");
    try {
        range->SetName("My Range");
        FAIL();
    } catch (const EXLSError& e) {
        EXPECT_EQ(e.ErrorCode(), 11);
        EXPECT_STREQ(e.what(), "Invalid range name: My Range");
    }
    EXPECT_EQ(range->Name(), "MyRange");
    EXPECT_FALSE(range->Merged());
}

TEST(Ranges, MergingStoresEveryCellAndWidensTheUsedRange)
{
    TWorkbook wb;
    TSheet& sheet = *wb.Sheets().Items(0);
    sheet.Cells().GetCell(0, 0)->SetValue(TVariant::Double(1));
    TRange* range = sheet.Ranges().Add();
    range->Add(2, 3, 1, 2);
    range->Merge();
    EXPECT_TRUE(range->Merged());
    ASSERT_EQ(sheet.Cells().Count(), 5);
    for (auto [r, c] : {std::pair{2, 1}, {2, 2}, {3, 1}, {3, 2}}) {
        const TCell* cell = sheet.Cells().FindCell(r, c);
        ASSERT_NE(cell, nullptr);
        EXPECT_TRUE(cell->Merged());
        EXPECT_TRUE(cell->Value().IsEmpty());
    }
    EXPECT_FALSE(sheet.Cells().FindCell(0, 0)->Merged());
    TRangeRect used;
    ASSERT_TRUE(sheet.GetUsedRange(used));
    EXPECT_EQ(used, (TRangeRect{0, 3, 0, 2}));

    TRangeRect area;
    ASSERT_TRUE(sheet.FindMergedArea(3, 2, area));
    EXPECT_EQ(area, (TRangeRect{2, 3, 1, 2}));
    EXPECT_FALSE(sheet.FindMergedArea(4, 2, area));

    // A named range over the area does not answer, nor does a later merged one shadow the first.
    TRange* named = sheet.Ranges().Add();
    named->Add(0, 10, 0, 10);
    named->SetName("Everything");
    EXPECT_FALSE(sheet.FindMergedArea(5, 5, area));
    TRange* second = sheet.Ranges().Add();
    second->Add(3, 4, 2, 2);
    second->Merge();
    ASSERT_TRUE(sheet.FindMergedArea(3, 2, area));
    EXPECT_EQ(area, (TRangeRect{2, 3, 1, 2}));
    EXPECT_EQ(sheet.Ranges().Count(), 3);
    EXPECT_THROW(sheet.Ranges().Items(3), ERangeError);
}

TEST(Ranges, InvertedRectanglesMarkNothingAndFullRowsAreWalked)
{
    TWorkbook wb;
    TSheet& sheet = *wb.Sheets().Items(0);
    TRange* range = sheet.Ranges().Add();
    range->Add(5, 4, 0, 0);
    range->Add(0, 0, 3, 2);
    range->Merge();
    EXPECT_EQ(sheet.Cells().Count(), 0);

    TRange* row = sheet.Ranges().Add();
    row->Add(65535, 65535, 0, 255);
    row->Merge();
    EXPECT_EQ(sheet.Cells().Count(), 256);
    TRangeRect used;
    ASSERT_TRUE(sheet.GetUsedRange(used));
    EXPECT_EQ(used, (TRangeRect{65535, 65535, 0, 255}));
}

TEST(PageSetup, Defaults)
{
    TWorkbook wb;
    TSheet& sheet = *wb.Sheets().Items(0);
    const TPageSetup& p = sheet.PageSetup();
    EXPECT_EQ(p.Sheet(), &sheet);
    EXPECT_EQ(p.PrintArea().Count(), 0);
    EXPECT_EQ(p.PrintArea().Sheet(), &sheet);
    EXPECT_EQ(p.PaperSize, 0);
    EXPECT_TRUE(p.UseScale);
    EXPECT_EQ(p.Scale, 100);
    EXPECT_EQ(p.StartPageNumber, -1);
    EXPECT_EQ(p.FitWidth, 1);
    EXPECT_EQ(p.FitHeight, 1);
    EXPECT_FALSE(p.OverThenDown);
    EXPECT_TRUE(p.Portrait);
    EXPECT_DOUBLE_EQ(p.HeaderMargin, 0.5);
    EXPECT_DOUBLE_EQ(p.FooterMargin, 0.5);
    EXPECT_DOUBLE_EQ(p.TopMargin, 1.0);
    EXPECT_DOUBLE_EQ(p.BottomMargin, 1.0);
    EXPECT_DOUBLE_EQ(p.LeftMargin, 0.8);
    EXPECT_DOUBLE_EQ(p.RightMargin, 0.8);
    EXPECT_FALSE(p.BlackAndWhite || p.DraftQuality || p.PrintGridLines || p.PrintHeadings);
    EXPECT_FALSE(p.CenterHorizontally || p.CenterVertically || p.SummaryRowsAbove || p.SummaryColsLeft);
    EXPECT_TRUE(p.HeaderLeft.empty() && p.HeaderCenter.empty() && p.HeaderRight.empty());
    EXPECT_TRUE(p.FooterLeft.empty() && p.FooterCenter.empty() && p.FooterRight.empty());
}

TEST(PageSetup, ImagesAreOwnedInOrder)
{
    TXLSImages images;
    auto first = std::make_unique<TXLSImage>();
    first->Data = "a";
    images.Add(std::move(first));
    images.Add(std::make_unique<TXLSImage>());
    EXPECT_EQ(images.Count(), 2);
    EXPECT_EQ(images.Items(0)->Data, "a");
    EXPECT_THROW(images.Items(2), ERangeError);
}
