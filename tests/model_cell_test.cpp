#include <gtest/gtest.h>

#include <functional>

#include "model/Workbook.h"
#include "styles/XLSError.h"

namespace {

struct CellFixture : ::testing::Test {
    TWorkbook wb;
    TSheet& sheet = *wb.Sheets().Items(0);
    TCells& cells = sheet.Cells();
    TCell* Cell(int r, int c) { return cells.GetCell(r, c); }
};

} // namespace

using CellValue = CellFixture;

TEST_F(CellValue, AcceptedAndRefusedTypes)
{
    int col = 0;
    for (uint16_t type : {2, 3, 4, 5, 6, 7, 8, 10, 11, 16, 17, 18, 19, 20, 256})
        EXPECT_NO_THROW(Cell(0, col++)->SetValue(TVariant::Raw(type))) << type;
    EXPECT_EQ(cells.Count(), 15);
    for (uint16_t type : {0, 1, 9, 12, 13, 14, 15, 21, 255, 257}) {
        TCell* cell = Cell(1, 0);
        try {
            cell->SetValue(TVariant::Raw(type));
            FAIL() << type;
        } catch (const EXLSError& e) {
            EXPECT_EQ(e.ErrorCode(), 3);
            EXPECT_STREQ(e.what(), "Invalid cell value or type");
        }
        EXPECT_FALSE(cell->Stored());
    }
}

TEST_F(CellValue, StringLengthLimitInTheCodePage)
{
    TCell* cell = Cell(0, 0);
    cell->SetValue(TVariant::Wide(u"keep"));
    EXPECT_THROW(cell->SetValue(TVariant::Wide(std::u16string(65536, u'x'))), EXLSError);
    EXPECT_THROW(cell->SetValue(TVariant::String(std::string(65536, 'x'))), EXLSError);
    EXPECT_EQ(cell->Value().AsWide(), u"keep");
    cell->SetValue(TVariant::String(std::string(65535, 'x')));
    // A surrogate pair is one character of the code page.
    std::u16string pairs;
    for (int i = 0; i < 40000; ++i)
        pairs += u"\U0001F600";
    cell->SetValue(TVariant::Wide(pairs));
    EXPECT_EQ(cell->Value().AsWide().size(), 80000u);
}

TEST_F(CellValue, SettingStoresAndRepeatsAreHarmless)
{
    TCell* cell = Cell(4, 4);
    cell->SetValue(TVariant::Double(2.5));
    EXPECT_EQ(cells.Count(), 1);
    cell->SetValue(TVariant::Double(2.5));
    EXPECT_EQ(cells.Count(), 1);
    cell->SetValue(TVariant::Integer(2));
    EXPECT_EQ(cell->Value().Type(), varInteger);
}

TEST_F(CellValue, DateSetsTheShortDateFormatOnce)
{
    TCell* general = Cell(0, 0);
    general->SetValue(TVariant::Date(39448));
    EXPECT_EQ(general->FormatIndex(), 13);
    general->SetFormatIndex(0);
    general->SetValue(TVariant::Date(39449)); // already a date: format left alone
    EXPECT_EQ(general->FormatIndex(), 0);

    TCell* formatted = Cell(0, 1);
    formatted->SetFormatIndex(2);
    formatted->SetValue(TVariant::Date(1));
    EXPECT_EQ(formatted->FormatIndex(), 2);
}

