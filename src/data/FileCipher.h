#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace tamisko {

class ByteStream;

// The cipher front end of protected documents: Blowfish under the RIPEMD-256 digest of
// the password, chained in the mode cmChain, coded through a 4096-byte buffer. The
// cipher text is exactly as long as the plain text; nothing is added to it.
class FileCipher final
{
public:
    enum class Mode
    {
        cmChain
    };

    FileCipher();
    ~FileCipher(); // wipes the key state
    FileCipher(const FileCipher&) = delete;
    FileCipher& operator=(const FileCipher&) = delete;

    Mode mode() const { return Mode::cmChain; }

    // Sets the key from the password's cp1253 bytes (no initial vector).
    void InitKey(std::string_view password);

    // Codes count bytes from the source's position to the destination's position;
    // afterwards both positions stand behind the bytes moved. Throws tamisko::Error
    // when no key has been set.
    void EncryptStream(ByteStream& source, ByteStream& destination, int64_t count);
    void DecryptStream(ByteStream& source, ByteStream& destination, int64_t count);

private:
    struct State;
    std::unique_ptr<State> state_;
};

// The two published algorithms under the cipher, exposed so that they can be checked
// against their published test values.
namespace cipher {

using Block = std::array<uint8_t, 8>;
using Digest = std::array<uint8_t, 32>;

Digest ripemd256(std::span<const uint8_t> message);

// Standard 16-round Blowfish; block bytes 0..3 are the big-endian left half.
class BlowfishBlock final
{
public:
    explicit BlowfishBlock(std::span<const uint8_t> key); // 4 to 56 bytes
    ~BlowfishBlock();
    BlowfishBlock(const BlowfishBlock&) = delete;
    BlowfishBlock& operator=(const BlowfishBlock&) = delete;

    Block encrypt(const Block& block) const;
    Block decrypt(const Block& block) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace cipher
} // namespace tamisko
