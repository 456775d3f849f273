// Whole pages of sheets built through the model.
#include <gtest/gtest.h>

#include <sstream>

#include "fixtures/TestFiles.h"
#include "fixtures/WorkbookBuilder.h"
#include "html/SaveAsHTML.h"
#include "html/XLSWriterHTML.h"
#include "model/Workbook.h"
#include "platform/FileSystem.h"

namespace {

const std::string kDefaultClass = ".xl0\r\n {font-family: Arial;\r\nfont-size: 10pt;\r\ncolor: #000000;\r\n"
                                  "\r\nvertical-align:bottom;\r\n}\r\n";

std::string PageOf(TSheet& sheet, bool utf8 = false)
{
    TRangeRect range;
    EXPECT_TRUE(sheet.GetUsedRange(range));
    std::ostringstream out;
    TXLSWriterHTML(&sheet, utf8).SaveToStream(out, range);
    return out.str();
}

size_t CountOf(const std::string& text, const std::string& part)
{
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++n;
    return n;
}

// The part of the page from the table on.
std::string TableOf(const std::string& page) { return page.substr(page.find("<table")); }

class HtmlWriterTest : public ::testing::Test {
protected:
    TWorkbook Book;
    TSheet& Sheet = *Book.Sheets().Items(0);
    TCell& Cell(int row, int col) { return *Sheet.Cells().GetCell(row, col); }
    void Text(int row, int col, const std::u16string& text) { Cell(row, col).SetValue(TVariant::Wide(text)); }
};

TEST_F(HtmlWriterTest, ExamplePage)
{
    Cell(0, 0).SetValue(TVariant::Double(12));
    Text(0, 1, u"a<b");
    EXPECT_EQ(PageOf(Sheet), "<html>\r\n<style>\r\n" + kDefaultClass +
                                 "</style>\r\n"
                                 "<table cellpadding=0 cellspacing=0 border=0 width=130 "
                                 "style=\"border-collapse:collapse;\">\r\n"
                                 "<tr>\r\n"
                                 "<td class=\"xl0\" width=65 height=18>12</td>\r\n"
                                 "<td class=\"xl0\" width=65 height=18>a_b</td>\r\n"
                                 "</tr>\r\n"
                                 "</table>\r\n"
                                 "</html>");
}

TEST_F(HtmlWriterTest, ExamplePageThroughSaveAsHTML)
{
    Cell(0, 0).SetValue(TVariant::Double(12));
    Text(0, 1, u"a<b");
    const std::string expected = PageOf(Sheet);
    TScratchDir dir;
    SaveAsHTML(Sheet, dir.File("out.htm"));
    const auto bytes = ReadWholeFile(dir.File("out.htm"));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), expected);
}

TEST_F(HtmlWriterTest, SheetWithoutCellsCreatesNoFile)
{
    Sheet.Rows().GetRow(2)->SetFontBold(true); // formatting alone is no cell
    TScratchDir dir;
    SaveAsHTML(Sheet, dir.File("out.htm"));
    EXPECT_FALSE(FileExists(dir.File("out.htm")));
}

TEST_F(HtmlWriterTest, FileThatCannotBeCreated)
{
    Text(0, 0, u"x");
    TScratchDir dir;
    EXPECT_THROW(SaveAsHTML(Sheet, dir.File("missing/out.htm")), EFileError);
}

TEST_F(HtmlWriterTest, OnlyCellC5)
{
    Text(4, 2, u"c5");
    EXPECT_EQ(TableOf(PageOf(Sheet)), "<table cellpadding=0 cellspacing=0 border=0 width=65 "
                                      "style=\"border-collapse:collapse;\">\r\n"
                                      "<tr>\r\n<td class=\"xl0\" width=65 height=18>c5</td>\r\n</tr>\r\n"
                                      "</table>\r\n</html>");
}

