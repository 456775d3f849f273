// The page texts made on two threads come back in row order, failures of
// the second thread reach the caller, and stopping early does not hang.
#include <gtest/gtest.h>

#include <stdexcept>

#include "html/BlockTexts.h"

namespace {

// Row r holds r % 3 texts: "r.0", "r.1".
void MakeTexts(int first, int last, std::string& texts, std::vector<uint32_t>& ends)
{
    for (int row = first; row <= last; ++row)
        for (int k = 0; k < row % 3; ++k) {
            texts += std::to_string(row) + "." + std::to_string(k);
            ends.push_back(uint32_t(texts.size()));
        }
}

TEST(BlockTexts, ComeBackInRowOrder)
{
    for (int blockRows : {1, 7, 64, 1000}) {
        TBlockTexts texts(5, 900, blockRows, MakeTexts);
        for (int row = 5; row <= 900; ++row)
            for (int k = 0; k < row % 3; ++k)
                ASSERT_EQ(texts.Next(row), std::to_string(row) + "." + std::to_string(k)) << blockRows;
    }
}

TEST(BlockTexts, AFailureOfEitherThreadReachesTheCaller)
{
    for (int failing : {3, 4}) { // the caller's block and one of the second thread's
        TBlockTexts texts(0, 99, 10, [&](int first, int last, std::string& out, std::vector<uint32_t>& ends) {
            if (first / 10 == failing)
                throw std::runtime_error("no text");
            MakeTexts(first, last, out, ends);
        });
        for (int row = 0; row < failing * 10; ++row)
            for (int k = 0; k < row % 3; ++k)
                ASSERT_EQ(texts.Next(row), std::to_string(row) + "." + std::to_string(k));
        EXPECT_THROW(texts.Next(failing * 10 + 1), std::runtime_error) << failing;
    }
}

TEST(BlockTexts, StoppingEarlyEndsTheSecondThread)
{
    TBlockTexts texts(0, 100000, 4, MakeTexts);
    EXPECT_EQ(texts.Next(1), "1.0");
    EXPECT_EQ(texts.Next(40), "40.0"); // the first text of a block several blocks on
}

} // namespace
