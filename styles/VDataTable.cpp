#include "styles/VDataTable.h"

#include <algorithm>

#include "styles/XLSError.h"

TVirtualDataTable::TVirtualDataTable() : FRecords(1024, HashKindCrc) {}

int32_t TVirtualDataTable::UseCount(int index) const
{
    if (index < 0 || index >= Count())
        RaiseListIndexError(index);
    return FUseCounts[static_cast<size_t>(index)];
}

int TVirtualDataTable::Intern(const std::string& rec)
{
    int index = IndexOf(rec);
    if (index < 0) {
        index = FRecords.Add(rec);
        FUseCounts.push_back(0);
    }
    AddRef(index);
    return index;
}

int TVirtualDataTable::Append(const std::string& rec)
{
    const int index = FRecords.Add(rec);
    FUseCounts.push_back(1);
    return index;
}

int TVirtualDataTable::IndexOf(const std::string& rec)
{
    return FRecords.IndexOf(rec);
}

int TVirtualDataTable::Replace(const std::string& oldRec, const std::string& newRec)
{
    if (oldRec == newRec)
        return IndexOf(oldRec);
    Release(IndexOf(oldRec));
    return Intern(newRec);
}

void TVirtualDataTable::Release(int index, uint32_t times)
{
    if (index < 0 || index >= Count())
        return;
    int32_t& count = FUseCounts[static_cast<size_t>(index)];
    count = static_cast<int32_t>(std::max<int64_t>(0, int64_t{count} - times));
}

void TVirtualDataTable::Clear()
{
    FRecords.Clear();
    FUseCounts.clear();
}
