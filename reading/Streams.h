// TEasyStream: the in-memory body of one record with the little-endian reads
// the record handlers use. A read cut off by the end of the body copies what
// is left into the low bytes of its target and reports false, so a short
// record yields zero or partial fields rather than a failure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/LittleEndian.h"

class TEasyStream {
public:
    size_t Size() const { return FBuffer.size(); }
    // Resizes the buffer (new bytes are zero) and keeps the position within it.
    void SetSize(size_t size);
    // The stream becomes a copy of the bytes, positioned at 0.
    void Assign(const uint8_t* bytes, size_t count);
    size_t Position() const { return FPosition; }
    // Positions beyond the end are clamped to the end.
    void SetPosition(size_t position);
    size_t Remaining() const { return FBuffer.size() - FPosition; }

    uint8_t* Data() { return FBuffer.data(); }
    const uint8_t* Data() const { return FBuffer.data(); }

    bool ReadByte(uint8_t& value);
    bool ReadWord(uint16_t& value) { return ReadNumber(value); }
    bool ReadDWord(uint32_t& value) { return ReadNumber(value); }
    // The 8 bytes of an IEEE double, as ReadBytes.
    bool ReadDouble(double& value);
    // Copies min(count, Remaining) bytes; false when fewer than `count` were left.
    bool ReadBytes(void* buffer, size_t count);
    // `count` bytes into `value` (resized to `count`); when fewer remain, fails
    // and leaves both `value` and the position untouched.
    bool ReadBytesAsString(std::string& value, size_t count);
    // Moves forward by `count`, stopping at the end.
    void Skip(size_t count);

private:
    template <typename T>
    bool ReadNumber(T& value)
    {
        if (FPosition + sizeof(T) <= FBuffer.size()) { // the whole field is there
            value = ReadLittleEndian<T, sizeof(T)>(FBuffer.data() + FPosition);
            FPosition += sizeof(T);
            return true;
        }
        return ReadCutNumber(value);
    }
    // A field cut off by the end of the body.
    template <typename T>
    bool ReadCutNumber(T& value);

    std::vector<uint8_t> FBuffer;
    size_t FPosition = 0;
};
