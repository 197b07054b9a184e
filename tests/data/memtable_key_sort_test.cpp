#include "data/MemTable.h"
#include "data/RegionalSettings.h"
#include "memtable_fixtures.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <utility>
#include <vector>

using namespace tamisko;
using namespace tamisko::testing;

namespace {

// Descriptions with repeats, accents, case, final sigma, blanks, ignorable characters
// (soft hyphen, a control character) and prefixes of one another.
const std::vector<std::string>& descriptionPool()
{
    static const std::vector<std::string> pool = [] {
        std::vector<std::string> texts;
        for (const char8_t* text :
             {u8"",      u8"α",     u8"ά",     u8"Α",       u8"Ά",        u8"αβ",  u8"άβ", u8"ΑΒ",
              u8"β",     u8"-β",    u8"β-",    u8"b",       u8"B",        u8"a b", u8"ab", u8"1",
              u8"10",    u8"σ",     u8"ς",     u8"Σ",       u8"ϊ",        u8"ΐ",   u8"ί",  u8"ι",
              u8"ρεύμα", u8"Ρεύμα", u8"ρευμα", u8"ρεύματα", u8"ρεύμα ΔΕΗ"})
            texts.push_back(cp(text));
        texts.push_back("\xAD\xE1"); // soft hyphen, alpha
        texts.push_back("\x01\xE1\xE2");
        return texts;
    }();
    return pool;
}

// A log with many equal keys, nulls, negative numbers, -0 and edited records (which
// carry their record-number slots and a mark in Pliromi), built the same way for every
// table; large enough that the values take the radix sort and the nulls the plain one.
void fillLog(MemTable& log)
{
    std::mt19937 random(7);
    const double amounts[] = {-5, -0.0, 0, 2.5, 7, 1e9};
    const std::vector<std::string>& texts = descriptionPool();
    for (int i = 0; i < 3000; ++i) {
        log.append();
        log.setFieldValue("Date", Variant::fromDate(40000 + random() % 20));
        log.setFieldValue("CatNum", Variant::fromInt(static_cast<int>(random() % 9) - 4));
        if (random() % 10 >= 3)
            log.setFieldValue("Eispraxi", Variant::fromDouble(amounts[random() % 6]));
        if (const size_t text = random() % (texts.size() + 3); text < texts.size())
            log.setFieldValue("Perigrafi", Variant::fromString(texts[text]));
        log.post();
    }
    for (int i = 0; i < 600; ++i) {
        log.setRecNo(static_cast<int>(random() % 3000) + 1);
        log.edit();
        log.setFieldValue("Pliromi", Variant::fromDouble(log.recNo()));
        log.post();
    }
}

// Per record: the key and the edit mark. Records without an edit mark and with equal
// keys may come in either order, so they look alike here: a text stands for the first
// text of the pool that the collation holds equal to it (an ignorable character, or case
// when it is ignored, makes different texts equal).
std::vector<std::pair<std::string, std::string>> order(const MemTable& log, const std::string& key,
                                                       MemTableOptions options)
{
    const bool text = key == "Perigrafi";
    const bool caseInsensitive = (options & mtcoCaseInsensitive) != 0;
    const auto representative = [&](const std::string& value) {
        const std::shared_ptr<const Collation> greek = greekCollation();
        for (const std::string& other : descriptionPool()) {
            if (greek->compare(value, other, caseInsensitive) == 0)
                return utf8(other);
        }
        return utf8(value);
    };
    std::vector<std::pair<std::string, std::string>> rows;
    const int index = log.fieldByName(key).index();
    const auto marks = column(log, "Pliromi");
    for (int row = 0; row < log.rowCount(); ++row) {
        const std::string value = log.valueAt(row, index).toString();
        rows.emplace_back(log.isNullAt(row, index) ? "null"
                          : text                   ? representative(value)
                                                   : utf8(value),
                          marks[static_cast<size_t>(row)]);
    }
    return rows;
}

struct SortCase
{
    const char* field;
    MemTableOptions options;
};

class KeySort : public ::testing::TestWithParam<SortCase>
{};

} // namespace

// One field is sorted on keys taken out of the records (a text's key is its rank in the
// collation), several fields record by record: both must give the order of the record
// comparison.
TEST_P(KeySort, GivesTheOrderOfTheRecordComparison)
{
    const SortCase sort = GetParam();
    MemTable byKeys("LogTable");
    MemTable byRecords("LogTable");
    defineMovements(byKeys, nullptr);
    defineMovements(byRecords, nullptr);
    fillLog(byKeys);
    fillLog(byRecords);
    byKeys.setRecNo(1234);
    const int32_t current = byKeys.bookmark();

    byKeys.sortByFields(sort.field, sort.options);
    byRecords.sortByFields(std::string(sort.field) + ";" + sort.field, sort.options);

    EXPECT_EQ(order(byKeys, sort.field, sort.options), order(byRecords, sort.field, sort.options));
    EXPECT_TRUE(byKeys.isSorted());
    EXPECT_EQ(byKeys.sortOptions(), sort.options);
    EXPECT_EQ(byKeys.bookmark(), current) << "the cursor stays on its record";
}

INSTANTIATE_TEST_SUITE_P(
    Fields, KeySort,
    ::testing::Values(SortCase{"Date", 0}, SortCase{"Date", mtcoDescending},
                      SortCase{"Eispraxi", 0}, SortCase{"Eispraxi", mtcoDescending},
                      SortCase{"CatNum", 0}, SortCase{"CatNum", mtcoDescending},
                      SortCase{"Perigrafi", 0}, SortCase{"Perigrafi", mtcoDescending},
                      SortCase{"Perigrafi", mtcoCaseInsensitive},
                      SortCase{"Perigrafi", mtcoCaseInsensitive | mtcoDescending}));

// The Greek collation's ranks come from sort keys of its own: their order must be
// compare's, pair by pair, with and without regard to case.
TEST(CollationRanks, FollowCompareForEveryPair)
{
    const std::shared_ptr<const Collation> greek = greekCollation();
    const std::vector<std::string>& pool = descriptionPool();
    const std::vector<std::string_view> texts(pool.begin(), pool.end());
    for (const bool caseInsensitive : {false, true}) {
        const std::vector<uint32_t> ranks = greek->ranks(texts, caseInsensitive);
        ASSERT_EQ(ranks.size(), texts.size());
        for (size_t i = 0; i < texts.size(); ++i) {
            for (size_t j = 0; j < texts.size(); ++j) {
                const int compared = greek->compare(texts[i], texts[j], caseInsensitive);
                const int ranked = (ranks[i] > ranks[j]) - (ranks[i] < ranks[j]);
                EXPECT_EQ(ranked, (compared > 0) - (compared < 0))
                    << utf8(pool[i]) << " / " << utf8(pool[j]) << " ignoring case "
                    << caseInsensitive;
            }
        }
    }
}
