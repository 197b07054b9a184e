#include "data/DataMdl.h"
#include "data/Errors.h"
#include "data/MemTable.h"
#include "memtable_fixtures.h"

#include <algorithm>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <random>

using namespace tamisko;
using namespace tamisko::testing;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::ThrowsMessage;

namespace {

// The Greek collation, counting how often it is asked: tells a binary search (a few
// comparisons) from a scan of the whole table.
class CountingCollation : public Collation
{
public:
    int compare(std::string_view a, std::string_view b, bool caseInsensitive) const override
    {
        ++calls;
        return greek->compare(a, b, caseInsensitive);
    }
    mutable int calls = 0;
    std::shared_ptr<const Collation> greek = greekCollation();
};

class CategoryOrder : public ::testing::Test
{
protected:
    void SetUp() override { defineCategories(cats); }

    void add(std::initializer_list<const char8_t*> names)
    {
        for (const char8_t* name : names)
            addCategory(cats, cp(name));
    }
    // The names in physical order, as stored (cp1253).
    std::vector<std::string> names() const
    {
        std::vector<std::string> result;
        for (int row = 0; row < cats.rowCount(); ++row)
            result.push_back(cats.valueAt(row, 1).toString());
        return result;
    }

    MemTable cats{"CatTable"};
};

class MovementOrder : public ::testing::Test
{
protected:
    void SetUp() override
    {
        defineCategories(cats);
        addCategory(cats, cp(u8"τρόφιμα")); // CatNum 0
        addCategory(cats, cp(u8"ενοίκιο")); // CatNum 1
        defineMovements(log, &cats);
    }
    MemTable cats{"CatTable"};
    MemTable log{"LogTable"};
};

} // namespace

// --- sorting -------------------------------------------------------------------------

TEST_F(MovementOrder, NullsComeFirstAscendingAndLastDescending)
{
    addMovement(log, 1, 0, 5);
    addMovement(log, 2, 0);
    addMovement(log, 3, 0, 20);
    addMovement(log, 4, 0, 1);
    log.sortByFields("Eispraxi");
    EXPECT_THAT(column(log, "Eispraxi"), ElementsAre("", "1", "5", "20"));
    log.sortByFields("Eispraxi", mtcoDescending);
    EXPECT_THAT(column(log, "Eispraxi"), ElementsAre("20", "5", "1", ""));
    EXPECT_EQ(log.sortOptions(), mtcoDescending);
    EXPECT_TRUE(log.isSorted());
}

TEST_F(MovementOrder, SortKeepsTheCursorOnItsRecordAndSortsOnSeveralFields)
{
    addMovement(log, 2, 0, 1);
    addMovement(log, 1, 1, 3);
    addMovement(log, 2, 0, 2);
    addMovement(log, 1, 0, 4);
    log.setRecNo(1); // receipt 1
    log.sortByFields("Date;Eispraxi");
    EXPECT_THAT(column(log, "Eispraxi"), ElementsAre("3", "4", "1", "2"));
    EXPECT_EQ(log.fieldValue("Eispraxi").toDouble(), 1);
    EXPECT_EQ(log.recNo(), 3);
}

TEST_F(MovementOrder, EditedRecordsSortAfterUneditedEqualOnesByTheirSlot)
{
    for (const double receipt : {1, 2, 3})
        addMovement(log, 7, 0, receipt);
    log.setRecNo(1);
    log.edit(); // fetched at position 1: its slot is 1, the others keep -1
    log.setFieldValue("Perigrafi", Variant::fromString("seen"));
    log.post();
    log.sortByFields("Date");
    EXPECT_EQ(column(log, "Eispraxi").back(), "1");
    log.sortByFields("Date", mtcoDescending);
    EXPECT_EQ(column(log, "Eispraxi").front(), "1") << "descending negates the tie-break too";
}

TEST_F(CategoryOrder, StringsSortByTheGreekCollation)
{
    cats.setAutoSort(false);
    add({u8"ύδρευση", u8"Βιβλία", u8"αναψυκτικά", u8"βιβλία", u8"ΔΕΗ", u8"ενοίκιο"});
    cats.sortByFields("Category");
    EXPECT_THAT(names(), ElementsAre(cp(u8"αναψυκτικά"), cp(u8"βιβλία"), cp(u8"Βιβλία"),
                                     cp(u8"ΔΕΗ"), cp(u8"ενοίκιο"), cp(u8"ύδρευση")));
}

