#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "platform/LittleEndian.h"

namespace {

// Every other byte has its high bit set: a read that sign-extends a byte of a
// std::string body spoils the bytes above it.
const std::vector<uint8_t> kBytes = {0x01, 0x82, 0x03, 0x84, 0x05, 0x86, 0x07, 0x88, 0x09};

struct TReadCase {
    size_t Offset;
    uint8_t U8;
    uint16_t U16;
    uint32_t U32;
    uint64_t U64;
};

const TReadCase kReadCases[] = {
    {0, 0x01, 0x8201, 0x84038201, 0x8807860584038201},
    {1, 0x82, 0x0382, 0x05840382, 0x0988078605840382},
    {6, 0x07, 0x8807, 0x00098807, 0x0000000000098807}, // three bytes left
    {8, 0x09, 0x0009, 0x00000009, 0x0000000000000009}, // one byte left
    {9, 0, 0, 0, 0},                                   // at the end
    {std::numeric_limits<size_t>::max(), 0, 0, 0, 0},  // offset + width wraps around
};

} // namespace

TEST(LittleEndian, ReadsEveryWidthAndCutsOffAtTheEnd)
{
    const std::string body(kBytes.begin(), kBytes.end());
    for (const TReadCase& c : kReadCases) {
        SCOPED_TRACE("offset " + std::to_string(c.Offset));
        EXPECT_EQ(ReadU8(kBytes, c.Offset), c.U8);
        EXPECT_EQ(ReadU16(kBytes, c.Offset), c.U16);
        EXPECT_EQ(ReadU32(kBytes, c.Offset), c.U32);
        EXPECT_EQ(ReadU64(kBytes, c.Offset), c.U64);
        // The same bytes kept in a std::string read alike.
        EXPECT_EQ(ReadU8(body, c.Offset), c.U8);
        EXPECT_EQ(ReadU16(body, c.Offset), c.U16);
        EXPECT_EQ(ReadU32(body, c.Offset), c.U32);
        EXPECT_EQ(ReadU64(body, c.Offset), c.U64);
    }
    EXPECT_EQ(ReadU32(TByteSpan()), 0u);
    EXPECT_EQ(ReadU16(TByteSpan(kBytes).first(1)), 0x01); // only the bytes of the view count
}

TEST(LittleEndian, WholeFieldsReadZeroWhenCutOff)
{
    const uint8_t bytes[] = {0x34, 0x12, 0xAB};
    EXPECT_EQ(ReadWholeU16(bytes, 0), 0x1234);
    EXPECT_EQ(ReadWholeU16(bytes, 1), 0xAB12);
    EXPECT_EQ(ReadWholeU16(bytes, 2), 0); // ReadU16 would give 0x00AB
    EXPECT_EQ(ReadWholeU16(bytes, 3), 0);
    EXPECT_EQ(ReadWholeU16(std::string("\xFE\xFF"), 0), 0xFFFE);
    EXPECT_EQ(ReadWholeU16(bytes, std::numeric_limits<size_t>::max()), 0);
}

TEST(LittleEndian, DoublesAreTheirEightBytes)
{
    const uint8_t minusTwoAndAHalf[] = {0xAA, 0, 0, 0, 0, 0, 0, 0x04, 0xC0};
    EXPECT_EQ(ReadDouble(minusTwoAndAHalf, 1), -2.5);
    EXPECT_EQ(ReadDouble(std::string("\x00\x00\x00\x00\x00\x00\xF0\x3F", 8)), 1.0);
    EXPECT_EQ(ReadDouble(minusTwoAndAHalf, 9), 0.0);
}
