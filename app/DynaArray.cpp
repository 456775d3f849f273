#include "app/DynaArray.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <stdexcept>

#include "styles/XLSError.h"

TDynaArray::TDynaArray(size_t elementSize, void** boundVariable)
    : FElementSize(elementSize == 0 ? 1 : elementSize), FBoundVariable(boundVariable)
{
    if (FBoundVariable)
        *FBoundVariable = nullptr;
}

void* TDynaArray::Items(int index) const
{
    if (index < 0 || index >= FCount)
        RaiseListIndexError(index);
    return Address(index);
}

void TDynaArray::SetCurrent(int index, void* element)
{
    FCurrentIndex = index;
    FCurrent = element;
    if (FBoundVariable)
        *FBoundVariable = element;
}

void TDynaArray::AdjustReserved()
{
    int steps = FCount <= 0 ? 1 : (FCount + GrowthStep - 1) / GrowthStep;
    int wanted = steps * GrowthStep;
    if (wanted == FReserved)
        return;
    auto block = std::make_unique<unsigned char[]>(size_t(wanted) * FElementSize);
    // After an Append the old block is one element short of the new count.
    const int kept = std::min(FCount, FReserved);
    if (kept > 0)
        std::memcpy(block.get(), FBlock.get(), size_t(kept) * FElementSize);
    FBlock = std::move(block);
    FReserved = wanted;
}

void TDynaArray::Append()
{
    if (FCount >= INT_MAX - GrowthStep || size_t(FCount + GrowthStep) > SIZE_MAX / FElementSize)
        throw std::length_error("TDynaArray is full");
    ++FCount;
    AdjustReserved();
    unsigned char* element = Address(FCount - 1);
    std::memset(element, 0, FElementSize);
    SetCurrent(FCount - 1, element);
}

void TDynaArray::Seek(int index)
{
    SetCurrent(index, Items(index));
}

void TDynaArray::Delete(int index)
{
    if (index < 0 || index >= FCount)
        return;
    std::memmove(Address(index), Address(index + 1), size_t(FCount - index - 1) * FElementSize);
    --FCount;
    AdjustReserved();
    SetCurrent(-1, nullptr);
}

void TDynaArray::Clear()
{
    FBlock.reset();
    FCount = 0;
    FReserved = 0;
    SetCurrent(-1, nullptr);
}

void TDynaArray::First()
{
    if (FCount > 0)
        SetCurrent(0, Address(0));
}

bool TDynaArray::Next()
{
    if (FCount < 1 || FCurrentIndex < 0 || FCurrentIndex > FCount - 1)
        return false;
    SetCurrent(FCurrentIndex, Address(FCurrentIndex));
    ++FCurrentIndex;
    return true;
}
