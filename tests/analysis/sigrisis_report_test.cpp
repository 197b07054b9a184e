#include "analysis/core/Comparison.h"
#include "analysis/SigrisisFrm.h"
#include "platform/db/DateEdit.h"
#include "platform/db/FieldText.h"
#include "platform/ScriptedDialogService.h"
#include "reports/SigrisisRpt.h"
#include "sigrisis_book.h"

#include <gtest/gtest.h>
#include <map>
#include <QPushButton>
#include <QTest>
#include <stdexcept>

namespace tamisko {
namespace {

using report::BandKind;
using report::PlacedBand;
using report::ReportLayout;
using testing::Book;
using testing::day;

struct Located
{
    int page;
    const PlacedBand* band;
};

std::vector<Located> bandsOfKind(const ReportLayout& layout, BandKind kind)
{
    std::vector<Located> found;
    for (size_t page = 0; page < layout.pages.size(); ++page) {
        for (const PlacedBand& band : layout.pages[page].bands) {
            if (band.kind == kind)
                found.push_back({int(page), &band});
        }
    }
    return found;
}

// The texts of a band by their left edge on the page, in millimetres.
std::map<int, QString> textsByColumn(const PlacedBand& band)
{
    std::map<int, QString> texts;
    for (const report::PlacedItem& item : band.items)
        texts[qRound(item.rect.left() * 10)] = item.text;
    return texts;
}

// The report as the comparison window hands it over: computed, then previewed.
class SigrisisReportTest : public testing::ComparisonFixture
{
protected:
    SigrisisReportTest() { db::setFormatSettings(RegionalSettings::greek()); }

    const ReportLayout& computeAndPreview(double start, double end)
    {
        SigrisisForm form(book.data, report);
        form.StartDate->setDayNumber(start);
        form.EndDate->setDayNumber(end);
        QTest::mouseClick(form.btnOK, Qt::LeftButton);
        form.itemPreview->trigger();
        if (viewer.shown.empty())
            throw std::runtime_error("nothing previewed");
        return viewer.shown.back();
    }

    Book book;
};

TEST_F(SigrisisReportTest, ACategoryWithOnlyPaymentsPrintsBlankReceiptColumns)
{
    book.add(day(2004, 1, 1), "μισθός", 1000, std::nullopt);
    book.add(day(2004, 1, 5), "ΔΕΗ", std::nullopt, 100);
    book.add(day(2004, 1, 6), "ΔΕΗ", std::nullopt, 300);
    const ReportLayout& layout = computeAndPreview(day(2004, 1, 1), day(2004, 1, 31));

    const auto details = bandsOfKind(layout, BandKind::Detail);
    ASSERT_EQ(details.size(), 2u);
    // Texts by their left edge: the printable left (10 mm) plus the field's left. Empty
    // fields print nothing.
    const std::map<int, QString> expectedSalary{
        {137, "μισθός"}, {589, "1000"}, {851, "100%"}, {1473, "1"}};
    const std::map<int, QString> expectedPower{
        {137, "ΔΕΗ"}, {1000, "400"}, {1254, "100%"}, {1714, "2"}};
    EXPECT_EQ(textsByColumn(*details[0].band), expectedSalary);
    EXPECT_EQ(textsByColumn(*details[1].band), expectedPower);
}

TEST_F(SigrisisReportTest, TheStatisticsMemoBeginsOnThePageAfterTheLastRow)
{
    book.add(day(2004, 1, 1), "μισθός", 1000, std::nullopt);
    book.add(day(2004, 1, 5), "ΔΕΗ", std::nullopt, 100);
    const ReportLayout& layout = computeAndPreview(day(2004, 1, 1), day(2004, 1, 31));

    const auto details = bandsOfKind(layout, BandKind::Detail);
    const auto summaries = bandsOfKind(layout, BandKind::Summary);
    ASSERT_EQ(summaries.size(), 1u);
    ASSERT_FALSE(details.empty());
    EXPECT_EQ(summaries[0].page, details.back().page + 1);
    for (const PlacedBand& band : layout.pages[size_t(summaries[0].page)].bands)
        EXPECT_NE(band.kind, BandKind::Detail);

    const report::PlacedItem& memo = summaries[0].band->items.at(0);
    const QStringList lines = memo.text.split('\n');
    EXPECT_EQ(lines, report.statistics());
    EXPECT_EQ(lines.size(), 20);
    EXPECT_EQ(lines[0], "Ανάλυση περιόδου από 1/1/2004 μέχρι 5/1/2004");
}

TEST_F(SigrisisReportTest, TheTitleNamesThePeriodOfTheLastComputation)
{
    EXPECT_EQ(report.periodText(), "period");
    book.add(day(2004, 1, 3), "μισθός", 1000, std::nullopt);
    book.add(day(2004, 3, 5), "ΔΕΗ", std::nullopt, 100);
    const ReportLayout& layout = computeAndPreview(day(2004, 1, 1), day(2004, 2, 28));

    const auto titles = bandsOfKind(layout, BandKind::Title);
    ASSERT_EQ(titles.size(), 1u);
    std::vector<QString> texts;
    for (const report::PlacedItem& item : titles[0].band->items)
        texts.push_back(item.text);
    // The log begins after the start field and goes on past the end field.
    EXPECT_EQ(texts, (std::vector<QString>{"Ομαδοποίηση εισπράξεων/πληρωμών",
                                           "από 3/1/2004 μέχρι 28/2/2004"}));
    const auto headers = bandsOfKind(layout, BandKind::ColumnHeader);
    ASSERT_FALSE(headers.empty());
    std::vector<QString> titlesOfColumns;
    for (const report::PlacedItem& item : headers[0].band->items)
        titlesOfColumns.push_back(item.text);
    EXPECT_EQ(titlesOfColumns, (std::vector<QString>{"Κατηγορία", "Συν. εισπρ.", "%", "Συν. πληρ.",
                                                     "%", "Αρ. εισπρ.", "Αρ. πληρ."}));
}

TEST(SigrisisReportAlone, PrintsTitleHeadersAndStatisticsForAnEmptyTable)
{
    testing::RecordingViewer viewer;
    SigrisisReport report(viewer);
    MemTable results("ResultsTable");
    comparison::defineResultsTable(results);
    report.setStatistics({"a", "", "b"});
    const ReportLayout layout = report.layOut(results, RegionalSettings::greek());
    EXPECT_TRUE(bandsOfKind(layout, BandKind::Detail).empty());
    ASSERT_EQ(bandsOfKind(layout, BandKind::Summary).size(), 1u);
    EXPECT_EQ(bandsOfKind(layout, BandKind::Summary)[0].band->items.at(0).text, "a\n\nb");
    EXPECT_EQ(bandsOfKind(layout, BandKind::Title)[0].band->items.at(1).text, "period");
}

} // namespace
} // namespace tamisko
