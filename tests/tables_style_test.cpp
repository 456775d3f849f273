#include <gtest/gtest.h>

#include <vector>

#include "styles/XLSError.h"
#include "styles/XLSFont.h"
#include "styles/XLSFormatStr.h"
#include "styles/XLSFormatXF.h"

TEST(Palette, FileIndexes)
{
    const std::pair<uint16_t, uint8_t> cases[] = {
        {0x7FFF, 1}, {0, 1}, {7, 1}, {8, 1}, {10, 3}, {63, 56}, {64, 57}, {65, 58}, {66, 1},
    };
    for (auto [icv, index] : cases)
        EXPECT_EQ(ColorIndexFromFile(icv), index) << icv;
}

TEST(Palette, Entries)
{
    EXPECT_EQ(PaletteColor(1), RGBColor(0, 0, 0));
    EXPECT_EQ(PaletteColor(2), RGBColor(255, 255, 255));
    EXPECT_EQ(PaletteColor(3), RGBColor(255, 0, 0));
    EXPECT_EQ(PaletteColor(5), RGBColor(0, 0, 255));
    EXPECT_EQ(PaletteColor(32), RGBColor(0, 0, 255));
    EXPECT_EQ(PaletteColor(56), RGBColor(51, 51, 51));
    EXPECT_EQ(PaletteColor(57), RGBColor(0, 0, 0));
    EXPECT_EQ(PaletteColor(58), RGBColor(0, 0, 0));
    EXPECT_EQ(PaletteColor(0x80 | 3), RGBColor(255, 0, 0)); // index and 0x7F
}

// A file may replace entries 1..56; the automatic colours and the default
// palette stay as they are.
TEST(Palette, FileColoursReplaceEntriesOfOnePalette)
{
    TPalette palette;
    EXPECT_EQ(palette, TPalette::Default());
    for (uint8_t index : {0, 1, 56, 57, 58, 59}) palette.SetColor(index, RGBColor(1, 2, 3));
    EXPECT_EQ(palette.Color(1), RGBColor(1, 2, 3));
    EXPECT_EQ(palette.Color(56), RGBColor(1, 2, 3));
    EXPECT_EQ(palette.Color(57), RGBColor(0, 0, 0));
    EXPECT_EQ(palette.Color(58), RGBColor(0, 0, 0));
    EXPECT_EQ(PaletteColor(1), RGBColor(0, 0, 0));
    EXPECT_EQ(NearestColorIndex(RGBColor(1, 2, 3), palette), 1);
    palette.SetColor(1, RGBColor(9, 9, 9));
    EXPECT_EQ(NearestColorIndex(RGBColor(0, 0, 0), palette), 57); // black now only in the automatic entries
    palette.Reset();
    EXPECT_EQ(palette, TPalette::Default());
}

TEST(Palette, NearestColorKeepsTheLowerIndexOnTies)
{
    EXPECT_EQ(NearestColorIndex(RGBColor(0, 0, 255)), 5);   // not 32
    EXPECT_EQ(NearestColorIndex(RGBColor(0, 0, 0)), 1);     // not 57 or 58
    EXPECT_EQ(NearestColorIndex(RGBColor(250, 250, 250)), 2);
    EXPECT_EQ(NearestColorIndex(RGBColor(0x33, 0x33, 0x33)), 56);
    EXPECT_EQ(NearestColorIndex(RGBColor(254, 1, 0)), 3);
    // System colours are resolved first: COLOR_WINDOW (5) is white.
    EXPECT_EQ(NearestColorIndex(SystemColor(5)), 2);
    for (TColor c : {RGBColor(1, 2, 3), RGBColor(200, 100, 50), RGBColor(255, 255, 255)}) {
        const uint8_t i = NearestColorIndex(c);
        EXPECT_GE(i, 1);
        EXPECT_LE(i, 56);
    }
}

