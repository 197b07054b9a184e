#include "app/DocumentWindows.h"
#include "app/FileMenuHdl.h"
#include "app/MainFrm.h"
#include "data/Format.h"
#include "platform/Child.h"
#include "platform/ProfileFile.h"
#include "platform/ScriptedDialogService.h"
#include "platform/Text.h"
#include "reports/LogRpt.h"
#include "reports/ReportPreview.h"
#include "reports/SigrisisRpt.h"
#include "views/KinisiFrm.h"
#include "widgets/DotMatrixDisplay.h"

#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <ostream>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <vector>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

static void initResources()
{
    Q_INIT_RESOURCE(tamisko);
}

using namespace tamisko;
using namespace Qt::StringLiterals;
using Kind = ScriptedDialogService::Kind;

namespace {

const QString kSample = QStringLiteral(TAMISKO_SAMPLES_DIR "/household-2021-2023.tmk");

RegionalSettings settingsWith(int decimals, char separator = ',')
{
    RegionalSettings settings = RegionalSettings::greek();
    settings.currencyDecimals = decimals;
    settings.decimalSeparator = separator;
    return settings;
}

// The main window on a data module, its profile files in a folder of its own, and the
// entry window as the one real document window; the comparison is a plain stand-in.
class MainFormTest : public ::testing::Test
{
protected:
    explicit MainFormTest(const RegionalSettings& settings = settingsWith(2)) : scope(dialogs)
    {
        initResources();
        form = std::make_unique<MainForm>(settings);
        form->setDataModule(data);
        form->FMH->ProfileDir = dir.path() + u'/';
        form->FMH->Arguments = {u"tamisko"_s};
        form->Placement.setIniFileName(iniPath());
        form->setWindowFactory(DocumentWindow::Kinisi, [this](QWidget* clientArea) {
            return new KinisiForm(data, nullptr, clientArea);
        });
        form->setNewMovementCommand(startNewMovement);
        form->setWindowFactory(DocumentWindow::Sigrisis, [](QWidget* clientArea) {
            return new ChildForm(nullptr, clientArea);
        });
    }

    QString iniPath() const { return dir.filePath(u"Tamisko.ini"_s); }

    QString copyOfSample(const QString& name = u"household-2021-2023.tmk"_s) const
    {
        const QString path = dir.filePath(name);
        QFile::copy(kSample, path);
        return path;
    }

    QString lcdText() const { return form->LCD->lines().value(0); }

    // Handles the queued balance message.
    static void processPosted() { QCoreApplication::sendPostedEvents(); }

    QTemporaryDir dir;
    ScriptedDialogService dialogs;
    ScopedDialogService scope;
    DataMod data;
    std::unique_ptr<MainForm> form;
};

TEST_F(MainFormTest, StartsWithoutDocumentAndEnablesEveryActionAtNew)
{
    const QAction* const needDocument[] = {
        form->Save,    form->SaveAs,   form->Kinisis,    form->Sigrisis,  form->Diaxronika,
        form->Pinakas, form->Password, form->Categories, form->NewKinisi, form->ImportMovements};
    for (const QAction* action : form->ActionList) {
        const bool needs = std::find(std::begin(needDocument), std::end(needDocument), action) !=
                           std::end(needDocument);
        EXPECT_EQ(action->isEnabled(), !needs) << action->text().toStdString();
    }
    EXPECT_EQ(form->windowTitle(), u"Οι ταμίσκες μου"_s);
    EXPECT_EQ(lcdText(), u" Tamisko 1.3"_s);

    form->New->trigger();

    for (const QAction* action : form->ActionList)
        EXPECT_TRUE(action->isEnabled()) << action->text().toStdString();
    EXPECT_EQ(form->windowTitle(), u"Οι ταμίσκες μου - Νέες ταμίσκες"_s);
    EXPECT_EQ(lcdText(), u"        0,00"_s);
    EXPECT_EQ(data.CatTable.recordCount(), 28);
}

TEST_F(MainFormTest, F10StartsAMovementOnlyOnceADocumentExists)
{
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));

    QTest::keyClick(form.get(), Qt::Key_F10);
    EXPECT_EQ(form->documentWindow(DocumentWindow::Kinisi), nullptr);

    form->New->trigger();
    QTest::keyClick(form.get(), Qt::Key_F10);
    QWidget* entry = form->documentWindow(DocumentWindow::Kinisi);
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(entry->isVisible());
    EXPECT_EQ(entry->parentWidget(), form->clientArea());
    EXPECT_EQ(entry->geometry(), form->clientArea()->rect());
    EXPECT_EQ(data.LogTable.state(), DataSetState::Insert);

    // The same window again, not a new one.
    form->Kinisis->trigger();
    EXPECT_EQ(form->documentWindow(DocumentWindow::Kinisi), entry);
}

