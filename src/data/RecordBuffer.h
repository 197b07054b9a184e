#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace tamisko {

// Which fields of a record hold strings; the rest hold one 8-byte number each.
class RecordLayout final
{
public:
    static constexpr int maxFields = 64; // one null bit per field in a 64-bit mask

    RecordLayout() = default;
    explicit RecordLayout(std::vector<bool> stringFields);

    int fieldCount() const { return static_cast<int>(isString_.size()); }
    bool isString(int field) const { return isString_[static_cast<size_t>(field)]; }
    const std::vector<int>& stringFields() const { return stringFields_; }
    // Bytes of a record without string contents.
    size_t fixedSize() const;

private:
    std::vector<bool> isString_;
    std::vector<int> stringFields_;
};

// Read access to a record block. Stays valid while the block lives, wherever the
// owning handle moves to.
class RecordView final
{
public:
    explicit RecordView(const std::byte* bytes) : bytes_(bytes) {}

    const std::byte* identity() const { return bytes_; }
    int32_t recNoSlot() const { return load<int32_t>(recNoOffset); }
    int32_t bookmark() const { return load<int32_t>(bookmarkOffset); }
    bool isNull(int field) const { return (load<uint64_t>(nullMaskOffset) >> field) & 1u; }
    int64_t intAt(int field) const { return load<int64_t>(slotOffset(field)); }
    double doubleAt(int field) const { return load<double>(slotOffset(field)); }
    std::string_view stringAt(int field) const
    {
        const auto offset = load<uint32_t>(slotOffset(field));
        const auto length = load<uint32_t>(slotOffset(field) + 4);
        return {reinterpret_cast<const char*>(bytes_ + offset), length};
    }

    static constexpr size_t recNoOffset = 0;
    static constexpr size_t bookmarkOffset = 4;
    static constexpr size_t nullMaskOffset = 8;
    static constexpr size_t slotsOffset = 16;
    static constexpr size_t slotSize = 8;
    static constexpr size_t slotOffset(int field)
    {
        return slotsOffset + slotSize * static_cast<size_t>(field);
    }

private:
    template<typename T> T load(size_t offset) const
    {
        T value;
        std::memcpy(&value, bytes_ + offset, sizeof value);
        return value;
    }

    const std::byte* bytes_;
};

// Record blocks carved one after the other out of large shared blocks, for tables that
// are filled in bulk: one allocation for many records instead of one each, records next
// to one another in memory, and a table that goes frees a few large blocks instead of
// every record. A large block is freed once the last record carved from it and the arena
// itself are gone, so that records removed one by one keep their space meanwhile. Not
// for use from more than one thread.
class RecordArena final
{
public:
    RecordArena() = default;
    ~RecordArena();
    RecordArena(const RecordArena&) = delete;
    RecordArena& operator=(const RecordArena&) = delete;

    struct Block; // a large block; known to the records carved from it

private:
    friend class RecordBuffer;
    // A record block of `size` bytes, not zeroed.
    std::byte* allocate(size_t size);

    Block* current_ = nullptr;
    size_t nextCapacity_ = 4096;
};

// One record in a single heap block, so that a million records stay compact:
//   int32 record-number slot, int32 bookmark, uint64 null mask,
//   one 8-byte slot per field (a number, or offset and length of a string),
//   then the string bytes packed one after the other.
// A move-only handle: the table's record list is a vector of these, so sorting moves
// pointers only.
class RecordBuffer final
{
public:
    RecordBuffer() = default;

    // Every field null, record-number slot -1, no bookmark.
    static RecordBuffer create(const RecordLayout& layout);
    RecordBuffer clone(const RecordLayout& layout) const;

    explicit operator bool() const { return bytes_ != nullptr; }
    RecordView view() const { return RecordView(bytes_.get()); }
    const std::byte* identity() const { return bytes_.get(); }

    int32_t recNoSlot() const { return view().recNoSlot(); }
    int32_t bookmark() const { return view().bookmark(); }
    bool isNull(int field) const { return view().isNull(field); }
    int64_t intAt(int field) const { return view().intAt(field); }
    double doubleAt(int field) const { return view().doubleAt(field); }
    std::string_view stringAt(int field) const { return view().stringAt(field); }

    void setRecNoSlot(int32_t slot);
    void setBookmark(int32_t bookmark);

    void setInt(int field, int64_t value);
    void setDouble(int field, double value);
    void setString(const RecordLayout& layout, int field, std::string_view value);
    void setNull(const RecordLayout& layout, int field);
    // Sets all string fields at once, one text per layout.stringFields() (nothing: null),
    // packing the record once instead of once per field.
    // The packed record comes from the arena when one is given.
    void setStrings(const RecordLayout& layout,
                    std::span<const std::optional<std::string_view>> texts,
                    RecordArena* arena = nullptr);
    // A copy of this record with all string fields set as setStrings does.
    RecordBuffer withStrings(const RecordLayout& layout,
                             std::span<const std::optional<std::string_view>> texts,
                             RecordArena* arena = nullptr) const;
    // Every field null again and no bookmark, as create() makes a record; for a scratch
    // record that is reused.
    void reset(const RecordLayout& layout);

private:
    // Every block is preceded by the arena block it was carved from, none when it was
    // allocated on its own; the release frees it accordingly. Not final: the pointer
    // derives from its empty deleter to stay eight bytes.
    struct Release
    {
        void operator()(std::byte* bytes) const;
    };

    explicit RecordBuffer(size_t size); // zeroed
    // A block whose every byte the caller writes: not zeroed first.
    static RecordBuffer forOverwrite(size_t size, RecordArena* arena = nullptr);
    size_t byteSize(const RecordLayout& layout) const;
    void setNullBit(int field, bool null);
    std::byte* slot(int field) const;
    void repackStrings(const RecordLayout& layout, int field, std::string_view value, bool null);

    std::unique_ptr<std::byte[], Release> bytes_;
};

} // namespace tamisko