TEST_F(HtmlWriterTest, HiddenColumnAndRowAreOnePixelWithoutText)
{
    Text(0, 0, u"a");
    Text(1, 1, u"b");
    Text(0, 1, u"shown");
    Cell(2, 0).SetValue(TVariant::Double(12345));
    Cell(2, 0).SetFontBold(true);
    Cell(3, 0).SetHyperlink(u"http://x/");
    Sheet.Columns().GetColumn(0)->SetWidthPixels(0);
    Sheet.Rows().GetRow(1)->SetHeightPixels(0);
    const std::string table = TableOf(PageOf(Sheet));
    EXPECT_NE(table.find("border=0 width=66 style"), std::string::npos);
    // The cell, its class and its size stay; its text and link do not.
    EXPECT_NE(table.find("<td class=\"xl0\" width=1 height=18></td>\r\n<td class=\"xl0\" width=65 height=18>shown</td>"),
              std::string::npos);
    EXPECT_NE(table.find("<td class=\"xl0\" width=65 height=1></td>"), std::string::npos);
    EXPECT_NE(table.find("<td class=\"xl1\" width=1 height=18></td>"), std::string::npos);
    for (const char* gone : {">a<", ">b<", "12345", "href"})
        EXPECT_EQ(table.find(gone), std::string::npos) << gone;
}

TEST_F(HtmlWriterTest, MergedAreaHidesItsTextOnlyWhenWhollyHidden)
{
    Text(0, 0, u"part");  // A1:B1, column A hidden
    Text(1, 0, u"whole"); // A2:A3, column A hidden
    Text(3, 2, u"rows");  // C4:D4, row 4 hidden
    for (const TRangeRect& r : {TRangeRect{0, 0, 0, 1}, TRangeRect{1, 2, 0, 0}, TRangeRect{3, 3, 2, 3}}) {
        TRange* range = Sheet.Ranges().Add();
        range->Add(r.FirstRow, r.LastRow, r.FirstCol, r.LastCol);
        range->Merge();
    }
    Sheet.Columns().GetColumn(0)->SetWidthPixels(0);
    Sheet.Rows().GetRow(3)->SetHeightPixels(0);
    const std::string table = TableOf(PageOf(Sheet));
    EXPECT_NE(table.find("colspan=2 rowspan=1  width=66 height=18>part</td>"), std::string::npos);
    EXPECT_NE(table.find("colspan=1 rowspan=2  width=1 height=36></td>"), std::string::npos);
    EXPECT_NE(table.find("colspan=2 rowspan=1  width=130 height=1></td>"), std::string::npos);
}

TEST_F(HtmlWriterTest, EmptyPositionsInheritRowAndColumnFormats)
{
    Text(0, 0, u"a");
    Text(99, 25, u"z");
    Sheet.Rows().GetRow(4)->SetFontBold(true);
    Sheet.Columns().GetColumn(2)->SetFillColorIndex(3);
    const std::string page = PageOf(Sheet);

    EXPECT_EQ(CountOf(page, "<tr>\r\n"), 100u);
    EXPECT_EQ(CountOf(page, "<td "), 2600u);
    EXPECT_EQ(CountOf(page, ">&nbsp;</td>"), 2598u);
    // Classes by first occurrence: default (A1), the column's fill (C1), the
    // row's bold (A5), both at C5.
    EXPECT_EQ(CountOf(page, "\r\n {"), 4u);
    EXPECT_NE(page.find(".xl1\r\n {font-family: Arial;\r\nfont-size: 10pt;\r\ncolor: #000000;\r\n\r\n"
                        "vertical-align:bottom;\r\nbackground-color: #FF0000;\r\n}"),
              std::string::npos);
    EXPECT_NE(page.find(".xl2\r\n {font-family: Arial;\r\nfont-size: 10pt;\r\ncolor: #000000;\r\n"
                        "font-weight: bold;\r\n\r\nvertical-align:bottom;\r\n}"),
              std::string::npos);
    EXPECT_NE(page.find(".xl3\r\n {font-family: Arial;\r\nfont-size: 10pt;\r\ncolor: #000000;\r\n"
                        "font-weight: bold;\r\n\r\nvertical-align:bottom;\r\nbackground-color: #FF0000;\r\n}"),
              std::string::npos);
    const std::string cell = "<td class=\"xl%\" width=65 height=18>&nbsp;</td>\r\n";
    auto withClass = [&](int n) { return std::string(cell).replace(cell.find('%'), 1, std::to_string(n)); };
    const std::string row5 = withClass(2) + withClass(2) + withClass(3) + withClass(2);
    EXPECT_NE(page.find("<tr>\r\n" + row5), std::string::npos);
    EXPECT_EQ(CountOf(page, "class=\"xl1\""), 99u);
    // Nothing of the probing was stored.
    EXPECT_EQ(Sheet.Cells().Count(), 2);
}

