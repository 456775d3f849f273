#include <gtest/gtest.h>

#include "platform/CodePage.h"
#include "platform/ScreenMetrics.h"

TEST(CodePage, WideToAnsiShowsWhatWindows1252Can)
{
    EXPECT_EQ(WideToAnsi(u"Abc"), "Abc");
    EXPECT_EQ(WideToAnsi(u"\u00E4\u00DF\u00FF"), "\xE4\xDF\xFF");
    EXPECT_EQ(WideToAnsi(u"\u20AC\u2014\u0178"), "\x80\x97\x9F");
    EXPECT_EQ(WideToAnsi(u"\u0100\u4E2D"), "??");
    EXPECT_EQ(WideToAnsi(u"a\U0001F600b"), "a?b"); // one "?" per surrogate pair
    EXPECT_EQ(WideToAnsi(std::u16string(u"\xD800x", 2)), "?x");
    EXPECT_EQ(WideToAnsi(u"\u0080"), "?");
    EXPECT_EQ(AnsiLengthOf(u"a\U0001F600b"), 3u);
}

TEST(CodePage, AnsiToWideIsTotalAndRoundTrips)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    const std::u16string wide = AnsiToWide(all);
    ASSERT_EQ(wide.size(), 256u);
    EXPECT_EQ(wide[0x80], u'\u20AC');
    EXPECT_EQ(wide[0x81], u'\u0081');
    EXPECT_EQ(wide[0x9D], u'\u009D');
    EXPECT_EQ(wide[0xE9], u'\u00E9');
    EXPECT_EQ(WideToAnsi(wide), all);
}

TEST(CodePage, Utf8BothWays)
{
    const std::u16string text = u"A\u00E4\u20AC\U0001F600";
    EXPECT_EQ(WideToUtf8(text), "A\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf8ToWide(WideToUtf8(text)), text);
    EXPECT_EQ(WideToUtf8(std::u16string(u"\xDC00", 1)), "\xEF\xBF\xBD");
    const std::pair<std::string, std::u16string> bad[] = {
        {"\xFF", u"\uFFFD"},
        {"a\x80z", u"a\uFFFDz"},
        {"\xE2\x82", u"\uFFFD"},          // cut short
        {"\xC0\x80", u"\uFFFD"},          // overlong
        {"\xED\xA0\x80", u"\uFFFD"},      // encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD"},  // above U+10FFFF
        {"\xE2" "A", u"\uFFFDA"},
    };
    for (const auto& [in, out] : bad)
        EXPECT_EQ(Utf8ToWide(in), out) << in;
}

TEST(ScreenMetrics, TwoSetsAndTheConversions)
{
    SetScreenResolution(96);
    EXPECT_EQ(ScreenMetrics().DefaultColumnWidth, 64);
    EXPECT_EQ(ScreenMetrics().DefaultRowHeight, 17);
    EXPECT_DOUBLE_EQ(PixelsToPoints(17), 12.75);
    EXPECT_DOUBLE_EQ(PointsToPixels(15), 20);
    EXPECT_NEAR(CharsToPixels(8.43), 64.01, 1e-9);
    EXPECT_NEAR(CharsToPixels(0.5), 5.995, 1e-3);
    EXPECT_NEAR(PixelsToChars(10), 0.834, 1e-12);
    EXPECT_NEAR(PixelsToChars(64), 59.0 / 7, 1e-12);
    EXPECT_NEAR(FileWidthToChars(2340), (2340.0 / 256 * 7 - 5) / 7, 1e-12);

    SetScreenResolution(120);
    EXPECT_EQ(ScreenResolution(), 120);
    EXPECT_EQ(ScreenMetrics().DefaultColumnWidth, 80);
    EXPECT_EQ(ScreenMetrics().DefaultRowHeight, 22);
    EXPECT_DOUBLE_EQ(PixelsToPoints(10), 6);
    EXPECT_DOUBLE_EQ(CharsToPixels(2), 25);
    EXPECT_NEAR(PixelsToChars(10), 0.626, 1e-12);
    SetScreenResolution(96);
}
