#include "app/FileMenuHdl.h"
#include "platform/ProfileFile.h"
#include "platform/ScriptedDialogService.h"

#include <gtest/gtest.h>
#include <memory>
#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QWidget>

using tamisko::FileMenuHandler;
using tamisko::ProfileFile;
using tamisko::ScriptedDialogService;
using Kind = ScriptedDialogService::Kind;
using namespace Qt::StringLiterals;

namespace {

const QString kDefaultName = QStringLiteral("Νέες ταμίσκες.tmk");

// A handler set up as the main window sets up its own, with owner functions that record
// their calls and succeed unless told otherwise.
class FileMenuTest : public ::testing::Test
{
protected:
    FileMenuTest() : scope(dialogs)
    {
        menu.addAction(QStringLiteral("Εξοδος"));
        create();
    }

    void create()
    {
        fmh = std::make_unique<FileMenuHandler>(&owner);
        fmh->IniFileName = QStringLiteral("Tamisko.ini");
        fmh->ProfileDir = dir.path() + u'/';
        fmh->DefaultFileName = kDefaultName;
        fmh->setMaxList(3);
        fmh->setFileMenu(&menu);
        fmh->NotFoundString = QStringLiteral("Δεν βρέθηκε το αρχείο %s.");
        fmh->FileChangedString =
            QStringLiteral("Το αρχείο %s έχει αλλάξει. Να αποθηκευτούν οι αλλαγές;");
        fmh->FileChangedCaption = QStringLiteral("Αποθήκευση αλλαγών");
        fmh->ParamCountLook = 1;
        fmh->LoadNewOnStart = false;
        fmh->Arguments = {QStringLiteral("tamisko")};
        fmh->OnNew = [this](const QString&) {
            return record(u"new"_s, {}, newSucceeds);
        };
        fmh->OnOpen = [this](const QString& name) {
            return record(u"open"_s, name, openSucceeds);
        };
        fmh->OnSave = [this](const QString& name) {
            return record(u"save"_s, name, saveSucceeds);
        };
        fmh->OnNewFormCaption = [this](const QString& name) {
            caption = name;
        };
    }

    bool record(const QString& what, const QString& name, bool result)
    {
        calls.append(name.isEmpty() ? what : what + u' ' + name);
        return result;
    }

    QString file(const QString& name, bool create = true) const
    {
        const QString path = dir.filePath(name);
        if (create) {
            QFile f(path);
            f.open(QIODevice::WriteOnly);
        }
        return path;
    }

    void writeProfile(const QStringList& names) const
    {
        ProfileFile profile(dir.filePath(QStringLiteral("Tamisko.ini")));
        profile.writeString(QStringLiteral("Other"), QStringLiteral("Key"), QStringLiteral("1"));
        for (int i = 0; i < names.size(); ++i)
            profile.writeString(QStringLiteral("RecentFiles"), QStringLiteral("File%1").arg(i),
                                names[i]);
    }

    QStringList profileEntries() const
    {
        ProfileFile profile(dir.filePath(QStringLiteral("Tamisko.ini")));
        QStringList entries;
        for (const QString& key : profile.readSectionKeys(QStringLiteral("RecentFiles")))
            entries.append(key + u'=' + profile.readString(QStringLiteral("RecentFiles"), key));
        return entries;
    }

    // The entries below the handler's separator.
    QList<QAction*> recentItems() const
    {
        const QList<QAction*> actions = menu.actions();
        const qsizetype separator = actions.indexOf(fmh->ListSeparator());
        return separator < 0 ? QList<QAction*>{} : actions.mid(separator + 1);
    }

    void openNamed(const QString& path)
    {
        dialogs.answerFile(path);
        fmh->OpenFile();
    }

    // A named document with unsaved changes.
    QString modifiedNamedDocument()
    {
        const QString path = file(QStringLiteral("book.tmk"));
        openNamed(path);
        fmh->setModified(true);
        dialogs.clear();
        calls.clear();
        return path;
    }

    // A new document with unsaved changes.
    void modifiedNewDocument()
    {
        fmh->NewFile();
        fmh->setModified(true);
        dialogs.clear();
        calls.clear();
    }