TEST_F(MainFormTest, NewKinisiStandsInNoMenuAndOnNoToolbar)
{
    for (const QMenu* menu : {form->mnuFile, form->mnuData, form->mnuHelp})
        EXPECT_FALSE(menu->actions().contains(form->NewKinisi));
    EXPECT_FALSE(form->MainToolbar->actions().contains(form->NewKinisi));
    EXPECT_EQ(form->NewKinisi->shortcut(), QKeySequence(Qt::Key_F10));
    EXPECT_EQ(form->NewKinisi->statusTip(), u"Δημιουργία νέα κίνησης"_s);

    const QStringList buttons = {form->btnKinisis->text(), form->btnPinakas->text(),
                                 form->btnSigrisis->text(), form->btnDiaxronika->text()};
    EXPECT_EQ(buttons,
              QStringList({u"Κινήσεις"_s, u"Πίνακας"_s, u"Συγκρίσεις"_s, u"Διαχρονικά"_s}));
    EXPECT_FALSE(form->btnKinisis->icon().isNull());
    EXPECT_FALSE(form->MainToolbar->isFloatable());
}

TEST_F(MainFormTest, OpenShowsTheNameAndThenTheBalance)
{
    const QString path = copyOfSample();
    dialogs.answerFile(path);
    form->Open->trigger();

    EXPECT_EQ(form->windowTitle(), u"Οι ταμίσκες μου - household-2021-2023"_s);
    EXPECT_EQ(form->FMH->RecentList(), QStringList({path}));
    EXPECT_TRUE(form->Kinisis->isEnabled());
    // The balance arrives through the message loop.
    EXPECT_EQ(lcdText(), u" Tamisko 1.3"_s);
    processPosted();
    const QString expected = toQString(formatAmount(data.Balance, settingsWith(2)));
    EXPECT_EQ(lcdText().trimmed(), expected);
    EXPECT_EQ(form->LCD->color(), MainForm::kHighlightColour);

    const QString copy = dir.filePath(u"copy.tmk"_s);
    dialogs.answerFile(copy);
    form->SaveAs->trigger();
    EXPECT_EQ(form->windowTitle(), u"Οι ταμίσκες μου - copy"_s);
    EXPECT_TRUE(QFile::exists(copy));
    EXPECT_EQ(form->FMH->RecentList(), QStringList({copy, path}));
}

TEST_F(MainFormTest, AFailedOpenNamesTheFileAndKeepsTheDocument)
{
    form->New->trigger();
    const QString broken = dir.filePath(u"broken.tmk"_s);
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("!not a cash book");
    file.close();

    dialogs.answerFile(broken);
    form->Open->trigger();

    const auto& message = dialogs.lastQuestion().message();
    EXPECT_EQ(message.caption, u"Πρόβλημα"_s);
    EXPECT_EQ(message.icon, QMessageBox::Critical);
    EXPECT_TRUE(message.text.contains(broken));
    EXPECT_EQ(form->windowTitle(), u"Οι ταμίσκες μου - Νέες ταμίσκες"_s);
    EXPECT_EQ(data.CatTable.recordCount(), 28);
}

