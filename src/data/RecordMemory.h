#pragma once

#include <cstddef>
#include <memory>

// Memory for the records of the tables. A book of a million movements is a million
// small blocks that are made together when a document is read and freed together when
// it is closed; cut one after another from large regions, they cost neither the
// allocator's bookkeeping per block nor a page fault per 4 KB (the regions ask for huge
// pages), which is most of the time of opening a large book in a fresh process.
namespace tamisko::record_memory {

// Gives back a block that allocate() made; null does nothing.
void release(std::byte* block) noexcept;

struct Releaser
{
    void operator()(std::byte* block) const noexcept { release(block); }
};
using Block = std::unique_ptr<std::byte[], Releaser>;

// A block of `size` bytes, uninitialised, for any thread. Small blocks come from the
// calling thread's current region; a region goes back to the system when its last block
// is released and no thread cuts from it any more. Larger blocks are allocated alone.
Block allocate(std::size_t size);

// The regions alive, for tests.
std::size_t regionCount() noexcept;

} // namespace tamisko::record_memory