TEST(FontRecord, NameFieldAndDefault)
{
    TFontRecord f = TFontRecord::Default();
    EXPECT_EQ(f.Name(), u"Arial");
    EXPECT_EQ(f.Size, 10);
    EXPECT_EQ(f.ColorIndex, 57);
    const std::string bytes = f.Bytes();
    ASSERT_EQ(bytes.size(), 209u);
    EXPECT_EQ(bytes.substr(6, 5), std::string("\x39\x0A\x00\x41\x00", 5)); // colour 57, size 10, "A"
    EXPECT_EQ(TFontRecord::FromBytes(bytes).Bytes(), bytes);

    const std::u16string longName(120, u'x');
    f.SetName(longName);
    EXPECT_EQ(f.Name(), std::u16string(100, u'x')); // 100 units, no terminator
    f.SetName(u"Ab");
    EXPECT_EQ(f.Name(), u"Ab");
    EXPECT_EQ(f.Bytes(), [] {
        TFontRecord g = TFontRecord::Default();
        g.SetName(u"Ab");
        return g.Bytes();
    }()); // the old tail is zero-filled
}

TEST(FontTable, CreateCommitAndLoad)
{
    TVirtualFontTable fonts;
    EXPECT_EQ(fonts.Count(), 1);
    EXPECT_EQ(fonts.Table().UseCount(0), 1);
    EXPECT_EQ(fonts.Get(0).Name(), u"Arial");

    // Committing an unchanged loaded record returns its index and moves no use.
    fonts.Load(0);
    EXPECT_EQ(fonts.Commit(), 0);
    EXPECT_EQ(fonts.Table().UseCount(0), 1);

    fonts.Load(0).Bold = 1;
    EXPECT_EQ(fonts.Commit(), 1);
    EXPECT_EQ(fonts.Table().UseCount(0), 0);
    EXPECT_EQ(fonts.Table().UseCount(1), 1);

    // A reset buffer with the same content commits to the existing record.
    fonts.ResetBuffer().Bold = 1;
    EXPECT_TRUE(fonts.LoadedRecord().empty());
    EXPECT_EQ(fonts.Commit(), 1);
    EXPECT_EQ(fonts.Table().UseCount(1), 2);

    EXPECT_EQ(fonts.Append(), 2);
    EXPECT_THROW(fonts.Load(3), ERangeError);

    fonts.Clear();
    EXPECT_EQ(fonts.Count(), 0);
    EXPECT_TRUE(fonts.LoadedRecord().empty());
    EXPECT_EQ(fonts.Buffer().Bytes(), TFontRecord::Default().Bytes());
}

namespace {

std::vector<uint8_t> FontBody(uint16_t twips, uint16_t options, uint16_t color, uint16_t weight, uint16_t script,
                              uint8_t underline, const std::string& name, bool wide)
{
    std::vector<uint8_t> b = {uint8_t(twips), uint8_t(twips >> 8), uint8_t(options), uint8_t(options >> 8),
                              uint8_t(color), uint8_t(color >> 8), uint8_t(weight), uint8_t(weight >> 8),
                              uint8_t(script), uint8_t(script >> 8), underline, 0, 0, 0,
                              uint8_t(name.size()), uint8_t(wide ? 1 : 0)};
    for (char c : name) {
        b.push_back(uint8_t(c));
        if (wide)
            b.push_back(0);
    }
    return b;
}

} // namespace

TEST(FontTable, ReadsFontRecords)
{
    TVirtualFontTable fonts;
    auto body = FontBody(230, 0x000A, 0x7FFF, 700, 1, 0x21, "Arial", false);
    const TFontRecord& f = fonts.ReadFontRecord(body.data(), body.size());
    EXPECT_EQ(f.Size, 11);
    EXPECT_EQ(f.Bold, 1);
    EXPECT_EQ(f.Italic, 1);
    EXPECT_EQ(f.StrikeOut, 1);
    EXPECT_EQ(f.ColorIndex, 1);
    EXPECT_EQ(f.Script, 1);
    EXPECT_EQ(f.UnderlineKind, 0x21);
    EXPECT_EQ(f.Underline, 1);
    EXPECT_EQ(f.Name(), u"Arial");

    body = FontBody(200, 0, 10, 800, 0, 0, "Tahoma", true);
    const TFontRecord& g = fonts.ReadFontRecord(body.data(), body.size());
    EXPECT_EQ(g.Bold, 0); // only exactly 700 is bold
    EXPECT_EQ(g.ColorIndex, 3);
    EXPECT_EQ(g.Underline, 0);
    EXPECT_EQ(g.Name(), u"Tahoma");

    // A name count beyond the body is cut at the body's end.
    body = FontBody(200, 0, 8, 400, 0, 0, "Verdana", false);
    body[14] = 200;
    EXPECT_EQ(fonts.ReadFontRecord(body.data(), body.size()).Name(), u"Verdana");
    EXPECT_EQ(fonts.ReadFontRecord(body.data(), 5).Name(), u"");
}

