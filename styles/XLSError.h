// The library's own failures: EXLSError with a code selecting a fixed English
// message, and the range error of the ordered lists.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

class EXLSError : public std::runtime_error {
public:
    // The message of the table entry `code`, unchanged.
    explicit EXLSError(uint8_t code);
    // The table entry with its "%s" placeholder replaced by `argument`.
    EXLSError(uint8_t code, const std::string& argument);

    uint8_t ErrorCode() const { return FErrorCode; }

    // The fixed message of a code; empty for codes outside 0..14.
    static std::string MessageOf(uint8_t code);

private:
    uint8_t FErrorCode;
};

// An index outside an ordered list.
class ERangeError : public std::out_of_range {
public:
    using std::out_of_range::out_of_range;
};

// "List index (n) out of bounds" for the stores, with " !" for the sheet list.
[[noreturn]] void RaiseListIndexError(long long index, bool sheetList = false);
