// The CRC-32 checksum used as the bucket hash of the keyed tables.
//
// The register starts at 0x0FFFFFFF (seven F digits) and the result is not
// inverted at the end, so this is not the standard CRC-32 value of the bytes;
// it only has to spread keys over buckets, and that is all it is used for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

constexpr uint32_t Crc32Start = 0x0FFFFFFF;

// One entry of the reflected table of polynomial 0xEDB88320 (ISO 3309 / IEEE 802.3).
uint32_t Crc32TableEntry(uint8_t index);

// Runs `size` bytes through the register `crc`.
uint32_t Crc32Update(uint32_t crc, const void* data, size_t size);

// Crc32Update from Crc32Start, no final inversion.
uint32_t Crc32Hash(const void* data, size_t size);
inline uint32_t Crc32Hash(std::string_view bytes) { return Crc32Hash(bytes.data(), bytes.size()); }
