// A deduplicating table of fixed-size records (raw bytes) with use counts.
//
// A record's position is its index; records are never removed one by one and
// keep their index until Clear. A use count of 0 frees nothing.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
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
    void AddRef(int index)
    {
        if (index >= 0 && static_cast<size_t>(index) < FUseCounts.size())
            ++FUseCounts[static_cast<size_t>(index)];
    }
    void Release(int index)
    {
        if (index >= 0 && static_cast<size_t>(index) < FUseCounts.size() && FUseCounts[static_cast<size_t>(index)] > 0)
            --FUseCounts[static_cast<size_t>(index)];
    }
    // Release repeated `times` times.
    void Release(int index, uint32_t times);
    void Clear();

private:
    THashedStringList FRecords;
    std::vector<int32_t> FUseCounts;
};

// A record table with one edit buffer, for the copy-on-write editing of
// fixed-layout records (fonts, cell formats). TRecord provides Default(),
// Bytes() and FromBytes().
template <class TRecord>
class TVirtualRecordTable {
public:
    // Empties the table; Buffer = the default record, LoadedRecord empty.
    void Clear()
    {
        FTable.Clear();
        FDecoded.clear();
        ++FGeneration;
        ResetBuffer();
    }
    // LoadedRecord empty, Buffer = the default record.
    TRecord& ResetBuffer()
    {
        FLoadedRecord.clear();
        FBuffer = TRecord::Default();
        return FBuffer;
    }
    // LoadedRecord = record `index`, Buffer = a copy. Range error outside the table.
    TRecord& Load(int index)
    {
        FLoadedRecord = FTable.Get(index);
        FBuffer = Get(index);
        return FBuffer;
    }
    // Table.Replace(LoadedRecord, Buffer): index of the equal or new record,
    // moving one use from the loaded record to it.
    int Commit() { return FTable.Replace(FLoadedRecord, FBuffer.Bytes()); }
    // Always appends Buffer as a new record with one use (used by the reader).
    int Append() { return FTable.Append(FBuffer.Bytes()); }
    void AddRef(int index) { FTable.AddRef(index); }
    void Release(int index) { FTable.Release(index); }

    int Count() const { return FTable.Count(); }
    // Record `index` (range error outside the table).
    // Records never change once in the table, so each is decoded once; the
    // reference stays valid until Clear.
    const TRecord& Get(int index) const
    {
        const auto at = static_cast<size_t>(index);
        if (at < FDecoded.size() && FDecoded[at])
            return *FDecoded[at];
        const std::string& bytes = FTable.Get(index); // the range error
        if (at >= FDecoded.size())
            FDecoded.resize(static_cast<size_t>(Count()));
        FDecoded[at] = TRecord::FromBytes(bytes);
        return *FDecoded[at];
    }
    TRecord& Buffer() { return FBuffer; }
    const std::string& LoadedRecord() const { return FLoadedRecord; }
    TVirtualDataTable& Table() { return FTable; }
    const TVirtualDataTable& Table() const { return FTable; }
    // Grows with every Clear: indexes taken before a change of generation
    // may name other records.
    uint32_t Generation() const { return FGeneration; }

protected:
    TVirtualRecordTable() : FBuffer(TRecord::Default()) {}

    TVirtualDataTable FTable;
    TRecord FBuffer;
    std::string FLoadedRecord;
    uint32_t FGeneration = 0;
    mutable std::deque<std::optional<TRecord>> FDecoded; // by index, filled on first Get; never moves
};
