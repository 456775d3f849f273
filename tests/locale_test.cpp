#include <gtest/gtest.h>

#include <locale.h>

#include <cstdlib>
#include <map>
#include <optional>

#include "platform/Locale.h"
#include "styles/XLSFormat.h"

namespace {

// Sets the locale variables for one test and puts the old values back.
class LocaleEnvironment {
public:
    LocaleEnvironment(std::initializer_list<std::pair<const char*, const char*>> values)
    {
        for (const char* name : kNames) {
            const char* old = std::getenv(name);
            FSaved[name] = old ? std::optional<std::string>(old) : std::nullopt;
            unsetenv(name);
        }
        for (const auto& [name, value] : values) setenv(name, value, 1);
    }
    ~LocaleEnvironment()
    {
        for (const auto& [name, value] : FSaved) {
            if (value) setenv(name.c_str(), value->c_str(), 1);
            else unsetenv(name.c_str());
        }
    }

private:
    static constexpr const char* kNames[] = {"LC_ALL", "LC_NUMERIC", "LC_TIME", "LANG"};
    std::map<std::string, std::optional<std::string>> FSaved;
};

void ExpectSameRecord(const TLocale& a, const TLocale& b)
{
    EXPECT_EQ(a.DecimalSeparator, b.DecimalSeparator);
    EXPECT_EQ(a.GroupingSeparator, b.GroupingSeparator);
    EXPECT_EQ(a.DateSeparator, b.DateSeparator);
    EXPECT_EQ(a.TimeSeparator, b.TimeSeparator);
    EXPECT_EQ(a.ShortMonthNames, b.ShortMonthNames);
    EXPECT_EQ(a.LongMonthNames, b.LongMonthNames);
    EXPECT_EQ(a.ShortDayNames, b.ShortDayNames);
    EXPECT_EQ(a.LongDayNames, b.LongDayNames);
    EXPECT_EQ(a.MorningText, b.MorningText);
    EXPECT_EQ(a.AfternoonText, b.AfternoonText);
    EXPECT_EQ(a.ShortDatePattern, b.ShortDatePattern);
    EXPECT_EQ(a.LongDatePattern, b.LongDatePattern);
    EXPECT_EQ(a.ShortTimePattern, b.ShortTimePattern);
    EXPECT_EQ(a.LongTimePattern, b.LongTimePattern);
}

// True when the C library has the named locale (then its data is used).
bool Installed(const char* name)
{
    locale_t loc = newlocale(LC_ALL_MASK, name, static_cast<locale_t>(0));
    if (loc) freelocale(loc);
    return loc != static_cast<locale_t>(0);
}

} // namespace

TEST(Locale, BuiltInRecords)
{
    const TLocale& en = LocaleEnUS();
    EXPECT_EQ(en.ShortMonthNames[11], "Dec");
    EXPECT_EQ(en.LongDayNames[0], "Sunday");
    EXPECT_EQ(en.MorningText + en.AfternoonText, "AMPM");
    EXPECT_EQ(en.ShortDatePattern, "m/d/yyyy");
    EXPECT_EQ(en.LongDatePattern, "dddd, mmmm d, yyyy");
    EXPECT_EQ(en.ShortTimePattern, "h:mm AMPM");
    EXPECT_EQ(en.LongTimePattern, "h:mm:ss AMPM");

    const TLocale& de = LocaleDeDE();
    EXPECT_EQ(de.DecimalSeparator + de.GroupingSeparator + de.DateSeparator + de.TimeSeparator, ",..:");
    EXPECT_EQ(de.ShortMonthNames[2], "M\xE4r");
    EXPECT_EQ(de.LongMonthNames[2], "M\xE4rz");
    EXPECT_EQ(de.ShortDayNames[0], "So");
    EXPECT_EQ(de.LongDayNames[6], "Samstag");
    EXPECT_EQ(de.MorningText + de.AfternoonText, "");
    EXPECT_EQ(de.ShortDatePattern, "dd.mm.yyyy");
    EXPECT_EQ(de.LongDatePattern, "dddd, d. mmmm yyyy");
    EXPECT_EQ(de.ShortTimePattern, "hh:mm");
    EXPECT_EQ(de.LongTimePattern, "hh:mm:ss");
}

