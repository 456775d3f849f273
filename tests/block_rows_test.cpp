// A page's rows made on two threads are written in row order; a block the
// second thread gives up on is made by the caller; failures of either
// thread reach the caller when the failed block's turn comes; stopping early
// does not hang.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <stdexcept>

#include "html/BlockRows.h"

namespace {

std::string Rows(int first, int last)
{
    std::string text;
    for (int row = first; row <= last; ++row)
        text += "<" + std::to_string(row) + ">";
    return text;
}

std::string WriteAll(TBlockRows& rows)
{
    std::string page;
    rows.WriteAll([&](std::string_view text) { page += text; });
    return page;
}

TEST(BlockRows, AreWrittenInRowOrder)
{
    for (int blockRows : {1, 7, 64, 1000}) {
        TBlockRows rows(5, 900, blockRows, [](int first, int last, std::string& out, bool) {
            out += Rows(first, last);
            return true;
        });
        EXPECT_EQ(WriteAll(rows), Rows(5, 900)) << blockRows;
    }
}

// Blocks are slow on one thread here, so that the other one surely takes
// some: each thread takes the next block as it comes free.
void SlowOn(bool slowThread, bool second)
{
    if (second == slowThread)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

TEST(BlockRows, TheCallerMakesWhatTheSecondThreadGivesUp)
{
    std::atomic<int> gaveUp = 0;
    TBlockRows rows(0, 99, 1, [&](int first, int last, std::string& out, bool second) {
        SlowOn(false, second);
        if (second) { // every block of the second thread
            out += "half-made";
            ++gaveUp;
            return false;
        }
        out += Rows(first, last);
        return true;
    });
    EXPECT_EQ(WriteAll(rows), Rows(0, 99));
    EXPECT_GT(gaveUp.load(), 0);
}

TEST(BlockRows, AFailureOfEitherThreadReachesTheCallerInItsTurn)
{
    for (bool onSecond : {false, true}) {
        std::atomic<int> failed = -1; // the first block of that thread fails
        TBlockRows rows(0, 99, 1, [&](int first, int last, std::string& out, bool second) {
            SlowOn(!onSecond, second);
            int none = -1;
            if (second == onSecond && failed.compare_exchange_strong(none, first))
                throw std::runtime_error("no rows");
            out += Rows(first, last);
            return true;
        });
        std::string page;
        EXPECT_THROW(rows.WriteAll([&](std::string_view text) { page += text; }), std::runtime_error) << onSecond;
        ASSERT_GE(failed.load(), 0);
        EXPECT_EQ(page, Rows(0, failed.load() - 1)); // the blocks before it, and no more
    }
}

TEST(BlockRows, AFailingWriteStopsTheSecondThread)
{
    TBlockRows rows(0, 100000, 4, [](int first, int last, std::string& out, bool) {
        out += Rows(first, last);
        return true;
    });
    int written = 0;
    EXPECT_THROW(rows.WriteAll([&](std::string_view) {
        if (++written == 3)
            throw std::runtime_error("disk full");
    }),
                 std::runtime_error);
}

} // namespace
