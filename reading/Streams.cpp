#include "reading/Streams.h"

#include <algorithm>
#include <cstring>

namespace {

// Replaces the low `count` bytes of a little-endian value with `bytes`.
template <typename T>
void StoreLowBytes(T& value, const uint8_t* bytes, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        value = T(value & ~(T(0xFF) << (8 * i)));
        value = T(value | T(bytes[i]) << (8 * i));
    }
}

} // namespace

void TEasyStream::SetSize(size_t size)
{
    FBuffer.resize(size, 0);
    FPosition = std::min(FPosition, size);
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
bool TEasyStream::ReadLittleEndian(T& value)
{
    size_t n = std::min(sizeof(T), Remaining());
    StoreLowBytes(value, FBuffer.data() + FPosition, n);
    FPosition += n;
    return n == sizeof(T);
}

bool TEasyStream::ReadWord(uint16_t& value) { return ReadLittleEndian(value); }

bool TEasyStream::ReadDWord(uint32_t& value) { return ReadLittleEndian(value); }

bool TEasyStream::ReadDouble(double& value)
{
    uint64_t bits;
    std::memcpy(&bits, &value, 8);
    bool complete = ReadLittleEndian(bits);
    std::memcpy(&value, &bits, 8);
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