TEST(XFTable, DefaultRecordAndEnsureDefault)
{
    TVirtualXFTable xfs;
    EXPECT_EQ(xfs.Count(), 1);
    EXPECT_EQ(xfs.DefaultIndex(), 0);
    EXPECT_EQ(xfs.DefaultRecord(), TXFRecord::Default().Bytes());
    const TXFRecord d = xfs.Get(0);
    EXPECT_EQ(d.VAlign, 2);
    EXPECT_EQ(d.PatternColor, 57);
    EXPECT_EQ(d.FillColor, 58);
    EXPECT_EQ(d.BorderColor[3], 58);
    EXPECT_EQ(d.Locked, 1);
    TXFRecord layout = d;
    layout.FontIndex = 0x0102;
    layout.Indent = 7;
    layout.BorderStyle[BorderBottom] = 9;
    const std::string bytes = layout.Bytes();
    ASSERT_EQ(bytes.size(), 23u);
    EXPECT_EQ(bytes.substr(0, 2), "\x02\x01");
    EXPECT_EQ(bytes[12], 7);
    EXPECT_EQ(bytes[13], 58);
    EXPECT_EQ(bytes[20], 9);
    EXPECT_EQ(bytes[22], 1);
    EXPECT_EQ(TXFRecord::FromBytes(bytes).Bytes(), bytes);

    // Reading a file: cleared, then records appended even when equal.
    xfs.Clear();
    xfs.ResetBuffer().HAlign = 1;
    EXPECT_EQ(xfs.Append(), 0);
    EXPECT_EQ(xfs.Append(), 1);
    EXPECT_EQ(xfs.DefaultIndex(), 0); // stays until EnsureDefault
    xfs.EnsureDefault();
    EXPECT_EQ(xfs.DefaultIndex(), 2);
    EXPECT_EQ(xfs.Get(2).Bytes(), xfs.DefaultRecord());

    xfs.ResetBuffer();
    xfs.Append();
    xfs.EnsureDefault();
    EXPECT_EQ(xfs.DefaultIndex(), 2); // the earliest equal record
    EXPECT_EQ(xfs.GetOrDefault(99).Bytes(), xfs.DefaultRecord());
}

TEST(XFTable, ReadsXFRecords)
{
    // options 0x0001, alignment 0x0823, pattern 1, fore colour 10, back colour 64.
    auto body = [](uint32_t pattern) {
        std::vector<uint8_t> b(20, 0);
        b[4] = 0x01;
        b[6] = 0x23;
        b[7] = 0x08;
        const uint32_t edge = pattern << 26;
        for (int i = 0; i < 4; ++i)
            b[14 + i] = uint8_t(edge >> (8 * i));
        const uint16_t fill = 10 | (64 << 7);
        b[18] = uint8_t(fill);
        b[19] = uint8_t(fill >> 8);
        return b;
    };
    TVirtualXFTable xfs;
    auto solid = body(1);
    const TXFRecord& r = xfs.ReadXFRecord(solid.data(), solid.size());
    EXPECT_EQ(r.Locked, 1);
    EXPECT_EQ(r.HAlign, 3);
    EXPECT_EQ(r.WrapText, 0);
    EXPECT_EQ(r.VAlign, 2);
    EXPECT_EQ(r.Rotation, 8);
    EXPECT_EQ(r.FillPattern, 1);
    EXPECT_EQ(r.FillColor, 3);
    EXPECT_EQ(r.PatternColor, 57);

    auto hatched = body(2);
    const TXFRecord& h = xfs.ReadXFRecord(hatched.data(), hatched.size());
    EXPECT_EQ(h.PatternColor, 3);
    EXPECT_EQ(h.FillColor, 57);

    // Borders: styles per nibble, colours in 7-bit fields.
    std::vector<uint8_t> b(20, 0);
    b[10] = 0x21; // left 1, right 2
    b[11] = 0x53; // top 3, bottom 5
    const uint16_t sides = 8 | (12 << 7);
    b[12] = uint8_t(sides);
    b[13] = uint8_t(sides >> 8);
    const uint32_t edges = 10 | (64 << 7);
    b[14] = uint8_t(edges);
    b[15] = uint8_t(edges >> 8);
    const TXFRecord& x = xfs.ReadXFRecord(b.data(), b.size());
    EXPECT_EQ(x.BorderStyle[BorderLeft], 1);
    EXPECT_EQ(x.BorderStyle[BorderRight], 2);
    EXPECT_EQ(x.BorderStyle[BorderTop], 3);
    EXPECT_EQ(x.BorderStyle[BorderBottom], 5);
    EXPECT_EQ(x.BorderColor[BorderLeft], 1);
    EXPECT_EQ(x.BorderColor[BorderRight], 5);
    EXPECT_EQ(x.BorderColor[BorderTop], 3);
    EXPECT_EQ(x.BorderColor[BorderBottom], 57);
    EXPECT_EQ(x.Locked, 0);

    // A short body reads as far as it goes.
    EXPECT_EQ(xfs.ReadXFRecord(b.data(), 3).FontIndex, 0);
}

