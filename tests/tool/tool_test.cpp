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
const std::string kSampleJson = TAMISKO_SAMPLES_DIR "/household-2021-2023.json";
const std::string kPassword = "δοκιμή";

// The example document of the dump format, exactly as the tool prints it.
const std::string kSmallDump =
    R"({"categories": [{"CatNum": 14, "Category": "ΔΕΗ"}, {"CatNum": 3, "Category": "ΟΤΕ"}], )"
    R"("movements": [{"Date": "2004-01-01", "CatNum": 14, "Eispraxi": 12.5, "Pliromi": null, )"
    R"("Perigrafi": "ρεύμα"}, {"Date": "2004-01-02", "CatNum": 3, "Eispraxi": null, )"
    R"("Pliromi": 1234.25, "Perigrafi": null}]})"
    "\n";

std::string text(const Bytes& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

nlohmann::json parsed(const std::string& json)
{
    return nlohmann::json::parse(json);
}

void expectFailure(const ToolRun& run, int status, const std::string& what)
{
    EXPECT_EQ(run.status, status) << what << ": " << run.err;
    EXPECT_TRUE(run.out.empty()) << what;
    EXPECT_THAT(run.err, HasSubstr("tamisko-tool: ")) << what;
    if (status == 1) {
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << what << ": " << run.err;
    }
}

class ToolTest : public ::testing::Test
{
protected:
    std::string smallDocument(const std::string& password = {})
    {
        writeFile(dir.file("small.json"), Bytes(kSmallDump.begin(), kSmallDump.end()));
        const ToolRun run = runTool({"create", dir.file("small.json"), dir.file("small.tmk")},
                                    {{"TAMISKO_PASSWORD", password}});
        EXPECT_EQ(run.status, 0) << run.err;
        return dir.file("small.tmk");
    }

    TempDir dir;
};

TEST_F(ToolTest, DumpsTheSamplesAsTheirJson)
{
    const nlohmann::json expected = parsed(text(readFile(kSampleJson)));
    const ToolRun plain = runTool({"dump", kPlainSample});
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(parsed(plain.out), expected);

    const ToolRun fromEnvironment =
        runTool({"dump", kProtectedSample}, {{"TAMISKO_PASSWORD", kPassword}});
    ASSERT_EQ(fromEnvironment.status, 0) << fromEnvironment.err;
    EXPECT_EQ(fromEnvironment.out, plain.out);

    const ToolRun fromStdin =
        runTool({"dump", "--password-stdin", kProtectedSample}, {}, kPassword + "\n");
    ASSERT_EQ(fromStdin.status, 0) << fromStdin.err;
    EXPECT_EQ(fromStdin.out, plain.out);
}

TEST_F(ToolTest, CreateThenDumpGivesTheSameJsonBack)
{
    const std::string document = smallDocument();
    const ToolRun run = runTool({"dump", document});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, kSmallDump);
    EXPECT_EQ(readFile(document).front(), '!');
}

TEST_F(ToolTest, CreateWritesTheSampleDocumentsByteForByte)
{
    ASSERT_EQ(runTool({"create", kSampleJson, dir.file("plain.tmk")}).status, 0);
    EXPECT_EQ(readFile(dir.file("plain.tmk")), readFile(kPlainSample));

    const ToolRun run = runTool({"create", kSampleJson, dir.file("protected.tmk")},
                                {{"TAMISKO_PASSWORD", kPassword}});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFile(dir.file("protected.tmk")), readFile(kProtectedSample));
}

TEST_F(ToolTest, KeepsTheGivenCategoryOrderAndNumbers)
{
    const std::string json =
        R"({"categories": [{"CatNum": 9, "Category": "b"}, {"CatNum": 2, "Category": "a"}], )"
        R"("movements": []})"
        "\n";
    writeFile(dir.file("in.json"), Bytes(json.begin(), json.end()));
    ASSERT_EQ(runTool({"create", dir.file("in.json"), dir.file("out.tmk")}).status, 0);
    EXPECT_EQ(runTool({"dump", dir.file("out.tmk")}).out, json);
}

