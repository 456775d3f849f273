// The date formatter: a date value (days since 1899-12-30, time of day as
// fraction) under a date format of d, m, y, h, n, s, z, AM/PM, c, t, e, g,
// elapsed-time tokens "[h]", "[m]", "[s]" and quoted text.
#include <cmath>
#include <vector>

#include "styles/FormatCache.h"
#include "styles/FormatParts.h"
#include "styles/XLSFormat.h"

namespace {

// The Gregorian range the formatter shows: 0001-01-01 .. 9999-12-31.
const double kFirstDay = -693593.0;
const double kEndDay = 2958466.0;
const int kDaysTo1970 = 25569; // 1899-12-30 .. 1970-01-01
const int kMaxExpansionDepth = 2;

enum class TKind {
    Literal, Text, Day, Month, Year, Hour, Minute, Second, Milli, SubSecond,
    ElapsedHours, ElapsedMinutes, ElapsedSeconds, AmPm, AP, AmPmLocale,
    DateAndTime, Time, EraYear, Era, DateSeparator, TimeSeparator,
};

struct TToken {
    TKind Kind;
    int Count = 1;
    std::string Text;        // Literal/Text: the text; AmPm/AP: the letters of the format
    bool TwelveHour = false; // Hour: 12-hour clock
};

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithNoCase(const std::string& f, size_t i, const char* word)
{
    for (size_t k = 0; word[k]; ++k)
        if (i + k >= f.size() || Lower(f[i + k]) != word[k]) return false;
    return true;
}

// A letter token in the sense of the minute rule: anything but separators,
// sub-second digits and text without letters.
bool IsLetterToken(const TToken& t)
{
    switch (t.Kind) {
    case TKind::Literal: case TKind::SubSecond: case TKind::DateSeparator: case TKind::TimeSeparator: return false;
    case TKind::Text:
        for (char c : t.Text)
            if (IsAsciiLetter(c)) return true;
        return false;
    default: return true;
    }
}

size_t RunLength(const std::string& f, size_t i)
{
    size_t j = i + 1;
    while (j < f.size() && Lower(f[j]) == Lower(f[i])) ++j;
    return j - i;
}

// ".0", ".00", ".000" after seconds: tenths, hundredths, thousandths.
size_t AddSubSecond(const std::string& f, size_t i, std::vector<TToken>& tokens)
{
    if (i + 1 >= f.size() || f[i] != '.' || f[i + 1] != '0') return i;
    tokens.push_back({TKind::Literal, 1, "."});
    size_t zeros = 0;
    while (i + 1 + zeros < f.size() && f[i + 1 + zeros] == '0') ++zeros;
    int digits = static_cast<int>(std::min<size_t>(zeros, 3));
    tokens.push_back({TKind::SubSecond, digits, ""});
    if (zeros > 3) tokens.push_back({TKind::Literal, 1, std::string(zeros - 3, '0')});
    return i + 1 + zeros;
}

// "[h]", "[mm]", "[ss]": the length of the token at f[i] == '[', or 0.
size_t ElapsedLength(const std::string& f, size_t i)
{
    if (i + 1 >= f.size()) return 0;
    char c = Lower(f[i + 1]);
    if (c != 'h' && c != 'm' && c != 's') return 0;
    size_t run = RunLength(f, i + 1);
    return i + 1 + run < f.size() && f[i + 1 + run] == ']' ? run + 2 : 0;
}

// The "a" tokens, longest first.
bool AddAToken(const std::string& f, size_t& i, std::vector<TToken>& tokens)
{
    struct TA { const char* Word; TKind Kind; int Count; };
    static const TA words[] = {
        {"am/pm", TKind::AmPm, 1}, {"ampm", TKind::AmPmLocale, 1}, {"aaaa", TKind::Day, 4},
        {"a/p", TKind::AP, 1}, {"aaa", TKind::Day, 3},
    };
    for (const TA& w : words) {
        if (!StartsWithNoCase(f, i, w.Word)) continue;
        size_t len = std::char_traits<char>::length(w.Word);
        tokens.push_back({w.Kind, w.Count, f.substr(i, len)});
        i += len;
        return true;
    }
    return false;
}

std::vector<TToken> Tokenize(const std::string& f)
{
    std::vector<TToken> tokens;
    for (size_t i = 0; i < f.size();) {
        char c = f[i];
        if (IsQuote(c)) {
            std::string text;
            i = CopyQuoted(f, i, text);
            tokens.push_back({TKind::Text, 1, text});
            continue;
        }
        if (c == '[') {
            if (size_t len = ElapsedLength(f, i)) {
                char unit = Lower(f[i + 1]);
                TKind kind = unit == 'h' ? TKind::ElapsedHours : unit == 'm' ? TKind::ElapsedMinutes : TKind::ElapsedSeconds;
                tokens.push_back({kind, static_cast<int>(len - 2), ""});
                i += len;
                if (kind == TKind::ElapsedSeconds) i = AddSubSecond(f, i, tokens);
                continue;
            }
        }
        if (c == '/') { tokens.push_back({TKind::DateSeparator, 1, ""}); ++i; continue; }
        if (c == ':') { tokens.push_back({TKind::TimeSeparator, 1, ""}); ++i; continue; }
        if (!IsAsciiLetter(c)) { tokens.push_back({TKind::Literal, 1, std::string(1, c)}); ++i; continue; }
        char l = Lower(c);
        if (l == 'a') {
            if (!AddAToken(f, i, tokens)) { tokens.push_back({TKind::Text, 1, std::string(1, c)}); ++i; }
            continue;
        }
        int run = static_cast<int>(RunLength(f, i));
        TKind kind;
        switch (l) {
        case 'd': kind = TKind::Day; break;
        case 'm': kind = TKind::Month; break;
        case 'y': kind = TKind::Year; break;
        case 'h': kind = TKind::Hour; break;
        case 'n': kind = TKind::Minute; break;
        case 's': kind = TKind::Second; break;
        case 'z': kind = TKind::Milli; break;
        case 't': kind = TKind::Time; break;
        case 'e': kind = TKind::EraYear; break;
        case 'g': kind = TKind::Era; break;
        case 'c': kind = TKind::DateAndTime; run = 1; break;
        default: tokens.push_back({TKind::Text, 1, std::string(1, c)}); ++i; continue;
        }
        tokens.push_back({kind, run, ""});
        i += run;
        if (kind == TKind::Second) i = AddSubSecond(f, i, tokens);
    }
    return tokens;
}

bool IsHourToken(const TToken& t) { return t.Kind == TKind::Hour || t.Kind == TKind::ElapsedHours; }
bool IsSecondToken(const TToken& t) { return t.Kind == TKind::Second || t.Kind == TKind::ElapsedSeconds; }
bool IsAmPmToken(const TToken& t) { return t.Kind == TKind::AmPm || t.Kind == TKind::AP || t.Kind == TKind::AmPmLocale; }

// A run of m means minutes right after an hour or right before seconds; an
// hour uses the 12-hour clock once an AM/PM token follows it before the next hour.
void ResolveTokens(std::vector<TToken>& tokens)
{
    const std::vector<TToken> original = tokens;
    auto neighbour = [&](size_t i, int step) -> const TToken* {
        for (long j = static_cast<long>(i) + step; j >= 0 && j < static_cast<long>(original.size()); j += step)
            if (IsLetterToken(original[j])) return &original[j];
        return nullptr;
    };
    bool twelveHour = false;
    for (size_t i = 0; i < tokens.size(); ++i) {
        TToken& t = tokens[i];
        if (t.Kind == TKind::Month) {
            const TToken* prev = neighbour(i, -1);
            const TToken* next = neighbour(i, +1);
            if ((prev && IsHourToken(*prev)) || (next && IsSecondToken(*next))) t.Kind = TKind::Minute;
        } else if (t.Kind == TKind::Hour) {
            for (size_t j = i + 1; !twelveHour && j < tokens.size() && !IsHourToken(tokens[j]); ++j)
                twelveHour = IsAmPmToken(tokens[j]);
            t.TwelveHour = twelveHour;
        }
    }
}

// The parts of a date value, rounded to the precision the format shows.
struct TMoment {
    long long Year = 0, Month = 0, Day = 0, DayOfWeek = 0; // DayOfWeek 0 = Sunday
    long long Hour = 0, Minute = 0, Second = 0, Sub = 0;   // Sub in units of 10^-Precision s
    int Precision = 0;
    bool Midnight = true;
    bool ElapsedNegative = false;
    long long ElapsedUnits = 0; // |serial| in units of 10^-Precision s
};

long long Pow10(int n)
{
    long long p = 1;
    while (n-- > 0) p *= 10;
    return p;
}

void SetTimeOfDay(TMoment& m, long long units)
{
    const long long perSecond = Pow10(m.Precision);
    m.Sub = units % perSecond;
    long long seconds = units / perSecond;
    m.Second = seconds % 60;
    m.Minute = seconds / 60 % 60;
    m.Hour = seconds / 3600 % 24;
}

// Civil date of a day count since 1970-01-01 (proleptic Gregorian).
void CivilFromDays(long long z, TMoment& m)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    m.Day = doy - (153 * mp + 2) / 5 + 1;
    m.Month = mp < 10 ? mp + 3 : mp - 9;
    m.Year = yoe + era * 400 + (m.Month <= 2 ? 1 : 0);
}

