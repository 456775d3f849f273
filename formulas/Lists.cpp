#include "formulas/Lists.h"

#include "platform/LittleEndian.h"
#include "styles/XLSError.h"

#include <utility>

namespace {

constexpr size_t kSharedHeaderSize = 10; // RefU, reserved, cUse, cce

} // namespace

void TStringStack::Push(std::string text) { FItems.push_back(std::move(text)); }

std::string TStringStack::Pop() {
    if (FItems.empty()) RaiseListIndexError(-1);
    std::string last = std::move(FItems.back());
    FItems.pop_back();
    return last;
}

const std::string& TStringStack::Bottom() const {
    if (FItems.empty()) RaiseListIndexError(0);
    return FItems.front();
}

void TXLSSharedFormulas::Add(uint16_t sheetIndex, const std::string& recordBody) {
    if (recordBody.size() < kSharedHeaderSize) return;
    TXLSSharedFormula item;
    item.SheetIndex = sheetIndex;
    item.FirstRow = ReadU16(recordBody, 0);
    item.LastRow = ReadU16(recordBody, 2);
    item.FirstCol = static_cast<uint8_t>(recordBody[4]);
    item.LastCol = static_cast<uint8_t>(recordBody[5]);
    // The stored token length is not used to cut: the bytes run to the end.
    item.Tokens = recordBody.substr(kSharedHeaderSize);
    FItems.push_back(std::move(item));
}

std::string TXLSSharedFormulas::FindTokens(uint16_t sheetIndex, uint16_t row, uint16_t col) const {
    for (const TXLSSharedFormula& item : FItems) {
        if (item.SheetIndex == sheetIndex && item.FirstRow <= row && row <= item.LastRow &&
            item.FirstCol <= col && col <= item.LastCol)
            return item.Tokens;
    }
    return {};
}