TEST_F(HtmlWriterTest, StoreOrderDoesNotChangeThePage)
{
    const struct {
        int Row, Col;
        const char16_t* Text;
    } cells[] = {{0, 0, u"a"}, {0, 2, u"c"}, {1, 1, u"e"}, {2, 0, u"g"}, {2, 2, u"i"}};
    for (const auto& c : cells)
        Text(c.Row, c.Col, c.Text);
    Cell(2, 2).SetFontBold(true);
    const std::string forward = PageOf(Sheet);

    TWorkbook reversed;
    TSheet& sheet = *reversed.Sheets().Items(0);
    for (int i = 4; i >= 0; --i)
        sheet.Cells().GetCell(cells[i].Row, cells[i].Col)->SetValue(TVariant::Wide(cells[i].Text));
    sheet.Cells().GetCell(2, 2)->SetFontBold(true);
    EXPECT_EQ(PageOf(sheet), forward);
    EXPECT_NE(forward.find(">a</td>\r\n<td class=\"xl0\" width=65 height=18>&nbsp;</td>\r\n"
                           "<td class=\"xl0\" width=65 height=18>c</td>"),
              std::string::npos);
    EXPECT_NE(forward.find("<td class=\"xl1\" width=65 height=18>i</td>"), std::string::npos);
}

TEST_F(HtmlWriterTest, MergedAreaSpansRowsAndColumns)
{
    Text(0, 0, u"a");
    Text(1, 1, u"merged");
    Text(3, 4, u"e");
    Sheet.Columns().GetColumn(2)->SetWidthPixels(100);
    Sheet.Rows().GetRow(2)->SetHeightPixels(30);
    TRange* range = Sheet.Ranges().Add();
    range->Add(1, 2, 1, 3);
    range->Merge();
    const std::string table = TableOf(PageOf(Sheet));
    EXPECT_EQ(CountOf(table, "<tr>\r\n"), 4u);
    EXPECT_EQ(CountOf(table, "<td "), 20u - 5u);
    EXPECT_NE(table.find("<td class=\"xl0\" colspan=3 rowspan=2  width=231 height=49>merged</td>\r\n"),
              std::string::npos);
    // Row 3 keeps its row line and its cells left and right of the area.
    EXPECT_NE(table.find("<tr>\r\n<td class=\"xl0\" width=65 height=31>&nbsp;</td>\r\n"
                         "<td class=\"xl0\" width=65 height=31>&nbsp;</td>\r\n</tr>"),
              std::string::npos);
}

TEST_F(HtmlWriterTest, MergedFlagOutsideAnyAreaIsAnOrdinaryCell)
{
    Text(0, 0, u"x");
    Cell(0, 0).SetMerged(true);
    EXPECT_NE(PageOf(Sheet).find("<td class=\"xl0\" width=65 height=18>x</td>"), std::string::npos);
}

