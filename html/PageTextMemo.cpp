#include "html/PageTextMemo.h"

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

size_t TPageTextMemo::DatePlace(const std::string* format, uint64_t bits)
{
    const uint64_t mixed = (bits ^ (reinterpret_cast<uintptr_t>(format) * 0xC2B2AE3D27D4EB4Full)) * 0x9E3779B97F4A7C15ull;
    return static_cast<size_t>(mixed >> (64 - kDateBits));
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
    if (FDates.empty())
        FDates.resize(size_t{1} << kDateBits);
    TDate& date = FDates[DatePlace(format, bits)];
    date.Format = format;
    date.Bits = bits;
    date.Length = static_cast<uint8_t>(text.size());
    std::memcpy(date.Text, text.data(), text.size());
}