// Cancelling the password prompt is the user's choice and ends silently; a file that
// cannot be read is reported in Greek by its name, a protected one as a wrong password
// or a damaged file, never in the reader's own words. The open book stays as it was.
TEST_F(MainFormTest, AnOpenThatDoesNotHappenLeavesTheBookAndSaysWhyInGreek)
{
    const QString opened = copyOfSample();
    dialogs.answerFile(opened);
    form->Open->trigger();
    const QString title = form->windowTitle();
    ASSERT_EQ(title, u"Οι ταμίσκες μου - household-2021-2023"_s);
    const int movements = data.LogTable.recordCount();

    QFile sample(kSample);
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    const QByteArray plain = sample.readAll();
    const auto fileWith = [this](const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    };
    const QString protectedBook = dir.filePath(u"κλειδωμένο.tmk"_s);
    QFile::copy(QStringLiteral(TAMISKO_SAMPLES_DIR "/household-2021-2023-protected.tmk"),
                protectedBook);
    const char* const noMessage = nullptr;
    struct Case
    {
        const char* what;
        QString path;
        std::optional<std::string> password; // nothing: the prompt is cancelled
        const char* message;
    };
    const Case cases[] = {
        {"cancelled prompt", protectedBook, std::nullopt, noMessage},
        {"unknown marker, cancelled prompt", fileWith(u"άγνωστο.tmk"_s, "not a cash book"),
         std::nullopt, noMessage},
        {"wrong password", protectedBook, fromQString(u"λάθος"_s).value(),
         "Ο κωδικός είναι λάθος ή το αρχείο %1 είναι κατεστραμμένο."},
        {"cut short", fileWith(u"μισό.tmk"_s, plain.left(plain.size() / 2)), std::nullopt,
         "Το αρχείο %1 είναι κατεστραμμένο."},
        {"not a cash book", fileWith(u"χαλασμένο.tmk"_s, "!not a cash book"), std::nullopt,
         "Το αρχείο %1 είναι κατεστραμμένο."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dialogs.answerFile(c.path);
        if (c.password)
            dialogs.answerPassword(*c.password);
        const size_t asked = dialogs.questions().size();
        form->Open->trigger();

        std::vector<ScriptedDialogService::Question> messages;
        for (size_t i = asked; i < dialogs.questions().size(); ++i) {
            if (dialogs.questions()[i].kind == Kind::Message)
                messages.push_back(dialogs.questions()[i]);
        }
        if (!c.message) {
            EXPECT_TRUE(messages.empty());
        } else {
            ASSERT_EQ(messages.size(), 1u);
            const MessageRequest& message = messages.front().message();
            EXPECT_EQ(message.caption, u"Πρόβλημα"_s);
            EXPECT_EQ(message.icon, QMessageBox::Critical);
            EXPECT_EQ(message.text, QString::fromUtf8(c.message).arg(c.path));
        }
        EXPECT_EQ(dialogs.pendingAnswers(), 0u);
        EXPECT_EQ(form->windowTitle(), title);
        EXPECT_EQ(form->FMH->FileName(), opened);
        EXPECT_EQ(form->FMH->RecentList(), QStringList({opened}));
        EXPECT_EQ(data.LogTable.recordCount(), movements);
        EXPECT_TRUE(data.DocumentPassword.empty());
    }

    dialogs.answerFile(protectedBook);
    dialogs.answerPassword(fromQString(u"δοκιμή"_s).value());
    form->Open->trigger();
    EXPECT_EQ(form->windowTitle(), u"Οι ταμίσκες μου - κλειδωμένο"_s);
}

TEST_F(MainFormTest, AFailedSaveIsReportedKeepsTheChangesAndTheWindow)
{
    form->show();
    form->New->trigger();
    form->sendDataModified();
    ASSERT_TRUE(form->FMH->Modified());

    dialogs.answerButton(QMessageBox::Yes);
    dialogs.answerFile(dir.filePath(u"no such folder/book.tmk"_s));
    EXPECT_FALSE(form->close());

    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->FMH->Modified());
    const auto& message = dialogs.lastQuestion().message();
    EXPECT_EQ(message.caption, u"Πρόβλημα"_s);
    EXPECT_EQ(message.icon, QMessageBox::Critical);
    EXPECT_TRUE(message.text.contains(u"book.tmk"_s));
}