TEST_F(MovementOrder, SortingOnAnUnsuitableFieldFails)
{
    addMovement(log, 1, 0);
    EXPECT_THAT([&] { log.sortByFields("Category"); },
                ThrowsMessage<Error>("Can't index on field Category"));
    EXPECT_THAT([&] { log.sortByFields("Nothing"); },
                ThrowsMessage<Error>("Field 'Nothing' not found"));
}

// --- AutoSort placement --------------------------------------------------------------

TEST_F(CategoryOrder, NewCategoryThatSortsFirstLandsFirst)
{
    add({u8"γιατρός", u8"ρούχα", u8"μισθός"});
    add({u8"αναψυκτικά"});
    EXPECT_THAT(names(),
                ElementsAre(cp(u8"αναψυκτικά"), cp(u8"γιατρός"), cp(u8"μισθός"), cp(u8"ρούχα")));
    EXPECT_EQ(cats.recNo(), 1) << "the cursor follows the placed record";
    EXPECT_TRUE(cats.isSorted());
}

TEST_F(CategoryOrder, RenamingTheLastCategoryMovesItBetweenTheFirstTwo)
{
    add({u8"βιβλία", u8"καπνός", u8"ρούχα", u8"φάρμακα"});
    cats.last();
    cats.edit();
    cats.setFieldValue("Category", Variant::fromString(cp(u8"γιατρός")));
    cats.post();
    EXPECT_THAT(names(),
                ElementsAre(cp(u8"βιβλία"), cp(u8"γιατρός"), cp(u8"καπνός"), cp(u8"ρούχα")));
    EXPECT_EQ(cats.recNo(), 2);
}

TEST_F(CategoryOrder, RenamingMovesRightAndEqualNamesStayTogether)
{
    add({u8"α", u8"γ", u8"ε", u8"η"});
    struct Case
    {
        int recNo;
        const char8_t* newName;
        std::vector<const char8_t*> expected;
    };
    const Case cases[] = {
        {1, u8"ζ", {u8"γ", u8"ε", u8"ζ", u8"η"}}, // first moves right into the middle
        {2, u8"θ", {u8"γ", u8"ζ", u8"η", u8"θ"}}, // past the far end
        {4, u8"ζ", {u8"γ", u8"ζ", u8"ζ", u8"η"}}, // equal to a neighbour
        {1, u8"ζ", {u8"ζ", u8"ζ", u8"ζ", u8"η"}}, // equal to the one at the right
        {4, u8"β", {u8"β", u8"ζ", u8"ζ", u8"ζ"}}, // last moves before all
    };
    for (const Case& c : cases) {
        cats.setRecNo(c.recNo);
        cats.edit();
        cats.setFieldValue("Category", Variant::fromString(cp(c.newName)));
        cats.post();
        std::vector<std::string> expected;
        for (const char8_t* name : c.expected)
            expected.push_back(cp(name));
        EXPECT_THAT(names(), ElementsAreArray(expected)) << utf8(cp(c.newName));
    }
}

TEST_F(CategoryOrder, AutoSortKeepsRandomPostsInSortOrder)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> letter(0, 5);
    for (int i = 0; i < 200; ++i) {
        if (i % 3 == 0 && cats.recordCount() > 0) {
            cats.setRecNo(1 + static_cast<int>(random() % cats.recordCount()));
            cats.edit();
        } else {
            cats.append();
        }
        std::string name(1 + letter(random) % 3, static_cast<char>('a' + letter(random)));
        cats.setFieldValue("Category", Variant::fromString(name));
        cats.post();
    }
    const std::vector<std::string> placed = names();
    EXPECT_TRUE(std::is_sorted(placed.begin(), placed.end())) << "plain letters sort bytewise";
}

TEST_F(CategoryOrder, SwitchingAutoSortOnSortsAtOnce)
{
    cats.setAutoSort(false);
    add({u8"γ", u8"α", u8"β"});
    EXPECT_FALSE(cats.isSorted());
    cats.setAutoSort(true);
    EXPECT_THAT(names(), ElementsAre(cp(u8"α"), cp(u8"β"), cp(u8"γ")));
    EXPECT_TRUE(cats.isSorted());
}

