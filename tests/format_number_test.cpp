#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "styles/XLSFormat.h"

namespace {

struct TNumberCase {
    const char* Format;
    double Value;
    const char* Expected;
};

void ExpectCases(const TLocale& locale, std::initializer_list<TNumberCase> cases)
{
    for (const auto& c : cases)
        EXPECT_EQ(FormatNumberText(c.Format, c.Value, locale), c.Expected) << '"' << c.Format << "\" of " << c.Value;
}

} // namespace

TEST(FormatNumberText, GermanSeparatorsPlaceholdersAndRounding)
{
    ExpectCases(LocaleDeDE(), {
        {"#,##0.00", 1234.5, "1.234,50"},
        {"#,##0", 1234.5, "1.235"},
        {"0", 1234.5, "1235"},
        {"0.00", 1234.5, "1234,50"},
        {"0.00", -0.5, "-0,50"},
        {"$#,##0", -1234, "-$1.234"},           // the minus sign before any text
        {"#,##0", 1234567890, "1.234.567.890"},
        {"#0.00", 0.5, "0,50"},                 // a "0" before the point forces one digit
        {"#.00", 0.5, ",50"},                   // without it no integer digit for values below 1
        {"#.##", 2, "2"},                       // no separator without a digit after it
        {"0.0#", 2.5, "2,5"},
        {"0.0#", 2.125, "2,13"},                // half away from zero
        {"0.0#", -2.125, "-2,13"},
        {"0", 2.5, "3"},
        {"0", -2.5, "-3"},
        {"0.00", -0.001, "0,00"},               // no minus sign for a shown zero
        {"00000", 42, "00042"},
        {"0", 123456, "123456"},                // the first placeholder writes the digits the others cannot hold
        {"0-00", 12345, "123-45"},
        {" #,##0.00", 1234.5, " 1.234,50"},     // cleaned code 43
        {"\"Summe: \"0.0' EUR'", 3.25, "Summe: 3,3 EUR"},
        {"\"0.0,\"0", 7, "0.0,7"},              // quoted placeholders are text
        {"[Red]0 ?x", 5, "[Red]5 ?x"},
        {"0;[Red]-0", -3, "-3"},                // only the first section
    });
}

TEST(FormatNumberText, Scientific)
{
    ExpectCases(LocaleDeDE(), {
        {"0.00E+00", 1234.5, "1,23E+03"},
        {"0.00E+00", 0.012, "1,20E-02"},
        {"0.00E-00", 1234.5, "1,23E03"},   // "-" writes a sign only for negative exponents
        {"0.00E-00", 0.012, "1,20E-02"},
        {"0.00e+0", 9.999, "1,00e+1"},     // rounding carries into the exponent
        {"0.00E+00", 0, "0,00E+00"},
        {"0.00E+00", -1234.5, "-1,23E+03"},
        {"##0.0E+0", 1234.5, "1,2E+3"},    // engineering notation
        {"##0.0E+0", 12345, "12,3E+3"},
        {"##0.0E+0", 0.00012, "120,0E-6"},
        {"00.0E+0", 1234.5, "12,3E+2"},
        {"0E+0000000", 5, "5E+0000"},      // at most four exponent digits are forced
        {"0Ex", 5, "5Ex"},                 // E without a sign is text
    });
}

TEST(FormatNumberText, GeneralForm)
{
    ExpectCases(LocaleDeDE(), {
        {"", 1234.5, "1234,5"},
        {"", 1e20, "1E20"},
        {"", 0.0001, "0,0001"},
        {"", 0.00001, "1E-5"},
        {"", -1.5e-7, "-1,5E-7"},
        {"", 0, "0"},
        {"", -0.0, "0"},
        {"", 123456789012345.0, "123456789012345"},
        {"", 1234567890123456.0, "1,23456789012346E15"},
        {"", 0.1 + 0.2, "0,3"},            // 15 significant digits
        {"", 1.0 / 3, "0,333333333333333"},
    });
    EXPECT_EQ(FormatNumberText("", 1234.5, LocaleEnUS()), "1234.5");
    // More than 18 integer digits without an exponent fall back to the general form.
    EXPECT_EQ(FormatNumberText("#,##0", 1e25, LocaleDeDE()), "1E25");
    EXPECT_EQ(FormatNumberText("0", std::numeric_limits<double>::quiet_NaN(), LocaleDeDE()), "NAN");
    EXPECT_EQ(FormatNumberText("", -std::numeric_limits<double>::infinity(), LocaleDeDE()), "-INF");
}

