#include "db_tables.h"
#include "platform/db/DBNavigator.h"

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

TEST_F(Navigator, DetachedNavigatorDoesNothing)
{
    tables.movementSource.setEnabled(false);
    for (int i = 0; i < DBNavigator::kButtonCount; ++i)
        EXPECT_FALSE(enabled(Button(i)));
    navigator.activate(Button::Next);
    EXPECT_EQ(tables.movements.recNo(), 1);
}

} // namespace
