#include "data/Format.h"
#include "pinakas_fixture.h"

#include <QFile>
#include <QTemporaryDir>

using namespace tamisko;
using namespace tamisko::pinakastest;

namespace {

// The sample household book of three years, printed from the table window.
class SampleBook : public PinakasTest
{
protected:
    SampleBook()
    {
        data.OpenDocument(TAMISKO_SAMPLES_DIR "/household-2021-2023.tmk");
        showForm();
        form.LogGrid->setFocus();
    }

    static int bandsOfKind(const report::Page& page, report::BandKind kind)
    {
        int count = 0;
        for (const report::PlacedBand& band : page.bands)
            count += band.kind == kind ? 1 : 0;
        return count;
    }
};

TEST_F(SampleBook, PrintsEveryMovementInDateOrderOnPagesWithHeaders)
{
    const int movements = data.LogTable.recordCount();
    ASSERT_GT(movements, 100);
    answerDialog(pressKey(Qt::Key_Return));
    pressInForm(Qt::Key_P, Qt::ControlModifier);
    ASSERT_EQ(viewer.shown.size(), 1u);
    const report::ReportLayout& layout = viewer.shown.front();

    ASSERT_GT(layout.pages.size(), 2u);
    int details = 0;
    int summaries = 0;
    double previousDate = 0;
    for (const report::Page& page : layout.pages) {
        EXPECT_EQ(bandsOfKind(page, report::BandKind::ColumnHeader), 1);
        details += bandsOfKind(page, report::BandKind::Detail);
        summaries += bandsOfKind(page, report::BandKind::Summary);
        for (const report::PlacedBand& band : page.bands) {
            if (band.kind != report::BandKind::Detail)
                continue;
            const QString dateText = band.items.front().text;
            const std::optional<double> date =
                parseDate(dateText.toStdString(), RegionalSettings::greek().shortDateFormat);
            ASSERT_TRUE(date) << dateText.toStdString();
            EXPECT_GE(*date, previousDate);
            previousDate = *date;
        }
    }
    EXPECT_EQ(details, movements);
    EXPECT_EQ(summaries, 1);
    EXPECT_EQ(bandsOfKind(layout.pages.back(), report::BandKind::Summary), 1);

    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("κινήσεις.pdf"));
    ASSERT_TRUE(report::saveAsPdf(layout, pdf, QStringLiteral("Κινήσεις")));
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5).startsWith("%PDF-"));
}

TEST_F(SampleBook, ExportOfTheWholeBookHasALinePerMovement)
{
    QTemporaryDir folder;
    const QString fileName = folder.filePath(QStringLiteral("όλα.txt"));
    dialogs.answerFile(fileName);
    answerDialog(pressKey(Qt::Key_Return));
    pressInForm(Qt::Key_F, Qt::ControlModifier);

    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    EXPECT_EQ(lines.size(), data.LogTable.recordCount() + 2); // header, and after the last CR LF
    EXPECT_EQ(lines.back(), QByteArray());
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        EXPECT_TRUE(lines[i].endsWith('\r')) << i;
        EXPECT_EQ(lines[i].count('\t'), 4) << i;
    }
}

} // namespace
