#include "kinisi_fixture.h"
#include "platform/Dates.h"
#include "platform/db/DBDateEdit.h"
#include "platform/db/DBLookupListBox.h"
#include "platform/db/DBNumericEdit.h"
#include "platform/db/DBTextEdit.h"
#include "views/KinisiFrm.h"

#include <QLabel>
#include <QPushButton>

using namespace tamisko;
using namespace tamisko::viewtest;

namespace {

double today()
{
    return toDayNumber(QDate::currentDate());
}

class EntryWindow : public DocumentTest
{
protected:
    EntryWindow() { showWindow(form); }

    MemTable& log() { return data.LogTable; }
    static bool bold(const QLabel* label) { return label->font().bold(); }
    QList<QLabel*> labels() const
    {
        return {form.lblDate, form.lblCategory, form.lblEispraxi, form.lblPliromi,
                form.lblPerigrafi};
    }
    int boldLabels() const
    {
        int count = 0;
        for (const QLabel* label : labels())
            count += bold(label) ? 1 : 0;
        return count;
    }

    // New movement, then category, receipt and payment with Enter after each field.
    void typeUpToDescription(const QString& category, const char* receipt, const char* payment)
    {
        QTest::mouseClick(form.btnNew, Qt::LeftButton);
        type(category);
        press(Qt::Key_Return);
        QTest::keyClicks(QApplication::focusWidget(), receipt);
        press(Qt::Key_Return);
        QTest::keyClicks(QApplication::focusWidget(), payment);
        press(Qt::Key_Return);
    }

