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
bool TEasyStream::ReadNumber(T& value)
{
    if (FPosition + sizeof(T) <= FBuffer.size()) { // the whole field is there
        value = ReadLittleEndian<T, sizeof(T)>(FBuffer.data() + FPosition);
        FPosition += sizeof(T);
        return true;
    }
    const size_t n = BytesWithin(FBuffer, FPosition, sizeof(T));
    // A read cut off by the end keeps the bytes of `value` above those it found.
    const T kept = n == sizeof(T) ? T(0) : T(value >> (8 * n) << (8 * n));
    value = T(kept | ReadLittleEndian<T>(FBuffer, FPosition));
    FPosition += n;
    return n == sizeof(T);
}

bool TEasyStream::ReadWord(uint16_t& value) { return ReadNumber(value); }

bool TEasyStream::ReadDWord(uint32_t& value) { return ReadNumber(value); }

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
