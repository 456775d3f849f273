// Classes of number formats, the cleaning of a format, column names and the
// display text of a cell.
#include "styles/XLSFormat.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/CodePage.h"
#include "styles/BracketCodes.h"
#include "styles/FormatCache.h"
#include "styles/FormatParts.h"
#include "styles/XLSFormatStr.h"

namespace {

std::string Lowered(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// Removes every occurrence of `word`, ignoring letter case.
void RemoveAllNoCase(std::string& s, const std::string& word)
{
    std::string lower = Lowered(s);
    std::string out;
    size_t from = 0;
    for (size_t at; (at = lower.find(word, from)) != std::string::npos; from = at + word.size())
        out.append(s, from, at - from);
    out.append(s, from, std::string::npos);
    s = out;
}

// A number kind of the display text with the value it carries.
struct TNumber {
    bool Integer = false;
    int64_t IntValue = 0;
    double Value = 0;
};

TNumber NumberOf(const TVariant& v)
{
    TNumber n;
    if (v.IsInteger()) {
        n.Integer = true;
        n.IntValue = v.AsInt64();
        n.Value = static_cast<double>(n.IntValue);
    } else if (v.Type() == varSingle) {
        // the float's own shortest digits, not those of its widening to double
        const float f = static_cast<float>(v.AsDouble());
        n.Value = f;
        char buf[32];
        for (int digits = 6; digits <= 9; ++digits) {
            std::snprintf(buf, sizeof buf, "%.*g", digits, static_cast<double>(f));
            if (std::strtof(buf, nullptr) == f) { n.Value = std::strtod(buf, nullptr); break; }
        }
    } else {
        n.Value = v.AsDouble();
    }
    return n;
}

// The format text of a cell as the formatters receive it: cleaned, without a
// "%" at its end, which shows a hundred times the value.
struct TDisplayFormat {
    std::string Format;
    bool Percent = false;
    bool HasPoint = false;
};

// "@" (the cell's text) without a digit placeholder: a number under it shows
// in the general form.
bool IsTextFormat(const std::string& f)
{
    const std::string unquoted = OutsideQuotes(f);
    return unquoted.find('@') != std::string::npos && unquoted.find_first_of("0#?") == std::string::npos;
}

void MakeDisplayFormat(const std::string& formatText, TDisplayFormat& display)
{
    display.Format = CleanFormat(formatText);
    if (IsTextFormat(display.Format)) display.Format.clear();
    display.Percent = !display.Format.empty() && display.Format.back() == '%';
    if (display.Percent) display.Format.pop_back();
    display.HasPoint = display.Format.find('.') != std::string::npos;
}

void ApplyPercent(TNumber& n)
{
    int64_t product;
    if (n.Integer && !__builtin_mul_overflow(n.IntValue, int64_t{100}, &product)) {
        n.IntValue = product;
        n.Value = static_cast<double>(product);
    } else {
        n.Integer = false;
        n.Value *= 100;
    }
}

std::string FormattedNumberText(const std::string& formatText, const TVariant& value, const TLocale& locale,
                                bool date1904)
{
    TDisplayFormat scratch;
    const TDisplayFormat& f = TFormatCache<TDisplayFormat>::Get(formatText, scratch, MakeDisplayFormat);
    TNumber n = NumberOf(value);
    if (f.Percent) ApplyPercent(n);
    std::string text;
    if (n.Integer) text = f.HasPoint ? FormatNumberText(f.Format, n.Value, locale) : std::to_string(n.IntValue);
    else if (value.IsDate() && !f.Percent) return FormatDateText(f.Format, n.Value, locale, date1904);
    else text = FormatNumberText(f.Format, n.Value, locale);
    if (f.Percent) text += '%';
    return text;
}

} // namespace

// A format the formatter refuses costs its cells their look, not the page:
// they show the value in the general form.
std::string NumberText(const std::string& formatText, const TVariant& value, const TLocale& locale, bool date1904)
{
    try {
        return FormattedNumberText(formatText, value, locale, date1904);
    } catch (const EConvertError&) {
        return FormatNumberText(std::string(), NumberOf(value).Value, locale);
    }
}

std::string ClassifyCode(int code)
{
    if (code == 0) return "general";
    if ((code >= 1 && code <= 13) || (code >= 37 && code <= 44) || code == 48) return "double";
    if ((code >= 14 && code <= 22) || (code >= 45 && code <= 47)) return "date";
    return "";
}

namespace {

struct TFormatClass {
    std::string Class;
};

void MakeFormatClass(const std::string& text, TFormatClass& entry)
{
    const std::string format = ResolveBracketCodes(text);
    const std::string lower = Lowered(format);
    if (lower == "general") entry.Class = "general";
    else if (format == "@") entry.Class = "text";
    else if (lower == "mm:ss.0") entry.Class = "date";
    else if (format.find_first_of("#0") == std::string::npos) entry.Class = "date";
    else if (format.find_first_of(",.") != std::string::npos) entry.Class = "double";
    else entry.Class = "integer";
}

} // namespace

std::string ClassifyText(const std::string& format)
{
    // The reader asks this for every cell it reads.
    TFormatClass scratch;
    return TFormatCache<TFormatClass>::Get(format, scratch, MakeFormatClass).Class;
}

std::string FormatClassOf(int code, const std::string& format)
{
    std::string cls = ClassifyCode(code);
    if (cls.empty() && !format.empty()) cls = ClassifyText(format);
    return cls;
}

std::string FormatClassOf(const TNumberFormat& format) { return FormatClassOf(format.Code, format.Format); }

std::string CleanFormat(const std::string& format)
{
    std::string f = ResolveBracketCodes(format.substr(0, format.find(';')));
    for (const char* word : {"general", "_-", "_", "(", ")", "\\", "-*", "*"}) RemoveAllNoCase(f, word);
    return f;
}

std::string ColumnLetters(int column)
{
    // Bijective base 26: A..Z, AA..IV for the 256 columns, and on beyond them.
    std::string letters;
    for (long long n = static_cast<long long>(column < 0 ? 0 : column) + 1; n > 0; n = (n - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
    return letters;
}

namespace {

struct TErrorValue {
    int Code;
    const char* Text;
};

constexpr TErrorValue kErrorValues[] = {
    {0x00, "#NULL!"}, {0x07, "#DIV/0!"}, {0x0F, "#VALUE!"}, {0x17, "#REF!"},
    {0x1D, "#NAME?"}, {0x24, "#NUM!"}, {0x2A, "#N/A"},
};

} // namespace

bool IsErrorCode(int code) { return !ErrorValueText(code).empty(); }

std::string ErrorValueText(int code)
{
    for (const TErrorValue& error : kErrorValues)
        if (error.Code == code) return error.Text;
    return "";
}

std::u16string DisplayTextOf(const TVariant& value, const std::string& formatText, const TLocale& locale, bool date1904)
{
    if (value.IsNumeric()) return AnsiToWide(NumberText(formatText, value, locale, date1904));
    if (value.IsBoolean()) return value.AsBoolean() ? u"TRUE" : u"FALSE";
    if (value.IsWide()) return value.AsWide();
    if (value.IsString()) return AnsiToWide(value.AsString());
    if (value.IsError()) return AnsiToWide(ErrorValueText(static_cast<int>(value.AsInt64())));
    return u"";
}
