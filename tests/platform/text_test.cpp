#include "data/Errors.h"
#include "platform/ClipboardText.h"
#include "platform/Dates.h"
#include "platform/Text.h"

#include <gtest/gtest.h>

using namespace tamisko;

TEST(Text, Cp1253RoundTrip)
{
    const QString greek = QStringLiteral("Ταμίσκες € «δοκιμή» ΐΰ");
    const auto bytes = fromQString(greek);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->size(), static_cast<size_t>(greek.size())); // one byte per character
    EXPECT_EQ(bytes->substr(0, 2), "\xD4\xE1");
    EXPECT_EQ(toQString(*bytes), greek);
}

TEST(Text, RejectsCharactersOutsideCp1253)
{
    for (const QString& text :
         {QStringLiteral("日本"), QStringLiteral("Ça"), QStringLiteral("😀")}) {
        EXPECT_FALSE(fromQString(text)) << text.toStdString();
        EXPECT_FALSE(fitsCp1253(text));
    }
    EXPECT_TRUE(fitsCp1253(QString()));
}

TEST(Text, UndefinedByteShowsAsReplacementCharacter)
{
    EXPECT_EQ(toQString("a\x81"
                        "b"),
              QStringLiteral("a\uFFFDb"));
}

TEST(Text, ErrorTextDecodesUtf8AndCp1253Messages)
{
    EXPECT_EQ(errorText(Error("Δεν βρέθηκε")), QStringLiteral("Δεν βρέθηκε"));
    EXPECT_EQ(errorText(Error("\xC4\xE5\xED")), QStringLiteral("Δεν")); // cp1253 bytes
}

TEST(Dates, DayNumbersAndQDates)
{
    struct Case
    {
        double day;
        QDate date;
    };
    for (const auto& [day, date] : {Case{0, QDate(1899, 12, 30)}, Case{37987, QDate(2004, 1, 1)},
                                    Case{-1, QDate(1899, 12, 29)}, Case{60, QDate(1900, 2, 28)},
                                    Case{61, QDate(1900, 3, 1)}}) {
        EXPECT_EQ(toQDate(day), date) << day;
        EXPECT_EQ(toDayNumber(date), day) << day;
    }
    EXPECT_EQ(toQDate(37987.75), QDate(2004, 1, 1)); // a time of day is dropped
}

// Pasting asks for a QString (this program, Qt programs) or for UTF-8 bytes (the X
// selection's UTF8_STRING and text/plain): both come from the kept cp1253 bytes.
TEST(Cp1253MimeData, GivesTheTextAsUnicodeAndAsUtf8)
{
    const QString greek = QStringLiteral("Ημέρα\tΚατηγορία\r\n1/2/2024\tΔΕΗ €\r\n");
    const Cp1253MimeData data(*fromQString(greek));
    EXPECT_TRUE(data.hasText());
    EXPECT_EQ(data.text(), greek);
    EXPECT_EQ(QString::fromUtf8(data.data(QStringLiteral("text/plain"))), greek);
    EXPECT_EQ(QString::fromUtf8(data.data(QStringLiteral("text/plain;charset=utf-8"))), greek);
    EXPECT_TRUE(data.data(QStringLiteral("text/html")).isEmpty());

    const Cp1253MimeData undefined(std::string("a\xAA") + "b");
    EXPECT_EQ(undefined.text(), QStringLiteral("a\uFFFDb"));
    EXPECT_EQ(QString::fromUtf8(undefined.data(QStringLiteral("text/plain"))),
              QStringLiteral("a\uFFFDb"));
}