TEST(XFTable, IsPlainIgnoresFontAlignmentAndColours)
{
    TXFRecord r = TXFRecord::Default();
    r.FontIndex = 3;
    r.HAlign = 2;
    r.FillColor = 10;
    r.Rotation = 45;
    EXPECT_TRUE(TVirtualXFTable::IsPlain(r));
    for (int field = 0; field < 7; ++field) {
        TXFRecord s = TXFRecord::Default();
        switch (field) {
        case 0: s.FormatIndex = 1; break;
        case 1: s.WrapText = 1; break;
        case 2: s.FillPattern = 1; break;
        case 3: s.Merged = 1; break;
        case 4: s.Indent = 1; break;
        case 5: s.Locked = 0; break;
        case 6: s.BorderStyle[3] = 1; break;
        }
        EXPECT_FALSE(TVirtualXFTable::IsPlain(s)) << field;
    }
}

TEST(FormatStrings, BuiltInsInTheirOrder)
{
    TFormatStrings f;
    ASSERT_EQ(f.Count(), 36);
    EXPECT_EQ(f.Get(0).Format, "General");
    EXPECT_EQ(f.Get(12).Format, "# ?\?/?\?");
    EXPECT_EQ(f.Get(13).Code, 14);
    EXPECT_EQ(f.Get(13).Format, "mm/dd/yy");
    EXPECT_EQ(f.Get(22).Code, 42);
    EXPECT_EQ(f.Get(24).Format, "_($* #,##0.00_);_($* (#,##0.00);_($* \"-\"??_);_(@_)");
    EXPECT_EQ(f.Get(26).Code, 4);
    EXPECT_EQ(f.Get(35).Format, "@");
    const uint16_t codes[36] = {0,  1,  2,  3,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18,
                                19, 20, 21, 22, 42, 41, 44, 43, 4,  37, 38, 39, 40, 45, 46, 47, 48, 49};
    for (int i = 0; i < 36; ++i)
        EXPECT_EQ(f.PositionOf(codes[i]), i) << codes[i];
    EXPECT_EQ(f.PositionOf(164), -1);
    EXPECT_THROW(f.Get(36), ERangeError);
}

TEST(FormatStrings, SetFormatReplacesListedCodesAndAppendsOthers)
{
    TFormatStrings f;
    EXPECT_EQ(f.SetFormat("dd.mm.yyyy", 14), 13);
    EXPECT_EQ(f.Get(13).Format, "dd.mm.yyyy");
    EXPECT_EQ(f.Count(), 36);
    EXPECT_EQ(f.SetFormat("0.000", 164), 36);
    EXPECT_EQ(f.SetFormat("0.0000", 164), 36);
    EXPECT_EQ(f.Get(36).Format, "0.0000");
    EXPECT_EQ(f.Count(), 37);
}
