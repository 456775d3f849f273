#include "styles/HList.h"

#include <algorithm>
#include <stdexcept>

#include "styles/Crc32.h"
#include "styles/XLSError.h"

TCustomHashTable::TCustomHashTable(uint32_t size, TGetKeyEvent onGetKey, uint8_t hashKind)
    : FSize(size), FHashKind(hashKind), FOnGetKey(std::move(onGetKey))
{
    // The slots are counted in 16 bits; a larger size would leave buckets without a slot.
    if (size == 0 || size > 65535)
        throw std::runtime_error("Bad hash table size !");
}

TCustomHashTable::~TCustomHashTable() = default;

uint32_t TCustomHashTable::BucketOf(const std::string& key) const
{
    if (FHashKind == HashKindSum) {
        uint32_t h = 0;
        for (unsigned char b : key)
            h = (h + b) % FSize;
        return h;
    }
    return Crc32Hash(key) % FSize;
}

size_t TCustomHashTable::BucketLength(uint32_t bucket) const
{
    return bucket < FBuckets.size() && FBuckets[bucket] ? FBuckets[bucket]->size() : 0;
}

TCustomHashTable::TBucket* TCustomHashTable::BucketFor(const std::string& key) const
{
    return FBuckets.empty() ? nullptr : FBuckets[BucketOf(key)].get();
}

void TCustomHashTable::GetKey(THashItem item, std::string& key)
{
    key.clear();
    if (FOnGetKey)
        FOnGetKey(item, key);
}

THashItem TCustomHashTable::Find(const std::string& key)
{
    FFound = false;
    if (TBucket* bucket = BucketFor(key)) {
        std::string candidate;
        for (THashItem item : *bucket) {
            GetKey(item, candidate);
            if (candidate == key) {
                FFound = true;
                return item;
            }
        }
    }
    return 0;
}

void TCustomHashTable::Add(THashItem item)
{
    std::string key;
    GetKey(item, key);
    if (FBuckets.empty())
        FBuckets.resize(FSize);
    auto& slot = FBuckets[BucketOf(key)];
    if (!slot)
        slot = std::make_unique<TBucket>();
    slot->push_back(item);
}

void TCustomHashTable::Remove(THashItem item)
{
    std::string key;
    GetKey(item, key);
    if (TBucket* bucket = BucketFor(key)) {
        auto at = std::find(bucket->begin(), bucket->end(), item);
        if (at != bucket->end())
            bucket->erase(at);
    }
}

void TCustomHashTable::ClearBuckets()
{
    FBuckets.clear();
}

THashedList::THashedList(uint32_t size, TGetKeyEvent onGetObjectKey, uint8_t hashKind)
    : TCustomHashTable(size, nullptr, hashKind), FOnGetObjectKey(std::move(onGetObjectKey))
{
}

void THashedList::GetKey(THashItem item, std::string& key)
{
    key.clear();
    if (FOnGetObjectKey && item < FItems.size())
        FOnGetObjectKey(reinterpret_cast<THashItem>(FItems[item]), key);
}

void THashedList::Add(THashItem item)
{
    FItems.push_back(reinterpret_cast<void*>(item));
    TCustomHashTable::Add(FItems.size() - 1);
}

THashItem THashedList::Find(const std::string& key)
{
    const THashItem index = TCustomHashTable::Find(key);
    return Found() ? reinterpret_cast<THashItem>(FItems[index]) : 0;
}

int THashedList::IndexOf(const std::string& key)
{
    const THashItem index = TCustomHashTable::Find(key);
    return Found() ? static_cast<int>(index) : -1;
}

void* THashedList::Items(int index) const
{
    if (index < 0 || index >= Count())
        RaiseListIndexError(index);
    return FItems[static_cast<size_t>(index)];
}

THashedStringList::THashedStringList(uint32_t size, uint8_t hashKind)
    : FIndex(size, [this](THashItem item, std::string& key) { key = FStrings[item]; }, hashKind)
{
}

int THashedStringList::Add(const std::string& s)
{
    FStrings.push_back(s);
    FIndex.Add(FStrings.size() - 1);
    return Count() - 1;
}

int THashedStringList::IndexOf(const std::string& s)
{
    const THashItem index = FIndex.Find(s);
    return FIndex.Found() ? static_cast<int>(index) : -1;
}

const std::string& THashedStringList::Get(int index) const
{
    if (index < 0 || index >= Count())
        RaiseListIndexError(index);
    return FStrings[static_cast<size_t>(index)];
}

void THashedStringList::Clear()
{
    FStrings.clear();
    FIndex.ClearBuckets();
}
