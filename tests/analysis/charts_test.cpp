#include "analysis/charts/ChartExport.h"
#include "analysis/charts/ChartPalette.h"
#include "analysis/charts/PieChart3D.h"
#include "analysis/charts/PieGeometry.h"
#include "analysis/charts/PieMarkLayout.h"
#include "analysis/charts/SeriesBarChart.h"
#include "platform/ScriptedDialogService.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <QAction>
#include <QApplication>
#include <QBarSeries>
#include <QBarSet>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLegend>
#include <QMimeData>
#include <QPainter>
#include <QPrinter>
#include <QPrintPreviewDialog>
#include <QScreen>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QWheelEvent>

using namespace tamisko;

namespace {

ChartPoints householdPayments()
{
    return {{QStringLiteral("τρόφιμα"), 1234.5}, {QStringLiteral("ενοίκιο"), 4800},
            {QStringLiteral("ΔΕΗ"), 310.2},      {QStringLiteral("ΟΤΕ"), 150},
            {QStringLiteral("καύσιμα"), 620},    {QStringLiteral("ένδυση"), 275.35},
            {QStringLiteral("διασκέδαση"), 410}, {QStringLiteral("άλλα έξοδα"), 95}};
}

void tick(QTimer& timer)
{
    ASSERT_TRUE(QMetaObject::invokeMethod(&timer, "timeout"));
}

bool allWhite(const QImage& image, const QRect& area)
{
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image.pixelColor(x, y) != QColor(Qt::white))
                return false;
        }
    }
    return true;
}

// --- slices ---------------------------------------------------------------------------

struct SliceCase
{
    const char* name;
    QList<double> values;
    int rotation;
    QList<int> rows;     // rows that get a slice
    QList<double> spans; // their spans in degrees
    double firstStart;
};

class PieSlicesTest : public ::testing::TestWithParam<SliceCase>
{};

TEST_P(PieSlicesTest, SpansAreProportionalAndContiguous)
{
    const SliceCase& c = GetParam();
    ChartPoints points;
    for (double value : c.values)
        points.append({QStringLiteral("x"), value});
    const QList<PieSlice> slices = layOutSlices(points, c.rotation);
    ASSERT_EQ(slices.size(), c.rows.size());
    double expectedStart = c.firstStart;
    for (qsizetype i = 0; i < slices.size(); ++i) {
        EXPECT_EQ(slices[i].row, c.rows[i]);
        EXPECT_NEAR(slices[i].spanAngle, c.spans[i], 1e-9);
        EXPECT_NEAR(slices[i].startAngle, expectedStart, 1e-9);
        expectedStart += slices[i].spanAngle;
    }
}

