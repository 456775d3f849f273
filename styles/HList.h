// Bucket hash tables over opaque item handles, and the two list-plus-index
// combinations built on them.
//
// Keys are 8-bit byte strings compared byte for byte. A table has a fixed
// number of buckets (1..65535); the bucket table is made with the first item,
// each bucket on its first use, and keeps its handles in insertion order.
// Duplicate keys are allowed.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// What a table stores per entry; it never interprets it. The derived lists
// store list indices in it, so 0 is a valid handle (read Found()).
using THashItem = uintptr_t;

// Produces the key of an item. Unset: every key is empty.
using TGetKeyEvent = std::function<void(THashItem item, std::string& key)>;

// Hash kinds: 0 and 2 select the CRC hash, 1 the byte-sum hash.
constexpr uint8_t HashKindCrc = 0;
constexpr uint8_t HashKindSum = 1;

class TCustomHashTable {
public:
    // Raises std::runtime_error("Bad hash table size !") for size 0 or above 65535.
    TCustomHashTable(uint32_t size, TGetKeyEvent onGetKey, uint8_t hashKind);
    virtual ~TCustomHashTable();
    TCustomHashTable(const TCustomHashTable&) = delete;
    TCustomHashTable& operator=(const TCustomHashTable&) = delete;

    // First item of the key's bucket, in insertion order, whose key equals
    // `key`; sets Found(). 0 with Found() false when none matches.
    virtual THashItem Find(const std::string& key);
    virtual void GetKey(THashItem item, std::string& key);
    // Appends the item to the bucket of its key.
    virtual void Add(THashItem item);
    // Deletes the first occurrence of the item from the bucket of its key, if there.
    virtual void Remove(THashItem item);

    // Frees every bucket; Size() stays.
    void ClearBuckets();

    uint32_t Size() const { return FSize; }
    bool Found() const { return FFound; }
    uint8_t HashKind() const { return FHashKind; }
    // Bucket number of a key under this table's size and hash kind.
    uint32_t BucketOf(const std::string& key) const;
    // Number of handles in bucket `bucket` (0 for an unused one).
    size_t BucketLength(uint32_t bucket) const;

    void SetOnGetKey(TGetKeyEvent onGetKey) { FOnGetKey = std::move(onGetKey); }

protected:
    using TBucket = std::vector<THashItem>;
    TBucket* BucketFor(const std::string& key) const;
    void SetFound(bool found) { FFound = found; }

private:
    uint32_t FSize;
    bool FFound = false;
    uint8_t FHashKind;
    TGetKeyEvent FOnGetKey;
    std::vector<std::unique_ptr<TBucket>> FBuckets; // empty until the first Add
};

class THashTable : public TCustomHashTable {
public:
    using TCustomHashTable::TCustomHashTable;
};

// An unowned list of objects with a hash index on their keys; bucket entries
// are indices into Items. The key event receives the object (as a handle).
class THashedList : public TCustomHashTable {
public:
    THashedList(uint32_t size, TGetKeyEvent onGetObjectKey, uint8_t hashKind);

    // Handles are list indices here: the key is the key of Items[item].
    void GetKey(THashItem item, std::string& key) override;
    // `item` is an object: appends it to Items and indexes its position.
    void Add(THashItem item) override;
    // The object of the first match, or 0.
    THashItem Find(const std::string& key) override;

    void Add(void* object) { Add(reinterpret_cast<THashItem>(object)); }
    // Index of the first match, or -1.
    int IndexOf(const std::string& key);
    int Count() const { return static_cast<int>(FItems.size()); }
    // Range error "List index (i) out of bounds" outside 0..Count-1.
    void* Items(int index) const;

private:
    TGetKeyEvent FOnGetObjectKey;
    std::vector<void*> FItems;
};

// An owned list of 8-bit strings with a hash index; no duplicate check.
class THashedStringList {
public:
    THashedStringList(uint32_t size, uint8_t hashKind);

    // Appends s and returns its index.
    int Add(const std::string& s);
    // Index of the earliest-added equal string, or -1.
    int IndexOf(const std::string& s);
    int Count() const { return static_cast<int>(FStrings.size()); }
    // Range error "List index (i) out of bounds" outside 0..Count-1.
    const std::string& Get(int index) const;
    void Clear();

private:
    std::vector<std::string> FStrings;
    THashTable FIndex;
};
