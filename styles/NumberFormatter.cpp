// The number formatter: the general form and one-section formats of "0", "#",
// ".", ",", "E+"/"E-" and quoted text, with the locale's separators.
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "styles/FormatCache.h"
#include "styles/FormatParts.h"
#include "styles/XLSFormat.h"

namespace {

const size_t kMaxFormatLength = 224;
const int kDisplayedDigits = 15; // what a spreadsheet keeps of a value
const int kMaxIntegerDigits = 18;

// Where the placeholders of a format stand.
struct TLayout {
    int IntPlaceholders = 0; // "0"/"#" before the point
    int MinIntDigits = 0;    // from the first "0" before the point onward
    int Decimals = 0;        // placeholders after the point
    int MinDecimals = 0;     // up to the last "0" after the point
    bool Grouping = false;
    int Scale = 0;           // scaling commas: the value is divided by 1000 per comma
    bool Scientific = false;
    bool HashBeforePoint = false;
    size_t ExponentPos = std::string::npos; // the "E"/"e" of "E+"/"E-"
    int ExponentZeros = 0;
};

bool IsPlaceholder(char c) { return c == '0' || c == '#'; }

bool IsExponentAt(const std::string& f, size_t i)
{
    return (f[i] == 'E' || f[i] == 'e') && i + 1 < f.size() && (f[i + 1] == '+' || f[i + 1] == '-');
}

// A "0" or "#" after position i and before any exponent, outside quotes.
bool PlaceholderAfter(const std::string& f, size_t i)
{
    while (i < f.size()) {
        if (IsQuote(f[i])) { std::string skipped; i = CopyQuoted(f, i, skipped); continue; }
        if (IsPlaceholder(f[i])) return true;
        if (IsExponentAt(f, i)) return false;
        ++i;
    }
    return false;
}

TLayout ScanLayout(const std::string& f)
{
    TLayout l;
    bool point = false;
    int firstZero = -1;
    for (size_t i = 0; i < f.size();) {
        char c = f[i];
        if (IsQuote(c)) {
            std::string skipped;
            i = CopyQuoted(f, i, skipped);
            continue;
        }
        if (c == ',') {
            // Commas right after the last placeholder before the point or of
            // the whole number scale; the others group the integer digits.
            size_t end = f.find_first_not_of(',', i);
            if (end == std::string::npos) end = f.size();
            const bool scales = !l.Scientific && i > 0 && IsPlaceholder(f[i - 1]) &&
                                ((!point && end < f.size() && f[end] == '.') || !PlaceholderAfter(f, end));
            if (scales) l.Scale += static_cast<int>(end - i);
            else l.Grouping = true;
            i = end;
            continue;
        }
        if (c == '.' && !l.Scientific) point = true;
        else if (IsPlaceholder(c) && !l.Scientific) {
            if (!point) {
                if (c == '0' && firstZero < 0) firstZero = l.IntPlaceholders;
                if (c == '#') l.HashBeforePoint = true;
                ++l.IntPlaceholders;
            } else {
                ++l.Decimals;
                if (c == '0') l.MinDecimals = l.Decimals;
            }
        } else if (!l.Scientific && IsExponentAt(f, i)) {
            l.Scientific = true;
            l.ExponentPos = i;
            i += 2;
            while (i < f.size() && f[i] == '0') { ++l.ExponentZeros; ++i; }
            continue;
        }
        ++i;
    }
    if (firstZero >= 0) l.MinIntDigits = l.IntPlaceholders - firstZero;
    return l;
}

// The digits a formatted number writes.
struct TDigits {
    std::string Integer;  // padded to the forced integer digits
    std::string Fraction; // the decimals that are shown
    int Exponent = 0;
    bool Zero = true;     // the shown value is zero (no minus sign)
};

// The digits a spreadsheet shows of x, divided by 1000 per scaling comma.
TDecimal ScaledDecimal(double x, const TLayout& l)
{
    TDecimal d = DisplayedDecimal(x);
    if (!d.Digits.empty()) d.Exponent -= 3 * l.Scale;
    return d;
}

// Mantissa and exponent for scientific notation. With "#" among several
// integer placeholders the exponent is a multiple of their number
// ("##0.0E+0" is engineering notation); otherwise the mantissa has as many
// integer digits as there are placeholders (at least one).
void Scientific(double x, const TLayout& l, TDecimal& mantissa, int& exponent)
{
    exponent = 0;
    mantissa = ScaledDecimal(x, l);
    if (mantissa.Digits.empty()) return;
    int places = l.IntPlaceholders > 0 ? l.IntPlaceholders : 1;
    for (int attempt = 0; attempt < 2; ++attempt) {
        int e10 = mantissa.Exponent;
        int intDigits = places;
        if (l.HashBeforePoint && places > 1) {
            int shift = ((e10 % places) + places) % places;
            intDigits = shift + 1;
        }
        exponent = e10 - (intDigits - 1);
        TDecimal m = mantissa;
        m.Exponent = intDigits - 1;
        RoundDecimal(m, l.Decimals);
        if (m.Exponent == intDigits - 1 || attempt == 1) { mantissa = m; return; }
        // rounding carried into a new digit (9.99 -> 10.0): lay out 10^(e10+1)
        mantissa.Digits = "1";
        mantissa.Exponent = e10 + 1;
    }
}

std::string Grouped(const std::string& digits, const TLayout& l, const TLocale& locale)
{
    if (!l.Grouping) return digits;
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        out += digits[i];
        size_t fromRight = digits.size() - 1 - i;
        if (fromRight > 0 && fromRight % 3 == 0) out += locale.GroupingSeparator;
    }
    return out;
}

