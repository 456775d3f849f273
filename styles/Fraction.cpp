// Fraction formats: "# ?/?", "# ??/??", fixed denominators ("# ?/8",
// "# ??/100") and fractions without a whole part ("?/?"). The value is shown
// as its whole part and the nearest fraction whose denominator has at most as
// many digits as the denominator has placeholders (or the fixed denominator).
#include <cmath>

#include "styles/FormatParts.h"
#include "styles/XLSFormat.h"

namespace {

const int kMaxDenominatorDigits = 9;

bool IsDigitPlaceholder(char c) { return c == '?' || c == '#' || c == '0'; }

struct TFractionFormat {
    std::string Whole;  // the digit part with what precedes it ("" without one)
    std::string Gap;    // between the digit part and the numerator
    std::string Prefix; // without a digit part: the text before the numerator
    long long MaxDenominator = 0;
    long long FixedDenominator = 0; // 0 when the denominator is placeholders
    std::string Suffix; // after the denominator
};

// Finds "numerator/denominator" outside quotes with the digit part before it.
bool ParseFraction(const std::string& f, TFractionFormat& out)
{
    for (size_t i = 0; i < f.size();) {
        if (IsQuote(f[i])) { std::string skipped; i = CopyQuoted(f, i, skipped); continue; }
        if (f[i] != '/') { ++i; continue; }
        size_t numStart = i;
        while (numStart > 0 && IsDigitPlaceholder(f[numStart - 1])) --numStart;
        size_t denEnd = i + 1;
        bool fixed = denEnd < f.size() && f[denEnd] >= '1' && f[denEnd] <= '9';
        while (denEnd < f.size() && (fixed ? (f[denEnd] >= '0' && f[denEnd] <= '9') : IsDigitPlaceholder(f[denEnd])))
            ++denEnd;
        const size_t denDigits = denEnd - i - 1;
        if (numStart == i || denDigits == 0) { ++i; continue; }

        // The part before the numerator: no decimal point or exponent there.
        const std::string before = f.substr(0, numStart);
        size_t lastPlaceholder = std::string::npos;
        for (size_t k = 0; k < before.size();) {
            if (IsQuote(before[k])) { std::string skipped; k = CopyQuoted(before, k, skipped); continue; }
            if (before[k] == '.' || before[k] == 'E' || before[k] == 'e') return false;
            if (IsDigitPlaceholder(before[k])) lastPlaceholder = k;
            ++k;
        }
        if (lastPlaceholder == std::string::npos) {
            out.Prefix = before;
        } else {
            out.Whole = before.substr(0, lastPlaceholder + 1);
            for (char& c : out.Whole)
                if (c == '?') c = '#';
            out.Gap = before.substr(lastPlaceholder + 1);
        }
        if (fixed) {
            if (denDigits > static_cast<size_t>(kMaxDenominatorDigits)) return false;
            out.FixedDenominator = std::stoll(f.substr(i + 1, denDigits));
        } else {
            int digits = static_cast<int>(std::min<size_t>(denDigits, kMaxDenominatorDigits));
            out.MaxDenominator = static_cast<long long>(std::pow(10.0, digits)) - 1;
        }
        out.Suffix = f.substr(denEnd);
        return true;
    }
    return false;
}

struct TRatio {
    long long Num = 0;
    long long Den = 1;
};

// The fraction nearest to `x` (0 <= x < 1) with a denominator up to `maxDen`:
// the last continued-fraction convergent within the bound or the best
// semiconvergent after it.
TRatio NearestFraction(double x, long long maxDen)
{
    long long p0 = 0, q0 = 1, p1 = 1, q1 = 0;
    double rest = x;
    for (int step = 0; step < 64; ++step) {
        double a = std::floor(rest);
        if (q1 > 0 && a > static_cast<double>(maxDen - q0) / q1) break;
        long long ai = static_cast<long long>(a);
        long long q2 = q0 + ai * q1;
        if (q2 > maxDen) break;
        long long p2 = p0 + ai * p1;
        p0 = p1; q0 = q1; p1 = p2; q1 = q2;
        double frac = rest - a;
        if (frac < 1e-12) break;
        rest = 1.0 / frac;
    }
    TRatio best{p1, q1};
    if (q1 > 0) {
        long long k = (maxDen - q0) / q1;
        TRatio semi{p0 + k * p1, q0 + k * q1};
        if (semi.Den > 0 && std::fabs(x - double(semi.Num) / semi.Den) < std::fabs(x - double(best.Num) / best.Den))
            best = semi;
    }
    return best;
}

TRatio FractionOf(double x, const TFractionFormat& f)
{
    if (f.FixedDenominator > 0) return {static_cast<long long>(std::floor(x * f.FixedDenominator + 0.5)), f.FixedDenominator};
    return NearestFraction(x, f.MaxDenominator);
}

std::string RatioText(const TRatio& r) { return std::to_string(r.Num) + "/" + std::to_string(r.Den); }

bool HasDigit(const std::string& s) { return s.find_first_of("0123456789") != std::string::npos; }

// The digit part with its last placeholder forced, so that a zero shows "0".
std::string ForcedZero(std::string whole)
{
    size_t last = whole.find_last_of("#0");
    if (last != std::string::npos) whole[last] = '0';
    return whole;
}

} // namespace

bool FormatFractionText(const std::string& f, double x, const TLocale& locale, std::string& out)
{
    TFractionFormat ff;
    if (!ParseFraction(f, ff)) return false;
    const double a = std::fabs(x);
    const std::string suffix = UnquotedText(ff.Suffix);
    if (ff.Whole.empty()) {
        // No digit part: the whole value goes into the numerator.
        if (a >= 1e15) { out = GeneralNumberText(x, locale); return true; }
        double whole = std::floor(a);
        TRatio r = FractionOf(a - whole, ff);
        r.Num += static_cast<long long>(whole) * r.Den;
        out = (x < 0 && r.Num > 0 ? "-" : "") + UnquotedText(ff.Prefix) + RatioText(r) + suffix;
        return true;
    }
    double whole = std::floor(a);
    TRatio r{0, 1};
    if (a < 1e15) {
        r = FractionOf(a - whole, ff);
        if (r.Num >= r.Den) { whole += 1; r.Num = 0; }
    }
    const bool negative = x < 0 && (whole > 0 || r.Num > 0);
    std::string wholeText = FormatNumberText(ff.Whole, whole, locale);
    if (r.Num == 0) {
        if (!HasDigit(wholeText)) wholeText = FormatNumberText(ForcedZero(ff.Whole), 0, locale);
        out = wholeText + suffix;
    } else if (!HasDigit(wholeText)) {
        out = wholeText + RatioText(r) + suffix;
    } else {
        out = wholeText + UnquotedText(ff.Gap) + RatioText(r) + suffix;
    }
    if (negative) out.insert(0, "-");
    return true;
}
