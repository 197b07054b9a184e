#include "app/DocumentWindows.h"
#include "app/FileMenuHdl.h"
#include "app/MainFrm.h"
#include "platform/Child.h"
#include "platform/Dates.h"
#include "views/CatFrm.h"
#include "views/kinisi_fixture.h"
#include "views/KinisiFrm.h"
#include "widgets/DotMatrixDisplay.h"

#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

using namespace tamisko;
using namespace tamisko::viewtest;

namespace {

// The entry window in the main window, reached with F10 as the user reaches it.
class EntryInMainWindow : public ::testing::Test
{
protected:
    EntryInMainWindow()
    {
        mainForm.FMH->ProfileDir = dir.path() + u'/';
        mainForm.Placement.setIniFileName(dir.filePath(QStringLiteral("placement.ini")));
        mainForm.setDataModule(data);
        mainForm.setWindowFactory(DocumentWindow::Kinisi, [this](QWidget* clientArea) {
            return new KinisiForm(data, nullptr, clientArea);
        });
        mainForm.setNewMovementCommand(startNewMovement);
        mainForm.show();
        mainForm.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&mainForm));
    }

    KinisiForm* entry() const
    {
        return qobject_cast<KinisiForm*>(mainForm.documentWindow(DocumentWindow::Kinisi));
    }
    static QWidget* focused() { return QApplication::focusWidget(); }
    void press(Qt::Key key) { QTest::keyClick(focused() ? focused() : &mainForm, key); }
    static void type(const QString& text)
    {
        for (const QChar ch : text) {
            const auto key = Qt::Key(ch.toUpper().unicode());
            QTest::sendKeyEvent(QTest::KeyAction::Press, focused(), key, QString(ch), {});
            QTest::sendKeyEvent(QTest::KeyAction::Release, focused(), key, QString(ch), {});
        }
    }
    // F10, then the fields with Enter after each; OK to the question.
    void typeMovement(const QString& category, const char* receipt, const char* payment,
                      const QString& description)
    {
        press(Qt::Key_F10);
        type(category);
        press(Qt::Key_Return);
        QTest::keyClicks(focused(), receipt);
        press(Qt::Key_Return);
        QTest::keyClicks(focused(), payment);
        press(Qt::Key_Return);
        type(description);
        dialogs.answerButton(QMessageBox::Ok);
        press(Qt::Key_Return);
        QCoreApplication::processEvents(); // the balance message is queued
    }
    QString display() const { return mainForm.LCD->lines().value(0); }
    int catNum(const QString& name)
    {
        return data.CatTable.lookup("Category", {Variant::fromString(cp(name))}, "CatNum")
            .toInt32();
    }

    QTemporaryDir dir;
    ScriptedDialogService dialogs;
    ScopedDialogService installed{dialogs};
    DataMod data;
    MainForm mainForm{RegionalSettings::greek()};
};

TEST_F(EntryInMainWindow, F10BeforeAnyDocumentDoesNothing)
{
    press(Qt::Key_F10);
    EXPECT_EQ(entry(), nullptr);
    EXPECT_EQ(data.LogTable.state(), DataSetState::Browse);
}

TEST_F(EntryInMainWindow, F10AfterNewStartsAMovementDatedToday)
{
    mainForm.NewExecute();
    press(Qt::Key_F10);
    ASSERT_NE(entry(), nullptr);
    EXPECT_TRUE(entry()->isVisible());
    EXPECT_EQ(data.LogTable.state(), DataSetState::Insert);
    EXPECT_EQ(data.LogTable.fieldByName("Date").asFloat(), toDayNumber(QDate::currentDate()));
    EXPECT_TRUE(data.LogTable.fieldByName("Category").isNull());
    EXPECT_EQ(focused(), entry()->DBCategory);
    EXPECT_TRUE(entry()->lblCategory->font().bold());
}

TEST_F(EntryInMainWindow, ASavedMovementChangesTheBalanceOnTheDisplay)
{
    mainForm.NewExecute();
    typeMovement("τρό", "12", "", "ψωμί");
    ASSERT_EQ(dialogs.questions().size(), 1u);
    EXPECT_EQ(dialogs.lastQuestion().text, "Να καταχωρηθεί η εγγραφή;");
    EXPECT_EQ(data.LogTable.recordCount(), 1);
    EXPECT_EQ(display(), "       12,00");
    EXPECT_TRUE(mainForm.FMH->Modified());
    EXPECT_EQ(focused(), entry()->DBDate);
    EXPECT_TRUE(entry()->lblDate->font().bold());
}

