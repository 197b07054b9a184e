// The program's own Blowfish held against the Crypto++ one over keys of every length and
// many blocks, beside the published values that cipher_test checks: a wrong word of the
// schedule's starting table or a wrong round shows in nearly every cipher text.

#include "data/Blowfish.h"
#include "data/Errors.h"
#include "data/FileCipher.h"

#include <cryptopp/blowfish.h>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace tamisko {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(Blowfish, EqualsTheLibraryCipherForKeysOfEveryLength)
{
    std::mt19937 random(20261210);
    for (size_t length = 4; length <= 56; ++length) {
        for (int key = 0; key < 3; ++key) {
            Bytes bytes(length);
            for (uint8_t& b : bytes)
                b = static_cast<uint8_t>(random());
            const cipher::BlowfishBlock ours(bytes);
            CryptoPP::Blowfish::Encryption encryption(bytes.data(), bytes.size());
            CryptoPP::Blowfish::Decryption decryption(bytes.data(), bytes.size());
            for (int block = 0; block < 50; ++block) {
                cipher::Block plain{};
                for (uint8_t& b : plain)
                    b = static_cast<uint8_t>(random());
                cipher::Block expected{};
                encryption.ProcessBlock(plain.data(), expected.data());
                ASSERT_EQ(ours.encrypt(plain), expected) << length << " " << key << " " << block;
                cipher::Block back{};
                decryption.ProcessBlock(expected.data(), back.data());
                ASSERT_EQ(back, plain);
                ASSERT_EQ(ours.decrypt(expected), plain) << length << " " << key << " " << block;
            }
        }
    }
}

TEST(Blowfish, KeysOfFourToFiftySixBytesOnly)
{
    for (const size_t length : {0, 1, 3, 57, 64}) {
        const Bytes key(length, 0x5A);
        EXPECT_THROW(cipher::Blowfish{key}, Error) << length;
    }
    for (const size_t length : {4, 56}) {
        const Bytes key(length, 0x5A);
        EXPECT_NO_THROW(cipher::Blowfish{key}) << length;
    }
}

} // namespace
} // namespace tamisko
