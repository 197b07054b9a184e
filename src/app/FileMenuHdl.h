#pragma once

#include "platform/DialogService.h"
#include "platform/ProfileFile.h"

#include <functional>
#include <optional>
#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QStringList>

class QAction;
class QMenu;
class QWidget;

namespace tamisko {

// Runs the life of the open document for its owner window: New, Open, Save and Save As
// with their dialogs, the question whether to save unsaved changes, the recent-file list
// at the bottom of the file menu and in a profile file, the document named on the
// command line, and the question when the owner is closed. What a document holds is the
// owner's business: it supplies the functions that create, open and save one.
class FileMenuHandler final : public QObject
{
    Q_OBJECT

public:
    // True when the operation succeeded; a false result changes nothing here.
    using IOFunction = std::function<bool(const QString& Filename)>;
    using SetCaption = std::function<void(const QString& FileName)>;
    // What a save over the open document's own file should do.
    enum class SaveCheck
    {
        Proceed,
        SaveAs, // under another name, through the save dialog
        Cancel  // not at all; the document stays modified
    };
    using SaveCheckFunction = std::function<SaveCheck(const QString& FileName)>;

    static constexpr int kMaxListLimit = 35; // nine digits and 26 letters

    // Takes over the owner's first show event (StartUp) and its close request (CloseQuery).
    explicit FileMenuHandler(QWidget* owner);
    // Writes the recent-file list back, when it was read at start.
    ~FileMenuHandler() override;

    // Settings.
    QString IniFileName = QStringLiteral("Options.ini");
    FileDialogRequest SaveDialog;
    FileDialogRequest OpenDialog;
    QString DefaultFileName;
    QString NotFoundString = QStringLiteral("File %s not found.");
    QString FileChangedString = QStringLiteral("File %s has changed. Save Changes?");
    QString FileChangedCaption = QStringLiteral("Save changes");
    IOFunction OnOpen;
    IOFunction OnSave;
    IOFunction OnNew;
    SetCaption OnNewFormCaption;
    // Asked before Save writes the open document's file (not before Save As).
    SaveCheckFunction BeforeSave;
    bool AddShortcut = true;
    QIcon NewItemImage; // of every recent-file entry; none when null
    bool MoveToTop = true;
    int ParamCountLook = 1; // 0: the command line is not looked at
    bool LoadNewOnStart = true;
    // The directory of the profile file, with a trailing separator; empty: the program's.
    QString ProfileDir;
    // The command line that StartUp looks at (the program's own by default).
    QStringList Arguments;

    int MaxList() const { return maxList_; }
    void setMaxList(int count);
    bool EnableMenuList() const { return enableMenuList_; }
    void setEnableMenuList(bool enable);
    QMenu* FileMenu() const;
    void setFileMenu(QMenu* menu);

    // Document state.
    const QString& FileName() const { return fileName_; }
    bool Untitled() const { return untitled_; }
    bool Modified() const { return modified_; }
    void setModified(bool modified) { modified_ = modified; }
    // A document opened only for reading is saved through the save dialog only.
    bool ReadOnly() const { return readOnly_; }
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
    // The owner has replaced the document by an unsaved copy (a recovered document, a
    // backup): it goes by the name, untitled and modified, so that Save asks where to.
    void AdoptUntitled(const QString& fileName);
    const QStringList& RecentList() const { return recentList_; }
    QAction* ListSeparator() const;

    // The four commands.
    void NewFile();
    void OpenFile();
    void SaveFile();
    void SaveFileAs();

    // True to go on, false when the user abandoned the command (or its save failed).
    bool AskSaveChanges();
    // Reads the profile, then opens the document named on the command line.
    void StartUp();
    // True when the owner may close.
    bool CloseQuery();
    void OpenRecentFile(int index);
    void ShowNotFound(const QString& name) const;
    void UpdateRecentMenu();
    void AddToRecent();
    void LoadRecentFiles();

    // The path made absolute with "." and ".." resolved; symbolic links stay as named.
    static QString ExpandLongPath(const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // True when the document was saved.
    bool save();
    bool saveAs();
    // Takes over a document that was opened under the name.
    void opened(const QString& name);
    void removeRecentEntries();
    void writeRecentFiles();

    QWidget* owner_;
    int maxList_ = 4;
    bool enableMenuList_ = true;
    QPointer<QMenu> fileMenu_;
    QString fileName_;
    bool untitled_ = false;
    bool modified_ = false;
    bool readOnly_ = false;
    QStringList recentList_;
    QPointer<QAction> listSeparator_;
    std::optional<ProfileFile> profile_;
    bool startedUp_ = false;
};

} // namespace tamisko
