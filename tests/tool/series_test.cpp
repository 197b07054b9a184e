#include "analysis/core/TimeSeries.h"
#include "data/Cp1253.h"
#include "data/DataMdl.h"
#include "data/LocaleSettings.h"
#include "data/TestFiles.h"
#include "RunTool.h"

#include <algorithm>
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

// January and February 2004: μισθός mostly in, ΔΕΗ mostly out, ΟΤΕ only in February.
const std::string kTwoMonthBook =
    R"({"categories": [{"CatNum": 14, "Category": "ΔΕΗ"}, {"CatNum": 3, "Category": "ΟΤΕ"},
                       {"CatNum": 28, "Category": "μισθός"}],
        "movements": [
          {"Date": "2004-01-10", "CatNum": 28, "Eispraxi": 1000, "Pliromi": null, "Perigrafi": null},
          {"Date": "2004-01-20", "CatNum": 14, "Eispraxi": null, "Pliromi": 80, "Perigrafi": null},
          {"Date": "2004-02-03", "CatNum": 14, "Eispraxi": 20, "Pliromi": null, "Perigrafi": null},
          {"Date": "2004-02-05", "CatNum": 28, "Eispraxi": null, "Pliromi": 30, "Perigrafi": null},
          {"Date": "2004-02-29", "CatNum": 3, "Eispraxi": null, "Pliromi": 12.5, "Perigrafi": null}]})";

const std::string kEmptyBook = R"({"categories": [{"CatNum": 1, "Category": "ΔΕΗ"}],
                                   "movements": []})";

size_t lineCount(const std::string& text)
{
    return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
}

class SeriesTest : public ::testing::Test
{
protected:
    std::string document(const std::string& json)
    {
        writeFile(dir.file("book.json"), Bytes(json.begin(), json.end()));
        const ToolRun run = runTool({"create", dir.file("book.json"), dir.file("book.tmk")});
        EXPECT_EQ(run.status, 0) << run.err;
        return dir.file("book.tmk");
    }

    TempDir dir;
};

TEST_F(SeriesTest, PrintsTheGridCopyText)
{
    const ToolRun run =
        runTool({"series", document(kTwoMonthBook), "--days", "30", "--locale", "el_GR"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "από\tμέχρι\tμισθός (εισ)\tΔΕΗ (πλ)\tΟΤΕ (πλ)\tΣυν.Κ.Εισπρ.\tΣυν.Κ.Πληρ.\r\n"
                       "1/1/2004\t31/1/2004\t1000,00\t80,00\t\t1000,00\t80,00\r\n"
                       "1/2/2004\t29/2/2004\t-30,00\t-20,00\t12,50\t20,00\t42,50\r\n");
    EXPECT_TRUE(run.err.empty()) << run.err;
}

TEST_F(SeriesTest, TakesTheLengthInDaysAndStartsAtThirty)
{
    const std::string file = document(kTwoMonthBook);
    const ToolRun standard = runTool({"series", file, "--locale", "el_GR"});
    const ToolRun thirty = runTool({"series", file, "--days=30", "--locale", "el_GR"});
    ASSERT_EQ(standard.status, 0) << standard.err;
    EXPECT_EQ(standard.out, thirty.out);

    // Half months: 1-15 and 16-31 January, 1-14 and 15-29 February.
    const ToolRun halves = runTool({"series", file, "--days", "15", "--locale", "el_GR"});
    ASSERT_EQ(halves.status, 0) << halves.err;
    EXPECT_EQ(lineCount(halves.out), 5u);
    EXPECT_THAT(halves.out, HasSubstr("\r\n15/2/2004\t29/2/2004\t"));

    // Weeks from the first movement, up to the one that holds 29 February.
    const ToolRun weeks = runTool({"series", file, "--days", "7", "--locale", "el_GR"});
    ASSERT_EQ(weeks.status, 0) << weeks.err;
    EXPECT_THAT(weeks.out, HasSubstr("\r\n10/1/2004\t16/1/2004\t1000,00\t"));
    EXPECT_THAT(weeks.out,
                ::testing::EndsWith("\r\n28/2/2004\t5/3/2004\t\t\t12,50\t0,00\t12,50\r\n"));
}

TEST_F(SeriesTest, FollowsTheLocale)
{
    const ToolRun run =
        runTool({"series", document(kTwoMonthBook), "--days", "30", "--locale", "en_US"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_THAT(run.out, StartsWith("από\tμέχρι\tμισθός (εισ)\t"));
    EXPECT_THAT(run.out, HasSubstr("\t-30.00\t-20.00\t12.50\t20.00\t42.50\r\n"));
    EXPECT_THAT(run.out, ::testing::Not(HasSubstr("1000,00")));
}

TEST_F(SeriesTest, AnEmptyLogPrintsNothing)
{
    const ToolRun run = runTool({"series", document(kEmptyBook), "--locale", "el_GR"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
}

// What the window copies is the core's copy text of the same grid.
TEST_F(SeriesTest, PrintsForASampleBookWhatTheWindowCopies)
{
    DataMod data;
    data.OpenDocument(kPlainSample);
    const RegionalSettings settings = *RegionalSettingsForLocale("el_GR");
    const series::SeriesGrid grid =
        series::FillSeriesGrid(data.LogTable, 30, data.FirstDate, data.LastDate, settings);
    const std::string copied = cp1253::toUtf8OrThrow(series::GridCopyText(grid, settings));
    ASSERT_EQ(lineCount(copied), 37u); // the title line and 36 months

    const ToolRun plain = runTool({"series", kPlainSample, "--days", "30", "--locale", "el_GR"});
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(plain.out, copied);

    const ToolRun protectedRun =
        runTool({"series", kProtectedSample, "--days", "30", "--locale", "el_GR"},
                {{"TAMISKO_PASSWORD", "δοκιμή"}});
    ASSERT_EQ(protectedRun.status, 0) << protectedRun.err;
    EXPECT_EQ(protectedRun.out, copied);
}

TEST_F(SeriesTest, RefusesALengthOutsideOneTo999)
{
    const std::string file = document(kTwoMonthBook);
    const std::vector<std::vector<std::string>> commandLines{
        {"series", file, "--days", "0"},       {"series", file, "--days", "1000"},
        {"series", file, "--days", "-5"},      {"series", file, "--days", "7x"},
        {"series", file, "--days=", "30"},     {"series", file, "--days"},
        {"series", file, "--locale", "xx_YY"},
    };
    for (const auto& words : commandLines) {
        const ToolRun run = runTool(words);
        EXPECT_EQ(run.status, 2) << words.back() << ": " << run.err;
        EXPECT_EQ(run.out, "") << words.back();
        EXPECT_THAT(run.err, HasSubstr("usage: tamisko-tool series")) << words.back();
    }
}

} // namespace
} // namespace tamisko
