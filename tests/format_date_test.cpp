#include <gtest/gtest.h>

#include <limits>

#include "styles/XLSFormat.h"

namespace {

// 2008-01-31 14:05:09 as the double a file stores (not an exact fraction).
const double kJan31 = 39478.0 + (14 * 3600 + 5 * 60 + 9) / 86400.0;

struct TDateCase {
    const char* Format;
    double Value;
    const char* Expected;
};

void ExpectCases(const TLocale& locale, std::initializer_list<TDateCase> cases, bool date1904 = false)
{
    for (const auto& c : cases)
        EXPECT_EQ(FormatDateText(c.Format, c.Value, locale, date1904), c.Expected)
            << '"' << c.Format << "\" of " << c.Value;
}

} // namespace

TEST(FormatDateText, BuiltInFormatsGerman)
{
    ExpectCases(LocaleDeDE(), {
        {"dd-mmm-yy", kJan31, "31-Jan-08"},
        {"h:mm:ss", kJan31, "14:05:09"},
        {"h:mm AM/PM", kJan31, "2:05 PM"},
        {"h:mm:ss AM/PM", kJan31, "2:05:09 PM"},
        {"mm/dd/yy h:mm", kJan31, "01.31.08 14:05"},
        {"mm/dd/yy", 39448, "01.01.08"},
        {"dd-mmm", 39508, "01-M\xE4r"},
        {"mmm-yy", 39508, "M\xE4r-08"},
        {"h:mm", 1.75, "18:00"},
        {"h:mm AM/PM", 1.75, "6:00 PM"},
        {"h:mm AM/PM", 1.25, "6:00 AM"},
    });
}

TEST(FormatDateText, NamesAndRunLengths)
{
    ExpectCases(LocaleEnUS(), {
        {"d/m/yy", 39448, "1/1/08"},
        {"dddd, d. mmmm yyyy", kJan31, "Thursday, 31. January 2008"},
        {"ddd mmm", kJan31, "Thu Jan"},
        {"DDDD MMMM YYYY", kJan31, "Thursday January 2008"},  // letters in any case
        {"aaa aaaa", kJan31, "Thu Thursday"},
        {"yyy y", kJan31, "2008 08"},
        {"ddddd", kJan31, "1/31/2008"},                     // the locale's short date
        {"dddddd", kJan31, "Thursday, January 31, 2008"},   // its long date
        {"h:n:s", 39478 + (9 * 3600 + 4 * 60 + 3) / 86400.0, "9:4:3"},
        {"hh:nn:ss", 39478 + (9 * 3600 + 4 * 60 + 3) / 86400.0, "09:04:03"},
        {"hh:nn:ss.zzz", 39478.5 + 0.123 / 86400, "12:00:00.123"},
        {"\"Tag\" d 'um' h", kJan31, "Tag 31 um 14"},
        {"[$-407]x", kJan31, "[$-407]x"},                   // other characters are copied
        {"e g", kJan31, "2008 A.D."},
    });
    ExpectCases(LocaleDeDE(), {
        {"dddd, d. mmmm yyyy", 39508, "Samstag, 1. M\xE4rz 2008"},
        {"ddd", 39508, "Sa"},
        {"gg ee", kJan31, "n. Chr. 2008"},
    });
}

TEST(FormatDateText, TwelveHourClock)
{
    ExpectCases(LocaleEnUS(), {
        {"h AM/PM", 39448.0, "12 AM"},
        {"h am/pm", 39448.5, "12 pm"},       // the letters of the format keep their case
        {"h A/P", 39448.75, "6 P"},
        {"h a/p", 39448.25, "6 a"},
        {"hh AMPM", 39448.75, "06 PM"},     // the locale's texts
        {"h", 39448.75, "18"},
        {"h \"AM/PM\"", 39448.75, "18 AM/PM"}, // quoted text is no token
        {"h h AM/PM", 39448.75, "18 6 PM"},   // look-ahead stops at the next hour
        {"h AM/PM h", 39448.75, "6 PM 6"},    // once on, the 12-hour clock stays on
    });
    ExpectCases(LocaleDeDE(), {{"h:mm AMPM", 39448.75, "6:00 "}});
}

