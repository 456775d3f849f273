// Little-endian numbers read from bytes, as the compound file and the BIFF
// records store them ([MS-CFB], [MS-XLS]). A read looks only at the
// bytes of the view it is given: a field cut off by the end reads the bytes
// that are there, its missing high bytes as zero, and a field that starts at
// or past the end reads 0. The views: a std::span of bytes (a std::vector or
// an array of uint8_t converts to it) or a record body kept in a std::string.
#pragma once

#include <algorithm>
#include <bit>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

using TByteSpan = std::span<const uint8_t>;

inline TByteSpan ByteSpan(TByteSpan bytes) { return bytes; }
inline TByteSpan ByteSpan(std::string_view bytes)
{
    return {reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()};
}

// The bytes of `bytes` from `offset` on that a field of `width` bytes there
// covers: `width`, fewer when the end cuts it off, 0 from the end on.
constexpr size_t BytesWithin(TByteSpan bytes, size_t offset, size_t width)
{
    return offset < bytes.size() ? std::min(width, bytes.size() - offset) : 0;
}

template <std::unsigned_integral T>
constexpr T ReadLittleEndian(TByteSpan bytes, size_t offset)
{
    const size_t count = BytesWithin(bytes, offset, sizeof(T));
    T value = 0;
    for (size_t i = 0; i < count; ++i) value = T(value | T(bytes[offset + i]) << (8 * i));
    return value;
}

// A field of `Width` bytes that the caller knows to be there in whole.
template <std::unsigned_integral T, size_t Width>
constexpr T ReadLittleEndian(const uint8_t* bytes)
{
    T value = 0;
    for (size_t i = 0; i < Width; ++i) value = T(value | T(bytes[i]) << (8 * i));
    return value;
}

// ReadU16(bytes, offset) and the others: bytes are any view ByteSpan takes.
template <std::unsigned_integral T>
struct TLittleEndianRead {
    template <typename Bytes>
    T operator()(const Bytes& bytes, size_t offset = 0) const
    {
        return ReadLittleEndian<T>(ByteSpan(bytes), offset);
    }
};
inline constexpr TLittleEndianRead<uint8_t> ReadU8;
inline constexpr TLittleEndianRead<uint16_t> ReadU16;
inline constexpr TLittleEndianRead<uint32_t> ReadU32;
inline constexpr TLittleEndianRead<uint64_t> ReadU64;

// The 8 bytes of an IEEE double.
template <typename Bytes>
double ReadDouble(const Bytes& bytes, size_t offset = 0)
{
    return std::bit_cast<double>(ReadU64(bytes, offset));
}

// For fields that count only when whole: 0 unless both bytes are there.
template <typename Bytes>
uint16_t ReadWholeU16(const Bytes& bytes, size_t offset = 0)
{
    const TByteSpan view = ByteSpan(bytes);
    return BytesWithin(view, offset, 2) == 2 ? ReadLittleEndian<uint16_t>(view, offset) : 0;
}
