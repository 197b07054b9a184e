#include "data/MemTable.h"
#include "memtable_fixtures.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <utility>
#include <vector>

using namespace tamisko;
using namespace tamisko::testing;

namespace {

// A log with many equal keys, nulls, negative numbers, -0 and edited records (which
// carry their record-number slots), built the same way for every table.
void fillLog(MemTable& log)
{
    std::mt19937 random(7);
    const double amounts[] = {-5, -0.0, 0, 2.5, 7, 1e9};
    for (int i = 0; i < 300; ++i) {
        log.append();
        log.setFieldValue("Date", Variant::fromDate(40000 + random() % 20));
        log.setFieldValue("CatNum", Variant::fromInt(static_cast<int>(random() % 9) - 4));
        if (random() % 10 >= 3)
            log.setFieldValue("Eispraxi", Variant::fromDouble(amounts[random() % 6]));
        log.setFieldValue("Perigrafi", Variant::fromString("-"));
        log.post();
    }
    for (int i = 0; i < 60; ++i) {
        log.setRecNo(static_cast<int>(random() % 300) + 1);
        log.edit();
        log.setFieldValue("Perigrafi",
                          Variant::fromString("edited at " + std::to_string(log.recNo())));
        log.post();
    }
}

// Per record: the key's text and the edit mark; records without an edit mark and with
// equal keys may come in either order, so they look alike here.
std::vector<std::pair<std::string, std::string>> order(const MemTable& log, const std::string& key)
{
    std::vector<std::pair<std::string, std::string>> rows;
    const auto keys = column(log, key);
    const auto marks = column(log, "Perigrafi");
    for (size_t i = 0; i < keys.size(); ++i)
        rows.emplace_back(log.isNullAt(static_cast<int>(i), log.fieldByName(key).index()) ? "null"
                                                                                          : keys[i],
                          marks[i]);
    return rows;
}

struct SortCase
{
    const char* field;
    MemTableOptions options;
};

class NumberKeySort : public ::testing::TestWithParam<SortCase>
{};

} // namespace

// One number field is sorted on extracted keys, several fields record by record: both
// must give the order of the record comparison.
TEST_P(NumberKeySort, GivesTheOrderOfTheRecordComparison)
{
    const SortCase sort = GetParam();
    MemTable byKeys("LogTable");
    MemTable byRecords("LogTable");
    defineMovements(byKeys, nullptr);
    defineMovements(byRecords, nullptr);
    fillLog(byKeys);
    fillLog(byRecords);
    byKeys.setRecNo(123);
    const int32_t current = byKeys.bookmark();

    byKeys.sortByFields(sort.field, sort.options);
    byRecords.sortByFields(std::string(sort.field) + ";" + sort.field, sort.options);

    EXPECT_EQ(order(byKeys, sort.field), order(byRecords, sort.field));
    EXPECT_TRUE(byKeys.isSorted());
    EXPECT_EQ(byKeys.sortOptions(), sort.options);
    EXPECT_EQ(byKeys.bookmark(), current) << "the cursor stays on its record";
}

INSTANTIATE_TEST_SUITE_P(Fields, NumberKeySort,
                         ::testing::Values(SortCase{"Date", 0}, SortCase{"Date", mtcoDescending},
                                           SortCase{"Eispraxi", 0},
                                           SortCase{"Eispraxi", mtcoDescending},
                                           SortCase{"CatNum", 0},
                                           SortCase{"CatNum", mtcoDescending}));
