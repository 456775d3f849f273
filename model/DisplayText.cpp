#include "model/DisplayText.h"

#include "model/Sheet.h"
#include "model/Workbook.h"
#include "platform/CodePage.h"
#include "styles/XLSFormat.h"
#include "styles/XLSFormatStr.h"

bool NumberDisplayText(const TStoredCell& cell, std::string& text)
{
    const TVariant& value = cell.Value();
    if (!value.IsNumeric())
        return false;
    const TStyleTables* tables = cell.Owner ? cell.Owner->StyleTables() : nullptr;
    static const std::string general;
    const std::string* format = &general;
    if (tables && tables->XFTable) {
        // A position outside the list shows as "General".
        const int pos = tables->XFTable->GetOrDefault(cell.XFIndex).FormatIndex;
        if (tables->FormatStrings && pos < tables->FormatStrings->Count())
            format = &tables->FormatStrings->At(pos).Format;
    }
    const TSheet* sheet = cell.Owner ? cell.Owner->Sheet() : nullptr;
    const bool date1904 = sheet && sheet->Workbook() && sheet->Workbook()->Date1904;
    text = NumberText(*format, value, UserLocale(), date1904);
    return true;
}

std::u16string DisplayText(const TStoredCell& cell)
{
    std::string text;
    if (NumberDisplayText(cell, text))
        return AnsiToWide(text);
    return DisplayTextOf(cell.Value(), std::string(), UserLocale());
}
