// A deduplicating table of fixed-size records (raw bytes) with use counts.
//
// A record's position is its index; records are never removed one by one and
// keep their index until Clear. A use count of 0 frees nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "styles/HList.h"

class TVirtualDataTable {
public:
    TVirtualDataTable(); // 1024 buckets, CRC hash

    int Count() const { return FRecords.Count(); }
    // Range error outside 0..Count-1.
    const std::string& Get(int index) const { return FRecords.Get(index); }
    // Use count of a record; range error outside 0..Count-1.
    int32_t UseCount(int index) const;

    // Index of an equal record (appended with count 0 when absent), plus one use.
    int Intern(const std::string& rec);
    // Always a new entry with one use; returns its index.
    int Append(const std::string& rec);
    // Index of the earliest equal record, or -1.
    int IndexOf(const std::string& rec);
    // Commit step of copy-on-write: equal strings give IndexOf(oldRec) and
    // change no count; otherwise one use moves from oldRec (when present,
    // never below 0) to Intern(newRec).
    int Replace(const std::string& oldRec, const std::string& newRec);
    // One use more / fewer (never below 0). Indices outside the table are ignored.
    void AddRef(int index);
    void Release(int index);
    void Clear();

private:
    THashedStringList FRecords;
    std::vector<int32_t> FUseCounts;
};
