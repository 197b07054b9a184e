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

// A sort on a text column ranks the distinct texts with the locale's sort keys: their
// order must be the collator's, pair by pair.
TEST(SystemLocale, CollatorRanksFollowItsComparison)
{
    std::vector<std::string> pool;
    for (const char8_t* text : {u8"", u8"a", u8"A", u8"á", u8"ab", u8"a b", u8"b", u8"B", u8"10",
                                u8"9", u8"ß", u8"ss", u8"α", u8"Α", u8"ά", u8"-a", u8"z", u8"€"})
        pool.push_back(cp1253::fromUtf8(reinterpret_cast<const char*>(text)).value_or("?"));
    const std::vector<std::string_view> texts(pool.begin(), pool.end());
    for (const QLocale& locale : {QLocale(QLocale::English, QLocale::UnitedStates),
                                  QLocale(QLocale::German, QLocale::Germany)}) {
        const std::shared_ptr<const Collation> collation = collationFor(locale);
        for (const bool caseInsensitive : {false, true}) {
            const std::vector<uint32_t> ranks = collation->ranks(texts, caseInsensitive);
            for (size_t i = 0; i < texts.size(); ++i) {
                for (size_t j = 0; j < texts.size(); ++j) {
                    const int compared = collation->compare(texts[i], texts[j], caseInsensitive);
                    EXPECT_EQ((ranks[i] > ranks[j]) - (ranks[i] < ranks[j]),
                              (compared > 0) - (compared < 0))
                        << locale.name().toStdString() << " " << i << " " << j;
                }
            }
        }
    }
}
