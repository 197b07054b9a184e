#include "db_tables.h"
#include "platform/db/DBGrid.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>

using namespace tamisko;
using namespace tamisko::dbtest;
using Indicator = TableModel::Indicator;

namespace {

constexpr double kDay = 45292;

class Grid : public ControlTest
{
protected:
    Grid()
    {
        food = tables.addCategory("τρόφιμα");
        books = tables.addCategory("βιβλία");
        tables.addMovement(kDay, food, 10, "ψωμί");
        tables.addMovement(kDay + 1, books, 20.5, "Οδύσσεια");
        tables.addMovement(kDay + 2, food, 30, "γάλα");
        tables.movements.first();
        grid.setDataSource(&tables.movementSource);
        grid.resize(380, 200);
        after.move(0, 250);
        show();
        grid.setFocus();
    }

    TableModel& model() const { return *grid.tableModel(); }
    QString cell(int row, int column) const { return model().index(row, column).data().toString(); }

    CashTables tables;
    int food = 0, books = 0;
    DBGrid grid{&window};
    QLineEdit after{&window};
};

TEST_F(Grid, ShowsTheVisibleFieldsWithTheirLabels)
{
    ASSERT_EQ(model().columnCount(), 5);
    QStringList titles;
    for (int column = 0; column < 5; ++column)
        titles << model().headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    EXPECT_EQ(titles, QStringList({"Ημέρα", "Κατηγορία", "Είσπραξη", "Πληρωμή", "Περιγραφή"}));
    EXPECT_EQ(model().rowCount(), 3);
    EXPECT_EQ(cell(1, 0), "2/1/2024");
    EXPECT_EQ(cell(1, 1), "βιβλία");
    EXPECT_EQ(cell(1, 2), "20,50");
    EXPECT_EQ(cell(1, 3), "");
    EXPECT_EQ(cell(1, 4), "Οδύσσεια");
}

TEST_F(Grid, FollowsAndMovesTheSharedCursor)
{
    tables.movements.last();
    EXPECT_EQ(grid.currentIndex().row(), 2);
    EXPECT_EQ(model().indicator(2), Indicator::Current);
    EXPECT_EQ(model().indicator(0), Indicator::None);

    QTest::keyClick(&grid, Qt::Key_Up);
    EXPECT_EQ(tables.movements.recNo(), 2);
}

TEST_F(Grid, EditsInPlaceAndPostsWhenTheRowIsLeft)
{
    const QModelIndex text = model().index(0, 4);
    grid.setCurrentIndex(text);
    grid.edit(text);
    auto* const editor = grid.findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->maxLength(), 200);
    editor->setText("ψωμί ολικής");
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the delegate commits after the key
    EXPECT_EQ(tables.movements.state(), DataSetState::Edit);
    EXPECT_EQ(model().indicator(0), Indicator::Editing);

    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(tables.movements.state(), DataSetState::Browse);
    EXPECT_EQ(tables.movements.recNo(), 2);
    EXPECT_EQ(cell(0, 4), "ψωμί ολικής");
}

TEST_F(Grid, LookupCellsOfferTheNamesAndStoreTheKey)
{
    const QModelIndex category = model().index(0, 1);
    grid.setCurrentIndex(category);
    grid.edit(category);
    auto* const combo = grid.findChild<QComboBox*>();
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(0), "βιβλία");
    EXPECT_EQ(combo->currentText(), "τρόφιμα");
    combo->setCurrentIndex(0);
    QTest::keyClick(combo, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(tables.movements.fieldByName("CatNum").asInteger(), books);
    EXPECT_EQ(cell(0, 1), "βιβλία");
}

TEST_F(Grid, RefusesTextThatIsNotTheFieldsType)
{
    EXPECT_FALSE(model().setData(model().index(0, 0), "32/1/2024", Qt::EditRole));
    ASSERT_EQ(dialogs.questions().size(), 1u);
    EXPECT_EQ(dialogs.lastQuestion().text, "'32/1/2024' is not a valid date");
    EXPECT_EQ(cell(0, 0), "1/1/2024");
}

