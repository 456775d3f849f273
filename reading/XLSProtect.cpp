#include "reading/XLSProtect.h"

#include <cstring>
#include <stdexcept>
#include <utility>

#include "platform/LittleEndian.h"

const std::u16string DefaultPassword = u"VelvetSweatshop";

namespace {

uint32_t RotateLeft(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

// RFC 1321, section 3.4: one round over a 64-byte block.
void MD5Transform(uint32_t state[4], const uint8_t* block)
{
    static const uint32_t K[64] = {
        0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
        0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
        0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
        0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
        0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
        0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
        0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
        0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};
    static const int R[64] = {7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
                              5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
                              4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
                              6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21};
    uint32_t x[16];
    for (size_t i = 0; i < 16; ++i) x[i] = ReadU32(TByteSpan(block, 64), 4 * i);
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (int i = 0; i < 64; ++i) {
        uint32_t f;
        int g;
        if (i < 16) { f = (b & c) | (~b & d); g = i; }
        else if (i < 32) { f = (d & b) | (~d & c); g = (5 * i + 1) % 16; }
        else if (i < 48) { f = b ^ c ^ d; g = (3 * i + 5) % 16; }
        else { f = c ^ (b | ~d); g = (7 * i) % 16; }
        uint32_t next = b + RotateLeft(a + f + K[i] + x[g], R[i]);
        a = d;
        d = c;
        c = b;
        b = next;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

void StoreLE32(uint8_t* out, uint32_t v)
{
    for (int i = 0; i < 4; ++i) out[i] = uint8_t(v >> (8 * i));
}

} // namespace

TMD5Digest MD5Digest(const void* data, size_t size)
{
    uint32_t state[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
    const auto* bytes = static_cast<const uint8_t*>(data);
    size_t whole = size / 64 * 64;
    for (size_t i = 0; i < whole; i += 64) MD5Transform(state, bytes + i);

    // Padding: 0x80, zeros, then the bit length as 64-bit little-endian.
    uint8_t tail[128] = {};
    size_t rest = size - whole;
    if (rest) std::memcpy(tail, bytes + whole, rest);
    tail[rest] = 0x80;
    size_t tailSize = rest < 56 ? 64 : 128;
    uint64_t bits = uint64_t(size) * 8;
    for (int i = 0; i < 8; ++i) tail[tailSize - 8 + i] = uint8_t(bits >> (8 * i));
    for (size_t i = 0; i < tailSize; i += 64) MD5Transform(state, tail + i);

    TMD5Digest digest;
    for (int i = 0; i < 4; ++i) StoreLE32(digest.data() + 4 * i, state[i]);
    return digest;
}

void TRC4::Init(const uint8_t* key, size_t keySize)
{
    for (int i = 0; i < 256; ++i) S[i] = uint8_t(i);
    uint8_t j = 0;
    for (int i = 0; i < 256; ++i) {
        j = uint8_t(j + S[i] + key[i % keySize]);
        std::swap(S[i], S[j]);
    }
    I = 0;
    J = 0;
}

void TRC4::Process(const uint8_t* in, uint8_t* out, size_t size)
{
    for (size_t k = 0; k < size; ++k) {
        I = uint8_t(I + 1);
        J = uint8_t(J + S[I]);
        std::swap(S[I], S[J]);
        out[k] = in[k] ^ S[uint8_t(S[I] + S[J])];
    }
}

TXLSKey DeriveKey(const std::u16string& password, const uint8_t* salt16)
{
    if (password.size() > 15) throw std::runtime_error("File protection password must have 0-15 characters.");
    uint8_t passwordBytes[30];
    for (size_t i = 0; i < password.size(); ++i) {
        passwordBytes[2 * i] = uint8_t(password[i]);
        passwordBytes[2 * i + 1] = uint8_t(password[i] >> 8);
    }
    TMD5Digest h0 = MD5Digest(passwordBytes, password.size() * 2);

    uint8_t buffer[16 * 21];
    for (int i = 0; i < 16; ++i) {
        std::memcpy(buffer + 21 * i, h0.data(), 5);
        std::memcpy(buffer + 21 * i + 5, salt16, 16);
    }
    return MD5Digest(buffer, sizeof buffer);
}

TMD5Digest BlockKey(const TXLSKey& key, uint32_t blockNumber)
{
    uint8_t input[9];
    std::memcpy(input, key.data(), 5);
    StoreLE32(input + 5, blockNumber);
    return MD5Digest(input, sizeof input);
}

bool Verify(const std::u16string& password, const uint8_t* salt16, const uint8_t* verifier16,
            const uint8_t* verifierHash16, TXLSKey& key)
{
    TXLSKey derived = DeriveKey(password, salt16);
    TMD5Digest blockKey = BlockKey(derived, 0);
    TRC4 rc4;
    rc4.Init(blockKey.data(), blockKey.size());
    uint8_t verifier[16], verifierHash[16];
    rc4.Process(verifier16, verifier, 16);
    rc4.Process(verifierHash16, verifierHash, 16);
    TMD5Digest expected = MD5Digest(verifier, 16);
    if (std::memcmp(expected.data(), verifierHash, 16) != 0) return false;
    key = derived;
    return true;
}

void DecryptBlock(const uint8_t* raw, uint32_t blockNumber, const TXLSKey& key, uint8_t* plain, TRC4& state)
{
    TMD5Digest blockKey = BlockKey(key, blockNumber);
    state.Init(blockKey.data(), blockKey.size());
    state.Process(raw, plain, XLSCryptBlockSize);
}