TEST_F(ToolTest, CategoryNumbersAtTheLimitsOfThirtyTwoBitsRoundTripByteForByte)
{
    // A plain document written byte by byte: categories 2147483647 "a", 5 "b" and
    // -2147483648 "c", then one movement of category 2147483647.
    Bytes book{'!'};
    const auto integer = [&book](uint32_t value) {
        book.push_back(3);
        for (int i = 0; i < 4; ++i)
            book.push_back(static_cast<uint8_t>(value >> (8 * i)));
    };
    const auto count = [&book](uint8_t n) {
        book.insert(book.end(), {n, 0, 0, 0});
    };
    const auto name = [&book](char c) {
        book.insert(book.end(), {18, 1, 0, uint8_t(c)});
    };
    count(3);
    integer(0x7FFFFFFF);
    name('a');
    integer(5);
    name('b');
    integer(0x80000000);
    name('c');
    count(1);
    book.insert(book.end(), {7, 0, 0, 0, 0, 0x60, 0x8C, 0xE2, 0x40}); // 1 January 2004
    integer(0x7FFFFFFF);
    book.insert(book.end(), {1, 1, 1});
    writeFile(dir.file("limits.tmk"), book);

    const ToolRun dump = runTool({"dump", dir.file("limits.tmk")});
    ASSERT_EQ(dump.status, 0) << dump.err;
    EXPECT_EQ(dump.out,
              R"({"categories": [{"CatNum": 2147483647, "Category": "a"}, )"
              R"({"CatNum": 5, "Category": "b"}, {"CatNum": -2147483648, "Category": "c"}], )"
              R"("movements": [{"Date": "2004-01-01", "CatNum": 2147483647, )"
              R"("Eispraxi": null, "Pliromi": null, "Perigrafi": null}]})"
              "\n");
    writeFile(dir.file("limits.json"), Bytes(dump.out.begin(), dump.out.end()));
    const ToolRun create = runTool({"create", dir.file("limits.json"), dir.file("again.tmk")});
    ASSERT_EQ(create.status, 0) << create.err;
    EXPECT_EQ(readFile(dir.file("again.tmk")), book);
    const ToolRun check = runTool({"check", dir.file("limits.tmk")});
    EXPECT_EQ(check.status, 0) << check.err;
}

TEST_F(ToolTest, ReaderMessagesNameFieldsByTheirLabelsInUtf8)
{
    Bytes book{'!', 0, 0, 0, 0, 1, 0, 0, 0}; // no categories, one movement:
    const Bytes movement{7,  0,  0, 0,   0,   0x60, 0x8C, 0xE2, 0x40, // 1 January 2004
                         3,  14, 0, 0,   0,                           // category 14
                         18, 2,  0, '1', '2',                         // a text for the receipt
                         1,  1};                                      // no payment or text
    book.insert(book.end(), movement.begin(), movement.end());
    const std::string file = dir.file("σπίτι.tmk");
    writeFile(file, book);
    for (const char* command : {"dump", "check"}) {
        const ToolRun run = runTool({command, file});
        expectFailure(run, 1, command);
        EXPECT_EQ(run.err, "tamisko-tool: " + file +
                               ": not a valid document: Invalid value for field 'Είσπραξη'\n")
            << command;
    }
}

TEST_F(ToolTest, WrongOrMissingPasswordIsRejected)
{
    expectFailure(runTool({"dump", kProtectedSample}, {{"TAMISKO_PASSWORD", "λάθος"}}), 1,
                  "wrong password");
    expectFailure(runTool({"dump", kProtectedSample}), 1, "no password");
    expectFailure(runTool({"check", "--password-stdin", kProtectedSample}, {}, "\n"), 1,
                  "empty password");
    const ToolRun run = runTool({"check", kProtectedSample}, {{"TAMISKO_PASSWORD", "x"}});
    EXPECT_THAT(run.err, HasSubstr("password"));
}

TEST_F(ToolTest, BrokenFilesAreRejected)
{
    const Bytes plain = readFile(kPlainSample);
    struct Case
    {
        const char* what;
        Bytes bytes;
    };
    const Case cases[] = {
        {"empty", {}},
        {"only the marker", {'!'}},
        {"cut in half", Bytes(plain.begin(), plain.begin() + static_cast<long>(plain.size() / 2))},
        {"cut by one byte", Bytes(plain.begin(), plain.end() - 1)},
        {"a byte too many",
         [&] {
             Bytes longer = plain;
             longer.push_back(0);
             return longer;
         }()},
        {"text", Bytes{'h', 'e', 'l', 'l', 'o', '\n'}},
    };
    for (const auto& c : cases) {
        writeFile(dir.file("broken.tmk"), c.bytes);
        for (const char* command : {"dump", "check"})
            expectFailure(runTool({command, dir.file("broken.tmk")}), 1,
                          std::string(c.what) + " / " + command);
    }
    expectFailure(runTool({"dump", dir.file("missing.tmk")}), 1, "missing");
    std::filesystem::create_directory(dir.file("folder.tmk"));
    expectFailure(runTool({"dump", dir.file("folder.tmk")}), 1, "folder");
    expectFailure(runTool({"export", dir.file("missing.tmk"), dir.file("out.txt")}), 1,
                  "export of a missing file");
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.txt")));
}

