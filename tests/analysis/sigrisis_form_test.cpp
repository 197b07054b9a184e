#include "analysis/charts/ChartExport.h"
#include "analysis/charts/PieChart3D.h"
#include "analysis/PeriodFrm.h"
#include "analysis/SigrisisFrm.h"
#include "data/TableUtils.h"
#include "platform/db/DateEdit.h"
#include "platform/db/DBGrid.h"
#include "platform/db/FieldText.h"
#include "platform/ScriptedDialogService.h"
#include "platform/Text.h"
#include "reports/SigrisisRpt.h"
#include "sigrisis_book.h"

#include <gtest/gtest.h>
#include <memory>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace tamisko {
namespace {

using testing::Book;
using testing::day;

class SigrisisFormTest : public testing::ComparisonFixture
{
protected:
    SigrisisFormTest() { db::setFormatSettings(RegionalSettings::greek()); }

    SigrisisForm& form()
    {
        if (!form_) {
            form_ = std::make_unique<SigrisisForm>(book.data, report);
            form_->resize(800, 500);
        }
        return *form_;
    }

    void compute(double start, double end)
    {
        form().StartDate->setDayNumber(start);
        form().EndDate->setDayNumber(end);
        QTest::mouseClick(form().btnOK, Qt::LeftButton);
    }

    // Receipts of 1000 (μισθός), payments of 100 (ΔΕΗ) and 300 (ΟΤΕ), and a category
    // with both (τρόφιμα: 50 in, 80 out), all in January 2004.
    void addJanuary()
    {
        book.add(day(2004, 1, 1), "μισθός", 1000, std::nullopt);
        book.add(day(2004, 1, 5), "ΔΕΗ", std::nullopt, 100);
        book.add(day(2004, 1, 10), "ΟΤΕ", std::nullopt, 300);
        book.add(day(2004, 1, 31), "τρόφιμα", 50, 80);
    }

    QString cell(int row, const char* fieldName)
    {
        const TableModel& model = *form().ResultsGrid->tableModel();
        const int column = model.columnOf(form().ResultsTable.fieldByName(fieldName));
        const auto* delegate =
            dynamic_cast<const ResultsCellDelegate*>(form().ResultsGrid->itemDelegate());
        return delegate->cellText(model.index(row, column));
    }

    QStringList categoriesInGridOrder()
    {
        QStringList names;
        for (int row = 0; row < form().ResultsGrid->tableModel()->rowCount(); ++row)
            names.append(cell(row, "Category"));
        return names;
    }

    QStringList sliceLabels(const PieChart3D& chart)
    {
        QStringList labels;
        for (const PieSlice& slice : chart.slices())
            labels.append(chart.points()[slice.row].label);
        return labels;
    }