// A negative value counts its days back from 1899-12-30 and its fraction,
// taken as positive, as the time of day.
TMoment MomentOf(double d, int precision, bool date1904, bool elapsed)
{
    TMoment m;
    m.Precision = precision;
    const long long perDay = 86400 * Pow10(precision);
    const long long units = std::llround(std::fabs(d) * static_cast<double>(perDay));
    const long long days = (d < 0 ? -1 : 1) * (units / perDay);
    CivilFromDays(days - kDaysTo1970, m);
    m.DayOfWeek = ((days - kDaysTo1970) % 7 + 7 + 4) % 7; // 1970-01-01 was a Thursday
    SetTimeOfDay(m, units % perDay);
    m.Midnight = units % perDay == 0;

    // The serial the file stored, which the elapsed-time tokens count.
    const double serial = date1904 ? d - 1462 : d < 61 ? d - 1 : d;
    m.ElapsedUnits = std::llround(std::fabs(serial) * static_cast<double>(perDay));
    m.ElapsedNegative = serial < 0 && m.ElapsedUnits != 0;
    if (elapsed) SetTimeOfDay(m, m.ElapsedUnits % perDay);
    return m;
}

// A date format made ready for formatting: its resolved tokens and what they
// need of the value.
struct TDatePlan {
    std::vector<TToken> Tokens;
    int Precision = 0; // seconds unless the format shows parts of a second
    bool Elapsed = false;
};