    KinisiForm form{data};
};

TEST_F(EntryWindow, NewMovementIsDatedTodayWithTheFocusInTheCategoryList)
{
    QTest::mouseClick(form.btnNew, Qt::LeftButton);
    EXPECT_EQ(log().state(), DataSetState::Insert);
    EXPECT_EQ(log().fieldByName("Date").asFloat(), today());
    EXPECT_EQ(form.DBDate->text(), QDate::currentDate().toString("d/M/yyyy"));
    EXPECT_TRUE(log().fieldByName("CatNum").isNull());
    EXPECT_EQ(form.DBCategory->selectedRow(), -1);
    EXPECT_TRUE(form.DBCategory->hasFocus());
    EXPECT_TRUE(bold(form.lblCategory));
    EXPECT_EQ(boldLabels(), 1);
    EXPECT_TRUE(form.lblCategory->font().italic());
}

TEST_F(EntryWindow, AFullMovementTypedWithEnterIsSavedAfterTheQuestion)
{
    typeUpToDescription("τρό", "12", "");
    EXPECT_TRUE(form.DBPerigrafi->hasFocus());
    EXPECT_TRUE(bold(form.lblPerigrafi));
    type("ψωμί");
    dialogs.answerButton(QMessageBox::Ok);
    notifier = {};
    press(Qt::Key_Return);

    ASSERT_EQ(dialogs.questions().size(), 1u);
    const auto& question = dialogs.lastQuestion().message();
    EXPECT_EQ(question.text, "Να καταχωρηθεί η εγγραφή;");
    EXPECT_EQ(question.caption, "Ταμίσκες");
    EXPECT_EQ(question.icon, QMessageBox::Question);
    EXPECT_EQ(question.buttons, QMessageBox::Ok | QMessageBox::Cancel);

    EXPECT_EQ(log().state(), DataSetState::Browse);
    ASSERT_EQ(log().recordCount(), 1);
    EXPECT_EQ(toQString(log().fieldByName("Category").asString()), "τρόφιμα");
    EXPECT_EQ(log().fieldByName("Eispraxi").asFloat(), 12);
    EXPECT_TRUE(log().fieldByName("Pliromi").isNull());
    EXPECT_EQ(toQString(log().fieldByName("Perigrafi").asString()), "ψωμί");
    EXPECT_EQ(static_cast<double>(data.Balance), 12);
    EXPECT_GE(notifier.modified, 1);
    EXPECT_GE(notifier.balanceChanged, 1);
    EXPECT_TRUE(form.DBDate->hasFocus());
    EXPECT_TRUE(bold(form.lblDate));
    EXPECT_EQ(boldLabels(), 1);
}

TEST_F(EntryWindow, CancelKeepsTheMovementPendingAndTheNextEnterAsksAgain)
{
    typeUpToDescription("τρό", "", "7");
    press(Qt::Key_Return); // unanswered: Cancel
    EXPECT_EQ(dialogs.questions().size(), 1u);
    EXPECT_EQ(log().state(), DataSetState::Insert);
    EXPECT_EQ(log().recordCount(), 0);

    form.DBPerigrafi->setFocus();
    dialogs.answerButton(QMessageBox::Ok);
    press(Qt::Key_Return);
    EXPECT_EQ(dialogs.questions().size(), 2u);
    EXPECT_EQ(log().recordCount(), 1);
    EXPECT_EQ(static_cast<double>(data.Balance), -7);
}

TEST_F(EntryWindow, NoQuestionWithoutACategoryOrAnAmountOrInBrowseState)
{
    // No category.
    QTest::mouseClick(form.btnNew, Qt::LeftButton);
    form.DBEispraxi->setFocus();
    QTest::keyClicks(form.DBEispraxi, "5");
    form.DBPerigrafi->setFocus();
    press(Qt::Key_Return);
    EXPECT_TRUE(dialogs.questions().empty());
    EXPECT_EQ(log().state(), DataSetState::Insert);

    // A category but no amount.
    form.DBCategory->setFocus();
    type("β");
    form.DBEispraxi->setFocus();
    form.DBEispraxi->selectAll();
    QTest::keyClick(form.DBEispraxi, Qt::Key_Backspace);
    form.DBPerigrafi->setFocus();
    press(Qt::Key_Return);
    EXPECT_TRUE(dialogs.questions().empty());

    // Browse state.
    log().cancel();
    addMovement(today(), "βιβλία", 3);
    form.DBPerigrafi->setFocus();
    press(Qt::Key_Return);
    EXPECT_TRUE(dialogs.questions().empty());
    EXPECT_TRUE(form.DBDate->hasFocus());
}

TEST_F(EntryWindow, ASecondNewMovementWithoutACategoryIsRefused)
{
    QTest::mouseClick(form.btnNew, Qt::LeftButton);
    QTest::mouseClick(form.btnNew, Qt::LeftButton);
    ASSERT_EQ(dialogs.questions().size(), 1u);
    EXPECT_EQ(dialogs.lastQuestion().text, "Field 'Κατηγορία' must have a value");
    EXPECT_EQ(dialogs.lastQuestion().message().icon, QMessageBox::Critical);
    EXPECT_EQ(log().state(), DataSetState::Insert);
    EXPECT_EQ(log().recordCount(), 0);
}

TEST_F(EntryWindow, AmountsTakeWholeNumbersOnly)
{
    QTest::mouseClick(form.btnNew, Qt::LeftButton);
    for (DBNumericEdit* amount : {form.DBEispraxi, form.DBPliromi}) {
        amount->setFocus();
        QTest::keyClicks(amount, "12,5");
        EXPECT_EQ(amount->text(), "12,");
    }
}

TEST_F(EntryWindow, EnterGoesRoundTheFields)
{
    form.DBDate->setFocus();
    QList<QWidget*> visited;
    for (int i = 0; i < 5; ++i) {
        press(Qt::Key_Return);
        visited << QApplication::focusWidget();
    }
    EXPECT_EQ(visited, (QList<QWidget*>{form.DBCategory, form.DBEispraxi, form.DBPliromi,
                                        form.DBPerigrafi, form.DBDate}));
}

struct Accelerator
{
    char16_t letter;
    int field; // index into the ring: date, category, receipt, payment, description
};

class Accelerators : public EntryWindow, public ::testing::WithParamInterface<Accelerator>
{};

TEST_P(Accelerators, AltWithTheLabelsLetterMovesTheFocus)
{
    const QList<QWidget*> fields = {form.DBDate, form.DBCategory, form.DBEispraxi, form.DBPliromi,
                                    form.DBPerigrafi};
    QWidget* const start =
        GetParam().field == 0 ? static_cast<QWidget*>(form.DBPerigrafi) : form.DBDate;
    start->setFocus();
    const QChar letter(GetParam().letter);
    const QString text = letter.toLower();
    QTest::sendKeyEvent(QTest::KeyAction::Press, start, Qt::Key(letter.unicode()), text,
                        Qt::AltModifier);
    QTest::sendKeyEvent(QTest::KeyAction::Release, start, Qt::Key(letter.unicode()), text,
                        Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), fields[GetParam().field]);
    EXPECT_TRUE(bold(labels()[GetParam().field]));
    EXPECT_EQ(boldLabels(), 1);
}

INSTANTIATE_TEST_SUITE_P(Labels, Accelerators,
                         ::testing::Values(Accelerator{u'Η', 0}, Accelerator{u'Κ', 1},
                                           Accelerator{u'Έ', 2}, Accelerator{u'Π', 3},
                                           Accelerator{u'Ρ', 4}));

TEST_F(EntryWindow, InvalidDateKeepsTheFocus)
{
    QTest::mouseClick(form.btnNew, Qt::LeftButton);
    form.DBDate->setFocus();
    form.DBDate->selectAll();
    QTest::keyClicks(form.DBDate, "45/1/2024");
    press(Qt::Key_Return);
    ASSERT_EQ(dialogs.questions().size(), 1u);
    EXPECT_TRUE(form.DBDate->hasFocus());
    EXPECT_EQ(log().fieldByName("Date").asFloat(), today());
}

TEST_F(EntryWindow, ShowsWhateverRecordIsCurrent)
{
    addMovement(45292, "βιβλία", 10);
    addMovement(45293, "καπνός", 0, 4);
    log().first();
    EXPECT_EQ(form.DBCategory->currentIndex().data().toString(), "βιβλία");
    EXPECT_EQ(form.DBEispraxi->text(), "10");
    log().next();
    EXPECT_EQ(form.DBDate->text(), "2/1/2024");
    EXPECT_EQ(form.DBPliromi->text(), "4");
}

} // namespace
