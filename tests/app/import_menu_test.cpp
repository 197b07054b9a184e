// "Εισαγωγή κινήσεων..." and "Αναίρεση εισαγωγής" in the main window: the import window
// is reached through its registered factory, and the undo lasts until the next change.
#include "app/DocumentWindows.h"
#include "app/FileMenuHdl.h"
#include "app/MainFrm.h"
#include "data/Format.h"
#include "platform/ScriptedDialogService.h"
#include "platform/Text.h"
#include "reports/LogRpt.h"
#include "reports/ReportPreview.h"
#include "reports/SigrisisRpt.h"
#include "views/ImportFrm.h"
#include "widgets/DotMatrixDisplay.h"

#include <functional>
#include <gtest/gtest.h>
#include <QAction>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

static void initResources()
{
    Q_INIT_RESOURCE(tamisko);
}

using namespace tamisko;
using namespace Qt::StringLiterals;
using Kind = ScriptedDialogService::Kind;

namespace {

const QString kSample = QStringLiteral(TAMISKO_SAMPLES_DIR "/household-2021-2023.tmk");

const char* const kStatement = "Ημερομηνία;Περιγραφή;Χρέωση;Πίστωση\n"
                               "02/03/2024;ΣΟΥΠΕΡ ΜΑΡΚΕΤ;45,20;\n"
                               "05/03/2024;ΜΙΣΘΟΔΟΣΙΑ;;1.250,00\n"
                               "12/03/2024;ΔΕΗ;80,00;\n";

struct NoViewer final : report::ReportViewer
{
    void show(const report::ReportLayout&, const QString&) override {}
};

class ImportMenu : public ::testing::Test
{
public:
    ImportMenu() : scope(dialogs)
    {
        initResources();
        form.FMH->ProfileDir = dir.path() + u'/';
        form.Placement.setIniFileName(dir.filePath(u"placement.ini"_s));
        form.setDataModule(data);
        registerDocumentWindows(form, data, logReport, sigrisisReport);
    }

    QString copyOfSample()
    {
        const QString path = dir.filePath(u"book.tmk"_s);
        QFile::copy(kSample, path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        return path;
    }

    QString statement()
    {
        const QString path = dir.filePath(u"statement.csv"_s);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(kStatement);
        return path;
    }

    void openSample()
    {
        dialogs.answerFile(copyOfSample());
        form.Open->trigger();
        QCoreApplication::sendPostedEvents();
    }

    // Ctrl+I with the statement; its profile entries go to the test's folder.
    ImportForm* startImport()
    {
        if (!form.documentWindow(DocumentWindow::Import)) {
            dialogs.answerCancel();
            form.ImportMovements->trigger();
        }
        auto* window = qobject_cast<ImportForm*>(form.documentWindow(DocumentWindow::Import));
        EXPECT_NE(window, nullptr);
        window->setProfileFileName(dir.filePath(u"Tamisko.ini"_s));
        dialogs.answerFile(statement());
        form.ImportMovements->trigger();
        return window;
    }

    void importStatement()
    {
        ImportForm* window = startImport();
        window->btnNextClick();
        window->btnOKClick();
        QCoreApplication::sendPostedEvents();
    }

    QString display() const { return form.LCD->lines().value(0).trimmed(); }
    QString balanceText() const { return toQString(formatAmount(data.Balance, settings)); }

    QTemporaryDir dir;
    ScriptedDialogService dialogs;
    ScopedDialogService scope;
    DataMod data;
    RegionalSettings settings = RegionalSettings::greek();
    MainForm form{settings};
    NoViewer viewer;
    LogReport logReport{viewer};
    SigrisisReport sigrisisReport{viewer};
};

TEST_F(ImportMenu, StandsInTheDataMenuAndNeedsADocument)
{
    const QList<QAction*> items = form.mnuData->actions();
    const qsizetype at = items.indexOf(form.ImportMovements);
    ASSERT_GE(at, 0);
    EXPECT_EQ(items.value(at + 1), form.UndoImport);
    EXPECT_EQ(form.ImportMovements->text(), u"Εισαγωγή κινήσεων..."_s);
    EXPECT_EQ(form.UndoImport->text(), u"Αναίρεση εισαγωγής"_s);
    EXPECT_EQ(form.ImportMovements->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_I));
    EXPECT_FALSE(form.ImportMovements->isEnabled());
    EXPECT_FALSE(form.UndoImport->isEnabled());

    form.New->trigger();
    EXPECT_TRUE(form.ImportMovements->isEnabled());
    EXPECT_FALSE(form.UndoImport->isEnabled()); // nothing to take back yet
}

TEST_F(ImportMenu, ImportsIntoTheBookAndUndoTakesItAllBack)
{
    openSample();
    const int movements = data.LogTable.recordCount();
    const long double balance = data.Balance;
    const QString before = display();
    ASSERT_EQ(before, balanceText());

    ImportForm* window = startImport();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->isHidden());
    EXPECT_EQ(window->parentWidget(), form.clientArea());
    EXPECT_TRUE(window->isMappingStep());
    window->btnNextClick();
    window->btnOKClick();
    QCoreApplication::sendPostedEvents();

    EXPECT_EQ(data.LogTable.recordCount(), movements + 3);
    EXPECT_DOUBLE_EQ(static_cast<double>(data.Balance - balance), 1250 - 45.20 - 80);
    EXPECT_EQ(display(), balanceText());
    EXPECT_NE(display(), before);
    EXPECT_TRUE(form.FMH->Modified());
    EXPECT_TRUE(window->isHidden());
    ASSERT_TRUE(form.UndoImport->isEnabled());

    form.UndoImport->trigger();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(data.LogTable.recordCount(), movements);
    EXPECT_EQ(data.Balance, balance);
    EXPECT_EQ(display(), before);
    EXPECT_FALSE(form.UndoImport->isEnabled());

    // The same statement again finds every row in the book once imported.
    importStatement();
    ImportForm* again = startImport();
    again->btnNextClick();
    EXPECT_FALSE(again->btnOK->isEnabled());
    EXPECT_EQ(data.LogTable.recordCount(), movements + 3);
}

struct WithdrawCase
{
    const char* name;
    std::function<void(ImportMenu&)> action;
};

class ImportUndo : public ImportMenu, public ::testing::WithParamInterface<WithdrawCase>
{};

TEST_P(ImportUndo, IsWithdrawnByTheNextChange)
{
    form.New->trigger();
    importStatement();
    ASSERT_TRUE(form.UndoImport->isEnabled());
    const int movements = data.LogTable.recordCount();

    GetParam().action(*this);
    EXPECT_FALSE(form.UndoImport->isEnabled());
    const int after = data.LogTable.recordCount();
    form.UndoImport->trigger(); // disabled: nothing happens
    EXPECT_EQ(data.LogTable.recordCount(), after);
    EXPECT_LE(after, movements);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, ImportUndo,
    ::testing::Values(WithdrawCase{"edit",
                                   [](ImportMenu& test) {
                                       MemTable& log = test.data.LogTable;
                                       log.first();
                                       log.edit();
                                       log.setFieldValue("Eispraxi", Variant::fromDouble(1));
                                       log.post();
                                   }},
                      WithdrawCase{"save",
                                   [](ImportMenu& test) {
                                       test.dialogs.answerFile(test.dir.filePath(u"saved.tmk"_s));
                                       test.form.Save->trigger();
                                       EXPECT_FALSE(test.form.FMH->Modified());
                                   }},
                      WithdrawCase{"new",
                                   [](ImportMenu& test) {
                                       test.dialogs.answerButton(QMessageBox::No);
                                       test.form.New->trigger();
                                   }}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
