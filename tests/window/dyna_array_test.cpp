// TDynaArray: reserved space in steps of 100, the cursor and its bound
// variable, Delete, Seek and the First / Next iteration.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "app/DynaArray.h"
#include "styles/XLSError.h"

namespace {

void AppendValue(TDynaArray& array, void*& cursor, int32_t value)
{
    array.Append();
    *static_cast<int32_t*>(cursor) = value;
}

std::vector<int32_t> Iterate(TDynaArray& array, void*& cursor)
{
    std::vector<int32_t> values;
    array.First();
    while (array.Next())
        values.push_back(*static_cast<int32_t*>(cursor));
    return values;
}

} // namespace

TEST(DynaArray, AppendZeroesTheNewElementAndMakesItCurrent)
{
    void* cursor = reinterpret_cast<void*>(1);
    TDynaArray array(8, &cursor);
    EXPECT_EQ(cursor, nullptr);
    EXPECT_EQ(array.CurrentIndex(), -1);
    EXPECT_EQ(array.Reserved(), 0);

    array.Append();
    std::vector<unsigned char> zero(8, 0);
    EXPECT_EQ(std::vector<unsigned char>(static_cast<unsigned char*>(cursor), static_cast<unsigned char*>(cursor) + 8),
              zero);
    EXPECT_EQ(array.CurrentIndex(), 0);
    EXPECT_EQ(cursor, array.Items(0));
    EXPECT_EQ(array.Current(), cursor);
}

TEST(DynaArray, ReservedSpaceGrowsAndShrinksInStepsOfHundred)
{
    void* cursor = nullptr;
    TDynaArray array(4, &cursor);
    struct TStep {
        int Count;
        int Reserved;
    };
    // Up to 250 elements, then back down to none by Delete.
    for (int i = 1; i <= 250; ++i) {
        AppendValue(array, cursor, i);
        EXPECT_EQ(array.Reserved(), ((i + 99) / 100) * 100) << i;
    }
    for (TStep step : {TStep {201, 300}, TStep {200, 200}, TStep {101, 200}, TStep {100, 100}, TStep {1, 100},
                       TStep {0, 100}}) {
        while (array.Count() > step.Count)
            array.Delete(array.Count() - 1);
        EXPECT_EQ(array.Reserved(), step.Reserved) << step.Count;
    }
    array.Clear();
    EXPECT_EQ(array.Reserved(), 0);
    EXPECT_EQ(array.Count(), 0);
}

TEST(DynaArray, ValuesSurviveTheMoveIntoALargerBlock)
{
    void* cursor = nullptr;
    TDynaArray array(4, &cursor);
    std::vector<int32_t> expected;
    for (int32_t i = 0; i < 305; ++i) {
        AppendValue(array, cursor, i * 7);
        expected.push_back(i * 7);
    }
    EXPECT_EQ(Iterate(array, cursor), expected);
}

TEST(DynaArray, DeleteMovesTheRestDownAndClearsTheCursor)
{
    void* cursor = nullptr;
    TDynaArray array(4, &cursor);
    for (int32_t v : {10, 20, 30, 40})
        AppendValue(array, cursor, v);

    array.Delete(1);
    EXPECT_EQ(array.CurrentIndex(), -1);
    EXPECT_EQ(cursor, nullptr);
    EXPECT_EQ(Iterate(array, cursor), (std::vector<int32_t> {10, 30, 40}));

    for (int outside : {-1, 3, 1000}) {
        array.Seek(0);
        array.Delete(outside);
        EXPECT_EQ(array.Count(), 3) << outside;
        EXPECT_EQ(cursor, array.Items(0)) << "an ignored Delete keeps the cursor";
    }
}

TEST(DynaArray, SeekPositionsTheCursorAndRefusesIndexesOutside)
{
    void* cursor = nullptr;
    TDynaArray array(4, &cursor);
    for (int32_t v : {5, 6, 7})
        AppendValue(array, cursor, v);
    array.Seek(1);
    EXPECT_EQ(*static_cast<int32_t*>(cursor), 6);
    EXPECT_EQ(array.CurrentIndex(), 1);
    EXPECT_THROW(array.Seek(3), ERangeError);
    EXPECT_THROW(array.Seek(-1), ERangeError);
    EXPECT_THROW(array.Items(3), ERangeError);
}

TEST(DynaArray, NextVisitsEveryElementOnceAndThenStops)
{
    void* cursor = nullptr;
    TDynaArray array(4, &cursor);
    EXPECT_TRUE(Iterate(array, cursor).empty());
    array.First();
    EXPECT_EQ(array.CurrentIndex(), -1) << "First on an empty array changes nothing";

    for (int32_t v : {1, 2, 3})
        AppendValue(array, cursor, v);
    EXPECT_EQ(Iterate(array, cursor), (std::vector<int32_t> {1, 2, 3}));
    // After the run the last element stays current and Next keeps saying no.
    EXPECT_EQ(*static_cast<int32_t*>(cursor), 3);
    EXPECT_FALSE(array.Next());

    // Without First after a Delete there is no current index: Next says no.
    array.Delete(0);
    EXPECT_FALSE(array.Next());
}

TEST(DynaArray, WorksWithoutABoundVariable)
{
    TDynaArray array(2);
    array.Append();
    array.Append();
    EXPECT_EQ(array.Current(), array.Items(1));
    array.First();
    EXPECT_EQ(array.Current(), array.Items(0));
}
