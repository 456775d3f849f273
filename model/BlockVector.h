// A growing array kept in blocks of 2^Bits items. Only the first block grows
// by reallocation (so that a small store stays small); every later block is
// made whole, so growing never copies more than the first block and a full
// block's items never move.
#pragma once

#include <cstddef>
#include <vector>

template <class T, unsigned Bits>
class TBlockVector {
public:
    size_t size() const { return FSize; }
    bool empty() const { return FSize == 0; }
    T& operator[](size_t index) { return FBlocks[index >> Bits][index & kMask]; }
    const T& operator[](size_t index) const { return FBlocks[index >> Bits][index & kMask]; }

    void push_back(const T& item)
    {
        if ((FSize >> Bits) >= FBlocks.size()) {
            FBlocks.emplace_back();
            if (FBlocks.size() > 1)
                FBlocks.back().reserve(kBlockSize);
        }
        FBlocks.back().push_back(item);
        ++FSize;
    }

private:
    static constexpr size_t kBlockSize = size_t{1} << Bits;
    static constexpr size_t kMask = kBlockSize - 1;
    std::vector<std::vector<T>> FBlocks;
    size_t FSize = 0;
};
