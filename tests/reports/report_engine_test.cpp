#include "reports/ReportEngine.h"
#include "reports/ReportPreview.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

using namespace tamisko::report;

constexpr qreal kPrintableRight = 200; // A4 less the 10 mm margin
constexpr qreal kPrintableBottom = 287;

Band labelBand(qreal height, const QString& text, bool grows = false)
{
    Band band;
    band.height = height;
    band.elements.push_back({QPointF(3.7, 0.3), text, reportFont(10), grows});
    return band;
}

ReportBands sampleBands(int rowCount)
{
    ReportBands bands;
    bands.title = labelBand(8.5, QStringLiteral("Κινήσεις"));
    bands.title.elements.front().font = reportFont(15, true, true);
    bands.columnHeader = labelBand(8.5, QStringLiteral("Ημέρα"));
    for (int i = 0; i < rowCount; ++i)
        bands.details.push_back(labelBand(4.8, QStringLiteral("row %1").arg(i), true));
    bands.summary = labelBand(15.9, QStringLiteral("Σύνολα"));
    return bands;
}

std::vector<BandKind> kindsOf(const Page& page)
{
    std::vector<BandKind> kinds;
    for (const PlacedBand& band : page.bands)
        kinds.push_back(band.kind);
    return kinds;
}

QString firstText(const PlacedBand& band)
{
    return band.items.empty() ? QString() : band.items.front().text;
}

TEST(ReportEngine, EmptyDataSetPrintsTitleHeaderAndSummary)
{
    const ReportLayout layout = ReportEngine().layOut(sampleBands(0));

    ASSERT_EQ(layout.pages.size(), 1u);
    const Page& page = layout.pages.front();
    EXPECT_EQ(kindsOf(page),
              (std::vector{BandKind::Title, BandKind::ColumnHeader, BandKind::Summary}));
    EXPECT_EQ(firstText(page.bands[0]), QStringLiteral("Κινήσεις"));
    EXPECT_EQ(firstText(page.bands[2]), QStringLiteral("Σύνολα"));
    // The title starts at the top margin; each band follows the one above.
    EXPECT_DOUBLE_EQ(page.bands[0].rect.top(), 10);
    EXPECT_DOUBLE_EQ(page.bands[1].rect.top(), 18.5);
    EXPECT_DOUBLE_EQ(page.bands[2].rect.top(), 27);
    EXPECT_DOUBLE_EQ(page.bands[2].rect.height(), 15.9);
}

TEST(ReportEngine, TextsArePlacedFromTheBandCornerAtTheirNaturalWidth)
{
    const ReportLayout layout = ReportEngine().layOut(sampleBands(1));
    const PlacedBand& detail = layout.pages.front().bands[2];
    ASSERT_EQ(detail.items.size(), 1u);
    const PlacedItem& item = detail.items.front();

    EXPECT_DOUBLE_EQ(item.rect.left(), 10 + 3.7);
    EXPECT_DOUBLE_EQ(item.rect.top(), detail.rect.top() + 0.3);
    EXPECT_NEAR(item.rect.width(), TextMeasurer().width(QStringLiteral("row 0"), reportFont(10)),
                1e-9);
    EXPECT_EQ(item.lineCount(), 1);
    EXPECT_DOUBLE_EQ(detail.rect.height(), 4.8);
    EXPECT_EQ(item.font.family(), QStringLiteral("Arial"));
    EXPECT_EQ(item.alignment, Qt::AlignLeft);
}

TEST(ReportEngine, LongTextWrapsAtTheRightMarginAndItsRowGrows)
{
    ReportBands bands = sampleBands(2);
    BandElement description{QPointF(141.3, 0.3),
                            QStringLiteral("Αγορά τροφίμων από τη λαϊκή αγορά της Καλλιθέας, "
                                           "φρούτα, λαχανικά και ψάρια για όλη την εβδομάδα"),
                            reportFont(10), true};
    bands.details[0].elements.push_back(description);

    const ReportLayout layout = ReportEngine().layOut(bands);
    const Page& page = layout.pages.front();
    const PlacedBand& grown = page.bands[2];
    const PlacedItem& wrapped = grown.items[1];

    const TextMeasurer measurer;
    const qreal lineHeight = measurer.lineHeight(reportFont(10));
    ASSERT_GT(wrapped.lineCount(), 2);
    EXPECT_LE(wrapped.rect.right(), kPrintableRight + 1e-9);
    for (const QString& line : wrapped.text.split(QLatin1Char('\n'))) {
        EXPECT_FALSE(line.isEmpty());
        EXPECT_LE(measurer.width(line, reportFont(10)), kPrintableRight - 10 - 141.3);
    }
    // Whole words only, nothing lost.
    EXPECT_EQ(wrapped.text.split(QLatin1Char('\n')).join(QLatin1Char(' ')), description.text);
    EXPECT_NEAR(wrapped.rect.height(), wrapped.lineCount() * lineHeight, 1e-9);
    EXPECT_NEAR(grown.rect.height(), 4.8 + (wrapped.lineCount() - 1) * lineHeight, 1e-9);
    // The next row starts below the grown one.
    EXPECT_DOUBLE_EQ(page.bands[3].rect.top(), grown.rect.bottom());
    EXPECT_DOUBLE_EQ(page.bands[3].rect.height(), 4.8);
}

