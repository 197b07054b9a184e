#include "analysis/SigrisisFrm.h"
#include "data/LocaleSettings.h"
#include "platform/db/DateEdit.h"
#include "platform/db/FieldText.h"
#include "platform/ScriptedDialogService.h"
#include "reports/SigrisisRpt.h"
#include "sigrisis_book.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

namespace tamisko {
namespace {

using testing::day;

const char* const kSample = TAMISKO_SAMPLES_DIR "/household-2021-2023.tmk";

// The comparison window on the plain sample book, in the Greek regional settings.
class SigrisisSampleTest : public testing::ComparisonFixture
{
protected:
    SigrisisSampleTest()
    {
        db::setFormatSettings(*RegionalSettingsForLocale("el_GR"));
        data.OpenDocument(kSample);
        form = std::make_unique<SigrisisForm>(data, report);
    }

    void compute(double start, double end)
    {
        form->StartDate->setDayNumber(start);
        form->EndDate->setDayNumber(end);
        QTest::mouseClick(form->btnOK, Qt::LeftButton);
    }

    DataMod data;
    std::unique_ptr<SigrisisForm> form;
};

TEST_F(SigrisisSampleTest, TheToolPrintsWhatTheWindowExports)
{
    compute(day(2022, 3, 1), day(2022, 8, 31));
    ASSERT_GT(form->ResultsTable.recordCount(), 10);
    QTemporaryDir dir;
    const QString exported = dir.filePath("export.txt");
    dialogs.answerFile(exported);
    form->PageControl->setCurrentWidget(form->PinakasTab);
    form->itemExport->trigger();
    QFile file(exported);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QString expected = QString::fromUtf8(file.readAll()) + QStringLiteral("\r\n");
    for (const QString& line : form->Stat->toPlainText().split(QLatin1Char('\n')))
        expected += line + QStringLiteral("\r\n");

    QProcess tool;
    tool.start(QStringLiteral(TAMISKO_TOOL_PATH), {"compare", kSample, "--from", "2022-03-01",
                                                   "--to", "2022-08-31", "--locale", "el_GR"});
    ASSERT_TRUE(tool.waitForFinished());
    EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    EXPECT_EQ(QString::fromUtf8(tool.readAllStandardOutput()), expected);
}

// Not a check: with TAMISKO_SIGRISIS_SCREENSHOT=FILE.png it saves a picture of the
// payments pie over a year of the sample, to look at.
TEST_F(SigrisisSampleTest, Screenshot)
{
    const QString path = qEnvironmentVariable("TAMISKO_SIGRISIS_SCREENSHOT");
    if (path.isEmpty())
        GTEST_SKIP() << "set TAMISKO_SIGRISIS_SCREENSHOT to write the picture";
    compute(day(2023, 1, 1), day(2023, 12, 31));
    form->resize(960, 640);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    // The payments page goes to FILE itself, the other pages next to it.
    const std::pair<QWidget*, QString> pages[] = {{form->EispraxisTab, "-receipts"},
                                                  {form->StatistikaTab, "-statistics"},
                                                  {form->PinakasTab, "-table"},
                                                  {form->PliromesTab, ""}};
    for (const auto& [page, suffix] : pages) {
        form->PageControl->setCurrentWidget(page);
        QCoreApplication::processEvents();
        QString name = path;
        name.insert(name.lastIndexOf('.'), suffix);
        EXPECT_TRUE(form->grab().save(name)) << name.toStdString();
    }
}

} // namespace
} // namespace tamisko
