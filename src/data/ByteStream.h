#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tamisko {

// Asks the system for huge pages for memory not touched yet, when there are megabytes of
// it: a buffer of tens of megabytes then costs a few dozen page faults instead of
// thousands (on a virtual machine a fault costs more than filling its page). Only advice.
void adviseHugePages(const void* begin, size_t size);

// Reserves room for `count` elements, the room beyond the present ones advised huge
// pages (above). Reserve before resizing: a resize touches the pages at once.
template<typename Container> void reserveLarge(Container& buffer, size_t count)
{
    if (count <= buffer.capacity())
        return;
    buffer.reserve(count);
    adviseHugePages(buffer.data() + buffer.size(),
                    (buffer.capacity() - buffer.size()) * sizeof(*buffer.data()));
}

// An in-memory byte stream with a position, as the record stream and the cipher use it.
class ByteStream final
{
public:
    ByteStream() = default;
    explicit ByteStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

    int64_t size() const { return static_cast<int64_t>(bytes_.size()); }
    int64_t position() const { return position_; }
    void setPosition(int64_t position) { position_ = position; }

    // Reads up to count bytes; returns the number read (0 at the end).
    int64_t read(void* buffer, int64_t count);
    // Reads exactly count bytes or throws tamisko::Error (a stream that ends early).
    void readExact(void* buffer, int64_t count);
    void write(const void* buffer, int64_t count);
    // Room for `capacity` bytes without changing the contents (see reserveLarge).
    void reserve(size_t capacity) { reserveLarge(bytes_, capacity); }
    // Makes the stream at least `size` bytes long, the new bytes zero, with the room
    // reserved as reserve() does: for a writer that fills them.
    void growTo(size_t size);

    const std::vector<uint8_t>& bytes() const { return bytes_; }
    std::vector<uint8_t>& bytes() { return bytes_; }
    void clear()
    {
        bytes_.clear();
        position_ = 0;
    }

private:
    std::vector<uint8_t> bytes_;
    int64_t position_ = 0;
};

} // namespace tamisko
