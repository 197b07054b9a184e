#include "data/Cp1253.h"
#include "data/DataMdl.h"
#include "data/RegionalSettings.h"
#include "data/TableUtils.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

namespace tamisko {
namespace {

std::string cp(std::string_view utf8)
{
    return cp1253::fromUtf8OrThrow(utf8);
}

TEST(FileNameWithoutExt, KeepsTheNameBetweenTheLastSeparatorAndTheLastDot)
{
    struct Case
    {
        std::string path, expected;
    };
    const Case cases[] = {
        {cp("C:\\Data\\Σπίτι.2004.tmk"), cp("Σπίτι.2004")},
        {"C:\\Data\\notes", "notes"},
        {"/home/eleni/books/2024.tmk", "2024"},
        {"C:book.tmk", "book"},
        {"/home/eleni/.hidden", ""},
        {"book.", "book"},
        {"", ""},
        {"dir.d/file", "file"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FileNameWithoutExt(c.path), c.expected) << c.path;
}

// The two tables of a cash book without the data module around them.
class TableUtilsTest : public ::testing::Test
{
protected:
    TableUtilsTest()
    {
        DefineCatTable(categories);
        DefineLogTable(movements, categories);
        addCategory(14, cp("ΔΕΗ"));
        addCategory(3, cp("ΟΤΕ"));
    }

    void addCategory(int32_t catNum, const std::string& name)
    {
        categories.append();
        categories.fieldByName("CatNum").setAsInteger(catNum);
        categories.fieldByName("Category").setAsString(name);
        categories.post();
    }

    void addMovement(double day, int32_t catNum, std::optional<double> receipt,
                     std::optional<double> payment, const std::string& description = {})
    {
        movements.append();
        movements.fieldByName("Date").setValue(Variant::fromDate(day));
        movements.fieldByName("CatNum").setAsInteger(catNum);
        if (receipt)
            movements.fieldByName("Eispraxi").setAsFloat(*receipt);
        if (payment)
            movements.fieldByName("Pliromi").setAsFloat(*payment);
        if (!description.empty())
            movements.fieldByName("Perigrafi").setAsString(description);
        movements.post();
    }

    std::vector<std::string> column(MemTable& table, const std::string& field)
    {
        std::vector<std::string> values;
        for (table.first(); !table.eof(); table.next())
            values.push_back(
                table.fieldByName(field).isNull() ? "<null>" : table.fieldByName(field).asString());
        return values;
    }

    MemTable categories{"CatTable"};
    MemTable movements{"LogTable"};
    DataSource catSource{&categories};
    DataSource logSource{&movements};
};

TEST_F(TableUtilsTest, CancelPendingDropsEditsAndInsertsWithoutPosting)
{
    int posts = 0;
    movements.setAfterPost([&](MemTable&) { ++posts; });
    addMovement(37987, 14, 1.0, std::nullopt);
    posts = 0;

    movements.edit();
    movements.fieldByName("Eispraxi").setAsFloat(99);
    categories.append();
    categories.fieldByName("Category").setAsString("new");
    CancelPending({&movements, &categories});

    EXPECT_EQ(posts, 0);
    EXPECT_EQ(movements.state(), DataSetState::Browse);
    EXPECT_EQ(categories.state(), DataSetState::Browse);
    EXPECT_EQ(movements.fieldByName("Eispraxi").asFloat(), 1.0);
    EXPECT_EQ(categories.recordCount(), 2);
    MemTable closed("closed");
    CancelPending({&closed}); // a closed table is left alone
}

TEST_F(TableUtilsTest, SuspendedViewsComeBackOnTheSameRecordNumbers)
{
    for (int day = 1; day <= 5; ++day)
        addMovement(37986 + day, 14, day, std::nullopt);
    movements.setRecNo(3);
    movements.edit();
    movements.fieldByName("Perigrafi").setAsString("dropped");
    categories.setRecNo(2);

    SuspendViews({&logSource, &catSource});
    EXPECT_FALSE(logSource.enabled());
    EXPECT_FALSE(catSource.enabled());
    EXPECT_EQ(movements.state(), DataSetState::Browse);
    movements.last();
    categories.first();

    ResumeViews();
    EXPECT_TRUE(logSource.enabled());
    EXPECT_TRUE(catSource.enabled());
    EXPECT_EQ(movements.recNo(), 3);
    EXPECT_EQ(categories.recNo(), 2);
    EXPECT_TRUE(movements.fieldByName("Perigrafi").isNull());
}

TEST_F(TableUtilsTest, ViewsSuspendedOnAnEmptyTableLeaveTheNewPositionAlone)
{
    SuspendViews({&logSource});
    addMovement(37987, 14, 1.0, std::nullopt);
    addMovement(37988, 14, 2.0, std::nullopt);
    ResumeViews();
    EXPECT_EQ(movements.recNo(), 2);
    DataSource unbound;
    SuspendViews({&unbound});
    ResumeViews();
}

TEST_F(TableUtilsTest, ScopedGuardsGiveTheViewsBackWhenBulkWorkFails)
{
    for (int day = 1; day <= 3; ++day)
        addMovement(37986 + day, 14, day, std::nullopt);
    movements.setRecNo(2);
    DataSource results;
    try {
        const ViewsSuspended suspended({&logSource, &catSource});
        const SourceDisabled detached(results);
        EXPECT_FALSE(logSource.enabled());
        EXPECT_FALSE(catSource.enabled());
        EXPECT_FALSE(results.enabled());
        movements.last();
        throw std::runtime_error("the bulk work failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_TRUE(logSource.enabled());
    EXPECT_TRUE(catSource.enabled());
    EXPECT_TRUE(results.enabled());
    EXPECT_EQ(movements.recNo(), 2);
}

TEST_F(TableUtilsTest, ReplaceFieldValuesRewritesMatchingRecordsOnly)
{
    addMovement(37987, 14, 1.0, std::nullopt);
    addMovement(37988, 3, 2.0, std::nullopt);
    addMovement(37989, 77, 3.0, std::nullopt); // no category: a null lookup text
    addMovement(37990, 14, 4.0, std::nullopt);
    int posts = 0;
    movements.setAfterPost([&](MemTable&) { ++posts; });

    ReplaceFieldValues(movements, "Category", Variant::fromString(cp("ΔΕΗ")),
                       Variant::fromString(cp("ρεύμα")));
    EXPECT_EQ(column(movements, "Category"),
              (std::vector<std::string>{cp("ρεύμα"), cp("ΟΤΕ"), "<null>", cp("ρεύμα")}));
    EXPECT_EQ(posts, 2);

    ReplaceFieldValues(movements, "Category", Variant::fromString(cp("οτε")),
                       Variant::fromString("x"));
    EXPECT_EQ(column(movements, "Category")[1], cp("ΟΤΕ")) << "case counts";

    ReplaceFieldValues(movements, "CatNum", Variant::fromString("3"), Variant::fromInt(14));
    EXPECT_EQ(column(movements, "CatNum"), (std::vector<std::string>{"14", "14", "77", "14"}));

    ReplaceFieldValues(movements, "CatNum", Variant::fromDouble(14), Variant::fromInt(3));
    EXPECT_EQ(column(movements, "CatNum"), (std::vector<std::string>{"3", "3", "77", "3"}));

    // Under a filter only the records it lets through change.
    movements.setOnFilterRecord(
        [](MemTable& table) { return table.fieldValue("Date").toDouble() >= 37989; });
    movements.setFiltered(true);
    ReplaceFieldValues(movements, "CatNum", Variant::fromInt(3), Variant::fromInt(14));
    movements.setFiltered(false);
    EXPECT_EQ(column(movements, "CatNum"), (std::vector<std::string>{"3", "3", "77", "14"}));
}

TEST_F(TableUtilsTest, ExportTextHasHeaderOfLabelsAndTabSeparatedVisibleFields)
{
    addMovement(37987, 14, 12.5, std::nullopt, cp("ρεύμα"));
    addMovement(37988, 3, std::nullopt, 1234.25);
    RegionalSettings settings = RegionalSettings::greek();
    const auto text = TableText(movements, settings, TableTextForm::Export);
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(cp1253::toUtf8OrThrow(*text), "Ημέρα\tΚατηγορία\tΕίσπραξη\tΠληρωμή\tΠεριγραφή\r\n"
                                            "1/1/2004\tΔΕΗ\t12,5\t\tρεύμα\r\n"
                                            "2/1/2004\tΟΤΕ\t\t1234,25\t\r\n");
    EXPECT_EQ(TableText(movements, settings, TableTextForm::Clipboard), text);

    settings.decimalSeparator = '.';
    settings.shortDateFormat = "yyyy-MM-dd";
    const std::string other =
        cp1253::toUtf8OrThrow(*TableText(movements, settings, TableTextForm::Export));
    EXPECT_EQ(other.substr(other.find("\r\n") + 2),
              "2004-01-01\tΔΕΗ\t12.5\t\tρεύμα\r\n2004-01-02\tΟΤΕ\t\t1234.25\t\r\n");
}

TEST_F(TableUtilsTest, HiddenLastFieldLeavesNoTrailingTab)
{
    movements.fieldByName("Perigrafi").setVisible(false);
    addMovement(37987, 14, 1.0, 2.0, "hidden");
    const auto text = TableText(movements, RegionalSettings::greek(), TableTextForm::Export);
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(cp1253::toUtf8OrThrow(*text),
              "Ημέρα\tΚατηγορία\tΕίσπραξη\tΠληρωμή\r\n1/1/2004\tΔΕΗ\t1\t2\r\n");
}

TEST_F(TableUtilsTest, EmptyTableGivesNoTextAndNoFile)
{
    EXPECT_FALSE(TableText(movements, RegionalSettings::greek(), TableTextForm::Export));
    EXPECT_FALSE(TableText(movements, RegionalSettings::greek(), TableTextForm::Clipboard));
    testing::TempDir dir;
    EXPECT_FALSE(ExportTableToTextFile(movements, dir.file("out.txt"), RegionalSettings::greek()));
    EXPECT_TRUE(dir.entries().empty());
}

TEST_F(TableUtilsTest, ExportFileIsUtf8AndReplacesTheOldFile)
{
    addMovement(37987, 14, 12.5, std::nullopt, cp("ρεύμα"));
    testing::TempDir dir;
    const std::string file = dir.file("out.txt");
    testing::writeFile(file, {'o', 'l', 'd', ' ', 'c', 'o', 'n', 't', 'e', 'n', 't', 's'});
    ASSERT_TRUE(ExportTableToTextFile(movements, file, RegionalSettings::greek()));
    const auto bytes = testing::readFile(file);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
              "Ημέρα\tΚατηγορία\tΕίσπραξη\tΠληρωμή\tΠεριγραφή\r\n1/1/2004\tΔΕΗ\t12,5\t\tρεύμα\r\n");
}

} // namespace
} // namespace tamisko
