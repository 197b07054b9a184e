#include "data/Errors.h"
#include "data/MemTable.h"
#include "data/RecordAppender.h"
#include "memtable_fixtures.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace tamisko;
using namespace tamisko::testing;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

namespace {

// Records what a table tells the controls of a data source.
class EventLog : public DataLink
{
public:
    void dataEvent(DataEvent event, const Field*) override { events.push_back(event); }
    std::vector<DataEvent> events;
};

class CategoryTable : public ::testing::Test
{
protected:
    void SetUp() override { defineCategories(cats); }
    MemTable cats{"CatTable"};
};

class MovementTable : public ::testing::Test
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

// --- fields and failures -----------------------------------------------------------

TEST(MemTableFields, NamesMatchWithoutCaseAndUnknownNamesFail)
{
    MemTable table;
    defineCategories(table);
    EXPECT_EQ(&table.fieldByName("category"), &table.field(1));
    EXPECT_EQ(table.findField("nothing"), nullptr);
    EXPECT_THAT([&] { table.fieldByName("Nothing"); },
                ThrowsMessage<Error>("Field 'Nothing' not found"));
    EXPECT_EQ(table.field(0).displayName(), "Number");
}

TEST(MemTableFields, UnsupportedTypeFailsToOpen)
{
    MemTable table;
    table.addField({.name = "Picture", .type = FieldType::Blob, .displayLabel = "Photo"});
    EXPECT_THAT([&] { table.open(); },
                ThrowsMessage<Error>("Fielddef Picture (Photo) Datatype 15 not supported.)"));
    EXPECT_FALSE(table.active());
}

TEST_F(MovementTable, WriteFailuresCarryTheToolkitMessages)
{
    EXPECT_THAT([&] { log.setFieldValue("Perigrafi", Variant::fromString("x")); },
                ThrowsMessage<Error>("Dataset is not in edit mode."));
    log.append();
    EXPECT_THAT([&] { log.setFieldValue("Date", Variant::fromString("tomorrow")); },
                ThrowsMessage<Error>("Invalid value for field 'Day'"));
    EXPECT_THAT([&] { log.setFieldValue("CatNum", Variant::fromDouble(1e12)); },
                ThrowsMessage<Error>("Invalid value for field 'CatNum'"));
    EXPECT_THAT([&] { log.post(); }, ThrowsMessage<Error>("Field 'Day' must have a value"));
    EXPECT_EQ(log.state(), DataSetState::Insert) << "a failed post keeps the insert pending";
    log.setFieldValue("Date", Variant::fromDate(37987));
    EXPECT_THAT([&] { log.post(); }, ThrowsMessage<Error>("Field 'CatNum' must have a value"));
    log.setFieldValue("CatNum", Variant::fromInt(0));
    log.post();
    EXPECT_EQ(log.recordCount(), 1);
}

TEST(MemTableFields, ReadOnlyFieldRefusesWrites)
{
    MemTable table;
    table.addField({.name = "Code",
                    .type = FieldType::Integer,
                    .displayLabel = "Code number",
                    .readOnly = true});
    table.open();
    table.append();
    EXPECT_THAT([&] { table.setFieldValue("Code", Variant::fromInt(1)); },
                ThrowsMessage<Error>("Field Code number is read only"));
}

TEST_F(MovementTable, ValuesAreConvertedToTheFieldType)
{
    log.append();
    log.setFieldValue("Date", Variant::fromDouble(37987.75));
    log.setFieldValue("CatNum", Variant::fromString("1"));
    log.setFieldValue("Eispraxi", Variant::fromString("12,5"));
    log.setFieldValue("Perigrafi", Variant::fromDouble(2.5));
    EXPECT_EQ(log.fieldValue("Date").type(), VarType::Date);
    EXPECT_EQ(log.fieldValue("Date").toDouble(), 37987.0) << "a date keeps no time of day";
    EXPECT_EQ(log.fieldValue("CatNum").type(), VarType::Integer);
    EXPECT_EQ(log.fieldValue("Eispraxi").type(), VarType::Double);
    EXPECT_EQ(log.fieldValue("Eispraxi").toDouble(), 12.5);
    EXPECT_EQ(log.fieldValue("Perigrafi").toString(), "2.5");
    log.setFieldValue("Eispraxi", Variant::null());
    EXPECT_TRUE(log.fieldValue("Eispraxi").isNull());
    EXPECT_EQ(log.fieldByName("Eispraxi").asFloat(), 0.0) << "a null number reads as 0";
    EXPECT_EQ(log.fieldByName("Pliromi").asString(), "");
}

TEST_F(MovementTable, StringsAreCutToTheFieldSize)
{
    const std::string longText(250, '\xE1'); // 250 times alpha
    addMovement(log, 37987, 0, -1, longText);
    EXPECT_EQ(log.fieldValue("Perigrafi").toString(), std::string(200, '\xE1'));
    cats.append();
    cats.setFieldValue("Category", Variant::fromString(cp(u8"πολύ μεγάλο όνομα κατηγορίας εδώ")));
    EXPECT_EQ(cats.fieldValue("Category").toString(), cp(u8"πολύ μεγάλο όνομα κατηγορίας ε"));
}

// --- states and events ---------------------------------------------------------------

TEST_F(CategoryTable, StatesFollowAppendEditPostCancelDelete)
{
    int posts = 0;
    int deletes = 0;
    cats.setAfterPost([&](MemTable& t) {
        ++posts;
        EXPECT_EQ(t.state(), DataSetState::Browse);
    });
    cats.setAfterDelete([&](MemTable&) { ++deletes; });

    EXPECT_EQ(cats.state(), DataSetState::Browse);
    cats.append();
    EXPECT_EQ(cats.state(), DataSetState::Insert);
    cats.cancel();
    EXPECT_EQ(cats.state(), DataSetState::Browse);
    EXPECT_TRUE(cats.isEmpty());

    addCategory(cats, "a");
    cats.edit();
    EXPECT_EQ(cats.state(), DataSetState::Edit);
    cats.setFieldValue("Category", Variant::fromString("b"));
    cats.cancel();
    EXPECT_EQ(cats.fieldValue("Category").toString(), "a") << "cancel drops the edit";
    cats.cancel(); // nothing in browse state

    cats.append();
    cats.deleteRecord(); // in insert state: a cancel
    EXPECT_EQ(cats.recordCount(), 1);
    EXPECT_EQ(deletes, 0);

    cats.deleteRecord();
    EXPECT_TRUE(cats.isEmpty());
    EXPECT_EQ(posts, 1);
    EXPECT_EQ(deletes, 1);
}

TEST_F(CategoryTable, AppendPostsAChangedEditAndCancelsAnUnchangedOne)
{
    addCategory(cats, "a");
    cats.edit();
    cats.setFieldValue("Category", Variant::fromString("b"));
    cats.append();
    cats.cancel();
    EXPECT_THAT(column(cats, "Category"), ElementsAre("b"));

    int posts = 0;
    cats.setAfterPost([&](MemTable&) { ++posts; });
    cats.edit();
    cats.append(); // nothing written: the edit is dropped
    EXPECT_EQ(posts, 0);
    cats.append(); // a fresh insert with only its proposed number is not a change either
    EXPECT_EQ(posts, 0);
    cats.cancel();
    EXPECT_EQ(cats.recordCount(), 1);
}

TEST_F(CategoryTable, NotifiesAttachedSources)
{
    DataSource source(&cats);
    EventLog log;
    source.addLink(&log);

    cats.append();
    EXPECT_THAT(log.events, ElementsAre(DataEvent::StateChanged, DataEvent::DataSetChanged));
    log.events.clear();
    cats.setFieldValue("Category", Variant::fromString("a"));
    EXPECT_THAT(log.events, ElementsAre(DataEvent::RecordChanged));
    log.events.clear();
    cats.post();
    EXPECT_THAT(log.events, ElementsAre(DataEvent::UpdateRecord, DataEvent::StateChanged,
                                        DataEvent::DataSetChanged));

    log.events.clear();
    cats.disableControls();
    addCategory(cats, "b");
    cats.first();
    EXPECT_TRUE(log.events.empty());
    cats.enableControls();
    EXPECT_THAT(log.events, ElementsAre(DataEvent::DataSetChanged));

    log.events.clear();
    source.setEnabled(false);
    addCategory(cats, "c");
    EXPECT_THAT(log.events, ElementsAre(DataEvent::ActiveChanged));
    source.setEnabled(true);
    EXPECT_THAT(log.events, ElementsAre(DataEvent::ActiveChanged, DataEvent::ActiveChanged));

    log.events.clear();
    cats.first();
    cats.next();
    EXPECT_THAT(log.events, ElementsAre(DataEvent::DataSetChanged, DataEvent::Scrolled));
}

TEST_F(CategoryTable, UpdateRecordLetsControlsWriteBeforeTheRequiredCheck)
{
    // A control that holds typed text writes it when the table is about to post.
    class PendingEdit : public DataLink
    {
    public:
        explicit PendingEdit(MemTable& table) : table_(table) {}
        void dataEvent(DataEvent event, const Field*) override
        {
            if (event == DataEvent::UpdateRecord)
                table_.setFieldValue("Category", Variant::fromString("typed"));
        }

    private:
        MemTable& table_;
    };
    DataSource source(&cats);
    PendingEdit control(cats);
    source.addLink(&control);
    cats.append();
    cats.post();
    EXPECT_THAT(column(cats, "Category"), ElementsAre("typed"));
}

TEST_F(CategoryTable, SourcesDetachWhenEitherSideGoes)
{
    EventLog log;
    {
        auto table = std::make_unique<MemTable>();
        defineCategories(*table);
        DataSource source(table.get());
        source.addLink(&log);
        table.reset();
        EXPECT_EQ(source.dataSet(), nullptr);
    }
    EXPECT_EQ(log.dataSource(), nullptr);
}

// --- auto-increment ------------------------------------------------------------------

TEST_F(CategoryTable, AutoIncrementSurvivesEmptying)
{
    EXPECT_EQ(cats.autoIncrementMark(), -1);
    for (const char* name : {"a", "b", "c"})
        addCategory(cats, name);
    cats.setSortFields("CatNum");
    cats.sortByFields("CatNum");
    EXPECT_THAT(column(cats, "CatNum"), ElementsAre("0", "1", "2"));
    cats.clearRecords();
    addCategory(cats, "d");
    EXPECT_THAT(column(cats, "CatNum"), ElementsAre("3"));
    cats.deleteRecord();
    addCategory(cats, "e");
    EXPECT_THAT(column(cats, "CatNum"), ElementsAre("4")) << "deleting never lowers the mark";
}

TEST_F(CategoryTable, ExplicitValuesAreKeptAndRaiseTheMark)
{
    for (const int number : {5, 2}) {
        cats.append();
        cats.setFieldValue("CatNum", Variant::fromInt(number));
        cats.setFieldValue("Category", Variant::fromString(std::to_string(number)));
        cats.post();
    }
    EXPECT_THAT(column(cats, "CatNum"), ElementsAre("2", "5"));
    cats.append();
    EXPECT_EQ(cats.fieldValue("CatNum").toInt32(), 6);
    cats.cancel();
    EXPECT_EQ(cats.autoIncrementMark(), 5);
}

TEST(MemTableAutoIncrement, NullCountsAsZero)
{
    MemTable table;
    table.addField({.name = "Id", .type = FieldType::AutoInc});
    table.open();
    table.append();
    table.setFieldValue("Id", Variant::fromInt(-7));
    table.post();
    EXPECT_EQ(table.autoIncrementMark(), -1);
    table.append();
    table.setFieldValue("Id", Variant::null());
    table.post();
    EXPECT_EQ(table.autoIncrementMark(), 0);
}

// The largest number a category can have: the table keeps working with it, loaded
// records keep their own numbers, and only a record that would need a number past it is
// refused, with the views told that the table is back in browse state.
TEST_F(CategoryTable, LargestNumberTakenLeavesNoProposalAndRefusesOnlyRecordsWithoutOne)
{
    DataSource source(&cats);
    EventLog log;
    source.addLink(&log);
    for (const int32_t number : {INT32_MAX, 5}) {
        cats.append();
        cats.setFieldValue("CatNum", Variant::fromInt(number));
        cats.setFieldValue("Category", Variant::fromString(std::to_string(number)));
        cats.post();
    }
    EXPECT_THAT(column(cats, "CatNum"), ElementsAre("2147483647", "5"));
    EXPECT_EQ(cats.autoIncrementMark(), INT32_MAX);

    log.events.clear();
    cats.append();
    EXPECT_EQ(cats.state(), DataSetState::Insert);
    EXPECT_TRUE(cats.fieldByName("CatNum").isNull()) << "no number past the largest";
    cats.setFieldValue("Category", Variant::fromString("new"));
    log.events.clear();
    const std::string refusal =
        formatMessage(cp(u8"Δεν υπάρχει άλλος διαθέσιμος αριθμός για το πεδίο '%s'· η νέα "
                         u8"εγγραφή δεν καταχωρήθηκε."),
                      "Number");
    EXPECT_THAT([&] { cats.post(); }, ThrowsMessage<Error>(refusal));
    EXPECT_EQ(cats.state(), DataSetState::Browse);
    EXPECT_THAT(log.events, ElementsAre(DataEvent::UpdateRecord, DataEvent::StateChanged,
                                        DataEvent::DataSetChanged));
    EXPECT_EQ(cats.recordCount(), 2);

    // The same through the bulk appender, as documents are read.
    RecordAppender appender(cats, {0, 1});
    const std::vector<Variant> loaded{Variant::fromInt(INT32_MIN), Variant::fromString("low")};
    appender.append(loaded);
    const std::vector<Variant> unnumbered{Variant::null(), Variant::fromString("none")};
    EXPECT_THAT([&] { appender.append(unnumbered); }, ThrowsMessage<Error>(refusal));
    EXPECT_EQ(cats.state(), DataSetState::Browse);
    EXPECT_THAT(column(cats, "CatNum"), ElementsAre("2147483647", "5", "-2147483648"));
}

TEST(MemTableAutoIncrement, FailedAppendLeavesTheTableInBrowseState)
{
    // A lookup that cannot be computed fails the new-record work.
    MemTable closed;
    closed.addField({.name = "Id", .type = FieldType::Integer});
    MemTable table;
    table.addField({.name = "Id", .type = FieldType::AutoInc});
    table.addField({.name = "Name",
                    .type = FieldType::String,
                    .kind = FieldKind::Lookup,
                    .size = 10,
                    .keyFields = "Id",
                    .lookupDataSet = &closed,
                    .lookupKeyFields = "Missing",
                    .lookupResultField = "Id"});
    closed.open();
    table.open();
    DataSource source(&table);
    EventLog log;
    source.addLink(&log);
    EXPECT_THROW(table.append(), Error);
    EXPECT_EQ(table.state(), DataSetState::Browse);
    EXPECT_TRUE(log.events.empty()) << "the views never heard of an insert";
}

// --- navigation, record numbers, filtering -------------------------------------------

TEST_F(MovementTable, NavigationWalksThePhysicalOrder)
{
    for (const double day : {3, 1, 2})
        addMovement(log, day, 0);
    std::vector<double> seen;
    for (log.first(); !log.eof(); log.next())
        seen.push_back(log.fieldValue("Date").toDouble());
    EXPECT_THAT(seen, ElementsAre(3, 1, 2));
    EXPECT_EQ(log.recNo(), 3) << "the cursor stays on the last record at the end";
    log.last();
    log.prior();
    EXPECT_EQ(log.recNo(), 2);
}

TEST_F(MovementTable, RecNoFollowsThePhysicalPosition)
{
    EXPECT_EQ(log.recNo(), -1);
    for (const double day : {1, 2, 3})
        addMovement(log, day, 0);
    EXPECT_EQ(log.recNo(), 3);
    log.setRecNo(2);
    EXPECT_EQ(log.fieldValue("Date").toDouble(), 2);
    for (const int outside : {0, -1, 4}) {
        log.setRecNo(outside);
        EXPECT_EQ(log.recNo(), 2) << outside;
    }
    log.edit();
    EXPECT_EQ(log.recNo(), 2);
    log.cancel();
    log.append();
    EXPECT_EQ(log.recNo(), -1);
    EXPECT_EQ(log.currentRow(), -1);
}

TEST_F(MovementTable, FilterAffectsNavigationAndCountButNotRecNo)
{
    for (const double day : {1, 2, 3, 4})
        addMovement(log, day, 0);
    log.setOnFilterRecord([](MemTable& t) { return t.fieldValue("Date").toDouble() == 3; });
    log.setFiltered(true);
    EXPECT_EQ(log.recNo(), 4) << "the cursor moves only with the next navigation";
    EXPECT_EQ(log.recordCount(), 1);
    log.first();
    EXPECT_EQ(log.recNo(), 3);
    log.next();
    EXPECT_TRUE(log.eof());
    EXPECT_EQ(log.recNo(), 3);
    EXPECT_FALSE(log.locate("Date", {Variant::fromDate(2)}));
    EXPECT_TRUE(log.locate("Date", {Variant::fromDate(3)}));
    log.setRecNo(1); // record numbers ignore the filter
    EXPECT_EQ(log.fieldValue("Date").toDouble(), 1);

    log.setOnFilterRecord([](MemTable&) { return false; });
    EXPECT_TRUE(log.isEmpty());
    EXPECT_EQ(log.recordCount(), 0);
    log.setFiltered(false);
    EXPECT_EQ(log.recordCount(), 4);
    EXPECT_FALSE(log.isEmpty());
}

TEST_F(MovementTable, DeleteMovesToTheNextRecordOrThePreviousAtTheEnd)
{
    for (const double day : {1, 2, 3})
        addMovement(log, day, 0);
    log.setRecNo(2);
    log.deleteRecord();
    EXPECT_EQ(log.fieldValue("Date").toDouble(), 3);
    log.deleteRecord();
    EXPECT_EQ(log.fieldValue("Date").toDouble(), 1);
    log.edit();
    log.deleteRecord(); // deleting in edit state drops the edit and the record
    EXPECT_EQ(log.state(), DataSetState::Browse);
    EXPECT_TRUE(log.isEmpty());
    EXPECT_EQ(log.recNo(), -1);
}

// --- bookmarks -----------------------------------------------------------------------

TEST_F(CategoryTable, BookmarksRestartWhenTheTableEmpties)
{
    addCategory(cats, "a");
    addCategory(cats, "b");
    EXPECT_EQ(cats.bookmark(), 2);
    cats.deleteRecord();
    addCategory(cats, "c");
    EXPECT_EQ(cats.bookmark(), 3) << "identifiers are not reused while records remain";

    cats.clearRecords();
    addCategory(cats, "d");
    EXPECT_EQ(cats.bookmark(), 1);
    cats.deleteRecord();
    addCategory(cats, "e");
    EXPECT_EQ(cats.bookmark(), 1) << "deleting the only record empties the table";
}

TEST_F(CategoryTable, ClearRecordsCancelsAPendingEditWithoutDeleteEvents)
{
    int deletes = 0;
    cats.setAfterDelete([&](MemTable&) { ++deletes; });
    addCategory(cats, "a");
    cats.sortByFields("Category");
    cats.edit();
    cats.setFieldValue("Category", Variant::fromString("b"));
    cats.clearRecords();
    EXPECT_EQ(cats.state(), DataSetState::Browse);
    EXPECT_EQ(cats.rowCount(), 0);
    EXPECT_FALSE(cats.isSorted());
    EXPECT_TRUE(cats.eof());
    EXPECT_EQ(deletes, 0);
}

// --- exchanging contents -------------------------------------------------------------

TEST_F(CategoryTable, SwapContentsExchangesRecordsAndKeepsTheLargerMark)
{
    MemTable fresh("fresh");
    defineCategories(fresh);
    addCategory(cats, "old");
    for (const char* name : {"x", "y", "z"})
        addCategory(fresh, name);
    fresh.setRecNo(2);

    DataSource source(&cats);
    EventLog events;
    source.addLink(&events);
    cats.edit(); // a pending edit of the outgoing contents is dropped
    cats.swapContents(fresh);

    EXPECT_EQ(cats.state(), DataSetState::Browse);
    EXPECT_THAT(column(cats, "Category"), ElementsAre("x", "y", "z"));
    EXPECT_EQ(cats.recNo(), 2);
    EXPECT_TRUE(cats.isSorted());
    EXPECT_THAT(column(fresh, "Category"), ElementsAre("old"));
    EXPECT_EQ(cats.autoIncrementMark(), 2);
    EXPECT_EQ(fresh.autoIncrementMark(), 2);
    EXPECT_EQ(events.events.back(), DataEvent::DataSetChanged);
    addCategory(cats, "w");
    EXPECT_EQ(cats.bookmark(), 4) << "the bookmark counter came along";

    MemTable other;
    other.addField({.name = "Only", .type = FieldType::Integer});
    other.open();
    EXPECT_THROW(cats.swapContents(other), Error);
}

TEST_F(MovementTable, ValueAtReadsRowsWithoutMovingTheCursor)
{
    addMovement(log, 1, 0, 10);
    addMovement(log, 2, 1);
    log.first();
    EXPECT_EQ(log.rowCount(), 2);
    EXPECT_EQ(log.valueAt(1, 0).toDouble(), 2);
    EXPECT_TRUE(log.isNullAt(1, log.fieldByName("Eispraxi").index()));
    EXPECT_FALSE(log.isNullAt(0, log.fieldByName("Eispraxi").index()));
    EXPECT_EQ(log.currentRow(), 0);
}
