#include "html/PageTextMemo.h"

#include <bit>
#include <cmath>
#include <cstring>

const std::string* TPageTextMemo::Text(uint32_t slot) const
{
    return slot < FTexts.size() && !FTexts[slot].empty() ? &FTexts[slot] : nullptr;
}

void TPageTextMemo::Keep(uint32_t slot, std::string_view text)
{
    if (Full(text))
        return;
    if (slot >= FTexts.size())
        FTexts.resize(size_t{slot} + 1);
    FBytes += text.size();
    FTexts[slot] = text;
}

const std::string* TPageTextMemo::Text(const TVariant* value) const
{
    const auto found = FObjectTexts.find(value);
    return found != FObjectTexts.end() ? &found->second : nullptr;
}

void TPageTextMemo::Keep(const TVariant* value, std::string_view text)
{
    if (Full(text))
        return;
    FBytes += text.size();
    FObjectTexts[value] = text;
}

size_t TPageTextMemo::DatePlace(const std::string* format, uint64_t bits) const
{
    // Days that follow each other take places that follow each other, so
    // that a column of dates walks the table instead of jumping through it;
    // the time of day and the format spread the rest.
    const double date = std::bit_cast<double>(bits);
    const uint64_t formatPart = (reinterpret_cast<uintptr_t>(format) * 0x9E3779B97F4A7C15ull) >> 40;
    if (!(date > -1e9 && date < 1e9))
        return static_cast<size_t>(((bits * 0x9E3779B97F4A7C15ull) >> 32) + formatPart) & (FDates.size() - 1);
    const double day = std::floor(date);
    const uint64_t time = std::bit_cast<uint64_t>(date - day);
    const uint64_t timePart = time == 0 ? 0 : (time * 0x9E3779B97F4A7C15ull) >> 40;
    return static_cast<size_t>(static_cast<uint64_t>(static_cast<int64_t>(day)) + timePart + formatPart) &
           (FDates.size() - 1);
}

bool TPageTextMemo::AppendDate(const std::string* format, uint64_t bits, std::string& piece) const
{
    if (FDates.empty())
        return false;
    const TDate& date = FDates[DatePlace(format, bits)];
    if (date.Format != format || date.Bits != bits)
        return false;
    piece.append(date.Text, date.Length);
    return true;
}

void TPageTextMemo::KeepDate(const std::string* format, uint64_t bits, std::string_view text)
{
    if (text.size() > sizeof(TDate::Text))
        return;
    if (FDates.empty() || (++FDatesKept > FDates.size() / 2 && FDates.size() < kMostDatePlaces)) {
        FDates.assign(FDates.empty() ? kFirstDatePlaces : 4 * FDates.size(), TDate{});
        FDatesKept = 1;
    }
    TDate& date = FDates[DatePlace(format, bits)];
    date.Format = format;
    date.Bits = bits;
    date.Length = static_cast<uint8_t>(text.size());
    std::memcpy(date.Text, text.data(), text.size());
}
