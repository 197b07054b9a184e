#include "db_tables.h"
#include "platform/db/CalendarPopup.h"
#include "platform/db/DBDateEdit.h"
#include "platform/db/DBNumericEdit.h"
#include "platform/db/DBTextEdit.h"

#include <functional>
#include <QApplication>
#include <QCalendarWidget>
#include <QFocusEvent>
#include <QLineEdit>
#include <QToolButton>

using namespace tamisko;
using namespace tamisko::dbtest;

namespace {

constexpr double kDay = 45292; // 1 January 2024

class BoundEdits : public ControlTest
{
protected:
    BoundEdits()
    {
        food = tables.addCategory("τρόφιμα");
        tables.addMovement(kDay, food, 10, "ψωμί");
        tables.addMovement(kDay + 1, food, 20, "γάλα");
        tables.movements.first();
        for (auto* edit : {&text, &other}) {
            edit->setDataSource(&tables.movementSource);
            edit->setDataField("Perigrafi");
        }
        date.setDataSource(&tables.movementSource);
        date.setDataField("Date");
        amount.setDataSource(&tables.movementSource);
        amount.setDataField("Eispraxi");
        amount.setDecimals(0);
        plain.setParent(&window);
        plain.move(0, 200);
        show();
    }

    CashTables tables;
    int food = 0;
    DBTextEdit text{&window};
    DBTextEdit other{&window};
    DBDateEdit date{&window};
    DBNumericEdit amount{&window};
    QLineEdit plain;
};

TEST_F(BoundEdits, FollowTheSharedCursor)
{
    EXPECT_EQ(text.text(), "ψωμί");
    EXPECT_EQ(date.text(), "1/1/2024");
    EXPECT_EQ(amount.text(), "10");
    tables.movements.next();
    EXPECT_EQ(text.text(), "γάλα");
    EXPECT_EQ(other.text(), "γάλα");
    EXPECT_EQ(date.text(), "2/1/2024");
}

TEST_F(BoundEdits, TypingEditsTheRecordAndLeavingWritesIt)
{
    text.setFocus();
    QTest::keyClick(&text, Qt::Key_End);
    type(&text, " ολικής");
    EXPECT_EQ(tables.movements.state(), DataSetState::Edit);
    EXPECT_EQ(tables.text("Perigrafi"), "ψωμί") << "the text stays in the control until it leaves";

    plain.setFocus();
    EXPECT_EQ(tables.text("Perigrafi"), "ψωμί ολικής");
    EXPECT_EQ(other.text(), "ψωμί ολικής");
    EXPECT_TRUE(tables.movements.modified());
}

TEST_F(BoundEdits, PostTakesTheTextStillBeingTyped)
{
    text.setFocus();
    text.selectAll();
    type(&text, "τυρί");
    tables.movements.post();
    EXPECT_EQ(tables.text("Perigrafi"), "τυρί");
    EXPECT_EQ(tables.movements.state(), DataSetState::Browse);
}

TEST_F(BoundEdits, EscapeDropsWhatWasTyped)
{
    text.setFocus();
    type(&text, "x");
    QTest::keyClick(&text, Qt::Key_Escape);
    EXPECT_EQ(text.text(), "ψωμί");
    plain.setFocus();
    EXPECT_EQ(tables.text("Perigrafi"), "ψωμί");
}

TEST_F(BoundEdits, TextHoldsTheFieldSizeInCp1253Only)
{
    EXPECT_EQ(text.maxLength(), 200);
    text.setFocus();
    QTest::keyClick(&text, Qt::Key_End);
    type(&text, QString::fromUtf8("ā中€"));
    EXPECT_EQ(text.text(), "ψωμί€");
}

TEST_F(BoundEdits, DisabledSourceDetachesAndReattachesOnTheCurrentRecord)
{
    tables.movementSource.setEnabled(false);
    EXPECT_EQ(text.text(), "");
    EXPECT_EQ(date.text(), "");
    EXPECT_TRUE(text.isReadOnly());
    tables.movements.last(); // unseen while detached
    EXPECT_EQ(text.text(), "");
    tables.movementSource.setEnabled(true);
    EXPECT_EQ(text.text(), "γάλα");
    EXPECT_EQ(date.text(), "2/1/2024");
    EXPECT_FALSE(text.isReadOnly());
}

TEST_F(BoundEdits, CancelShowsTheStoredValueAgain)
{
    text.setFocus();
    type(&text, "x");
    tables.movements.cancel();
    EXPECT_EQ(text.text(), "ψωμί");
}

TEST_F(BoundEdits, InvalidDateIsRefusedWhenLeavingAndTheFocusStays)
{
    date.setFocus();
    date.selectAll();
    type(&date, "31/2/2024");
    plain.setFocus();

    ASSERT_EQ(dialogs.questions().size(), 1u);
    EXPECT_EQ(dialogs.lastQuestion().message().icon, QMessageBox::Critical);
    EXPECT_TRUE(dialogs.lastQuestion().text.contains("31/2/2024"));
    EXPECT_TRUE(date.hasFocus());
    EXPECT_EQ(tables.movements.fieldByName("Date").asFloat(), kDay);

    date.selectAll();
    type(&date, "29/2/2024");
    plain.setFocus();
    EXPECT_TRUE(plain.hasFocus());
    EXPECT_EQ(tables.movements.fieldByName("Date").asFloat(), kDay + 59);
    EXPECT_EQ(dialogs.questions().size(), 1u);
}

TEST_F(BoundEdits, EnterAndExitSignalOnlyRealFocusChanges)
{
    plain.setFocus();
    int entered = 0;
    int exited = 0;
    QObject::connect(&text.binding(), &LineEditBinding::entered, [&] { ++entered; });
    QObject::connect(&text.binding(), &LineEditBinding::exited, [&] { ++exited; });
    text.setFocus();
    plain.setFocus();
    EXPECT_EQ(entered, 1);
    EXPECT_EQ(exited, 1);

    date.setFocus();
    date.selectAll();
    type(&date, "99");
    text.setFocus(); // the date refuses: the text edit never gets the focus
    EXPECT_TRUE(date.hasFocus());
    EXPECT_EQ(entered, 1);
    EXPECT_EQ(exited, 1);
}

// Another control taking the focus is leaving, whatever reason the move carries (a
// window shown in front gives its control the focus as the active window's): the text
// reaches the record and the edit is entered afresh when the focus comes back. A focus-out
// that keeps the edit its window's focus widget (another application in front, a popup)
// is not leaving.
TEST_F(BoundEdits, EveryBoundEditWritesWhatWasTypedWhenAnotherControlTakesTheFocus)
{
    struct Case
    {
        QLineEdit* edit;
        LineEditBinding* binding;
        const char* typed;
        const char* field;
        std::function<void(const Field&)> check;
    };
    tables.movements.edit();
    const Case cases[] = {
        {&text, &text.binding(), "τυρί", "Perigrafi",
         [](const Field& field) {
             EXPECT_EQ(field.asString(), cp("τυρί"));
         }},
        {&date, &date.binding(), "3/1/2024", "Date",
         [](const Field& field) {
             EXPECT_EQ(field.asFloat(), kDay + 2);
         }},
        {&amount, &amount.binding(), "35", "Eispraxi",
         [](const Field& field) {
             EXPECT_EQ(field.asFloat(), 35);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        plain.setFocus();
        int entered = 0;
        int exited = 0;
        QObject::connect(c.binding, &LineEditBinding::entered, [&] { ++entered; });
        QObject::connect(c.binding, &LineEditBinding::exited, [&] { ++exited; });
        c.edit->setFocus(Qt::TabFocusReason);
        c.edit->selectAll();
        type(c.edit, QString::fromUtf8(c.typed));

        QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(c.edit, &away);
        QFocusEvent back(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(c.edit, &back);
        EXPECT_EQ(exited, 0) << "the edit is still its window's focus widget";

        plain.setFocus(Qt::ActiveWindowFocusReason);
        c.check(tables.movements.fieldByName(c.field));
        EXPECT_EQ(exited, 1);
        c.edit->setFocus(Qt::ActiveWindowFocusReason);
        EXPECT_EQ(entered, 2);
        QObject::disconnect(c.binding, nullptr, nullptr, nullptr);
    }
}

TEST_F(BoundEdits, CalendarOpensByMouseOnlyAndPicksADay)
{
    date.setFocus();
    for (const auto key : {Qt::Key_F4, Qt::Key_Down, Qt::Key_Space})
        QTest::keyClick(&date, key, Qt::AltModifier);
    EXPECT_EQ(date.findChild<CalendarPopup*>(), nullptr);

    QTest::mouseClick(date.dropDownButton(), Qt::LeftButton);
    auto* const popup = date.findChild<CalendarPopup*>();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->calendar()->selectedDate(), QDate(2024, 1, 1));
    popup->calendar()->setSelectedDate(QDate(2024, 1, 15));
    emit popup->calendar()->activated(QDate(2024, 1, 15));

    EXPECT_EQ(date.text(), "15/1/2024");
    EXPECT_EQ(tables.movements.state(), DataSetState::Edit);
    tables.movements.post();
    EXPECT_EQ(tables.movements.fieldByName("Date").asFloat(), kDay + 14);
}

struct TypingCase
{
    int decimals;
    const char* keys;
    const char* text;
};

class NumericTyping : public ControlTest, public ::testing::WithParamInterface<TypingCase>
{};

TEST_P(NumericTyping, RefusesWhatTheDecimalsDoNotAllow)
{
    NumericEdit edit(&window);
    edit.setDecimals(GetParam().decimals);
    show();
    edit.setFocus();
    QTest::keyClicks(&edit, GetParam().keys);
    EXPECT_EQ(edit.text(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Cases, NumericTyping,
                         ::testing::Values(TypingCase{0, "12,5", "12,"},
                                           TypingCase{0, "12.5", "12,"},
                                           TypingCase{2, "1,234", "1,23"},
                                           TypingCase{2, "3.5", "3,5"},
                                           TypingCase{2, "1,2,3", "1,23"},
                                           TypingCase{2, "-4a5", "-45"}, TypingCase{2, "5-", "5"}));

TEST_F(BoundEdits, AmountIsWrittenAsANumberAndEmptyAsNull)
{
    amount.setFocus();
    amount.selectAll();
    QTest::keyClicks(&amount, "1250");
    plain.setFocus();
    EXPECT_EQ(tables.movements.fieldByName("Eispraxi").asFloat(), 1250.0);

    amount.setFocus();
    amount.selectAll();
    QTest::keyClick(&amount, Qt::Key_Backspace);
    plain.setFocus();
    EXPECT_TRUE(tables.movements.fieldByName("Eispraxi").isNull());
}

TEST_F(BoundEdits, AmountKeepsDecimalsItCannotShowInItsOwn)
{
    tables.movements.edit();
    tables.movements.setFieldValue("Eispraxi", Variant::fromDouble(12.5));
    EXPECT_EQ(amount.text(), "12,5");
}

TEST_F(BoundEdits, CalculatorResultIsTypedIntoTheAmount)
{
    QTest::mouseClick(amount.dropDownButton(), Qt::LeftButton);
    QWidget* const calculator = QApplication::activePopupWidget();
    ASSERT_NE(calculator, nullptr);
    QTest::keyClicks(calculator, "*3");
    QTest::keyClick(calculator, Qt::Key_Return);
    EXPECT_EQ(amount.text(), "30");
    EXPECT_EQ(tables.movements.state(), DataSetState::Edit);
}

} // namespace
