#include "analysis/charts/SeriesBarChart.h"
#include "analysis/diaxFrm.h"
#include "data/DataMdl.h"
#include "platform/db/FieldText.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QBarSet>
#include <QChart>
#include <QClipboard>
#include <QDir>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTabWidget>
#include <QTest>

namespace tamisko {
namespace {

const QString kSample = QStringLiteral(TAMISKO_SAMPLES_DIR "/household-2021-2023.tmk");

// The window over three years of a household (1500 movements, 2021 to 2023).
class DiaxSampleTest : public ::testing::Test
{
protected:
    DiaxSampleTest()
    {
        db::setFormatSettings(RegionalSettings::greek());
        data.OpenDocument(kSample.toStdString());
        form.resize(960, 600);
        form.EdPeriod->setValue(30);
        QTest::mouseClick(form.btnOK, Qt::LeftButton);
    }

    // With TAMISKO_SCREENSHOT_DIR set, the page is saved there for a look.
    void saveScreenshot(QWidget* page, const QString& name)
    {
        const QString dir = qEnvironmentVariable("TAMISKO_SCREENSHOT_DIR");
        if (dir.isEmpty())
            return;
        form.PageControl->setCurrentWidget(page);
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        QApplication::processEvents();
        EXPECT_TRUE(form.grab().save(QDir(dir).filePath(name)));
    }

    DataMod data;
    DiaxForm form{data};
};

TEST_F(DiaxSampleTest, TheGridCopyIsWhatTamiskoToolPrints)
{
    ASSERT_EQ(form.gridModel().rowCount(), 36);
    QGuiApplication::clipboard()->clear();
    form.itemPinakCopy->trigger();
    const QString copied = QGuiApplication::clipboard()->text();

    QProcess tool;
    tool.start(QStringLiteral(TAMISKO_TOOL_PATH),
               {QStringLiteral("series"), kSample, QStringLiteral("--days"), QStringLiteral("30"),
                QStringLiteral("--locale"), QStringLiteral("el_GR")});
    ASSERT_TRUE(tool.waitForFinished()) << "is tamisko-tool built?";
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    EXPECT_EQ(copied, QString::fromUtf8(tool.readAllStandardOutput()));

    saveScreenshot(form.PinakasTab, QStringLiteral("diax-grid.png"));
}

TEST_F(DiaxSampleTest, TheChartHasABarForEveryMonth)
{
    const QBarSet& bars = *form.DataChart->barSet();
    ASSERT_EQ(bars.count(), 36);
    const QStringList labels = form.DataChart->labels();
    EXPECT_EQ(labels.front(), QStringLiteral("1/1/2021"));
    EXPECT_EQ(labels.back(), QStringLiteral("1/12/2023"));
    EXPECT_EQ(form.DataChart->chart()->title(), form.gridModel().gridText(0, 1));
    for (int r = 0; r < bars.count(); ++r) {
        const QString cell = form.gridModel().gridText(r + 1, 1);
        const double value = cell.isEmpty() ? 0 : QString(cell).replace(',', '.').toDouble();
        EXPECT_DOUBLE_EQ(bars.at(r), value) << r;
    }

    // The column of the payments total, as a user would look at it.
    form.selectCell(1, form.gridModel().gridColumnCount() - 1);
    EXPECT_EQ(form.DataChart->chart()->title(), QStringLiteral("Συν.Κ.Πληρ."));
    saveScreenshot(form.GraphTab, QStringLiteral("diax-chart.png"));
}

} // namespace
} // namespace tamisko
