#include <gtest/gtest.h>

#include <cstdio>
#include <stdexcept>

#include "fixtures/BiffEncrypt.h"
#include "reading/XLSProtect.h"

namespace {

std::string Hex(const uint8_t* bytes, size_t size)
{
    std::string out;
    char buffer[3];
    for (size_t i = 0; i < size; ++i) {
        std::snprintf(buffer, sizeof buffer, "%02x", bytes[i]);
        out += buffer;
    }
    return out;
}

template <size_t N>
std::string Hex(const std::array<uint8_t, N>& bytes) { return Hex(bytes.data(), N); }

std::array<uint8_t, 16> Salt0To15()
{
    std::array<uint8_t, 16> salt;
    for (int i = 0; i < 16; ++i) salt[i] = uint8_t(i);
    return salt;
}

// The salt, encrypted verifier and hash of a FILEPASS body as our writer makes it.
struct TFilePassFields {
    const uint8_t *Salt, *Verifier, *VerifierHash;
};
TFilePassFields FieldsOf(const std::vector<uint8_t>& body)
{
    return {body.data() + 6, body.data() + 22, body.data() + 38};
}

} // namespace

TEST(MD5, Rfc1321TestSuite)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& [input, digest] : cases) EXPECT_EQ(Hex(MD5Digest(input.data(), input.size())), digest) << input;
}

TEST(MD5, PaddingBoundaries)
{
    // 55, 56 and 64 bytes: the length field fits, just misses, and a full block.
    const std::pair<size_t, std::string> cases[] = {
        {55, "ef1772b6dff9a122358552954ad0df65"},
        {56, "3b0c8ac703f828b04c6c197006d17218"},
        {64, "014842d480b571495a4a0363793f7367"},
    };
    for (const auto& [size, digest] : cases) {
        std::string input(size, 'a');
        EXPECT_EQ(Hex(MD5Digest(input.data(), input.size())), digest) << size;
    }
}

TEST(RC4, KnownKeyStreams)
{
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"Key", "Plaintext", "bbf316e8d940af0ad3"},
        {"Wiki", "pedia", "1021bf0420"},
        {"Secret", "Attack at dawn", "45a01f645fc35b383552544b9bf5"},
    };
    for (const auto& [key, plain, cipher] : cases) {
        TRC4 rc4;
        rc4.Init(reinterpret_cast<const uint8_t*>(key.data()), key.size());
        std::vector<uint8_t> out(plain.size());
        // In two calls: the indexes carry over.
        rc4.Process(reinterpret_cast<const uint8_t*>(plain.data()), out.data(), 3);
        rc4.Process(reinterpret_cast<const uint8_t*>(plain.data()) + 3, out.data() + 3, plain.size() - 3);
        EXPECT_EQ(Hex(out.data(), out.size()), cipher) << key;
    }
}

// Expected values computed independently (Python hashlib and a textbook RC4).
TEST(XLSProtect, KeyDerivationAndBlockKeys)
{
    auto salt = Salt0To15();
    TXLSKey key = DeriveKey(u"abc", salt.data());
    EXPECT_EQ(Hex(key), "a47c21eabd99bb39800f953dd8f8f15f");
    EXPECT_EQ(Hex(BlockKey(key, 3)), "b90b3ad787e39c1000efbebd8c91d27a");
    EXPECT_EQ(Hex(DeriveKey(u"", salt.data())), "2f0714510aa1c53efa8b10bc2f73109b");

    // DecryptBlock keys each block by its number and starts at key-stream byte 0.
    uint8_t raw[1024] = {}, plain[1024];
    TRC4 state;
    DecryptBlock(raw, 3, key, plain, state);
    EXPECT_EQ(Hex(plain, 16), "14bdeefe650bf2d3627b1df5104383d5");
}

TEST(XLSProtect, DefaultPasswordIsTheStandardOne)
{
    EXPECT_EQ(DefaultPassword, u"VelvetSweatshop");
}

TEST(XLSProtect, VerifyRoundTripsWithOurFilePass)
{
    for (const std::u16string& password : {std::u16string(u""), std::u16string(u"secret"),
                                          std::u16string(u"\u00e4\u20ac\u4e2d"), DefaultPassword,
                                          std::u16string(15, u'x')}) {
        TEncryptOptions options;
        options.Password = password;
        std::vector<uint8_t> body = FilePassBody(options);
        ASSERT_EQ(body.size(), 54u);
        auto fields = FieldsOf(body);
        TXLSKey key {};
        EXPECT_TRUE(Verify(password, fields.Salt, fields.Verifier, fields.VerifierHash, key));
        EXPECT_EQ(key, DeriveKey(password, options.Salt.data()));
        TXLSKey untouched {};
        std::u16string wrong = password.empty() ? u"x" : u"#" + password.substr(1);
        EXPECT_FALSE(Verify(wrong, fields.Salt, fields.Verifier, fields.VerifierHash, untouched));
        EXPECT_EQ(untouched, TXLSKey {});
    }
}

TEST(XLSProtect, PasswordOfSixteenCharactersIsRefused)
{
    TEncryptOptions options;
    auto fields = FieldsOf(FilePassBody(options));
    TXLSKey key;
    try {
        Verify(std::u16string(16, u'a'), fields.Salt, fields.Verifier, fields.VerifierHash, key);
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "File protection password must have 0-15 characters.");
    }
}

TEST(XLSProtect, EncryptedBytesDecryptPerBlock)
{
    // Bytes straddling the block boundary: each part uses its own block's key.
    auto salt = Salt0To15();
    TXLSKey key = DeriveKey(u"abc", salt.data());
    std::vector<uint8_t> stream(2048);
    for (size_t i = 0; i < stream.size(); ++i) stream[i] = uint8_t(i * 7);
    std::vector<uint8_t> encrypted = stream;
    CryptStreamBytes(encrypted.data() + 1000, 100, 1000, key);
    EXPECT_EQ(std::vector<uint8_t>(encrypted.begin(), encrypted.begin() + 1000),
              std::vector<uint8_t>(stream.begin(), stream.begin() + 1000));
    uint8_t plain[1024];
    TRC4 state;
    for (uint32_t block = 0; block < 2; ++block) {
        DecryptBlock(encrypted.data() + 1024 * block, block, key, plain, state);
        for (size_t k = 0; k < 1024; ++k) {
            size_t at = 1024 * block + k;
            if (at >= 1000 && at < 1100) {
                ASSERT_EQ(plain[k], stream[at]) << at;
            }
        }
    }
}
