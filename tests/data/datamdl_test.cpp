#include "data/ByteStream.h"
#include "data/Cp1253.h"
#include "data/DataMdl.h"
#include "data/DocumentFile.h"
#include "data/Errors.h"
#include "data/Format.h"
#include "TestFiles.h"

#include <algorithm>
#include <csignal>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <limits>
#include <nlohmann/json.hpp>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tamisko {
namespace {

using testing::Bytes;
using testing::readFile;
using testing::TempDir;
using testing::writeFile;
using Json = nlohmann::ordered_json;

const std::string kPlainSample = TAMISKO_SAMPLES_DIR "/household-2021-2023.tmk";
const std::string kProtectedSample = TAMISKO_SAMPLES_DIR "/household-2021-2023-protected.tmk";
const std::string kSampleJson = TAMISKO_SAMPLES_DIR "/household-2021-2023.json";

std::string cp(std::string_view utf8)
{
    return cp1253::fromUtf8OrThrow(utf8);
}

Json valueOf(const Field& field)
{
    if (field.isNull())
        return nullptr;
    switch (field.dataType()) {
    case FieldType::Date:
        return isoDate(field.asFloat());
    case FieldType::Currency:
        return field.asFloat();
    case FieldType::String:
        return cp1253::toUtf8OrThrow(field.asString());
    default:
        return field.asInteger();
    }
}

Json rows(MemTable& table, const std::vector<std::string>& fields)
{
    Json result = Json::array();
    for (table.first(); !table.eof(); table.next()) {
        Json row = Json::object();
        for (const auto& name : fields)
            row[name] = valueOf(table.fieldByName(name));
        result.push_back(row);
    }
    return result;
}

// The document as the command-line dump shows it.
Json asJson(DataMod& data)
{
    return Json{{"categories", rows(data.CatTable, CatFieldNames())},
                {"movements", rows(data.LogTable, LogFieldNames())}};
}

Json sampleJson()
{
    std::ifstream in(kSampleJson);
    return Json::parse(in);
}

// Records what the data module tells the main window, in order.
class RecordingNotifier : public DocumentNotifier
{
public:
    void sendDataModified() override { events.push_back("modified"); }
    void postBalanceChanged() override { events.push_back("balance"); }
    std::vector<std::string> events;
};

class DataModTest : public ::testing::Test
{
protected:
    DataModTest()
    {
        data.setNotifier(&notifier);
        data.setPasswordPrompt([this](std::string& password) {
            ++prompts;
            if (!typedPassword)
                return false;
            password = *typedPassword;
            return true;
        });
    }

    void addMovement(double day, std::optional<double> receipt, std::optional<double> payment,
                     int32_t catNum = 0)
    {
        MemTable& log = data.LogTable;
        log.append();
        log.fieldByName("Date").setValue(Variant::fromDate(day));
        log.fieldByName("CatNum").setAsInteger(catNum);
        if (receipt)
            log.fieldByName("Eispraxi").setAsFloat(*receipt);
        if (payment)
            log.fieldByName("Pliromi").setAsFloat(*payment);
        log.post();
    }