// Writes the format left to right with the digits in their places.
std::string WriteOut(const std::string& f, const TLayout& l, const TDigits& d, bool negative, const TLocale& locale)
{
    std::string out;
    const std::string& ints = d.Integer;
    const int len = static_cast<int>(ints.size());
    bool point = false;
    int intIndex = 0, decIndex = 0;
    auto writeIntDigit = [&](int fromRight) {
        out += ints[len - 1 - fromRight];
        if (l.Grouping && fromRight > 0 && fromRight % 3 == 0) out += locale.GroupingSeparator;
    };
    for (size_t i = 0; i < f.size();) {
        char c = f[i];
        if (IsQuote(c)) { i = CopyQuoted(f, i, out); continue; }
        if (i == l.ExponentPos) {
            out += c;
            if (f[i + 1] == '+') out += d.Exponent < 0 ? '-' : '+';
            else if (d.Exponent < 0) out += '-';
            out += PaddedNumber(std::llabs(d.Exponent), std::min(l.ExponentZeros, 4));
            i += 2 + l.ExponentZeros;
            continue;
        }
        bool mantissaPart = l.ExponentPos == std::string::npos || i < l.ExponentPos;
        if (IsPlaceholder(c) && mantissaPart) {
            if (!point) {
                int own = l.IntPlaceholders - 1 - intIndex;
                // the first placeholder also writes the digits the others cannot hold
                for (int p = intIndex == 0 ? len - 1 : own; p >= own; --p)
                    if (p < len) writeIntDigit(p);
                ++intIndex;
            } else {
                if (decIndex < static_cast<int>(d.Fraction.size())) out += d.Fraction[decIndex];
                ++decIndex;
            }
        } else if (c == '.' && mantissaPart && !point) {
            point = true;
            if (l.IntPlaceholders == 0) out += Grouped(ints, l, locale);
            if (!d.Fraction.empty()) out += locale.DecimalSeparator;
        } else if (c != '.' && c != ',') {
            out += c;
        }
        ++i;
    }
    return negative ? "-" + out : out;
}

