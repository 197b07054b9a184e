#include "data/Cp1253.h"
#include "platform/SystemLocale.h"

#include <gtest/gtest.h>

using namespace tamisko;

TEST(SystemLocale, CLocaleGivesGreekDefaults)
{
    const RegionalSettings settings = regionalSettingsFor(QLocale::c());
    EXPECT_EQ(settings.decimalSeparator, ',');
    EXPECT_EQ(settings.thousandSeparator, '.');
    EXPECT_EQ(settings.currencyDecimals, 2);
    EXPECT_EQ(settings.shortDateFormat, "d/M/yyyy");
    EXPECT_EQ(settings.collation, greekCollation());
}

TEST(SystemLocale, SettingsOfLocales)
{
    struct Case
    {
        QLocale locale;
        char decimal;
        char thousands;
        int currencyDecimals;
        std::string shortDate;
    };
    const Case cases[] = {
        {QLocale(QLocale::Greek, QLocale::Greece), ',', '.', 2, "d/M/yyyy"},
        {QLocale(QLocale::English, QLocale::UnitedStates), '.', ',', 2, "M/d/yyyy"},
        {QLocale(QLocale::German, QLocale::Germany), ',', '.', 2, "dd.MM.yyyy"},
        {QLocale(QLocale::Japanese, QLocale::Japan), '.', ',', 0, "yyyy/MM/dd"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locale.name().toStdString());
        const RegionalSettings settings = regionalSettingsFor(c.locale);
        EXPECT_EQ(settings.decimalSeparator, c.decimal);
        EXPECT_EQ(settings.thousandSeparator, c.thousands);
        EXPECT_EQ(settings.currencyDecimals, c.currencyDecimals);
        EXPECT_EQ(settings.shortDateFormat, c.shortDate);
    }
}

TEST(SystemLocale, ShortDateFormatsAlwaysHaveFourDigitYears)
{
    const std::pair<QString, std::string> cases[] = {
        {"d/M/yy", "d/M/yyyy"},      {"dd.MM.yyyy", "dd.MM.yyyy"}, {"yy-MM-dd", "yyyy-MM-dd"},
        {"d MMM yyyy", "d MM yyyy"}, {"dddd d/M/yy", " d/M/yyyy"}, {"d 'de' MM", "d  MM"},
        {"d 'of' MM", "d of MM"},
    };
    for (const auto& [qt, expected] : cases)
        EXPECT_EQ(shortDateFormatFor(qt), expected) << qt.toStdString();
}

TEST(SystemLocale, GreekUsesGreekOrderOthersTheLocaleCollator)
{
    EXPECT_EQ(regionalSettingsFor(QLocale(QLocale::Greek, QLocale::Cyprus)).collation,
              greekCollation());
    const auto english = regionalSettingsFor(QLocale(QLocale::English, QLocale::UnitedKingdom));
    ASSERT_NE(english.collation, greekCollation());
    EXPECT_LT(english.collation->compare("a", "B", false), 0);
    EXPECT_LT(english.collation->compare("apple", "Banana", false), 0);
    EXPECT_NE(english.collation->compare("a", "A", false), 0);
    EXPECT_EQ(english.collation->compare("a", "A", true), 0);
    // cp1253 bytes are compared as the characters they stand for
    EXPECT_EQ(english.collation->compare(*cp1253::fromUtf8("δ"), *cp1253::fromUtf8("Δ"), true), 0);
}
