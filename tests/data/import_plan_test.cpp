// Checking imported rows against a book (categories, duplicates) and the bulk step that
// puts them in and takes them back.
#include "data/Cp1253.h"
#include "data/DataMdl.h"
#include "data/DayNumber.h"
#include "data/import/ImportFile.h"
#include "data/import/ImportPlan.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tamisko::import {
namespace {

std::string cp(std::string_view utf8)
{
    return cp1253::fromUtf8OrThrow(utf8);
}

std::string utf8(std::string_view bytes)
{
    return cp1253::toUtf8OrThrow(bytes);
}

double day(int d)
{
    return days::fromCivil({2024, 1, d});
}

class CountingNotifier : public DocumentNotifier
{
public:
    void sendDataModified() override { ++modified; }
    void postBalanceChanged() override { ++balanceChanged; }
    int modified = 0;
    int balanceChanged = 0;
};

class ImportPlanTest : public ::testing::Test
{
protected:
    ImportPlanTest() { data.NewDocument(); }

    int32_t catNum(std::string_view name)
    {
        EXPECT_TRUE(data.CatTable.locate("Category", {Variant::fromString(cp(name))}));
        return data.CatTable.fieldByName("CatNum").asInteger();
    }

    void addMovement(int date, std::string_view category, double payment,
                     std::string_view description, double receipt = 0)
    {
        const int32_t number = catNum(category);
        data.LogTable.append();
        data.LogTable.setFieldValue("Date", Variant::fromDate(day(date)));
        data.LogTable.setFieldValue("CatNum", Variant::fromInt(number));
        if (payment != 0)
            data.LogTable.setFieldValue("Pliromi", Variant::fromDouble(payment));
        if (receipt != 0)
            data.LogTable.setFieldValue("Eispraxi", Variant::fromDouble(receipt));
        data.LogTable.setFieldValue("Perigrafi", Variant::fromString(cp(description)));
        data.LogTable.post();
    }

    ImportPreview preview(std::string_view csv, const PreviewOptions& options = {})
    {
        return previewImport(readImport(csv, {}), data.CatTable, data.LogTable, options);
    }

    std::vector<std::string> categoriesOf(const ImportPreview& p)
    {
        std::vector<std::string> names;
        for (const PreviewRow& row : p.rows)
            names.push_back(utf8(p.categoryOf(row)));
        return names;
    }