TEST_F(MainFormTest, ExitAsksAboutUnsavedChanges)
{
    form->show();
    form->New->trigger();
    form->sendDataModified();

    dialogs.answerButton(QMessageBox::Cancel);
    form->Exit->trigger();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(dialogs.lastQuestion().caption, u"Αποθήκευση αλλαγών"_s);

    dialogs.answerButton(QMessageBox::No);
    form->Exit->trigger();
    EXPECT_FALSE(form->isVisible());
}

TEST_F(MainFormTest, TheDataModuleMarksTheDocumentAtOnceAndTheBalanceLater)
{
    form->New->trigger();
    form->TimerTimer();
    data.Balance = 42;

    form->postBalanceChanged();
    form->sendDataModified();

    EXPECT_TRUE(form->FMH->Modified());
    EXPECT_EQ(lcdText(), u"        0,00"_s);
    processPosted();
    EXPECT_EQ(lcdText(), u"       42,00"_s);
}

TEST_F(MainFormTest, PasswordMarksTheDocumentModifiedEvenWhenCancelled)
{
    form->New->trigger();
    data.DocumentPassword = "old";
    dialogs.answerCancel();

    form->Password->trigger();

    EXPECT_TRUE(form->FMH->Modified());
    EXPECT_EQ(data.DocumentPassword, "old");
    const auto& question = dialogs.lastQuestion();
    ASSERT_EQ(question.kind, Kind::PasswordChange);
    EXPECT_EQ(question.password, "old");
    const auto& request = std::get<PasswordChangeRequest>(question.request);
    EXPECT_EQ(request.minLength, 3);
    EXPECT_EQ(request.helpContext, 70);
    EXPECT_EQ(request.caption, u"Κωδικός"_s);
    EXPECT_EQ(request.prompt, u"Εισαγωγή κωδικού:"_s);
    EXPECT_EQ(request.reenterPrompt, u"Επαναεισαγωγή κωδικού:"_s);
    EXPECT_EQ(request.mismatchMessage, u"Οι κωδικοί δεν ταυτίζονται. Ξαναδοκιμάστε."_s);
    EXPECT_EQ(request.tooShortFormat, u"Ο κωδικός χρειάζεται τουλάχιστον %d χαρακτήρες"_s);
}

TEST_F(MainFormTest, NewReleasesTheComparisonWindow)
{
    form->New->trigger();
    form->Sigrisis->trigger();
    const QPointer<QWidget> first = form->documentWindow(DocumentWindow::Sigrisis);
    ASSERT_TRUE(first);

    form->New->trigger();
    EXPECT_EQ(form->documentWindow(DocumentWindow::Sigrisis), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());

    form->Sigrisis->trigger();
    EXPECT_NE(form->documentWindow(DocumentWindow::Sigrisis), nullptr);
}

TEST_F(MainFormTest, PrintActionExplainsTheContextMenus)
{
    form->PrintAction->trigger();
    const auto& message = dialogs.lastQuestion().message();
    EXPECT_EQ(message.icon, QMessageBox::Information);
    EXPECT_EQ(message.buttons, QMessageBox::Ok);
    EXPECT_EQ(message.text, u"Για να εκτυπώσετε με προεσκόπιση, πατήστε δεξί κλικ επάνω\r\n"
                            "σε οποιοδήποτε γράφημα ή πίνακα του προγράμματος."_s);
}

