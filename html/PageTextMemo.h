// The page texts of cells, made once per page and thread: a shared text is
// the same for all its cells, and dates repeat.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/ByteBuffer.h"

class TVariant;

class TPageTextMemo {
public:
    // The page text of the store's text `slot`, or null when there is none
    // yet; Keep gives it one.
    const std::string* Text(uint32_t slot) const;
    void Keep(uint32_t slot, std::string_view text);
    // The same for a text held by a cell object, by its address.
    const std::string* Text(const TVariant* value) const;
    void Keep(const TVariant* value, std::string_view text);

    // Appends the kept text of the date `bits` under `format` and returns
    // true, or returns false.
    bool AppendDate(const std::string* format, uint64_t bits, std::string& piece) const;
    void KeepDate(const std::string* format, uint64_t bits, std::string_view text);

private:
    bool Full(std::string_view text) const { return FBytes + text.size() > kMaxBytes; }

    // Beyond this many bytes of texts, new ones are made for each cell again.
    static constexpr size_t kMaxBytes = size_t{16} << 20;
    size_t FBytes = 0;
    std::vector<std::string> FTexts; // by slot; empty until kept
    std::unordered_map<const TVariant*, std::string> FObjectTexts;

    // Dates in a table by day, time of day and format, each place holding
    // the last date that came to it: a date met again finds its text with
    // one comparison. The table starts small and grows fourfold (starting
    // empty again) while it fills, up to a fixed size.
    struct TDate {
        const std::string* Format = nullptr;
        uint64_t Bits = 0;
        uint8_t Length = 0;
        char Text[15]; // a longer text is made each time
    };
    static_assert(sizeof(TDate) == 32);
    static constexpr size_t kFirstDatePlaces = 4096, kMostDatePlaces = 65536;
    size_t DatePlace(const std::string* format, uint64_t bits) const;
    std::vector<TDate, TUninitializedAllocator<TDate>> FDates; // a large table on huge pages
    size_t FDatesKept = 0; // since the table was made
};
