#include "data/RecordMemory.h"

#include <atomic>
#include <cstdint>
#include <cstring>
#include <new>
#include <sys/mman.h>

namespace tamisko::record_memory {
namespace {

constexpr std::size_t kRegionSize = std::size_t{2} << 20; // one huge page
constexpr std::size_t kRegionHeader = 64;
constexpr std::size_t kLargestCut = std::size_t{16} << 10;
// Every block is preceded by its kind, so that release knows where it came from.
constexpr std::size_t kPrefix = 8;
constexpr uint64_t kCut = 0;
constexpr uint64_t kAlone = 1;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kCutting = false; // the address sanitizer watches every block on its own
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kCutting = false;
#else
constexpr bool kCutting = true;
#endif
#else
constexpr bool kCutting = true;
#endif

struct Region
{
    // The blocks alive, plus one while a thread cuts from the region.
    std::atomic<std::size_t> users{1};
};
static_assert(sizeof(Region) <= kRegionHeader);

std::atomic<std::size_t> gRegions{0};

Region* newRegion()
{
    // Twice the size, then trimmed to an aligned region, so that the region of a block
    // is its address rounded down.
    void* mapped = ::mmap(nullptr, 2 * kRegionSize, PROT_READ | PROT_WRITE,
                          MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        throw std::bad_alloc();
    const auto start = reinterpret_cast<uintptr_t>(mapped);
    const uintptr_t aligned = (start + kRegionSize - 1) & ~(kRegionSize - 1);
    const uintptr_t end = start + 2 * kRegionSize;
    if (aligned > start)
        ::munmap(mapped, aligned - start);
    if (end > aligned + kRegionSize)
        ::munmap(reinterpret_cast<void*>(aligned + kRegionSize), end - aligned - kRegionSize);
    ::madvise(reinterpret_cast<void*>(aligned), kRegionSize, MADV_HUGEPAGE);
    gRegions.fetch_add(1, std::memory_order_relaxed);
    return new (reinterpret_cast<void*>(aligned)) Region;
}

void leave(Region* region) noexcept
{
    if (region->users.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        region->~Region();
        ::munmap(region, kRegionSize);
        gRegions.fetch_sub(1, std::memory_order_relaxed);
    }
}

Region* regionOf(const std::byte* block)
{
    return reinterpret_cast<Region*>(reinterpret_cast<uintptr_t>(block) & ~(kRegionSize - 1));
}

// The region a thread cuts its blocks from.
class Cutter
{
public:
    Cutter() = default;
    ~Cutter()
    {
        if (region_)
            leave(region_);
    }
    Cutter(const Cutter&) = delete;
    Cutter& operator=(const Cutter&) = delete;

    std::byte* cut(std::size_t size)
    {
        if (!region_ || used_ + size > kRegionSize) {
            if (region_)
                leave(region_);
            region_ = nullptr;
            region_ = newRegion();
            used_ = kRegionHeader;
        }
        std::byte* block = reinterpret_cast<std::byte*>(region_) + used_;
        used_ += size;
        region_->users.fetch_add(1, std::memory_order_relaxed);
        return block;
    }

private:
    Region* region_ = nullptr;
    std::size_t used_ = 0;
};

thread_local Cutter tCutter;

std::byte* withKind(std::byte* base, uint64_t kind)
{
    std::memcpy(base, &kind, sizeof kind);
    return base + kPrefix;
}

} // namespace

Block allocate(std::size_t size)
{
    const std::size_t total = kPrefix + (size + 7) / 8 * 8;
    if (!kCutting || total > kLargestCut)
        return Block(withKind(static_cast<std::byte*>(::operator new(total)), kAlone));
    return Block(withKind(tCutter.cut(total), kCut));
}

void release(std::byte* block) noexcept
{
    if (!block)
        return;
    std::byte* base = block - kPrefix;
    uint64_t kind = 0;
    std::memcpy(&kind, base, sizeof kind);
    if (kind == kAlone)
        ::operator delete(base);
    else
        leave(regionOf(base));
}

std::size_t regionCount() noexcept
{
    return gRegions.load(std::memory_order_relaxed);
}

} // namespace tamisko::record_memory
