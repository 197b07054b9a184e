#include "data/FileCipher.h"

#include "data/ByteStream.h"
#include "data/Errors.h"

#include <algorithm>
#include <cryptopp/blowfish.h>
#include <cryptopp/ripemd.h>
#include <cstring>
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

struct BlowfishBlock::Impl final
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
constexpr size_t kPieceSize = 4096;

// Stores that the optimiser may not drop although the memory is never read again.
void secureFill(void* memory, uint8_t value, size_t size)
{
    auto* bytes = static_cast<volatile uint8_t*>(memory);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = value;
}

uint64_t load(const uint8_t* bytes)
{
    uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

void store(uint8_t* bytes, uint64_t word)
{
    std::memcpy(bytes, &word, sizeof word);
}

} // namespace

struct FileCipher::State final
{
    struct Schedule final
    {
        CryptoPP::Blowfish::Encryption encryption;
        CryptoPP::Blowfish::Decryption decryption;
    };

    std::unique_ptr<Schedule> schedule;
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

    // Leaves no trace of the previous key: the old schedule goes with its object, which
    // wipes it.
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
        schedule.reset();
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
        schedule = std::make_unique<Schedule>();
        schedule->encryption.SetKey(digest.data(), keyLength);
        schedule->decryption.SetKey(digest.data(), keyLength);
        schedule->encryption.ProcessBlock(vector.data());
        feedback = vector;
        initialized = true;
        // The digest is the key: do not keep it in the clear.
        code(digest.data(), digest.data(), digest.size(), Direction::Encrypt);
        resetFeedback();
    }

    // The mode cmChain from n bytes at `in` to `out` (which may be the same place), the
    // feedback carrying over between calls. Blocks are XORed as 64-bit words; only the
    // byte order of a word in memory matters, and load and store keep it.
    void code(const uint8_t* in, uint8_t* out, size_t n, Direction direction)
    {
        uint64_t chain = load(feedback.data());
        const size_t whole = n - n % kBlockSize;
        if (direction == Direction::Encrypt) {
            const auto& encryption = schedule->encryption;
            for (size_t offset = 0; offset < whole; offset += kBlockSize) {
                uint8_t mixed[kBlockSize];
                store(mixed, load(in + offset) ^ chain);
                encryption.ProcessBlock(mixed, out + offset);
                chain ^= load(out + offset);
            }
        } else {
            const auto& decryption = schedule->decryption;
            uint8_t chainBytes[kBlockSize];
            for (size_t offset = 0; offset < whole; offset += kBlockSize) {
                uint8_t cipherText[kBlockSize];
                std::memcpy(cipherText, in + offset, kBlockSize);
                store(chainBytes, chain);
                decryption.ProcessAndXorBlock(cipherText, chainBytes, out + offset);
                chain ^= load(cipherText);
            }
            secureFill(chainBytes, 0x00, kBlockSize);
        }
        const size_t rest = n - whole;
        if (rest != 0) {
            uint8_t chainBytes[kBlockSize];
            uint8_t stream[kBlockSize];
            store(chainBytes, chain);
            schedule->encryption.ProcessBlock(chainBytes, stream);
            for (size_t i = 0; i < rest; ++i)
                out[whole + i] = in[whole + i] ^ stream[i];
            chain ^= load(stream);
            secureFill(stream, 0x00, kBlockSize);
            secureFill(chainBytes, 0x00, kBlockSize);
        }
        store(feedback.data(), chain);
    }

    void codeStream(ByteStream& source, ByteStream& destination, int64_t count, Direction direction)
    {
        if (!initialized)
            throw Error("The cipher has no key");
        resetFeedback();
        // The feedback is reset also when a stream fails.
        struct Finish final
        {
            State& state;
            ~Finish() { state.resetFeedback(); }
        } finish{*this};

        const int64_t from = source.position();
        const int64_t available = from < 0 ? 0 : std::max<int64_t>(source.size() - from, 0);
        const int64_t n = std::max<int64_t>(std::min(count, available), 0);
        if (n == 0)
            return;
        const int64_t to = destination.position();
        if (to < 0)
            throw Error("Cannot write before the start of a stream");
        const auto length = static_cast<size_t>(n);

        // A stream coded in place needs nothing more, each block being read before it is
        // overwritten; coded into itself elsewhere, it reads a copy, so that no block reads
        // bytes already coded. The copy is wiped afterwards.
        std::vector<uint8_t> copy;
        if (&source == &destination && from != to)
            copy.assign(source.bytes().begin() + from, source.bytes().begin() + from + n);
        struct Wipe final
        {
            std::vector<uint8_t>& bytes;
            ~Wipe() { secureFill(bytes.data(), 0x00, bytes.size()); }
        } wipe{copy};

        // The destination grows once to its final size instead of piece by piece.
        std::vector<uint8_t>& target = destination.bytes();
        if (target.size() < static_cast<size_t>(to) + length)
            destination.growTo(static_cast<size_t>(to) + length);
        const uint8_t* in = copy.empty() ? source.bytes().data() + from : copy.data();
        uint8_t* out = target.data() + to;
        for (size_t offset = 0; offset < length; offset += kPieceSize) {
            const size_t piece = std::min<size_t>(kPieceSize, length - offset);
            code(in + offset, out + offset, piece, direction);
        }
        source.setPosition(from + n);
        destination.setPosition(to + n);
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
