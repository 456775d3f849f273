#include "styles/XLSFont.h"

#include <algorithm>
#include <cmath>

#include "platform/LittleEndian.h"
#include "platform/ScreenMetrics.h"

namespace {

// [MS-XLS] default palette, colour indexes 8..63, then the two automatic colours.
constexpr TColor kPalette[PaletteCount] = {
    RGBColor(0x00, 0x00, 0x00), RGBColor(0xFF, 0xFF, 0xFF), RGBColor(0xFF, 0x00, 0x00), RGBColor(0x00, 0xFF, 0x00),
    RGBColor(0x00, 0x00, 0xFF), RGBColor(0xFF, 0xFF, 0x00), RGBColor(0xFF, 0x00, 0xFF), RGBColor(0x00, 0xFF, 0xFF),
    RGBColor(0x80, 0x00, 0x00), RGBColor(0x00, 0x80, 0x00), RGBColor(0x00, 0x00, 0x80), RGBColor(0x80, 0x80, 0x00),
    RGBColor(0x80, 0x00, 0x80), RGBColor(0x00, 0x80, 0x80), RGBColor(0xC0, 0xC0, 0xC0), RGBColor(0x80, 0x80, 0x80),
    RGBColor(0x99, 0x99, 0xFF), RGBColor(0x99, 0x33, 0x66), RGBColor(0xFF, 0xFF, 0xCC), RGBColor(0xCC, 0xFF, 0xFF),
    RGBColor(0x66, 0x00, 0x66), RGBColor(0xFF, 0x80, 0x80), RGBColor(0x00, 0x66, 0xCC), RGBColor(0xCC, 0xCC, 0xFF),
    RGBColor(0x00, 0x00, 0x80), RGBColor(0xFF, 0x00, 0xFF), RGBColor(0xFF, 0xFF, 0x00), RGBColor(0x00, 0xFF, 0xFF),
    RGBColor(0x80, 0x00, 0x80), RGBColor(0x80, 0x00, 0x00), RGBColor(0x00, 0x80, 0x80), RGBColor(0x00, 0x00, 0xFF),
    RGBColor(0x00, 0xCC, 0xFF), RGBColor(0xCC, 0xFF, 0xFF), RGBColor(0xCC, 0xFF, 0xCC), RGBColor(0xFF, 0xFF, 0x99),
    RGBColor(0x99, 0xCC, 0xFF), RGBColor(0xFF, 0x99, 0xCC), RGBColor(0xCC, 0x99, 0xFF), RGBColor(0xFF, 0xCC, 0x99),
    RGBColor(0x33, 0x66, 0xFF), RGBColor(0x33, 0xCC, 0xCC), RGBColor(0x99, 0xCC, 0x00), RGBColor(0xFF, 0xCC, 0x00),
    RGBColor(0xFF, 0x99, 0x00), RGBColor(0xFF, 0x66, 0x00), RGBColor(0x66, 0x66, 0x99), RGBColor(0x96, 0x96, 0x96),
    RGBColor(0x00, 0x33, 0x66), RGBColor(0x33, 0x99, 0x66), RGBColor(0x00, 0x33, 0x00), RGBColor(0x33, 0x33, 0x00),
    RGBColor(0x99, 0x33, 0x00), RGBColor(0x99, 0x33, 0x66), RGBColor(0x33, 0x33, 0x99), RGBColor(0x33, 0x33, 0x33),
    RGBColor(0x00, 0x00, 0x00), RGBColor(0x00, 0x00, 0x00),
};

} // namespace

uint8_t ColorIndexFromFile(uint16_t icv)
{
    return icv >= 8 && icv <= 65 ? static_cast<uint8_t>(icv - 7) : 1;
}

TPalette::TPalette()
{
    std::copy(std::begin(kPalette), std::end(kPalette), FColors.begin());
}

const TPalette& TPalette::Default()
{
    static const TPalette palette;
    return palette;
}

TColor TPalette::Color(uint8_t index) const
{
    const uint8_t i = index & 0x7F;
    return i >= 1 && i <= PaletteCount ? FColors[i - 1] : RGBColor(0, 0, 0);
}

void TPalette::SetColor(uint8_t index, TColor color)
{
    if (index >= 1 && index <= FileEntryCount)
        FColors[index - 1] = color;
}

