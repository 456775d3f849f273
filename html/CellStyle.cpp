#include "html/CellStyle.h"

#include "html/PageText.h"

#include "model/Sheet.h"

namespace {

struct TLineStyle {
    const char* Keyword;
    int Width;
};

// By BIFF8 line style: none, thin, medium, dashed, dotted, thick, double,
// hair, medium dashed, dash-dot, medium dash-dot, dash-dot-dot, medium
// dash-dot-dot, slanted dash-dot, and the two unused codes.
constexpr TLineStyle kLineStyles[16] = {
    {"none", 1},   {"solid", 1},  {"solid", 1},  {"dashed", 1}, {"dotted", 1}, {"solid", 2},
    {"double", 2}, {"solid", 1},  {"dashed", 2}, {"dashed", 1}, {"dashed", 2}, {"dotted", 1},
    {"dotted", 2}, {"dashed", 1}, {"none", 1},   {"none", 1},
};

const TLineStyle& LineStyleOf(uint8_t lineStyle) { return kLineStyles[lineStyle & 0x0F]; }

bool IsAutomaticColor(uint8_t index) { return index == AutoForegroundColor || index == AutoBackgroundColor; }

// The palette colour as CSS; the automatic colours are black.
std::string PaletteCSS(const TPalette& palette, uint8_t index)
{
    return CSSColor(IsAutomaticColor(index) ? RGBColor(0, 0, 0) : palette.Color(index));
}

void AddLine(std::string& text, const std::string& declaration)
{
    text += declaration;
    text += "\r\n";
}

} // namespace

std::string CSSTextAlign(uint8_t horizontalAlignment)
{
    switch (horizontalAlignment) {
    case 1: return "text-align: left;";
    case 2: return "text-align: center;";
    case 3: return "text-align: right;";
    case 5: return "text-align: justify;";
    default: return "";
    }
}

std::string CSSVerticalAlign(uint8_t verticalAlignment)
{
    switch (verticalAlignment) {
    case 0: return "vertical-align:top;";
    case 1: return "vertical-align:center;";
    case 2: return "vertical-align:bottom;";
    case 3: return "vertical-align:justify;";
    default: return "";
    }
}

std::string CSSBorderStyle(uint8_t lineStyle) { return LineStyleOf(lineStyle).Keyword; }

int CSSBorderWidth(uint8_t lineStyle) { return LineStyleOf(lineStyle).Width; }

std::string CSSColor(TColor color)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string text = "#";
    for (uint8_t byte : {RedOf(color), GreenOf(color), BlueOf(color)}) {
        text += kHex[byte >> 4];
        text += kHex[byte & 0x0F];
    }
    return text;
}

std::string StyleText(const TXFRecord& xf, const TFontRecord& font, bool utf8, const TPalette& palette)
{
    const std::u16string name = font.Name();
    std::string text;
    AddLine(text, "font-family: " + StyleSheetText(name, utf8) + ";");
    AddLine(text, "font-size: " + std::to_string(font.Size) + "pt;");
    AddLine(text, "color: " + PaletteCSS(palette, font.ColorIndex) + ";");
    if (font.Bold)
        AddLine(text, "font-weight: bold;");
    if (font.Italic)
        AddLine(text, "font-style: italic;");
    if (font.Underline)
        AddLine(text, "text-decoration: underline;");
    if (font.StrikeOut)
        AddLine(text, "text-decoration: line-through;");
    AddLine(text, CSSTextAlign(xf.HAlign));
    AddLine(text, CSSVerticalAlign(xf.VAlign));
    if (!IsAutomaticColor(xf.FillColor))
        AddLine(text, "background-color: " + PaletteCSS(palette, xf.FillColor) + ";");

    static const struct {
        int Side;
        const char* Word;
    } kSides[] = {{BorderTop, "top"}, {BorderLeft, "left"}, {BorderBottom, "bottom"}, {BorderRight, "right"}};
    for (const auto& side : kSides) {
        const uint8_t style = xf.BorderStyle[side.Side];
        if (style == 0)
            continue;
        const std::string prefix = std::string("border-") + side.Word;
        AddLine(text, prefix + "-style: " + CSSBorderStyle(style) + ";");
        AddLine(text, prefix + "-color: " + PaletteCSS(palette, xf.BorderColor[side.Side]) + ";");
        AddLine(text, prefix + "-width: " + std::to_string(CSSBorderWidth(style)) + ";");
    }
    return text;
}

std::string CellStyleText(TSheet& sheet, int row, int col, bool utf8)
{
    const TCell* cell = sheet.Cells().GetCell(row, col);
    return StyleText(cell->XFRecord(), cell->FontRecord(), utf8, cell->Palette());
}
