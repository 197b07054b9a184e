#include "data/ByteStream.h"

#include "data/Errors.h"

#include <algorithm>
#include <cstring>

namespace tamisko {

int64_t ByteStream::read(void* buffer, int64_t count)
{
    if (count <= 0 || position_ >= size() || position_ < 0)
        return 0;
    const int64_t n = std::min(count, size() - position_);
    std::memcpy(buffer, bytes_.data() + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
}

void ByteStream::readExact(void* buffer, int64_t count)
{
    if (read(buffer, count) != count)
        throw Error("The document ends before its data is complete");
}

void ByteStream::write(const void* buffer, int64_t count)
{
    if (count <= 0)
        return;
    const auto end = static_cast<size_t>(position_ + count);
    if (end > bytes_.size())
        bytes_.resize(end);
    std::memcpy(bytes_.data() + position_, buffer, static_cast<size_t>(count));
    position_ += count;
}

} // namespace tamisko
