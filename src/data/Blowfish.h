#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace tamisko::cipher {

// Blowfish as Schneier published it: 64-bit blocks, 16 rounds, keys of 4 to 56 bytes.
// Blocks are held as their two big-endian 32-bit halves, so that a chained mode keeps
// its chain in registers: there each block waits for the one before, and its time is
// the latency of its rounds, which a trip of every block through memory would lengthen.
class Blowfish
{
public:
    // Throws tamisko::Error for a key of another length.
    explicit Blowfish(std::span<const uint8_t> key);
    ~Blowfish(); // wipes the key schedule
    Blowfish(const Blowfish&) = delete;
    Blowfish& operator=(const Blowfish&) = delete;

    void encrypt(uint32_t& left, uint32_t& right) const
    {
        uint32_t l = left;
        uint32_t r = right;
#pragma GCC unroll 8
        for (int i = 0; i < 16; i += 2) {
            l ^= p_[static_cast<size_t>(i)];
            r ^= f(l) ^ p_[static_cast<size_t>(i) + 1];
            l ^= f(r);
        }
        left = r ^ p_[17];
        right = l ^ p_[16];
    }

    void decrypt(uint32_t& left, uint32_t& right) const
    {
        uint32_t l = left;
        uint32_t r = right;
#pragma GCC unroll 8
        for (int i = 17; i > 1; i -= 2) {
            l ^= p_[static_cast<size_t>(i)];
            r ^= f(l) ^ p_[static_cast<size_t>(i) - 1];
            l ^= f(r);
        }
        left = r ^ p_[0];
        right = l ^ p_[1];
    }

private:
    uint32_t f(uint32_t x) const
    {
        return ((s_[0][x >> 24] + s_[1][(x >> 16) & 0xFF]) ^ s_[2][(x >> 8) & 0xFF]) +
               s_[3][x & 0xFF];
    }

    std::array<uint32_t, 18> p_;
    std::array<std::array<uint32_t, 256>, 4> s_;
};

} // namespace tamisko::cipher
