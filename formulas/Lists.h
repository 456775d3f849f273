// The formula decoder's lists: its work stack of texts and the store of the
// shared formulas (SHRFMLA records, [MS-XLS] 2.4.260) of a workbook.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A stack of 8-bit strings.
class TStringStack {
public:
    void Push(std::string text);
    // Returns and removes the last entry; a list index error when empty.
    std::string Pop();
    // The first pushed entry still on the stack; a list index error when empty.
    const std::string& Bottom() const;
    int Count() const { return static_cast<int>(FItems.size()); }
    void Clear() { FItems.clear(); }

private:
    std::vector<std::string> FItems;
};

// The token bytes of one SHRFMLA record and the cells of one sheet they cover.
struct TXLSSharedFormula {
    uint16_t SheetIndex = 0;
    uint16_t FirstRow = 0;
    uint16_t LastRow = 0;
    uint8_t FirstCol = 0;
    uint8_t LastCol = 0;
    std::string Tokens;
};

class TXLSSharedFormulas {
public:
    // Appends the record built from a SHRFMLA body: RefU (6 bytes), reserved,
    // use count, token length (4 bytes), then the tokens up to the end of the
    // body. A body too short to hold the rectangle and the length field is
    // malformed and not kept.
    void Add(uint16_t sheetIndex, const std::string& recordBody);
    // The tokens of the first record, in the order added, of that sheet whose
    // rectangle holds the cell; empty when none does.
    std::string FindTokens(uint16_t sheetIndex, uint16_t row, uint16_t col) const;

    const std::vector<TXLSSharedFormula>& Items() const { return FItems; }
    int Count() const { return static_cast<int>(FItems.size()); }

private:
    std::vector<TXLSSharedFormula> FItems;
};