TEST_F(EntryInMainWindow, F10TwiceWithoutACategoryStartsNoSecondMovement)
{
    mainForm.NewExecute();
    press(Qt::Key_F10);
    press(Qt::Key_F10);
    ASSERT_EQ(dialogs.questions().size(), 1u);
    EXPECT_EQ(dialogs.lastQuestion().text, "Field 'Κατηγορία' must have a value");
    EXPECT_EQ(data.LogTable.state(), DataSetState::Insert);
    EXPECT_EQ(data.LogTable.recordCount(), 0);
}

// F6 and F5 switch windows as leaving and entering a field do: what was typed reaches
// the movement, and exactly the field that has the focus shows its caption bold.
TEST_F(EntryInMainWindow, SwitchingWindowsKeepsWhatWasTypedAndTheCaptionOfTheFocusedField)
{
    mainForm.setWindowFactory(DocumentWindow::Pinakas, [](QWidget* clientArea) {
        auto* table = new ChildForm(nullptr, clientArea);
        new QLineEdit(table);
        return table;
    });
    mainForm.NewExecute();
    press(Qt::Key_F10);
    KinisiForm& form = *entry();
    const std::pair<QWidget*, QLabel*> fields[] = {{form.DBDate, form.lblDate},
                                                   {form.DBCategory, form.lblCategory},
                                                   {form.DBEispraxi, form.lblEispraxi},
                                                   {form.DBPliromi, form.lblPliromi},
                                                   {form.DBPerigrafi, form.lblPerigrafi}};
    const auto expectOnlyTheFocusedCaptionBold = [&] {
        for (const auto& [field, label] : fields)
            EXPECT_EQ(label->font().bold(), field == focused()) << label->text().toStdString();
    };
    struct Step
    {
        QWidget* field;
        const char* typed;
        const char* fieldName;
    };
    const Step steps[] = {{form.DBEispraxi, "12", "Eispraxi"},
                          {form.DBPerigrafi, "δώρο", "Perigrafi"},
                          {form.DBPliromi, "3", "Pliromi"}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.fieldName);
        step.field->setFocus(Qt::TabFocusReason);
        type(QString::fromUtf8(step.typed));
        press(Qt::Key_F6);
        EXPECT_FALSE(form.isVisible());
        const Field& field = data.LogTable.fieldByName(step.fieldName);
        EXPECT_EQ(field.asString(), cp(QString::fromUtf8(step.typed)));

        press(Qt::Key_F5);
        EXPECT_EQ(focused(), step.field) << "back in the field it left";
        expectOnlyTheFocusedCaptionBold();
    }
    EXPECT_EQ(data.LogTable.state(), DataSetState::Insert);
    EXPECT_TRUE(dialogs.questions().empty()) << "no category: nothing to offer to save";
}

TEST_F(EntryInMainWindow, TypedMovementsAreSavedAndReadBack)
{
    mainForm.NewExecute();
    typeMovement("τρό", "12", "", "ψωμί");
    typeMovement("καπ", "", "5", "τσιγάρα");
    EXPECT_EQ(display(), "        7,00");

    const QString path = dir.filePath(QStringLiteral("βιβλίο.tmk"));
    dialogs.answerFile(path);
    mainForm.SaveExecute();
    EXPECT_FALSE(mainForm.FMH->Modified());

    DataMod reread;
    reread.OpenDocument(path.toStdString());
    MemTable& log = reread.LogTable;
    ASSERT_EQ(log.recordCount(), 2);
    log.first();
    EXPECT_EQ(log.fieldByName("CatNum").asInteger(), catNum("τρόφιμα"));
    EXPECT_EQ(log.fieldByName("Eispraxi").asFloat(), 12);
    EXPECT_TRUE(log.fieldByName("Pliromi").isNull());
    EXPECT_EQ(toQString(log.fieldByName("Perigrafi").asString()), "ψωμί");
    log.next();
    EXPECT_EQ(log.fieldByName("CatNum").asInteger(), catNum("καπνός"));
    EXPECT_TRUE(log.fieldByName("Eispraxi").isNull());
    EXPECT_EQ(log.fieldByName("Pliromi").asFloat(), 5);
    EXPECT_EQ(static_cast<double>(reread.Balance), 7);
}

} // namespace
