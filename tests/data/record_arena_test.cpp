#include "data/RecordBuffer.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace tamisko {
namespace {

using Texts = std::vector<std::optional<std::string_view>>;

const RecordLayout& layout()
{
    static const RecordLayout fields({true, false, true}); // text, number, text
    return fields;
}

std::string textOf(int i)
{
    // Mostly short, now and then longer than a whole block of the arena.
    const size_t length = i % 500 == 7 ? 100000 : static_cast<size_t>(i * 37 % 300);
    return std::string(length, static_cast<char>('a' + i % 26));
}

RecordBuffer recordOf(int i, RecordArena* arena)
{
    RecordBuffer numbers = RecordBuffer::create(layout());
    numbers.setInt(1, i);
    numbers.setBookmark(i);
    const std::string text = textOf(i);
    const Texts texts{text, i % 3 == 0 ? std::nullopt : std::optional<std::string_view>("x")};
    return numbers.withStrings(layout(), texts, arena);
}

void expectRecord(const RecordBuffer& record, int i)
{
    ASSERT_TRUE(record) << i;
    EXPECT_EQ(record.bookmark(), i);
    EXPECT_EQ(record.intAt(1), i);
    EXPECT_FALSE(record.isNull(0)) << i;
    EXPECT_EQ(record.stringAt(0), textOf(i)) << i;
    EXPECT_EQ(record.isNull(2), i % 3 == 0) << i;
    if (i % 3 != 0) {
        EXPECT_EQ(record.stringAt(2), "x") << i;
    }
}

// Records cut from an arena live on their own: freed in any order, before or after the
// arena, changed and copied like any other.
TEST(RecordArena, RecordsOutliveTheArenaAndEachOther)
{
    constexpr int kCount = 5000;
    std::vector<RecordBuffer> records;
    {
        RecordArena arena;
        for (int i = 0; i < kCount; ++i)
            records.push_back(recordOf(i, &arena));
        for (int i = 0; i < kCount; i += 3)
            records[static_cast<size_t>(i)] = {};
        for (int i = 0; i < kCount; ++i) {
            if (i % 3 != 0)
                expectRecord(records[static_cast<size_t>(i)], i);
        }
    }
    for (int i = 1; i < kCount; i += 3)
        records[static_cast<size_t>(i)] = {};
    for (int i = 2; i < kCount; i += 3)
        expectRecord(records[static_cast<size_t>(i)], i);

    // Changed, copied and reset records leave the arena's blocks as any record would.
    RecordBuffer& changed = records[2];
    changed.setString(layout(), 2, "changed");
    EXPECT_EQ(changed.stringAt(2), "changed");
    EXPECT_EQ(changed.stringAt(0), textOf(2));
    const RecordBuffer copy = records[5].clone(layout());
    records[5] = {};
    expectRecord(copy, 5);
    records[8].reset(layout());
    EXPECT_TRUE(records[8].isNull(0));
    EXPECT_TRUE(records[8].isNull(1));

    RecordArena second;
    records[11].setStrings(layout(), Texts{"again", std::nullopt}, &second);
    EXPECT_EQ(records[11].stringAt(0), "again");
    EXPECT_EQ(records[11].intAt(1), 11);
    records.clear();
    expectRecord(copy, 5);
}

TEST(RecordArena, RecordsDoNotOverlap)
{
    RecordArena arena;
    std::vector<RecordBuffer> records;
    for (int i = 0; i < 2000; ++i)
        records.push_back(recordOf(i, &arena));
    // Writing each record's number once all are cut shows no record sharing bytes.
    for (int i = 0; i < 2000; ++i)
        records[static_cast<size_t>(i)].setInt(1, -i);
    for (int i = 0; i < 2000; ++i) {
        EXPECT_EQ(records[static_cast<size_t>(i)].intAt(1), -i);
        EXPECT_EQ(records[static_cast<size_t>(i)].stringAt(0), textOf(i));
    }
}

} // namespace
} // namespace tamisko
