// tamisko-tool import: the book written safely, the JSON summary and the exit codes.
#include "data/TestFiles.h"
#include "RunTool.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace tamisko {
namespace {

using testing::Bytes;
using ::testing::HasSubstr;
using testing::readFile;
using testing::runTool;
using testing::TempDir;
using testing::ToolRun;
using testing::writeFile;

const std::string kPlainSample = TAMISKO_SAMPLES_DIR "/household-2021-2023.tmk";
const std::string kProtectedSample = TAMISKO_SAMPLES_DIR "/household-2021-2023-protected.tmk";
const std::string kPassword = "δοκιμή";

const std::string kStatement = "Αριθμός λογαριασμού;GR16 0110 1250\n"
                               "Ημερομηνία;Περιγραφή;Ποσό;Υπόλοιπο\n"
                               "02/01/2024;ΣΚΛΑΒΕΝΙΤΗΣ ΑΘΗΝΑ;-45,30;954,70\n"
                               "15/01/2024;ΜΙΣΘΟΔΟΣΙΑ ΙΑΝ;1.500,00;2.454,70\n"
                               "15/01/2024;ΜΙΣΘΟΔΟΣΙΑ ΙΑΝ;1.500,00;3.954,70\n"
                               "31/01/2024;Καφέ Ωμέγα;-3,50;3.951,20\n"
                               "32/01/2024;ΣΦΑΛΜΑ;-1,00;\n"
                               "Σύνολο;;2.951,20;\n";

nlohmann::json parsed(const ToolRun& run)
{
    return nlohmann::json::parse(run.out);
}

class ImportCommandTest : public ::testing::Test
{
protected:
    std::string statement(const std::string& text = kStatement, const std::string& name = "s.csv")
    {
        writeFile(dir.file(name), Bytes(text.begin(), text.end()));
        return dir.file(name);
    }

    std::string copyOf(const std::string& sample)
    {
        const std::string copy = dir.file("book.tmk");
        std::filesystem::copy_file(sample, copy);
        return copy;
    }

    nlohmann::json dump(const std::string& book, const std::string& password = {})
    {
        const ToolRun run = runTool({"dump", book}, {{"TAMISKO_PASSWORD", password}});
        EXPECT_EQ(run.status, 0) << run.err;
        return nlohmann::json::parse(run.out);
    }

