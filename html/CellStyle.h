// The style text of a cell: the CSS declarations that render its font,
// colour, alignment, fill and borders, one per line, each ended by "\r\n".
// It depends only on the cell's XF record, the font that record names and
// the workbook's palette.
#pragma once

#include <cstdint>
#include <string>

#include "styles/XLSFont.h"
#include "styles/XLSFormatXF.h"

class TSheet;

// The style text of the cell GetCell gives at (row, col); an empty position
// yields the pending cell with its row's and column's formatting. The font
// name is put into the text as Windows-1252, or as UTF-8 when `utf8` is set.
std::string CellStyleText(TSheet& sheet, int row, int col, bool utf8 = false);
// The same text for an XF record and its font record, colours from `palette`.
std::string StyleText(const TXFRecord& xf, const TFontRecord& font, bool utf8 = false,
                      const TPalette& palette = TPalette::Default());

// "text-align: ...;" for left, centre, right and justify; empty otherwise.
std::string CSSTextAlign(uint8_t horizontalAlignment);
// "vertical-align:...;" for top, centre, bottom and justify; empty otherwise.
std::string CSSVerticalAlign(uint8_t verticalAlignment);
// The CSS keyword of a BIFF8 line style (0..15).
std::string CSSBorderStyle(uint8_t lineStyle);
// 2 for thick, double and the medium dashed kinds, 1 otherwise.
int CSSBorderWidth(uint8_t lineStyle);
// "#RRGGBB" with upper-case hex digits; the highest byte is ignored.
std::string CSSColor(TColor color);
