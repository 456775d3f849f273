// A growable array of fixed-size elements with a cursor. The cursor's address
// can be mirrored into an outside pointer variable (the bound variable), so a
// caller iterates with First / Next and reads the element through it.
#pragma once

#include <cstddef>
#include <memory>

class TDynaArray {
public:
    static constexpr int GrowthStep = 100; // elements

    // `boundVariable` may be null; otherwise it receives the current element's
    // address after every positioning step, and null when there is none.
    explicit TDynaArray(size_t elementSize, void** boundVariable = nullptr);
    TDynaArray(const TDynaArray&) = delete;
    TDynaArray& operator=(const TDynaArray&) = delete;

    int Count() const { return FCount; }
    size_t ElementSize() const { return FElementSize; }
    // Elements the storage currently has room for.
    int Reserved() const { return FReserved; }
    int CurrentIndex() const { return FCurrentIndex; }
    void* Current() const { return FCurrent; }
    // Address of element `index`; a range error outside 0..Count-1.
    void* Items(int index) const;

    // Adds a zeroed element at the end and makes it current.
    void Append();
    // Makes element `index` current; a range error outside 0..Count-1.
    void Seek(int index);
    // Removes element `index` (ignored outside 0..Count-1); no element is
    // current afterwards.
    void Delete(int index);
    // Removes every element and frees the storage.
    void Clear();
    // Makes element 0 current when there is one.
    void First();
    // Makes the element at the current index current and advances the index;
    // false once the index has run past the last element.
    bool Next();

private:
    unsigned char* Address(int index) const { return FBlock.get() + size_t(index) * FElementSize; }
    void SetCurrent(int index, void* element);
    // Room for max(1, ceil(count / 100)) * 100 elements.
    void AdjustReserved();

    size_t FElementSize;
    void** FBoundVariable;
    std::unique_ptr<unsigned char[]> FBlock;
    int FCount = 0;
    int FReserved = 0;
    int FCurrentIndex = -1;
    void* FCurrent = nullptr;
};