    TempDir dir;
};

TEST_F(ImportCommandTest, ImportsIntoTheSampleAndNothingTheSecondTime)
{
    const std::string book = copyOf(kPlainSample);
    const size_t before = dump(book)["movements"].size();
    const ToolRun first = runTool({"import", book, statement()});
    ASSERT_EQ(first.status, 0) << first.err;
    const nlohmann::json json = parsed(first);
    EXPECT_EQ(json["format"], "csv");
    EXPECT_EQ(json["encoding"], "utf-8");
    EXPECT_EQ(json["rows"], 5);
    EXPECT_EQ(json["imported"], 4);
    EXPECT_EQ(json["duplicates"], 0);
    EXPECT_EQ(
        json["invalid"],
        nlohmann::json::parse(R"([{"line": 7, "reason": "Μη έγκυρη ημερομηνία «32/01/2024»."}])"));
    EXPECT_EQ(json["skipped_lines"].size(), 2u);
    EXPECT_EQ(json["skipped_lines"][0]["line"], 1);
    EXPECT_EQ(json["skipped_lines"][1]["line"], 8);
    EXPECT_EQ(json["receipts"], 3000.0);
    EXPECT_EQ(json["payments"], 48.8);
    EXPECT_EQ(json["replaced_characters"], 0);
    EXPECT_EQ(dump(book)["movements"].size(), before + 4);

    const Bytes written = readFile(book);
    const ToolRun second = runTool({"import", book, statement()});
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(parsed(second)["imported"], 0);
    EXPECT_EQ(parsed(second)["duplicates"], 4);
    EXPECT_EQ(readFile(book), written);
}

TEST_F(ImportCommandTest, DryRunChangesNothing)
{
    const std::string book = copyOf(kPlainSample);
    const Bytes original = readFile(book);
    const ToolRun run = runTool({"import", book, statement(), "--dry-run"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(parsed(run)["imported"], 4);
    EXPECT_EQ(readFile(book), original);
}

TEST_F(ImportCommandTest, CreatesANewBookOnlyWhenAsked)
{
    const std::string book = dir.file("new.tmk");
    const ToolRun refused = runTool({"import", book, statement()});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.out.empty());
    EXPECT_FALSE(std::filesystem::exists(book));

    const ToolRun created = runTool({"import", book, statement(), "--create"});
    ASSERT_EQ(created.status, 0) << created.err;
    const nlohmann::json document = dump(book);
    EXPECT_EQ(document["categories"].size(), 28u);
    EXPECT_EQ(document["movements"].size(), 4u);
}

TEST_F(ImportCommandTest, AProtectedBookTakesItsPasswordAndStaysProtected)
{
    const std::string book = copyOf(kProtectedSample);
    const ToolRun run =
        runTool({"import", book, statement(), "--password-stdin"}, {}, kPassword + "\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFile(book).at(0), 42); // still encrypted
    EXPECT_EQ(dump(book, kPassword)["movements"].size(),
              dump(kProtectedSample, kPassword)["movements"].size() + 4);
}

TEST_F(ImportCommandTest, FilesThatCannotBeImportedChangeNothing)
{
    const std::string book = copyOf(kPlainSample);
    const Bytes original = readFile(book);
    struct Case
    {
        const char* name;
        std::string content;
        std::string message;
    };
    const Case cases[] = {
        {"empty", "", "Το αρχείο είναι κενό."},
        {"junk",
         std::string("\x7F"
                     "ELF\x02\x01\x01\0\0\0",
                     10),
         "Το αρχείο δεν είναι κείμενο"},
        {"header only", "Ημερομηνία;Περιγραφή;Ποσό\n", "(γραμμή 1)"},
    };
    for (const Case& c : cases) {
        const ToolRun run = runTool({"import", book, statement(c.content)});
        EXPECT_EQ(run.status, 1) << c.name;
        EXPECT_TRUE(run.out.empty()) << c.name;
        EXPECT_THAT(run.err, HasSubstr(c.message)) << c.name;
        EXPECT_EQ(readFile(book), original) << c.name;
    }
    const ToolRun missing = runTool({"import", book, dir.file("missing.csv")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(readFile(book), original);
}

TEST_F(ImportCommandTest, OptionsOverrideDetection)
{
    const std::string book = dir.file("book.tmk");
    const std::string file = statement("x;03/02/2024;Α;3.50;φαγητό\ny;03/04/2024;Β;2.00;\n");
    const ToolRun run = runTool({"import", book, file, "--create", "--columns",
                                 "date=2,description=3,amount=4,category=5", "--date-order=mdy",
                                 "--decimal", ".", "--category", "ρούχα"});
    ASSERT_EQ(run.status, 0) << run.err;
    const nlohmann::json json = parsed(run);
    EXPECT_EQ(json["date_order"], "mdy");
    EXPECT_EQ(json["categories_created"], nlohmann::json::parse(R"(["φαγητό"])"));
    const nlohmann::json movements = dump(book)["movements"];
    ASSERT_EQ(movements.size(), 2u);
    EXPECT_EQ(movements[0]["Date"], "2024-03-02");
    EXPECT_EQ(movements[0]["Eispraxi"], 3.5);
    EXPECT_EQ(movements[1]["Date"], "2024-03-04");

    const ToolRun again =
        runTool({"import", book, file, "--columns", "date=2,description=3,amount=4,category=5",
                 "--date-order=mdy", "--decimal", ".", "--keep-duplicates"});
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(parsed(again)["duplicates"], 2);
    EXPECT_EQ(parsed(again)["imported"], 2);
}

TEST_F(ImportCommandTest, UsageErrorsExitWithTwo)
{
    const std::string file = statement();
    const std::vector<std::vector<std::string>> calls = {
        {"import", "book.tmk"},
        {"import", "book.tmk", file, "--format", "xls"},
        {"import", "book.tmk", file, "--decimal", ";"},
        {"import", "book.tmk", file, "--date-order", "dym"},
        {"import", "book.tmk", file, "--encoding", "latin1"},
        {"import", "book.tmk", file, "--columns", "date=0,amount=2"},
        {"import", "book.tmk", file, "--columns", "date=1,amount=2,debit=3"},
        {"import", "book.tmk", file, "--columns", "description=2"},
        {"import", "book.tmk", file, "--columns"},
    };
    for (const auto& call : calls) {
        const ToolRun run = runTool(call);
        EXPECT_EQ(run.status, 2) << call.back() << ": " << run.err;
        EXPECT_TRUE(run.out.empty());
    }
}

} // namespace
} // namespace tamisko
