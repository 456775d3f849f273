// Whole-sheet merged areas: the one place where a small file makes a large
// model (every cell of a merged area is stored with the merged flag). These
// read and write such sheets in full. Each merged sheet costs about 2 GiB
// and some seconds; under the sanitizers that grows several times over, so
// these run in the plain build only.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "fixtures/WorkbookBuilder.h"
#include "html/MergedAreaMap.h"
#include "html/XLSWriterHTML.h"
#include "model/Workbook.h"

#if defined(__SANITIZE_ADDRESS__)
#define QUILLON_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUILLON_SANITIZED 1
#endif
#endif

#ifdef QUILLON_SANITIZED
#define SKIP_UNDER_SANITIZERS() GTEST_SKIP() << "16,777,216 stored cells per sheet: plain build only"
#else
#define SKIP_UNDER_SANITIZERS() (void)0
#endif

namespace {

constexpr int kSheetCells = 65536 * 256;

struct TArea {
    uint16_t FirstRow, LastRow, FirstCol, LastCol;
};
constexpr TArea kWholeSheet {0, 65535, 0, 255};

// One MERGECELLS record holding `areas`.
TBiffBody MergeCellsBody(const std::vector<TArea>& areas)
{
    TBiffBody body;
    body.U16(uint16_t(areas.size()));
    for (const TArea& a : areas) body.U16(a.FirstRow).U16(a.LastRow).U16(a.FirstCol).U16(a.LastCol);
    return body;
}

std::string PageOf(TSheet& sheet)
{
    TRangeRect range;
    EXPECT_TRUE(sheet.GetUsedRange(range));
    std::ostringstream page;
    TXLSWriterHTML(&sheet).SaveToStream(page, range);
    return page.str();
}

size_t Occurrences(const std::string& text, const std::string& piece)
{
    size_t count = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++count;
    return count;
}

// A sheet whose every cell is merged into the area A1:IV65536: its page has
// one table cell spanning the sheet, and a row line for every row.
void ExpectWholeSheetMerged(TSheet& sheet, const std::string& topLeftText)
{
    EXPECT_EQ(sheet.Cells().Count(), kSheetCells);
    for (auto [row, col] : {std::pair {0, 0}, {65535, 255}, {30000, 100}, {0, 255}, {65535, 0}}) {
        const TCell* cell = sheet.Cells().FindCell(row, col);
        ASSERT_NE(cell, nullptr);
        EXPECT_TRUE(cell->Merged());
        TRangeRect area;
        ASSERT_TRUE(sheet.FindMergedArea(row, col, area));
        EXPECT_EQ(area, (TRangeRect {0, 65535, 0, 255}));
    }
    const std::string page = PageOf(sheet);
    EXPECT_EQ(Occurrences(page, "<td "), 1u);
    EXPECT_NE(page.find(" colspan=256 rowspan=65536 "), std::string::npos);
    EXPECT_NE(page.find(">" + topLeftText + "</td>"), std::string::npos);
    EXPECT_EQ(Occurrences(page, "<tr>\r\n"), 65536u);
}

} // namespace

TEST(HostileMerge, OneWholeSheetMerge)
{
    SKIP_UNDER_SANITIZERS();
    TWorkbookBuilder book;
    book.Sheet(u"S").Label(0, 0, u"all").Record(BiffId::MergeCells, MergeCellsBody({kWholeSheet}));
    auto file = OpenXlsBytes(book.FileBytes());
    TSheet& sheet = *file->Workbook().Sheets().Items(0);
    ASSERT_EQ(sheet.Ranges().Count(), 1);
    ExpectWholeSheetMerged(sheet, "all");
}

// A hundred whole-sheet or overlapping merges over one sheet, in one record
// and in records of their own, cost little more than the first.
TEST(HostileMerge, HundredOverlappingWholeSheetMerges)
{
    SKIP_UNDER_SANITIZERS();
    std::vector<TArea> areas;
    for (int i = 0; i < 50; ++i) {
        areas.push_back(kWholeSheet);
        areas.push_back({uint16_t(i), uint16_t(65535 - i), uint16_t(i), 255}); // inside the first
    }
    TWorkbookBuilder book;
    TSheetBuilder& sheet = book.Sheet(u"S");
    sheet.Number(5, 5, 1).Record(BiffId::MergeCells, MergeCellsBody(areas));
    for (int i = 0; i < 20; ++i) sheet.Record(BiffId::MergeCells, MergeCellsBody({kWholeSheet, {0, 65535, 1, 254}}));
    auto file = OpenXlsBytes(book.FileBytes());
    TSheet& read = *file->Workbook().Sheets().Items(0);
    EXPECT_EQ(read.Ranges().Count(), 140);
    EXPECT_EQ(read.Cells().FindCell(5, 5)->Value(), TVariant::Double(1));
    ExpectWholeSheetMerged(read, "&nbsp;");
}