const double nan = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Values, PieSlicesTest,
    ::testing::Values(
        SliceCase{"Quarters", {100, 300}, 0, {0, 1}, {90, 270}, 0},
        SliceCase{"ZeroNegativeAndNanSkipped", {50, 0, -20, nan, 150}, 0, {0, 4}, {90, 270}, 0},
        SliceCase{"RotationMovesTheStart", {1, 1, 2}, 30, {0, 1, 2}, {90, 90, 180}, 30},
        SliceCase{"RotationTakenModulo360", {5}, 725, {0}, {360}, 5},
        SliceCase{"NegativeRotation", {5}, -90, {0}, {360}, 270},
        SliceCase{"NothingPositive", {0, -5}, 0, {}, {}, 0},
        SliceCase{"NoPoints", {}, 0, {}, {}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// --- colours ---------------------------------------------------------------------------

// The distance of two colours as the eye sees it (CIE 1976 L*a*b*).
double perceivedDistance(const QColor& a, const QColor& b)
{
    const auto lab = [](const QColor& c) {
        const auto linear = [](double v) {
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        const double r = linear(c.redF()), g = linear(c.greenF()), bl = linear(c.blueF());
        const auto f = [](double t) {
            return t > 0.008856 ? std::cbrt(t) : 7.787 * t + 16.0 / 116;
        };
        const double x = f((0.4124 * r + 0.3576 * g + 0.1805 * bl) / 0.95047);
        const double y = f(0.2126 * r + 0.7152 * g + 0.0722 * bl);
        const double z = f((0.0193 * r + 0.1192 * g + 0.9505 * bl) / 1.08883);
        return std::array<double, 3>{116 * y - 16, 500 * (x - y), 200 * (y - z)};
    };
    const auto p = lab(a);
    const auto q = lab(b);
    return std::hypot(p[0] - q[0], p[1] - q[1], p[2] - q[2]);
}

TEST(SliceColors, ThePaletteHasNoTwoLookAlikes)
{
    for (int i = 0; i < automaticColorCount(); ++i) {
        for (int j = i + 1; j < automaticColorCount(); ++j)
            EXPECT_GT(perceivedDistance(automaticColor(i), automaticColor(j)), 25) << i << " " << j;
    }
}

TEST(SliceColors, AllDifferWhileThereAreNoMoreSlicesThanColours)
{
    for (int count = 1; count <= automaticColorCount(); ++count) {
        QSet<QRgb> seen;
        for (int position = 0; position < count; ++position)
            seen.insert(sliceColor(position, count).rgb());
        EXPECT_EQ(seen.size(), count);
    }
}

TEST(SliceColors, NeighboursDifferRoundTheWholePie)
{
    for (int count = 2; count <= 4 * automaticColorCount() + 1; ++count) {
        for (int position = 0; position < count; ++position) {
            const int next = (position + 1) % count;
            EXPECT_NE(sliceColor(position, count), sliceColor(next, count))
                << count << " slices, " << position << " and " << next;
        }
    }
}

// Rows without a value take no colour from the slices that are drawn.
TEST(SliceColors, FollowTheVisibleSlicesNotTheRows)
{
    ChartPoints points;
    for (int row = 0; row < 14; ++row)
        points.append({QStringLiteral("κατηγορία %1").arg(row), row % 2 == 0 ? 0.0 : 10.0 + row});
    PieChart3D pie;
    pie.setPoints(points);
    const QList<QColor> colors = pie.sliceColors();
    ASSERT_EQ(colors.size(), 7);
    EXPECT_EQ(QSet<QRgb>({colors[0].rgb(), colors[1].rgb(), colors[2].rgb(), colors[3].rgb(),
                          colors[4].rgb(), colors[5].rgb(), colors[6].rgb()})
                  .size(),
              7);
}

TEST(PieProjection, RimShowsOnlyOnTheFrontHalf)
{
    using Parts = QList<QPair<double, double>>;
    EXPECT_EQ(PieProjection::visibleRim(60, 60), (Parts{{90, 120}}));
    EXPECT_EQ(PieProjection::visibleRim(300, 100), Parts{}); // across 12 o'clock, at the back
    EXPECT_EQ(PieProjection::visibleRim(250, 250), (Parts{{250, 270}, {450, 500}}));
    EXPECT_EQ(PieProjection::visibleRim(0, 360), (Parts{{90, 270}}));
}

// --- marks ----------------------------------------------------------------------------

TEST(SpreadMarks, KeepsFreeMarksWhereTheyWant)
{
    EXPECT_EQ(spreadMarks({10, 50, 100}, 20, 2, 0, 200), (QList<double>{10, 50, 100}));
}

TEST(SpreadMarks, CrowdedMarksNeitherOverlapNorLeaveTheArea)
{
    const QList<double> wanted{90, 95, 100, 92, 185, 190};
    const double height = 20;
    const double gap = 2;
    const QList<double> tops = spreadMarks(wanted, height, gap, 0, 200);
    ASSERT_EQ(tops.size(), wanted.size());
    QList<double> sorted = tops;
    std::sort(sorted.begin(), sorted.end());
    for (qsizetype i = 1; i < sorted.size(); ++i)
        EXPECT_GE(sorted[i] - sorted[i - 1], height + gap - 1e-9);
    EXPECT_GE(sorted.front(), 0);
    EXPECT_LE(sorted.back() + height, 200);
    // The order of the wanted tops is kept (90 before 92 before 95 before 100).
    EXPECT_LT(tops[0], tops[3]);
    EXPECT_LT(tops[3], tops[1]);
    EXPECT_LT(tops[1], tops[2]);
}

TEST(SpreadMarks, TooManyMarksStayInsideTheArea)
{
    const QList<double> tops = spreadMarks(QList<double>(12, 50), 20, 2, 0, 100);
    for (double top : tops) {
        EXPECT_GE(top, 0);
        EXPECT_LE(top + 20, 100 + 1e-9);
    }
}

// --- the pie widget -------------------------------------------------------------------

class PieChartTest : public ::testing::Test
{
protected:
    PieChartTest()
    {
        pie.resize(480, 320);
        pie.setPoints(householdPayments());
    }

    QTimer& timer() { return *pie.findChild<QTimer*>(); }

    PieChart3D pie;
};

TEST_F(PieChartTest, TurnsOneDegreePerTickWhileRotating)
{
    QSignalSpy changes(&pie, &PieChart3D::rotatingChanged);
    pie.setRotation(358);
    pie.setRotating(true);
    EXPECT_TRUE(timer().isActive());
    EXPECT_EQ(timer().interval(), 50);
    tick(timer());
    EXPECT_EQ(pie.rotation(), 359);
    tick(timer());
    tick(timer());
    EXPECT_EQ(pie.rotation(), 1);
    EXPECT_DOUBLE_EQ(pie.slices().front().startAngle, 1);

    pie.setRotating(false);
    EXPECT_FALSE(timer().isActive());
    EXPECT_FALSE(pie.isRotating());
    ASSERT_EQ(changes.size(), 2);
    EXPECT_TRUE(changes[0][0].toBool());
    EXPECT_FALSE(changes[1][0].toBool());
}

TEST_F(PieChartTest, SettingTheSameStateSignalsNothing)
{
    QSignalSpy changes(&pie, &PieChart3D::rotatingChanged);
    pie.setRotating(false);
    pie.setRotating(true);
    pie.setRotating(true);
    EXPECT_EQ(changes.size(), 1);
}

TEST_F(PieChartTest, DoubleClickTogglesRotation)
{
    QSignalSpy changes(&pie, &PieChart3D::rotatingChanged);
    QTest::mouseDClick(&pie, Qt::LeftButton);
    EXPECT_TRUE(pie.isRotating());
    QTest::mouseDClick(&pie, Qt::LeftButton);
    EXPECT_FALSE(pie.isRotating());
    EXPECT_EQ(changes.size(), 2);
}

TEST_F(PieChartTest, EmptyDataDrawsOnlyTheBackground)
{
    pie.setPoints({{QStringLiteral("ΔΕΗ"), 0}, {QStringLiteral("ΟΤΕ"), -3}});
    const QImage empty = pie.grab().toImage();
    EXPECT_TRUE(allWhite(empty, empty.rect()));

    pie.setPoints(householdPayments());
    const QImage drawn = pie.grab().toImage();
    EXPECT_NE(drawn.pixelColor(drawn.rect().center()), QColor(Qt::white));
}

// --- the bar chart --------------------------------------------------------------------

class BarChartTest : public ::testing::Test
{
protected:
    BarChartTest()
    {
        chart.resize(640, 360);
        chart.showColumn(QStringLiteral("ΔΕΗ (πλ)"), {{QStringLiteral("1/1/2004"), 100},
                                                      {QStringLiteral("1/2/2004"), -30.5},
                                                      {QStringLiteral("1/3/2004"), 1234.5},
                                                      {QStringLiteral("1/4/2004"), 0}});
        chart.show();
        QCoreApplication::processEvents();
    }

    double firstVisibleBar() const
    {
        const QRectF plot = chart.chart()->plotArea();
        return chart.chart()->mapToValue(plot.topLeft(), chart.series()).x();
    }

    SeriesBarChart chart;
};

TEST_F(BarChartTest, ShowsOneRedBarSetWithTheValuesTitleAndLabels)
{
    const QList<QAbstractSeries*> all = chart.chart()->series();
    ASSERT_EQ(all.size(), 1);
    ASSERT_EQ(chart.series()->count(), 1);
    QBarSet* bars = chart.series()->barSets().front();
    ASSERT_EQ(bars->count(), 4);
    EXPECT_EQ(bars->at(0), 100);
    EXPECT_EQ(bars->at(1), -30.5);
    EXPECT_EQ(bars->at(2), 1234.5);
    EXPECT_EQ(bars->at(3), 0);

    const QColor colour = bars->color();
    EXPECT_TRUE(colour.hue() <= 10 || colour.hue() >= 350) << colour.hue();
    EXPECT_GT(colour.saturation(), 180);

    EXPECT_EQ(chart.chart()->title(), QStringLiteral("ΔΕΗ (πλ)"));
    EXPECT_FALSE(chart.chart()->legend()->isVisible());
    EXPECT_EQ(chart.labels(), (QStringList{"1/1/2004", "1/2/2004", "1/3/2004", "1/4/2004"}));
    EXPECT_EQ(chart.markText(2), QStringLiteral("1.234,5"));
    EXPECT_EQ(chart.markText(1), QStringLiteral("-30,5"));
}

TEST_F(BarChartTest, ANewColumnReplacesTheOldOne)
{
    chart.showColumn(QStringLiteral("ΟΤΕ (πλ)"), {{QStringLiteral("1/1/2004"), 7}});
    EXPECT_EQ(chart.barSet()->count(), 1);
    EXPECT_EQ(chart.labels(), QStringList{"1/1/2004"});
    chart.clear();
    EXPECT_EQ(chart.barSet()->count(), 0);
    EXPECT_TRUE(chart.chart()->title().isEmpty());
}

TEST_F(BarChartTest, DoubleClickUndoesZoom)
{
    const QRectF plot = chart.chart()->plotArea();
    chart.chart()->zoomIn(
        QRectF(plot.left() + plot.width() / 2, plot.top(), plot.width() / 4, plot.height()));
    ASSERT_TRUE(chart.chart()->isZoomed());
    QTest::mouseDClick(chart.viewport(), Qt::LeftButton, {}, plot.center().toPoint());
    EXPECT_FALSE(chart.chart()->isZoomed());
    EXPECT_NEAR(firstVisibleBar(), -0.5, 1e-6);
}

TEST_F(BarChartTest, WheelPansHorizontallyAndDoubleClickPansBack)
{
    const double before = firstVisibleBar();
    const QPointF at = chart.chart()->plotArea().center();
    QWheelEvent wheel(at, chart.viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(chart.viewport(), &wheel);
    EXPECT_GT(firstVisibleBar(), before);

    QTest::mouseDClick(chart.viewport(), Qt::LeftButton, {}, at.toPoint());
    EXPECT_NEAR(firstVisibleBar(), before, 1e-6);
}

TEST_F(BarChartTest, SingleClickDoesNotZoom)
{
    QTest::mouseClick(chart.viewport(), Qt::LeftButton, {},
                      chart.chart()->plotArea().center().toPoint());
    EXPECT_FALSE(chart.chart()->isZoomed());
}

// The dates under the bars as the window shows them: what the last repaints left in the
// window's backing store, not a fresh drawing.
class BarDatesTest : public ::testing::Test
{
protected:
    BarDatesTest()
    {
        ChartPoints bars;
        for (int month = 1; month <= 24; ++month)
            bars.append(
                {QStringLiteral("1/%1/%2").arg((month - 1) % 12 + 1).arg(2004 + (month - 1) / 12),
                 double(month * 10)});
        chart.resize(640, 360);
        chart.showColumn(QStringLiteral("ΔΕΗ (πλ)"), bars);
        chart.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&chart));
        settle();
    }

    static void settle()
    {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }

    // The strip under the plot area, where the dates stand.
    QRect dateStrip() const
    {
        const QRect plot = chart.chart()->plotArea().toAlignedRect();
        return QRect(0, plot.bottom() + 2, chart.width(), chart.height() - plot.bottom() - 2);
    }

    void expectScreenShowsAFreshDrawing()
    {
        settle();
        const QImage shown = chart.screen()->grabWindow(chart.winId()).toImage().copy(dateStrip());
        const QImage fresh = chart.grab().toImage().copy(dateStrip());
        ASSERT_EQ(shown.size(), fresh.size());
        EXPECT_TRUE(shown.convertToFormat(QImage::Format_RGB32) ==
                    fresh.convertToFormat(QImage::Format_RGB32));
    }

    SeriesBarChart chart;
};

TEST_F(BarDatesTest, FollowTheBarsAfterAWheelPan)
{
    const QPointF at = chart.chart()->plotArea().center();
    QWheelEvent wheel(at, chart.viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(chart.viewport(), &wheel);
    expectScreenShowsAFreshDrawing();
}

TEST_F(BarDatesTest, FollowTheBarsAfterARubberBandZoom)
{
    const QRectF plot = chart.chart()->plotArea();
    const QPoint from(int(plot.left() + plot.width() * 0.3), int(plot.center().y()));
    const QPoint to(int(plot.left() + plot.width() * 0.6), int(plot.center().y()));
    QTest::mousePress(chart.viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(chart.viewport(), to);
    QTest::mouseRelease(chart.viewport(), Qt::LeftButton, {}, to);
    ASSERT_TRUE(chart.chart()->isZoomed());
    expectScreenShowsAFreshDrawing();
}

TEST_F(BarDatesTest, FollowTheBarsAfterAZoomAndThenAWheelPan)
{
    const QRectF plot = chart.chart()->plotArea();
    chart.chart()->zoomIn(
        QRectF(plot.left() + plot.width() / 3, plot.top(), plot.width() / 3, plot.height()));
    settle();
    const QPointF at = chart.chart()->plotArea().center();
    QWheelEvent wheel(at, chart.viewport()->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(chart.viewport(), &wheel);
    expectScreenShowsAFreshDrawing();
}

TEST_F(BarDatesTest, FollowTheBarsAfterAPanWithTheRightButton)
{
    const QRectF plot = chart.chart()->plotArea();
    const QPoint from = plot.center().toPoint();
    const QPoint to = from - QPoint(int(plot.width() / 5), 0);
    QTest::mousePress(chart.viewport(), Qt::RightButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, to, chart.viewport()->mapToGlobal(to), Qt::NoButton,
                     Qt::RightButton, Qt::NoModifier);
    QCoreApplication::sendEvent(chart.viewport(), &move);
    QTest::mouseRelease(chart.viewport(), Qt::RightButton, {}, to);
    expectScreenShowsAFreshDrawing();
}

// --- clipboard and print --------------------------------------------------------------

TEST(ChartExport, ClipboardGetsSvgWithRealTextAndAnImage)
{
    PieChart3D pie;
    pie.resize(480, 320);
    pie.setPoints(householdPayments());
    copyChartToClipboard(pie);

    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    ASSERT_TRUE(data->hasFormat("image/svg+xml"));
    const QByteArray svg = data->data("image/svg+xml");
    EXPECT_TRUE(svg.contains("<svg"));
    EXPECT_TRUE(svg.contains(QStringLiteral("ενοίκιο").toUtf8()));
    EXPECT_TRUE(svg.contains("4.800"));
    ASSERT_TRUE(data->hasImage());
    const QImage image = qvariant_cast<QImage>(data->imageData());
    EXPECT_EQ(image.size(), pie.size());
}

TEST(ChartExport, BarChartSvgCarriesTitleMarksAndDates)
{
    SeriesBarChart chart;
    chart.resize(640, 360);
    chart.showColumn(QStringLiteral("τρόφιμα (πλ)"),
                     {{QStringLiteral("1/1/2004"), 1234.5}, {QStringLiteral("1/2/2004"), 80}});
    const auto data = chartMimeData(chart);
    const QByteArray svg = data->data("image/svg+xml");
    EXPECT_TRUE(svg.contains(QStringLiteral("τρόφιμα (πλ)").toUtf8()));
    EXPECT_TRUE(svg.contains("1.234,5"));
    EXPECT_TRUE(svg.contains("1/2/2004"));
}

TEST(ChartExport, PagePaintingKeepsTheChartsProportions)
{
    PieChart3D pie;
    pie.resize(400, 200);
    pie.setPoints(householdPayments());
    QImage page(800, 800, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        paintChartPage(pie, painter, page.rect());
    }
    EXPECT_FALSE(allWhite(page, QRect(0, 0, 800, 400)));
    EXPECT_TRUE(allWhite(page, QRect(0, 402, 800, 398)));
}

qint64 printedSize(PaintableChart& chart)
{
    QTemporaryDir dir;
    EXPECT_TRUE(dir.isValid());
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setOutputFileName(dir.filePath("chart.pdf"));
    printChart(chart, printer);
    return QFileInfo(dir.filePath("chart.pdf")).size();
}

// A picture drawn as vectors stays small; one that went through a page-sized pixmap
// would take megabytes.
TEST(ChartExport, PrintsChartsToAPdfPageAsVectors)
{
    PieChart3D pie;
    pie.resize(480, 320);
    pie.setPoints(householdPayments());
    const qint64 pieSize = printedSize(pie);
    EXPECT_GT(pieSize, 1000);
    EXPECT_LT(pieSize, 300'000);

    SeriesBarChart bars;
    bars.resize(640, 360);
    bars.showColumn(QStringLiteral("ΔΕΗ (πλ)"),
                    {{QStringLiteral("1/1/2004"), 100}, {QStringLiteral("1/2/2004"), 80}});
    const qint64 barsSize = printedSize(bars);
    EXPECT_GT(barsSize, 1000);
    EXPECT_LT(barsSize, 300'000);
}

// Printing draws a chart at the printer's resolution; the chart in the window stays as it
// was, in its picture and in its state.
TEST(ChartExport, PrintingLeavesTheChartOnScreenAsItWas)
{
    SeriesBarChart bars;
    bars.resize(640, 360);
    bars.showColumn(QStringLiteral("ΔΕΗ (πλ)"), {{QStringLiteral("1/1/2004"), 100},
                                                 {QStringLiteral("1/2/2004"), -30.5},
                                                 {QStringLiteral("1/3/2004"), 1234.5}});
    PieChart3D pie;
    pie.resize(480, 320);
    pie.setPoints(householdPayments());
    for (QWidget* chart : std::initializer_list<QWidget*>{&bars, &pie}) {
        chart->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(chart));
        QCoreApplication::processEvents();
    }
    const QImage barsBefore = bars.grab().toImage();
    const QImage pieBefore = pie.grab().toImage();
    const QFont titleFont = bars.chart()->titleFont();

    for (PaintableChart* chart : std::initializer_list<PaintableChart*>{&bars, &pie}) {
        const std::unique_ptr<PaintableChart> printed = chart->snapshot();
        QPrinter printer(QPrinter::HighResolution);
        const auto dialog = ChartPrintPreview::createDialog(*printed, printer, nullptr, "x");
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
        dialog->close();
    }
    EXPECT_EQ(bars.chart()->titleFont(), titleFont);
    EXPECT_TRUE(bars.grab().toImage() == barsBefore);
    EXPECT_TRUE(pie.grab().toImage() == pieBefore);
}

// Counts what is painted: the chart itself or its snapshot.
class CountingChart final : public PaintableChart
{
public:
    explicit CountingChart(int& paints, int* snapshotPaints = nullptr)
        : paints_(paints), snapshotPaints_(snapshotPaints)
    {}

    QSize chartSize() const override { return {300, 200}; }
    void paintChart(QPainter& painter, const QRectF& target) override
    {
        ++paints_;
        painter.drawRect(target);
    }
    std::unique_ptr<PaintableChart> snapshot() const override
    {
        return std::make_unique<CountingChart>(*snapshotPaints_);
    }

private:
    int& paints_;
    int* snapshotPaints_;
};

TEST(ChartExport, ThePreviewDrawsASnapshotNeverTheChartItself)
{
    int livePaints = 0;
    int snapshotPaints = 0;
    CountingChart chart(livePaints, &snapshotPaints);
    // The preview is modal: close it as soon as its loop runs.
    QTimer::singleShot(0, [] {
        if (QWidget* preview = QApplication::activeModalWidget())
            preview->close();
    });
    ChartPrintPreview::showDialog(chart, nullptr, QStringLiteral("Γράφημα"));
    EXPECT_GT(snapshotPaints, 0);
    EXPECT_EQ(livePaints, 0);
}

QImage pictureOf(PaintableChart& chart)
{
    QImage image(chart.chartSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    chart.paintChart(painter, QRectF(image.rect()));
    return image;
}

TEST(ChartExport, ASnapshotIsTheChartAsShownZoomAndRotationIncluded)
{
    SeriesBarChart bars;
    bars.resize(640, 360);
    ChartPoints points;
    for (int month = 1; month <= 12; ++month)
        points.append({QStringLiteral("1/%1/2004").arg(month), month * 25.5});
    bars.showColumn(QStringLiteral("ΔΕΗ (πλ)"), points);
    bars.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bars));
    const QRectF plot = bars.chart()->plotArea();
    bars.chart()->zoomIn(
        QRectF(plot.left() + plot.width() / 4, plot.top(), plot.width() / 3, plot.height()));
    QCoreApplication::processEvents(); // the new layout, as the window would get it
    EXPECT_TRUE(pictureOf(*bars.snapshot()) == pictureOf(bars));

    PieChart3D pie;
    pie.resize(480, 320);
    pie.setPoints(householdPayments());
    pie.setRotation(123);
    EXPECT_TRUE(pictureOf(*pie.snapshot()) == pictureOf(pie));
}

TEST(ChartExport, ThePreviewIsGreekAndSavesAsPdf)
{
    PieChart3D pie;
    pie.resize(480, 320);
    pie.setPoints(householdPayments());
    QPrinter printer(QPrinter::HighResolution);
    const auto dialog = ChartPrintPreview::createDialog(pie, printer, nullptr,
                                                        QStringLiteral("Γράφημα - Πληρωμές"));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Γράφημα - Πληρωμές"));
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
    QAction* savePdf = nullptr;
    for (QAction* action : dialog->findChild<QToolBar*>()->actions()) {
        if (action->text() == QStringLiteral("Αποθήκευση ως PDF"))
            savePdf = action;
    }
    ASSERT_NE(savePdf, nullptr);

    QTemporaryDir dir;
    ScriptedDialogService dialogs;
    const ScopedDialogService scope(dialogs);
    dialogs.answerFile(dir.filePath("πίτα.pdf"));
    savePdf->trigger();
    QFile pdf(dir.filePath("πίτα.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
    EXPECT_EQ(dialogs.lastQuestion().file().title, QStringLiteral("Αποθήκευση ως PDF"));

    // A file that cannot be written says so.
    dialogs.answerFile(dir.filePath("no/such/folder/x.pdf"));
    savePdf->trigger();
    EXPECT_EQ(dialogs.lastQuestion().kind, ScriptedDialogService::Kind::Message);
    EXPECT_TRUE(dialogs.lastQuestion().text.startsWith(
        QStringLiteral("Δεν ήταν δυνατή η αποθήκευση του αρχείου")));
}

TEST(ChartExport, PreviewGoesThroughTheInstalledHandler)
{
    PieChart3D pie;
    QWidget owner;
    PaintableChart* shownChart = nullptr;
    QWidget* shownOwner = nullptr;
    QString shownTitle;
    const auto previous = ChartPrintPreview::setHandler(
        [&](PaintableChart& chart, QWidget* parent, const QString& title) {
            shownChart = &chart;
            shownOwner = parent;
            shownTitle = title;
        });
    ChartPrintPreview::show(pie, &owner, QStringLiteral("Γράφημα - Πληρωμές"));
    ChartPrintPreview::setHandler(previous);
    EXPECT_EQ(shownChart, &pie);
    EXPECT_EQ(shownOwner, &owner);
    EXPECT_EQ(shownTitle, QStringLiteral("Γράφημα - Πληρωμές"));
}

} // namespace
