#include "data/FileCipher.h"

#include "data/Blowfish.h"
#include "data/ByteStream.h"
#include "data/Errors.h"

#include <algorithm>
#include <cryptopp/ripemd.h>
#include <cstring>
#include <vector>

namespace tamisko {
namespace {

uint32_t loadBigEndian(const uint8_t* bytes)
{
    return (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) |
           bytes[3];
}

void storeBigEndian(uint8_t* bytes, uint32_t word)
{
    bytes[0] = static_cast<uint8_t>(word >> 24);
    bytes[1] = static_cast<uint8_t>(word >> 16);
    bytes[2] = static_cast<uint8_t>(word >> 8);
    bytes[3] = static_cast<uint8_t>(word);
}

// A block as the cipher takes it: its big-endian halves.
struct Halves
{
    uint32_t left;
    uint32_t right;

    static Halves of(const uint8_t* bytes)
    {
        return {loadBigEndian(bytes), loadBigEndian(bytes + 4)};
    }
    void storeTo(uint8_t* bytes) const
    {
        storeBigEndian(bytes, left);
        storeBigEndian(bytes + 4, right);
    }
    Halves operator^(const Halves& other) const { return {left ^ other.left, right ^ other.right}; }
    Halves& operator^=(const Halves& other) { return *this = *this ^ other; }
};

} // namespace

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
    explicit Impl(std::span<const uint8_t> key) : blowfish(key) {}
    Blowfish blowfish;
};

BlowfishBlock::BlowfishBlock(std::span<const uint8_t> key) : impl_(std::make_unique<Impl>(key)) {}

BlowfishBlock::~BlowfishBlock() = default; // the schedule wipes itself

Block BlowfishBlock::encrypt(const Block& block) const
{
    Halves halves = Halves::of(block.data());
    impl_->blowfish.encrypt(halves.left, halves.right);
    Block out{};
    halves.storeTo(out.data());
    return out;
}

Block BlowfishBlock::decrypt(const Block& block) const
{
    Halves halves = Halves::of(block.data());
    impl_->blowfish.decrypt(halves.left, halves.right);
    Block out{};
    halves.storeTo(out.data());
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

} // namespace

struct FileCipher::State
{
    std::unique_ptr<cipher::Blowfish> schedule;
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
        schedule = std::make_unique<cipher::Blowfish>(std::span(digest.data(), keyLength));
        Halves first = Halves::of(vector.data());
        schedule->encrypt(first.left, first.right);
        first.storeTo(vector.data());
        feedback = vector;
        initialized = true;
        // The digest is the key: do not keep it in the clear.
        code(digest.data(), digest.data(), digest.size(), Direction::Encrypt);
        resetFeedback();
    }

    // The mode cmChain from n bytes at `in` to `out` (which may be the same place), the
    // feedback carrying over between calls. The chain stays in registers as the halves
    // that the cipher takes, and XORing halves is XORing the bytes they hold.
    void code(const uint8_t* in, uint8_t* out, size_t n, Direction direction)
    {
        const cipher::Blowfish& blowfish = *schedule;
        Halves chain = Halves::of(feedback.data());
        const size_t whole = n - n % kBlockSize;
        if (direction == Direction::Encrypt) {
            // Each block waits for the one before: the rounds' latency is the limit.
            for (size_t offset = 0; offset < whole; offset += kBlockSize) {
                Halves block = Halves::of(in + offset) ^ chain;
                blowfish.encrypt(block.left, block.right);
                block.storeTo(out + offset);
                chain ^= block;
            }
        } else {
            // The blocks decrypt independently of one another.
            for (size_t offset = 0; offset < whole; offset += kBlockSize) {
                const Halves cipherText = Halves::of(in + offset);
                Halves block = cipherText;
                blowfish.decrypt(block.left, block.right);
                (block ^ chain).storeTo(out + offset);
                chain ^= cipherText;
            }
        }
        const size_t rest = n - whole;
        if (rest != 0) {
            Halves stream = chain;
            blowfish.encrypt(stream.left, stream.right);
            uint8_t streamBytes[kBlockSize];
            stream.storeTo(streamBytes);
            for (size_t i = 0; i < rest; ++i)
                out[whole + i] = in[whole + i] ^ streamBytes[i];
            chain ^= stream;
            secureFill(streamBytes, 0x00, kBlockSize);
        }
        chain.storeTo(feedback.data());
    }

    void codeStream(ByteStream& source, ByteStream& destination, int64_t count, Direction direction)
    {
        if (!initialized)
            throw Error("The cipher has no key");
        resetFeedback();
        // The feedback is reset also when a stream fails.
        struct Finish
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
        struct Wipe
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
