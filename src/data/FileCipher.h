#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace tamisko {

class ByteStream;

// The cipher front end of protected documents: Blowfish under the RIPEMD-256 digest of
// the password, chained in the mode cmChain, coded through a 4096-byte buffer.
class FileCipher
{
public:
    enum class Mode { cmChain };

    FileCipher();
    ~FileCipher(); // wipes the key state
    FileCipher(const FileCipher&) = delete;
    FileCipher& operator=(const FileCipher&) = delete;

    Mode mode() const { return Mode::cmChain; }

    // Sets the key from the password's cp1253 bytes (no initial vector).
    void InitKey(std::string_view password);

    // Codes count bytes from the source's position to the destination's position.
    void EncryptStream(ByteStream& source, ByteStream& destination, int64_t count);
    void DecryptStream(ByteStream& source, ByteStream& destination, int64_t count);

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace tamisko
