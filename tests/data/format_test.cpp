#include "data/Cp1253.h"
#include "data/DayNumber.h"
#include "data/Format.h"

#include <gtest/gtest.h>
#include <random>
#include <vector>

using namespace tamisko;

TEST(DayNumber, KnownDates)
{
    EXPECT_EQ(days::fromCivil({1899, 12, 30}), 0);
    EXPECT_EQ(days::fromCivil({2004, 1, 1}), 37987);
    EXPECT_EQ(days::toCivil(37987), (days::CivilDate{2004, 1, 1}));
    EXPECT_EQ(days::fromCivil({1, 1, 1}), days::kFirstValidDay);
    EXPECT_EQ(days::fromCivil({9999, 12, 31}), days::kLastValidDay);
}

TEST(FormatFixed, RoundsHalfAwayFromZero)
{
    EXPECT_EQ(formatFixed(1234.5L, 2, ','), "1234,50");
    EXPECT_EQ(formatFixed(-0.5L, 2, ','), "-0,50");
    EXPECT_EQ(formatFixed(1234.5L, 0, ','), "1235");
    EXPECT_EQ(formatFixed(0.0L, 2, ','), "0,00");
    EXPECT_EQ(formatFixed(-0.001L, 2, ','), "0,00");
    EXPECT_EQ(formatFixed(99.995L, 2, '.'), "100.00");
}

// The short way for grids must give the text of the decimal digits' way for every value:
// amounts of whole cents and ten-thousandths, sums of them, halves and their neighbours,
// large and tiny values, both signs.
TEST(FormatFixed, ShortWayMatchesTheDecimalDigits)
{
    std::mt19937_64 random(1253);
    std::vector<long double> values{0.005L,   0.015L, 0.125L,          2.675L, 1.005L,
                                    -2.5L,    0.5L,   999999999.995L,  1e14L,  -1e-7L,
                                    1.45e-5L, 4.35L,  123456789.125L,  1e15L,  9.9999999e14L,
                                    -0.0L,    1e-30L, 0.0049999999999L};
    std::uniform_int_distribution<int64_t> cents(-100000000, 100000000);
    std::uniform_real_distribution<double> any(-1e9, 1e9);
    for (int i = 0; i < 20000; ++i) {
        values.push_back(cents(random) / 100.0L);
        values.push_back(cents(random) / 10000.0L);
        values.push_back(static_cast<long double>(cents(random) / 100.0) +
                         static_cast<long double>(cents(random) / 100.0));
        values.push_back(any(random));
        values.push_back(cents(random) / 1000.0L + 0.0005L);
    }
    for (const long double value : values) {
        for (const int decimals : {0, 1, 2, 3, 4, 6}) {
            ASSERT_EQ(formatFixed(value, decimals, ','),
                      detail::formatFixedBySignificantDigits(value, decimals, ','))
                << static_cast<double>(value) << " with " << decimals << " decimals";
        }
    }
}

// The short way for whole cents must give the C library's text for every value: cents,
// tenths of cents, the largest cents below 15 digits and beyond, tiny values, both signs.
TEST(FormatGeneral, ShortWayMatchesTheLibrary)
{
    std::mt19937_64 random(1253);
    std::vector<double> values{0,
                               -0.0,
                               0.01,
                               -0.01,
                               0.1,
                               0.5,
                               1,
                               10,
                               100.5,
                               1e-5,
                               1e12,
                               1e13,
                               1e15,
                               1e20,
                               0.001,
                               0.015,
                               9999999999999.99,
                               -9999999999999.99,
                               99999999999999.9,
                               1e-300};
    std::uniform_int_distribution<int64_t> cents(-100000000000, 100000000000);
    std::uniform_real_distribution<double> any(-1e6, 1e6);
    for (int i = 0; i < 50000; ++i) {
        values.push_back(static_cast<double>(cents(random)) / 100);
        values.push_back(static_cast<double>(cents(random)) / 1000);
        values.push_back(static_cast<double>(cents(random) % 100000) / 100 +
                         static_cast<double>(cents(random) % 100000) / 100);
        values.push_back(any(random));
    }
    for (const double value : values)
        ASSERT_EQ(formatGeneral(value, ','), detail::formatGeneralByPrintf(value, ',')) << value;
}

TEST(FormatDate, ShortFormats)
{
    EXPECT_EQ(formatDate(37987, "d/M/yyyy"), "1/1/2004");
    EXPECT_EQ(formatDate(37987, "dd.MM.yy"), "01.01.04");
    EXPECT_EQ(parseDate("5/3/2024", "d/M/yyyy"), days::fromCivil({2024, 3, 5}));
}

TEST(Cp1253, RoundTripsGreekAndRejectsUnmappable)
{
    const std::string greek = "ΔΕΗ ρεύμα €";
    const auto bytes = cp1253::fromUtf8(greek);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->substr(0, 3), "\xC4\xC5\xC7");
    EXPECT_EQ(cp1253::toUtf8(*bytes), greek);
    EXPECT_FALSE(cp1253::fromUtf8("日本"));
    EXPECT_FALSE(cp1253::toUtf8("\xD2"));
}