TEST(FormatDateText, MinutesBeforeSecondsAndAfterHours)
{
    ExpectCases(LocaleDeDE(), {
        {"mm:ss", kJan31, "05:09"},
        {"m:s", kJan31, "5:9"},
        {"h:mm", kJan31, "14:05"},
        {"mm", kJan31, "01"},             // alone a month
        {"mm dd ss", kJan31, "01 31 09"}, // a letter token between: the month
        {"mm:ss.0", kJan31 + 0.26 / 86400, "05:09.3"},
        {"mm:ss.00", kJan31 + 0.26 / 86400, "05:09.26"},
        {"mm:ss.000", kJan31 + 0.2604 / 86400, "05:09.260"},
        {"mm:ss.0", kJan31 + 0.96 / 86400, "05:10.0"},   // rounding to the tenth carries
        {"[mm]:ss", 2.5 / 1440 + 1, "02:30"},           // elapsed minutes before seconds
    });
}

TEST(FormatDateText, ElapsedTime)
{
    ExpectCases(LocaleDeDE(), {
        {"[h]:mm:ss", 2.5, "36:00:00"},             // the file's serial 1.5 (1900 system, before March)
        {"[h]:mm:ss", kJan31, "947486:05:09"},
        {"[hh]:mm", 1.25 / 24 + 1, "01:15"},
        {"[m]", 1.5, "720"},
        {"[s].0", 1 + 1.26 / 86400, "1.3"},
        {"[ss]", 61.0, "5270400"},                 // from 1900-03-01 on the serial is the value
        {"[h]", 0.5, "-12"},                        // the serial -0.5
        {"[x]", 1.5, "[x]"},
    });
    // In the 1904 system the file's serial is the value less 1462 days.
    ExpectCases(LocaleDeDE(), {{"[h]:mm", 1462.5, "12:00"}, {"[h]:mm", 1463.75, "42:00"}}, true);
}

TEST(FormatDateText, RoundsToTheShownSecond)
{
    // 14:05:09 computed as a fraction is a hair below the second.
    const double below = 39478.0 + 50709.0 / 86400.0 - 1e-10;
    ExpectCases(LocaleDeDE(), {
        {"hh:mm:ss", below, "14:05:09"},
        {"dd.mm.yyyy hh:mm:ss", 39478.0 + 86399.6 / 86400, "01.02.2008 00:00:00"},
    });
}

TEST(FormatDateText, LocalePatternsAndEmptyFormat)
{
    ExpectCases(LocaleDeDE(), {
        {"", kJan31, "31.01.2008 14:05:09"},
        {"", 39478.0, "31.01.2008"},    // midnight: no time
        {"c", kJan31, "31.01.2008 14:05:09"},
        {"t", kJan31, "14:05"},
        {"tt", kJan31, "14:05:09"},
    });
    ExpectCases(LocaleEnUS(), {
        {"", kJan31, "1/31/2008 2:05:09 PM"},
        {"t", kJan31, "2:05 PM"},
    });
    // The separator tokens take the locale's separators.
    TLocale dashes = LocaleEnUS();
    dashes.DateSeparator = "-";
    dashes.TimeSeparator = ".";
    ExpectCases(dashes, {{"mm/dd/yy hh:mm", kJan31, "01-31-08 14.05"}});
    // A pattern that refers to itself ends instead of looping.
    TLocale looping = LocaleEnUS();
    looping.ShortDatePattern = "ddddd-c";
    EXPECT_NO_THROW(FormatDateText("c", kJan31, looping));
}

TEST(FormatDateText, UnusualValues)
{
    ExpectCases(LocaleDeDE(), {
        {"dd.mm.yyyy", 0, "30.12.1899"},
        {"dd.mm.yyyy", 1, "31.12.1899"},
        {"dd.mm.yyyy", 61, "01.03.1900"},
        {"dd.mm.yyyy hh:mm", -1.25, "29.12.1899 06:00"},   // days back, the time taken as positive
        {"dd.mm.yyyy", -693593, "01.01.0001"},
        {"dd.mm.yyyy", 2958465, "31.12.9999"},
        {"dd.mm.yyyy", 2958466, "2958466"},                // outside the calendar: the number
        {"dd.mm.yyyy", 1e300, "1E300"},
        {"dd.mm.yyyy", -1e9, "-1000000000"},
    });
    EXPECT_EQ(FormatDateText("dd", std::numeric_limits<double>::quiet_NaN(), LocaleDeDE()), "NAN");
}