    DataMod data;
};

TEST_F(ImportPlanTest, FileCategoriesMatchIgnoringCaseAndAccentsOrBecomeNew)
{
    const ImportPreview p = preview("Date;Description;Amount;Category\n"
                                    "01/01/2024;a;-1,00;ΤΡΟΦΙΜΑ\n"
                                    "02/01/2024;b;-2,00;Κατοικίδια\n"
                                    "03/01/2024;c;-3,00;ΚΑΤΟΙΚΊΔΙΑ\n"
                                    "04/01/2024;d;-4,00;δεη\n");
    EXPECT_THAT(categoriesOf(p),
                ::testing::ElementsAre("τρόφιμα", "Κατοικίδια", "Κατοικίδια", "ΔΕΗ"));
    for (const PreviewRow& row : p.rows)
        EXPECT_EQ(row.source, CategorySource::File);
    const auto created = newCategories(p, data.CatTable);
    ASSERT_EQ(created.size(), 1u);
    EXPECT_EQ(utf8(created[0]), "Κατοικίδια");
}

TEST_F(ImportPlanTest, TheBookTeachesCategoriesFromDescriptions)
{
    addMovement(1, "τρόφιμα", 10, "ΣΚΛΑΒΕΝΙΤΗΣ 0123");
    addMovement(2, "τρόφιμα", 11, "Σκλαβενίτης 0456");
    addMovement(3, "διασκέδαση", 12, "σκλαβενιτης 99");
    addMovement(4, "ΔΕΗ", 50, "ΔΕΗ ΛΟΓ. 111 ΙΑΝΟΥΑΡΙΟΣ");
    addMovement(5, "μισθός", 0, "ΜΙΣΘΟΔΟΣΙΑ", 1000);

    const ImportPreview p = preview("Date;Description;Amount\n"
                                    "10/01/2024;Σκλαβενίτης 777;-5,00\n"
                                    "11/01/2024;ΔΕΗ ΛΟΓ 222 ΦΕΒΡΟΥΑΡΙΟΣ;-60,00\n"
                                    "12/01/2024;Κάτι άλλο;-7,00\n"
                                    "13/01/2024;Τόκοι;2,00\n");
    EXPECT_THAT(categoriesOf(p),
                ::testing::ElementsAre("τρόφιμα", "ΔΕΗ", "άλλα έξοδα", "άλλα έσοδα"));
    EXPECT_EQ(p.rows[0].source, CategorySource::Learned);
    EXPECT_EQ(p.rows[1].source, CategorySource::Learned); // the same first two words
    EXPECT_EQ(p.rows[2].source, CategorySource::Default);

    PreviewOptions picked;
    picked.fallbackCategory = cp("ρούχα");
    const ImportPreview withPick = preview("Date;Description;Amount\n"
                                           "12/01/2024;Κάτι άλλο;-7,00\n",
                                           picked);
    EXPECT_THAT(categoriesOf(withPick), ::testing::ElementsAre("ρούχα"));
}

TEST_F(ImportPlanTest, MissingDefaultCategoriesAreCreated)
{
    ASSERT_TRUE(data.CatTable.locate("Category", {Variant::fromString(cp("άλλα έξοδα"))}));
    data.CatTable.deleteRecord();
    const ImportPreview p = preview("Date;Description;Amount\n01/01/2024;x;-1,00\n");
    const ImportOutcome outcome = applyImport(data, p);
    ASSERT_EQ(outcome.categoriesCreated.size(), 1u);
    EXPECT_EQ(utf8(outcome.categoriesCreated[0]), "άλλα έξοδα");
    EXPECT_EQ(data.CatTable.recordCount(), 28);
}

TEST_F(ImportPlanTest, DuplicatesCountWithMultiplicity)
{
    addMovement(1, "τρόφιμα", 10, "Φούρνος");
    addMovement(1, "τρόφιμα", 10, "ΦΟΎΡΝΟΣ  "); // case and blanks do not count
    addMovement(2, "τρόφιμα", 10, "Φούρνος");   // another day
    const ImportPreview p = preview("Date;Description;Amount\n"
                                    "01/01/2024;φούρνος;-10,00\n"
                                    "01/01/2024;Φούρνος;-10,00\n"
                                    "01/01/2024;Φούρνος;-10,00\n"
                                    "01/01/2024;Φούρνος;-10,50\n"
                                    "01/01/2024;Φούρνος;10,00\n");
    std::vector<bool> duplicate;
    std::vector<bool> included;
    for (const PreviewRow& row : p.rows) {
        duplicate.push_back(row.duplicate);
        included.push_back(row.include);
    }
    EXPECT_THAT(duplicate, ::testing::ElementsAre(true, true, false, false, false));
    EXPECT_THAT(included, ::testing::ElementsAre(false, false, true, true, true));
    EXPECT_EQ(p.duplicateCount(), 2);

    PreviewOptions keep;
    keep.keepDuplicates = true;
    EXPECT_EQ(preview("Date;Description;Amount\n01/01/2024;φούρνος;-10,00\n", keep).includedCount(),
              1);
}

TEST_F(ImportPlanTest, ImportingTheSameStatementTwiceAddsNothing)
{
    const std::string csv = "Date;Description;Amount\n"
                            "01/01/2024;a;-1,00\n01/01/2024;a;-1,00\n02/01/2024;b;3,00\n";
    EXPECT_EQ(applyImport(data, preview(csv)).imported, 3);
    EXPECT_EQ(applyImport(data, preview(csv)).imported, 0);
    EXPECT_EQ(data.LogTable.recordCount(), 3);
    // An overlapping statement adds only its new day.
    const ImportOutcome overlap = applyImport(data, preview(csv + "03/01/2024;c;-4,00\n"));
    EXPECT_EQ(overlap.imported, 1);
    EXPECT_EQ(data.LogTable.recordCount(), 4);
}

TEST_F(ImportPlanTest, ApplyIsOneBulkStepAndUndoTakesItAllBack)
{
    addMovement(1, "τρόφιμα", 10, "πριν");
    CountingNotifier notifier;
    data.setNotifier(&notifier);
    const double balanceBefore = static_cast<double>(data.Balance);

    ImportPreview p = preview("Date;Description;Amount;Category\n"
                              "05/01/2024;α;-1,50;Νέα\n"
                              "06/01/2024;β;100,00;\n"
                              "07/01/2024;γ;-2,00;τρόφιμα\n"
                              "31/02/2024;δ;-9,00;\n");
    p.rows[2].include = false;                     // the user unticks a row
    p.setCategory(p.rows[0], cp("ΝΕΑ κατηγορία")); // and picks another category
    const ImportOutcome outcome = applyImport(data, p);
    EXPECT_EQ(outcome.imported, 2);
    EXPECT_EQ(static_cast<double>(outcome.receipts), 100);
    EXPECT_EQ(static_cast<double>(outcome.payments), 1.5);
    ASSERT_EQ(outcome.categoriesCreated.size(), 1u);
    EXPECT_EQ(utf8(outcome.categoriesCreated[0]), "ΝΕΑ κατηγορία");
    EXPECT_EQ(notifier.modified, 1);
    EXPECT_EQ(notifier.balanceChanged, 1);
    EXPECT_DOUBLE_EQ(static_cast<double>(data.Balance), balanceBefore + 98.5);
    EXPECT_EQ(data.LastDate, day(6));
    EXPECT_EQ(data.LogTable.recordCount(), 3);
    EXPECT_TRUE(data.LogSource.enabled());
    // The movements read back with their categories, null where nothing was given.
    data.LogTable.last();
    EXPECT_EQ(utf8(data.LogTable.fieldByName("Category").asString()), "άλλα έσοδα");
    EXPECT_TRUE(data.LogTable.fieldByName("Pliromi").isNull());
    data.LogTable.prior();
    EXPECT_EQ(utf8(data.LogTable.fieldByName("Category").asString()), "ΝΕΑ κατηγορία");

    undoImport(data, outcome.undo);
    EXPECT_EQ(data.LogTable.recordCount(), 1);
    EXPECT_EQ(data.CatTable.recordCount(), 28);
    EXPECT_DOUBLE_EQ(static_cast<double>(data.Balance), balanceBefore);
    EXPECT_EQ(notifier.modified, 2);
    data.setNotifier(nullptr);
}

TEST_F(ImportPlanTest, InvalidRowsAreNeverIncluded)
{
    ImportPreview p = preview("Date;Amount\n01/01/2024;-1,00\n31/02/2024;-2,00\n");
    ASSERT_EQ(p.rows.size(), 2u);
    p.rows[1].include = true; // even when asked
    EXPECT_EQ(applyImport(data, p).imported, 1);
}

} // namespace
} // namespace tamisko::import