TEST_F(CellValue, FormulaAndHyperlinkAttributes)
{
    TCell* cell = Cell(0, 0);
    cell->SetFormula("SUM(A1:A3)");
    EXPECT_TRUE(cell->Stored());
    EXPECT_EQ(cell->Formula(), "SUM(A1:A3)");
    EXPECT_TRUE(cell->Value().IsEmpty());
    const std::string sep("\xFF\x00\xFF\x63", 4);
    EXPECT_EQ(cell->Attributes(), sep + "F" + sep + "SUM(A1:A3)" + sep);

    TCell* link = Cell(1, 0);
    link->SetHyperlink(u"http://x");
    EXPECT_TRUE(link->Stored());
    EXPECT_EQ(link->Hyperlink(), u"http://x");
    EXPECT_EQ(link->Value().AsWide(), u"http://x");
    EXPECT_EQ(link->FontColorIndex(), 5);
    EXPECT_TRUE(link->FontUnderline());
    EXPECT_EQ(link->Attributes(), sep + "H" + sep + std::string("h\0t\0t\0p\0:\0/\0/\0x\0", 16) + sep);

    // A cell with a value keeps it; an empty formula removes the attribute.
    TCell* valued = Cell(2, 0);
    valued->SetValue(TVariant::Double(7));
    valued->SetHyperlink(u"l");
    EXPECT_EQ(valued->Value().AsDouble(), 7);
    cell->SetFormula("");
    EXPECT_EQ(cell->Formula(), "");
    EXPECT_EQ(cell->Attributes(), "");

    // Texts that contain the separator bytes do not confuse the attributes.
    TCell* odd = Cell(3, 0);
    odd->SetFormula(sep + "H");
    odd->SetHyperlink(u"\u00FF\u63FF");
    EXPECT_EQ(odd->Formula(), sep + "H");
    EXPECT_EQ(odd->Hyperlink(), u"\u00FF\u63FF");
}

using CellStyle = CellFixture;

TEST_F(CellStyle, DefaultsDoNotStoreAPendingCell)
{
    struct Case {
        const char* name;
        void (*set)(TCell*, bool nonDefault);
    };
    const Case cases[] = {
        {"fill", [](TCell* c, bool x) { c->SetFillColorIndex(x ? 10 : 58); }},
        {"pattern colour", [](TCell* c, bool x) { c->SetPatternColorIndex(x ? 10 : 57); }},
        {"fill rgb", [](TCell* c, bool x) { x ? c->SetFillColor(RGBColor(255, 0, 0)) : c->SetFillColorIndex(58); }},
        {"pattern", [](TCell* c, bool x) { c->SetFillPattern(x ? 1 : 0); }},
        {"halign", [](TCell* c, bool x) { c->SetHorizontalAlignment(x ? 2 : 0); }},
        {"valign", [](TCell* c, bool x) { c->SetVerticalAlignment(x ? 0 : 2); }},
        {"merged", [](TCell* c, bool x) { c->SetMerged(x); }},
        {"wrap", [](TCell* c, bool x) { c->SetWrapText(x); }},
        {"rotation", [](TCell* c, bool x) { c->SetRotation(x ? 90 : 0); }},
        {"indent", [](TCell* c, bool x) { c->SetIndent(x ? 1 : 0); }},
        {"locked", [](TCell* c, bool x) { c->SetLocked(!x); }},
        {"font index", [](TCell* c, bool) { c->SetFontIndex(0); }},
    };
    for (const Case& k : cases) {
        TCell* cell = Cell(0, 0);
        k.set(cell, false);
        EXPECT_FALSE(cell->Stored()) << k.name;
        EXPECT_EQ(cell->XFIndex(), wb.XFTable().DefaultIndex()) << k.name;
    }
    int col = 1;
    for (const Case& k : cases) {
        if (std::string(k.name) == "font index")
            continue;
        TCell* cell = Cell(0, col++);
        k.set(cell, true);
        EXPECT_TRUE(cell->Stored()) << k.name;
    }
}

TEST_F(CellStyle, AlwaysStoringSetters)
{
    const std::function<void(TCell*)> setters[] = {
        [](TCell* c) { c->SetBorderColorIndex(BorderAll, 58); },
        [](TCell* c) { c->SetBorderStyle(BorderLeft, 0); },
        [](TCell* c) { c->SetBorderStyle(9, 1); }, // no side changes, still stores
        [](TCell* c) { c->SetFormatIndex(2); },
        [](TCell* c) { c->SetFontBold(true); },
        [](TCell* c) { c->SetFontName(u"Tahoma"); },
        [](TCell* c) { c->SetFontSize(12); },
        [](TCell* c) { c->SetFontColor(RGBColor(255, 0, 0)); },
    };
    int col = 0;
    for (const auto& set : setters) {
        TCell* cell = Cell(1, col++);
        set(cell);
        EXPECT_TRUE(cell->Stored()) << col - 1;
    }
    // Setting a font property to its current value changes nothing.
    TCell* plain = Cell(2, 0);
    plain->SetFontBold(false);
    plain->SetFontName(u"Arial");
    EXPECT_FALSE(plain->Stored());
}