TEST_F(ToolTest, CreateRejectsJsonThatIsNoDocument)
{
    const std::string cases[] = {
        "not json",
        R"({"categories": []})",
        R"({"categories": [], "movements": [], "extra": 1})",
        R"({"categories": [{"CatNum": 1}], "movements": []})",
        R"({"categories": [{"CatNum": 1, "Category": null}], "movements": []})",
        R"({"categories": [{"CatNum": 1, "Category": "a"}, {"CatNum": 1, "Category": "b"}], "movements": []})",
        R"({"categories": [{"CatNum": 1, "Category": "0123456789012345678901234567890"}], "movements": []})",
        R"({"categories": [{"CatNum": 1.5, "Category": "a"}], "movements": []})",
        R"({"categories": [], "movements": [{"Date": "2004-02-30", "CatNum": 1, "Eispraxi": null, "Pliromi": null, "Perigrafi": null}]})",
        R"({"categories": [], "movements": [{"Date": "2004-01-01", "CatNum": 1, "Eispraxi": "1", "Pliromi": null, "Perigrafi": null}]})",
        R"({"categories": [], "movements": [{"Date": "2004-01-01", "CatNum": 1, "Eispraxi": null, "Pliromi": null, "Perigrafi": "€ ok but 日本 not"}]})",
    };
    for (const auto& json : cases) {
        writeFile(dir.file("in.json"), Bytes(json.begin(), json.end()));
        expectFailure(runTool({"create", dir.file("in.json"), dir.file("out.tmk")}), 1, json);
        EXPECT_FALSE(std::filesystem::exists(dir.file("out.tmk"))) << json;
    }
    expectFailure(runTool({"create", dir.file("missing.json"), dir.file("out.tmk")}), 1,
                  "missing JSON file");
}

TEST_F(ToolTest, UsageErrorsExitWithTwo)
{
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"frobnicate", kPlainSample},
        {"dump"},
        {"dump", kPlainSample, "extra"},
        {"dump", "--locale", "el_GR", kPlainSample},
        {"dump", "--password", "secret", kPlainSample},
        {"export", kPlainSample, dir.file("out.txt"), "--locale", "xx_XX"},
        {"export", kPlainSample, dir.file("out.txt"), "--locale"},
    };
    for (const auto& arguments : cases) {
        const ToolRun run = runTool(arguments);
        EXPECT_EQ(run.status, 2) << ::testing::PrintToString(arguments);
        EXPECT_TRUE(run.out.empty());
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.txt")));
    EXPECT_EQ(runTool({"--help"}).status, 0);
}

TEST_F(ToolTest, ExportsTheMovementsInTheRegionalSettingsAsked)
{
    const std::string document = smallDocument(kPassword);
    const std::string header = "Ημέρα\tΚατηγορία\tΕίσπραξη\tΠληρωμή\tΠεριγραφή\r\n";
    struct Case
    {
        std::vector<std::string> options;
        std::map<std::string, std::optional<std::string>> environment;
        std::string lines;
    };
    const Case cases[] = {
        {{"--locale", "el_GR"},
         {},
         "1/1/2004\tΔΕΗ\t12,5\t\tρεύμα\r\n2/1/2004\tΟΤΕ\t\t1234,25\t\r\n"},
        {{"--locale=en_US.UTF-8"},
         {},
         "1/1/2004\tΔΕΗ\t12.5\t\tρεύμα\r\n1/2/2004\tΟΤΕ\t\t1234.25\t\r\n"},
        {{},
         {{"LC_ALL", std::nullopt}, {"LC_NUMERIC", std::nullopt}, {"LANG", "de_DE.UTF-8"}},
         "01.01.2004\tΔΕΗ\t12,5\t\tρεύμα\r\n02.01.2004\tΟΤΕ\t\t1234,25\t\r\n"},
        {{},
         {{"LC_ALL", "C"}},
         "2004-01-01\tΔΕΗ\t12.5\t\tρεύμα\r\n2004-01-02\tΟΤΕ\t\t1234.25\t\r\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments{"export", document, dir.file("out.txt")};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        auto environment = c.environment;
        environment["TAMISKO_PASSWORD"] = kPassword;
        const ToolRun run = runTool(arguments, environment);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(run.out.empty());
        EXPECT_EQ(text(readFile(dir.file("out.txt"))), header + c.lines)
            << ::testing::PrintToString(c.options);
    }
}

TEST_F(ToolTest, ChecksASampleAndPrintsItsSummary)
{
    const ToolRun run = runTool({"check", kProtectedSample}, {{"TAMISKO_PASSWORD", kPassword}});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "categories: 28\nmovements: 1500\nbalance: -46332.88\n"
                       "first date: 2021-01-01\nlast date: 2023-12-30\n");
}

} // namespace
} // namespace tamisko
