// Damaged workbooks as they come from real life: each read ends as the
// reader's rules say, either normally with what was read so far or with the
// library's message, and the workbook keeps what was read before the damage.
#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "fixtures/TestFiles.h"
#include "fixtures/WorkbookBuilder.h"
#include "html/XLSWriterHTML.h"
#include "model/Workbook.h"
#include "platform/CodePage.h"
#include "styles/XLSError.h"

namespace {

// Reads a bare "Workbook" stream into `file`; the message of the exception
// that ended the read, or "" when it ended normally.
std::string ReadInto(TXLSFile& file, const std::vector<uint8_t>& stream)
{
    TScratchDir dir;
    WriteWholeFile(dir.File("damaged.xls"), XlsFileBytes(stream));
    try {
        file.OpenFile(Utf8ToWide(dir.File("damaged.xls")));
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}

std::vector<uint8_t> Joined(std::vector<uint8_t> a, const std::vector<uint8_t>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TSheet& SheetAt(TXLSFile& file, int index) { return *file.Workbook().Sheets().Items(index); }

double NumberAt(TSheet& sheet, int row, int col)
{
    const TCell* cell = sheet.Cells().FindCell(row, col);
    return cell ? cell->Value().AsDouble() : -1;
}

// The page of every sheet with cells can still be written.
void ExpectPagesWritten(TXLSFile& file)
{
    for (int i = 0; i < file.Workbook().Sheets().Count(); ++i) {
        TRangeRect range;
        if (!SheetAt(file, i).GetUsedRange(range)) continue;
        std::ostringstream page;
        TXLSWriterHTML(&SheetAt(file, i)).SaveToStream(page, range);
        EXPECT_EQ(page.str().substr(page.str().size() - 7), "</html>");
    }
}

TWorkbookBuilder ThreeNumbers()
{
    TWorkbookBuilder book;
    book.Sheet(u"S").Number(0, 0, 1).Number(1, 0, 2).Number(2, 0, 3);
    return book;
}

} // namespace

// A stream cut short ends the read normally with every record before the
// cut. The last block reads as if zero-filled, so a cut inside the header or
// the body of the last record makes it a record with zero fields.
TEST(HostileDamaged, StreamCutShortKeepsTheRecordsBeforeTheCut)
{
    const std::vector<uint8_t> whole = ThreeNumbers().Stream();
    // NUMBER records are 18 bytes; the sheet substream ends in three of them and an EOF.
    const size_t third = whole.size() - 4 - 18;
    struct TCase {
        size_t Cut;
        double A1;        // a record cut to zero fields sets A1 to 0
        bool ThirdStored; // row and column were read before the cut
    } cases[] = {{third, 1, false}, {third + 2, 0, false}, {third + 4, 0, false}, {third + 11, 1, true}};
    for (const TCase& c : cases) {
        TXLSFile file;
        EXPECT_EQ(ReadInto(file, std::vector<uint8_t>(whole.begin(), whole.begin() + long(c.Cut))), "") << c.Cut;
        EXPECT_TRUE(file.Loaded());
        ASSERT_EQ(file.Workbook().Sheets().Count(), 1);
        TSheet& sheet = SheetAt(file, 0);
        EXPECT_EQ(NumberAt(sheet, 0, 0), c.A1) << c.Cut;
        EXPECT_EQ(NumberAt(sheet, 1, 0), 2) << c.Cut;
        EXPECT_EQ(sheet.Cells().FindCell(2, 0) != nullptr, c.ThirdStored) << c.Cut;
        ExpectPagesWritten(file);
    }
}

// XF indexes past the table: the cells keep their values and the
// format they were created with, a row keeps its height without the format.
TEST(HostileDamaged, XFIndexPastTheTableIsNotApplied)
{
    TWorkbookBuilder book;
    book.Font().XF().XF({.FormatCode = 14});
    book.Sheet(u"S")
        .Number(0, 0, 45, 500)
        .Label(0, 1, u"text", false, 0xFFFF)
        .Rk(0, 2, 0x3FF00000, 2) // one past the table of two
        .Record(BiffId::Row, TBiffBody().U16(3).U16(0).U16(1).U16(400).U16(0).U16(0).U16(0x00C0).U16(900));
    TXLSFile file;
    ASSERT_EQ(ReadInto(file, book.Stream()), "");
    TSheet& sheet = SheetAt(file, 0);
    // The XF a cell is created with, which no record replaced.
    const int32_t creationXF = sheet.Cells().FindCell(0, 0)->XFIndex();
    EXPECT_NE(creationXF, 1);
    EXPECT_LT(creationXF, file.Workbook().XFTable().Count());
    for (int col = 0; col < 3; ++col) {
        ASSERT_NE(sheet.Cells().FindCell(0, col), nullptr) << col;
        EXPECT_EQ(sheet.Cells().FindCell(0, col)->XFIndex(), creationXF) << col;
    }
    EXPECT_EQ(sheet.Cells().FindCell(0, 0)->Value(), TVariant::Double(45)); // not a date
    EXPECT_EQ(sheet.Cells().FindCell(0, 1)->Value(), TVariant::String("text"));
    ASSERT_NE(sheet.Rows().FindRow(3), nullptr);
    EXPECT_EQ(sheet.Rows().FindRow(3)->XFIndex(), creationXF);
    ExpectPagesWritten(file);
}

// More BOUNDSHEET records than sheet substreams: the sheets without records
// stay empty and the read ends normally.
TEST(HostileDamaged, MoreSheetsThanSubstreams)
{
    TWorkbookBuilder book;
    book.Sheet(u"One").Number(0, 0, 1);
    book.Sheet(u"Two").Number(0, 0, 2);
    book.Sheet(u"Three").Number(0, 0, 3);
    std::vector<uint8_t> stream = book.Stream();
    // Keep the globals and the first substream only: cut after the second EOF.
    size_t eofs = 0, pos = 0;
    while (eofs < 2) {
        const uint16_t id = uint16_t(stream[pos] | stream[pos + 1] << 8);
        pos += 4 + size_t(stream[pos + 2] | stream[pos + 3] << 8);
        eofs += id == BiffId::Eof;
    }
    stream.resize(pos);
    TXLSFile file;
    ASSERT_EQ(ReadInto(file, stream), "");
    ASSERT_EQ(file.Workbook().Sheets().Count(), 3);
    EXPECT_EQ(NumberAt(SheetAt(file, 0), 0, 0), 1);
    EXPECT_EQ(SheetAt(file, 1).Cells().Count(), 0);
    EXPECT_EQ(SheetAt(file, 2).Cells().Count(), 0);
}

// After the last EOF: zero padding and records that are passed over end the
// read normally; a cell record finds no sheet for it and raises the sheet
// list's range error, with the cells read before it kept.
TEST(HostileDamaged, RecordsPastTheLastEof)
{
    TBiffWriter harmless;
    harmless.Record(0x003D, std::vector<uint8_t>(18, 0)).Record(BiffId::Continue, {1, 2, 3}).PadTo(1024);
    TBiffWriter cell;
    cell.Record(BiffId::Number, TBiffBody().U16(9).U16(0).U16(0).Double(4));
    {
        TXLSFile file;
        EXPECT_EQ(ReadInto(file, Joined(ThreeNumbers().Stream(), harmless.Bytes())), "");
        EXPECT_EQ(SheetAt(file, 0).Cells().Count(), 3);
    }
    TXLSFile file;
    EXPECT_EQ(ReadInto(file, Joined(ThreeNumbers().Stream(), cell.Bytes())), "List index (1) out of bounds !");
    EXPECT_FALSE(file.Loaded());
    ASSERT_EQ(file.Workbook().Sheets().Count(), 1);
    EXPECT_EQ(SheetAt(file, 0).Cells().Count(), 3);
    ExpectPagesWritten(file);
}
