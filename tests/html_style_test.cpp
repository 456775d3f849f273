// Style texts of cell formats and their CSS mapping functions.
#include <gtest/gtest.h>

#include "html/CellStyle.h"
#include "model/Workbook.h"

namespace {

const std::string kDefaultStyle = "font-family: Arial;\r\n"
                                  "font-size: 10pt;\r\n"
                                  "color: #000000;\r\n"
                                  "\r\n"
                                  "vertical-align:bottom;\r\n";

TEST(HtmlStyleTest, DefaultFormatGivesFiveLines)
{
    EXPECT_EQ(StyleText(TXFRecord::Default(), TFontRecord::Default()), kDefaultStyle);
    TWorkbook book;
    EXPECT_EQ(CellStyleText(*book.Sheets().Items(0), 3, 4), kDefaultStyle);
}

TEST(HtmlStyleTest, EveryDeclarationInItsOrder)
{
    TFontRecord font = TFontRecord::Default();
    font.SetName(u"Times New Roman");
    font.Size = 12;
    font.ColorIndex = 3; // red
    font.Bold = font.Italic = font.Underline = font.StrikeOut = 1;
    TXFRecord xf = TXFRecord::Default();
    xf.HAlign = 2;
    xf.VAlign = 0;
    xf.FillColor = 2; // white still writes a background
    xf.BorderStyle[BorderTop] = 1;
    xf.BorderColor[BorderTop] = 3;
    xf.BorderStyle[BorderLeft] = 5;
    xf.BorderColor[BorderLeft] = 57;
    xf.BorderStyle[BorderBottom] = 14;
    xf.BorderColor[BorderBottom] = 10;
    xf.BorderStyle[BorderRight] = 0; // no lines for this side
    xf.BorderColor[BorderRight] = 3;
    EXPECT_EQ(StyleText(xf, font), "font-family: Times New Roman;\r\n"
                                   "font-size: 12pt;\r\n"
                                   "color: #FF0000;\r\n"
                                   "font-weight: bold;\r\n"
                                   "font-style: italic;\r\n"
                                   "text-decoration: underline;\r\n"
                                   "text-decoration: line-through;\r\n"
                                   "text-align: center;\r\n"
                                   "vertical-align:top;\r\n"
                                   "background-color: #FFFFFF;\r\n"
                                   "border-top-style: solid;\r\n"
                                   "border-top-color: #FF0000;\r\n"
                                   "border-top-width: 1;\r\n"
                                   "border-left-style: solid;\r\n"
                                   "border-left-color: #000000;\r\n"
                                   "border-left-width: 2;\r\n"
                                   "border-bottom-style: none;\r\n"
                                   "border-bottom-color: #008000;\r\n"
                                   "border-bottom-width: 1;\r\n");
}

TEST(HtmlStyleTest, AutomaticFillWritesNoBackground)
{
    TXFRecord xf = TXFRecord::Default();
    for (uint8_t fill : {57, 58}) {
        xf.FillColor = fill;
        EXPECT_EQ(StyleText(xf, TFontRecord::Default()).find("background"), std::string::npos);
    }
}

TEST(HtmlStyleTest, FontNameOutsideTheCodePage)
{
    TFontRecord font = TFontRecord::Default();
    font.SetName(u"\u041C\u0430\u00E9");
    // CSS escapes: the style sheet reads no character references
    EXPECT_EQ(StyleText(TXFRecord::Default(), font).substr(0, 27), "font-family: \\41C \\430 \xE9;\r\n");
    EXPECT_EQ(StyleText(TXFRecord::Default(), font, true).substr(0, 22), "font-family: \xD0\x9C\xD0\xB0\xC3\xA9;\r\n");
}

TEST(HtmlStyleTest, AlignmentTables)
{
    const char* horizontal[] = {"", "text-align: left;", "text-align: center;", "text-align: right;",
                                "", "text-align: justify;", "", ""};
    for (uint8_t a = 0; a < 8; ++a)
        EXPECT_EQ(CSSTextAlign(a), horizontal[a]) << int(a);
    const char* vertical[] = {"vertical-align:top;", "vertical-align:center;", "vertical-align:bottom;",
                              "vertical-align:justify;", "", ""};
    for (uint8_t a = 0; a < 6; ++a)
        EXPECT_EQ(CSSVerticalAlign(a), vertical[a]) << int(a);
}

TEST(HtmlStyleTest, BorderTable)
{
    const struct {
        const char* Keyword;
        int Width;
    } expected[16] = {{"none", 1},   {"solid", 1},  {"solid", 1},  {"dashed", 1}, {"dotted", 1}, {"solid", 2},
                      {"double", 2}, {"solid", 1},  {"dashed", 2}, {"dashed", 1}, {"dashed", 2}, {"dotted", 1},
                      {"dotted", 2}, {"dashed", 1}, {"none", 1},   {"none", 1}};
    for (uint8_t s = 0; s < 16; ++s) {
        EXPECT_EQ(CSSBorderStyle(s), expected[s].Keyword) << int(s);
        EXPECT_EQ(CSSBorderWidth(s), expected[s].Width) << int(s);
    }
}

TEST(HtmlStyleTest, Colors)
{
    EXPECT_EQ(CSSColor(RGBColor(255, 0, 0)), "#FF0000");
    EXPECT_EQ(CSSColor(RGBColor(153, 153, 255)), "#9999FF");
    EXPECT_EQ(CSSColor(0xFF0A0B0Cu), "#0C0B0A"); // highest byte ignored
}

} // namespace
