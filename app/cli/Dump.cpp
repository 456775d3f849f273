#include "app/cli/Dump.h"

#include <algorithm>
#include <charconv>
#include <ostream>
#include <vector>

#include "model/DisplayText.h"
#include "model/Workbook.h"
#include "platform/CodePage.h"
#include "reading/XLSFile.h"
#include "styles/XLSFormat.h"

namespace {

std::u16string WideOf(const TVariant& value)
{
    return value.IsWide() ? value.AsWide() : AnsiToWide(value.AsString());
}

std::string ShortestNumber(double x)
{
    char digits[32];
    const auto result = std::to_chars(digits, digits + sizeof digits, x);
    return std::string(digits, result.ptr);
}

// A serial date (days since 1899-12-30, time as fraction), to the second,
// through the program's own date formatter so that both agree on the calendar.
std::string DateText(double serial)
{
    return FormatDateText("yyyy-mm-dd\"T\"hh:nn:ss", serial, LocaleEnUS());
}

// A merged area stores every cell it covers; the listing shows only those
// that hold something, so that its length follows the file's content.
bool HoldsNothingButTheMergedFlag(const TStoredCell& cell)
{
    return cell.XFRecord().Merged && cell.Value().IsEmpty() && cell.Formula().empty() && cell.Hyperlink().empty();
}

} // namespace

std::string DumpEscape(const std::u16string& text)
{
    const std::string utf8 = WideToUtf8(text);
    std::string escaped;
    escaped.reserve(utf8.size());
    for (const char c : utf8) {
        switch (c) {
        case '\t': escaped += "\\t"; break;
        case '\r': escaped += "\\r"; break;
        case '\n': escaped += "\\n"; break;
        case '\\': escaped += "\\\\"; break;
        default: escaped += c;
        }
    }
    return escaped;
}

std::string DumpValueKind(const TVariant& value)
{
    if (value.IsDate())
        return "date";
    if (value.IsNumeric())
        return "number";
    if (value.IsWide() || value.IsString())
        return "string";
    if (value.IsBoolean())
        return "boolean";
    if (value.IsError())
        return "error";
    return "empty";
}

std::string DumpValueText(const TVariant& value)
{
    if (value.IsDate())
        return DateText(value.AsDouble());
    if (value.IsInteger())
        return std::to_string(value.AsInt64());
    if (value.IsFloat())
        return ShortestNumber(value.AsDouble());
    if (value.IsWide() || value.IsString())
        return DumpEscape(WideOf(value));
    if (value.IsBoolean())
        return value.AsBoolean() ? "TRUE" : "FALSE";
    if (value.IsError())
        return ErrorValueText(static_cast<int>(value.AsInt64()));
    return "";
}

void DumpWorkbook(TWorkbook& workbook, std::ostream& out)
{
    TSheets& sheets = workbook.Sheets();
    for (int s = 0; s < sheets.Count(); ++s) {
        TSheet& sheet = *sheets.Items(s);
        out << "# sheet " << s + 1 << ": " << WideToUtf8(sheet.Name()) << "\n";
        const TCells& store = sheet.Cells();
        std::vector<uint32_t> row;
        for (int r = store.NextRow(0); r >= 0; r = store.NextRow(r + 1)) {
            row.clear();
            store.RowIndexes(r, row);
            for (const uint32_t index : row) {
                const TStoredCell cell = store.Stored(int(index));
                if (HoldsNothingButTheMergedFlag(cell))
                    continue;
                out << ColumnLetters(cell.Col) << cell.Row + 1 << '\t' << DumpValueKind(cell.Value()) << '\t'
                    << DumpValueText(cell.Value()) << '\t' << DumpEscape(DisplayText(cell)) << '\t'
                    << DumpEscape(AnsiToWide(cell.Formula())) << "\n";
            }
        }
    }
}

int DumpWorkbookFile(const std::string& source, const std::u16string& password, std::ostream& out)
{
    TXLSFile file;
    file.OpenFile(Utf8ToWide(source), password);
    DumpWorkbook(file.Workbook(), out);
    out.flush();
    return 0;
}