std::string FormatWithLayout(const std::string& f, const TLayout& l, double x, const TLocale& locale)
{
    TDigits d;
    TDecimal value;
    if (l.Scientific) {
        Scientific(x, l, value, d.Exponent);
    } else {
        value = ScaledDecimal(x, l);
        RoundDecimal(value, l.Decimals);
        if (!value.Digits.empty() && value.Exponent + 1 > kMaxIntegerDigits) return GeneralNumberText(x, locale);
    }
    d.Zero = value.Digits.empty();
    d.Integer = IntegerDigits(value);
    if (static_cast<int>(d.Integer.size()) < l.MinIntDigits)
        d.Integer.insert(0, l.MinIntDigits - d.Integer.size(), '0');
    d.Fraction = FractionDigits(value, l.Decimals);
    size_t shown = d.Fraction.find_last_not_of('0');
    shown = shown == std::string::npos ? 0 : shown + 1;
    d.Fraction.resize(std::max<size_t>(shown, l.MinDecimals));
    return WriteOut(f, l, d, x < 0 && !d.Zero, locale);
}

// The format up to its first ";" outside quotes.
std::string FirstSection(const std::string& f)
{
    for (size_t i = 0; i < f.size();) {
        if (IsQuote(f[i])) { std::string skipped; i = CopyQuoted(f, i, skipped); continue; }
        if (f[i] == ';') return f.substr(0, i);
        ++i;
    }
    return f;
}

// A format text made ready for formatting: its first section and, unless that
// is a fraction format, where its placeholders stand.
struct TNumberPlan {
    std::string Section;
    bool MaybeFraction = false; // fraction formats need a "/"
    bool Plain = false;         // only "0", "#", grouping commas and points, as "#,##0.00"
    TLayout Layout;
};

void MakeNumberPlan(const std::string& f, TNumberPlan& plan)
{
    plan.Section = FirstSection(f);
    plan.MaybeFraction = plan.Section.find('/') != std::string::npos;
    plan.Layout = ScanLayout(plan.Section);
    plan.Plain = !plan.Section.empty() && plan.Section.find_first_not_of("0#,.") == std::string::npos &&
                 plan.Layout.Scale == 0 && plan.Layout.IntPlaceholders + plan.Layout.Decimals > 0;
}

} // namespace

namespace {

constexpr std::array<unsigned __int128, 23> kPowersOfTen = [] {
    std::array<unsigned __int128, 23> powers{};
    powers[0] = 1;
    for (size_t i = 1; i < powers.size(); ++i) powers[i] = powers[i - 1] * 10;
    return powers;
}();

// The `significant` digits of x (1 <= significant <= 19) by exact integer
// arithmetic, rounded half to even as printf does: x = m * 2^e with e < 0 and
// x * 10^k below 2^128. False (and nothing written) for the other values.
bool ExactDigits(double x, int significant, char* digits, size_t& count, int& exponent)
{
    if (significant < 1 || significant > 19) return false;
    int binaryExponent;
    const double fraction = std::frexp(x, &binaryExponent); // x = fraction * 2^binaryExponent, 0.5 <= fraction < 1
    const uint64_t m = static_cast<uint64_t>(std::ldexp(fraction, 53));
    const int e = binaryExponent - 53;
    if (e >= 0 || e <= -128) return false;
    // floor(log10(x)) or one less; a rounding up to the next power of ten adds one more
    int magnitude = static_cast<int>(std::floor((binaryExponent - 1) * 0.30102999566398119521));
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int k = significant - 1 - magnitude;
        if (k < 0 || k > 22) return false;
        const unsigned __int128 scaled = m * kPowersOfTen[k];
        const int shift = -e;
        unsigned __int128 q = scaled >> shift;
        const unsigned __int128 rest = scaled - (q << shift), half = static_cast<unsigned __int128>(1) << (shift - 1);
        if (rest > half || (rest == half && (q & 1))) ++q;
        if (q < kPowersOfTen[significant - 1]) { --magnitude; continue; }
        if (q >= kPowersOfTen[significant]) { ++magnitude; continue; }
        count = static_cast<size_t>(significant);
        uint64_t rest64 = static_cast<uint64_t>(q); // below 10^19
        for (size_t i = count; i-- > 0; rest64 /= 10) digits[i] = static_cast<char>('0' + rest64 % 10);
        exponent = magnitude;
        return true;
    }
    return false;
}

} // namespace

