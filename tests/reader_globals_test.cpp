// Workbook-globals records and the substream bookkeeping.
#include <gtest/gtest.h>

#include "fixtures/TestFiles.h"
#include "fixtures/WorkbookBuilder.h"
#include "html/SaveAsHTML.h"
#include "model/Workbook.h"
#include "platform/CodePage.h"
#include "styles/XLSError.h"

namespace {

const TSheet& SheetAt(const TXLSFile& file, int index) { return *file.Workbook().Sheets().Items(index); }

double NumberAt(const TSheet& sheet, int row, int col)
{
    const TCell* cell = sheet.Cells().FindCell(row, col);
    return cell ? cell->Value().AsDouble() : -1;
}

} // namespace

TEST(ReaderGlobals, EachTopLevelSubstreamActsOnItsOwnSheet)
{
    TWorkbookBuilder book;
    book.Sheet(u"One").Number(0, 0, 1);
    book.Sheet(u"Two").Number(0, 0, 2);
    book.Sheet(u"Three").Number(0, 0, 3);
    auto file = OpenXlsBytes(book.FileBytes());
    ASSERT_EQ(file->Workbook().Sheets().Count(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(NumberAt(SheetAt(*file, i), 0, 0), i + 1);
        EXPECT_EQ(SheetAt(*file, i).Cells().Count(), 1);
    }
}

// An embedded chart keeps its series values in NUMBER, LABEL, BOOLERR and
// BLANK records whose rows and columns are point and series numbers: inside
// the nested substream no record acts on the sheet.
TEST(ReaderGlobals, EmbeddedChartRecordsActOnNothing)
{
    TWorkbookBuilder book;
    book.XF().XF();
    TSheetBuilder& first = book.Sheet(u"One");
    first.Label(0, 0, u"Sheet1")
        .Record(BiffId::Bof, TBiffBody().U16(0x0600).U16(0x0020).Zeros(12))
        .Number(0, 0, 1)
        .Label(0, 1, u"series")
        .BoolErr(2, 2, 1, false)
        .Blank(3, 3, 1)
        .Record(BiffId::Row, TBiffBody().U16(0).U16(0).U16(1).U16(0x8000 | 2000).U32(0).U16(0x0040).U16(0))
        .Record(BiffId::ColInfo, TBiffBody().U16(0).U16(3).U16(9000).U16(0).U16(0).U16(0))
        .Record(BiffId::MergeCells, TBiffBody().U16(1).U16(0).U16(1).U16(0).U16(1))
        .Record(BiffId::Window2, TBiffBody().U16(0))
        .Record(BiffId::Scl, TBiffBody().U16(1).U16(4))
        .Record(BiffId::Eof)
        .Number(1, 0, 2);
    book.Sheet(u"Two").Number(0, 0, 3);
    auto file = OpenXlsBytes(book.FileBytes());
    const TSheet& sheet = SheetAt(*file, 0);
    ASSERT_NE(sheet.Cells().FindCell(0, 0), nullptr);
    EXPECT_EQ(sheet.Cells().FindCell(0, 0)->Value().AsString(), "Sheet1");
    EXPECT_EQ(NumberAt(sheet, 1, 0), 2);
    EXPECT_EQ(sheet.Cells().Count(), 2);
    EXPECT_EQ(sheet.Ranges().Count(), 0);
    EXPECT_EQ(sheet.Rows().FindRow(0), nullptr);
    EXPECT_EQ(sheet.Columns().FindColumn(2), nullptr);
    EXPECT_TRUE(sheet.ShowGridLines);
    EXPECT_EQ(sheet.Zoom, 100);
    EXPECT_EQ(NumberAt(SheetAt(*file, 1), 0, 0), 3);
}

TEST(ReaderGlobals, HiddenAndChartSheetsAreSheetsToo)
{
    TWorkbookBuilder book;
    book.Sheet(u"Visible");
    book.Sheet(u"Hidden").Visibility = 1;
    book.Sheet(u"Chart").Kind = 2;
    book.Sheet(u"Wide \u0416");
    auto file = OpenXlsBytes(book.FileBytes());
    ASSERT_EQ(file->Workbook().Sheets().Count(), 4);
    EXPECT_EQ(SheetAt(*file, 1).Name(), u"Hidden");
    EXPECT_EQ(SheetAt(*file, 2).Name(), u"Chart");
    EXPECT_EQ(SheetAt(*file, 3).Name(), u"Wide \u0416");
}

// A chart sheet's substream holds the chart's series values; the sheet stays
// (it keeps its place among the pages) but gets no cells from them.
TEST(ReaderGlobals, ChartSheetGetsNoCells)
{
    TWorkbookBuilder book;
    book.Sheet(u"Data").Number(0, 0, 1);
    TSheetBuilder& chart = book.Sheet(u"Chart1");
    chart.Kind = 2;
    chart.Number(0, 0, 5).Number(1, 0, 6).Label(0, 1, u"x");
    book.Sheet(u"After").Number(0, 0, 7);
    auto file = OpenXlsBytes(book.FileBytes());
    ASSERT_EQ(file->Workbook().Sheets().Count(), 3);
    EXPECT_EQ(SheetAt(*file, 1).Name(), u"Chart1");
    EXPECT_EQ(SheetAt(*file, 1).Cells().Count(), 0);
    EXPECT_EQ(NumberAt(SheetAt(*file, 0), 0, 0), 1);
    EXPECT_EQ(NumberAt(SheetAt(*file, 2), 0, 0), 7);
}

TEST(ReaderGlobals, DuplicateSheetNameEndsTheReadWithCode6)
{
    TWorkbookBuilder book;
    book.Sheet(u"Same");
    book.Sheet(u"Same");
    EXPECT_EQ(OpenErrorCode(book.FileBytes()), 6);
}

TEST(ReaderGlobals, RecordsPastTheLastSheetRaiseTheSheetListRangeError)
{
    TWorkbookBuilder book;
    book.Sheet(u"Only");
    std::vector<uint8_t> stream = book.Stream();
    TBiffWriter tail;
    tail.Bof(0x0010).Record(BiffId::Number, TBiffBody().U16(0).U16(0).U16(0).Double(1)).Eof();
    stream.insert(stream.end(), tail.Bytes().begin(), tail.Bytes().end());
    try {
        OpenXlsStream(stream);
        FAIL() << "no exception";
    } catch (const ERangeError& e) {
        EXPECT_STREQ(e.what(), "List index (1) out of bounds !");
    }
}

TEST(ReaderGlobals, FontIndexFourIsLeftOutOfTheFile)
{
    TWorkbookBuilder book;
    for (uint16_t i = 0; i < 6; ++i) book.Font({.Height = uint16_t(200 + 20 * i)});
    book.XF({.Font = 3}).XF({.Font = 5});
    auto file = OpenXlsBytes(book.FileBytes());
    const TWorkbook& wb = file->Workbook();
    ASSERT_EQ(wb.FontTable().Count(), 6);
    EXPECT_EQ(wb.XFTable().Get(0).FontIndex, 3);
    EXPECT_EQ(wb.XFTable().Get(1).FontIndex, 4);
    EXPECT_EQ(wb.FontTable().Get(4).Size, 14); // the fifth FONT record: 280 twips
}

TEST(ReaderGlobals, FormatCodesBecomePositionsAndUnknownCodesGeneral)
{
    TWorkbookBuilder book;
    book.Format(164, u"0.000").Format(14, u"dd.mm.yyyy").Format(164, u"0.0000", true);
    book.XF({.FormatCode = 164}).XF({.FormatCode = 14}).XF({.FormatCode = 200});
    auto file = OpenXlsBytes(book.FileBytes());
    const TWorkbook& wb = file->Workbook();
    const int custom = wb.FormatStrings().PositionOf(164);
    ASSERT_GE(custom, 36);
    EXPECT_EQ(wb.FormatStrings().Count(), 37);
    EXPECT_EQ(wb.FormatStrings().Get(custom).Format, "0.0000");
    EXPECT_EQ(wb.FormatStrings().Get(wb.FormatStrings().PositionOf(14)).Format, "dd.mm.yyyy");
    EXPECT_EQ(wb.XFTable().Get(0).FormatIndex, custom);
    EXPECT_EQ(wb.XFTable().Get(1).FormatIndex, wb.FormatStrings().PositionOf(14));
    EXPECT_EQ(wb.XFTable().Get(2).FormatIndex, 0);
}

TEST(ReaderGlobals, XFTableIsCompletedWithTheDefaultRecord)
{
    TWorkbookBuilder book;
    book.XF({.Font = 1, .Locked = false});
    auto file = OpenXlsBytes(book.FileBytes());
    const TVirtualXFTable& xfs = file->Workbook().XFTable();
    ASSERT_EQ(xfs.Count(), 2);
    EXPECT_EQ(xfs.DefaultIndex(), 1);
    EXPECT_EQ(xfs.Table().Get(1), xfs.DefaultRecord());
}

namespace {

// Shared strings as the reader stores them, read back through LABELSST cells.
std::vector<TVariant> SharedStringValues(const TBiffBody& sst, size_t count)
{
    TWorkbookBuilder book;
    book.Record(BiffId::Sst, sst).Record(BiffId::ExtSst, TBiffBody().U16(8));
    TSheetBuilder& sheet = book.Sheet(u"S");
    for (size_t i = 0; i < count; ++i) sheet.LabelSst(uint16_t(i), 0, uint32_t(i));
    auto file = OpenXlsBytes(book.FileBytes());
    std::vector<TVariant> values;
    for (size_t i = 0; i < count; ++i) values.push_back(SheetAt(*file, 0).Cells().FindCell(int(i), 0)->Value());
    return values;
}

} // namespace

TEST(ReaderGlobals, SharedStringsSplitAcrossContinueRecordsEqualUnsplitOnes)
{
    // Unsplit: "plain", a string with two formatting runs, a wide string with
    // extended data.
    auto build = [](bool split) {
        TBiffBody body;
        body.U32(3).U32(3).String16(u"plain", false);
        body.U16(9).U8(0x08).U16(2); // "formatted" with two runs of 4 bytes
        if (split) body.Chars(u"form", false).ContinueString(false).Chars(u"atted", false);
        else body.Chars(u"formatted", false);
        body.U32(0x00010000).U16(4);
        if (split) body.Continue(); // inside the second run
        body.U16(1);
        body.U16(2).U8(0x05).U32(3).Chars(u"\u0416\u0417", true).Bytes(std::vector<uint8_t>{7, 8, 9});
        return body;
    };
    const std::vector<TVariant> unsplit = SharedStringValues(build(false), 3);
    const std::vector<TVariant> split = SharedStringValues(build(true), 3);
    EXPECT_EQ(split, unsplit);
    EXPECT_EQ(unsplit[0].AsString(), "plain");
    EXPECT_EQ(unsplit[1].AsString(), "formatted");
    EXPECT_EQ(unsplit[2].AsWide(), u"\u0416\u0417");
}

TEST(ReaderGlobals, SharedStringSwitchingToTwoBytesIsOneWideString)
{
    TBiffBody body;
    body.U32(1).U32(1).U16(6).U8(0).Chars(u"abc", false).ContinueString(true).Chars(u"d\u0416f", true);
    EXPECT_EQ(SharedStringValues(body, 1)[0], TVariant::Wide(u"abcd\u0416f"));
}

TEST(ReaderGlobals, LabelSstPastTheTableRaisesTheListIndexError)
{
    TWorkbookBuilder book;
    book.SharedStrings({u"a", u"b"});
    book.Sheet(u"S").LabelSst(0, 0, 2);
    try {
        OpenXlsBytes(book.FileBytes());
        FAIL() << "no exception";
    } catch (const ERangeError& e) {
        EXPECT_STREQ(e.what(), "List index (2) out of bounds");
    }
}

namespace {

TBiffBody ExternSheets(std::initializer_list<uint16_t> sheets)
{
    TBiffBody body;
    body.U16(uint16_t(sheets.size()));
    for (uint16_t s : sheets) body.U16(0).U16(s).U16(s);
    return body;
}

std::vector<uint8_t> Join(std::initializer_list<std::vector<uint8_t>> parts)
{
    std::vector<uint8_t> all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

} // namespace

TEST(ReaderGlobals, PrintAreaWithTwoAreasAndNamedRanges)
{
    TWorkbookBuilder book;
    book.Record(BiffId::ExternSheet, ExternSheets({0, 1}));
    const std::vector<uint8_t> printArea =
        Join({{0x29, 23, 0}, Area3dToken(1, 0, 9, 0, 3), Area3dToken(1, 20, 29, 5, 6), {0x10}});
    book.Record(BiffId::Name, NameBody(0x0020, u"\x06", printArea));
    book.Record(BiffId::Name, NameBody(0x0000, u"Total", Ref3dToken(0, 4, 2)));
    book.Record(BiffId::Name, NameBody(0x0001, u"Hidden", Ref3dToken(0, 1, 1))); // hidden: ignored
    book.Record(BiffId::Name, NameBody(0x0000, u"Elsewhere", Ref3dToken(7, 1, 1))); // no such sheet
    book.Sheet(u"A");
    book.Sheet(u"B");
    auto file = OpenXlsBytes(book.FileBytes());

    const TRange& area = SheetAt(*file, 1).PageSetup().PrintArea();
    ASSERT_EQ(area.Count(), 2);
    EXPECT_EQ(area.Rect(0), (TRangeRect {0, 9, 0, 3}));
    EXPECT_EQ(area.Rect(1), (TRangeRect {20, 29, 5, 6}));

    const TRanges& ranges = SheetAt(*file, 0).Ranges();
    ASSERT_EQ(ranges.Count(), 1);
    EXPECT_EQ(ranges.Items(0)->Name(), "Total");
    EXPECT_EQ(ranges.Items(0)->Rect(0), (TRangeRect {4, 4, 2, 2}));
    EXPECT_EQ(SheetAt(*file, 1).Ranges().Count(), 0);
}

// A name the model refuses (SetName raises code 11 for a blank) is passed
// over; the names around it and the rest of the workbook are read.
TEST(ReaderGlobals, DefinedNameWithABlankIsPassedOver)
{
    TWorkbookBuilder book;
    book.Record(BiffId::Name, NameBody(0, u"Before", Ref3dToken(0, 1, 1)));
    book.Record(BiffId::Name, NameBody(0, u"Excel_BuiltIn__FilterDatabase_1 1", Area3dToken(0, 0, 9, 0, 2)));
    book.Record(BiffId::Name, NameBody(0, u"After", Ref3dToken(0, 2, 2)));
    book.Sheet(u"A").Number(0, 0, 4);
    auto file = OpenXlsBytes(book.FileBytes());
    const TRanges& ranges = SheetAt(*file, 0).Ranges();
    ASSERT_EQ(ranges.Count(), 2);
    EXPECT_EQ(ranges.Items(0)->Name(), "Before");
    EXPECT_EQ(ranges.Items(1)->Name(), "After");
    EXPECT_EQ(NumberAt(SheetAt(*file, 0), 0, 0), 4);
}

// PALETTE replaces the colours of colour indexes 8 upwards: fills, fonts and
// the page's CSS follow the file's colours, not the default palette's.
TEST(ReaderGlobals, PaletteRecordReachesThePageCss)
{
    constexpr uint16_t PaletteId = 0x0092;
    TWorkbookBuilder book;
    book.Font().Font().Font().Font().Font({.Color = 12}); // font 5 (index 4 in the table): colour index 12
    book.XF().XF({.Font = 5, .FillPattern = 1, .PatternFore = 10});
    // Colour indexes 8..12; 10 becomes pale pink (red by default), 12 dark green.
    TBiffBody colours;
    colours.U16(5).U8(1).U8(2).U8(3).U8(0).U8(4).U8(5).U8(6).U8(0).U8(0xFF).U8(0xCC).U8(0xCC).U8(0);
    colours.U8(7).U8(8).U8(9).U8(0).U8(0x00).U8(0x64).U8(0x00).U8(0);
    book.Record(PaletteId, colours);
    book.Sheet(u"S").Number(0, 0, 1, 1);
    auto file = OpenXlsBytes(book.FileBytes());
    TWorkbook& workbook = file->Workbook();
    EXPECT_EQ(workbook.Palette().Color(1), RGBColor(1, 2, 3));
    EXPECT_EQ(workbook.Palette().Color(3), RGBColor(0xFF, 0xCC, 0xCC));
    EXPECT_EQ(workbook.Palette().Color(6), PaletteColor(6)); // past the record's entries
    EXPECT_EQ(TPalette::Default().Color(3), RGBColor(0xFF, 0, 0)); // the default stays

    TSheet& sheet = *workbook.Sheets().Items(0);
    TCell& cell = *sheet.Cells().FindCell(0, 0);
    EXPECT_EQ(cell.FillColor(), RGBColor(0xFF, 0xCC, 0xCC));
    EXPECT_EQ(cell.FontColor(), RGBColor(0x00, 0x64, 0x00));
    cell.SetPatternColor(RGBColor(0xFE, 0xCC, 0xCC)); // nearest in this workbook's palette
    EXPECT_EQ(cell.PatternColorIndex(), 3);

    TScratchDir dir;
    SaveAsHTML(sheet, dir.File("page.htm"));
    const std::vector<uint8_t> bytes = ReadWholeFile(dir.File("page.htm"));
    const std::string page(bytes.begin(), bytes.end());
    EXPECT_NE(page.find("background-color: #FFCCCC;"), std::string::npos);
    EXPECT_NE(page.find("color: #006400;"), std::string::npos);
    EXPECT_EQ(page.find("#FF0000"), std::string::npos);

    // A file without the record is read with the default palette again.
    TWorkbookBuilder plain;
    plain.XF().XF({.FillPattern = 1, .PatternFore = 10});
    plain.Sheet(u"S").Number(0, 0, 1, 1);
    WriteWholeFile(dir.File("plain.xls"), plain.FileBytes());
    file->OpenFile(Utf8ToWide(dir.File("plain.xls")));
    EXPECT_EQ(file->Workbook().Palette(), TPalette::Default());
    EXPECT_EQ(file->Workbook().Sheets().Items(0)->Cells().FindCell(0, 0)->FillColor(), RGBColor(0xFF, 0, 0));
}

TEST(ReaderGlobals, PasswordVerifierOfTheWorkbookAndOfASheet)
{
    TWorkbookBuilder book;
    book.Record(BiffId::Password, TBiffBody().U16(0xCAFE));
    book.Sheet(u"A").Record(BiffId::Password, TBiffBody().U16(0xBEEF));
    auto file = OpenXlsBytes(book.FileBytes());
    EXPECT_EQ(file->Workbook().PasswordHash, 0xCAFE);
    EXPECT_EQ(SheetAt(*file, 0).PasswordHash, 0xBEEF);
}

TEST(ReaderGlobals, DateModeSetsThe1904DateSystem)
{
    for (uint16_t mode : {0, 1}) {
        TWorkbookBuilder book;
        book.DateMode(mode).Sheet(u"A");
        EXPECT_EQ(OpenXlsBytes(book.FileBytes())->Workbook().Date1904, mode == 1);
    }
}
