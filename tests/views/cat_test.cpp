#include "kinisi_fixture.h"
#include "platform/db/DBGrid.h"
#include "platform/db/DBLookupListBox.h"
#include "views/CatFrm.h"
#include "views/KinisiFrm.h"

using namespace tamisko;
using namespace tamisko::viewtest;
using Kind = ScriptedDialogService::Kind;

namespace {

constexpr double kDay = 45292;

class CategoriesWindow : public DocumentTest
{
protected:
    CategoriesWindow()
    {
        form.setDocumentNotifier(&notifier);
        showWindow(form);
    }

    MemTable& categories() { return data.CatTable; }
    QString current() { return toQString(categories().fieldByName("Category").asString()); }
    void select(const QString& name)
    {
        ASSERT_TRUE(categories().locate("Category", {Variant::fromString(cp(name))}));
    }
    int count() { return categories().recordCount(); }

    CatForm form{data};
};

TEST_F(CategoriesWindow, NewAddsTheNameInItsSortedPlace)
{
    dialogs.answerText("ζάχαρη");
    form.btnNewClick();
    const auto& prompt = dialogs.lastQuestion();
    EXPECT_EQ(prompt.kind, Kind::TextPrompt);
    EXPECT_EQ(prompt.caption, "Νέα κατηγορία");
    EXPECT_EQ(prompt.text, "Γράψε το όνομα της κατηγορίας");
    EXPECT_EQ(std::get<TextPromptRequest>(prompt.request).maxLength, 30);

    EXPECT_EQ(count(), 29);
    const QStringList names = categoryNames();
    EXPECT_EQ(names.indexOf("ζάχαρη"), names.indexOf("εφημερίδες") + 1);
    EXPECT_EQ(notifier.modified, 1);
}

TEST_F(CategoriesWindow, NewWithAnExistingNameSelectsIt)
{
    dialogs.answerText("βιβλία");
    form.btnNewClick();
    ASSERT_EQ(dialogs.questions().size(), 2u);
    const auto& message = dialogs.lastQuestion().message();
    EXPECT_EQ(message.caption, "Πρόβλημα");
    EXPECT_EQ(message.text, "Η κατηγορία \"βιβλία\" ήδη υπάρχει");
    EXPECT_EQ(message.icon, QMessageBox::Critical);
    EXPECT_EQ(message.buttons, QMessageBox::Ok);
    EXPECT_EQ(count(), 28);
    EXPECT_EQ(current(), "βιβλία");
    EXPECT_EQ(form.DBGrid1->currentIndex().data().toString(), "βιβλία");
}

TEST_F(CategoriesWindow, NamesThatDifferInCaseOrAreBlankAreNew)
{
    dialogs.answerText("Βιβλία");
    form.btnNewClick();
    dialogs.answerText(" ");
    form.btnNewClick();
    EXPECT_EQ(count(), 30);
    EXPECT_EQ(categoryNames().front(), " ");
    EXPECT_TRUE(categoryNames().contains("Βιβλία"));
}

TEST_F(CategoriesWindow, CancelledOrEmptyPromptsDoNothing)
{
    dialogs.answerCancel();
    form.btnNewClick();
    dialogs.answerText("");
    form.btnNewClick();
    dialogs.answerText("");
    form.btnChangeClick();
    EXPECT_EQ(count(), 28);
    EXPECT_EQ(dialogs.questions().size(), 3u);
    EXPECT_EQ(notifier.modified, 0);
}

TEST_F(CategoriesWindow, LongNamesAreCutBeforeTheyAreCompared)
{
    const QString thirty = QString(30, QChar(u'α'));
    dialogs.answerText(thirty);
    form.btnNewClick();
    dialogs.answerText(thirty + "βγδ");
    form.btnNewClick();
    EXPECT_EQ(count(), 29);
    EXPECT_EQ(dialogs.lastQuestion().text, "Η κατηγορία \"" + thirty + "\" ήδη υπάρχει");
}

TEST_F(CategoriesWindow, RenameToTheSameNameChangesNothing)
{
    select("βιβλία");
    dialogs.answerText("βιβλία");
    form.btnChangeClick();
    const auto& prompt = dialogs.lastQuestion();
    EXPECT_EQ(prompt.caption, "Αλλαγή κατηγορίας");
    EXPECT_EQ(prompt.text, "Γράψε το νέο όνομα της κατηγορίας");
    EXPECT_EQ(std::get<TextPromptRequest>(prompt.request).initialText, "βιβλία");
    EXPECT_EQ(dialogs.questions().size(), 1u);
    EXPECT_EQ(notifier.modified, 0);
}

TEST_F(CategoriesWindow, RenameRewritesTheMovementsNames)
{
    addMovement(kDay, "βιβλία", 10);
    addMovement(kDay, "καπνός", 5);
    addMovement(kDay, "βιβλία", 1);
    KinisiForm entry(data);
    notifier = {};
    select("βιβλία");
    const int number = catNum("βιβλία");

    dialogs.answerText("Βιβλία και περιοδικά");
    form.btnChangeClick();

    EXPECT_EQ(dialogs.questions().size(), 1u);
    EXPECT_EQ(movementCategories(),
              QStringList({"Βιβλία και περιοδικά", "καπνός", "Βιβλία και περιοδικά"}));
    EXPECT_EQ(catNum("Βιβλία και περιοδικά"), number);
    EXPECT_EQ(count(), 28);
    EXPECT_GE(notifier.modified, 1) << "the document is marked modified";
    const QStringList names = categoryNames();
    EXPECT_EQ(names.indexOf("Βιβλία και περιοδικά"), names.indexOf("αναψυκτικά") + 1);
    auto* const list = entry.DBCategory->model();
    EXPECT_EQ(list->index(names.indexOf("Βιβλία και περιοδικά"), 0).data().toString(),
              "Βιβλία και περιοδικά");
    EXPECT_EQ(current(), "Βιβλία και περιοδικά");
}

TEST_F(CategoriesWindow, RenameToAnExistingNameMergesAfterYes)
{
    addMovement(kDay, "βιβλία", 10);
    addMovement(kDay + 1, "εφημερίδες", 2);
    addMovement(kDay + 2, "βιβλία", 0, 4);
    addMovement(kDay + 3, "βιβλία", 8);
    const int target = catNum("εφημερίδες");
    const long double balance = data.Balance;
    select("βιβλία");

    dialogs.answerText("εφημερίδες");
    form.btnChangeClick(); // unanswered: No
    ASSERT_EQ(dialogs.questions().size(), 2u);
    const auto& question = dialogs.lastQuestion().message();
    EXPECT_EQ(question.caption, "Πρόβλημα");
    EXPECT_EQ(question.text, "Η κατηγορία \"εφημερίδες\" ήδη υπάρχει. Να συγχωνευτεί;");
    EXPECT_EQ(question.icon, QMessageBox::Warning);
    EXPECT_EQ(question.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(count(), 28);

    notifier = {};
    dialogs.answerText("εφημερίδες");
    dialogs.answerButton(QMessageBox::Yes);
    form.btnChangeClick();
    EXPECT_EQ(count(), 27);
    EXPECT_FALSE(categoryNames().contains("βιβλία"));
    EXPECT_EQ(movementCategories(), QStringList(4, "εφημερίδες"));
    for (int row = 0; row < data.LogTable.rowCount(); ++row)
        EXPECT_EQ(data.LogTable.valueAt(row, 1).toInt32(), target);
    data.RecomputeSummary();
    EXPECT_EQ(data.Balance, balance);
    EXPECT_GE(notifier.modified, 1) << "the document is marked modified";
}

TEST_F(CategoriesWindow, MergeOfAnUnusedCategoryStillMarksTheDocument)
{
    select("βιβλία");
    dialogs.answerText("εφημερίδες");
    dialogs.answerButton(QMessageBox::Yes);
    form.btnChangeClick();
    EXPECT_EQ(count(), 27);
    EXPECT_GE(notifier.modified, 1);
}

TEST_F(CategoriesWindow, AHalfTypedMovementGoesWhenAnOperationStarts)
{
    addMovement(kDay, "βιβλία", 10);
    for (const auto operation : {&CatForm::btnNewClick, &CatForm::btnChangeClick}) {
        data.LogTable.append();
        data.LogTable.setFieldValue("Date", Variant::fromDate(kDay));
        dialogs.answerCancel();
        (form.*operation)();
        EXPECT_EQ(data.LogTable.state(), DataSetState::Browse);
        EXPECT_EQ(data.LogTable.recordCount(), 1);
    }
}

TEST_F(CategoriesWindow, TheGridDeletesOnlyCategoriesWithoutMovements)
{
    addMovement(kDay, "βιβλία", 10);
    notifier = {};
    select("βιβλία");
    form.DBGrid1->setFocus();
    QTest::keyClick(form.DBGrid1, Qt::Key_Delete, Qt::ControlModifier);
    ASSERT_EQ(dialogs.questions().size(), 1u);
    EXPECT_EQ(dialogs.lastQuestion().text,
              "Η κατηγορία \"βιβλία\" έχει κινήσεις και δεν διαγράφεται");
    EXPECT_EQ(count(), 28);

    select("καπνός");
    dialogs.answerButton(QMessageBox::Ok);
    QTest::keyClick(form.DBGrid1, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(dialogs.lastQuestion().text, "Delete record?");
    EXPECT_EQ(count(), 27);
    EXPECT_FALSE(categoryNames().contains("καπνός"));
    EXPECT_EQ(notifier.modified, 1);
}

TEST_F(CategoriesWindow, GridListsTheNamesOnlyInTheirOrder)
{
    const TableModel& model = *form.DBGrid1->tableModel();
    ASSERT_EQ(model.columnCount(), 1);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "Κατηγορία");
    EXPECT_EQ(model.rowCount(), 28);
    EXPECT_EQ(model.index(0, 0).data().toString(), "άλλα έξοδα");
}

} // namespace