TEST(ReportEngine, FixedTextWrapsButKeepsToItsBand)
{
    ReportBands bands = sampleBands(0);
    const QString longText = QStringLiteral("πολύ μεγάλο κείμενο ").repeated(20);
    bands.columnHeader.elements.push_back({QPointF(141.3, 1.9), longText, reportFont(10)});

    const ReportLayout layout = ReportEngine().layOut(bands);
    const PlacedBand& header = layout.pages.front().bands[1];
    EXPECT_DOUBLE_EQ(header.rect.height(), 8.5);
    EXPECT_LE(header.items[1].rect.bottom(), header.rect.bottom() + 1e-9);
    EXPECT_LE(header.items[1].rect.right(), kPrintableRight + 1e-9);
}

TEST(ReportEngine, EmptyTextsPrintNothing)
{
    ReportBands bands = sampleBands(1);
    bands.details[0].elements.push_back({QPointF(93.1, 0.3), QString(), reportFont(10), true});
    const ReportLayout layout = ReportEngine().layOut(bands);
    EXPECT_EQ(layout.pages.front().bands[2].items.size(), 1u);
}

TEST(ReportEngine, ManyRowsRepeatTheHeaderOnEveryPageAndSumUpOnceAtTheEnd)
{
    constexpr int kRows = 150;
    const ReportLayout layout = ReportEngine().layOut(sampleBands(kRows));
    ASSERT_GE(layout.pages.size(), 3u);

    int nextRow = 0;
    int titles = 0;
    int summaries = 0;
    for (size_t p = 0; p < layout.pages.size(); ++p) {
        const Page& page = layout.pages[p];
        ASSERT_FALSE(page.bands.empty());
        const size_t headerIndex = p == 0 ? 1 : 0;
        ASSERT_GT(page.bands.size(), headerIndex);
        EXPECT_EQ(page.bands[headerIndex].kind, BandKind::ColumnHeader) << "page " << p;
        EXPECT_DOUBLE_EQ(page.bands.front().rect.top(), 10);
        for (const PlacedBand& band : page.bands) {
            EXPECT_LE(band.rect.bottom(), kPrintableBottom + 1e-9);
            if (band.kind == BandKind::Title)
                ++titles;
            if (band.kind == BandKind::Summary) {
                ++summaries;
                EXPECT_EQ(p, layout.pages.size() - 1);
                EXPECT_EQ(nextRow, kRows) << "summary before the last row";
            }
            if (band.kind == BandKind::Detail) {
                EXPECT_EQ(firstText(band), QStringLiteral("row %1").arg(nextRow));
                ++nextRow;
            }
        }
    }
    EXPECT_EQ(nextRow, kRows);
    EXPECT_EQ(titles, 1);
    EXPECT_EQ(summaries, 1);
    EXPECT_EQ(layout.pages.front().bands.front().kind, BandKind::Title);
}

TEST(ReportEngine, PagesAreFilledBeforeBreaking)
{
    const ReportLayout layout = ReportEngine().layOut(sampleBands(150));
    const Page& first = layout.pages.front();
    // Room for another row would have been used.
    EXPECT_GT(first.bands.back().rect.bottom() + 4.8, kPrintableBottom);
}

TEST(ReportEngine, BandMarkedToStartOnNewPageDoes)
{
    ReportBands bands = sampleBands(3);
    bands.summary.startsNewPage = true;
    const ReportLayout layout = ReportEngine().layOut(bands);

    ASSERT_EQ(layout.pages.size(), 2u);
    EXPECT_EQ(kindsOf(layout.pages[0]),
              (std::vector{BandKind::Title, BandKind::ColumnHeader, BandKind::Detail,
                           BandKind::Detail, BandKind::Detail}));
    EXPECT_EQ(kindsOf(layout.pages[1]), (std::vector{BandKind::ColumnHeader, BandKind::Summary}));
}

TEST(ReportEngine, MemoLinesStayLinesAndGrowOnlyPastTheirDesignedHeight)
{
    ReportBands bands = sampleBands(0);
    QStringList memo;
    for (int i = 0; i < 20; ++i)
        memo << (i % 4 == 2 ? QString() : QStringLiteral("γραμμή %1").arg(i));
    bands.summary.height = 194.7;
    bands.summary.elements = {
        {QPointF(4, 5), memo.join(QLatin1Char('\n')), reportFont(10), true, 184}};

    const PlacedBand& summary = ReportEngine().layOut(bands).pages.front().bands.back();
    EXPECT_EQ(summary.items.front().lineCount(), 20);
    EXPECT_EQ(summary.items.front().text.split(QLatin1Char('\n')), memo);
    EXPECT_DOUBLE_EQ(summary.rect.height(), 194.7);
}

TEST(ReportPdf, SavedPagesReadBackAsText)
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    ASSERT_TRUE(saveAsPdf(ReportEngine().layOut(sampleBands(80)), pdf, QStringLiteral("Κινήσεις")));

    QProcess process;
    process.start(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(process.waitForFinished());
    const QString text = QString::fromUtf8(process.readAllStandardOutput());
    const QStringList pages = text.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages[0].startsWith(QStringLiteral("Κινήσεις"))) << text.left(80).toStdString();
    EXPECT_EQ(text.count(QStringLiteral("Κινήσεις")), 1);
    EXPECT_EQ(pages[0].count(QStringLiteral("Ημέρα")), 1);
    EXPECT_EQ(pages[1].count(QStringLiteral("Ημέρα")), 1);
    EXPECT_TRUE(pages[1].contains(QStringLiteral("row 79")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("Σύνολα")));
}

TEST(ReportPdf, UnwritableFileFails)
{
    EXPECT_FALSE(saveAsPdf(ReportEngine().layOut(sampleBands(0)),
                           QStringLiteral("/nonexistent-dir/report.pdf"), QString()));
}

} // namespace