// Several sheets, each merged whole: each holds its own cells.
TEST(HostileMerge, SeveralSheetsEachMergedWhole)
{
    SKIP_UNDER_SANITIZERS();
    TWorkbookBuilder book;
    for (const char16_t* name : {u"A", u"B", u"C"})
        book.Sheet(name).Label(0, 0, name).Record(BiffId::MergeCells, MergeCellsBody({kWholeSheet}));
    auto file = OpenXlsBytes(book.FileBytes());
    ASSERT_EQ(file->Workbook().Sheets().Count(), 3);
    for (int i = 0; i < 3; ++i) {
        TSheet& sheet = *file->Workbook().Sheets().Items(i);
        ExpectWholeSheetMerged(sheet, std::string(1, char('A' + i)));
    }
}

// Many small merged areas before a whole-sheet one: the page finds the area
// of each position without walking every range for it. Each small area is
// the first to contain its cell, so it is written as a cell of its own.
TEST(HostileMerge, ManySmallMergesBeforeAWholeSheetMerge)
{
    SKIP_UNDER_SANITIZERS();
    TWorkbookBuilder book;
    TSheetBuilder& sheet = book.Sheet(u"S");
    for (int record = 0; record < 4; ++record) {
        std::vector<TArea> small;
        for (int i = 0; i < 1000; ++i) {
            const auto row = uint16_t(2 * (record * 1000 + i) + 1);
            small.push_back({row, row, 1, 1});
        }
        sheet.Record(BiffId::MergeCells, MergeCellsBody(small));
    }
    sheet.Record(BiffId::MergeCells, MergeCellsBody({kWholeSheet}));
    auto file = OpenXlsBytes(book.FileBytes());
    TSheet& read = *file->Workbook().Sheets().Items(0);
    EXPECT_EQ(read.Cells().Count(), kSheetCells);
    const std::string page = PageOf(read);
    EXPECT_EQ(Occurrences(page, "<td "), 4001u);
    EXPECT_EQ(Occurrences(page, " colspan=1 rowspan=1 "), 4000u);
    EXPECT_EQ(Occurrences(page, " colspan=256 rowspan=65536 "), 1u);
}

// The page's map of merged areas answers as FindMergedArea does at every
// position: first merged range, last containing rectangle within it, named
// ranges left out.
TEST(HostileMerge, MergedAreaMapAnswersAsFindMergedArea)
{
    TWorkbook workbook(2);
    auto merged = [](TSheet& sheet, std::initializer_list<TRangeRect> rects) {
        TRange* range = sheet.Ranges().Add();
        for (const TRangeRect& r : rects) range->Add(r.FirstRow, r.LastRow, r.FirstCol, r.LastCol);
        range->Merge();
    };
    TSheet& first = *workbook.Sheets().Items(0);
    merged(first, {{2, 3, 1, 2}});
    merged(first, {{0, 9, 0, 9}, {4, 6, 4, 6}});          // two rectangles: the later wins inside both
    merged(first, {{2, 3, 1, 2}, {5, 12, 5, 12}});        // partly behind the ones before
    merged(first, {{3, 2, 0, 1}});                        // last before first: marks nothing
    TRange* named = first.Ranges().Add();
    named->Add(0, 15, 0, 15);
    named->SetName("Everything");
    // Areas that begin below the page's first row and end past its last.
    TSheet& second = *workbook.Sheets().Items(1);
    merged(second, {{5, 7, 2, 3}});
    merged(second, {{14, 20, 0, 1}, {9, 9, 30, 31}});

    const TRangeRect page {0, 15, 0, 15};
    for (TSheet* sheet : {&first, &second}) {
        TMergedAreaMap map;
        map.Build(*sheet, page);
        for (int row = 0; row <= 15; ++row)
            for (int col = 0; col <= 15; ++col) {
                TRangeRect expected {}, actual {};
                const bool found = sheet->FindMergedArea(row, col, expected);
                ASSERT_EQ(map.Find(row, col, actual), found) << (sheet == &first ? "first " : "second ") << row << "," << col;
                if (found) {
                    EXPECT_EQ(actual, expected) << row << "," << col;
                }
            }
    }
}

// A merge over an area merged before is passed over only while nothing has
// taken the flag away since: a cell record that gives a merged cell a plain
// format in between makes the second merge flag that cell again.
TEST(HostileMerge, RepeatedMergeFlagsCellsThatLostTheFlag)
{
    TWorkbookBuilder book;
    book.Font().XF().XF({.FormatCode = 2});
    book.Sheet(u"S")
        .Record(BiffId::MergeCells, MergeCellsBody({{0, 1, 0, 1}}))
        .Number(0, 0, 5, 1)
        .Record(BiffId::MergeCells, MergeCellsBody({{0, 1, 0, 1}, {0, 0, 0, 1}}));
    auto file = OpenXlsBytes(book.FileBytes());
    const TSheet& sheet = *file->Workbook().Sheets().Items(0);
    const TCell& a1 = *sheet.Cells().FindCell(0, 0);
    EXPECT_TRUE(a1.Merged());
    EXPECT_EQ(a1.FormatIndex(), file->Workbook().XFTable().Get(1).FormatIndex); // the NUMBER's format, merged
    EXPECT_EQ(a1.Value(), TVariant::Double(5));
    EXPECT_EQ(sheet.Cells().Count(), 4);
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 2; ++col) EXPECT_TRUE(sheet.Cells().FindCell(row, col)->Merged());
}