    Book book;
    std::unique_ptr<SigrisisForm> form_;
};

TEST_F(SigrisisFormTest, StartsOnTheTablePageWithTheSpanOfTheLog)
{
    addJanuary();
    EXPECT_EQ(form().StartDate->dayNumber(), day(2004, 1, 1));
    EXPECT_EQ(form().EndDate->dayNumber(), day(2004, 1, 31));
    EXPECT_EQ(form().PageControl->currentWidget(), form().PinakasTab);
    EXPECT_TRUE(form().cbKUpol->isChecked());
    EXPECT_FALSE(form().itemRotate->isEnabled());
    EXPECT_TRUE(form().itemCopy->isEnabled());
    EXPECT_TRUE(form().itemPreview->isEnabled());
    EXPECT_TRUE(form().itemExport->isEnabled());
    EXPECT_FALSE(form().Timer.isActive());
    EXPECT_FALSE(form().reportReady());
}

TEST_F(SigrisisFormTest, AnEmptyBookShowsEmptyDates)
{
    EXPECT_EQ(form().StartDate->text(), QString());
    EXPECT_EQ(form().EndDate->text(), QString());
}

TEST_F(SigrisisFormTest, PopupItemsFollowThePage)
{
    struct Case
    {
        QWidget* page;
        bool rotate, copy, preview, exportItem;
    };
    const Case cases[] = {
        {form().StatistikaTab, false, true, false, false},
        {form().EispraxisTab, true, true, true, false},
        {form().PinakasTab, false, true, true, true},
        {form().PliromesTab, true, true, true, false},
    };
    for (const Case& c : cases) {
        form().PageControl->setCurrentWidget(c.page);
        const QString tab = form().PageControl->tabText(form().PageControl->currentIndex());
        EXPECT_EQ(form().itemRotate->isEnabled(), c.rotate) << tab.toStdString();
        EXPECT_EQ(form().itemCopy->isEnabled(), c.copy) << tab.toStdString();
        EXPECT_EQ(form().itemPreview->isEnabled(), c.preview) << tab.toStdString();
        EXPECT_EQ(form().itemExport->isEnabled(), c.exportItem) << tab.toStdString();
    }
    const QList<QAction*> items = form().PopupMenu->actions();
    ASSERT_EQ(items.size(), 5);
    EXPECT_EQ(items[0], form().itemRotate);
    EXPECT_TRUE(items[1]->isSeparator());
    EXPECT_EQ(items[4], form().itemExport);
}

// A right click anywhere on a page opens the window's pop-up menu, not a control's own.
TEST_F(SigrisisFormTest, EveryPageOpensTheWindowsPopupMenu)
{
    addJanuary();
    compute(day(2004, 1, 1), day(2004, 1, 31));
    form().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form()));
    struct Case
    {
        QWidget* page;
        QWidget* clicked;
    };
    const Case cases[] = {
        {form().EispraxisTab, form().EispraxisChart},
        {form().PliromesTab, form().PliromesChart},
        {form().StatistikaTab, form().Stat->viewport()},
        {form().PinakasTab, form().ResultsGrid->viewport()},
    };
    for (const Case& c : cases) {
        form().PageControl->setCurrentWidget(c.page);
        const QString tab = form().PageControl->tabText(form().PageControl->currentIndex());
        const QPoint at = c.clicked->rect().center();
        QContextMenuEvent click(QContextMenuEvent::Mouse, at, c.clicked->mapToGlobal(at));
        QApplication::sendEvent(c.clicked, &click);
        EXPECT_TRUE(form().PopupMenu->isVisible()) << tab.toStdString();
        form().PopupMenu->hide();
        // No other menu (the text box's "Αντιγραφή / Επιλογή όλων") came up instead.
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (qobject_cast<QMenu*>(window) && window->isVisible()) {
                ADD_FAILURE() << tab.toStdString() << ": another menu";
                window->close();
            }
        }
    }
}

TEST_F(SigrisisFormTest, OkStopsTheTurningPies)
{
    addJanuary();
    form().PageControl->setCurrentWidget(form().EispraxisTab);
    form().itemRotate->trigger();
    ASSERT_TRUE(form().Timer.isActive());
    EXPECT_EQ(form().Timer.interval(), 50);

    QTest::mouseClick(form().btnOK, Qt::LeftButton);
    EXPECT_FALSE(form().Timer.isActive());
}

TEST_F(SigrisisFormTest, RotationTurnsBothPiesOneDegreeATick)
{
    form().EispraxisChart->setRotation(359);
    form().PliromesChart->setRotation(10);
    form().TimerTimer();
    EXPECT_EQ(form().EispraxisChart->rotation(), 0);
    EXPECT_EQ(form().PliromesChart->rotation(), 11);
}

TEST_F(SigrisisFormTest, ADoubleClickOnEitherPieTogglesTheTurning)
{
    form().show();
    form().PageControl->setCurrentWidget(form().PliromesTab);
    QTest::mouseDClick(form().PliromesChart, Qt::LeftButton);
    EXPECT_TRUE(form().Timer.isActive());
    EXPECT_FALSE(form().PliromesChart->isRotating()); // one timer turns both
    form().PageControl->setCurrentWidget(form().EispraxisTab);
    QTest::mouseDClick(form().EispraxisChart, Qt::LeftButton);
    EXPECT_FALSE(form().Timer.isActive());
}

