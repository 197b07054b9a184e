#include "data/TestFiles.h"
#include "RunTool.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tamisko {
namespace {

using testing::Bytes;
using ::testing::HasSubstr;
using testing::runTool;
using ::testing::StartsWith;
using testing::TempDir;
using testing::ToolRun;
using testing::writeFile;

const std::string kPlainSample = TAMISKO_SAMPLES_DIR "/household-2021-2023.tmk";
const std::string kProtectedSample = TAMISKO_SAMPLES_DIR "/household-2021-2023-protected.tmk";

// Salary in January, two bills in January and one in February.
const std::string kJanuaryBook =
    R"({"categories": [{"CatNum": 14, "Category": "ΔΕΗ"}, {"CatNum": 3, "Category": "ΟΤΕ"},
                       {"CatNum": 28, "Category": "μισθός"}],
        "movements": [
          {"Date": "2004-01-01", "CatNum": 28, "Eispraxi": 1000, "Pliromi": null, "Perigrafi": null},
          {"Date": "2004-01-05", "CatNum": 14, "Eispraxi": null, "Pliromi": 100, "Perigrafi": null},
          {"Date": "2004-01-10", "CatNum": 3, "Eispraxi": null, "Pliromi": 300, "Perigrafi": null},
          {"Date": "2004-02-01", "CatNum": 14, "Eispraxi": null, "Pliromi": 50, "Perigrafi": null}]})";

const std::string kEmptyBook = R"({"categories": [{"CatNum": 1, "Category": "ΔΕΗ"}],
                                   "movements": []})";

std::string crlfLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

class CompareTest : public ::testing::Test
{
protected:
    std::string document(const std::string& json)
    {
        writeFile(dir.file("book.json"), Bytes(json.begin(), json.end()));
        const ToolRun run = runTool({"create", dir.file("book.json"), dir.file("book.tmk")});
        EXPECT_EQ(run.status, 0) << run.err;
        return dir.file("book.tmk");
    }

    ToolRun compare(const std::string& file, const std::string& from, const std::string& to,
                    const std::string& locale = "el_GR")
    {
        return runTool({"compare", file, "--from", from, "--to", to, "--locale", locale});
    }

    TempDir dir;
};

TEST_F(CompareTest, PrintsTheResultsTableAnEmptyLineAndTheStatistics)
{
    const ToolRun run = compare(document(kJanuaryBook), "2004-01-01", "2004-01-31");
    ASSERT_EQ(run.status, 0) << run.err;
    // The log goes on into February, so the period ends with the end date: 31 days.
    const std::string expected = crlfLines({
        "Κατηγορία\tΣυν. εισπρ.\t%\tΣυν. πληρ.\t%\tΜέση είσπρ.\tΜέση πληρ.\tΑριθμ. εισπρ.\t"
        "Αριθμ. πληρ.",
        "μισθός\t1000\t100\t\t\t32,258064516129\t\t1\t",
        "ΔΕΗ\t\t\t100\t25\t\t3,2258064516129\t\t1",
        "ΟΤΕ\t\t\t300\t75\t\t9,67741935483871\t\t1",
        "",
        "Ανάλυση περιόδου από 1/1/2004 μέχρι 31/1/2004",
        "Σύνολο ημερών: 31",
        "",
        "Σύνολικές εισπράξεις: 1000,00",
        "Σύνολικές πληρωμές: 400,00",
        "Διαφορά: 600,00",
        "",
        "\"Πόσα πήρα\": 1000,00",
        "\"Πόσα χάλασα\": 400,00",
        "",
        "Μέσος όρος εισπράξεων ανά",
        "εβδομάδα: 225,81",
        "μήνα: 967,74",
        "χρόνο: 11774,19",
        "",
        "Μέσος όρος πληρωμών ανά",
        "ημέρα: 12,90",
        "εβδομάδα: 90,32",
        "μήνα: 387,10",
        "χρόνο: 4709,68",
    });
    EXPECT_EQ(run.out, expected);
    EXPECT_TRUE(run.err.empty()) << run.err;
}

TEST_F(CompareTest, FollowsTheLocale)
{
    const ToolRun run = compare(document(kJanuaryBook), "2004-01-01", "2004-01-31", "en_US");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_THAT(run.out, HasSubstr("\tΜέση πληρ.\t"));
    EXPECT_THAT(run.out, HasSubstr("\t32.258064516129\t"));
    EXPECT_THAT(run.out, HasSubstr("\r\nΣύνολικές εισπράξεις: 1000.00\r\n"));
}

TEST_F(CompareTest, ARangeWithoutMovementsPrintsOnlyTheStatistics)
{
    const ToolRun run = compare(document(kJanuaryBook), "2004-03-01", "2004-03-31");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "\r\nΔεν υπάρχει καμία κίνηση στην περίοδο από 1/3/2004 μέχρι 31/3/2004.\r\n");
}

TEST_F(CompareTest, ABookWithoutMovementsPrintsNothing)
{
    const ToolRun run = compare(document(kEmptyBook), "2004-01-01", "2004-01-31");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
}

TEST_F(CompareTest, AProtectedBookGivesWhatItsPlainTwinGives)
{
    const ToolRun plain = compare(kPlainSample, "2022-01-01", "2022-12-31");
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_THAT(plain.out, HasSubstr("\r\n\r\nΑνάλυση περιόδου από 1/1/2022 μέχρι 31/12/2022\r\n"
                                     "Σύνολο ημερών: 365\r\n"));
    const ToolRun protectedRun = runTool(
        {"compare", kProtectedSample, "--from=2022-01-01", "--to=2022-12-31", "--locale=el_GR"},
        {{"TAMISKO_PASSWORD", "δοκιμή"}});
    ASSERT_EQ(protectedRun.status, 0) << protectedRun.err;
    EXPECT_EQ(protectedRun.out, plain.out);
}

TEST_F(CompareTest, RefusesMissingOrWrongDates)
{
    const std::string file = document(kJanuaryBook);
    const std::vector<std::vector<std::string>> commandLines{
        {"compare", file, "--from", "2004-01-01"},
        {"compare", file, "--to", "2004-01-31"},
        {"compare", file, "--from", "2004-02-30", "--to", "2004-03-31"},
        {"compare", file, "--from", "1/1/2004", "--to", "2004-03-31"},
        {"compare", file, "--from", "2004-01-01", "--to"},
        {"compare", file, "--from", "2004-01-01", "--to", "2004-01-31", "--locale", "xx_YY"},
    };
    for (const auto& words : commandLines) {
        const ToolRun run = runTool(words);
        EXPECT_EQ(run.status, 2) << words.back() << ": " << run.err;
        EXPECT_EQ(run.out, "") << words.back();
        EXPECT_THAT(run.err, HasSubstr("usage: tamisko-tool compare")) << words.back();
    }
}

} // namespace
} // namespace tamisko
