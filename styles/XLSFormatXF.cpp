#include "styles/XLSFormatXF.h"

#include <algorithm>
#include <cstring>

#include "platform/LittleEndian.h"
#include "styles/XLSFont.h"

std::string TXFRecord::Bytes() const
{
    std::string b;
    b.reserve(ByteSize);
    for (uint16_t field : {FontIndex, FormatIndex}) {
        b.push_back(static_cast<char>(field & 0xFF));
        b.push_back(static_cast<char>(field >> 8));
    }
    for (uint8_t field : {HAlign, VAlign, Rotation, WrapText, FillPattern, PatternColor, FillColor, Merged, Indent})
        b.push_back(static_cast<char>(field));
    b.append(reinterpret_cast<const char*>(BorderColor), 4);
    b.append(reinterpret_cast<const char*>(BorderStyle), 4);
    b.push_back(static_cast<char>(StyleXF));
    b.push_back(static_cast<char>(Locked));
    return b;
}

TXFRecord TXFRecord::FromBytes(const std::string& bytes)
{
    // Read for every cell a page shows: one copy, then plain byte reads. A
    // shorter string reads as if padded with zeros.
    uint8_t b[ByteSize] = {};
    std::memcpy(b, bytes.data(), std::min(bytes.size(), ByteSize));
    TXFRecord rec{};
    rec.FontIndex = ReadU16(b, 0);
    rec.FormatIndex = ReadU16(b, 2);
    rec.HAlign = b[4];
    rec.VAlign = b[5];
    rec.Rotation = b[6];
    rec.WrapText = b[7];
    rec.FillPattern = b[8];
    rec.PatternColor = b[9];
    rec.FillColor = b[10];
    rec.Merged = b[11];
    rec.Indent = b[12];
    std::memcpy(rec.BorderColor, b + 13, 4);
    std::memcpy(rec.BorderStyle, b + 17, 4);
    rec.StyleXF = b[21];
    rec.Locked = b[22];
    return rec;
}

TXFRecord TXFRecord::Default()
{
    TXFRecord rec{};
    rec.VAlign = 2;
    rec.PatternColor = AutoForegroundColor;
    rec.FillColor = AutoBackgroundColor;
    std::fill(std::begin(rec.BorderColor), std::end(rec.BorderColor), AutoBackgroundColor);
    rec.Locked = 1;
    return rec;
}

TVirtualXFTable::TVirtualXFTable()
{
    ResetBuffer();
    FDefaultIndex = Commit();
    Load(FDefaultIndex);
    FDefaultRecord = FLoadedRecord;
    FDefaultDecoded = TXFRecord::FromBytes(FDefaultRecord);
}

void TVirtualXFTable::EnsureDefault()
{
    FDefaultIndex = FTable.IndexOf(FDefaultRecord);
    if (FDefaultIndex < 0) {
        ResetBuffer();
        FDefaultIndex = Commit();
    }
}

const TXFRecord& TVirtualXFTable::GetOrDefault(int index) const
{
    if (index < 0 || index >= Count())
        return FDefaultDecoded;
    return Get(index);
}

void SetFileFill(TXFRecord& rec, uint8_t pattern, uint16_t foreIcv, uint16_t backIcv)
{
    rec.FillPattern = pattern;
    const uint8_t fore = ColorIndexFromFile(foreIcv);
    const uint8_t back = ColorIndexFromFile(backIcv);
    rec.FillColor = pattern == 1 ? fore : back;
    rec.PatternColor = pattern == 1 ? back : fore;
}

TXFRecord& TVirtualXFTable::ReadXFRecord(const uint8_t* body, size_t size)
{
    ResetBuffer();
    const TByteSpan bytes(body, size);
    FBuffer.FontIndex = ReadU16(bytes, 0);
    FBuffer.FormatIndex = ReadU16(bytes, 2);

    const uint32_t protection = ReadU16(bytes, 4);
    FBuffer.Locked = protection & 0x0001;
    FBuffer.StyleXF = (protection & 0x0004) ? 1 : 0;

    const uint32_t alignment = ReadU16(bytes, 6);
    FBuffer.HAlign = alignment & 0x07;
    FBuffer.WrapText = (alignment >> 3) & 0x01;
    FBuffer.VAlign = (alignment >> 4) & 0x07;
    FBuffer.Rotation = static_cast<uint8_t>(alignment >> 8);

    FBuffer.Indent = ReadU16(bytes, 8) & 0x0F;

    const uint32_t styles = ReadU16(bytes, 10);
    for (int side = 0; side < 4; ++side)
        FBuffer.BorderStyle[side] = (styles >> (4 * side)) & 0x0F;

    const uint32_t sideColors = ReadU16(bytes, 12);
    FBuffer.BorderColor[BorderLeft] = ColorIndexFromFile(sideColors & 0x7F);
    FBuffer.BorderColor[BorderRight] = ColorIndexFromFile((sideColors >> 7) & 0x7F);

    const uint32_t edgeColors = ReadU32(bytes, 14);
    FBuffer.BorderColor[BorderTop] = ColorIndexFromFile(edgeColors & 0x7F);
    FBuffer.BorderColor[BorderBottom] = ColorIndexFromFile((edgeColors >> 7) & 0x7F);
    const uint32_t fill = ReadU16(bytes, 18);
    SetFileFill(FBuffer, static_cast<uint8_t>(edgeColors >> 26), fill & 0x7F, (fill >> 7) & 0x7F);
    return FBuffer;
}

bool TVirtualXFTable::IsPlain(const TXFRecord& rec)
{
    return rec.FormatIndex == 0 && rec.WrapText == 0 && rec.FillPattern == 0 && rec.Merged == 0 &&
           rec.Indent == 0 && rec.Locked == 1 && rec.BorderStyle[0] == 0 && rec.BorderStyle[1] == 0 &&
           rec.BorderStyle[2] == 0 && rec.BorderStyle[3] == 0;
}
