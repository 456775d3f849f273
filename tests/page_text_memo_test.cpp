#include <gtest/gtest.h>

#include <bit>
#include <string>

#include "html/PageTextMemo.h"
#include "styles/Variant.h"

// A date's text is found only under its own value and format, however many
// dates share the table's places; a text is found by its slot or its object.
TEST(PageTextMemo, FindsOnlyWhatWasKeptUnderTheSameKey)
{
    TPageTextMemo memo;
    const std::string dayFirst = "dd.mm.yyyy", monthFirst = "mm/dd/yyyy";
    auto textOf = [](const std::string& format, int day) { return format.substr(0, 2) + std::to_string(day); };
    for (int day = 0; day < 40000; ++day)
        for (const std::string* format : {&dayFirst, &monthFirst})
            memo.KeepDate(format, std::bit_cast<uint64_t>(double(day)), textOf(*format, day));
    int found = 0;
    for (int day = 0; day < 40000; ++day)
        for (const std::string* format : {&dayFirst, &monthFirst}) {
            std::string piece = "<td>";
            if (memo.AppendDate(format, std::bit_cast<uint64_t>(double(day)), piece)) {
                ++found;
                EXPECT_EQ(piece, "<td>" + textOf(*format, day));
            } else {
                EXPECT_EQ(piece, "<td>");
            }
        }
    EXPECT_GT(found, 1000); // the last dates kept are there
    std::string piece;
    EXPECT_FALSE(memo.AppendDate(&dayFirst, std::bit_cast<uint64_t>(40000.5), piece));
    memo.KeepDate(&dayFirst, 1, std::string(16, 'x')); // longer than a place holds: made again each time
    EXPECT_FALSE(memo.AppendDate(&dayFirst, 1, piece));

    EXPECT_EQ(memo.Text(7u), nullptr);
    memo.Keep(7u, "x&amp;y");
    ASSERT_NE(memo.Text(7u), nullptr);
    EXPECT_EQ(*memo.Text(7u), "x&amp;y");
    EXPECT_EQ(memo.Text(6u), nullptr);
    const TVariant a = TVariant::Wide(u"a"), b = TVariant::Wide(u"a");
    memo.Keep(&a, "a");
    ASSERT_NE(memo.Text(&a), nullptr);
    EXPECT_EQ(memo.Text(&b), nullptr);
}