TEST_F(SigrisisFormTest, ShowsSharesAndBlanksInsteadOfZeros)
{
    addJanuary();
    compute(day(2004, 1, 1), day(2004, 1, 31));

    EXPECT_EQ(categoriesInGridOrder(), (QStringList{"μισθός", "ΔΕΗ", "ΟΤΕ", "τρόφιμα"}));
    EXPECT_EQ(cell(0, "SEispraxeon"), "1000");
    EXPECT_EQ(cell(0, "PEispraxeon"), "95,2%"); // 1000 of 1050
    EXPECT_EQ(cell(1, "PPliromon"), "20,8%");   // 100 of 480
    EXPECT_EQ(cell(2, "PPliromon"), "62,5%");
    EXPECT_EQ(cell(1, "SEispraxeon"), "");
    EXPECT_EQ(cell(1, "AEispraxeon"), "");
    EXPECT_EQ(cell(1, "APliromon"), "1");
    EXPECT_EQ(cell(0, "MEispraxi"), "32,26"); // 1000 / 31 days

    const QStringList stat = form().Stat->toPlainText().split('\n');
    ASSERT_EQ(stat.size(), 20);
    EXPECT_EQ(stat[0], "Ανάλυση περιόδου από 1/1/2004 μέχρι 31/1/2004");
    EXPECT_EQ(stat[1], "Σύνολο ημερών: 31");
    EXPECT_EQ(stat[5], "Διαφορά: 570,00");
    EXPECT_EQ(report.periodText(), "από 1/1/2004 μέχρι 31/1/2004");
    EXPECT_EQ(report.statistics(), stat);
    EXPECT_TRUE(form().reportReady());
}

TEST_F(SigrisisFormTest, TheCheckBoxSwitchesThePiesBetweenNetAndGrossAmounts)
{
    addJanuary();
    compute(day(2004, 1, 1), day(2004, 1, 31));
    // Net: τρόφιμα paid 30 more than it took in, so it is no receipt at all.
    EXPECT_EQ(sliceLabels(*form().EispraxisChart), QStringList{"μισθός"});
    EXPECT_EQ(sliceLabels(*form().PliromesChart), (QStringList{"ΔΕΗ", "ΟΤΕ", "τρόφιμα"}));
    EXPECT_EQ(form().PliromesChart->points()[3].value, 30);

    form().cbKUpol->click();
    EXPECT_EQ(sliceLabels(*form().EispraxisChart), (QStringList{"μισθός", "τρόφιμα"}));
    EXPECT_EQ(form().PliromesChart->points()[3].value, 80);
}

TEST_F(SigrisisFormTest, ATitleClickSortsTheRowsButLeavesThePies)
{
    addJanuary();
    compute(day(2004, 1, 1), day(2004, 1, 31));
    form().show();
    const ChartPoints piesBefore = form().PliromesChart->points();
    QHeaderView* const header = form().ResultsGrid->horizontalHeader();
    const int column =
        form().ResultsGrid->tableModel()->columnOf(form().ResultsTable.fieldByName("SPliromon"));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + 4, header->height() / 2));
    // Ascending, the empty payments first.
    EXPECT_EQ(categoriesInGridOrder(), (QStringList{"μισθός", "τρόφιμα", "ΔΕΗ", "ΟΤΕ"}));
    EXPECT_EQ(form().PliromesChart->points().size(), piesBefore.size());
    EXPECT_EQ(form().PliromesChart->points()[0].label, piesBefore[0].label);
}

TEST_F(SigrisisFormTest, ARangeWithoutMovementsEmptiesTheTableButKeepsThePeriodLabel)
{
    addJanuary();
    compute(day(2004, 1, 1), day(2004, 1, 31));
    compute(day(2005, 1, 1), day(2005, 1, 31));
    EXPECT_EQ(form().ResultsTable.recordCount(), 0);
    EXPECT_EQ(report.periodText(), "από 1/1/2004 μέχρι 31/1/2004");
    EXPECT_EQ(form().Stat->toPlainText(),
              "Δεν υπάρχει καμία κίνηση στην περίοδο από 1/1/2005 μέχρι 31/1/2005.");
    EXPECT_TRUE(form().reportReady());
}

TEST_F(SigrisisFormTest, AnEmptyLogComputesNothing)
{
    compute(day(2004, 1, 1), day(2004, 1, 31));
    EXPECT_FALSE(form().reportReady());
    EXPECT_TRUE(form().Stat->toPlainText().isEmpty());
    EXPECT_EQ(report.periodText(), "period");
}