TEST_F(Grid, CtrlDelAsksAndDeletes)
{
    QTest::keyClick(&grid, Qt::Key_Delete, Qt::ControlModifier); // cancelled
    EXPECT_EQ(tables.movements.recordCount(), 3);
    ASSERT_EQ(dialogs.questions().size(), 1u);
    EXPECT_EQ(dialogs.lastQuestion().text, "Delete record?");

    dialogs.answerButton(QMessageBox::Ok);
    QTest::keyClick(&grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(tables.movements.recordCount(), 2);
    EXPECT_EQ(model().rowCount(), 2);
    EXPECT_EQ(cell(0, 4), "Οδύσσεια");
}

TEST_F(Grid, DeleteGuardKeepsTheRecordWithoutAsking)
{
    grid.setDeleteGuard([](MemTable&) { return false; });
    dialogs.answerButton(QMessageBox::Ok);
    QTest::keyClick(&grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(tables.movements.recordCount(), 3);
    EXPECT_TRUE(dialogs.questions().empty());
}

TEST_F(Grid, DownBelowTheLastRowAppendsAndLeavingAnUntouchedRecordDropsIt)
{
    tables.movements.last();
    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(tables.movements.state(), DataSetState::Insert);
    EXPECT_EQ(model().rowCount(), 4);
    EXPECT_EQ(model().indicator(3), Indicator::Inserting);
    EXPECT_EQ(grid.currentIndex().row(), 3);

    QTest::keyClick(&grid, Qt::Key_Up);
    EXPECT_EQ(tables.movements.state(), DataSetState::Browse);
    EXPECT_EQ(model().rowCount(), 3);
    EXPECT_EQ(tables.movements.recordCount(), 3);
}

TEST_F(Grid, TabLeavesTheGrid)
{
    QTest::keyClick(&grid, Qt::Key_Tab);
    EXPECT_TRUE(after.hasFocus());
}

TEST_F(Grid, TitleButtonsReportTheColumnAndItsField)
{
    grid.setTitleButtons(true);
    QSignalSpy clicks(&grid, &DBGrid::titleClicked);
    QHeaderView* const header = grid.horizontalHeader();
    const int x = header->sectionViewportPosition(2) + header->sectionSize(2) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    ASSERT_EQ(clicks.size(), 1);
    EXPECT_EQ(clicks[0][0].toInt(), 2);
    EXPECT_EQ(clicks[0][1].value<Field*>()->fieldName(), "Eispraxi");
}

TEST_F(Grid, ReadOnlyGridEditsNothing)
{
    grid.setReadOnly(true);
    EXPECT_FALSE(model().flags(model().index(0, 4)) & Qt::ItemIsEditable);
    EXPECT_FALSE(model().setData(model().index(0, 4), "x", Qt::EditRole));
    QTest::keyClick(&grid, Qt::Key_Insert);
    EXPECT_EQ(tables.movements.state(), DataSetState::Browse);
}

TEST_F(Grid, DetachedGridShowsNothingAndComesBackOnTheCurrentRecord)
{
    tables.movementSource.setEnabled(false);
    EXPECT_EQ(cell(0, 4), "");
    tables.movements.last();
    tables.movementSource.setEnabled(true);
    EXPECT_EQ(cell(0, 4), "ψωμί");
    EXPECT_EQ(grid.currentIndex().row(), 2);
}

TEST(GridModel, ReadsOnlyTheRowsItIsAskedFor)
{
    // A long table: the model's size comes from the table and a cell far down is read
    // straight from its row, without the model copying anything in between.
    CashTables tables;
    const int food = tables.addCategory("τρόφιμα");
    for (int i = 0; i < 20000; ++i)
        tables.addMovement(kDay + i % 300, food, i);
    TableModel model;
    model.setDataSource(&tables.movementSource);
    EXPECT_EQ(model.rowCount(), 20000);
    EXPECT_EQ(model.index(19999, 2).data().toString(), "19999,00");
    tables.movements.setRecNo(12345);
    EXPECT_EQ(model.cursorRow(), 12344);
}

} // namespace
