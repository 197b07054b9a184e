#include "data/RecordBuffer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <sys/mman.h>

namespace tamisko {
namespace {

constexpr size_t recNoOffset = RecordView::recNoOffset;
constexpr size_t bookmarkOffset = RecordView::bookmarkOffset;
constexpr size_t nullMaskOffset = RecordView::nullMaskOffset;
constexpr size_t slotsOffset = RecordView::slotsOffset;
constexpr size_t slotSize = RecordView::slotSize;

template<typename T> T load(const std::byte* at)
{
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

template<typename T> void store(std::byte* at, T value)
{
    std::memcpy(at, &value, sizeof value);
}

struct StringSlot final
{
    uint32_t offset;
    uint32_t length;
};

} // namespace

RecordLayout::RecordLayout(std::vector<bool> stringFields) : isString_(std::move(stringFields))
{
    for (int i = 0; i < fieldCount(); ++i) {
        if (isString_[static_cast<size_t>(i)])
            stringFields_.push_back(i);
    }
}

size_t RecordLayout::fixedSize() const
{
    return slotsOffset + slotSize * isString_.size();
}

namespace {

// In front of every record block: the arena block it lies in, or none.
constexpr size_t kHeaderSize = 8;
using BlockPointer = RecordArena::Block*;
static_assert(sizeof(BlockPointer) <= kHeaderSize);

} // namespace

struct RecordArena::Block final
{
    // The large blocks are whole huge pages of their own: a million records are a
    // hundred megabytes, which faulted in 4 KB at a time cost more than reading them.
    static constexpr size_t kHugePage = size_t{2} << 20;
    static constexpr size_t kLargestCapacity = kHugePage - 64;

    explicit Block(size_t capacity, bool mapped) : capacity(capacity), mapped(mapped) {}

    static Block* create(size_t capacity)
    {
        if (capacity == kLargestCapacity) {
            if (void* region = mapHugePage())
                return new (region) Block(capacity, true);
        }
        std::byte* memory = new std::byte[sizeof(Block) + capacity];
        return new (memory) Block(capacity, false);
    }

    std::byte* data() { return reinterpret_cast<std::byte*>(this + 1); }

    void release()
    {
        if (--holders != 0)
            return;
        const bool wasMapped = mapped;
        this->~Block();
        if (wasMapped)
            ::munmap(this, kHugePage);
        else
            delete[] reinterpret_cast<std::byte*>(this);
    }

