// The user's locale: two built-in records and the reading of the C library's
// locale data (newlocale/nl_langinfo_l) named by the environment.
#include "platform/Locale.h"

#include "platform/CodePage.h"

#include <langinfo.h>
#include <locale.h>

#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

// Text of the C library as Windows-1252: UTF-8 is decoded; any other code set
// is taken byte for byte (Latin-1, which Windows-1252 extends).
std::string ToCp1252(const char* text, bool utf8)
{
    if (!text) return "";
    if (!utf8) return text;
    std::u16string wide = Utf8ToWide(text);
    for (char16_t& c : wide)
        if (c == 0x202F) c = 0xA0; // narrow no-break space, the grouping of some locales
    return WideToAnsi(wide);
}

TLocale MakeEnUS()
{
    TLocale l;
    l.DecimalSeparator = ".";
    l.GroupingSeparator = ",";
    l.DateSeparator = "/";
    l.TimeSeparator = ":";
    l.ShortMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    l.LongMonthNames = {"January", "February", "March", "April", "May", "June",
                        "July", "August", "September", "October", "November", "December"};
    l.ShortDayNames = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    l.LongDayNames = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    l.MorningText = "AM";
    l.AfternoonText = "PM";
    l.ShortDatePattern = "m/d/yyyy";
    l.LongDatePattern = "dddd, mmmm d, yyyy";
    l.ShortTimePattern = "h:mm AMPM";
    l.LongTimePattern = "h:mm:ss AMPM";
    l.EraName = "A.D.";
    return l;
}

TLocale MakeDeDE()
{
    TLocale l;
    l.DecimalSeparator = ",";
    l.GroupingSeparator = ".";
    l.DateSeparator = ".";
    l.TimeSeparator = ":";
    l.ShortMonthNames = {"Jan", "Feb", "M\xE4r", "Apr", "Mai", "Jun", "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"};
    l.LongMonthNames = {"Januar", "Februar", "M\xE4rz", "April", "Mai", "Juni",
                        "Juli", "August", "September", "Oktober", "November", "Dezember"};
    l.ShortDayNames = {"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"};
    l.LongDayNames = {"Sonntag", "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag"};
    l.ShortDatePattern = "dd.mm.yyyy";
    l.LongDatePattern = "dddd, d. mmmm yyyy";
    l.ShortTimePattern = "hh:mm";
    l.LongTimePattern = "hh:mm:ss";
    l.EraName = "n. Chr.";
    return l;
}

const char* EnvValue(const char* name)
{
    const char* v = std::getenv(name);
    return v && *v ? v : nullptr;
}

// The locale name that rules `category`: LC_ALL, the category's own, LANG.
std::string CategoryName(const char* categoryVar)
{
    for (const char* var : {"LC_ALL", categoryVar, "LANG"})
        if (const char* v = EnvValue(var)) return v;
    return "";
}

bool IsGermanName(const std::string& name)
{
    return name.size() >= 2 && name.compare(0, 2, "de") == 0 && (name.size() == 2 || name[2] == '_' || name[2] == '.' || name[2] == '@');
}

// The built-in record for a name the C library cannot give.
const TLocale& BuiltinFor(const std::string& name) { return IsGermanName(name) ? LocaleDeDE() : LocaleEnUS(); }

bool IsPlainCName(const std::string& name)
{
    return name.empty() || name == "C" || name == "POSIX" || name.compare(0, 2, "C.") == 0;
}

// One conversion of a strftime pattern in FormatDateText tokens; false for
// one that has no counterpart (it is dropped).
bool TranslateConversion(char c, const std::string& ampmPattern, int depth, std::string& out);

std::string Translate(const std::string& pattern, const std::string& ampmPattern, int depth)
{
    std::string out;
    std::string literal; // ASCII letters are quoted so they stay text
    auto flushLiteral = [&] {
        if (!literal.empty()) out += '"' + literal + '"';
        literal.clear();
    };
    for (size_t i = 0; i < pattern.size(); ++i) {
        char c = pattern[i];
        if (c != '%') {
            bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
            if (letter) { literal += c; continue; }
            flushLiteral();
            if (c == '"') continue; // cannot be quoted inside quotes; rare enough to drop
            out += c;
            continue;
        }
        flushLiteral();
        ++i;
        // Flags, widths and the E/O modifiers of glibc; "-" drops the leading zero.
        bool noPad = false;
        while (i < pattern.size() && std::strchr("-_0^#EO123456789", pattern[i])) noPad |= pattern[i++] == '-';
        if (i >= pattern.size()) break;
        char c2 = pattern[i];
        if (noPad && (c2 == 'd' || c2 == 'e')) out += 'd';
        else if (noPad && c2 == 'm') out += 'm';
        else if (noPad && (c2 == 'H' || c2 == 'I')) out += 'h';
        else TranslateConversion(c2, ampmPattern, depth, out);
    }
    flushLiteral();
    return out;
}

bool TranslateConversion(char c, const std::string& ampmPattern, int depth, std::string& out)
{
    switch (c) {
    case 'd': out += "dd"; return true;
    case 'e': out += "d"; return true;
    case 'm': out += "mm"; return true;
    case 'b': case 'h': out += "mmm"; return true;
    case 'B': out += "mmmm"; return true;
    case 'a': out += "ddd"; return true;
    case 'A': out += "dddd"; return true;
    case 'y': out += "yy"; return true;
    case 'Y': case 'G': out += "yyyy"; return true;
    case 'H': case 'I': out += "hh"; return true;
    case 'k': case 'l': out += "h"; return true;
    case 'M': out += "nn"; return true;
    case 'S': out += "ss"; return true;
    case 'p': case 'P': out += "AMPM"; return true;
    case 'T': out += "hh:nn:ss"; return true;
    case 'R': out += "hh:nn"; return true;
    case 'D': out += "mm/dd/yy"; return true;
    case 'F': out += "yyyy-mm-dd"; return true;
    case 'n': case 't': out += ' '; return true;
    case '%': out += '%'; return true;
    case 'r':
        if (depth < 1) out += Translate(ampmPattern, ampmPattern, depth + 1);
        return true;
    default: return false;
    }
}

