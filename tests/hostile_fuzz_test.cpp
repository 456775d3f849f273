// Faults the fuzz targets found, each kept as a small fixture.
#include <gtest/gtest.h>

#include <cmath>

#include "fixtures/WorkbookBuilder.h"
#include "model/Workbook.h"

// workbook_fuzz: a ROW record whose height is the default, with an outline
// level and without the custom-height bit. The height left the row pending;
// grouping the row stored a new one and freed the pending row, which the
// handler then went on to use.
TEST(HostileFuzz, RowWithDefaultHeightAndOutlineLevel)
{
    TWorkbook reference(1);
    const auto defaultTwips = uint16_t(std::lround(reference.Sheets().Items(0)->Rows().GetRow(0)->Size() * 20));
    for (uint16_t options : {0x0001, 0x0003, 0x0083}) {
        TWorkbookBuilder book;
        book.Font().XF().XF({.FillPattern = 1});
        book.Sheet(u"S").Record(
            BiffId::Row, TBiffBody().U16(4).U16(0).U16(1).U16(defaultTwips).U16(0).U16(0).U16(options).U16(1));
        auto file = OpenXlsBytes(book.FileBytes());
        const TRow* row = file->Workbook().Sheets().Items(0)->Rows().FindRow(4);
        ASSERT_NE(row, nullptr) << options;
        EXPECT_EQ(row->OutlineLevel(), options & 7) << options;
        EXPECT_FALSE(row->CustomSize()) << options;
        if (options & 0x80) {
            EXPECT_EQ(row->XFIndex(), 1) << options;
        }
    }
}