TEST(FormatNumberText, FormatLongerThan224CharactersIsRefused)
{
    const std::string longest(224, '0');
    EXPECT_EQ(FormatNumberText(longest, 1, LocaleEnUS()).size(), 224u);
    try {
        FormatNumberText(longest + "0", 1, LocaleEnUS());
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Format string too long");
    }
}

TEST(FormatNumberText, Fractions)
{
    ExpectCases(LocaleDeDE(), {
        {"# ?/?", 0.5, "1/2"},
        {"# ?/?", 1.25, "1 1/4"},
        {"# ?/?", 2, "2"},
        {"# ?/?", 0, "0"},
        {"# ?/?", -1.25, "-1 1/4"},
        {"# ?/?", -0.5, "-1/2"},
        {"# ?/?", 0.3333, "1/3"},
        {"# ?/?", 0.97, "1"},              // the nearest ninth or less is 1
        {"# ?\?/?\?", 0.3333, "1/3"},
        {"# ?\?/?\?", 3.14159, "3 14/99"},
        {"# ?\?/?\?", 0.123, "8/65"},
        {"# ?/8", 0.3, "2/8"},              // a fixed denominator is not reduced
        {"# ?/8", 1.5, "1 4/8"},
        {"# ?/8", 0.99, "1"},
        {"# ?\?/100", 0.257, "26/100"},
        {"0 ?/?", 0.5, "0 1/2"},            // a "0" digit part shows the zero
        {"#,##0 ?/?", 1234.5, "1.234 1/2"},
        {"$# ?/?\" kg\"", 2.5, "$2 1/2 kg"},
        {"?/?", 1.25, "5/4"},               // without a digit part the fraction holds the whole value
        {"# ?/?", 1e20, "1E20"},
    });
}

// Plain formats ("0", "#,##0.00", ".##", ...) have a shorter road to their
// text; an empty quoted text keeps a format off it and must change nothing.
TEST(FormatNumberText, PlainFormatsWriteWhatTheFullLayoutWrites)
{
    const char* formats[] = {"0", "0.0", "0.00", "#,##0", "#,##0.00", "#,##0.000", "#", "#.##", "0.0#",
                             "00000", "#,###.00", ".00", "##0.0", "0.0.0", "#,##0.00000000000000000000"};
    std::vector<double> values = {0.0, -0.0, 0.5, 1.5, 2.5, -2.5, 0.125, 0.005, 0.0049999999999, 0.995, 9.995,
                                  999999.995, 1e15, 123456789012345678.0, 1e17, 1e18, 1e19, -1e20, 1e-7,
                                  1.0000000000000002, 0.1 + 0.2, 4.35, 1234.5, -1234.5678, 99999999999999.99};
    uint64_t state = 88172645463325252u; // xorshift: the same values on every run
    for (int i = 0; i < 3000; ++i) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        const double unit = double(state >> 11) / double(uint64_t{1} << 53);
        values.push_back((i % 2 ? -1 : 1) * unit * std::pow(10.0, double(i % 34) - 14));
    }
    for (const TLocale* locale : {&LocaleDeDE(), &LocaleEnUS()})
        for (const char* format : formats)
            for (double value : values)
                ASSERT_EQ(FormatNumberText(format, value, *locale), FormatNumberText(std::string(format) + "\"\"", value, *locale))
                    << '"' << format << "\" of " << value;
}