TEST(Locale, PlainAndUnknownEnvironmentsGiveEnglish)
{
    for (auto values : {std::initializer_list<std::pair<const char*, const char*>>{},
                        {{"LANG", "C"}}, {{"LANG", "POSIX"}}, {{"LANG", "C.UTF-8"}},
                        {{"LANG", "xx_YY.UTF-8"}}, {{"LANG", "deutsch"}}, {{"LC_ALL", "C"}, {"LANG", "de_DE"}}}) {
        LocaleEnvironment env(values);
        ExpectSameRecord(LocaleFromEnvironment(), LocaleEnUS());
    }
}

TEST(Locale, GermanEnvironmentWithoutSystemData)
{
    if (Installed("de_DE.UTF-8") || Installed("de_AT.UTF-8")) GTEST_SKIP() << "the system has German locale data";
    {
        LocaleEnvironment env({{"LANG", "de_DE.UTF-8"}});
        ExpectSameRecord(LocaleFromEnvironment(), LocaleDeDE());
    }
    {
        LocaleEnvironment env({{"LC_ALL", "de_AT.UTF-8"}, {"LANG", "en_US.UTF-8"}});
        ExpectSameRecord(LocaleFromEnvironment(), LocaleDeDE());
    }
}

TEST(Locale, CategoriesAreReadApart)
{
    {
        // German numbers, English dates.
        LocaleEnvironment env({{"LC_NUMERIC", "de_DE.UTF-8"}, {"LANG", "C"}});
        TLocale l = LocaleFromEnvironment();
        EXPECT_EQ(l.DecimalSeparator, ",");
        EXPECT_EQ(l.GroupingSeparator, ".");
        EXPECT_EQ(l.LongMonthNames[0], "January");
        EXPECT_EQ(l.MorningText, "AM");
    }
    {
        LocaleEnvironment env({{"LC_TIME", "de_DE.UTF-8"}, {"LANG", "POSIX"}});
        TLocale l = LocaleFromEnvironment();
        EXPECT_EQ(l.DecimalSeparator, ".");
        EXPECT_EQ(l.LongMonthNames[0], "Januar");
        EXPECT_EQ(l.ShortDatePattern, "dd.mm.yyyy");
    }
}

TEST(Locale, StrftimePatternsInFormatterTokens)
{
    struct { const char* Pattern; const char* Tokens; } cases[] = {
        {"%d.%m.%Y", "dd.mm.yyyy"},
        {"%m/%d/%y", "mm/dd/yy"},
        {"%-d/%-m/%Y", "d/m/yyyy"},
        {"%e de %B de %Y", "d \"de\" mmmm \"de\" yyyy"},
        {"%a %b", "ddd mmm"},
        {"%A, %e. %B", "dddd, d. mmmm"},
        {"%H:%M:%S", "hh:nn:ss"},
        {"%T", "hh:nn:ss"},
        {"%R", "hh:nn"},
        {"%I:%M:%S %p", "hh:nn:ss AMPM"},
        {"%r", "hh:nn:ss AMPM"},
        {"%l:%M %P", "h:nn AMPM"},
        {"%H.%M Uhr %Z", "hh.nn \"Uhr\" "},
        {"%Ey %OH 100%%", "yy hh 100%"},
        {"%", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(TranslateTimePattern(c.Pattern), c.Tokens) << c.Pattern;

    // The translation formats as the pattern means.
    const double jan31 = 39478.0 + 50709.0 / 86400.0;
    EXPECT_EQ(FormatDateText(TranslateTimePattern("%e de %B, %I:%M %p"), jan31, LocaleEnUS()), "31 de January, 02:05 PM");
}

TEST(Locale, UserLocaleIsCachedAndCanBeSet)
{
    const TLocale saved = UserLocale();
    const TLocale* first = &UserLocale();
    EXPECT_EQ(&UserLocale(), first);

    SetUserLocale(LocaleDeDE());
    EXPECT_EQ(FormatNumberText("#,##0.00", 1234.5), "1.234,50");
    EXPECT_EQ(FormatDateText("dd/mm/yyyy", 39448), "01.01.2008");
    SetUserLocale(LocaleEnUS());
    EXPECT_EQ(FormatNumberText("#,##0.00", 1234.5), "1,234.50");
    SetUserLocale(saved);
}
