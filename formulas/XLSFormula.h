// The built-in worksheet functions that formula text can name, keyed by the
// function number of the BIFF8 built-in function table ([MS-XLS] 2.5.198.17).
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

struct TXLSFunctionRec {
    std::string_view FuncName; // upper-case English name
    uint32_t FuncNumber;       // holds a 16-bit value
    int32_t ArgCount;          // arguments of a fixed-argument call; -1: variable
};

// The whole table in search order.
std::span<const TXLSFunctionRec> XLSFunctions();

// The first record whose number equals `number`, or nullptr.
const TXLSFunctionRec* FindFunction(uint16_t number);