TEST_F(MainFormTest, TheHighlightEndsSixSecondsAfterTheFirstChange)
{
    form->ShowBalance(10);
    EXPECT_EQ(form->LCD->color(), MainForm::kHighlightColour);
    EXPECT_EQ(form->LCD->pixelOff(), MainForm::kHighlightPixelOff);
    ASSERT_TRUE(form->Timer.isActive());
    EXPECT_EQ(form->Timer.interval(), 6000);
    const int timer = form->Timer.timerId();

    // A second change updates the text but does not restart the running timer.
    form->ShowBalance(20);
    EXPECT_EQ(lcdText(), u"       20,00"_s);
    EXPECT_EQ(form->Timer.timerId(), timer);

    form->TimerTimer();
    EXPECT_FALSE(form->Timer.isActive());
    EXPECT_EQ(form->LCD->color(), MainForm::kDisplayColour);
    EXPECT_EQ(form->LCD->pixelOff(), MainForm::kDisplayPixelOff);
    EXPECT_EQ(lcdText(), u"       20,00"_s);
}

TEST_F(MainFormTest, StartsWithTheCommandLineDocumentAndWritesItsProfileAtTheEnd)
{
    const QString path = copyOfSample(u"book.tmk"_s);
    form->FMH->Arguments = {u"tamisko"_s, path};

    form->show();
    EXPECT_EQ(form->windowTitle(), u"Οι ταμίσκες μου - book"_s);
    processPosted();
    EXPECT_NE(lcdText(), u" Tamisko 1.3"_s);

    form.reset();
    ProfileFile profile(iniPath());
    EXPECT_EQ(profile.readString(u"RecentFiles"_s, u"File0"_s), path);
    EXPECT_FALSE(profile.readString(u"TMainForm"_s, u"NormPos"_s).isEmpty());
}

// The program's own document windows, as the entry point registers them.
class ProgramWindowsTest : public MainFormTest
{
protected:
    struct NoViewer final : report::ReportViewer
    {
        void show(const report::ReportLayout&, const QString&) override {}
    };

    ProgramWindowsTest() { registerDocumentWindows(*form, data, logReport, sigrisisReport); }

    NoViewer viewer;
    LogReport logReport{viewer};
    SigrisisReport sigrisisReport{viewer};
};

TEST_F(ProgramWindowsTest, EveryCommandShowsItsWindowEmbeddedInTheClientArea)
{
    form->show();
    dialogs.answerFile(copyOfSample());
    form->Open->trigger();
    processPosted();

    const std::pair<QAction*, DocumentWindow> commands[] = {
        {form->Kinisis, DocumentWindow::Kinisi},
        {form->Pinakas, DocumentWindow::Pinakas},
        {form->Categories, DocumentWindow::Categories},
        {form->Sigrisis, DocumentWindow::Sigrisis},
        {form->Diaxronika, DocumentWindow::Diaxronika}};
    for (const auto& [action, window] : commands) {
        SCOPED_TRACE(action->text().toStdString());
        action->trigger();
        QWidget* shown = form->documentWindow(window);
        ASSERT_NE(shown, nullptr);
        EXPECT_TRUE(shown->isVisible());
        EXPECT_FALSE(shown->isWindow());
        EXPECT_EQ(shown->geometry(), form->clientArea()->rect());
    }

    // The analysis windows go at New, the table stays.
    QWidget* table = form->documentWindow(DocumentWindow::Pinakas);
    form->New->trigger();
    EXPECT_EQ(form->documentWindow(DocumentWindow::Sigrisis), nullptr);
    EXPECT_EQ(form->documentWindow(DocumentWindow::Diaxronika), nullptr);
    EXPECT_EQ(form->documentWindow(DocumentWindow::Pinakas), table);
}