    QTemporaryDir dir;
    ScriptedDialogService dialogs;
    tamisko::ScopedDialogService scope;
    QWidget owner;
    QMenu menu;
    std::unique_ptr<FileMenuHandler> fmh;
    QStringList calls;
    QString caption = QStringLiteral("(none)");
    bool newSucceeds = true;
    bool openSucceeds = true;
    bool saveSucceeds = true;
};

TEST_F(FileMenuTest, StartsWithoutDocumentAndShowsTheExistingRecentFiles)
{
    const QString a = file(QStringLiteral("a.tmk"));
    const QString b = file(QStringLiteral("b.tmk"));
    writeProfile({a, file(QStringLiteral("gone.tmk"), false), b});

    owner.show();

    EXPECT_TRUE(fmh->FileName().isEmpty());
    EXPECT_FALSE(fmh->Untitled());
    EXPECT_TRUE(calls.isEmpty());
    EXPECT_EQ(fmh->RecentList(), QStringList({a, b}));
    ASSERT_TRUE(fmh->ListSeparator());
    EXPECT_TRUE(fmh->ListSeparator()->isVisible());
    EXPECT_EQ(menu.actions().indexOf(fmh->ListSeparator()), 1);
    ASSERT_EQ(recentItems().size(), 2);
    EXPECT_EQ(recentItems()[1]->text(), u"&2 "_s + b);
}

TEST_F(FileMenuTest, NoSeparatorShowsWithAnEmptyList)
{
    owner.show();
    ASSERT_TRUE(fmh->ListSeparator());
    EXPECT_FALSE(fmh->ListSeparator()->isVisible());
    EXPECT_TRUE(recentItems().isEmpty());
}

TEST_F(FileMenuTest, KeepsMaxListEntriesWithAccessCharactersAndWritesOnlyThoseBack)
{
    QStringList names;
    for (const char* name : {"1.tmk", "2.tmk", "3.tmk", "4.tmk", "5.tmk"})
        names.append(file(QString::fromLatin1(name)));
    writeProfile(names);

    fmh->StartUp();

    const QList<QAction*> items = recentItems();
    ASSERT_EQ(items.size(), 3);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(items[i]->text(), QStringLiteral("&%1 %2").arg(i + 1).arg(names[i]));
        EXPECT_EQ(items[i]->shortcut(), QKeySequence(Qt::ALT | Qt::Key(Qt::Key_1 + i)));
    }
    fmh.reset();
    EXPECT_EQ(profileEntries(), QStringList({u"File0="_s + names[0], u"File1="_s + names[1],
                                             u"File2="_s + names[2]}));
    ProfileFile profile(dir.filePath(QStringLiteral("Tamisko.ini")));
    EXPECT_EQ(profile.readString(QStringLiteral("Other"), QStringLiteral("Key")), u"1"_s);
}

TEST_F(FileMenuTest, LettersFollowTheNineDigitsAndPlainCaptionsWithoutShortcuts)
{
    QStringList names;
    for (int i = 0; i < 11; ++i)
        names.append(file(QStringLiteral("%1.tmk").arg(i)));
    writeProfile(names);
    fmh->setMaxList(50);
    EXPECT_EQ(fmh->MaxList(), FileMenuHandler::kMaxListLimit);
    fmh->StartUp();

    ASSERT_EQ(recentItems().size(), 11);
    EXPECT_EQ(recentItems()[9]->text(), u"&A "_s + names[9]);
    EXPECT_EQ(recentItems()[10]->shortcut(), QKeySequence(Qt::ALT | Qt::Key_B));

    fmh->AddShortcut = false;
    fmh->UpdateRecentMenu();
    EXPECT_EQ(recentItems()[0]->text(), names[0]);
    EXPECT_TRUE(recentItems()[0]->shortcut().isEmpty());

    fmh->setEnableMenuList(false);
    EXPECT_EQ(menu.actions().size(), 1);
}

TEST_F(FileMenuTest, OpeningAListedFileInAnotherCaseMovesItToTheTop)
{
    const QString a = file(QStringLiteral("a.tmk"));
    const QString b = file(QStringLiteral("B.tmk"));
    writeProfile({a, b});
    fmh->StartUp();

    const QString otherCase = file(QStringLiteral("b.TMK"));
    openNamed(otherCase);

    EXPECT_EQ(fmh->RecentList(), QStringList({otherCase, a}));
    EXPECT_EQ(recentItems().size(), 2);
}