    RecordingNotifier notifier;
    DataMod data;
    std::optional<std::string> typedPassword;
    int prompts = 0;
    TempDir dir;
};

TEST(DefaultCategories, AreTheTwentyEightNamesWithTheLatinO)
{
    const auto& names = DefaultCategories();
    ASSERT_EQ(names.size(), 28u);
    EXPECT_EQ(names.front(), cp("αναψυκτικά"));
    EXPECT_EQ(names[14], cp("ΔΕΗ"));
    EXPECT_EQ(names[22], cp("άλλα έξοδα"));
    EXPECT_EQ(names.back(), cp("μισθός"));
    EXPECT_EQ(names[25], cp("δάνει") + "o");
    EXPECT_EQ(names[25].back(), 111);
}

TEST_F(DataModTest, NewDocumentHasTheDefaultCategoriesInNameOrder)
{
    data.DocumentPassword = "old";
    data.NewDocument();
    EXPECT_TRUE(data.LogTable.isEmpty());
    EXPECT_TRUE(data.DocumentPassword.empty());
    ASSERT_EQ(data.CatTable.recordCount(), 28);

    std::vector<std::string> names;
    std::vector<int32_t> numbers;
    for (data.CatTable.first(); !data.CatTable.eof(); data.CatTable.next()) {
        names.push_back(data.CatTable.fieldByName("Category").asString());
        numbers.push_back(data.CatTable.fieldByName("CatNum").asInteger());
    }
    const Json sample = sampleJson();
    for (size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(cp1253::toUtf8OrThrow(names[i]), sample["categories"][i]["Category"]) << i;
        EXPECT_EQ(numbers[i], sample["categories"][i]["CatNum"]) << i;
    }
    EXPECT_TRUE(notifier.events.empty()) << "the new book is built aside, as an opened one";

    data.NewDocument();
    int32_t lowest = INT32_MAX;
    for (data.CatTable.first(); !data.CatTable.eof(); data.CatTable.next())
        lowest = std::min(lowest, data.CatTable.fieldByName("CatNum").asInteger());
    EXPECT_EQ(lowest, 28) << "numbers go on from the largest ever posted";
}

TEST_F(DataModTest, OpensThePlainSampleExactly)
{
    data.OpenDocument(kPlainSample);
    EXPECT_EQ(asJson(data), sampleJson());
    EXPECT_EQ(prompts, 0);
    EXPECT_TRUE(data.DocumentPassword.empty());
}

TEST_F(DataModTest, OpensTheProtectedSampleWithItsPassword)
{
    typedPassword = cp("δοκιμή");
    data.OpenDocument(kProtectedSample);
    EXPECT_EQ(asJson(data), sampleJson());
    EXPECT_EQ(prompts, 1);
    EXPECT_EQ(data.DocumentPassword, cp("δοκιμή"));
}

TEST_F(DataModTest, OpeningComputesTheSummaryOfTheMovements)
{
    data.OpenDocument(kPlainSample);
    long double balance = 0;
    std::string first = "9999", last = "0000";
    const Json sample = sampleJson();
    for (const auto& m : sample["movements"]) {
        balance = balance + (m["Eispraxi"].is_null() ? 0.0L : m["Eispraxi"].get<double>()) -
                  (m["Pliromi"].is_null() ? 0.0L : m["Pliromi"].get<double>());
        first = std::min(first, m["Date"].get<std::string>());
        last = std::max(last, m["Date"].get<std::string>());
    }
    EXPECT_EQ(data.Balance, balance);
    EXPECT_EQ(isoDate(data.FirstDate), first);
    EXPECT_EQ(isoDate(data.LastDate), last);
    EXPECT_EQ(notifier.events, (std::vector<std::string>{"balance"}));
}

TEST_F(DataModTest, SavingTheOpenedSamplesGivesTheirBytesBack)
{
    data.OpenDocument(kPlainSample);
    data.SaveDocument(dir.file("plain.tmk"));
    EXPECT_EQ(readFile(dir.file("plain.tmk")), readFile(kPlainSample));

    typedPassword = cp("δοκιμή");
    data.OpenDocument(kProtectedSample);
    data.SaveDocument(dir.file("protected.tmk"));
    EXPECT_EQ(readFile(dir.file("protected.tmk")), readFile(kProtectedSample));
}

TEST_F(DataModTest, RealisticBookRoundTripsPlainAndEncrypted)
{
    data.NewDocument();
    for (int i = 0; i < 300; ++i) {
        MemTable& log = data.LogTable;
        log.append();
        log.fieldByName("Date").setValue(Variant::fromDate(44197 + i % 97));
        log.fieldByName("CatNum").setAsInteger(i % 28);
        if (i % 3 != 0)
            log.fieldByName("Eispraxi").setAsFloat(i * 1.01);
        if (i % 2 == 0)
            log.fieldByName("Pliromi").setAsFloat(i * 0.37);
        if (i % 5 != 0)
            log.fieldByName("Perigrafi").setAsString(cp("περιγραφή ") + std::to_string(i));
        log.post();
    }
    const Json before = asJson(data);
    for (const std::string& password : {std::string(), cp("κωδικός")}) {
        data.DocumentPassword = password;
        const std::string file = dir.file("book.tmk");
        data.SaveDocument(file);
        EXPECT_EQ(readFile(file).front(), password.empty() ? kPlainMarker : kEncryptedMarker);

        DataMod other;
        other.setPasswordPrompt([&](std::string& typed) {
            typed = password;
            return true;
        });
        other.OpenDocument(file);
        EXPECT_EQ(asJson(other), before);
        EXPECT_EQ(other.Balance, data.Balance);
        EXPECT_EQ(other.DocumentPassword, password);
    }
}

TEST_F(DataModTest, SavingDropsAMovementStillBeingTyped)
{
    data.NewDocument();
    addMovement(37987, 5.0, std::nullopt);
    data.LogTable.append();
    data.LogTable.fieldByName("Date").setValue(Variant::fromDate(37990));
    data.SaveDocument(dir.file("book.tmk"));
    EXPECT_EQ(data.LogTable.state(), DataSetState::Browse);
    DataMod other;
    other.OpenDocument(dir.file("book.tmk"));
    EXPECT_EQ(other.LogTable.recordCount(), 1);
}

// A broken document never replaces the open one: tables, password and summary stay.
TEST_F(DataModTest, FailedOpenKeepsThePreviousDocument)
{
    typedPassword = cp("δοκιμή");
    data.OpenDocument(kProtectedSample);
    const Json before = asJson(data);
    const long double balance = data.Balance;
    const double firstDate = data.FirstDate;
    const double lastDate = data.LastDate;

    const Bytes plain = readFile(kPlainSample);
    Bytes truncated(plain.begin(), plain.begin() + static_cast<long>(plain.size() / 2));
    Bytes trailing = plain;
    trailing.push_back(0);
    Bytes badType = plain;
    badType[5] = 9;
    struct Case
    {
        const char* what;
        Bytes bytes;
        std::optional<std::string> password;
    };
    const Case cases[] = {
        {"truncated", truncated, std::nullopt},
        {"bytes after the movements", trailing, std::nullopt},
        {"unknown type byte", badType, std::nullopt},
        {"only a marker", Bytes{kPlainMarker}, std::nullopt},
        {"wrong password", readFile(kProtectedSample), cp("λάθος")},
        {"cancelled prompt", readFile(kProtectedSample), std::nullopt},
    };
    for (const auto& c : cases) {
        const std::string file = dir.file("broken.tmk");
        writeFile(file, c.bytes);
        typedPassword = c.password;
        notifier.events.clear();
        EXPECT_THROW(data.OpenDocument(file), Error) << c.what;
        EXPECT_EQ(asJson(data), before) << c.what;
        EXPECT_EQ(data.DocumentPassword, cp("δοκιμή")) << c.what;
        EXPECT_EQ(data.Balance, balance) << c.what;
        EXPECT_EQ(data.FirstDate, firstDate) << c.what;
        EXPECT_EQ(data.LastDate, lastDate) << c.what;
        EXPECT_TRUE(notifier.events.empty()) << c.what;
    }
    EXPECT_THROW(data.OpenDocument(dir.file("missing.tmk")), Error);
    writeFile(dir.file("empty.tmk"), {});
    EXPECT_THROW(data.OpenDocument(dir.file("empty.tmk")), SilentAbort);
    EXPECT_EQ(asJson(data), before);
}

TEST_F(DataModTest, CancelledPromptOnANewDocumentLeavesThePasswordEmpty)
{
    data.NewDocument();
    typedPassword.reset();
    EXPECT_THROW(data.OpenDocument(kProtectedSample), Error);
    EXPECT_EQ(prompts, 1);
    EXPECT_TRUE(data.DocumentPassword.empty());
}

// Cancelling the prompt is the user's choice not to open the file, not a damaged file.
TEST_F(DataModTest, ACancelledPromptEndsTheOpenSilently)
{
    typedPassword = cp("δοκιμή");
    data.OpenDocument(kProtectedSample);
    const Json before = asJson(data);
    typedPassword.reset();
    EXPECT_THROW(data.OpenDocument(kProtectedSample), SilentAbort);
    EXPECT_EQ(prompts, 2);
    EXPECT_EQ(asJson(data), before);
    EXPECT_EQ(data.DocumentPassword, cp("δοκιμή"));
}

TEST_F(DataModTest, OpenedCategoryNumbersAreKeptAndNewOnesGoAbove)
{
    data.NewDocument();
    MemTable& cat = data.CatTable;
    cat.clearRecords();
    for (const auto& [number, name] : {std::pair{3, "c"}, {10, "a"}, {7, "b"}}) {
        cat.append();
        cat.fieldByName("CatNum").setAsInteger(number);
        cat.fieldByName("Category").setAsString(name);
        cat.post();
    }
    data.SaveDocument(dir.file("book.tmk"));

    DataMod other;
    other.OpenDocument(dir.file("book.tmk"));
    EXPECT_EQ(rows(other.CatTable, CatFieldNames()),
              Json::parse(R"([{"CatNum": 10, "Category": "a"}, {"CatNum": 7, "Category": "b"},
                              {"CatNum": 3, "Category": "c"}])"));
    other.CatTable.append();
    other.CatTable.fieldByName("Category").setAsString("d");
    other.CatTable.post();
    EXPECT_GE(other.CatTable.fieldByName("CatNum").asInteger(), 11);
}

TEST_F(DataModTest, BookHoldingTheLargestCategoryNumberOpensAndRefusesOnlyNewCategories)
{
    data.NewDocument();
    MemTable& cat = data.CatTable;
    cat.clearRecords();
    for (const auto& [number, name] : {std::pair{INT32_MAX, "z"}, {3, "a"}}) {
        cat.append();
        cat.fieldByName("CatNum").setAsInteger(number);
        cat.fieldByName("Category").setAsString(name);
        cat.post();
    }
    data.SaveDocument(dir.file("book.tmk"));

    DataMod other;
    other.OpenDocument(dir.file("book.tmk"));
    const Json opened = rows(other.CatTable, CatFieldNames());
    EXPECT_EQ(opened, Json::parse(R"([{"CatNum": 3, "Category": "a"},
                                      {"CatNum": 2147483647, "Category": "z"}])"));
    other.CatTable.append();
    other.CatTable.fieldByName("Category").setAsString("new");
    try {
        other.CatTable.post();
        ADD_FAILURE() << "a category without a number was posted";
    } catch (const Error& error) {
        EXPECT_EQ(cp1253::toUtf8OrThrow(error.what()),
                  "Δεν υπάρχει άλλος διαθέσιμος αριθμός για το πεδίο 'Κατηγορία'· η νέα "
                  "εγγραφή δεν καταχωρήθηκε.");
    }
    EXPECT_EQ(other.CatTable.state(), DataSetState::Browse);
    EXPECT_EQ(rows(other.CatTable, CatFieldNames()), opened);
}

// New builds the book aside: when it cannot be built (here: no category number is left
// after a book holding the largest one), the open document, its pending edit, password
// and summary stay, so that a later save cannot write an empty book over the file.
// A book that used the last category number still gives way to a new one: its numbers
// start afresh instead of running out (New used to fail and leave the old book open).
TEST_F(DataModTest, NewAfterTheLastCategoryNumberStartsNumberingAfresh)
{
    data.NewDocument();
    MemTable& cat = data.CatTable;
    cat.last();
    cat.edit();
    cat.fieldByName("CatNum").setAsInteger(INT32_MAX);
    cat.post();
    addMovement(37987, 12.5, std::nullopt, INT32_MAX);
    data.DocumentPassword = "secret";
    data.LogTable.first();
    data.LogTable.edit();
    data.LogTable.fieldByName("Pliromi").setAsFloat(7);

    ASSERT_NO_THROW(data.NewDocument());
    EXPECT_TRUE(data.LogTable.isEmpty());
    EXPECT_EQ(data.LogTable.state(), DataSetState::Browse);
    EXPECT_TRUE(data.DocumentPassword.empty());
    ASSERT_EQ(data.CatTable.recordCount(), 28);
    std::vector<int32_t> numbers;
    for (cat.first(); !cat.eof(); cat.next())
        numbers.push_back(cat.fieldByName("CatNum").asInteger());
    std::sort(numbers.begin(), numbers.end());
    EXPECT_EQ(numbers.front(), 0);
    EXPECT_EQ(numbers.back(), 27);
}

// What the reader of documents refuses, the tables refuse on entry; everything else they
// take comes back from the saved book: no book is saved that does not open again.
TEST_F(DataModTest, EdgeValuesAreRefusedOnEntryOrReopenEqual)
{
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double infinity = std::numeric_limits<double>::infinity();
    enum Table
    {
        Categories,
        Movements
    };
    struct Case
    {
        const char* what;
        Table table;
        const char* field;
        Variant value;
        bool refused;
    };
    const Case cases[] = {
        {"receipt NaN", Movements, "Eispraxi", Variant::fromDouble(nan), true},
        {"receipt +infinity", Movements, "Eispraxi", Variant::fromDouble(infinity), true},
        {"payment -infinity", Movements, "Pliromi", Variant::fromDouble(-infinity), true},
        {"receipt from the text nan", Movements, "Eispraxi", Variant::fromString("nan"), true},
        {"receipt from the text inf", Movements, "Eispraxi", Variant::fromString("inf"), true},
        {"payment from the text -Infinity", Movements, "Pliromi", Variant::fromString("-Infinity"),
         true},
        {"largest amount", Movements, "Eispraxi",
         Variant::fromDouble(std::numeric_limits<double>::max()), false},
        {"amount from a text", Movements, "Pliromi", Variant::fromString("12,5"), false},
        {"day -700000", Movements, "Date", Variant::fromDate(-700000), true},
        {"day 3000000", Movements, "Date", Variant::fromDate(3000000), true},
        {"the day before 1 January 1", Movements, "Date", Variant::fromDate(-693594), true},
        {"the day after 31 December 9999", Movements, "Date", Variant::fromDate(2958466), true},
        {"day infinity", Movements, "Date", Variant::fromDate(infinity), true},
        {"1 January 1", Movements, "Date", Variant::fromDate(-693593), false},
        {"31 December 9999 at noon", Movements, "Date", Variant::fromDate(2958465.5), false},
        {"movement CatNum -2147483648", Movements, "CatNum", Variant::fromInt(INT32_MIN), false},
        {"movement CatNum 2147483647", Movements, "CatNum", Variant::fromInt(INT32_MAX), false},
        {"movement CatNum 2147483648", Movements, "CatNum", Variant::fromDouble(2147483648.0),
         true},
        {"category CatNum -2147483648", Categories, "CatNum", Variant::fromInt(INT32_MIN), false},
        {"category CatNum 2147483647", Categories, "CatNum", Variant::fromInt(INT32_MAX), false},
        {"category CatNum -2147483649", Categories, "CatNum", Variant::fromDouble(-2147483649.0),
         true},
    };
    for (const Case& c : cases) {
        DataMod book;
        book.NewDocument();
        MemTable& table = c.table == Categories ? book.CatTable : book.LogTable;
        table.append();
        if (c.table == Categories) {
            table.fieldByName("Category").setAsString("new");
        } else {
            table.fieldByName("Date").setValue(Variant::fromDate(37987));
            table.fieldByName("CatNum").setAsInteger(0);
        }
        Field& field = table.fieldByName(c.field);
        try {
            field.setValue(c.value);
        } catch (const Error& error) {
            EXPECT_TRUE(c.refused) << c.what << ": refused with " << error.what();
            EXPECT_EQ(error.what(),
                      formatMessage("Invalid value for field '%s'", field.displayName()))
                << c.what;
            EXPECT_EQ(table.state(), DataSetState::Insert) << c.what;
            continue;
        }
        EXPECT_FALSE(c.refused) << c.what << ": taken";
        table.post();
        const std::string file = dir.file("edge.tmk");
        book.SaveDocument(file);
        DataMod reopened;
        try {
            reopened.OpenDocument(file);
        } catch (const Error& error) {
            ADD_FAILURE() << c.what << ": saved, but does not open: " << error.what();
            continue;
        }
        EXPECT_EQ(asJson(reopened), asJson(book)) << c.what;
    }
}

TEST_F(DataModTest, EveryMovementPostMarksModifiedThenQueuesTheBalance)
{
    data.NewDocument();
    notifier.events.clear();
    addMovement(37985, 10.0, std::nullopt);
    EXPECT_EQ(notifier.events, (std::vector<std::string>{"modified", "balance"}));
    EXPECT_EQ(data.Balance, 10.0L);
}

TEST_F(DataModTest, SummaryFollowsTheMovements)
{
    data.NewDocument();
    const double march5 = 38051, march1 = 38047, march9 = 38055;
    addMovement(march5, 100.0, 0.1);
    addMovement(march1, std::nullopt, 20.0);
    addMovement(march9, std::nullopt, std::nullopt);
    EXPECT_EQ(data.FirstDate, march1);
    EXPECT_EQ(data.LastDate, march9);
    EXPECT_EQ(data.Balance, 100.0L - static_cast<long double>(0.1) - 20.0L);
    EXPECT_EQ(isoDate(march1), "2004-03-01");

    data.LogTable.setRecNo(2);
    data.RecomputeSummary();
    EXPECT_EQ(data.LogTable.recNo(), 2) << "the scan puts the cursor back";

    while (!data.LogTable.isEmpty()) {
        data.LogTable.first();
        data.LogTable.deleteRecord();
    }
    EXPECT_EQ(data.Balance, 0.0L);
    EXPECT_EQ(data.FirstDate, march9) << "the dates of the last movement deleted stay";
    EXPECT_EQ(data.LastDate, march9);
}

TEST_F(DataModTest, SummaryWaitsWhileTheMovementViewsAreDetached)
{
    data.NewDocument();
    addMovement(38051, 5.0, std::nullopt);
    data.LogSource.setEnabled(false);
    notifier.events.clear();
    addMovement(38052, 7.0, std::nullopt);
    EXPECT_EQ(data.Balance, 5.0L);
    EXPECT_EQ(notifier.events, (std::vector<std::string>{"modified"}));
    data.LogSource.setEnabled(true);
    data.RecomputeSummary();
    EXPECT_EQ(data.Balance, 12.0L);
}

TEST_F(DataModTest, FailedSaveReportsTheErrorAndKeepsTheTables)
{
    data.OpenDocument(kPlainSample);
    const Json before = asJson(data);
    EXPECT_THROW(data.SaveDocument(dir.file("no-such-folder/book.tmk")), Error);
    EXPECT_EQ(asJson(data), before);
    EXPECT_TRUE(data.LogSource.enabled());
    EXPECT_TRUE(data.CatSource.enabled());
}

TEST_F(DataModTest, SaveThatCannotBeWrittenWholeLeavesTheOldFileByteIdentical)
{
    const std::string file = dir.file("book.tmk");
    data.NewDocument();
    data.SaveDocument(file);
    const Bytes before = readFile(file);

    data.OpenDocument(kPlainSample);
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{8192, 8192}; // far less than the sample's 53 kB
        ::setrlimit(RLIMIT_FSIZE, &limit);
        try {
            data.SaveDocument(file);
        } catch (const Error&) {
            ::_exit(0);
        }
        ::_exit(1);
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the save did not report its failure";
    EXPECT_EQ(readFile(file), before);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"book.tmk"});
}

} // namespace
} // namespace tamisko
