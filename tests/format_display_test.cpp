#include <gtest/gtest.h>

#include "model/Cell.h"
#include "model/Workbook.h"
#include "model/DisplayText.h"
#include "styles/XLSFormat.h"
#include "styles/XLSFormatStr.h"

namespace {

std::u16string Shown(const TVariant& value, const std::string& format, bool date1904 = false)
{
    return DisplayTextOf(value, format, LocaleDeDE(), date1904);
}

// The format text at a built-in position.
std::string Builtin(int pos) { return TFormatStrings().Get(pos).Format; }

} // namespace

TEST(FormatClass, Codes)
{
    struct { int Code; const char* Class; } cases[] = {
        {0, "general"}, {1, "double"}, {13, "double"}, {14, "date"}, {22, "date"}, {23, ""},
        {36, ""}, {37, "double"}, {44, "double"}, {45, "date"}, {47, "date"}, {48, "double"}, {49, ""}, {164, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(ClassifyCode(c.Code), c.Class) << c.Code;
}

TEST(FormatClass, TextsInRuleOrder)
{
    struct { const char* Format; const char* Class; } cases[] = {
        {"GENERAL", "general"}, {"@", "text"}, {"MM:SS.0", "date"}, {"dd.mm.yyyy", "date"},
        {"#,##0", "double"}, {"0", "integer"}, {"\"x\"#", "integer"},
        // bracket codes are not part of the class
        {"[$-407]dd.mm.yyyy", "date"}, {"[Blue]General", "general"}, {"[$$-409]#,##0.00", "double"},
        {"[Red][<=999]000", "integer"}, {"[h]:mm", "date"}, {"[$-F800]dddd\\, mmmm dd\\, yyyy", "date"},
    };
    for (const auto& c : cases) EXPECT_EQ(ClassifyText(c.Format), c.Class) << c.Format;
    // The code decides when it has a class; the text only for the others.
    EXPECT_EQ(FormatClassOf(TNumberFormat{14, "0.00"}), "date");
    EXPECT_EQ(FormatClassOf(TNumberFormat{164, "dd.mm.yyyy"}), "date");
    EXPECT_EQ(FormatClassOf(TNumberFormat{164, ""}), "");
}

TEST(CleanFormat, FirstSectionWithoutPaddingAndFill)
{
    EXPECT_EQ(CleanFormat("($#,##0_);($#,##0)"), "$#,##0");
    EXPECT_EQ(CleanFormat(Builtin(25)), " #,##0.00");
    EXPECT_EQ(CleanFormat("General"), "");
    EXPECT_EQ(CleanFormat("[h]:mm:ss"), "[h]:mm:ss");
    EXPECT_EQ(CleanFormat("\\-0_-*x"), "-0x");
    EXPECT_EQ(CleanFormat("gEnErAl;0"), "");
}

namespace {

struct TShownCase {
    const char* Format;
    TVariant Value;
    const char16_t* Expected;
};

void ExpectShown(const TLocale& locale, std::initializer_list<TShownCase> cases)
{
    for (const auto& c : cases)
        EXPECT_EQ(DisplayTextOf(c.Value, c.Format, locale), c.Expected) << '"' << c.Format << "\" of " << c.Value.AsDouble();
}

TVariant D(double x) { return TVariant::Double(x); }

} // namespace

TEST(DisplayText, BracketCodesAreInstructions)
{
    const double jan31 = 39478.0 + 50709.0 / 86400.0; // 2008-01-31 14:05:09
    ExpectShown(LocaleEnUS(), {
        {"[$$-409]#,##0.00", D(144.86), u"$144.86"},
        {"[$\x80-407] #,##0.00", D(1234.5), u"\u20AC 1,234.50"},
        {"[$EUR] 0", D(5), u"EUR 5"},                      // a symbol without locale
        {"[$kr.-41D] #,##0", D(1234.5), u"kr. 1,235"},    // the symbol's point is text
        {"#,##0.00 [$\x80-1];[Red]-#,##0.00 [$\x80-1]", D(-2), u"-2.00 \u20AC"},
        {"[$-407]dd.mm.yyyy", TVariant::Date(39448), u"01.01.2008"},
        {"[Red]0.00", D(1234.5), u"1234.50"},
        {"[Color10]#,##0", D(1234), u"1,234"},
        {"[Blue][<=100]0", D(5), u"5"},
        {"[<=99999999]####-####", D(23459.08), u"2-3459"},
        {"[DBNum1]0", D(7), u"7"},                         // any other code writes nothing
        {"\"[Red]\"0", D(7), u"[Red]7"},                   // quoted text stays
        {"[Red0", D(7), u"[Red7"},                          // so does an unclosed bracket
        {"[h]:mm:ss", TVariant::Date(2.5), u"36:00:00"},   // elapsed time keeps its meaning
        {"[mm]:ss", TVariant::Date(2.5), u"2160:00"},
        {"[Red][ss]", TVariant::Date(1 + 1.0 / 1440), u"60"},
        {"[$-F800]dddd\\, mmmm dd\\, yyyy", TVariant::Date(jan31), u"Thursday, January 31, 2008"},
        {"[$-x-sysdate]dddd", TVariant::Date(jan31), u"Thursday, January 31, 2008"},
        {"[$-F400]h:mm:ss\\ AM/PM", TVariant::Date(jan31), u"2:05:09 PM"},
        {"[$-1000F400]hh:mm", TVariant::Date(jan31), u"2:05:09 PM"}, // only the low 16 bits tell
    });
    ExpectShown(LocaleDeDE(), {
        {"[$-F800]dddd\\, mmmm dd\\, yyyy", TVariant::Date(jan31), u"Donnerstag, 31. Januar 2008"},
        {"[$-F400]h:mm:ss\\ AM/PM", TVariant::Date(jan31), u"14:05:09"},
    });
}

TEST(DisplayText, TextFormatShowsNumbersInTheGeneralForm)
{
    ExpectShown(LocaleEnUS(), {
        {"@", D(1234.5), u"1234.5"},
        {"@", D(0.1 + 0.2), u"0.3"},
        {"_(@_)", D(-2), u"-2"},
        {"\"Text: \"@", D(1e20), u"1E20"},
        {"@", TVariant::Integer(12), u"12"},
        {"\"@\"0", D(3), u"@3"},                          // a quoted "@" is text
        {"0 @", D(3), u"3 @"},                              // with a placeholder the format holds
    });
}

TEST(DisplayText, ScalingCommasDivideByAThousandEach)
{
    ExpectShown(LocaleEnUS(), {
        {"#,##0,", D(1234567), u"1,235"},
        {"#,##0.0,,\"M\"", D(1234567), u"1.2M"},
        {"0,", D(1234567), u"1235"},                        // scaling alone does not group
        {"0,,", D(-5e8), u"-500"},
        {"0,.00", D(1234567), u"1234.57"},                  // before the point
        {"0.0,", D(1500), u"1.5"},
        {"0,\" K\"", D(2500), u"3 K"},
        {"#,##0", D(1234567), u"1,234,567"},               // between placeholders: grouping
        {"0,0", D(1234), u"1,234"},
        {"0,", D(0.4), u"0"},
    });
    ExpectShown(LocaleDeDE(), {{"#,##0.0,,\" Mio\"", D(2345678), u"2,3 Mio"}});
}

TEST(DisplayText, RoundingOfTheFifteenDigitValueHalfAwayFromZero)
{
    ExpectShown(LocaleEnUS(), {
        {"0.0000", D(1.26805), u"1.2681"},
        {"0.00", D(2.675), u"2.68"},
        {"0.00", D(-2.675), u"-2.68"},
        {"0.00", D(1.005), u"1.01"},
        {"#,##0.00", D(1234.565), u"1,234.57"},
        {"0.0", D(0.05), u"0.1"},
        {"0", D(0.5), u"1"},
        {"0", D(-1.5), u"-2"},
        {"0.00E+00", D(2.675), u"2.68E+00"},
        {"0.00%", D(0.0012345), u"0.12%"},
        {"", D(1234567890123465.0), u"1.23456789012347E15"}, // the general form too
        {"", D(0.1 + 0.2), u"0.3"},
        {"", D(2.675), u"2.675"},
        {"", D(8.150110338799115), u"8.15011033879912"},  // its own digits, not its binary expansion
    });
}

TEST(ColumnLetters, Names)
{
    EXPECT_EQ(ColumnLetters(0), "A");
    EXPECT_EQ(ColumnLetters(25), "Z");
    EXPECT_EQ(ColumnLetters(26), "AA");
    EXPECT_EQ(ColumnLetters(51), "AZ");
    EXPECT_EQ(ColumnLetters(52), "BA");
    EXPECT_EQ(ColumnLetters(255), "IV");
    EXPECT_EQ(ColumnLetters(701), "ZZ");
    EXPECT_EQ(ColumnLetters(16383), "XFD");
}

TEST(DisplayText, NumbersUnderBuiltInFormatsGerman)
{
    EXPECT_EQ(Shown(TVariant::Double(1234.5), Builtin(26)), u"1.234,50");
    EXPECT_EQ(Shown(TVariant::Double(1234.5), Builtin(3)), u"1.235");
    EXPECT_EQ(Shown(TVariant::Double(1234.5), Builtin(0)), u"1234,5");
    EXPECT_EQ(Shown(TVariant::Double(0.125), Builtin(9)), u"12,50%");
    EXPECT_EQ(Shown(TVariant::Double(0.5), Builtin(8)), u"50%");
    EXPECT_EQ(Shown(TVariant::Double(-1234), Builtin(4)), u"-$1.234");
    EXPECT_EQ(Shown(TVariant::Double(1234.5), Builtin(10)), u"1,23E+03");
    EXPECT_EQ(Shown(TVariant::Double(1.25), Builtin(11)), u"1 1/4");
    EXPECT_EQ(Shown(TVariant::Double(0.3333), Builtin(12)), u"1/3");
    EXPECT_EQ(Shown(TVariant::Currency(2.5), Builtin(26)), u"2,50");
    EXPECT_EQ(Shown(TVariant::Single(0.1f), ""), u"0,1"); // the float's digits, not its widening
}

TEST(DisplayText, IntegerKindsIgnoreFormatsWithoutPoint)
{
    EXPECT_EQ(Shown(TVariant::Integer(1234), "#,##0"), u"1234");
    EXPECT_EQ(Shown(TVariant::Integer(1234), "#,##0.00"), u"1.234,00");
    EXPECT_EQ(Shown(TVariant::Integer(-7), "$0"), u"-7");
    EXPECT_EQ(Shown(TVariant::Byte(3), "0%"), u"300%");
    EXPECT_EQ(Shown(TVariant::Int64(INT64_MAX), "0%"), u"9,22337203685478E20%");
}

TEST(DisplayText, DatesAndTimes)
{
    const double jan31 = 39478.0 + 50709.0 / 86400.0; // 2008-01-31 14:05:09
    EXPECT_EQ(Shown(TVariant::Date(39448), Builtin(13)), u"01.01.08");
    EXPECT_EQ(Shown(TVariant::Date(1.75), Builtin(17)), u"6:00 PM");
    EXPECT_EQ(Shown(TVariant::Date(1.75), Builtin(19)), u"18:00");
    EXPECT_EQ(Shown(TVariant::Date(jan31), Builtin(31)), u"05:09");
    EXPECT_EQ(Shown(TVariant::Date(jan31), Builtin(33)), u"05:09.0");
    EXPECT_EQ(Shown(TVariant::Date(2.5), Builtin(32)), u"36:00:00");
    EXPECT_EQ(Shown(TVariant::Date(jan31), Builtin(32)), u"947486:05:09");
    EXPECT_EQ(Shown(TVariant::Date(jan31), Builtin(14)), u"31-Jan-08");
    EXPECT_EQ(Shown(TVariant::Date(39508), "dd-mmm"), u"01-M\u00E4r");
    EXPECT_EQ(Shown(TVariant::Date(39448.5), "General"), u"01.01.2008 12:00:00");
    // 1904 system: the elapsed time counts from the file's serial.
    EXPECT_EQ(Shown(TVariant::Date(1462 + 1.5), Builtin(32), true), u"36:00:00");
    // A date under a percent format is a number.
    EXPECT_EQ(Shown(TVariant::Date(0.25), "0%"), u"25%");
}

TEST(DisplayText, OtherKinds)
{
    EXPECT_EQ(Shown(TVariant::Boolean(true), "0.00"), u"TRUE");
    EXPECT_EQ(Shown(TVariant::Boolean(false), ""), u"FALSE");
    EXPECT_EQ(Shown(TVariant::Wide(u"\u20AC 5"), "0.00"), u"\u20AC 5");
    EXPECT_EQ(Shown(TVariant::String("M\xE4rz \x80"), "0.00"), u"M\u00E4rz \u20AC");
    EXPECT_EQ(Shown(TVariant(), "0"), u"");
    EXPECT_EQ(Shown(TVariant::Null(), "0"), u"");
}

TEST(DisplayText, ErrorValuesAsTheSheetShowsThem)
{
    const struct { uint8_t Code; const char16_t* Text; } cases[] = {
        {0x00, u"#NULL!"}, {0x07, u"#DIV/0!"}, {0x0F, u"#VALUE!"}, {0x17, u"#REF!"},
        {0x1D, u"#NAME?"}, {0x24, u"#NUM!"}, {0x2A, u"#N/A"}, {0x08, u""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Shown(TVariant::Error(c.Code), "0.00"), c.Text) << int(c.Code); // whatever the format
        EXPECT_EQ(IsErrorCode(c.Code), c.Text[0] != 0) << int(c.Code);
    }
}

// BIFF8 allows 255 characters, more than the number formatter takes: such a
// format shows its numbers in the general form, percent and decimals unapplied.
TEST(DisplayText, FormatTheFormatterRefusesShowsTheGeneralForm)
{
    const std::string tooLong(300, '0');
    EXPECT_EQ(Shown(TVariant::Double(1234.5), tooLong), u"1234,5");
    EXPECT_EQ(Shown(TVariant::Double(0.25), tooLong + "%"), u"0,25");
    EXPECT_EQ(Shown(TVariant::Integer(7), tooLong + ".00"), u"7");
    EXPECT_EQ(Shown(TVariant::Double(-1e20), "#,##0.00" + tooLong), u"-1E20");
    // Other sections and what cleaning removes do not count.
    EXPECT_EQ(Shown(TVariant::Double(1234.5), "0.00;" + tooLong), u"1234,50");
    EXPECT_EQ(Shown(TVariant::Double(1234.5), "0.00" + std::string(300, '_')), u"1234,50");
}

TEST(DisplayText, CellThroughWorkbookFormatListAndUserLocale)
{
    const TLocale saved = UserLocale();
    SetUserLocale(LocaleDeDE());
    {
        TWorkbook workbook;
        TCells& cells = workbook.Sheets().Items(0)->Cells();
        TCell* number = cells.GetCell(0, 0);
        number->SetValue(TVariant::Double(1234.5));
        number->SetFormatIndex(26);
        EXPECT_EQ(DisplayText(*number), u"1.234,50");

        int pos = workbook.FormatStrings().SetFormat("0.0 \"kg\"", 164);
        TCell* weight = cells.GetCell(1, 0);
        weight->SetValue(TVariant::Double(2.25));
        weight->SetFormatIndex(static_cast<uint16_t>(pos));
        EXPECT_EQ(DisplayText(*weight), u"2,3 kg");

        TCell* date = cells.GetCell(2, 0);
        date->SetValue(TVariant::Date(39448)); // takes position 13, "mm/dd/yy"
        EXPECT_EQ(DisplayText(*date), u"01.01.08");

        TCell* elapsed = cells.GetCell(3, 0);
        elapsed->SetValue(TVariant::Date(1462 + 1.5));
        elapsed->SetFormatIndex(32);
        EXPECT_EQ(DisplayText(*elapsed), u"35124:00:00");
        workbook.Date1904 = true;
        EXPECT_EQ(DisplayText(*elapsed), u"36:00:00");

        TCell* outside = cells.GetCell(4, 0);
        outside->SetValue(TVariant::Double(0.5));
        outside->SetFormatIndex(999); // not in the list: shown as General
        EXPECT_EQ(DisplayText(*outside), u"0,5");
    }
    SetUserLocale(saved);
}