TEST_F(FileMenuTest, ClickingADeletedFileReportsItAndRenumbersTheRest)
{
    const QString a = file(QStringLiteral("a.tmk"));
    const QString b = file(QStringLiteral("b.tmk"));
    const QString c = file(QStringLiteral("c.tmk"));
    writeProfile({a, b, c});
    fmh->StartUp();
    QFile::remove(b);

    recentItems()[1]->trigger();

    ASSERT_EQ(dialogs.questions().size(), 1u);
    const auto& message = dialogs.lastQuestion().message();
    EXPECT_EQ(message.text, QStringLiteral("Δεν βρέθηκε το αρχείο %1.").arg(b));
    EXPECT_EQ(message.icon, QMessageBox::Critical);
    EXPECT_EQ(message.buttons, QMessageBox::Ok);
    EXPECT_TRUE(message.caption.isEmpty());
    EXPECT_TRUE(calls.isEmpty());
    ASSERT_EQ(recentItems().size(), 2);
    EXPECT_EQ(recentItems()[1]->text(), u"&2 "_s + c);
    fmh.reset();
    EXPECT_EQ(profileEntries(), QStringList({u"File0="_s + a, u"File1="_s + c}));
}

TEST_F(FileMenuTest, ClickingAnEntryOpensItAndMovesItToTheTop)
{
    const QString a = file(QStringLiteral("a.tmk"));
    const QString b = file(QStringLiteral("b.tmk"));
    writeProfile({a, b});
    fmh->StartUp();

    recentItems()[1]->trigger();

    EXPECT_EQ(calls, QStringList({u"open "_s + b}));
    EXPECT_EQ(fmh->FileName(), b);
    EXPECT_EQ(caption, b);
    EXPECT_EQ(fmh->RecentList(), QStringList({b, a}));
}

TEST_F(FileMenuTest, NewOpenAndSaveAsNameTheDocument)
{
    fmh->NewFile();
    EXPECT_EQ(caption, kDefaultName);
    EXPECT_TRUE(fmh->Untitled());
    EXPECT_TRUE(fmh->RecentList().isEmpty());

    const QString opened = file(QStringLiteral("opened.tmk"));
    openNamed(opened);
    EXPECT_EQ(caption, opened);
    EXPECT_FALSE(fmh->Untitled());
    EXPECT_TRUE(dialogs.lastQuestion().text.isEmpty()); // the open dialog is not preset
    EXPECT_EQ(dialogs.lastQuestion().file().title,
              fmh->OpenDialog.title); // the dialog as configured

    const QString other = file(QStringLiteral("other.tmk"), false);
    dialogs.answerFile(other);
    fmh->SaveFileAs();
    EXPECT_EQ(dialogs.lastQuestion().text, opened);
    EXPECT_EQ(caption, other);
    EXPECT_EQ(fmh->RecentList(), QStringList({other, opened}));
    EXPECT_EQ(calls.last(), u"save "_s + other);
}

TEST_F(FileMenuTest, SavingANamedDocumentKeepsTheListAndTheCaption)
{
    openNamed(file(QStringLiteral("first.tmk")));
    const QString path = modifiedNamedDocument();
    const QStringList list = fmh->RecentList();
    caption.clear();

    fmh->SaveFile();

    EXPECT_EQ(calls.last(), u"save "_s + path);
    EXPECT_FALSE(fmh->Modified());
    EXPECT_EQ(fmh->RecentList(), list);
    EXPECT_TRUE(caption.isEmpty());
}

TEST_F(FileMenuTest, SaveOnANewDocumentAsksForANameAndACancelChangesNothing)
{
    modifiedNewDocument();
    dialogs.answerCancel();
    fmh->SaveFile();

    ASSERT_EQ(dialogs.questions().size(), 1u);
    EXPECT_EQ(dialogs.lastQuestion().kind, Kind::SaveFile);
    EXPECT_EQ(dialogs.lastQuestion().text, kDefaultName);
    EXPECT_TRUE(calls.isEmpty());
    EXPECT_TRUE(fmh->Modified());
    EXPECT_TRUE(fmh->Untitled());

    // The next command is not affected.
    const QString path = file(QStringLiteral("named.tmk"), false);
    dialogs.answerFile(path);
    fmh->SaveFile();
    EXPECT_EQ(calls, QStringList({u"save "_s + path}));
    EXPECT_FALSE(fmh->Modified());
    EXPECT_FALSE(fmh->Untitled());
}

