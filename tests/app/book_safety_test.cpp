#include "app/BookSafety.h"
#include "app/FileMenuHdl.h"
#include "app/MainFrm.h"
#include "data/Backups.h"
#include "data/DataMdl.h"
#include "data/LockFile.h"
#include "platform/ScriptedDialogService.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryDir>
#include <unistd.h>

static void initResources()
{
    Q_INIT_RESOURCE(tamisko);
}

using namespace tamisko;
using namespace Qt::StringLiterals;
using Kind = ScriptedDialogService::Kind;

namespace {

const QString kSample = QStringLiteral(TAMISKO_SAMPLES_DIR "/household-2021-2023.tmk");
const QString kTitle = u"Οι ταμίσκες μου - "_s;

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeContents(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QString lockPathOf(const QString& book)
{
    return QFile::decodeName(
        lockFileNameFor(QFile::encodeName(QFileInfo(book).absoluteFilePath()).toStdString())
            .c_str());
}

// The main window on a data module, with the user's folders in a folder of the test.
class BookSafetyTest : public ::testing::Test
{
protected:
    BookSafetyTest() : scope(dialogs)
    {
        initResources();
        qputenv("XDG_DATA_HOME", dir.filePath(u"data"_s).toLocal8Bit());
        qputenv("XDG_STATE_HOME", dir.filePath(u"state"_s).toLocal8Bit());
        form = newForm(data);
    }

    std::unique_ptr<MainForm> newForm(DataMod& module)
    {
        auto created = std::make_unique<MainForm>(RegionalSettings::greek());
        created->setDataModule(module);
        created->FMH->ProfileDir = dir.path() + u'/';
        created->FMH->Arguments = {u"tamisko"_s};
        created->Placement.setIniFileName(dir.filePath(u"Tamisko.ini"_s));
        return created;
    }

    QString book(const QString& name = u"household.tmk"_s) const
    {
        const QString path = dir.filePath(name);
        if (!QFile::exists(path))
            QFile::copy(kSample, path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        return path;
    }

    void open(const QString& path)
    {
        dialogs.answerFile(path);
        form->Open->trigger();
    }

    void addMovement(DataMod& module, double payment)
    {
        module.LogTable.append();
        module.LogTable.fieldByName("Date").setAsFloat(45000);
        module.LogTable.fieldByName("CatNum").setAsInteger(3);
        module.LogTable.fieldByName("Pliromi").setAsFloat(payment);
        module.LogTable.post();
    }

    QString backups() const { return dir.filePath(u"data/tamisko/backups"_s); }
    QString recovery() const { return dir.filePath(u"state/tamisko/recovery"_s); }
    QStringList recoveryFiles(const QString& pattern) const
    {
        return QDir(recovery()).entryList({pattern}, QDir::Files);
    }

    QTemporaryDir dir;
    ScriptedDialogService dialogs;
    ScopedDialogService scope;
    DataMod data;
    std::unique_ptr<MainForm> form;
};

TEST_F(BookSafetyTest, AnOpenBookIsLockedUntilAnotherDocumentReplacesIt)
{
    const QString path = book();
    open(path);
    ASSERT_EQ(form->windowTitle(), kTitle + u"household"_s);
    const auto owner = readLockFile(QFile::encodeName(lockPathOf(path)).toStdString());
    ASSERT_TRUE(owner);
    EXPECT_EQ(owner->pid, ::getpid());

    // Opened again by the same window: its own lock is no reason to ask.
    open(path);
    EXPECT_EQ(dialogs.questions().size(), 2u) << "two file dialogs, no other question";

    form->New->trigger();
    EXPECT_FALSE(QFile::exists(lockPathOf(path)));
}

TEST_F(BookSafetyTest, AStaleLockIsTakenOverWithoutAsking)
{
    const QString path = book();
    // Left by a program that is gone: its process id now runs another program.
    writeContents(lockPathOf(path), QByteArray::number(::getpid()) + "\ntamisko\n\n");
    open(path);
    EXPECT_EQ(form->windowTitle(), kTitle + u"household"_s);
    EXPECT_EQ(dialogs.questions().size(), 1u);
    EXPECT_EQ(readLockFile(QFile::encodeName(lockPathOf(path)).toStdString())->appName,
              "app_book_safety_test");
}

struct InUseCase
{
    const char* what;
    QMessageBox::StandardButton answer;
    bool opened;
    bool readOnly;
};

class BookInUse : public BookSafetyTest, public ::testing::WithParamInterface<InUseCase>
{};

TEST_P(BookInUse, AsksWhoHoldsItAndOpensAsAnswered)
{
    const InUseCase& c = GetParam();
    const QString path = book();
    // Another running program holds it (a lock of this process that the window is not).
    QLockFile other(lockPathOf(path));
    ASSERT_TRUE(other.tryLock(0));

    dialogs.answerFile(path);
    dialogs.answerButton(c.answer);
    form->Open->trigger();

    const auto& question = dialogs.questions().at(1);
    EXPECT_EQ(question.caption, u"Σε χρήση"_s) << c.what;
    EXPECT_TRUE(question.text.contains(path)) << c.what;
    EXPECT_TRUE(question.text.contains(QString::number(::getpid()))) << question.text.toStdString();
    EXPECT_TRUE(question.text.contains(u"app_book_safety_test"_s)) << c.what;
    EXPECT_EQ(question.message().buttons,
              QMessageBox::Open | QMessageBox::Ignore | QMessageBox::Cancel);

    if (!c.opened) {
        EXPECT_EQ(form->windowTitle(), u"Οι ταμίσκες μου"_s) << c.what;
        EXPECT_FALSE(form->Save->isEnabled());
        return;
    }
    EXPECT_EQ(form->windowTitle(),
              kTitle + u"household"_s + (c.readOnly ? u" (μόνο ανάγνωση)"_s : QString()))
        << c.what;
    EXPECT_EQ(form->Save->isEnabled(), !c.readOnly) << c.what;
    EXPECT_TRUE(form->SaveAs->isEnabled());
    EXPECT_TRUE(other.isLocked()) << "the other program's lock stays";
}

INSTANTIATE_TEST_SUITE_P(Answers, BookInUse,
                         ::testing::Values(InUseCase{"read-only", QMessageBox::Open, true, true},
                                           InUseCase{"anyway", QMessageBox::Ignore, true, false},
                                           InUseCase{"cancel", QMessageBox::Cancel, false, false}));

TEST_F(BookSafetyTest, AReadOnlyBookIsSavedOnlyUnderAnotherNameWhichItThenLocks)
{
    const QString path = book();
    const QByteArray original = contents(path);
    QLockFile other(lockPathOf(path));
    ASSERT_TRUE(other.tryLock(0));
    dialogs.answerFile(path);
    dialogs.answerButton(QMessageBox::Open);
    form->Open->trigger();
    addMovement(data, 5);

    // Asked to save on the way out, it offers the save dialog; the book stays unwritten.
    const QString copy = dir.filePath(u"mine.tmk"_s);
    dialogs.answerButton(QMessageBox::Yes);
    dialogs.answerFile(path);
    dialogs.answerButton(QMessageBox::Ok); // "held by another" error
    form->New->trigger();
    EXPECT_EQ(contents(path), original);
    EXPECT_EQ(dialogs.questions().at(3).kind, Kind::SaveFile);
    EXPECT_EQ(dialogs.lastQuestion().caption, u"Σε χρήση"_s);
    EXPECT_TRUE(form->FMH->Modified());

    dialogs.answerFile(copy);
    form->SaveAs->trigger();
    EXPECT_EQ(form->windowTitle(), kTitle + u"mine"_s);
    EXPECT_TRUE(form->Save->isEnabled());
    EXPECT_EQ(readLockFile(QFile::encodeName(lockPathOf(copy)).toStdString())->pid, ::getpid());
    EXPECT_EQ(contents(path), original);
}

struct DiskChangeCase
{
    const char* what;
    QMessageBox::StandardButton answer;
    bool bookOverwritten;
    bool savedElsewhere;
};

class ChangedOnDisk : public BookSafetyTest, public ::testing::WithParamInterface<DiskChangeCase>
{};

TEST_P(ChangedOnDisk, AsksBeforeASaveReplacesSomeoneElsesChanges)
{
    const DiskChangeCase& c = GetParam();
    const QString path = book();
    open(path);
    addMovement(data, 7);
    const QByteArray theirs = contents(path) + "!";
    writeContents(path, theirs);

    const QString elsewhere = dir.filePath(u"elsewhere.tmk"_s);
    dialogs.answerButton(c.answer);
    dialogs.answerFile(elsewhere);
    form->Save->trigger();

    const auto& question = dialogs.questions().at(1);
    EXPECT_EQ(question.caption, u"Ταμίσκες"_s) << c.what;
    EXPECT_TRUE(question.text.contains(path)) << c.what;
    EXPECT_EQ(question.message().buttons,
              QMessageBox::Save | QMessageBox::SaveAll | QMessageBox::Cancel);
    EXPECT_EQ(contents(path) != theirs, c.bookOverwritten) << c.what;
    EXPECT_EQ(QFile::exists(elsewhere), c.savedElsewhere) << c.what;
    EXPECT_EQ(form->FMH->Modified(), !c.bookOverwritten && !c.savedElsewhere) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ChangedOnDisk,
    ::testing::Values(DiskChangeCase{"overwrite", QMessageBox::Save, true, false},
                      DiskChangeCase{"another name", QMessageBox::SaveAll, false, true},
                      DiskChangeCase{"cancel", QMessageBox::Cancel, false, false}));

TEST_F(BookSafetyTest, AFileOnlyTouchedOrSavedHereIsNoChange)
{
    const QString path = book();
    open(path);
    writeContents(path, contents(path)); // same bytes, a new time
    addMovement(data, 1);
    form->Save->trigger();
    addMovement(data, 2);
    form->Save->trigger();
    EXPECT_EQ(dialogs.questions().size(), 1u) << "the open dialog only";
    EXPECT_FALSE(form->FMH->Modified());
}

TEST_F(BookSafetyTest, EverySaveKeepsTheFileItReplacesForTheOwnerOnly)
{
    const QString path = book();
    const QByteArray original = contents(path);
    open(path);
    addMovement(data, 3);
    form->Save->trigger();
    const QByteArray first = contents(path);
    addMovement(data, 4);
    form->Save->trigger();

    const BackupFolder folder(QFile::encodeName(backups()).toStdString());
    const auto kept = folder.list(QFile::encodeName(path).toStdString());
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(contents(QFile::decodeName(kept[0].path.c_str())), first);
    EXPECT_EQ(contents(QFile::decodeName(kept[1].path.c_str())), original);
    EXPECT_TRUE(
        QFileInfo(QFile::decodeName(kept[0].path.c_str())).fileName().startsWith(u"household "_s));
    EXPECT_EQ(QFile::permissions(QFile::decodeName(kept[0].path.c_str())),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
}

TEST_F(BookSafetyTest, ASaveGoesOnWhenNoBackupCanBeWrittenAndSaysSoOnce)
{
    const QString path = book();
    QDir().mkpath(dir.filePath(u"data"_s));
    writeContents(dir.filePath(u"data/tamisko"_s), "a file where the folder should be");
    open(path);
    for (double payment : {1.0, 2.0}) {
        addMovement(data, payment);
        form->Save->trigger();
        EXPECT_FALSE(form->FMH->Modified());
    }
    int warnings = 0;
    for (const auto& question : dialogs.questions())
        warnings += question.kind == Kind::Message ? 1 : 0;
    EXPECT_EQ(warnings, 1);
    EXPECT_TRUE(dialogs.lastQuestion().text.contains(u"αντίγραφο ασφαλείας"_s) ||
                dialogs.questions().at(1).text.contains(u"αντίγραφο ασφαλείας"_s));
    DataMod reread;
    reread.OpenDocument(QFile::encodeName(path).toStdString());
    EXPECT_EQ(reread.LogTable.recordCount(), data.LogTable.recordCount());
}

TEST_F(BookSafetyTest, ABackupOpensAsAnUnsavedCopy)
{
    const QString path = book();
    open(path);
    const int before = data.LogTable.recordCount();
    addMovement(data, 3);
    form->Save->trigger();

    dialogs.answerRow(0);
    form->RestoreBackup->trigger();

    const auto& choice = dialogs.lastQuestion();
    ASSERT_EQ(choice.kind, Kind::Choice);
    EXPECT_EQ(choice.caption, u"Επαναφορά αντιγράφου"_s);
    ASSERT_EQ(choice.choice().rows.size(), 1);
    EXPECT_EQ(choice.choice().rows[0].value(2), QLocale().toString(before));
    EXPECT_EQ(data.LogTable.recordCount(), before);
    EXPECT_TRUE(form->FMH->Untitled());
    EXPECT_TRUE(form->FMH->Modified());
    EXPECT_TRUE(form->windowTitle().startsWith(kTitle + u"household (αντίγραφο "_s))
        << form->windowTitle().toStdString();
    EXPECT_FALSE(QFile::exists(lockPathOf(path))) << "the book is not open any more";
}

TEST_F(BookSafetyTest, ARecoveryCopyFollowsTheChangesUntilTheyAreSaved)
{
    form->New->trigger();
    RecoveryWriter& recovery = form->safety().recovery();
    EXPECT_FALSE(recovery.timer().isActive());
    addMovement(data, 9);
    EXPECT_TRUE(recovery.timer().isActive());
    EXPECT_LE(recovery.timer().interval(), 5000);

    recovery.writeNow(); // what the timer does when it fires
    recovery.waitForIdle();
    const QString copy = recovery.documentPath();
    ASSERT_TRUE(QFile::exists(copy));
    EXPECT_EQ(QFile::permissions(copy),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    DataMod reread;
    reread.OpenDocument(QFile::encodeName(copy).toStdString());
    EXPECT_EQ(reread.LogTable.recordCount(), 1);

    dialogs.answerFile(dir.filePath(u"saved.tmk"_s));
    form->Save->trigger();
    recovery.waitForIdle();
    EXPECT_FALSE(QFile::exists(copy));
    EXPECT_TRUE(recoveryFiles(u"*"_s).isEmpty());
}

TEST_F(BookSafetyTest, AProtectedDocumentsRecoveryCopyIsEncrypted)
{
    form->New->trigger();
    data.DocumentPassword = "κλειδί";
    addMovement(data, 9);
    form->safety().recovery().writeNow();
    form->safety().recovery().waitForIdle();
    const QByteArray copy = contents(form->safety().recovery().documentPath());
    ASSERT_FALSE(copy.isEmpty());
    EXPECT_EQ(copy.at(0), '*');
}

// A document with a movement whose program stopped before saving: its recovery copy is
// left, and its lock with it is no longer held.
class RecoveryAtStart : public BookSafetyTest
{
protected:
    void crashAfterAMovement(const QString& bookPath = {})
    {
        DataMod crashedData;
        auto crashed = newForm(crashedData);
        if (bookPath.isEmpty()) {
            crashed->New->trigger();
        } else {
            dialogs.answerFile(bookPath);
            crashed->Open->trigger();
        }
        addMovement(crashedData, 42);
        movements = crashedData.LogTable.recordCount();
        crashed->safety().recovery().writeNow();
        crashed->safety().recovery().waitForIdle();
        dialogs.clear();
    }
    int movements = 0;
};

TEST_F(RecoveryAtStart, OpenTakesTheRecoveredDocumentUntitledAndModified)
{
    const QString path = book();
    crashAfterAMovement(path);
    ASSERT_EQ(recoveryFiles(u"*.tmk"_s).size(), 1);

    dialogs.answerButton(QMessageBox::Open);
    form->OfferRecovery();

    const auto& question = dialogs.questions().at(0);
    EXPECT_EQ(question.caption, u"Ανάκτηση"_s);
    EXPECT_TRUE(question.text.contains(path));
    EXPECT_EQ(question.message().buttons,
              QMessageBox::Open | QMessageBox::Ignore | QMessageBox::Discard);
    EXPECT_EQ(data.LogTable.recordCount(), movements);
    EXPECT_TRUE(form->FMH->Untitled());
    EXPECT_TRUE(form->FMH->Modified());
    EXPECT_EQ(form->FMH->FileName(), path);
    EXPECT_EQ(form->windowTitle(), kTitle + u"household"_s);

    // Saved where the user says, the copy goes.
    dialogs.answerFile(path);
    form->Save->trigger();
    form->safety().recovery().waitForIdle();
    EXPECT_TRUE(recoveryFiles(u"*.tmk"_s).isEmpty());
    DataMod reread;
    reread.OpenDocument(QFile::encodeName(path).toStdString());
    EXPECT_EQ(reread.LogTable.recordCount(), movements);
}

TEST_F(RecoveryAtStart, LaterKeepsTheCopyAndDeleteRemovesIt)
{
    crashAfterAMovement();
    dialogs.answerButton(QMessageBox::Ignore);
    form->OfferRecovery();
    EXPECT_EQ(dialogs.questions().at(0).caption, u"Ανάκτηση"_s);
    EXPECT_TRUE(dialogs.questions().at(0).text.contains(u"Νέες ταμίσκες.tmk"_s));
    EXPECT_EQ(form->windowTitle(), u"Οι ταμίσκες μου"_s);
    EXPECT_EQ(recoveryFiles(u"*.tmk"_s).size(), 1);

    dialogs.clear();
    dialogs.answerButton(QMessageBox::Discard);
    form->OfferRecovery();
    EXPECT_EQ(dialogs.questions().size(), 1u);
    EXPECT_TRUE(recoveryFiles(u"*"_s).isEmpty());

    dialogs.clear();
    form->OfferRecovery();
    EXPECT_TRUE(dialogs.questions().empty());
}

TEST_F(RecoveryAtStart, ACopyOlderThanItsBookOrOfARunningProgramIsNotOffered)
{
    const QString path = book();
    crashAfterAMovement(path);
    // The book was saved after the copy was written.
    const QFileInfo copy(recovery() + u'/' + recoveryFiles(u"*.tmk"_s).value(0));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.setFileTime(copy.lastModified().addSecs(10), QFileDevice::FileModificationTime);
    file.close();
    form->OfferRecovery();
    EXPECT_TRUE(dialogs.questions().empty());

    // A copy that another running window keeps.
    DataMod otherData;
    auto running = newForm(otherData);
    running->New->trigger();
    addMovement(otherData, 1);
    running->safety().recovery().writeNow();
    running->safety().recovery().waitForIdle();
    form->OfferRecovery();
    EXPECT_TRUE(dialogs.questions().empty());
}

} // namespace