TEST_F(CellStyle, GettersReadTheRecords)
{
    TCell* c = Cell(0, 0);
    c->SetBorderStyle(BorderAll, 2);
    c->SetBorderColorIndex(BorderTop, 3);
    c->SetIndent(20);
    c->SetFillColor(RGBColor(250, 250, 250));
    c->SetFontScript(2);
    c->SetFontUnderlineStyle(0x22);
    c->SetFontStrikeout(true);
    c->SetFontItalic(true);
    for (int side = 0; side < 4; ++side)
        EXPECT_EQ(c->BorderStyle(side), 2);
    EXPECT_EQ(c->BorderColorIndex(BorderTop), 3);
    EXPECT_EQ(c->BorderColor(BorderTop), RGBColor(255, 0, 0));
    EXPECT_EQ(c->BorderColorIndex(BorderLeft), 58);
    EXPECT_EQ(c->BorderColorIndex(5), 58);
    EXPECT_EQ(c->BorderStyle(-1), 0);
    EXPECT_EQ(c->Indent(), 15);
    EXPECT_EQ(c->FillColorIndex(), 2);
    EXPECT_EQ(c->FillColor(), RGBColor(255, 255, 255));
    EXPECT_EQ(c->FontScript(), 2);
    EXPECT_EQ(c->FontUnderlineStyle(), 0x22);
    EXPECT_TRUE(c->FontStrikeout());
    EXPECT_TRUE(c->FontItalic());
    EXPECT_FALSE(c->FontBold());
    EXPECT_EQ(c->FontName(), u"Arial");
    EXPECT_EQ(c->FontSize(), 10);
    EXPECT_EQ(c->FontColor(), PaletteColor(57));
}

TEST_F(CellStyle, CopyOnWriteSharesEqualLooksAndLeavesOthersAlone)
{
    TCell* a = Cell(0, 0);
    a->SetValue(TVariant::Double(1));
    TCell* b = Cell(0, 1);
    b->SetValue(TVariant::Double(2));
    const int xfBefore = wb.XFTable().Count();
    a->SetFontBold(true);
    b->SetFontBold(true);
    EXPECT_EQ(a->XFIndex(), b->XFIndex());
    EXPECT_EQ(wb.XFTable().Count(), xfBefore + 1);
    const int shared = a->XFIndex();

    // Changing one of the two moves only that one.
    a->SetFontSize(14);
    EXPECT_NE(a->XFIndex(), shared);
    EXPECT_EQ(b->XFIndex(), shared);
    EXPECT_EQ(b->FontSize(), 10);
    EXPECT_TRUE(b->FontBold());
    EXPECT_EQ(a->FontSize(), 14);
    EXPECT_NE(a->FontIndex(), b->FontIndex());

    // Use counts follow the items.
    const TVirtualDataTable& xf = wb.XFTable().Table();
    EXPECT_EQ(xf.UseCount(shared), 1);
    EXPECT_EQ(xf.UseCount(a->XFIndex()), 1);
    b->SetFontSize(14);
    EXPECT_EQ(b->XFIndex(), a->XFIndex());
    EXPECT_EQ(xf.UseCount(a->XFIndex()), 2);
    EXPECT_EQ(xf.UseCount(shared), 0);
}

TEST_F(CellStyle, ReadFormatsMoveWithoutUseCounts)
{
    wb.XFTable().ResetBuffer().HAlign = 3;
    const int xf = wb.XFTable().Append();
    TCell* cell = Cell(0, 0);
    cell->SetXFIndex(wb.XFTable().DefaultIndex());
    EXPECT_FALSE(cell->Stored());
    cell->SetXFIndex(xf);
    EXPECT_TRUE(cell->Stored());
    EXPECT_EQ(cell->HorizontalAlignment(), 3);
    EXPECT_EQ(wb.XFTable().Table().UseCount(xf), 1);
    // An index outside the table reads as the default format.
    cell->SetXFIndex(1000);
    EXPECT_EQ(cell->VerticalAlignment(), 2);
    EXPECT_THROW(cell->SetFontBold(true), ERangeError);
}

