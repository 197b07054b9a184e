#include "data/RecordMemory.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <numeric>
#include <random>
#include <thread>
#include <vector>

using namespace tamisko;

namespace {

// Fills each block with its own pattern, so that overlapping blocks show.
void fill(std::byte* block, size_t size, size_t seed)
{
    for (size_t i = 0; i < size; ++i)
        block[i] = static_cast<std::byte>((seed * 131 + i) & 0xFF);
}

bool holds(const std::byte* block, size_t size, size_t seed)
{
    for (size_t i = 0; i < size; ++i) {
        if (block[i] != static_cast<std::byte>((seed * 131 + i) & 0xFF))
            return false;
    }
    return true;
}

} // namespace

// Blocks of every size, kept apart, freed in any order; the regions go back to the system
// once nothing lives in them (the thread's current region stays for the next blocks).
TEST(RecordMemory, BlocksStayApartAndRegionsGoBackWhenEmpty)
{
    const size_t before = record_memory::regionCount();
    std::mt19937 random(7);
    std::uniform_int_distribution<size_t> small(1, 300);
    std::vector<size_t> sizes;
    for (int i = 0; i < 60000; ++i) // several regions' worth
        sizes.push_back(small(random));
    sizes.push_back(0);
    sizes.push_back(70000); // a record with a long text: allocated alone
    std::vector<record_memory::Block> blocks;
    for (size_t i = 0; i < sizes.size(); ++i) {
        blocks.push_back(record_memory::allocate(sizes[i]));
        fill(blocks.back().get(), sizes[i], i);
    }
    EXPECT_GT(record_memory::regionCount(), before + 2);
    for (size_t i = 0; i < sizes.size(); ++i)
        ASSERT_TRUE(holds(blocks[i].get(), sizes[i], i)) << "block " << i;

    std::vector<size_t> order(blocks.size());
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), random);
    for (const size_t i : order)
        blocks[i].reset();
    EXPECT_LE(record_memory::regionCount(), before + 1);
}

// A block made on one thread may be freed on another, before or after that thread ends.
TEST(RecordMemory, BlocksOutliveTheThreadThatMadeThem)
{
    const size_t before = record_memory::regionCount();
    std::vector<record_memory::Block> blocks;
    std::thread maker([&] {
        for (size_t i = 0; i < 1000; ++i) {
            blocks.push_back(record_memory::allocate(64));
            fill(blocks.back().get(), 64, i);
        }
    });
    maker.join();
    EXPECT_EQ(record_memory::regionCount(), before + 1)
        << "the ended thread's region is kept by its blocks";
    for (size_t i = 0; i < blocks.size(); ++i)
        ASSERT_TRUE(holds(blocks[i].get(), 64, i));
    blocks.clear();
    EXPECT_EQ(record_memory::regionCount(), before);
}