// --- locate --------------------------------------------------------------------------

TEST_F(CategoryOrder, LocateSearchesBinaryOnlyWhenTheOrderIsKnown)
{
    const auto counter = std::make_shared<CountingCollation>();
    cats.setCollation(counter);
    cats.disableControls();
    for (int i = 0; i < 1000; ++i)
        addCategory(cats, "k" + std::to_string(1000 + i));
    cats.enableControls();
    const std::vector<Variant> key{Variant::fromString("k1500")};

    counter->calls = 0;
    ASSERT_TRUE(cats.locate("Category", key));
    EXPECT_EQ(cats.fieldValue("Category").toString(), "k1500");
    EXPECT_LT(counter->calls, 20) << "sorted by the key: binary search";

    const auto linearCalls = [&](const char* why) {
        counter->calls = 0;
        EXPECT_TRUE(cats.locate("Category", key)) << why;
        EXPECT_EQ(cats.fieldValue("Category").toString(), "k1500") << why;
        return counter->calls;
    };
    cats.setDoBinaryLocate(false);
    EXPECT_GT(linearCalls("binary search switched off"), 400);
    cats.setDoBinaryLocate(true);

    cats.setOnFilterRecord([](MemTable&) { return true; });
    cats.setFiltered(true);
    EXPECT_GT(linearCalls("filter active"), 400);
    cats.setFiltered(false);

    // An edit without AutoSort leaves a record out of order: the table knows it is no
    // longer sorted and scans, so the misplaced record is still found.
    cats.setAutoSort(false);
    cats.last();
    cats.edit();
    cats.setFieldValue("Category", Variant::fromString("k0000"));
    cats.post();
    EXPECT_FALSE(cats.isSorted());
    counter->calls = 0;
    EXPECT_TRUE(cats.locate("Category", {Variant::fromString("k0000")}));
    EXPECT_EQ(cats.recNo(), 1000);
    EXPECT_GT(counter->calls, 900);
}

TEST_F(CategoryOrder, BinaryLocateHonoursDescendingOrder)
{
    cats.setSortOptions(mtcoDescending);
    add({u8"α", u8"β", u8"γ", u8"δ", u8"ε"});
    EXPECT_THAT(names(), ElementsAre(cp(u8"ε"), cp(u8"δ"), cp(u8"γ"), cp(u8"β"), cp(u8"α")));
    for (const char8_t* name : {u8"α", u8"β", u8"δ", u8"ε"}) {
        EXPECT_TRUE(cats.locate("Category", {Variant::fromString(cp(name))}));
        EXPECT_EQ(cats.fieldValue("Category").toString(), cp(name));
    }
    EXPECT_FALSE(cats.locate("Category", {Variant::fromString(cp(u8"ζ"))}));
}

TEST_F(CategoryOrder, LocateWithPartialKeyIgnoringCase)
{
    add({u8"ΔΕΗ", u8"δόσεις δανείων", u8"διασκέδαση", u8"δάνειo", u8"ενοίκιο"});
    const MemTableOptions options = mtcoPartialKey | mtcoCaseInsensitive;
    EXPECT_TRUE(cats.locate("Category", {Variant::fromString(cp(u8"ΔΙΑ"))}, options));
    EXPECT_EQ(cats.fieldValue("Category").toString(), cp(u8"διασκέδαση"));
    EXPECT_TRUE(cats.locate("category", {Variant::fromString(cp(u8"δε"))}, options));
    EXPECT_EQ(cats.fieldValue("Category").toString(), cp(u8"ΔΕΗ"));
    const int before = cats.recNo();
    EXPECT_FALSE(cats.locate("Category", {Variant::fromString(cp(u8"ζ"))}, options));
    EXPECT_EQ(cats.recNo(), before) << "a failed locate leaves the cursor";
    EXPECT_FALSE(cats.locate("Category", {Variant::fromString(cp(u8"δια"))}))
        << "without the partial-key option the whole name must match";
}

