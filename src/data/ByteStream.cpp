#include "data/ByteStream.h"

#include "data/Errors.h"

#include <algorithm>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

namespace tamisko {

void adviseHugePages([[maybe_unused]] const void* begin, [[maybe_unused]] size_t size)
{
#ifdef MADV_HUGEPAGE
    constexpr size_t kLarge = size_t{4} << 20; // two huge pages
    if (size < kLarge)
        return;
    const auto pageSize = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto from = reinterpret_cast<uintptr_t>(begin);
    const uintptr_t start = (from + pageSize - 1) / pageSize * pageSize;
    const uintptr_t end = (from + size) / pageSize * pageSize;
    if (end > start)
        ::madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
#endif
}

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

void ByteStream::growTo(size_t size)
{
    if (size <= bytes_.size())
        return;
    reserve(size);
    bytes_.resize(size);
}

} // namespace tamisko
