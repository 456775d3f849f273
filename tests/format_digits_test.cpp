// The decimal digits the number formatter rounds from: exactly those of
// printf's "%.*e", including its ties to even, for the integer fast path and
// the general one alike.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "styles/FormatParts.h"

namespace {

TDecimal PrintfDecimal(double x, int significant)
{
    TDecimal d;
    x = std::fabs(x);
    if (x == 0 || !std::isfinite(x)) return d;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", significant - 1, x);
    const char* e = buf;
    for (; *e && *e != 'e'; ++e)
        if (*e >= '0' && *e <= '9') d.Digits += *e;
    d.Exponent = std::atoi(e + 1);
    d.Digits.erase(d.Digits.find_last_not_of('0') + 1);
    return d;
}

TEST(ToDecimal, KnownDigits)
{
    struct TCase { double X; int Significant; const char* Digits; int Exponent; };
    const TCase cases[] = {
        {2.675, 18, "267499999999999982", 0},
        {0.1, 18, "100000000000000006", -1},
        {std::ldexp(1.0, -27), 18, "745058059692382812", -9}, // ...8125: a tie, kept even
        {std::ldexp(3.0, -27), 18, "223517417907714844", -8}, // ...84375 rounds up
        {12345.678, 15, "12345678", 4},
        {-1e-5, 18, "100000000000000008", -5},
        {1e20, 18, "1", 20},
        {0, 18, "", 0},
    };
    for (const TCase& c : cases) {
        const TDecimal d = ToDecimal(c.X, c.Significant);
        EXPECT_EQ(d.Digits, c.Digits) << c.X;
        EXPECT_EQ(d.Exponent, c.Exponent) << c.X;
    }
}

TEST(ToDecimal, SameAsPrintfAcrossMagnitudes)
{
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int i = 0; i < 20000; ++i) {
        const double values[] = {
            unit(rng) * std::pow(10.0, static_cast<int>(rng() % 50) - 25),
            std::ldexp(static_cast<double>(rng() >> 40), -static_cast<int>(rng() % 70)),
            std::nextafter(std::pow(10.0, static_cast<int>(rng() % 40) - 20), (i & 1) ? 0.0 : 1e300),
        };
        for (const double x : values)
            for (const int significant : {15, 18}) {
                const TDecimal got = ToDecimal(x, significant), want = PrintfDecimal(x, significant);
                ASSERT_EQ(got.Digits, want.Digits) << x << " " << significant;
                ASSERT_EQ(got.Exponent, want.Exponent) << x << " " << significant;
            }
    }
}

} // namespace
