#include "db_tables.h"
#include "platform/db/DBNavigator.h"

#include <QImage>
#include <QLineEdit>
#include <QToolButton>

using namespace tamisko;
using namespace tamisko::dbtest;
using Button = DBNavigator::Button;

namespace {

constexpr double kDay = 45292;

class Navigator : public ControlTest
{
protected:
    Navigator()
    {
        food = tables.addCategory("τρόφιμα");
        for (int i = 0; i < 3; ++i)
            tables.addMovement(kDay + i, food, 10.0 * (i + 1));
        tables.movements.first();
        navigator.setDataSource(&tables.movementSource);
        show();
    }

    void click(Button which) { QTest::mouseClick(navigator.button(which), Qt::LeftButton); }
    bool enabled(Button which) const { return navigator.button(which)->isEnabled(); }

    CashTables tables;
    int food = 0;
    DBNavigator navigator{&window};
};

TEST_F(Navigator, CarriesTheTenHintsInButtonOrder)
{
    const QStringList expected = {"Πρώτη εγγραφή",
                                  "Προηγούμενη εγγραφή",
                                  "Επόμενη εγγραφή",
                                  "Τελευταία εγγραφή",
                                  "Εισαγωγή εγγραφής",
                                  "Διαγραφή εγγραφής",
                                  "Επεξεργασία εγγραφής",
                                  "Επικύρωση ",
                                  "Ακύρωση",
                                  "Ανανέωση"};
    for (int i = 0; i < DBNavigator::kButtonCount; ++i)
        EXPECT_EQ(navigator.button(Button(i))->toolTip(), expected[i]);
}

TEST_F(Navigator, ShowsTheChosenButtonsOnly)
{
    navigator.setVisibleButtons(
        {Button::First, Button::Prior, Button::Next, Button::Last, Button::Post, Button::Cancel});
    for (const Button hidden : {Button::Insert, Button::Delete, Button::Edit, Button::Refresh})
        EXPECT_FALSE(navigator.button(hidden)->isVisible());
    EXPECT_TRUE(navigator.button(Button::Post)->isVisible());
}

TEST_F(Navigator, MovesTheCursorAndEnablesWhatCanBeDone)
{
    EXPECT_FALSE(enabled(Button::First));
    EXPECT_FALSE(enabled(Button::Post));
    click(Button::Next);
    EXPECT_EQ(tables.movements.recNo(), 2);
    click(Button::Last);
    EXPECT_EQ(tables.movements.recNo(), 3);
    EXPECT_FALSE(enabled(Button::Next));
    EXPECT_TRUE(enabled(Button::Prior));

    click(Button::Edit);
    EXPECT_EQ(tables.movements.state(), DataSetState::Edit);
    EXPECT_TRUE(enabled(Button::Post));
    EXPECT_FALSE(enabled(Button::Edit));
    click(Button::Cancel);
    EXPECT_EQ(tables.movements.state(), DataSetState::Browse);
}

TEST_F(Navigator, DeleteAsksFirst)
{
    click(Button::Delete); // unanswered: cancelled
    ASSERT_EQ(dialogs.questions().size(), 1u);
    EXPECT_EQ(dialogs.lastQuestion().text, "Delete record?");
    EXPECT_EQ(dialogs.lastQuestion().message().buttons, QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(tables.movements.recordCount(), 3);

    dialogs.answerButton(QMessageBox::Ok);
    click(Button::Delete);
    EXPECT_EQ(tables.movements.recordCount(), 2);
}

TEST_F(Navigator, ReportsARefusedPostAndKeepsTheRecordPending)
{
    click(Button::Insert);
    tables.movements.setFieldValue("Eispraxi", Variant::fromDouble(1));
    click(Button::Post);
    ASSERT_EQ(dialogs.questions().size(), 1u);
    EXPECT_EQ(dialogs.lastQuestion().text, "Field 'Ημέρα' must have a value");
    EXPECT_EQ(tables.movements.state(), DataSetState::Insert);
}

// The navigator is a tab stop the keyboard can work: the arrows, Home and End move over
// the shown buttons that can be pressed, and Space presses the one that shows the frame.
TEST_F(Navigator, TheKeyboardMovesOverTheButtonsAndSpacePresses)
{
    navigator.setVisibleButtons(
        {Button::First, Button::Prior, Button::Next, Button::Last, Button::Post, Button::Cancel});
    QLineEdit before(&window);
    before.show();
    QWidget::setTabOrder(&before, &navigator);
    before.setFocus();
    ASSERT_TRUE(before.hasFocus());
    QTest::keyClick(&before, Qt::Key_Tab);
    ASSERT_TRUE(navigator.hasFocus());
    EXPECT_EQ(navigator.keyboardButton(), Button::Next) << "First and Prior cannot be pressed";

    struct Step
    {
        Qt::Key key;
        Button framed;
        int recNo;
    };
    const Step steps[] = {
        {Qt::Key_Space, Button::Next, 2},  {Qt::Key_Right, Button::Last, 2},
        {Qt::Key_Right, Button::Last, 2}, // Post and Cancel cannot be pressed
        {Qt::Key_Space, Button::Last, 3},  {Qt::Key_Left, Button::Prior, 3}, // Next is off
        {Qt::Key_Space, Button::Prior, 2}, {Qt::Key_Home, Button::First, 2},
        {Qt::Key_Space, Button::First, 1}, {Qt::Key_End, Button::Last, 1},
        {Qt::Key_Space, Button::Last, 3},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(QKeySequence(step.key).toString().toStdString());
        QTest::keyClick(&navigator, step.key);
        EXPECT_EQ(navigator.keyboardButton(), step.framed);
        EXPECT_EQ(tables.movements.recNo(), step.recNo);
    }
    // Space on a button that has just been switched off does nothing.
    QTest::keyClick(&navigator, Qt::Key_Space);
    EXPECT_EQ(tables.movements.recNo(), 3);
    EXPECT_TRUE(navigator.hasFocus());
}

TEST_F(Navigator, TheButtonThatSpacePressesShowsTheFocusFrame)
{
    QLineEdit elsewhere(&window);
    elsewhere.show();
    elsewhere.setFocus();
    ASSERT_FALSE(navigator.hasFocus());
    const Button framed = Button::Next;
    const QImage plainNext = navigator.button(framed)->grab().toImage();
    const QImage plainLast = navigator.button(Button::Last)->grab().toImage();

    navigator.setFocus(Qt::TabFocusReason);
    ASSERT_EQ(navigator.keyboardButton(), framed);
    EXPECT_NE(navigator.button(framed)->grab().toImage(), plainNext);
    EXPECT_EQ(navigator.button(Button::Last)->grab().toImage(), plainLast);

    elsewhere.setFocus();
    EXPECT_EQ(navigator.button(framed)->grab().toImage(), plainNext);
}

TEST_F(Navigator, DetachedNavigatorDoesNothing)
{
    tables.movementSource.setEnabled(false);
    for (int i = 0; i < DBNavigator::kButtonCount; ++i)
        EXPECT_FALSE(enabled(Button(i)));
    navigator.activate(Button::Next);
    EXPECT_EQ(tables.movements.recNo(), 1);
}

} // namespace