namespace {

// Upper case of cp1253 text: Greek letters with their accents and diaeresis, and Latin.
std::string upper(const std::string& text)
{
    std::string result;
    for (const char byte : text) {
        char32_t c = cp1253::toCodePoint(static_cast<unsigned char>(byte));
        static const std::pair<char32_t, char32_t> accented[] = {
            {U'ά', U'Ά'}, {U'έ', U'Έ'}, {U'ή', U'Ή'}, {U'ί', U'Ί'}, {U'ό', U'Ό'},
            {U'ύ', U'Ύ'}, {U'ώ', U'Ώ'}, {U'ϊ', U'Ϊ'}, {U'ϋ', U'Ϋ'}, {U'ς', U'Σ'}};
        for (const auto& [small, capital] : accented) {
            if (c == small)
                c = capital;
        }
        if ((c >= U'α' && c <= U'ω') || (c >= U'a' && c <= U'z'))
            c -= 0x20;
        result.push_back(static_cast<char>(*cp1253::fromCodePoint(c)));
    }
    return result;
}

} // namespace

// Whatever the options, binary search on the sorted default categories finds what the scan
// finds: the same record, or none.
TEST(CategoryLocate, BinarySearchGivesTheScansAnswerForEveryPrefix)
{
    MemTable cats("CatTable");
    DefineCatTable(cats);
    for (const std::string& name : DefaultCategories())
        addCategory(cats, name);
    addCategory(cats, upper(cp(u8"ΔΕΗ")) + " 2"); // names equal without regard to case
    addCategory(cats, cp(u8"δεη 2"));
    ASSERT_TRUE(cats.isSorted());
    const auto found = [&cats](const std::string& key, MemTableOptions options, bool binary) {
        cats.setDoBinaryLocate(binary);
        cats.first();
        return cats.locate("Category", {Variant::fromString(key)}, options) ? cats.recNo() : 0;
    };
    const MemTableOptions optionSets[] = {0, mtcoCaseInsensitive, mtcoPartialKey,
                                          mtcoPartialKey | mtcoCaseInsensitive};
    int prefixesFound = 0;
    for (const std::string& name : DefaultCategories()) {
        for (size_t length = 1; length <= name.size(); ++length) {
            const std::string prefix = name.substr(0, length);
            for (const std::string& key : {prefix, upper(prefix)}) {
                for (const MemTableOptions options : optionSets) {
                    const int binary = found(key, options, true);
                    EXPECT_EQ(binary, found(key, options, false))
                        << utf8(key) << " with options " << options;
                    if (options == (mtcoPartialKey | mtcoCaseInsensitive)) {
                        EXPECT_NE(binary, 0) << utf8(key) << " is the beginning of a name";
                        prefixesFound += binary != 0;
                    }
                }
            }
        }
    }
    EXPECT_GT(prefixesFound, 500);
    cats.setDoBinaryLocate(true);
    EXPECT_TRUE(cats.locate("Category", {Variant::fromString(cp(u8"υ"))},
                            mtcoPartialKey | mtcoCaseInsensitive));
    EXPECT_EQ(utf8(cats.fieldValue("Category").toString()), "υπολογιστής");
    EXPECT_TRUE(cats.locate("Category", {Variant::fromString(cp(u8"ά"))},
                            mtcoPartialKey | mtcoCaseInsensitive));
    EXPECT_EQ(utf8(cats.fieldValue("Category").toString()), "άλλα έξοδα");
}

// Where its answer is the scan's, the search stays binary: exact keys, with or without
// regard to case, on a table sorted with regard to it.
TEST_F(CategoryOrder, LocateIgnoringCaseStaysBinaryOnACaseSensitiveOrder)
{
    const auto counter = std::make_shared<CountingCollation>();
    cats.setCollation(counter);
    cats.disableControls();
    for (int i = 0; i < 1000; ++i)
        addCategory(cats, "k" + std::to_string(1000 + i));
    cats.enableControls();
    counter->calls = 0;
    ASSERT_TRUE(cats.locate("Category", {Variant::fromString("K1500")}, mtcoCaseInsensitive));
    EXPECT_EQ(cats.fieldValue("Category").toString(), "k1500");
    EXPECT_LT(counter->calls, 20);
    counter->calls = 0;
    ASSERT_TRUE(cats.locate("Category", {Variant::fromString("K15")},
                            mtcoCaseInsensitive | mtcoPartialKey));
    EXPECT_EQ(cats.fieldValue("Category").toString(), "k1500") << "the first in order";
    EXPECT_GT(counter->calls, 400) << "a partial key is searched by the scan";
}