TEST_F(CellStyle, PendingCellsReturnTheirUses)
{
    const TVirtualDataTable& xf = wb.XFTable().Table();
    const int d = wb.XFTable().DefaultIndex();
    const int before = xf.UseCount(d);
    Cell(0, 0);
    EXPECT_EQ(xf.UseCount(d), before + 1);
    for (int c = 1; c < 50; ++c)
        Cell(0, c);
    EXPECT_EQ(xf.UseCount(d), before + 1);
    Cell(1, 1)->SetValue(TVariant::Boolean(false));
    EXPECT_EQ(xf.UseCount(d), before + 1);
}

using CellInheritance = CellFixture;

TEST_F(CellInheritance, RowOrColumnAloneGivesItsFormat)
{
    TRow* row = sheet.Rows().GetRow(4);
    row->SetFontBold(true);
    TCell* cell = Cell(4, 9);
    EXPECT_EQ(cell->XFIndex(), row->XFIndex());
    EXPECT_TRUE(cell->FontBold());
    EXPECT_FALSE(cell->Stored());
    EXPECT_EQ(cells.Count(), 0);

    TColumn* col = sheet.Columns().GetColumn(2);
    col->SetFillColorIndex(10);
    EXPECT_EQ(Cell(0, 2)->FillColorIndex(), 10);
    EXPECT_FALSE(Cell(0, 3)->FillColorIndex() == 10);
}

TEST_F(CellInheritance, RowAndColumnCombine)
{
    sheet.Rows().GetRow(4)->SetFontBold(true);
    sheet.Rows().GetRow(4)->SetBorderStyle(BorderTop, 1);
    TColumn* col = sheet.Columns().GetColumn(2);
    col->SetFillColorIndex(10);
    col->SetFontSize(14);
    col->SetBorderStyle(BorderTop, 5);
    col->SetMerged(true);

    TCell* cell = Cell(4, 2);
    EXPECT_FALSE(cell->Stored());
    EXPECT_EQ(cells.Count(), 0);
    EXPECT_TRUE(cell->FontBold());
    EXPECT_EQ(cell->FillColorIndex(), 10);
    EXPECT_EQ(cell->FontSize(), 14);
    EXPECT_EQ(cell->BorderStyle(BorderTop), 1); // the row's wins when it is not the default
    EXPECT_FALSE(cell->Merged());                // not inherited when both are formatted
    EXPECT_FALSE(cells.Updating());

    cell->SetValue(TVariant::Double(1));
    EXPECT_TRUE(cells.FindCell(4, 2)->FontBold());
}

TEST_F(CellInheritance, CombinedFormatsFollowChanges)
{
    TRow* row = sheet.Rows().GetRow(1);
    row->SetFontBold(true);
    for (int c : {5, 6}) // equal looks: both columns share one XF index
        sheet.Columns().GetColumn(c)->SetFillColorIndex(10);
    ASSERT_EQ(sheet.Columns().FindColumn(5)->XFIndex(), sheet.Columns().FindColumn(6)->XFIndex());

    const int first = Cell(1, 5)->XFIndex();
    TCell* second = Cell(1, 6);
    EXPECT_EQ(second->XFIndex(), first);
    EXPECT_TRUE(second->FontBold());
    EXPECT_EQ(second->FillColorIndex(), 10);

    row->SetFontItalic(true);
    TCell* after = Cell(1, 6);
    EXPECT_TRUE(after->FontItalic());
    EXPECT_TRUE(after->FontBold());
    EXPECT_EQ(after->FillColorIndex(), 10);

    // A cleared XF table (a file's first XF record) drops what was worked out.
    const int rowXF = row->XFIndex(), colXF = sheet.Columns().FindColumn(6)->XFIndex();
    TVirtualXFTable& xfs = wb.XFTable();
    std::vector<TXFRecord> records;
    for (int i = 0; i < xfs.Count(); ++i)
        records.push_back(xfs.Get(i));
    xfs.Clear();
    for (size_t i = 0; i < records.size(); ++i) {
        xfs.Buffer() = records[i];
        if (static_cast<int>(i) == rowXF)
            xfs.Buffer().HAlign = 1; // same index, another record
        xfs.Append();
    }
    xfs.EnsureDefault();
    TCell* reread = Cell(1, 6);
    EXPECT_EQ(reread->HorizontalAlignment(), 1);
    EXPECT_EQ(row->XFIndex(), rowXF);
    EXPECT_EQ(sheet.Columns().FindColumn(6)->XFIndex(), colXF);
}
