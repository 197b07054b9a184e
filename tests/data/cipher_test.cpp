#include "data/ByteStream.h"
#include "data/Cp1253.h"
#include "data/Errors.h"
#include "data/FileCipher.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

namespace tamisko {
namespace {

using cipher::Block;
using Bytes = std::vector<uint8_t>;

Bytes fromHex(std::string_view hex)
{
    Bytes bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(
            static_cast<uint8_t>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
    return bytes;
}

Block blockFromHex(std::string_view hex)
{
    const Bytes bytes = fromHex(hex);
    Block block{};
    std::copy(bytes.begin(), bytes.end(), block.begin());
    return block;
}

Bytes pattern(size_t length, uint8_t seed = 7)
{
    Bytes bytes(length);
    uint32_t x = seed;
    for (auto& b : bytes) {
        x = x * 1103515245u + 12345u;
        b = static_cast<uint8_t>(x >> 16);
    }
    return bytes;
}

Bytes encrypt(FileCipher& cipher, const Bytes& plain)
{
    ByteStream source(plain);
    ByteStream destination;
    cipher.EncryptStream(source, destination, source.size());
    return destination.bytes();
}

Bytes decrypt(FileCipher& cipher, const Bytes& encrypted)
{
    ByteStream source(encrypted);
    ByteStream destination;
    cipher.DecryptStream(source, destination, source.size());
    return destination.bytes();
}

std::string cp1253Password(std::string_view utf8)
{
    return cp1253::fromUtf8OrThrow(utf8);
}

Bytes readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

TEST(Ripemd256, GivesThePublishedDigests)
{
    struct Case
    {
        std::string message;
        std::string digest;
    };
    const Case cases[] = {
        {"", "02ba4c4e5f8ecd1877fc52d64d30e37a2d9774fb1e5d026380ae0168e3c5522d"},
        {"a", "f9333e45d857f5d90a91bab70a1eba0cfb1be4b0783c9acfcd883a9134692925"},
        {"abc", "afbd6e228b9d8cbbcef5ca2d03e6dba10ac0bc7dcbe4680e1e42d2e975459b65"},
        {"message digest", "87e971759a1ce47a514d5c914c392c9018c7c46bc14465554afcdf54a5070c0e"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "06fdcc7a409548aaf91368c06a6275b553e3f099bf0ea4edfd6778df89a890dd"},
    };
    for (const auto& c : cases) {
        const auto digest = cipher::ripemd256(
            {reinterpret_cast<const uint8_t*>(c.message.data()), c.message.size()});
        EXPECT_EQ(Bytes(digest.begin(), digest.end()), fromHex(c.digest)) << c.message;
    }
}

TEST(BlowfishBlock, GivesThePublishedCipherTexts)
{
    struct Case
    {
        std::string key, plain, cipherText;
    };
    const Case cases[] = {
        {"0000000000000000", "0000000000000000", "4ef997456198dd78"},
        {"ffffffffffffffff", "ffffffffffffffff", "51866fd5b85ecb8a"},
        {"3000000000000000", "1000000000000001", "7d856f9a613063f2"},
        {"0123456789abcdef", "1111111111111111", "61f9c3802281b096"},
        {"fedcba9876543210", "0123456789abcdef", "0aceab0fc6a0a28d"},
        {"f0e1d2c3b4a5968778695a4b3c2d1e0f0011223344556677", "fedcba9876543210",
         "05044b62fa52d080"},
    };
    for (const auto& c : cases) {
        const cipher::BlowfishBlock blowfish(fromHex(c.key));
        EXPECT_EQ(blowfish.encrypt(blockFromHex(c.plain)), blockFromHex(c.cipherText)) << c.key;
        EXPECT_EQ(blowfish.decrypt(blockFromHex(c.cipherText)), blockFromHex(c.plain)) << c.key;
    }
}

// The mode written out naively, in one piece, as the format defines it.
Bytes referenceChainEncrypt(std::string_view password, const Bytes& plain)
{
    const auto key =
        cipher::ripemd256({reinterpret_cast<const uint8_t*>(password.data()), password.size()});
    const cipher::BlowfishBlock blowfish(key);
    const Block vector = blowfish.encrypt(blockFromHex("ffffffffffffffff"));
    Block feedback = vector;
    Bytes out;
    size_t i = 0;
    for (; i + 8 <= plain.size(); i += 8) {
        Block p{};
        for (size_t j = 0; j < 8; ++j)
            p[j] = plain[i + j] ^ feedback[j];
        const Block c = blowfish.encrypt(p);
        out.insert(out.end(), c.begin(), c.end());
        for (size_t j = 0; j < 8; ++j)
            feedback[j] ^= c[j];
    }
    const Block stream = blowfish.encrypt(feedback);
    for (size_t j = 0; i < plain.size(); ++i, ++j)
        out.push_back(plain[i] ^ stream[j]);
    return out;
}

class FileCipherTest : public ::testing::Test
{
protected:
    void SetUp() override { cipher.InitKey(password); }

    const std::string password = cp1253Password("δοκιμή");
    FileCipher cipher;
};

TEST_F(FileCipherTest, RoundTripsEveryLengthAroundBlockAndPieceBoundaries)
{
    std::vector<size_t> lengths;
    for (size_t n = 0; n <= 20; ++n)
        lengths.push_back(n);
    for (size_t n : {4095u, 4096u, 4097u, 8200u})
        lengths.push_back(n);
    for (size_t n : lengths) {
        const Bytes plain = pattern(n);
        const Bytes encrypted = encrypt(cipher, plain);
        ASSERT_EQ(encrypted.size(), n);
        if (n >= 8) {
            EXPECT_NE(encrypted, plain) << n;
        }
        EXPECT_EQ(decrypt(cipher, encrypted), plain) << n;
        EXPECT_EQ(encrypt(cipher, plain), encrypted) << "not deterministic at " << n;
    }
}

TEST_F(FileCipherTest, CodingInPiecesEqualsTheModeInOnePiece)
{
    for (size_t n : {7u, 8u, 4095u, 4096u, 4097u, 8200u, 12290u}) {
        const Bytes plain = pattern(n, 3);
        EXPECT_EQ(encrypt(cipher, plain), referenceChainEncrypt(password, plain)) << n;
    }
}

TEST_F(FileCipherTest, ShortPayloadIsXoredWithTheEncryptedVector)
{
    const auto key =
        cipher::ripemd256({reinterpret_cast<const uint8_t*>(password.data()), password.size()});
    const cipher::BlowfishBlock blowfish(key);
    const Block stream = blowfish.encrypt(blowfish.encrypt(blockFromHex("ffffffffffffffff")));
    for (size_t n = 1; n <= 7; ++n) {
        const Bytes plain = pattern(n);
        Bytes expected = plain;
        for (size_t i = 0; i < n; ++i)
            expected[i] ^= stream[i];
        EXPECT_EQ(encrypt(cipher, plain), expected) << n;
        EXPECT_EQ(decrypt(cipher, expected), plain) << n;
    }
}

TEST_F(FileCipherTest, ChangedBlockChangesItselfAndEveryLaterBlockOnly)
{
    const Bytes plain = pattern(64);
    const Bytes original = encrypt(cipher, plain);
    for (size_t k = 0; k < 8; ++k) {
        Bytes changed = plain;
        changed[k * 8 + 3] ^= 0x01;
        const Bytes encrypted = encrypt(cipher, changed);
        for (size_t block = 0; block < 8; ++block) {
            const bool same =
                std::equal(encrypted.begin() + block * 8, encrypted.begin() + block * 8 + 8,
                           original.begin() + block * 8);
            EXPECT_EQ(same, block < k) << "changed block " << k << ", block " << block;
        }
    }
}

TEST_F(FileCipherTest, CodesFromAndToTheStreamPositions)
{
    const Bytes plain = pattern(30);
    ByteStream source(plain);
    source.setPosition(5);
    ByteStream destination(Bytes(3, 0xEE));
    destination.setPosition(3);
    cipher.EncryptStream(source, destination, 20);
    EXPECT_EQ(source.position(), 25);
    EXPECT_EQ(destination.position(), 23);
    const Bytes expected = encrypt(cipher, Bytes(plain.begin() + 5, plain.begin() + 25));
    EXPECT_EQ(Bytes(destination.bytes().begin() + 3, destination.bytes().end()), expected);
    EXPECT_EQ(Bytes(destination.bytes().begin(), destination.bytes().begin() + 3), Bytes(3, 0xEE));
}

TEST(FileCipher, PasswordsCountAsTheirCp1253BytesAndWhole)
{
    const Bytes plain = pattern(40);
    auto encryptedUnder = [&](std::string_view password) {
        FileCipher cipher;
        cipher.InitKey(password);
        return encrypt(cipher, plain);
    };
    const std::string greek = cp1253Password("δοκιμή");
    ASSERT_EQ(greek.size(), 6u);
    EXPECT_EQ(encryptedUnder(greek), referenceChainEncrypt(greek, plain));
    EXPECT_NE(encryptedUnder(greek), encryptedUnder("δοκιμή")); // UTF-8 bytes are another key

    const std::string longPassword(70, 'x');
    EXPECT_NE(encryptedUnder(longPassword), encryptedUnder(longPassword.substr(0, 69) + "y"));
    EXPECT_NE(encryptedUnder(""), encryptedUnder(" "));
}

TEST(FileCipher, ReadsTheProtectedSampleAndWritesItAgain)
{
    const Bytes plainFile = readFile(TAMISKO_SAMPLES_DIR "/household-2021-2023.tmk");
    const Bytes protectedFile = readFile(TAMISKO_SAMPLES_DIR "/household-2021-2023-protected.tmk");
    ASSERT_FALSE(plainFile.empty());
    ASSERT_EQ(plainFile.size(), protectedFile.size());
    const Bytes payload(plainFile.begin() + 1, plainFile.end());
    const Bytes encrypted(protectedFile.begin() + 1, protectedFile.end());

    FileCipher cipher;
    cipher.InitKey(cp1253Password("δοκιμή"));
    EXPECT_EQ(decrypt(cipher, encrypted), payload);
    cipher.InitKey(cp1253Password("δοκιμή"));
    EXPECT_EQ(encrypt(cipher, payload), encrypted);
}

TEST(FileCipher, RefusesToCodeBeforeAKeyIsSet)
{
    FileCipher cipher;
    ByteStream source(pattern(8));
    ByteStream destination;
    EXPECT_THROW(cipher.EncryptStream(source, destination, 8), Error);
    EXPECT_THROW(cipher.DecryptStream(source, destination, 8), Error);
    EXPECT_EQ(destination.size(), 0);
}

TEST(FileCipher, EmptyPayloadGivesNoOutput)
{
    FileCipher cipher;
    cipher.InitKey("x");
    EXPECT_TRUE(encrypt(cipher, {}).empty());
    EXPECT_TRUE(decrypt(cipher, {}).empty());
}

} // namespace
} // namespace tamisko
