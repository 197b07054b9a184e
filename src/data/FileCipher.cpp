#include "data/FileCipher.h"

#include "data/ByteStream.h"
#include "data/Errors.h"

#include <algorithm>
#include <cryptopp/blowfish.h>
#include <cryptopp/ripemd.h>
#include <vector>

namespace tamisko {
namespace cipher {

Digest ripemd256(std::span<const uint8_t> message)
{
    Digest digest{};
    CryptoPP::RIPEMD256 hash;
    hash.CalculateDigest(digest.data(), message.data(), message.size());
    return digest;
}

struct BlowfishBlock::Impl
{
    CryptoPP::Blowfish::Encryption encryption;
    CryptoPP::Blowfish::Decryption decryption;
};

BlowfishBlock::BlowfishBlock(std::span<const uint8_t> key) : impl_(std::make_unique<Impl>())
{
    impl_->encryption.SetKey(key.data(), key.size());
    impl_->decryption.SetKey(key.data(), key.size());
}

BlowfishBlock::~BlowfishBlock() = default; // Crypto++ wipes its key schedule itself

Block BlowfishBlock::encrypt(const Block& block) const
{
    Block out{};
    impl_->encryption.ProcessBlock(block.data(), out.data());
    return out;
}

Block BlowfishBlock::decrypt(const Block& block) const
{
    Block out{};
    impl_->decryption.ProcessBlock(block.data(), out.data());
    return out;
}

} // namespace cipher

namespace {

using cipher::Block;

constexpr size_t kBlockSize = 8;
constexpr size_t kLargestKey = 56;
constexpr int64_t kPieceSize = 4096;

// Stores that the optimiser may not drop although the memory is never read again.
void secureFill(void* memory, uint8_t value, size_t size)
{
    auto* bytes = static_cast<volatile uint8_t*>(memory);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = value;
}

Block xorBlocks(const Block& a, const Block& b)
{
    Block out{};
    for (size_t i = 0; i < kBlockSize; ++i)
        out[i] = a[i] ^ b[i];
    return out;
}

Block loadBlock(const uint8_t* bytes)
{
    Block block{};
    std::copy_n(bytes, kBlockSize, block.begin());
    return block;
}

} // namespace

struct FileCipher::State
{
    std::unique_ptr<cipher::BlowfishBlock> blowfish;
    Block vector{};
    Block feedback{};
    Block buffer{};
    cipher::Digest digest{};
    bool initialized = false;

    enum class Direction
    {
        Encrypt,
        Decrypt
    };

    ~State()
    {
        clear();
        secureFill(digest.data(), 0x00, digest.size());
    }

    // Leaves no trace of the previous key: the old schedule goes with its object.
    void clear()
    {
        initialized = false;
        for (const uint8_t pattern : {uint8_t{0xAA}, uint8_t{0x55}}) {
            secureFill(vector.data(), pattern, kBlockSize);
            secureFill(feedback.data(), pattern, kBlockSize);
            secureFill(buffer.data(), pattern, kBlockSize);
        }
        secureFill(vector.data(), 0xFF, kBlockSize);
        secureFill(feedback.data(), 0xFF, kBlockSize);
        secureFill(buffer.data(), 0x00, kBlockSize);
        blowfish.reset();
    }

    void resetFeedback()
    {
        if (feedback != vector) {
            buffer = feedback;
            feedback = vector;
        }
    }

    void initKey(std::string_view password)
    {
        digest =
            cipher::ripemd256({reinterpret_cast<const uint8_t*>(password.data()), password.size()});
        const size_t keyLength = std::min(digest.size(), kLargestKey);
        clear();
        blowfish = std::make_unique<cipher::BlowfishBlock>(
            std::span<const uint8_t>(digest.data(), keyLength));
        vector = blowfish->encrypt(vector);
        feedback = vector;
        initialized = true;
        // The digest is the key: do not keep it in the clear.
        code(digest.data(), digest.size(), Direction::Encrypt);
        resetFeedback();
    }

    // The mode cmChain over n bytes in place, the feedback carrying over between calls.
    void code(uint8_t* data, size_t n, Direction direction)
    {
        const size_t whole = n - n % kBlockSize;
        for (size_t offset = 0; offset < whole; offset += kBlockSize) {
            const Block in = loadBlock(data + offset);
            Block cipherText{};
            Block out{};
            if (direction == Direction::Encrypt) {
                out = blowfish->encrypt(xorBlocks(in, feedback));
                cipherText = out;
            } else {
                out = xorBlocks(blowfish->decrypt(in), feedback);
                cipherText = in;
            }
            std::copy(out.begin(), out.end(), data + offset);
            feedback = xorBlocks(cipherText, feedback);
        }
        const size_t rest = n - whole;
        if (rest != 0) {
            const Block stream = blowfish->encrypt(feedback);
            for (size_t i = 0; i < rest; ++i)
                data[whole + i] ^= stream[i];
            feedback = xorBlocks(stream, feedback);
        }
    }

    void codeStream(ByteStream& source, ByteStream& destination, int64_t count, Direction direction)
    {
        if (!initialized)
            throw Error("The cipher has no key");
        resetFeedback();
        std::vector<uint8_t> piece(kPieceSize);
        // The feedback is reset and the buffer wiped also when a stream fails.
        struct Finish
        {
            State& state;
            std::vector<uint8_t>& piece;
            ~Finish()
            {
                secureFill(piece.data(), 0x00, piece.size());
                state.resetFeedback();
            }
        } finish{*this, piece};

        int64_t sourcePosition = source.position();
        int64_t destinationPosition = destination.position();
        while (count > 0) {
            source.setPosition(sourcePosition);
            const int64_t read = source.read(piece.data(), std::min(count, kPieceSize));
            sourcePosition = source.position();
            if (read <= 0)
                break;
            code(piece.data(), static_cast<size_t>(read), direction);
            destination.setPosition(destinationPosition);
            destination.write(piece.data(), read);
            destinationPosition = destination.position();
            count -= read;
        }
    }
};

FileCipher::FileCipher() : state_(std::make_unique<State>()) {}

FileCipher::~FileCipher() = default;

void FileCipher::InitKey(std::string_view password)
{
    state_->initKey(password);
}

void FileCipher::EncryptStream(ByteStream& source, ByteStream& destination, int64_t count)
{
    state_->codeStream(source, destination, count, State::Direction::Encrypt);
}

void FileCipher::DecryptStream(ByteStream& source, ByteStream& destination, int64_t count)
{
    state_->codeStream(source, destination, count, State::Direction::Decrypt);
}

} // namespace tamisko