// The separator between the first two fields of a translated pattern,
// e.g. "." in "dd.mm.yyyy"; `fallback` when there is none.
std::string SeparatorOf(const std::string& pattern, const std::string& fallback)
{
    size_t i = 0;
    auto isField = [](char c) { return std::strchr("dmyhnsDMYHNS", c) != nullptr; };
    while (i < pattern.size() && !isField(pattern[i])) ++i;
    while (i < pattern.size() && isField(pattern[i])) ++i;
    size_t start = i;
    while (i < pattern.size() && !isField(pattern[i]) && pattern[i] != '"') ++i;
    if (i == start || i >= pattern.size()) return fallback;
    std::string sep = pattern.substr(start, i - start);
    // a blank around the separator ("dd. mm") is part of the pattern, not of it
    while (sep.size() > 1 && sep.back() == ' ') sep.pop_back();
    return sep;
}

// The long time pattern without its seconds (":ss" and what joins them).
std::string WithoutSeconds(const std::string& pattern)
{
    size_t s = pattern.find("ss");
    if (s == std::string::npos) return pattern;
    size_t from = s;
    while (from > 0 && std::strchr("dmyhnDMYHN\"", pattern[from - 1]) == nullptr) --from;
    return pattern.substr(0, from) + pattern.substr(s + 2);
}

TLocale FromCLibrary(const std::string& numericName, const std::string& timeName)
{
    TLocale l = BuiltinFor(timeName);
    const TLocale& numericBase = BuiltinFor(numericName);
    l.DecimalSeparator = numericBase.DecimalSeparator;
    l.GroupingSeparator = numericBase.GroupingSeparator;

    if (!IsPlainCName(numericName)) {
        if (locale_t loc = newlocale(LC_NUMERIC_MASK | LC_CTYPE_MASK, numericName.c_str(), static_cast<locale_t>(0))) {
            bool utf8 = std::strcmp(nl_langinfo_l(CODESET, loc), "UTF-8") == 0;
            std::string dec = ToCp1252(nl_langinfo_l(RADIXCHAR, loc), utf8);
            if (!dec.empty()) l.DecimalSeparator = dec;
            l.GroupingSeparator = ToCp1252(nl_langinfo_l(THOUSEP, loc), utf8);
            freelocale(loc);
        }
    }
    if (IsPlainCName(timeName)) return l;
    locale_t loc = newlocale(LC_TIME_MASK | LC_CTYPE_MASK, timeName.c_str(), static_cast<locale_t>(0));
    if (!loc) return l;
    bool utf8 = std::strcmp(nl_langinfo_l(CODESET, loc), "UTF-8") == 0;
    auto item = [&](nl_item it) { return ToCp1252(nl_langinfo_l(it, loc), utf8); };
    for (int i = 0; i < 12; ++i) {
        l.ShortMonthNames[i] = item(ABMON_1 + i);
        l.LongMonthNames[i] = item(MON_1 + i);
    }
    for (int i = 0; i < 7; ++i) {
        l.ShortDayNames[i] = item(ABDAY_1 + i);
        l.LongDayNames[i] = item(DAY_1 + i);
    }
    l.MorningText = item(AM_STR);
    l.AfternoonText = item(PM_STR);
    std::string ampm = item(T_FMT_AMPM);
    std::string date = Translate(item(D_FMT), ampm, 0);
    std::string time = Translate(item(T_FMT), ampm, 0);
    if (!date.empty()) {
        l.DateSeparator = SeparatorOf(date, l.DateSeparator);
        l.ShortDatePattern = date;
        // The C library has no long date; German and English keep the
        // built-in one, other languages get the day name before the short date.
        if (!IsGermanName(timeName) && timeName.compare(0, 2, "en") != 0)
            l.LongDatePattern = "dddd, " + l.ShortDatePattern;
    }
    if (!time.empty()) {
        l.TimeSeparator = SeparatorOf(time, l.TimeSeparator);
        l.LongTimePattern = time;
        l.ShortTimePattern = WithoutSeconds(l.LongTimePattern);
    }
    freelocale(loc);
    return l;
}

std::optional<TLocale>& CachedUserLocale()
{
    static std::optional<TLocale> cached;
    return cached;
}

} // namespace

const TLocale& LocaleEnUS()
{
    static const TLocale locale = MakeEnUS();
    return locale;
}

const TLocale& LocaleDeDE()
{
    static const TLocale locale = MakeDeDE();
    return locale;
}

std::string TranslateTimePattern(const std::string& pattern, const std::string& ampmPattern)
{
    return Translate(pattern, ampmPattern, 0);
}

TLocale LocaleFromEnvironment()
{
    return FromCLibrary(CategoryName("LC_NUMERIC"), CategoryName("LC_TIME"));
}

const TLocale& UserLocale()
{
    auto& cached = CachedUserLocale();
    if (!cached) cached = LocaleFromEnvironment();
    return *cached;
}

void SetUserLocale(const TLocale& locale) { CachedUserLocale() = locale; }