TColor PaletteColor(uint8_t index, const TPalette& palette) { return palette.Color(index); }

uint8_t NearestColorIndex(TColor color, const TPalette& palette) { return palette.NearestIndex(color); }

uint8_t TPalette::NearestIndex(TColor color) const
{
    if (color & SystemColorFlag)
        color = SystemColorRGB(static_cast<uint8_t>(color & 0xFF));
    uint8_t best = 1;
    long bestDistance = 0xFFFFFF;
    for (uint8_t i = 1; i <= PaletteCount; ++i) {
        const TColor entry = FColors[i - 1];
        const double dr = RedOf(color) - RedOf(entry);
        const double dg = GreenOf(color) - GreenOf(entry);
        const double db = BlueOf(color) - BlueOf(entry);
        const long distance = std::lrint(std::sqrt(dr * dr + dg * dg + db * db));
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

std::u16string TFontRecord::Name() const
{
    size_t length = 0;
    while (length < 100 && NameUnits[length] != 0)
        ++length;
    return std::u16string(NameUnits, length);
}

void TFontRecord::SetName(const std::u16string& name)
{
    std::fill(std::begin(NameUnits), std::end(NameUnits), u'\0');
    std::copy_n(name.begin(), std::min<size_t>(name.size(), 100), NameUnits);
}

std::string TFontRecord::Bytes() const
{
    std::string b;
    b.reserve(ByteSize);
    for (uint8_t field : {Bold, Italic, Underline, StrikeOut, UnderlineKind, Script, ColorIndex})
        b.push_back(static_cast<char>(field));
    b.push_back(static_cast<char>(Size & 0xFF));
    b.push_back(static_cast<char>(Size >> 8));
    for (char16_t unit : NameUnits) {
        b.push_back(static_cast<char>(unit & 0xFF));
        b.push_back(static_cast<char>(unit >> 8));
    }
    return b;
}

TFontRecord TFontRecord::FromBytes(const std::string& bytes)
{
    auto at = [&](size_t i) { return ReadU8(bytes, i); };
    TFontRecord rec{at(0), at(1), at(2), at(3), at(4), at(5), at(6), ReadU16(bytes, 7), {}};
    for (size_t i = 0; i < 100; ++i) rec.NameUnits[i] = static_cast<char16_t>(ReadU16(bytes, 9 + 2 * i));
    return rec;
}

TFontRecord TFontRecord::Default()
{
    TFontRecord rec{};
    rec.ColorIndex = AutoForegroundColor;
    rec.Size = 10;
    rec.SetName(u"Arial");
    return rec;
}

TVirtualFontTable::TVirtualFontTable()
{
    ResetBuffer();
    Commit();
}

TFontRecord& TVirtualFontTable::ReadFontRecord(const uint8_t* body, size_t size)
{
    ResetBuffer();
    const TByteSpan bytes(body, size);
    const uint16_t height = ReadWholeU16(bytes, 0);
    const uint16_t options = ReadWholeU16(bytes, 2);
    FBuffer.Size = height / 20;
    FBuffer.Italic = (options & 0x0002) ? 1 : 0;
    FBuffer.StrikeOut = (options & 0x0008) ? 1 : 0;
    FBuffer.ColorIndex = ColorIndexFromFile(ReadWholeU16(bytes, 4));
    FBuffer.Bold = ReadWholeU16(bytes, 6) == 700 ? 1 : 0;
    FBuffer.Script = static_cast<uint8_t>(ReadWholeU16(bytes, 8) & 0xFF);
    FBuffer.UnderlineKind = ReadU8(bytes, 10);
    FBuffer.Underline = FBuffer.UnderlineKind != 0 ? 1 : 0;

    // ShortXLUnicodeString at offset 14: count, option byte, characters.
    std::u16string name;
    if (size >= 16) {
        const size_t count = body[14];
        const bool wide = body[15] & 0x01;
        const size_t unitSize = wide ? 2 : 1;
        const size_t available = (size - 16) / unitSize;
        const size_t length = std::min({count, available, size_t{100}});
        for (size_t i = 0; i < length; ++i) {
            const size_t at = 16 + i * unitSize;
            name.push_back(wide ? static_cast<char16_t>(ReadU16(bytes, at)) : static_cast<char16_t>(ReadU8(bytes, at)));
        }
    }
    FBuffer.SetName(name);
    return FBuffer;
}
