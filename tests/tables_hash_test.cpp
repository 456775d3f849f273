#include <gtest/gtest.h>

#include <stdexcept>

#include "styles/Crc32.h"
#include "styles/HList.h"
#include "styles/VDataTable.h"
#include "styles/XLSError.h"

TEST(Crc32, StartsAtSevenFsWithoutFinalInversion)
{
    EXPECT_EQ(Crc32Hash("", 0), 0x0FFFFFFFu);
    // One step by hand: T[(c ^ b) & 0xFF] ^ (c >> 8).
    const uint32_t oneByte = Crc32TableEntry((0x0FFFFFFF ^ 'a') & 0xFF) ^ (0x0FFFFFFFu >> 8);
    EXPECT_EQ(Crc32Hash("a"), oneByte);
    // The standard table: entry 1 and entry 128.
    EXPECT_EQ(Crc32TableEntry(1), 0x77073096u);
    EXPECT_EQ(Crc32TableEntry(128), 0xEDB88320u);
    // Differs from the standard CRC-32 of "123456789" (0xCBF43926) and from its non-inverted register.
    EXPECT_NE(Crc32Hash("123456789"), 0xCBF43926u);
    EXPECT_NE(Crc32Hash("123456789"), ~0xCBF43926u);
    EXPECT_EQ(Crc32Hash("123456789"), 0x2199DFC0u);
    EXPECT_EQ(Crc32Hash(std::string("\x05\x00\x03\x00", 4)), 0x7FF5710Eu); // the key of cell (5, 3)
    EXPECT_EQ(Crc32Hash("123456789"), Crc32Update(Crc32Update(Crc32Start, "1234", 4), "56789", 5));
}

namespace {

// A table over indices into a vector of strings.
struct StringTable {
    std::vector<std::string> keys;
    THashTable table;
    StringTable(uint32_t size, uint8_t kind)
        : table(size, [this](THashItem i, std::string& key) { key = keys[i]; }, kind)
    {
    }
    void Add(const std::string& k)
    {
        keys.push_back(k);
        table.Add(keys.size() - 1);
    }
};

} // namespace

TEST(HashTable, BadSizeIsRefused)
{
    for (uint32_t size : {0u, 65536u}) {
        try {
            THashTable t(size, nullptr, 0);
            FAIL() << size;
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "Bad hash table size !");
        }
    }
}

TEST(HashTable, FindReportsThroughFoundAndHandleZeroIsValid)
{
    for (uint32_t size : {1u, 7u, 16383u}) {
        StringTable t(size, HashKindCrc);
        EXPECT_EQ(t.table.Find("x"), 0u);
        EXPECT_FALSE(t.table.Found());
        t.Add("first");
        t.Add("second");
        t.Add("first");
        EXPECT_EQ(t.table.Find("first"), 0u);
        EXPECT_TRUE(t.table.Found());
        EXPECT_EQ(t.table.Find("second"), 1u);
        EXPECT_EQ(t.table.Find("firs"), 0u);
        EXPECT_FALSE(t.table.Found());
        // Removing the first occurrence leaves the duplicate findable.
        t.table.Remove(0);
        EXPECT_EQ(t.table.Find("first"), 2u);
        t.table.Remove(0); // no longer in its bucket: nothing happens
        EXPECT_EQ(t.table.Find("first"), 2u);
        t.table.ClearBuckets();
        t.table.Find("second");
        EXPECT_FALSE(t.table.Found());
        EXPECT_EQ(t.table.Size(), size);
    }
}

TEST(HashTable, HashKindsPickBuckets)
{
    THashTable crc(16383, nullptr, HashKindCrc), crc2(16383, nullptr, 2), sum(100, nullptr, HashKindSum);
    EXPECT_EQ(crc.BucketOf("abc"), Crc32Hash("abc") % 16383);
    EXPECT_EQ(crc2.BucketOf("abc"), crc.BucketOf("abc"));
    EXPECT_EQ(sum.BucketOf("abc"), (97u + 98u + 99u) % 100);
    EXPECT_EQ(sum.BucketOf("\xFF\xFF"), (255u + 255u) % 100);
}

TEST(HashTable, UnsetKeyEventMakesEveryKeyEmpty)
{
    THashTable t(3, nullptr, 0);
    t.Add(42);
    EXPECT_EQ(t.Find(""), 42u);
    EXPECT_TRUE(t.Found());
}

TEST(HashedList, IndexesObjectsByKey)
{
    std::string a = "alpha", b = "beta";
    THashedList list(5, [](THashItem object, std::string& key) { key = *reinterpret_cast<std::string*>(object); },
                     HashKindCrc);
    list.Add(static_cast<void*>(&a));
    list.Add(static_cast<void*>(&b));
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Items(1), &b);
    EXPECT_EQ(list.IndexOf("alpha"), 0);
    EXPECT_EQ(list.IndexOf("gamma"), -1);
    EXPECT_EQ(list.Find("beta"), reinterpret_cast<THashItem>(&b));
    EXPECT_EQ(list.Find("gamma"), 0u);
    EXPECT_THROW(list.Items(2), ERangeError);
}

TEST(HashedStringList, KeepsDuplicatesAndFindsTheEarliest)
{
    THashedStringList list(1, HashKindCrc);
    EXPECT_EQ(list.Add("x"), 0);
    EXPECT_EQ(list.Add("y"), 1);
    EXPECT_EQ(list.Add("x"), 2);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.IndexOf("x"), 0);
    EXPECT_EQ(list.IndexOf(std::string("x\0", 2)), -1); // lengths differ
    EXPECT_EQ(list.Get(2), "x");
    try {
        list.Get(3);
        FAIL();
    } catch (const ERangeError& e) {
        EXPECT_STREQ(e.what(), "List index (3) out of bounds");
    }
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.IndexOf("x"), -1);
}

TEST(VirtualDataTable, InternAppendAndUseCounts)
{
    TVirtualDataTable t;
    EXPECT_EQ(t.Intern("a"), 0);
    EXPECT_EQ(t.Intern("a"), 0);
    EXPECT_EQ(t.UseCount(0), 2);
    EXPECT_EQ(t.Append("a"), 1);
    EXPECT_EQ(t.UseCount(1), 1);
    EXPECT_EQ(t.IndexOf("a"), 0);
    EXPECT_EQ(t.IndexOf("b"), -1);

    t.Release(1);
    t.Release(1);
    EXPECT_EQ(t.UseCount(1), 0); // never below 0, and the record stays
    EXPECT_EQ(t.Count(), 2);
    t.AddRef(1);
    EXPECT_EQ(t.UseCount(1), 1);
    t.AddRef(-1);
    t.Release(7); // outside the table: ignored
}

TEST(VirtualDataTable, ReplaceMovesOneUse)
{
    TVirtualDataTable t;
    t.Intern("a");
    t.Intern("a");
    EXPECT_EQ(t.Replace("a", "a"), 0);
    EXPECT_EQ(t.UseCount(0), 2);
    EXPECT_EQ(t.Replace("z", "z"), -1); // absent and equal: nothing changes
    EXPECT_EQ(t.Count(), 1);

    EXPECT_EQ(t.Replace("a", "b"), 1);
    EXPECT_EQ(t.UseCount(0), 1);
    EXPECT_EQ(t.UseCount(1), 1);
    EXPECT_EQ(t.Replace("absent", "b"), 1);
    EXPECT_EQ(t.UseCount(1), 2);
    EXPECT_EQ(t.Count(), 2);

    t.Clear();
    EXPECT_EQ(t.Count(), 0);
    EXPECT_THROW(t.UseCount(0), ERangeError);
}