void MakeDatePlan(const std::string& f, TDatePlan& plan)
{
    plan.Tokens = Tokenize(f.empty() ? std::string("c") : f);
    ResolveTokens(plan.Tokens);
    for (const TToken& t : plan.Tokens) {
        if (t.Kind == TKind::SubSecond) plan.Precision = std::max(plan.Precision, t.Count);
        if (t.Kind == TKind::Milli) plan.Precision = 3;
        if (t.Kind == TKind::ElapsedHours || t.Kind == TKind::ElapsedMinutes || t.Kind == TKind::ElapsedSeconds)
            plan.Elapsed = true;
    }
}

std::string Format(const std::string& f, double d, const TLocale& locale, bool date1904, int depth);

struct TRenderer {
    const TMoment& M;
    double Value;
    const TLocale& Locale;
    bool Date1904;
    int Depth;

    std::string Expand(const std::string& pattern) const
    {
        return Depth < kMaxExpansionDepth ? Format(pattern, Value, Locale, Date1904, Depth + 1) : "";
    }

    std::string Elapsed(long long total, int count) const
    {
        return (M.ElapsedNegative ? "-" : "") + PaddedNumber(total, count);
    }

    std::string Write(const TToken& t) const
    {
        const long long perSecond = Pow10(M.Precision);
        switch (t.Kind) {
        case TKind::Literal: case TKind::Text: return t.Text;
        case TKind::Day:
            if (t.Count <= 2) return PaddedNumber(M.Day, t.Count);
            if (t.Count == 3) return Locale.ShortDayNames[M.DayOfWeek];
            if (t.Count == 4) return Locale.LongDayNames[M.DayOfWeek];
            return Expand(t.Count == 5 ? Locale.ShortDatePattern : Locale.LongDatePattern);
        case TKind::Month:
            if (t.Count <= 2) return PaddedNumber(M.Month, t.Count);
            return t.Count == 3 ? Locale.ShortMonthNames[M.Month - 1] : Locale.LongMonthNames[M.Month - 1];
        case TKind::Year: return t.Count <= 2 ? PaddedNumber(M.Year % 100, 2) : PaddedNumber(M.Year, 4);
        case TKind::Hour: {
            long long h = M.Hour;
            if (t.TwelveHour) h = h % 12 == 0 ? 12 : h % 12;
            return PaddedNumber(h, t.Count >= 2 ? 2 : 1);
        }
        case TKind::Minute: return PaddedNumber(M.Minute, t.Count >= 2 ? 2 : 1);
        case TKind::Second: return PaddedNumber(M.Second, t.Count >= 2 ? 2 : 1);
        case TKind::Milli: return PaddedNumber(M.Sub * Pow10(3 - M.Precision), t.Count >= 3 ? 3 : 1);
        case TKind::SubSecond: return PaddedNumber(M.Sub / Pow10(M.Precision - t.Count), t.Count);
        case TKind::ElapsedHours: return Elapsed(M.ElapsedUnits / perSecond / 3600, t.Count);
        case TKind::ElapsedMinutes: return Elapsed(M.ElapsedUnits / perSecond / 60, t.Count);
        case TKind::ElapsedSeconds: return Elapsed(M.ElapsedUnits / perSecond, t.Count);
        case TKind::AmPm: return M.Hour < 12 ? t.Text.substr(0, 2) : t.Text.substr(3, 2);
        case TKind::AP: return std::string(1, M.Hour < 12 ? t.Text[0] : t.Text[2]);
        case TKind::AmPmLocale: return M.Hour < 12 ? Locale.MorningText : Locale.AfternoonText;
        case TKind::DateAndTime:
            return Expand(Locale.ShortDatePattern) + (M.Midnight ? "" : " " + Expand(Locale.LongTimePattern));
        case TKind::Time: return Expand(t.Count == 1 ? Locale.ShortTimePattern : Locale.LongTimePattern);
        case TKind::EraYear: return PaddedNumber(M.Year, t.Count >= 2 ? 2 : 1);
        case TKind::Era: return Locale.EraName;
        case TKind::DateSeparator: return Locale.DateSeparator;
        case TKind::TimeSeparator: return Locale.TimeSeparator;
        }
        return "";
    }
};

std::string Format(const std::string& f, double d, const TLocale& locale, bool date1904, int depth)
{
    if (!std::isfinite(d) || d < kFirstDay || d >= kEndDay) return GeneralNumberText(d, locale);
    TDatePlan scratch;
    const TDatePlan& plan = TFormatCache<TDatePlan>::Get(f, scratch, MakeDatePlan);
    const TMoment moment = MomentOf(d, plan.Precision, date1904, plan.Elapsed);
    const TRenderer renderer{moment, d, locale, date1904, depth};
    std::string out;
    for (const TToken& t : plan.Tokens) out += renderer.Write(t);
    return out;
}

} // namespace

std::string FormatDateText(const std::string& f, double d, const TLocale& locale, bool date1904)
{
    return Format(f, d, locale, date1904, 0);
}

std::string FormatDateText(const std::string& f, double d) { return FormatDateText(f, d, UserLocale(), false); }
