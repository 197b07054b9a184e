#include "app/FileMenuHdl.h"

#include <algorithm>
#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QKeySequence>
#include <QMenu>
#include <QWidget>

namespace tamisko {
namespace {

const QString kRecentSection = QStringLiteral("RecentFiles");

QString recentKey(qsizetype index)
{
    return QStringLiteral("File%1").arg(index);
}

// The message with the name in place of its "%s".
QString withName(QString pattern, const QString& name)
{
    const qsizetype at = pattern.indexOf(QStringLiteral("%s"));
    return at < 0 ? pattern : pattern.replace(at, 2, name);
}

bool fileExists(const QString& name)
{
    return !name.isEmpty() && QFileInfo(name).isFile();
}

// 1 to 9, then A to Z.
QChar accessCharacter(int index)
{
    return index < 9 ? QChar(u'1' + index) : QChar(u'A' + (index - 9));
}

QString menuText(const QString& name)
{
    return QString(name).replace(u'&', QStringLiteral("&&"));
}

} // namespace

FileMenuHandler::FileMenuHandler(QWidget* owner)
    : QObject(owner), Arguments(QCoreApplication::arguments()), owner_(owner)
{
    Q_ASSERT(owner_);
    owner_->installEventFilter(this);
}

FileMenuHandler::~FileMenuHandler()
{
    writeRecentFiles();
}

void FileMenuHandler::setMaxList(int count)
{
    maxList_ = std::clamp(count, 0, kMaxListLimit);
    UpdateRecentMenu();
}

void FileMenuHandler::setEnableMenuList(bool enable)
{
    enableMenuList_ = enable;
    UpdateRecentMenu();
    if (!enable && fileMenu_ && listSeparator_) {
        removeRecentEntries();
        fileMenu_->removeAction(listSeparator_);
        listSeparator_->deleteLater();
        listSeparator_ = nullptr;
    }
}

QMenu* FileMenuHandler::FileMenu() const
{
    return fileMenu_;
}

void FileMenuHandler::setFileMenu(QMenu* menu)
{
    fileMenu_ = menu;
}

QAction* FileMenuHandler::ListSeparator() const
{
    return listSeparator_;
}

bool FileMenuHandler::AskSaveChanges()
{
    if (!modified_)
        return true;
    const auto answer = DialogService::instance().message(
        {FileChangedCaption, withName(FileChangedString, fileName_), QMessageBox::Warning,
         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes});
    switch (answer) {
    case QMessageBox::No:
        return true;
    case QMessageBox::Yes:
        // A save that was cancelled or failed keeps the changes, so the command that
        // asked must not drop them.
        return save();
    default:
        return false;
    }
}

void FileMenuHandler::NewFile()
{
    if (!AskSaveChanges() || !OnNew || !OnNew(fileName_))
        return;
    fileName_ = DefaultFileName;
    untitled_ = true;
    modified_ = false;
    if (OnNewFormCaption)
        OnNewFormCaption(fileName_);
}

void FileMenuHandler::OpenFile()
{
    if (!AskSaveChanges())
        return;
    FileDialogRequest request = OpenDialog;
    request.initialName.clear();
    const auto name = DialogService::instance().openFileName(request);
    if (!name)
        return;
    if (!fileExists(*name)) {
        ShowNotFound(*name);
        return;
    }
    if (!OnOpen || !OnOpen(*name))
        return;
    opened(*name);
}

void FileMenuHandler::SaveFile()
{
    save();
}

void FileMenuHandler::SaveFileAs()
{
    saveAs();
}

bool FileMenuHandler::save()
{
    if (untitled_ || readOnly_)
        return saveAs();
    switch (BeforeSave ? BeforeSave(fileName_) : SaveCheck::Proceed) {
    case SaveCheck::Proceed:
        break;
    case SaveCheck::SaveAs:
        return saveAs();
    case SaveCheck::Cancel:
        return false;
    }
    if (!OnSave || !OnSave(fileName_))
        return false;
    modified_ = false;
    untitled_ = false;
    return true;
}

bool FileMenuHandler::saveAs()
{
    if (!OnSave)
        return false;
    FileDialogRequest request = SaveDialog;
    request.initialName = fileName_;
    const auto name = DialogService::instance().saveFileName(request);
    if (!name || !OnSave(*name))
        return false;
    modified_ = false;
    fileName_ = *name;
    untitled_ = false;
    if (OnNewFormCaption)
        OnNewFormCaption(fileName_);
    AddToRecent();
    UpdateRecentMenu();
    return true;
}

void FileMenuHandler::AdoptUntitled(const QString& fileName)
{
    fileName_ = fileName;
    untitled_ = true;
    modified_ = true;
    if (OnNewFormCaption)
        OnNewFormCaption(fileName_);
}

void FileMenuHandler::opened(const QString& name)
{
    fileName_ = name;
    modified_ = false;
    AddToRecent();
    UpdateRecentMenu();
    untitled_ = false;
    if (OnNewFormCaption)
        OnNewFormCaption(fileName_);
}

void FileMenuHandler::AddToRecent()
{
    const auto same = [this](const QString& entry) {
        return entry.compare(fileName_, Qt::CaseInsensitive) == 0;
    };
    const auto found = std::find_if(recentList_.cbegin(), recentList_.cend(), same);
    if (found != recentList_.cend())
        recentList_.removeAt(found - recentList_.cbegin());
    // The entry takes the name as just used: on a file system that tells letter case
    // apart, the old spelling may name another file.
    recentList_.prepend(fileName_);
}

void FileMenuHandler::removeRecentEntries()
{
    const QList<QAction*> actions = fileMenu_->actions();
    const qsizetype separator = actions.indexOf(listSeparator_);
    if (separator < 0)
        return;
    for (qsizetype i = separator + 1; i < actions.size(); ++i) {
        fileMenu_->removeAction(actions[i]);
        // Later, since the clicked entry may be the one still running.
        actions[i]->deleteLater();
    }
}

void FileMenuHandler::UpdateRecentMenu()
{
    if (!fileMenu_)
        return;
    while (recentList_.size() > maxList_)
        recentList_.removeLast();
    if (!enableMenuList_)
        return;
    if (!listSeparator_) {
        listSeparator_ = new QAction(fileMenu_);
        listSeparator_->setSeparator(true);
        fileMenu_->addAction(listSeparator_);
    }
    listSeparator_->setVisible(!recentList_.isEmpty());
    removeRecentEntries();
    for (int i = 0; i < recentList_.size(); ++i) {
        const QString& name = recentList_[i];
        auto* item = new QAction(fileMenu_);
        if (AddShortcut) {
            const QChar access = accessCharacter(i);
            item->setText(QStringLiteral("&%1 %2").arg(QString(access), menuText(name)));
            item->setShortcut(QKeySequence(Qt::ALT | Qt::Key(access.unicode())));
        } else {
            item->setText(menuText(name));
        }
        item->setIcon(NewItemImage);
        connect(item, &QAction::triggered, this, [this, i] { OpenRecentFile(i); });
        fileMenu_->addAction(item);
    }
}

void FileMenuHandler::OpenRecentFile(int index)
{
    if (index < 0 || index >= recentList_.size())
        return;
    // By name: saving under a new name may move the entries.
    const QString name = recentList_[index];
    if (!AskSaveChanges())
        return;
    if (!fileExists(name)) {
        ShowNotFound(name);
        recentList_.removeOne(name);
        UpdateRecentMenu();
        return;
    }
    if (!OnOpen || !OnOpen(name))
        return;
    fileName_ = name;
    modified_ = false;
    if (MoveToTop) {
        recentList_.removeOne(name);
        recentList_.prepend(name);
    }
    UpdateRecentMenu();
    untitled_ = false;
    if (OnNewFormCaption)
        OnNewFormCaption(fileName_);
}

void FileMenuHandler::ShowNotFound(const QString& name) const
{
    DialogService::instance().message(
        {QString(), withName(NotFoundString, name), QMessageBox::Critical, QMessageBox::Ok});
}

void FileMenuHandler::StartUp()
{
    if (ProfileDir.isEmpty())
        ProfileDir = tamisko::ProfileDir();
    if (!IniFileName.isEmpty())
        LoadRecentFiles();
    if (ParamCountLook != 0) {
        const QString argument = Arguments.value(ParamCountLook);
        if (fileExists(argument) && OnOpen && OnOpen(argument)) {
            opened(ExpandLongPath(argument));
            return;
        }
    }
    if (LoadNewOnStart)
        NewFile();
}

void FileMenuHandler::LoadRecentFiles()
{
    if (!profile_)
        profile_.emplace(ProfileDir + IniFileName);
    const auto document = profile_->read();
    if (!document) {
        // Not written back either, so an unreadable file is not replaced.
        profile_.reset();
        return;
    }
    recentList_.clear();
    const qsizetype count = document->keys(kRecentSection).size();
    for (qsizetype i = 0; i < count; ++i)
        recentList_.append(document->value(kRecentSection, recentKey(i)).value_or(QString()));
    for (qsizetype i = recentList_.size() - 1; i >= 0; --i) {
        if (!fileExists(recentList_[i]))
            recentList_.removeAt(i);
    }
    UpdateRecentMenu();
}

void FileMenuHandler::writeRecentFiles()
{
    if (!profile_)
        return;
    // A failure here cannot be helped any more at the end of the run.
    profile_->update([this](IniDocument& document) {
        document.removeSection(kRecentSection);
        for (qsizetype i = 0; i < recentList_.size(); ++i)
            document.setValue(kRecentSection, recentKey(i), recentList_[i]);
    });
    profile_.reset();
}

bool FileMenuHandler::CloseQuery()
{
    return AskSaveChanges();
}

bool FileMenuHandler::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == owner_) {
        if (event->type() == QEvent::Show && !startedUp_) {
            startedUp_ = true;
            StartUp();
        } else if (event->type() == QEvent::Close && !CloseQuery()) {
            event->ignore();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

QString FileMenuHandler::ExpandLongPath(const QString& path)
{
    if (path.isEmpty())
        return path;
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace tamisko