// What each answer to the save question does to a New on a modified document.
struct AskCase
{
    const char* name;
    bool untitled;
    QMessageBox::StandardButton answer;
    bool cancelSaveDialog;
    bool saveSucceeds;
    bool goesOn;
    const char* calls; // the owner's functions that ran, "|"-separated
};

class AskSaveChangesTest : public FileMenuTest, public ::testing::WithParamInterface<AskCase>
{};

TEST_P(AskSaveChangesTest, DecidesWhetherTheCommandGoesOn)
{
    const AskCase& c = GetParam();
    QString path;
    if (c.untitled)
        modifiedNewDocument();
    else
        path = modifiedNamedDocument();
    const QString saveAsName = file(QStringLiteral("saved.tmk"), false);
    saveSucceeds = c.saveSucceeds;
    dialogs.answerButton(c.answer);
    if (c.untitled && c.answer == QMessageBox::Yes) {
        if (c.cancelSaveDialog)
            dialogs.answerCancel();
        else
            dialogs.answerFile(saveAsName);
    }

    fmh->NewFile();

    const auto& question = dialogs.questions().front().message();
    EXPECT_EQ(question.caption, u"Αποθήκευση αλλαγών"_s);
    EXPECT_EQ(question.text, QStringLiteral("Το αρχείο %1 έχει αλλάξει. Να αποθηκευτούν "
                                            "οι αλλαγές;")
                                 .arg(c.untitled ? kDefaultName : path));
    EXPECT_EQ(question.icon, QMessageBox::Warning);
    EXPECT_EQ(question.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(question.defaultButton, QMessageBox::Yes);
    if (c.untitled && c.answer == QMessageBox::Yes) {
        EXPECT_EQ(dialogs.questions().back().text, kDefaultName);
    }

    QString expected = QString::fromUtf8(c.calls);
    expected.replace(u"NAMED"_s, path).replace(u"SAVEAS"_s, saveAsName);
    EXPECT_EQ(calls.join(u'|'), expected);
    EXPECT_EQ(fmh->Modified(), !c.goesOn);
    EXPECT_EQ(fmh->Untitled(), c.goesOn || c.untitled);
    EXPECT_EQ(fmh->FileName(), c.goesOn || c.untitled ? kDefaultName : path);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, AskSaveChangesTest,
    ::testing::Values(
        AskCase{"CancelNamed", false, QMessageBox::Cancel, false, true, false, ""},
        AskCase{"CancelNew", true, QMessageBox::Cancel, false, true, false, ""},
        AskCase{"NoDropsTheChanges", false, QMessageBox::No, false, true, true, "new"},
        AskCase{"YesSavesNamed", false, QMessageBox::Yes, false, true, true, "save NAMED|new"},
        AskCase{"YesSavesNewUnderAName", true, QMessageBox::Yes, false, true, true,
                "save SAVEAS|new"},
        AskCase{"YesCancelledSaveDialog", true, QMessageBox::Yes, true, true, false, ""},
        AskCase{"YesFailedSaveNamed", false, QMessageBox::Yes, false, false, false, "save NAMED"},
        AskCase{"YesFailedSaveNew", true, QMessageBox::Yes, false, false, false, "save SAVEAS"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FileMenuTest, AnUnmodifiedDocumentIsReplacedWithoutAQuestion)
{
    modifiedNamedDocument();
    fmh->setModified(false);
    fmh->NewFile();
    EXPECT_TRUE(dialogs.questions().empty());
    EXPECT_EQ(calls, QStringList({u"new"_s}));
}

TEST_F(FileMenuTest, ACancelledQuestionAbandonsOpenAndTheRecentFile)
{
    const QString path = modifiedNamedDocument();

    dialogs.answerButton(QMessageBox::Cancel);
    fmh->OpenFile();
    dialogs.answerButton(QMessageBox::Cancel);
    recentItems()[0]->trigger();

    EXPECT_EQ(dialogs.questions().size(), 2u);
    EXPECT_TRUE(calls.isEmpty());
    EXPECT_EQ(fmh->FileName(), path);
    EXPECT_TRUE(fmh->Modified());
}

TEST_F(FileMenuTest, AFailedEventChangesNothing)
{
    const QString path = modifiedNamedDocument();
    const QString other = file(QStringLiteral("other.tmk"));
    openSucceeds = false;
    newSucceeds = false;
    caption.clear();

    dialogs.answerButton(QMessageBox::No);
    openNamed(other);
    dialogs.answerButton(QMessageBox::No);
    fmh->NewFile();

    EXPECT_EQ(calls, QStringList({u"open "_s + other, u"new"_s}));
    EXPECT_EQ(fmh->FileName(), path);
    EXPECT_TRUE(fmh->Modified());
    EXPECT_EQ(fmh->RecentList(), QStringList({path}));
    EXPECT_TRUE(caption.isEmpty());
}

TEST_F(FileMenuTest, AChosenFileThatDoesNotExistIsReported)
{
    const QString missing = file(QStringLiteral("missing.tmk"), false);
    openNamed(missing);
    EXPECT_EQ(dialogs.lastQuestion().text,
              QStringLiteral("Δεν βρέθηκε το αρχείο %1.").arg(missing));
    EXPECT_TRUE(calls.isEmpty());
}

TEST_F(FileMenuTest, ClosingTheOwnerAsksAndCanBeRefused)
{
    owner.show();
    modifiedNamedDocument();

    dialogs.answerButton(QMessageBox::Cancel);
    EXPECT_FALSE(owner.close());
    EXPECT_TRUE(owner.isVisible());

    // A save that fails keeps the window and the changes.
    saveSucceeds = false;
    dialogs.answerButton(QMessageBox::Yes);
    EXPECT_FALSE(owner.close());
    EXPECT_TRUE(fmh->Modified());

    saveSucceeds = true;
    dialogs.answerButton(QMessageBox::Yes);
    EXPECT_TRUE(owner.close());
    EXPECT_FALSE(fmh->Modified());
}

TEST_F(FileMenuTest, TheCommandLineDocumentIsOpenedUnderItsFullPath)
{
    const QString path = file(QStringLiteral("book.tmk"));
    const QString roundabout = dir.path() + QStringLiteral("/sub/../book.tmk");
    QDir(dir.path()).mkdir(QStringLiteral("sub"));
    fmh->Arguments = {QStringLiteral("tamisko"), roundabout};

    owner.show();

    EXPECT_EQ(calls, QStringList({u"open "_s + roundabout}));
    EXPECT_EQ(fmh->FileName(), path);
    EXPECT_EQ(caption, path);
    EXPECT_FALSE(fmh->Untitled());
    EXPECT_EQ(fmh->RecentList().value(0), path);
}

TEST_F(FileMenuTest, AMissingCommandLineDocumentIsIgnoredSilently)
{
    fmh->Arguments = {QStringLiteral("tamisko"), file(QStringLiteral("nope.tmk"), false)};
    fmh->StartUp();
    EXPECT_TRUE(calls.isEmpty());
    EXPECT_TRUE(dialogs.questions().empty());
    EXPECT_TRUE(fmh->FileName().isEmpty());

    fmh->LoadNewOnStart = true;
    fmh->StartUp();
    EXPECT_EQ(calls, QStringList({u"new"_s}));
}

TEST(ExpandLongPath, ResolvesDotsButNotLinks)
{
    const QString cwd = QDir::currentPath();
    EXPECT_EQ(FileMenuHandler::ExpandLongPath(u"/a/./b/../c.tmk"_s), u"/a/c.tmk"_s);
    EXPECT_EQ(FileMenuHandler::ExpandLongPath(u"c.tmk"_s), cwd + u"/c.tmk"_s);
    EXPECT_EQ(FileMenuHandler::ExpandLongPath(QString()), QString());

    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("real.tmk"));
    QFile(target).open(QIODevice::WriteOnly);
    const QString link = dir.filePath(QStringLiteral("link.tmk"));
    ASSERT_TRUE(QFile::link(target, link));
    EXPECT_EQ(FileMenuHandler::ExpandLongPath(link), link);
}

} // namespace
