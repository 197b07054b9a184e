#include "data/Cp1253.h"
#include "data/DayNumber.h"
#include "data/Format.h"

#include <gtest/gtest.h>

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