TEST(HtmlCellTextTest, Cases)
{
    const struct {
        std::string In, Out;
    } cases[] = {
        {"  x > y  ", "x _ y"},
        {"   ", "&nbsp;"},
        {"", "&nbsp;"},
        {"\r\n\tline1\nline2\r\n", "line1\nline2"},
        {"&lt;b&gt;", "&amp;lt;b&amp;gt;"},
        {"&copy", "&amp;copy"},
        {"say \"hi\"", "say \"hi\""},
        {"<script>", "_script_"},
        {"\xE9t\xE9", "\xE9t\xE9"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TXLSWriterHTML::HTMLCellText(c.In), c.Out) << c.In;
}

TEST_F(HtmlWriterTest, HyperlinkIsEscapedInsideTheCell)
{
    Text(0, 0, u"click");
    Cell(0, 0).SetHyperlink(u"http://x/?a=1&b=\"><script>");
    const std::string page = PageOf(Sheet);
    EXPECT_NE(page.find(" width=65 height=18><a href=\"http://x/?a=1&amp;b=&quot;&gt;&lt;script&gt;\">click</a></td>"),
              std::string::npos);
    EXPECT_EQ(page.find("<script>"), std::string::npos);
}

TEST_F(HtmlWriterTest, FormatsDifferingOnlyInHiddenPropertiesShareAClass)
{
    Text(0, 0, u"a");
    Text(0, 1, u"b");
    Text(0, 2, u"c");
    Cell(0, 1).SetFormatIndex(10);
    Cell(0, 2).SetLocked(false);
    ASSERT_NE(Cell(0, 0).XFIndex(), Cell(0, 1).XFIndex());
    const std::string page = PageOf(Sheet);
    EXPECT_EQ(CountOf(page, "\r\n {"), 1u);
    EXPECT_EQ(CountOf(page, "class=\"xl0\""), 3u);
}

// A cell whose format the formatter refuses is written in the general form,
// and the cells after it as ever.
TEST_F(HtmlWriterTest, FormatTooLongForTheFormatterShowsTheGeneralForm)
{
    const int pos = Book.FormatStrings().SetFormat(std::string(250, '0') + ".00", 200);
    Cell(0, 0).SetValue(TVariant::Double(12));
    Cell(0, 0).SetFormatIndex(static_cast<uint16_t>(pos));
    Text(0, 1, u"after");
    const std::string table = TableOf(PageOf(Sheet));
    EXPECT_NE(table.find(">12</td>"), std::string::npos);
    EXPECT_NE(table.find(">after</td>"), std::string::npos);
}

TEST_F(HtmlWriterTest, LastColumnIV)
{
    Text(0, 254, u"iu");
    Text(0, 255, u"iv");
    Sheet.Columns().GetColumn(255)->SetWidthPixels(20);
    EXPECT_EQ(TableOf(PageOf(Sheet)), "<table cellpadding=0 cellspacing=0 border=0 width=86 "
                                      "style=\"border-collapse:collapse;\">\r\n<tr>\r\n"
                                      "<td class=\"xl0\" width=65 height=18>iu</td>\r\n"
                                      "<td class=\"xl0\" width=21 height=18>iv</td>\r\n</tr>\r\n"
                                      "</table>\r\n</html>");
}

TEST_F(HtmlWriterTest, WholeSheetWidthIncludingColumnIV)
{
    Text(0, 0, u"a");
    Text(0, 255, u"b");
    const std::string page = PageOf(Sheet);
    EXPECT_EQ(CountOf(page, "<td "), 256u);
    EXPECT_NE(page.find("width=" + std::to_string(256 * 65) + " style"), std::string::npos);
}

TEST_F(HtmlWriterTest, Utf8PageDeclaresItsCharset)
{
    Text(0, 0, u"\u0416 & \u00E9");
    const std::string utf8 = PageOf(Sheet, true);
    EXPECT_EQ(utf8.substr(0, 39), "<html>\r\n<meta charset=\"utf-8\">\r\n<style>");
    EXPECT_NE(utf8.find(">\xD0\x96 &amp; \xC3\xA9</td>"), std::string::npos);

    const std::string ansi = PageOf(Sheet);
    EXPECT_EQ(ansi.find("meta"), std::string::npos);
    EXPECT_NE(ansi.find(">&#1046; &amp; \xE9</td>"), std::string::npos);
}

TEST_F(HtmlWriterTest, CharactersOutsideTheCodePageBecomeReferences)
{
    Text(0, 0, u"\u65E5\u672C & <\u20AC\u00E9>");    // Japanese, and what Windows-1252 holds
    Text(0, 1, u"\U0001F600 \xD800x");                 // a pair is one character; a lone surrogate U+FFFD
    Text(0, 2, u"&#26085;");                            // typed text stays text
    Cell(0, 3).SetValue(TVariant::Error(0x2A));
    Text(0, 4, u"link");
    Cell(0, 4).SetHyperlink(u"http://x/\u65E5?a&b");
    Cell(0, 5).SetValue(TVariant::Wide(u"font"));
    Cell(0, 5).SetFontName(u"\uFF2D\uFF33 \u660E\u671D");
    const std::string page = PageOf(Sheet);
    EXPECT_NE(page.find(">&#26085;&#26412; &amp; _\x80\xE9_</td>"), std::string::npos);
    EXPECT_NE(page.find(">&#128512; &#65533;x</td>"), std::string::npos);
    EXPECT_NE(page.find(">&amp;#26085;</td>"), std::string::npos);
    EXPECT_NE(page.find(">#N/A</td>"), std::string::npos);
    EXPECT_NE(page.find("<a href=\"http://x/&#26085;?a&amp;b\">link</a>"), std::string::npos);
    // The style sheet reads no references: CSS escapes, each ended by a blank.
    EXPECT_NE(page.find("font-family: \\FF2D \\FF33  \\660E \\671D ;"), std::string::npos);
    EXPECT_EQ(page.find('?', page.find("<table")), page.find("?a&amp;b"));
}

TEST(HtmlWriterReadTest, ErrorValuesShowWithTheirFill)
{
    TWorkbookBuilder book;
    book.Font().XF().XF({.FillPattern = 1, .PatternFore = 13}); // yellow
    book.Sheet(u"S")
        .BoolErr(0, 0, 0x2A, true, 1)
        .Formula(0, 1, {2, 0, 0x07, 0, 0, 0, 0xFF, 0xFF}, {0x1E, 1, 0, 0x1E, 0, 0, 0x06}, 1); // 1/0
    auto file = OpenXlsBytes(book.FileBytes());
    TSheet& sheet = *file->Workbook().Sheets().Items(0);
    const std::string page = PageOf(sheet);
    EXPECT_NE(page.find(".xl0\r\n {font-family: Arial;\r\nfont-size: 10pt;\r\ncolor: #000000;\r\n\r\n"
                        "vertical-align:bottom;\r\nbackground-color: #FFFF00;\r\n}"),
              std::string::npos)
        << page;
    EXPECT_NE(TableOf(page).find("<tr>\r\n<td class=\"xl0\" width=65 height=18>#N/A</td>\r\n"
                                 "<td class=\"xl0\" width=65 height=18>#DIV/0!</td>\r\n</tr>"),
              std::string::npos)
        << page;
}

TEST_F(HtmlWriterTest, LargePageIsWrittenWhole)
{
    // More than one output chunk: the bytes must match a second write.
    for (int row = 0; row < 3000; ++row)
        for (int col = 0; col < 8; ++col)
            Cell(row, col).SetValue(TVariant::Double(row * 8 + col));
    const std::string page = PageOf(Sheet);
    EXPECT_EQ(CountOf(page, "<td "), 24000u);
    EXPECT_NE(page.find(">23999</td>\r\n</tr>\r\n</table>\r\n</html>"), std::string::npos);
    EXPECT_EQ(page.substr(page.size() - 7), "</html>");
}

} // namespace
