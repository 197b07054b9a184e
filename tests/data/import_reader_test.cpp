// Reading statements: detection of separator, encoding, header, columns, dates and
// amounts, each format's reader, and the messages for files that cannot be imported.
#include "data/Cp1253.h"
#include "data/DayNumber.h"
#include "data/import/ImportFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tamisko::import {
namespace {

using ::testing::HasSubstr;

double day(int year, int month, int dayOfMonth)
{
    return days::fromCivil({year, month, dayOfMonth});
}

std::string cp(std::string_view utf8)
{
    return cp1253::fromUtf8OrThrow(utf8);
}

ImportFile read(std::string_view content, ReadSettings settings = {})
{
    return readImport(content, settings);
}

struct Movement
{
    double date;
    double receipt;
    double payment;
    std::string description; // UTF-8
    friend bool operator==(const Movement&, const Movement&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Movement& m)
    {
        const auto civil = days::toCivil(static_cast<int32_t>(m.date));
        return out << civil.year << '-' << civil.month << '-' << civil.day << " +" << m.receipt
                   << " -" << m.payment << " \"" << m.description << '"';
    }
};

std::vector<Movement> validMovements(const ImportFile& file)
{
    std::vector<Movement> out;
    for (const ImportRow& row : file.rows) {
        if (row.status == RowStatus::Valid)
            out.push_back(
                {row.date, row.receipt, row.payment, cp1253::toUtf8OrThrow(row.description)});
    }
    return out;
}

// Separators and quoting -------------------------------------------------------------

struct SeparatorCase
{
    const char* name;
    std::string text;
    char separator;
};

class SeparatorTest : public ::testing::TestWithParam<SeparatorCase>
{};

TEST_P(SeparatorTest, IsDetectedAndSplitsTheRows)
{
    const ImportFile file = read(GetParam().text);
    EXPECT_EQ(file.settings.separator, GetParam().separator);
    EXPECT_THAT(validMovements(file),
                ::testing::ElementsAre(Movement{day(2024, 3, 5), 0, 12.5, "ΑΒ Βασιλόπουλος"},
                                       Movement{day(2024, 3, 6), 1500, 0, "Μισθός"}));
}

INSTANTIATE_TEST_SUITE_P(
    Separators, SeparatorTest,
    ::testing::Values(SeparatorCase{"semicolon",
                                    "Ημερομηνία;Περιγραφή;Ποσό\n05/03/2024;ΑΒ Βασιλόπουλος;-12,50\n"
                                    "06/03/2024;Μισθός;1.500,00\n",
                                    ';'},
                      SeparatorCase{"comma",
                                    "Date,Description,Amount\n05/03/2024,ΑΒ Βασιλόπουλος,-12.50\n"
                                    "06/03/2024,Μισθός,\"1,500.00\"\n",
                                    ','},
                      SeparatorCase{
                          "tab",
                          "Date\tDescription\tAmount\r\n05/03/2024\tΑΒ Βασιλόπουλος\t-12,50\r\n"
                          "06/03/2024\tΜισθός\t1500,00\r\n",
                          '\t'},
                      SeparatorCase{"pipe",
                                    "Date|Description|Amount\n05/03/2024|ΑΒ Βασιλόπουλος|-12.50\n"
                                    "06/03/2024|Μισθός|1500.00\n",
                                    '|'}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DelimitedReader, QuotedCellsHoldSeparatorsQuotesAndLineBreaks)
{
    const ImportFile file = read("Date;Description;Amount\n"
                                 "05/03/2024;\"Πληρωμή; \"\"ΔΕΗ\"\"\nδεύτερη γραμμή\";-10,00\n"
                                 "06/03/2024;Μετά;-1,00\n"
                                 "07/03/2024;Σπασμένη;όχι ποσό\n");
    ASSERT_EQ(file.rows.size(), 3u);
    EXPECT_EQ(cp1253::toUtf8OrThrow(file.rows[0].description), "Πληρωμή; \"ΔΕΗ\" δεύτερη γραμμή");
    EXPECT_EQ(file.rows[0].line, 2);
    EXPECT_EQ(file.rows[1].line, 4); // the quoted line break counts as a line of the file
    EXPECT_EQ(file.rows[2].line, 5);
    EXPECT_EQ(file.rows[2].reason, "Μη έγκυρο ποσό «όχι ποσό».");
}

// Encodings ----------------------------------------------------------------------------

struct EncodingCase
{
    const char* name;
    std::string bytes; // "Ά" and "€" among the description's characters
    Encoding encoding;
};

class EncodingTest : public ::testing::TestWithParam<EncodingCase>
{};

TEST_P(EncodingTest, IsDetectedAndDecoded)
{
    const std::string content =
        "Date;Description;Amount\n01/02/2024;" + GetParam().bytes + ";-3,00\n";
    const ImportFile file = read(content);
    EXPECT_EQ(file.settings.encoding, GetParam().encoding);
    ASSERT_EQ(file.rows.size(), 1u);
    EXPECT_EQ(file.rows[0].description, cp("Άρτος Ωραίος"));
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, EncodingTest,
    ::testing::Values(EncodingCase{"utf8", "Άρτος Ωραίος", Encoding::Utf8},
                      EncodingCase{"utf8_bom", "Άρτος Ωραίος", Encoding::Utf8},
                      // cp1253: Ά is 0xA2
                      EncodingCase{"cp1253", "\xA2\xF1\xF4\xEF\xF2 \xD9\xF1\xE1\xDF\xEF\xF2",
                                   Encoding::Cp1253},
                      // ISO-8859-7: Ά is 0xB6
                      EncodingCase{"iso8859_7", "\xB6\xF1\xF4\xEF\xF2 \xD9\xF1\xE1\xDF\xEF\xF2",
                                   Encoding::Iso8859_7}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DelimitedReader, ByteOrderMarkIsNotPartOfTheFirstHeaderName)
{
    const ImportFile file = read("\xEF\xBB\xBFΗμερομηνία;Ποσό\n01/02/2024;-3,00\n");
    EXPECT_EQ(file.settings.headerLine, 1);
    EXPECT_EQ(file.settings.columns->date, 0);
    EXPECT_EQ(file.validRows(), 1);
}

// Header, preamble, footer, columns ----------------------------------------------------

TEST(DelimitedReader, SkipsAndReportsPreambleAndFooter)
{
    const ImportFile file = read("Αριθμός λογαριασμού;GR1601101250000000012300695\n"
                                 "Περίοδος;01/01/2024 - 31/01/2024\n"
                                 "\n"
                                 "Ημ/νία;Αιτιολογία;Χρέωση;Πίστωση;Υπόλοιπο\n"
                                 "02/01/2024;ΣΚΛΑΒΕΝΙΤΗΣ;45,30;;954,70\n"
                                 "03/01/2024;ΜΙΣΘΟΔΟΣΙΑ;;1.200,00;2.154,70\n"
                                 "Σύνολα;;45,30;1.200,00;\n"
                                 "Τελικό υπόλοιπο;;;;2.154,70\n");
    EXPECT_EQ(file.settings.headerLine, 4);
    EXPECT_THAT(validMovements(file),
                ::testing::ElementsAre(Movement{day(2024, 1, 2), 0, 45.3, "ΣΚΛΑΒΕΝΙΤΗΣ"},
                                       Movement{day(2024, 1, 3), 1200, 0, "ΜΙΣΘΟΔΟΣΙΑ"}));
    std::vector<int> skipped;
    for (const SkippedLine& line : file.skipped)
        skipped.push_back(line.line);
    EXPECT_THAT(skipped, ::testing::ElementsAre(1, 2, 7, 8));
}

struct MappingCase
{
    const char* name;
    std::string header;
    ColumnMapping expected;
};

class HeaderMappingTest : public ::testing::TestWithParam<MappingCase>
{};

TEST_P(HeaderMappingTest, MapsColumnsByName)
{
    const std::string content =
        GetParam().header + "\n" + "01/02/2024;01/02/2024;Α;-1,00;2,00;Χ;τρόφιμα\n";
    const ImportFile file = read(content);
    ASSERT_TRUE(file.settings.columns);
    EXPECT_EQ(*file.settings.columns, GetParam().expected);
}

ColumnMapping signedMapping(int date, int description, int amount, int sign = -1, int category = -1)
{
    ColumnMapping m;
    m.date = date;
    m.description = description;
    m.amount = amount;
    m.sign = sign;
    m.category = category;
    return m;
}

ColumnMapping sidesMapping(int date, int description, int debit, int credit)
{
    ColumnMapping m;
    m.date = date;
    m.description = description;
    m.debit = debit;
    m.credit = credit;
    return m;
}

INSTANTIATE_TEST_SUITE_P(
    Names, HeaderMappingTest,
    ::testing::Values(
        MappingCase{"greek_capitals_without_accents",
                    "ΗΜΕΡΟΜΗΝΙΑ ΑΞΙΑΣ;ΗΜΕΡΟΜΗΝΙΑ;ΠΕΡΙΓΡΑΦΗ;ΠΟΣΟ;ΥΠΟΛΟΙΠΟ;Χ/Π;ΚΑΤΗΓΟΡΙΑ",
                    signedMapping(1, 2, 3, 5, 6)},
        MappingCase{"value_date_only_when_no_other",
                    "Ημ/νία αξίας;Άλλο;Αιτιολογία;Ποσό;Υπόλοιπο;Πρόσημο;Κατηγορία",
                    signedMapping(0, 2, 3, 5, 6)},
        MappingCase{"english", "Value date;Booking Date;Details;Amount;Balance;D/C;Category",
                    signedMapping(1, 2, 3, 5, 6)},
        MappingCase{"debit_and_credit",
                    "Ημ. συναλλαγής;Κωδικός;Συναλλαγή;Ανάληψη;Κατάθεση;Υπόλοιπο;Σημείωση",
                    sidesMapping(0, 2, 3, 4)},
        MappingCase{"english_debit_and_credit", "Date;Ref;Payee;Withdrawal;Deposit;Balance;Notes",
                    sidesMapping(0, 2, 3, 4)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DelimitedReader, WithoutHeaderTheContentDecidesTheColumns)
{
    const ImportFile file = read("12345;05/03/2024;ΑΓΟΡΑ ΚΑΥΣΙΜΩΝ ΣΤΑΘΜΟΣ;-40,00\n"
                                 "12346;06/03/2024;ΜΕΤΑΦΟΡΑ ΑΠΟ ΛΟΓΑΡΙΑΣΜΟ;100,00\n");
    EXPECT_EQ(file.settings.headerLine, kNoHeader);
    ASSERT_TRUE(file.settings.columns);
    EXPECT_EQ(file.settings.columns->date, 1);
    EXPECT_EQ(file.settings.columns->amount, 3);
    EXPECT_EQ(file.settings.columns->description, 2);
    EXPECT_EQ(file.validRows(), 2);
}

TEST(DelimitedReader, GivenSettingsAreTakenAsTheyAreAndReadAgain)
{
    const std::string content = "01/02/2024;3,50;Α\n02/03/2024;4,00;Β\n";
    ImportFile first = read(content);
    ASSERT_EQ(first.settings.dateOrder, DateOrder::DayMonthYear);
    ReadSettings changed = first.settings;
    changed.dateOrder = DateOrder::MonthDayYear;
    ColumnMapping columns;
    columns.date = 0;
    columns.amount = 1;
    columns.description = 2;
    changed.columns = columns;
    const ImportFile second = read(content, changed);
    EXPECT_EQ(second.settings.dateOrder, DateOrder::MonthDayYear);
    EXPECT_THAT(validMovements(second),
                ::testing::ElementsAre(Movement{day(2024, 1, 2), 3.5, 0, "Α"},
                                       Movement{day(2024, 2, 3), 4, 0, "Β"}));
}

TEST(DelimitedReader, SignColumnTurnsAmountsIntoReceiptsOrPayments)
{
    const ImportFile file = read("Date;Description;Amount;D/C\n"
                                 "01/02/2024;a;10,00;D\n"
                                 "02/02/2024;b;20,00;C\n"
                                 "03/02/2024;c;30,00;Χ\n"
                                 "04/02/2024;d;40,00;Π\n"
                                 "05/02/2024;e;50,00;?\n");
    EXPECT_THAT(validMovements(file),
                ::testing::ElementsAre(
                    Movement{day(2024, 2, 1), 0, 10, "a"}, Movement{day(2024, 2, 2), 20, 0, "b"},
                    Movement{day(2024, 2, 3), 0, 30, "c"}, Movement{day(2024, 2, 4), 40, 0, "d"}));
    EXPECT_EQ(file.rows.back().status, RowStatus::Invalid);
    EXPECT_EQ(file.rows.back().line, 6);
}

TEST(DelimitedReader, ZeroAmountRowsAreSkippedAndReported)
{
    const ImportFile file = read("Date;Description;Debit;Credit\n"
                                 "01/02/2024;a;0,00;\n"
                                 "02/02/2024;b;;5,00\n");
    EXPECT_EQ(file.dataRows, 2);
    EXPECT_EQ(file.validRows(), 1);
    ASSERT_EQ(file.skipped.size(), 1u);
    EXPECT_EQ(file.skipped[0].line, 2);
    EXPECT_EQ(file.skipped[0].reason, "Μηδενικό ποσό.");
}

// Dates and amounts --------------------------------------------------------------------

struct DateCase
{
    const char* cell;
    DateOrder order;
    std::optional<double> expected;
};

class DateCellTest : public ::testing::TestWithParam<DateCase>
{};

TEST_P(DateCellTest, Parses)
{
    EXPECT_EQ(parseDateCell(GetParam().cell, GetParam().order), GetParam().expected)
        << GetParam().cell;
}

constexpr auto DMY = DateOrder::DayMonthYear;
constexpr auto MDY = DateOrder::MonthDayYear;

INSTANTIATE_TEST_SUITE_P(
    Forms, DateCellTest,
    ::testing::Values(
        DateCase{"5/3/2024", DMY, day(2024, 3, 5)}, DateCase{"05/03/2024", DMY, day(2024, 3, 5)},
        DateCase{"5.3.2024", DMY, day(2024, 3, 5)}, DateCase{"5-3-2024", DMY, day(2024, 3, 5)},
        DateCase{"2024-03-05", DMY, day(2024, 3, 5)}, DateCase{"2024-03-05", MDY, day(2024, 3, 5)},
        DateCase{"3/5/2024", MDY, day(2024, 3, 5)}, DateCase{"05/03/24", DMY, day(2024, 3, 5)},
        DateCase{"05/03/69", DMY, day(2069, 3, 5)}, DateCase{"05/03/70", DMY, day(1970, 3, 5)},
        DateCase{"05/03/99", DMY, day(1999, 3, 5)}, DateCase{"3/5'24", MDY, day(2024, 3, 5)},
        DateCase{" 3/ 5/24", MDY, day(2024, 3, 5)},
        DateCase{"05/03/2024 14:30", DMY, day(2024, 3, 5)},
        DateCase{"20240305", DMY, day(2024, 3, 5)}, DateCase{"29/02/2023", DMY, std::nullopt},
        DateCase{"32/01/2024", DMY, std::nullopt}, DateCase{"5/3.2024", DMY, std::nullopt},
        DateCase{"5/3", DMY, std::nullopt}, DateCase{"Σύνολο", DMY, std::nullopt}));

TEST(DateOrder, IsDecidedOverTheWholeColumn)
{
    const auto decide = [](std::vector<std::string_view> cells, DateOrder fallback) {
        return decideDateOrder(cells, fallback);
    };
    EXPECT_EQ(decide({"01/02/2024", "13/02/2024"}, MDY), DMY);
    EXPECT_EQ(decide({"01/02/2024", "02/13/2024"}, DMY), MDY);
    EXPECT_EQ(decide({"01/02/2024", "02/03/2024"}, DMY), DMY);
    EXPECT_EQ(decide({"01/02/2024", "02/03/2024"}, MDY), MDY);
    EXPECT_EQ(decide({"2024-01-02", "2024-01-30"}, MDY), MDY); // year first: no vote
}

TEST(DelimitedReader, OneUnambiguousDateDecidesTheOrderOfTheOthers)
{
    const ImportFile file = read("Date;Amount\n01/02/2024;-1,00\n02/13/2024;-2,00\n");
    EXPECT_EQ(file.settings.dateOrder, MDY);
    EXPECT_EQ(file.rows[0].date, day(2024, 1, 2));
}

struct AmountCase
{
    const char* cell;
    char decimal;
    std::optional<double> expected;
};

class AmountCellTest : public ::testing::TestWithParam<AmountCase>
{};

TEST_P(AmountCellTest, Parses)
{
    EXPECT_EQ(parseAmountCell(GetParam().cell, GetParam().decimal), GetParam().expected)
        << GetParam().cell;
}

INSTANTIATE_TEST_SUITE_P(
    Forms, AmountCellTest,
    ::testing::Values(AmountCase{"1.234,56", ',', 1234.56}, AmountCase{"1,234.56", '.', 1234.56},
                      AmountCase{"1234,56", ',', 1234.56}, AmountCase{"-12,50", ',', -12.5},
                      AmountCase{"12,50-", ',', -12.5}, AmountCase{"(12,50)", ',', -12.5},
                      AmountCase{"+7", ',', 7.0}, AmountCase{"€ 12,50", ',', 12.5},
                      AmountCase{"12,50 €", ',', 12.5}, AmountCase{"-12.50 EUR", '.', -12.5},
                      AmountCase{"1 234,56", ',', 1234.56},
                      AmountCase{"1.234.567,8", ',', 1234567.8},
                      AmountCase{"\xE2\x88\x92"
                                 "3,00",
                                 ',', -3.0},
                      AmountCase{"12.50", ',', std::nullopt}, // a point groups by threes
                      AmountCase{"1,2,3", ',', std::nullopt}, AmountCase{"", ',', std::nullopt},
                      AmountCase{"ΔΕΗ 12", ',', std::nullopt},
                      AmountCase{"12abc", ',', std::nullopt}));

TEST(DecimalSign, IsDecidedOverTheWholeColumn)
{
    const auto decide = [](std::vector<std::string_view> cells, char fallback) {
        return decideDecimalSign(cells, fallback);
    };
    EXPECT_EQ(decide({"1.234", "12,5"}, '.'), ',');
    EXPECT_EQ(decide({"1,234", "12.5"}, ','), '.');
    EXPECT_EQ(decide({"1.234,56"}, '.'), ',');
    EXPECT_EQ(decide({"1,234.56"}, ','), '.');
    EXPECT_EQ(decide({"1.234.567"}, '.'), ',');
    EXPECT_EQ(decide({"1.234", "5"}, ','), ','); // nothing decides
    EXPECT_EQ(decide({"1.234", "5"}, '.'), '.');
}

TEST(DelimitedReader, ThousandsWithoutDecimalsFollowTheColumn)
{
    const ImportFile file = read("Date;Amount\n01/02/2024;-1.234\n02/02/2024;-12,5\n");
    EXPECT_EQ(file.settings.decimalSign, ',');
    EXPECT_EQ(file.rows[0].payment, 1234);
    EXPECT_EQ(file.rows[1].payment, 12.5);
}

// Texts ------------------------------------------------------------------------------------

TEST(ImportTexts, ReplaceWhatCp1253CannotHoldAndCutToTheFieldSizes)
{
    const std::string longText(250, 'x');
    const ImportFile file =
        read("Date;Description;Amount;Category\n"
             "01/02/2024;Café ἀρχή 中 “quotes”;-1,00;Κατηγορία με πολύ μεγάλο όνομα εδώ\n"
             "02/02/2024;" +
             longText + ";-2,00;\n");
    ASSERT_EQ(file.rows.size(), 2u);
    EXPECT_EQ(file.rows[0].description, cp("Cafe αρχή ? “quotes”"));
    EXPECT_EQ(file.rows[0].category, cp("Κατηγορία με πολύ μεγάλο όνομα"));
    EXPECT_EQ(file.rows[0].category.size(), 30u);
    EXPECT_EQ(file.rows[1].description, std::string(200, 'x'));
    EXPECT_EQ(file.textChanges.approximated, 2); // é, ἀ
    EXPECT_EQ(file.textChanges.unknown, 1);      // 中
    EXPECT_EQ(file.textChanges.replacedCharacters(), 3);
    EXPECT_EQ(file.textChanges.cutTexts, 2);
}

TEST(ImportTexts, FoldIgnoresCaseAndOptionallyAccents)
{
    EXPECT_EQ(fold(cp("  ΆΛΛΑ   Έξοδα "), false), cp("άλλα έξοδα"));
    EXPECT_EQ(fold(cp("ΆΛΛΑ Έξοδα"), true), cp("αλλα εξοδα"));
    EXPECT_EQ(fold(cp("ΤΕΛΟΣ"), true), fold(cp("τέλος"), true)); // final sigma
    EXPECT_EQ(descriptionKey(cp("ΔΕΗ ΛΟΓ. 12345/2024")), cp("δεη λογ"));
    EXPECT_EQ(firstTwoWords(descriptionKey(cp("Σκλαβενίτης Αθήνα 12 Νο 4"))),
              descriptionKey(cp("σκλαβενιτης αθηνα")));
}

// Files that cannot be imported ------------------------------------------------------------

struct BadInputCase
{
    const char* name;
    std::string content;
    std::string message;
    int line;
};

class BadInputTest : public ::testing::TestWithParam<BadInputCase>
{};

TEST_P(BadInputTest, FailsWithItsMessage)
{
    try {
        read(GetParam().content);
        FAIL() << "read";
    } catch (const ImportError& error) {
        EXPECT_EQ(error.what(), GetParam().message);
        EXPECT_EQ(error.line(), GetParam().line);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadInputTest,
    ::testing::Values(
        BadInputCase{"empty", "", "Το αρχείο είναι κενό.", 0},
        BadInputCase{"blank", " \r\n\n", "Το αρχείο είναι κενό.", 0},
        BadInputCase{"binary", std::string("PK\x03\x04\x14\0\0\0\x08\0", 10) + "\n\x01\x02",
                     "Το αρχείο δεν είναι κείμενο (γραμμή 1)", 1},
        BadInputCase{"header_without_data", "Λογαριασμός;123\nΗμερομηνία;Περιγραφή;Ποσό\n",
                     "Η επικεφαλίδα δεν ακολουθείται από γραμμές κινήσεων (γραμμή 2)", 2},
        BadInputCase{"no_amount_column", "Ημερομηνία;Περιγραφή\n01/02/2024;α\n",
                     "Δεν βρέθηκε στήλη ποσού (γραμμή 1)", 1},
        BadInputCase{"one_column", "κείμενο\nχωρίς\nστήλες\n",
                     "Δεν βρέθηκαν στήλες χωρισμένες με «;», «,», tab ή «|» (γραμμή 1)", 1},
        BadInputCase{"qif_without_records", "!Type:Bank\n^\n",
                     "Το αρχείο QIF δεν έχει καμία κίνηση.", 0},
        BadInputCase{"broken_xml", "<?xml version=\"1.0\"?>\n<homebank v=\"1.3\">\n<ope date=\n",
                     "Το αρχείο HomeBank δεν είναι έγκυρο XML (γραμμή 3)", 3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DelimitedReader, ABrokenDateIsAnInvalidRowNamedByItsLine)
{
    const ImportFile file = read("Date;Amount\n01/02/2024;-1,00\n31/02/2024;-2,00\n"
                                 "03/02/2024;-3,00\n");
    ASSERT_EQ(file.rows.size(), 3u);
    EXPECT_EQ(file.rows[1].status, RowStatus::Invalid);
    EXPECT_EQ(file.rows[1].line, 3);
    EXPECT_EQ(file.rows[1].reason, "Μη έγκυρη ημερομηνία «31/02/2024».");
    EXPECT_EQ(file.validRows(), 2);
}

// QIF, OFX, HomeBank ---------------------------------------------------------------------

TEST(QifReader, ReadsRecordsSplitsAndTheUsualDates)
{
    const ImportFile file =
        read("!Type:Bank\n"
             "D1/15'24\nT-12.50\nPΣούπερ Μάρκετ\nMεβδομαδιαία\nLΦαγητό:Τρόφιμα\n^\n"
             "D1/20/2024\nU1,200.00\nPΕργοδότης\n^\n"
             "D1/21/2024\nT-30.00\nPΚατάστημα\nSτρόφιμα\n$-20.00\nEψωμί\n"
             "Sρούχα\n$-10.00\n^\n"
             "D1/32/2024\nT-1.00\n^\n");
    EXPECT_EQ(file.settings.format, Format::Qif);
    EXPECT_EQ(file.settings.dateOrder, MDY);
    EXPECT_THAT(
        validMovements(file),
        ::testing::ElementsAre(Movement{day(2024, 1, 15), 0, 12.5, "Σούπερ Μάρκετ - εβδομαδιαία"},
                               Movement{day(2024, 1, 20), 1200, 0, "Εργοδότης"},
                               Movement{day(2024, 1, 21), 0, 20, "Κατάστημα - ψωμί"},
                               Movement{day(2024, 1, 21), 0, 10, "Κατάστημα"}));
    EXPECT_EQ(file.rows[0].category, cp("Τρόφιμα"));
    EXPECT_EQ(file.rows[2].category, cp("τρόφιμα"));
    EXPECT_EQ(file.rows[3].category, cp("ρούχα"));
    EXPECT_EQ(file.rows[4].status, RowStatus::Invalid);
    EXPECT_EQ(file.rows[4].line, 21);
}

TEST(QifReader, DayFirstWhenTheFileSaysSo)
{
    const ImportFile file = read("!Type:CCard\nD25/12/2023\nT-1,50\n^\nD01/02/2024\nT-2,00\n^\n");
    EXPECT_EQ(file.settings.dateOrder, DMY);
    EXPECT_EQ(file.settings.decimalSign, ',');
    EXPECT_THAT(validMovements(file),
                ::testing::ElementsAre(Movement{day(2023, 12, 25), 0, 1.5, ""},
                                       Movement{day(2024, 2, 1), 0, 2, ""}));
}

const char* const kOfxVersion1 = R"(OFXHEADER:100
DATA:OFXSGML
VERSION:102
SECURITY:NONE
ENCODING:USASCII
CHARSET:1252
COMPRESSION:NONE
OLDFILEUID:NONE
NEWFILEUID:NONE

<OFX>
<BANKMSGSRSV1><STMTTRNRS><TRNUID>1<STATUS><CODE>0<SEVERITY>INFO</STATUS>
<STMTRS><CURDEF>EUR<BANKACCTFROM><BANKID>1<ACCTID>2<ACCTTYPE>CHECKING</BANKACCTFROM>
<BANKTRANLIST><DTSTART>20240101<DTEND>20240131
<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20240105<TRNAMT>-42.10<FITID>1<NAME>GROCERY<MEMO>card 1</STMTTRN>
<STMTTRN><TRNTYPE>CREDIT<DTPOSTED>20240125120000<TRNAMT>1500.00<FITID>2<NAME>SALARY</STMTTRN>
</BANKTRANLIST></STMTRS></STMTTRNRS></BANKMSGSRSV1></OFX>
)";

const char* const kOfxVersion2 = R"(<?xml version="1.0" encoding="UTF-8"?>
<?OFX OFXHEADER="200" VERSION="211" SECURITY="NONE" OLDFILEUID="NONE" NEWFILEUID="NONE"?>
<OFX>
<BANKMSGSRSV1><STMTTRNRS><TRNUID>1</TRNUID><STATUS><CODE>0</CODE><SEVERITY>INFO</SEVERITY></STATUS>
<STMTRS><CURDEF>EUR</CURDEF><BANKACCTFROM><BANKID>1</BANKID><ACCTID>2</ACCTID><ACCTTYPE>CHECKING</ACCTTYPE></BANKACCTFROM>
<BANKTRANLIST><DTSTART>20240101</DTSTART><DTEND>20240131</DTEND>
<STMTTRN><TRNTYPE>DEBIT</TRNTYPE><DTPOSTED>20240105</DTPOSTED><TRNAMT>-42.10</TRNAMT><FITID>1</FITID><NAME>GROCERY</NAME><MEMO>card 1</MEMO></STMTTRN>
<STMTTRN><TRNTYPE>CREDIT</TRNTYPE><DTPOSTED>20240125</DTPOSTED><TRNAMT>1500.00</TRNAMT><FITID>2</FITID><NAME>SALARY</NAME></STMTTRN>
</BANKTRANLIST></STMTRS></STMTTRNRS></BANKMSGSRSV1></OFX>
)";

struct OfxCase
{
    const char* content;
    int firstLine; // of the first STMTTRN
};

class OfxReaderTest : public ::testing::TestWithParam<OfxCase>
{};

TEST_P(OfxReaderTest, ReadsEveryStatementTransaction)
{
    const ImportFile file = read(GetParam().content);
    EXPECT_EQ(file.settings.format, Format::Ofx);
    EXPECT_THAT(validMovements(file),
                ::testing::ElementsAre(Movement{day(2024, 1, 5), 0, 42.1, "GROCERY - card 1"},
                                       Movement{day(2024, 1, 25), 1500, 0, "SALARY"}));
    EXPECT_EQ(file.rows[0].line, GetParam().firstLine);
    EXPECT_EQ(file.rows[1].line, GetParam().firstLine + 1);
}

INSTANTIATE_TEST_SUITE_P(Versions, OfxReaderTest,
                         ::testing::Values(OfxCase{kOfxVersion1, 15}, OfxCase{kOfxVersion2, 7}));

const char* const kHomeBank = R"(<?xml version="1.0"?>
<homebank v="1.3999999999999999" d="050206">
<properties title="Σπίτι" curr="1"/>
<account key="1" pos="1" type="1" curr="1" name="Τράπεζα" initial="0"/>
<account key="2" pos="2" type="2" curr="1" name="Μετρητά" initial="0"/>
<pay key="1" name="Σούπερ"/>
<cat key="1" name="Φαγητό"/>
<cat key="2" parent="1" flags="1" name="Τρόφιμα"/>
<cat key="3" name="Μισθός"/>
<ope date="738891" amount="-25.5" account="1" paymode="4" payee="1" category="2" wording="ψώνια"/>
<ope date="738892" amount="1200" account="1" paymode="4" category="3" wording="Ιανουάριος"/>
<ope date="738893" amount="-100" account="1" dst_account="2" paymode="5" kxfer="1" wording="ανάληψη"/>
<ope date="738893" amount="100" account="2" dst_account="1" paymode="5" kxfer="1" wording="ανάληψη"/>
<ope date="738894" amount="-3" account="2" paymode="1" payee="1"/>
</homebank>
)";

TEST(HomeBankReader, ReadsOperationsSkipsTransfersAndNamesSubcategories)
{
    const ImportFile file = read(kHomeBank);
    EXPECT_EQ(file.settings.format, Format::HomeBank);
    EXPECT_THAT(file.accounts, ::testing::ElementsAre("Τράπεζα", "Μετρητά"));
    EXPECT_THAT(validMovements(file),
                ::testing::ElementsAre(Movement{day(2024, 1, 6), 0, 25.5, "ψώνια"},
                                       Movement{day(2024, 1, 7), 1200, 0, "Ιανουάριος"},
                                       Movement{day(2024, 1, 9), 0, 3, "Σούπερ"}));
    EXPECT_EQ(file.rows[0].category, cp("Τρόφιμα"));
    EXPECT_EQ(file.rows[1].category, cp("Μισθός"));
    ASSERT_EQ(file.skipped.size(), 2u);
    EXPECT_EQ(file.skipped[0].line, 12);
    EXPECT_EQ(file.skipped[0].reason, "Μεταφορά μεταξύ λογαριασμών.");
}

TEST(HomeBankReader, ReadsOneAccountWhenAsked)
{
    ReadSettings settings;
    settings.account = "Μετρητά";
    const ImportFile file = read(kHomeBank, settings);
    EXPECT_EQ(file.validRows(), 1);
    settings.account = "Κανένας";
    EXPECT_THROW(read(kHomeBank, settings), ImportError);
}

TEST(FormatDetection, LooksAtTheContentBeforeTheExtension)
{
    EXPECT_EQ(detectFormat(kOfxVersion1, "statement.csv"), Format::Ofx);
    EXPECT_EQ(detectFormat(kOfxVersion2), Format::Ofx);
    EXPECT_EQ(detectFormat(kHomeBank), Format::HomeBank);
    EXPECT_EQ(detectFormat("!Type:Bank\n"), Format::Qif);
    EXPECT_EQ(detectFormat("D1/2/24\nT-1\n^\n", "old.QIF"), Format::Qif);
    EXPECT_EQ(detectFormat("Date;Amount\n", "statement.qif.txt"), Format::Delimited);
}

TEST(DelimitedReader, ReportsItsProgressThroughTheText)
{
    std::string csv = "Date;Description;Amount\n";
    for (int i = 0; i < 10000; ++i)
        csv += "02/03/2024;row " + std::to_string(i) + ";-1,00\n";
    std::vector<std::pair<size_t, size_t>> reports;
    const ImportFile file = readImport(
        csv, {}, {}, [&reports](size_t done, size_t total) { reports.emplace_back(done, total); });
    EXPECT_EQ(file.rows.size(), 10000u);
    ASSERT_EQ(reports.size(), 2u); // every 4096 records
    EXPECT_LT(reports[0].first, reports[1].first);
    EXPECT_LE(reports[1].first, reports[1].second);
    EXPECT_EQ(reports[1].second, csv.size());
}

} // namespace
} // namespace tamisko::import
