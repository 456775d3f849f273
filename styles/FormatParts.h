// Pieces the number, fraction and date formatters share.
#pragma once

#include <cstddef>
#include <string>

#include "platform/Locale.h"

// A positive finite number as decimal digits: value = d1.d2d3... x 10^Exponent.
// Digits has no trailing zeros; zero is the empty string.
struct TDecimal {
    std::string Digits;
    int Exponent = 0;
};

// |x| with `significant` digits (correctly rounded from the double).
TDecimal ToDecimal(double x, int significant);
// |x| as a spreadsheet shows it: its shortest round-trip digits rounded half
// away from zero to 15 significant digits. Formats round this further.
TDecimal DisplayedDecimal(double x);
// Rounds half away from zero to `decimals` digits after the point.
void RoundDecimal(TDecimal& d, int decimals);
// The integer digits of d ("" for a value below 1) and `count` digits after the point.
std::string IntegerDigits(const TDecimal& d);
std::string FractionDigits(const TDecimal& d, int count);

// The general form: at most 15 significant digits, plain or scientific.
std::string GeneralNumberText(double x, const TLocale& locale);
// "NAN", "INF", "-INF"; empty for a finite x.
std::string NonFiniteText(double x);

bool IsQuote(char c);
// f[i] is a quote: appends the quoted text without its quotes and returns
// the position after the closing quote (the end for an unclosed one).
size_t CopyQuoted(const std::string& f, size_t i, std::string& out);
// The text with the quotes of its quoted parts removed.
std::string UnquotedText(const std::string& text);
// The text without its quoted parts.
std::string OutsideQuotes(const std::string& text);

// Formats of the form "# ?/?", "# ??/100", "?/?": true and the text in `out`
// when f is one; false for every other format.
bool FormatFractionText(const std::string& f, double x, const TLocale& locale, std::string& out);

// Decimal digits of a non-negative number, padded with zeros to `width`.
std::string PaddedNumber(long long value, int width);