namespace {

// The digits of to_chars' scientific form "d.ddddde+XX" and its exponent.
void ReadScientific(const char* text, const char* end, char* digits, size_t& count, int& exponent)
{
    const char* e = text;
    for (; e < end && *e != 'e'; ++e)
        if (*e >= '0' && *e <= '9') digits[count++] = *e;
    if (e < end) std::from_chars(e + (e[1] == '+' ? 2 : 1), end, exponent);
}

// Rounds the digits of d1.d2d3... x 10^exponent half away from zero to
// `decimals` places after the point and drops trailing zeros: RoundDecimal
// on a character array.
void RoundDigits(char* digits, size_t& count, int& exponent, int decimals)
{
    const long long keep = static_cast<long long>(exponent) + 1 + decimals;
    if (keep >= static_cast<long long>(count)) return;
    if (keep < 0) { count = 0; exponent = 0; return; }
    const bool up = digits[keep] >= '5';
    count = static_cast<size_t>(keep);
    if (up) {
        long long i = keep - 1;
        while (i >= 0 && digits[i] == '9') digits[i--] = '0';
        if (i >= 0) {
            ++digits[i];
        } else {
            std::memmove(digits + 1, digits, count);
            digits[0] = '1';
            ++count;
            ++exponent;
        }
    }
    while (count > 0 && digits[count - 1] == '0') --count;
    if (count == 0) exponent = 0;
}

// The digits a spreadsheet shows of a positive finite magnitude: the
// shortest digits that read back as it (the decimal value the cell holds, not
// the binary expansion of the double), without trailing zeros, rounded to 15
// significant digits.
void DisplayedDigits(double magnitude, char* digits, size_t& count, int& exponent)
{
    char buf[64];
    count = 0;
    exponent = 0;
    const char* end = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific).ptr;
    ReadScientific(buf, end, digits, count, exponent);
    while (count > 0 && digits[count - 1] == '0') --count;
    if (count == 0) exponent = 0;
    RoundDigits(digits, count, exponent, kDisplayedDigits - 1 - exponent);
}

TDecimal DecimalOf(const char* digits, size_t count, int exponent)
{
    while (count > 0 && digits[count - 1] == '0') --count;
    TDecimal d;
    d.Digits.assign(digits, count);
    d.Exponent = count > 0 ? exponent : 0;
    return d;
}

} // namespace

TDecimal ToDecimal(double x, int significant)
{
    x = std::fabs(x);
    if (x == 0 || !std::isfinite(x)) return {};
    char digits[64];
    size_t count = 0;
    int exponent = 0;
    if (!ExactDigits(x, significant, digits, count, exponent)) {
        // correctly rounded as printf's "%.*e" writes it
        char buf[64];
        const char* end = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, significant - 1).ptr;
        ReadScientific(buf, end, digits, count, exponent);
    }
    return DecimalOf(digits, count, exponent);
}

TDecimal DisplayedDecimal(double x)
{
    x = std::fabs(x);
    if (x == 0 || !std::isfinite(x)) return {};
    char digits[64];
    size_t count = 0;
    int exponent = 0;
    DisplayedDigits(x, digits, count, exponent);
    return DecimalOf(digits, count, exponent);
}

void RoundDecimal(TDecimal& d, int decimals)
{
    size_t count = d.Digits.size();
    RoundDigits(d.Digits.data(), count, d.Exponent, decimals);
    d.Digits.resize(count);
}

std::string IntegerDigits(const TDecimal& d)
{
    if (d.Digits.empty() || d.Exponent < 0) return "";
    std::string out = d.Digits.substr(0, d.Exponent + 1);
    out.resize(d.Exponent + 1, '0');
    return out;
}

std::string FractionDigits(const TDecimal& d, int count)
{
    std::string out;
    for (int k = 0; k < count; ++k) {
        long long index = static_cast<long long>(d.Exponent) + 1 + k; // digit k after the point
        out += index >= 0 && index < static_cast<long long>(d.Digits.size()) ? d.Digits[index] : '0';
    }
    return out;
}