// Keys pressed in the window in front stay there: the windows behind it take neither
// the focus nor an accelerator, so no key edits the movement they show.
TEST_F(ProgramWindowsTest, TheKeyboardStaysInTheWindowInFront)
{
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    dialogs.answerFile(copyOfSample());
    form->Open->trigger();
    processPosted();
    for (QAction* const command :
         {form->Kinisis, form->Pinakas, form->Categories, form->Sigrisis, form->Diaxronika})
        command->trigger();
    const std::string description = data.LogTable.fieldByName("Perigrafi").asString();

    using Key = std::pair<Qt::Key, Qt::KeyboardModifiers>;
    const Key tab{Qt::Key_Tab, Qt::NoModifier};
    const Key backtab{Qt::Key_Backtab, Qt::ShiftModifier};
    const auto alt = [](char16_t letter) {
        return Key{Qt::Key(letter), Qt::AltModifier};
    };
    const std::vector<Key> accelerators = {alt(u'Ρ'), alt(u'Η'), alt(u'Κ'), alt(u'Έ'), alt(u'Π')};
    const std::vector<Key> tabs(8, tab);
    const std::vector<Key> backtabs(4, backtab);
    const Key letter{Qt::Key(u'Α'), Qt::NoModifier};
    const std::vector<Key> typing = {alt(u'Ρ'), letter, letter, alt(u'Π'), letter};
    struct Case
    {
        QAction* command;
        DocumentWindow window;
        std::vector<Key> keys;
    };
    const Case cases[] = {
        {form->Pinakas, DocumentWindow::Pinakas, accelerators},
        {form->Pinakas, DocumentWindow::Pinakas, tabs},
        {form->Pinakas, DocumentWindow::Pinakas, backtabs},
        {form->Kinisis, DocumentWindow::Kinisi, tabs},
        {form->Kinisis, DocumentWindow::Kinisi, backtabs},
        {form->Categories, DocumentWindow::Categories, accelerators},
        {form->Categories, DocumentWindow::Categories, tabs},
        {form->Categories, DocumentWindow::Categories, typing},
        {form->Sigrisis, DocumentWindow::Sigrisis, accelerators},
        {form->Sigrisis, DocumentWindow::Sigrisis, tabs},
        {form->Diaxronika, DocumentWindow::Diaxronika, accelerators},
        {form->Diaxronika, DocumentWindow::Diaxronika, backtabs},
    };
    for (const Case& c : cases) {
        c.command->trigger();
        QWidget* const front = form->documentWindow(c.window);
        for (const auto& [key, modifiers] : c.keys) {
            const QString trace = front->objectName() + u' ' +
                                  QKeySequence(key | modifiers).toString(QKeySequence::NativeText);
            SCOPED_TRACE(trace.toStdString());
            QWidget* const target = QApplication::focusWidget();
            ASSERT_NE(target, nullptr);
            const bool tabKey = key == Qt::Key_Tab || key == Qt::Key_Backtab;
            const QString text = tabKey ? QString() : QString(QChar(key)).toLower();
            QTest::sendKeyEvent(QTest::KeyAction::Click, target, key, text, modifiers);
            EXPECT_TRUE(front->isAncestorOf(QApplication::focusWidget()));
            EXPECT_EQ(data.LogTable.state(), DataSetState::Browse);
        }
    }
    EXPECT_EQ(data.LogTable.fieldByName("Perigrafi").asString(), description);
    EXPECT_FALSE(form->FMH->Modified());
}

struct BalanceCase
{
    long double balance;
    int decimals;
    const char* shown;
};

class ShowBalanceTest : public ::testing::TestWithParam<BalanceCase>
{};

TEST_P(ShowBalanceTest, RightAlignsTheAmountOnTwelveCharacters)
{
    initResources();
    const BalanceCase& c = GetParam();
    MainForm form(settingsWith(c.decimals));
    form.ShowBalance(c.balance);
    EXPECT_EQ(form.LCD->lines(), QStringList(QString::fromUtf8(c.shown)));
}

INSTANTIATE_TEST_SUITE_P(Examples, ShowBalanceTest,
                         ::testing::Values(BalanceCase{1234.5L, 2, "     1234,50"},
                                           BalanceCase{-0.5L, 2, "       -0,50"},
                                           BalanceCase{1234.5L, 0, "        1235"},
                                           BalanceCase{0, 2, "        0,00"},
                                           BalanceCase{123456789012.5L, 2, "123456789012,50"}));

} // namespace