TEST_F(SigrisisFormTest, TheComputationKeepsTheLogOnItsRecordAndDropsItsPendingEdit)
{
    addJanuary();
    MemTable& log = book.data.LogTable;
    log.setRecNo(2);
    log.edit();
    log.fieldByName("Pliromi").setAsFloat(9999);
    compute(day(2004, 1, 1), day(2004, 1, 31));
    EXPECT_EQ(log.state(), DataSetState::Browse);
    EXPECT_EQ(log.recNo(), 2);
    EXPECT_EQ(log.fieldByName("Pliromi").asFloat(), 100);
    EXPECT_TRUE(book.data.LogSource.enabled());
    EXPECT_TRUE(form().ResultsSource.enabled());
}

TEST_F(SigrisisFormTest, PreviewingTheTableBeforeTheFirstComputationDoesNothing)
{
    addJanuary();
    form().itemPreview->trigger();
    EXPECT_TRUE(viewer.shown.empty());

    compute(day(2004, 1, 1), day(2004, 1, 31));
    form().PageControl->setCurrentWidget(form().StatistikaTab);
    form().itemPreview->trigger();
    EXPECT_TRUE(viewer.shown.empty());

    form().PageControl->setCurrentWidget(form().PinakasTab);
    form().itemPreview->trigger();
    ASSERT_EQ(viewer.shown.size(), 1u);
    EXPECT_EQ(viewer.titles[0], "Ομαδοποίηση εισπράξεων/πληρωμών");
}

TEST_F(SigrisisFormTest, AChartPreviewGoesToTheChartPrintPreview)
{
    std::vector<PaintableChart*> previewed;
    QStringList titles;
    const auto previous =
        ChartPrintPreview::setHandler([&](PaintableChart& chart, QWidget*, const QString& title) {
            previewed.push_back(&chart);
            titles.append(title);
        });
    form().PageControl->setCurrentWidget(form().PliromesTab);
    form().itemPreview->trigger();
    ChartPrintPreview::setHandler(previous);
    ASSERT_EQ(previewed.size(), 1u);
    EXPECT_EQ(previewed[0], static_cast<PaintableChart*>(form().PliromesChart));
    EXPECT_EQ(titles, QStringList{"Γράφημα - Πληρωμές"});
    EXPECT_TRUE(viewer.shown.empty());
}

TEST_F(SigrisisFormTest, CopyPutsThePageOnTheClipboard)
{
    addJanuary();
    compute(day(2004, 1, 1), day(2004, 1, 31));
    QClipboard* const clipboard = QGuiApplication::clipboard();

    form().PageControl->setCurrentWidget(form().StatistikaTab);
    form().itemCopy->trigger();
    const QString statText = clipboard->text();
    EXPECT_TRUE(statText.startsWith("Ανάλυση περιόδου από 1/1/2004 μέχρι 31/1/2004\r\n"));
    EXPECT_EQ(statText.count("\r\n"), 20);
    EXPECT_TRUE(statText.endsWith("χρόνο: 5651,61\r\n")); // 480 / 31 * 365

    form().PageControl->setCurrentWidget(form().PinakasTab);
    form().itemCopy->trigger();
    const QStringList table = clipboard->text().split("\r\n");
    ASSERT_EQ(table.size(), 6); // header, four rows, nothing after the last CR LF
    EXPECT_EQ(table[0], "Κατηγορία\tΣυν. εισπρ.\t%\tΣυν. πληρ.\t%\tΜέση είσπρ.\tΜέση πληρ.\t"
                        "Αριθμ. εισπρ.\tΑριθμ. πληρ.");
    EXPECT_TRUE(table[2].startsWith("ΔΕΗ\t\t\t100\t"));

    form().PageControl->setCurrentWidget(form().EispraxisTab);
    form().itemCopy->trigger();
    const QMimeData* const picture = clipboard->mimeData();
    ASSERT_NE(picture, nullptr);
    EXPECT_TRUE(picture->hasFormat("image/svg+xml"));
    EXPECT_TRUE(picture->hasImage());
}

