#include "reading/Streams.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/LittleEndian.h"

void TEasyStream::SetSize(size_t size)
{
    FBuffer.resize(size, 0);
    FPosition = std::min(FPosition, size);
}

void TEasyStream::Assign(const uint8_t* bytes, size_t count)
{
    FBuffer.assign(bytes, bytes + count);
    FPosition = 0;
}

void TEasyStream::SetPosition(size_t position) { FPosition = std::min(position, FBuffer.size()); }

bool TEasyStream::ReadBytes(void* buffer, size_t count)
{
    size_t n = std::min(count, Remaining());
    if (n) std::memcpy(buffer, FBuffer.data() + FPosition, n);
    FPosition += n;
    return n == count;
}

bool TEasyStream::ReadByte(uint8_t& value) { return ReadBytes(&value, 1); }

template <typename T>
bool TEasyStream::ReadCutNumber(T& value)
{
    const size_t n = BytesWithin(FBuffer, FPosition, sizeof(T));
    // A read cut off by the end keeps the bytes of `value` above those it found.
    const T kept = n == sizeof(T) ? T(0) : T(value >> (8 * n) << (8 * n));
    value = T(kept | ReadLittleEndian<T>(FBuffer, FPosition));
    FPosition += n;
    return n == sizeof(T);
}

template bool TEasyStream::ReadCutNumber(uint16_t&);
template bool TEasyStream::ReadCutNumber(uint32_t&);
template bool TEasyStream::ReadCutNumber(uint64_t&);


bool TEasyStream::ReadDouble(double& value)
{
    uint64_t bits = std::bit_cast<uint64_t>(value);
    const bool complete = ReadNumber(bits);
    value = std::bit_cast<double>(bits);
    return complete;
}

bool TEasyStream::ReadBytesAsString(std::string& value, size_t count)
{
    if (count > Remaining()) return false;
    value.assign(reinterpret_cast<const char*>(FBuffer.data() + FPosition), count);
    FPosition += count;
    return true;
}

void TEasyStream::Skip(size_t count) { FPosition += std::min(count, Remaining()); }
