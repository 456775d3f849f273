#include "styles/XLSFormatStr.h"

#include "styles/XLSError.h"

namespace {

const TNumberFormat kBuiltIns[36] = {
    {0, "General"},
    {1, "0"},
    {2, "0.00"},
    {3, "#,##0"},
    {5, "($#,##0_);($#,##0)"},
    {6, "($#,##0_);[Red]($#,##0)"},
    {7, "($#,##0.00_);($#,##0.00)"},
    {8, "($#,##0.00_);[Red]($#,##0.00)"},
    {9, "0%"},
    {10, "0.00%"},
    {11, "0.00E+00"},
    {12, "# ?/?"},
    {13, "# ?\?/?\?"},
    {14, "mm/dd/yy"},
    {15, "dd-mmm-yy"},
    {16, "dd-mmm"},
    {17, "mmm-yy"},
    {18, "h:mm AM/PM"},
    {19, "h:mm:ss AM/PM"},
    {20, "h:mm"},
    {21, "h:mm:ss"},
    {22, "mm/dd/yy h:mm"},
    {42, "_($* #,##0_);_($* (#,##0);_($* \"-\"_);_(@_)"},
    {41, "_(* #,##0_);_(* (#,##0);_(* \"-\"_);_(@_)"},
    {44, "_($* #,##0.00_);_($* (#,##0.00);_($* \"-\"?\?_);_(@_)"},
    {43, "_(* #,##0.00_);_(* (#,##0.00);_(* \"-\"?\?_);_(@_)"},
    {4, "#,##0.00"},
    {37, "(#,##0_);(#,##0)"},
    {38, "(#,##0_);[Red](#,##0)"},
    {39, "(#,##0.00_);(#,##0.00)"},
    {40, "(#,##0.00_);[Red](#,##0.00)"},
    {45, "mm:ss"},
    {46, "[h]:mm:ss"},
    {47, "mm:ss.0"},
    {48, "##0.0E+0"},
    {49, "@"},
};

} // namespace

TFormatStrings::TFormatStrings() : FFormats(std::begin(kBuiltIns), std::end(kBuiltIns)) {}

TNumberFormat TFormatStrings::Get(int pos) const
{
    return At(pos);
}

const TNumberFormat& TFormatStrings::At(int pos) const
{
    if (pos < 0 || pos >= Count())
        RaiseListIndexError(pos);
    return FFormats[static_cast<size_t>(pos)];
}

int TFormatStrings::PositionOf(uint16_t code) const
{
    for (size_t i = 0; i < FFormats.size(); ++i)
        if (FFormats[i].Code == code)
            return static_cast<int>(i);
    return -1;
}

int TFormatStrings::SetFormat(const std::string& text, uint16_t code)
{
    const int pos = PositionOf(code);
    if (pos >= 0) {
        FFormats[static_cast<size_t>(pos)].Format = text;
        ++FReplacements;
        return pos;
    }
    FFormats.push_back({code, text});
    return Count() - 1;
}
