#include "app/cli/Dump.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <ostream>
#include <vector>

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

// Days since 1970-01-01 to year, month, day (proleptic Gregorian calendar).
void CivilFromDays(long long days, long long& year, int& month, int& day)
{
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const long long dayOfEra = days - era * 146097;
    const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long mp = (5 * dayOfYear + 2) / 153;
    day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
}

// A serial date (days since 1899-12-30, time as fraction), to the second.
std::string DateText(double serial)
{
    if (!std::isfinite(serial) || std::fabs(serial) > 1e9)
        return ShortestNumber(serial);
    const long long seconds = std::llround(serial * 86400.0);
    long long days = seconds / 86400, rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    long long year;
    int month, day;
    CivilFromDays(days - 25569, year, month, day); // 25569: 1899-12-30 to 1970-01-01
    char text[64];
    std::snprintf(text, sizeof text, "%04lld-%02d-%02dT%02lld:%02lld:%02lld", year, month, day, rest / 3600,
                  rest / 60 % 60, rest % 60);
    return text;
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
    return "";
}

void DumpWorkbook(TWorkbook& workbook, std::ostream& out)
{
    TSheets& sheets = workbook.Sheets();
    for (int s = 0; s < sheets.Count(); ++s) {
        TSheet& sheet = *sheets.Items(s);
        out << "# sheet " << s + 1 << ": " << WideToUtf8(sheet.Name()) << "\n";
        std::vector<const TCell*> cells;
        for (int i = 0; i < sheet.Cells().Count(); ++i)
            cells.push_back(sheet.Cells().Items(i));
        std::sort(cells.begin(), cells.end(), [](const TCell* a, const TCell* b) {
            return a->Row() != b->Row() ? a->Row() < b->Row() : a->Col() < b->Col();
        });
        for (const TCell* cell : cells) {
            out << ColumnLetters(cell->Col()) << cell->Row() + 1 << '\t' << DumpValueKind(cell->Value()) << '\t'
                << DumpValueText(cell->Value()) << '\t' << DumpEscape(DisplayText(*cell)) << '\t'
                << DumpEscape(AnsiToWide(cell->Formula())) << "\n";
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
