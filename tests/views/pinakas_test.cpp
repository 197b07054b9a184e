#include "pinakas_fixture.h"
#include "platform/db/DBNavigator.h"

#include <algorithm>
#include <QAction>
#include <QMenu>
#include <QToolButton>

using namespace tamisko;
using namespace tamisko::pinakastest;

namespace {

const QString kDay = QStringLiteral("Ημέρα");
const QString kCategory = QStringLiteral("Κατηγορία");

class TableWindow : public PinakasTest
{
protected:
    TableWindow()
    {
        addMixedMovements();
        showForm();
    }

    std::vector<double> dates() const { return numbers("Date"); }
};

TEST_F(TableWindow, ShowsTheVisibleFieldsUnderTheirLabels)
{
    QStringList titles;
    const QAbstractItemModel* model = form.LogGrid->model();
    for (int column = 0; column < model->columnCount(); ++column)
        titles << model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    EXPECT_EQ(titles, (QStringList{kDay, kCategory, QStringLiteral("Είσπραξη"),
                                   QStringLiteral("Πληρωμή"), QStringLiteral("Περιγραφή")}));
    EXPECT_EQ(columnTexts(1).first(), QStringLiteral("τρόφιμα"));
    EXPECT_EQ(form.LogGrid->font().pixelSize(), 11);
    EXPECT_EQ(form.LogGrid->horizontalHeader()->font().pixelSize(), 12);
    EXPECT_TRUE(form.LogGrid->horizontalHeader()->font().bold());
    EXPECT_TRUE(form.LogGrid->verticalHeader()->isVisible()); // the record indicator
}

TEST_F(TableWindow, NavigatorShowsEveryButtonButRefresh)
{
    using Button = DBNavigator::Button;
    for (int index = 0; index < DBNavigator::kButtonCount; ++index) {
        const auto button = Button(index);
        EXPECT_EQ(form.DBNavigator1->button(button)->isVisible(), button != Button::Refresh)
            << index;
    }
    EXPECT_EQ(form.DBNavigator1->button(Button::Post)->toolTip(), QStringLiteral("Επικύρωση "));
}

TEST_F(TableWindow, ContextMenuOffersTheThreeOperationsWithTheirShortcuts)
{
    const QList<QAction*> items = form.PopupMenu->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0]->text(), QStringLiteral("Προεσκόπιση εκτύπωσης"));
    EXPECT_EQ(items[0]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
    EXPECT_EQ(items[1]->text(), QStringLiteral("Αντιγραφή στο πρόχειρο"));
    EXPECT_EQ(items[1]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Insert));
    EXPECT_EQ(items[2]->text(), QStringLiteral("Εξαγωγή σε αρχείο"));
    EXPECT_EQ(items[2]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F));
}

TEST_F(TableWindow, TwoClicksOnTheDayTitleSortOldestThenNewestFirst)
{
    clickTitle(kDay);
    std::vector<double> expected = dates();
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(dates(), expected);
    EXPECT_EQ(columnTexts(0).first(), QStringLiteral("2/1/2024"));

    clickTitle(kDay);
    std::reverse(expected.begin(), expected.end());
    EXPECT_EQ(dates(), expected);
    EXPECT_EQ(columnTexts(0).first(), QStringLiteral("5/3/2024"));
}

TEST_F(TableWindow, OneClickOnTheCategoryTitleSortsByCategoryNumberNotByName)
{
    clickTitle(kCategory);
    EXPECT_EQ(numbers("CatNum"), (std::vector<double>{0, 1, 9, 14, 27}));
    EXPECT_EQ(columnTexts(1), (QStringList{QStringLiteral("αναψυκτικά"), QStringLiteral("βιβλία"),
                                           QStringLiteral("τρόφιμα"), QStringLiteral("ΔΕΗ"),
                                           QStringLiteral("μισθός")}));
}

TEST_F(TableWindow, EachTitleAlternatesItsOwnDirection)
{
    clickTitle(kDay);
    clickTitle(kCategory); // its first click, whatever the day column did
    EXPECT_EQ(numbers("CatNum"), (std::vector<double>{0, 1, 9, 14, 27}));
    clickTitle(kCategory);
    EXPECT_EQ(numbers("CatNum"), (std::vector<double>{27, 14, 9, 1, 0}));
    clickTitle(kDay); // second click on the day: newest first
    EXPECT_EQ(dates().front(), day(2024, 3, 5));
}

TEST_F(TableWindow, AmountColumnsSortByValue)
{
    clickTitle(QStringLiteral("Πληρωμή"));
    EXPECT_EQ(numbers("Pliromi"), (std::vector<double>{0, 3, 12.5, 25.1, 87.3})); // null first
}

TEST_F(TableWindow, CtrlDelAsksAndOkDeletesAndChangesTheBalance)
{
    const long double balanceBefore = data.Balance;
    form.LogGrid->setFocus();
    form.LogGrid->setCurrentIndex(form.LogGrid->model()->index(1, 0)); // the salary
    ASSERT_EQ(data.LogTable.fieldByName("Eispraxi").asFloat(), 1200);
    dialogs.answerButton(QMessageBox::Ok);
    QTest::keyClick(form.LogGrid, Qt::Key_Delete, Qt::ControlModifier);

    ASSERT_EQ(dialogs.questions().size(), 1u);
    EXPECT_EQ(dialogs.lastQuestion().text, QStringLiteral("Delete record?"));
    EXPECT_EQ(data.LogTable.recordCount(), 4);
    EXPECT_EQ(form.LogGrid->model()->rowCount(), 4);
    EXPECT_EQ(double(data.Balance), double(balanceBefore - 1200));
    EXPECT_GE(notifier.balanceChanged, 1);
    EXPECT_GE(notifier.modified, 1);
}

TEST_F(TableWindow, CtrlDelCancelledKeepsTheMovement)
{
    form.LogGrid->setFocus();
    dialogs.answerButton(QMessageBox::Cancel);
    QTest::keyClick(form.LogGrid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(dialogs.questions().size(), 1u);
    EXPECT_EQ(data.LogTable.recordCount(), 5);
    EXPECT_EQ(notifier.balanceChanged, 0);
}

} // namespace