std::string NonFiniteText(double x)
{
    if (std::isnan(x)) return "NAN";
    if (std::isinf(x)) return x < 0 ? "-INF" : "INF";
    return "";
}

std::string GeneralNumberText(double x, const TLocale& locale)
{
    if (!std::isfinite(x)) return NonFiniteText(x);
    TDecimal d = DisplayedDecimal(x);
    if (d.Digits.empty()) return "0";
    std::string out = x < 0 ? "-" : "";
    if (d.Exponent >= -4 && d.Exponent + 1 <= 15) {
        std::string ints = IntegerDigits(d);
        out += ints.empty() ? "0" : ints;
        int decimals = static_cast<int>(d.Digits.size()) - (d.Exponent + 1);
        if (decimals > 0) out += locale.DecimalSeparator + FractionDigits(d, decimals);
        return out;
    }
    out += d.Digits[0];
    if (d.Digits.size() > 1) out += locale.DecimalSeparator + d.Digits.substr(1);
    out += 'E';
    if (d.Exponent < 0) out += '-';
    out += std::to_string(std::abs(d.Exponent));
    return out;
}

std::string PaddedNumber(long long value, int width)
{
    std::string s = std::to_string(value);
    if (static_cast<int>(s.size()) < width) s.insert(0, width - s.size(), '0');
    return s;
}

namespace {

// FormatWithLayout for a plain layout, which writes the integer digits
// (grouped or not), then the decimal separator and the shown decimals: the
// same digits, made in place instead of in strings.
std::string FormatPlain(const TLayout& l, double x, const TLocale& locale)
{
    char digits[64];
    size_t count = 0;
    int exponent = 0;
    if (x != 0) {
        DisplayedDigits(std::fabs(x), digits, count, exponent);
        RoundDigits(digits, count, exponent, l.Decimals);
        if (count > 0 && exponent + 1 > kMaxIntegerDigits) return GeneralNumberText(x, locale);
    }
    auto digitAt = [&](long long index) { return index >= 0 && index < static_cast<long long>(count) ? digits[index] : '0'; };
    std::string out;
    if (x < 0 && count > 0) out += '-';
    const int ownDigits = count > 0 && exponent >= 0 ? exponent + 1 : 0;
    const int integerDigits = std::max(ownDigits, l.MinIntDigits);
    const int padding = integerDigits - ownDigits;
    for (int i = 0; i < integerDigits; ++i) {
        out += i < padding ? '0' : digitAt(i - padding);
        const int fromRight = integerDigits - 1 - i;
        if (l.Grouping && fromRight > 0 && fromRight % 3 == 0) out += locale.GroupingSeparator;
    }
    int shown = l.Decimals;
    while (shown > l.MinDecimals && digitAt(static_cast<long long>(exponent) + shown) == '0') --shown;
    if (shown > 0) {
        out += locale.DecimalSeparator;
        for (int k = 0; k < shown; ++k) out += digitAt(static_cast<long long>(exponent) + 1 + k);
    }
    return out;
}

} // namespace

std::string FormatNumberText(const std::string& f, double x, const TLocale& locale)
{
    if (f.size() > kMaxFormatLength) throw EConvertError("Format string too long");
    TNumberPlan scratch;
    const TNumberPlan& plan = TFormatCache<TNumberPlan>::Get(f, scratch, MakeNumberPlan);
    if (!std::isfinite(x)) return NonFiniteText(x);
    if (plan.Section.empty()) return GeneralNumberText(x, locale);
    if (plan.Plain) return FormatPlain(plan.Layout, x, locale);
    std::string fraction;
    if (plan.MaybeFraction && FormatFractionText(plan.Section, x, locale, fraction)) return fraction;
    return FormatWithLayout(plan.Section, plan.Layout, x, locale);
}

std::string FormatNumberText(const std::string& f, double x) { return FormatNumberText(f, x, UserLocale()); }
