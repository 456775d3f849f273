// The routines of RC4-encrypted workbooks ([MS-XLS] 2.2.10, [MS-OFFCRYPTO]
// 2.3.6): MD5 (RFC 1321), RC4, the MD5-based key derivation, the password
// check against a FILEPASS verifier, and the per-block decryption.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

using TMD5Digest = std::array<uint8_t, 16>;
// The derived key H1; only its first 5 bytes enter the block keys.
using TXLSKey = std::array<uint8_t, 16>;

// The password [MS-OFFCRYPTO] prescribes for workbooks that are encrypted
// without an opening password (protected against changes only).
extern const std::u16string DefaultPassword;

// The size of a re-keying block of the encrypted "Workbook" stream.
constexpr int XLSCryptBlockSize = 1024;

// MD5 digest of `size` bytes (RFC 1321).
TMD5Digest MD5Digest(const void* data, size_t size);

// RC4: key scheduling over a key used cyclically, then the key stream with the
// two indexes kept between calls.
class TRC4 {
public:
    void Init(const uint8_t* key, size_t keySize);
    // out[i] = in[i] XOR next key-stream byte; `in` and `out` may be the same.
    void Process(const uint8_t* in, uint8_t* out, size_t size);

    std::array<uint8_t, 256> S {};
    uint8_t I = 0;
    uint8_t J = 0;
};

// H1 = MD5(16 x (first 5 bytes of MD5(password UTF-16LE)) + salt).
// A password of more than 15 code units raises std::runtime_error
// "File protection password must have 0-15 characters.".
TXLSKey DeriveKey(const std::u16string& password, const uint8_t* salt16);

// MD5 of the first 5 bytes of the key followed by the block number (32-bit LE).
TMD5Digest BlockKey(const TXLSKey& key, uint32_t blockNumber);

// True when `password` opens a FILEPASS with this salt, encrypted verifier and
// encrypted verifier hash (16 bytes each); `key` then holds the derived key.
// Raises like DeriveKey for a password that is too long.
bool Verify(const std::u16string& password, const uint8_t* salt16, const uint8_t* verifier16,
            const uint8_t* verifierHash16, TXLSKey& key);

// plain[k] = raw[k] XOR key-stream byte k of block `blockNumber`, for the 1024
// bytes of a block; `state` is re-initialised with the block's own key.
void DecryptBlock(const uint8_t* raw, uint32_t blockNumber, const TXLSKey& key, uint8_t* plain, TRC4& state);