    size_t holders = 1; // the arena while it carves the block, and every record in it
    size_t capacity;
    size_t used = 0;
    bool mapped;

private:
    // A region of one huge page, aligned to it; none when the system has no memory
    // to map.
    static void* mapHugePage()
    {
        void* mapped = ::mmap(nullptr, 2 * kHugePage, PROT_READ | PROT_WRITE,
                              MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapped == MAP_FAILED)
            return nullptr;
        const auto start = reinterpret_cast<uintptr_t>(mapped);
        const uintptr_t aligned = (start + kHugePage - 1) & ~(kHugePage - 1);
        if (aligned > start)
            ::munmap(mapped, aligned - start);
        if (start + 2 * kHugePage > aligned + kHugePage)
            ::munmap(reinterpret_cast<void*>(aligned + kHugePage),
                     start + 2 * kHugePage - aligned - kHugePage);
        ::madvise(reinterpret_cast<void*>(aligned), kHugePage, MADV_HUGEPAGE);
        return reinterpret_cast<void*>(aligned);
    }
};
static_assert(sizeof(RecordArena::Block) % kHeaderSize == 0);
// A table holds a million of these: the handle is the pointer alone.
static_assert(sizeof(RecordBuffer) == sizeof(void*));

RecordArena::~RecordArena()
{
    if (current_)
        current_->release();
}

std::byte* RecordArena::allocate(size_t size)
{
    // Whole 8-byte units keep every record and its header aligned.
    const size_t need = kHeaderSize + (size + kHeaderSize - 1) / kHeaderSize * kHeaderSize;
    if (!current_ || current_->capacity - current_->used < need) {
        if (current_)
            current_->release();
        current_ = nullptr;
        const size_t capacity = std::max(nextCapacity_, need);
        nextCapacity_ = std::min(nextCapacity_ * 2, Block::kLargestCapacity);
        current_ = Block::create(capacity);
    }
    std::byte* header = current_->data() + current_->used;
    current_->used += need;
    ++current_->holders;
    const BlockPointer block = current_;
    std::memcpy(header, &block, sizeof block);
    return header + kHeaderSize;
}

void RecordBuffer::Release::operator()(std::byte* bytes) const
{
    std::byte* header = bytes - kHeaderSize;
    BlockPointer block = nullptr;
    std::memcpy(&block, header, sizeof block);
    if (block)
        block->release();
    else
        delete[] header;
}

RecordBuffer::RecordBuffer(size_t size) : RecordBuffer(forOverwrite(size))
{
    std::memset(bytes_.get(), 0, size);
}

RecordBuffer RecordBuffer::forOverwrite(size_t size, RecordArena* arena)
{
    RecordBuffer record;
    if (arena) {
        record.bytes_.reset(arena->allocate(size));
        return record;
    }
    std::byte* header = new std::byte[kHeaderSize + size];
    const BlockPointer none = nullptr;
    std::memcpy(header, &none, sizeof none);
    record.bytes_.reset(header + kHeaderSize);
    return record;
}

RecordBuffer RecordBuffer::create(const RecordLayout& layout)
{
    RecordBuffer record(layout.fixedSize());
    record.setRecNoSlot(-1);
    record.setBookmark(0);
    store<uint64_t>(record.bytes_.get() + nullMaskOffset, ~uint64_t{0});
    for (const int field : layout.stringFields())
        store(record.slot(field), StringSlot{static_cast<uint32_t>(layout.fixedSize()), 0});
    return record;
}

RecordBuffer RecordBuffer::clone(const RecordLayout& layout) const
{
    const size_t size = byteSize(layout);
    RecordBuffer copy = forOverwrite(size);
    std::memcpy(copy.bytes_.get(), bytes_.get(), size);
    return copy;
}

size_t RecordBuffer::byteSize(const RecordLayout& layout) const
{
    size_t size = layout.fixedSize();
    for (const int field : layout.stringFields())
        size += load<StringSlot>(slot(field)).length;
    return size;
}

void RecordBuffer::setRecNoSlot(int32_t slot)
{
    store(bytes_.get() + recNoOffset, slot);
}

void RecordBuffer::setBookmark(int32_t bookmark)
{
    store(bytes_.get() + bookmarkOffset, bookmark);
}

void RecordBuffer::setNullBit(int field, bool null)
{
    const uint64_t bit = uint64_t{1} << field;
    const uint64_t mask = load<uint64_t>(bytes_.get() + nullMaskOffset);
    store(bytes_.get() + nullMaskOffset, null ? (mask | bit) : (mask & ~bit));
}

std::byte* RecordBuffer::slot(int field) const
{
    return bytes_.get() + slotsOffset + slotSize * static_cast<size_t>(field);
}

void RecordBuffer::setInt(int field, int64_t value)
{
    store(slot(field), value);
    setNullBit(field, false);
}

void RecordBuffer::setDouble(int field, double value)
{
    store(slot(field), value);
    setNullBit(field, false);
}

void RecordBuffer::setString(const RecordLayout& layout, int field, std::string_view value)
{
    repackStrings(layout, field, value, false);
}

void RecordBuffer::setNull(const RecordLayout& layout, int field)
{
    if (layout.isString(field))
        repackStrings(layout, field, {}, true);
    else
        setNullBit(field, true);
}

void RecordBuffer::setStrings(const RecordLayout& layout,
                              std::span<const std::optional<std::string_view>> texts,
                              RecordArena* arena)
{
    bytes_ = withStrings(layout, texts, arena).bytes_;
}

RecordBuffer RecordBuffer::withStrings(const RecordLayout& layout,
                                       std::span<const std::optional<std::string_view>> texts,
                                       RecordArena* arena) const
{
    const std::vector<int>& fields = layout.stringFields();
    size_t size = layout.fixedSize();
    for (size_t k = 0; k < fields.size(); ++k)
        size += texts[k] ? texts[k]->size() : 0;

    RecordBuffer packed = forOverwrite(size, arena);
    std::memcpy(packed.bytes_.get(), bytes_.get(), layout.fixedSize());
    auto offset = static_cast<uint32_t>(layout.fixedSize());
    for (size_t k = 0; k < fields.size(); ++k) {
        const std::string_view text = texts[k].value_or(std::string_view());
        if (!text.empty())
            std::memcpy(packed.bytes_.get() + offset, text.data(), text.size());
        const auto length = static_cast<uint32_t>(text.size());
        store(packed.slot(fields[k]), StringSlot{offset, length});
        offset += length;
        packed.setNullBit(fields[k], !texts[k]);
    }
    return packed;
}

void RecordBuffer::reset(const RecordLayout& layout)
{
    if (byteSize(layout) != layout.fixedSize())
        *this = create(layout);
    setRecNoSlot(-1);
    setBookmark(0);
    store<uint64_t>(bytes_.get() + nullMaskOffset, ~uint64_t{0});
}

void RecordBuffer::repackStrings(const RecordLayout& layout, int field, std::string_view value,
                                 bool null)
{
    size_t size = layout.fixedSize();
    for (const int f : layout.stringFields())
        size += f == field ? value.size() : load<StringSlot>(slot(f)).length;

    RecordBuffer packed = forOverwrite(size);
    std::memcpy(packed.bytes_.get(), bytes_.get(), layout.fixedSize());
    auto offset = static_cast<uint32_t>(layout.fixedSize());
    for (const int f : layout.stringFields()) {
        const std::string_view text = f == field ? value : stringAt(f);
        if (!text.empty())
            std::memcpy(packed.bytes_.get() + offset, text.data(), text.size());
        const auto length = static_cast<uint32_t>(text.size());
        store(packed.slot(f), StringSlot{offset, length});
        offset += length;
    }
    packed.setNullBit(field, null);
    bytes_ = std::move(packed.bytes_);
}

} // namespace tamisko