TEST_F(MovementOrder, LocateScansInPhysicalOrderAndEndsPendingEdits)
{
    addMovement(log, 5, 1, 10);
    addMovement(log, 3, 0, 20);
    addMovement(log, 5, 0, 30);
    EXPECT_TRUE(log.locate("Date", {Variant::fromDate(5)}));
    EXPECT_EQ(log.recNo(), 1) << "the first match in physical order";
    EXPECT_TRUE(log.locate("Date;CatNum", {Variant::fromDate(5), Variant::fromInt(0)}));
    EXPECT_EQ(log.recNo(), 3);

    log.edit();
    log.setFieldValue("Eispraxi", Variant::fromDouble(31));
    EXPECT_TRUE(log.locate("Date", {Variant::fromDate(3)}));
    EXPECT_EQ(log.state(), DataSetState::Browse);
    EXPECT_EQ(log.valueAt(2, 3).toDouble(), 31) << "the changed edit was posted";
}

TEST_F(MovementOrder, LocateArgumentFailures)
{
    addMovement(log, 5, 1);
    EXPECT_THAT([&] { log.locate("", {Variant::fromInt(1)}); },
                ThrowsMessage<Error>("There must be at least one field"));
    EXPECT_THAT([&] { log.locate("Date;CatNum", {Variant::fromDate(5)}); },
                ThrowsMessage<Error>("More fields than values"));
    EXPECT_THAT([&] { log.locate("Nothing", {Variant::fromInt(1)}); },
                ThrowsMessage<Error>("Field 'Nothing' not found"));
}

// --- lookups -------------------------------------------------------------------------

TEST_F(MovementOrder, LookupReadsTheMatchWithoutMovingTheCursor)
{
    cats.first();
    EXPECT_EQ(cats.lookup("CatNum", {Variant::fromInt(0)}, "Category").toString(), cp(u8"τρόφιμα"));
    EXPECT_TRUE(cats.lookup("CatNum", {Variant::fromInt(9)}, "Category").isNull());
    EXPECT_EQ(cats.recNo(), 1);
}

TEST_F(MovementOrder, LookupValuesAreStoredAndRecomputedOnlyWhenEdited)
{
    log.append();
    EXPECT_TRUE(log.fieldValue("Category").isNull());
    log.setFieldValue("CatNum", Variant::fromInt(0));
    EXPECT_EQ(log.fieldValue("Category").toString(), cp(u8"τρόφιμα"));
    log.setFieldValue("Date", Variant::fromDate(1));
    log.post();
    addMovement(log, 2, 0);

    // Rename the category: browsing still shows the stored name.
    ASSERT_TRUE(cats.locate("CatNum", {Variant::fromInt(0)}));
    cats.edit();
    cats.setFieldValue("Category", Variant::fromString(cp(u8"φαγητό")));
    cats.post();
    log.first();
    EXPECT_EQ(log.fieldValue("Category").toString(), cp(u8"τρόφιμα"));

    // Editing recomputes it; cancelling keeps the stored one.
    log.edit();
    EXPECT_EQ(log.fieldValue("Category").toString(), cp(u8"φαγητό"));
    log.cancel();
    EXPECT_EQ(log.fieldValue("Category").toString(), cp(u8"τρόφιμα"));

    // Rewriting the lookup text stores what is written.
    log.edit();
    log.setFieldValue("Category", Variant::fromString(cp(u8"φαγητό")));
    log.post();
    EXPECT_THAT(column(log, "Category"), ElementsAre(utf8(cp(u8"φαγητό")), utf8(cp(u8"τρόφιμα"))));

    // Changing the category number looks the new name up; no match gives null.
    log.setRecNo(2);
    log.edit();
    log.setFieldValue("CatNum", Variant::fromInt(1));
    EXPECT_EQ(log.fieldValue("Category").toString(), cp(u8"ενοίκιο"));
    log.setFieldValue("CatNum", Variant::fromInt(42));
    EXPECT_TRUE(log.fieldValue("Category").isNull());
}