TEST_F(SigrisisFormTest, ExportWritesTheTableToTheChosenFile)
{
    addJanuary();
    compute(day(2004, 1, 1), day(2004, 1, 31));
    QTemporaryDir dir;
    const QString path = dir.filePath("σύγκριση.txt");

    dialogs.answerCancel();
    form().itemExport->trigger();
    EXPECT_FALSE(QFile::exists(path));

    dialogs.answerFile(path);
    form().itemExport->trigger();
    const auto& question = dialogs.lastQuestion().file();
    EXPECT_EQ(question.filter, "Αρχεία κειμένου (*.txt)");
    EXPECT_EQ(question.defaultSuffix, "txt");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const std::string expected = *cp1253::toUtf8(
        *TableText(form().ResultsTable, db::formatSettings(), TableTextForm::Export));
    EXPECT_EQ(file.readAll().toStdString(), expected);
}

TEST_F(SigrisisFormTest, ThePeriodButtonSetsBothDatesFromTheDialog)
{
    addJanuary();
    form().StartDate->setDayNumber(day(2010, 1, 1));
    form().EndDate->setDayNumber(day(2010, 2, 1));
    PeriodForm& dialog = PeriodForm::instance();
    QTimer::singleShot(0, &dialog, [&dialog] {
        dialog.DateButtons->button(static_cast<int>(periods::Preset::All))->click();
        dialog.OKBtn->click();
    });
    QTest::mouseClick(form().btnDate, Qt::LeftButton);
    EXPECT_EQ(form().StartDate->dayNumber(), day(2004, 1, 1));
    EXPECT_EQ(form().EndDate->dayNumber(), day(2004, 1, 31));
    EXPECT_TRUE(form().Stat->toPlainText().isEmpty()); // nothing computed

    QTimer::singleShot(0, &dialog, [&dialog] { dialog.reject(); });
    form().StartDate->setDayNumber(day(2010, 1, 1));
    QTest::mouseClick(form().btnDate, Qt::LeftButton);
    EXPECT_EQ(form().StartDate->dayNumber(), day(2010, 1, 1));
}

// At the main window's default size (a client area of 792 x 355, of which the tool bar and
// the bottom dock take some 60 pixels) the four tab captions are all in view, with no
// scroll arrows.
TEST_F(SigrisisFormTest, AllFourTabsFitTheDefaultClientArea)
{
    QWidget clientArea;
    clientArea.resize(792, 290);
    SigrisisForm embedded(book.data, report, nullptr, &clientArea);
    clientArea.show();
    embedded.showChild(); // document windows are created hidden, behind the front one
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&clientArea));
    QTabBar* const tabs = embedded.PageControl->tabBar();
    ASSERT_EQ(tabs->count(), 4);
    for (QToolButton* arrow : tabs->findChildren<QToolButton*>())
        EXPECT_FALSE(arrow->isVisible());
    for (int i = 0; i < tabs->count(); ++i) {
        const QRect tab = tabs->tabRect(i);
        EXPECT_TRUE(tabs->rect().contains(tab)) << tabs->tabText(i).toStdString();
        const QFontMetrics metrics(tabs->font());
        // Tabs on the left stand upright: their height holds the caption and the room the
        // style leaves around it, or the caption is cut short.
        EXPECT_GE(tab.height(),
                  metrics.horizontalAdvance(tabs->tabText(i)) +
                      tabs->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, tabs))
            << tabs->tabText(i).toStdString();
    }
}

TEST_F(SigrisisFormTest, EveryColumnIsAtLeastAsWideAsItsTitle)
{
    QHeaderView* const titles = form().ResultsGrid->horizontalHeader();
    ASSERT_TRUE(titles->font().bold());
    const QFontMetrics metrics(titles->font());
    ASSERT_EQ(titles->count(), 9);
    for (int column = 0; column < titles->count(); ++column) {
        const QString title =
            form().ResultsGrid->model()->headerData(column, Qt::Horizontal).toString();
        EXPECT_GE(titles->sectionSize(column), metrics.horizontalAdvance(title) + 4)
            << title.toStdString();
        EXPECT_GE(titles->sectionSize(column), titles->sectionSizeHint(column))
            << title.toStdString();
    }
}

TEST_F(SigrisisFormTest, EmbeddedItFillsTheClientArea)
{
    QWidget clientArea;
    clientArea.resize(700, 420);
    SigrisisForm embedded(book.data, report, nullptr, &clientArea);
    EXPECT_EQ(embedded.parentWidget(), &clientArea);
    EXPECT_FALSE(embedded.isWindow());
    EXPECT_EQ(embedded.geometry(), clientArea.rect());
}

} // namespace
} // namespace tamisko
