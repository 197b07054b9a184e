#pragma once

#include "data/DataMdl.h"
#include "data/RegionalSettings.h"
#include "platform/WindowPlacement.h"

#include <array>
#include <functional>
#include <memory>
#include <QEvent>
#include <QIcon>
#include <QKeySequence>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <utility>

class QMenu;
class QToolBar;
class QToolButton;

namespace tamisko {

class BookSafety;
class AboutForm;
class DotMatrixDisplay;
class EuroForm;
class FileMenuHandler;
struct RecoveryCopy;

// The document windows of the client area. The main window creates each through the
// factory registered for it, so it depends on none of their classes.
enum class DocumentWindow
{
    Kinisi,
    Pinakas,
    Categories,
    Sigrisis,
    Diaxronika,
    Import
};
inline constexpr int kDocumentWindowCount = 6;

// Creates a document window as a child of the main window's client area.
using WindowFactory = std::function<QWidget*(QWidget* clientArea)>;
// Works on a document window that the main window knows only as a widget.
using WindowCommand = std::function<void(QWidget& window)>;

// The program's main window: menus, toolbar, the balance display and the commands. It
// hosts the document windows in its client area and runs the document's life through
// its file menu handler and the data module.
class MainForm final : public QMainWindow, public DocumentNotifier
{
    Q_OBJECT

public:
    static constexpr auto kBalanceChangedEvent = static_cast<QEvent::Type>(MSG_BALANCE_CHANGED);
    static constexpr auto kDataModifiedEvent = static_cast<QEvent::Type>(MSG_DATA_MODIFIED);
    static constexpr int kHighlightMilliseconds = 6000;
    static const QColor kDisplayColour;
    static const QColor kDisplayPixelOff;
    static const QColor kHighlightColour;
    static const QColor kHighlightPixelOff;

    explicit MainForm(const RegionalSettings& settings, QWidget* parent = nullptr);
    ~MainForm() override;

    // The document the commands work on; it reports its changes to this window.
    void setDataModule(DataMod& data);
    void setWindowFactory(DocumentWindow window, WindowFactory factory);
    // What NewKinisi (F10) does in the entry window once it is shown.
    void setNewMovementCommand(WindowCommand command) { newMovement_ = std::move(command); }
    // What ImportMovements (Ctrl+I) does in the import window, which shows itself.
    void setImportCommand(WindowCommand command) { importCommand_ = std::move(command); }
    // Enables UndoImport, which runs `undo` once; the next change of the document, save,
    // New or Open withdraws it.
    void offerImportUndo(std::function<void()> undo);
    const RegionalSettings& regionalSettings() const { return settings_; }
    // The euro calculator that EuroComputer shows and hides (not owned).
    void setEuroForm(EuroForm* form) { euroForm_ = form; }
    // Null until the window's first use (and again after an analysis window's release).
    QWidget* documentWindow(DocumentWindow window) const;
    QWidget* clientArea() const { return clientArea_; }

    // DocumentNotifier
    void sendDataModified() override;
    void postBalanceChanged() override;

    // The actions, in the order of ActionList.
    QAction* const Open;
    QAction* const Save;
    QAction* const SaveAs;
    QAction* const New;
    QAction* const Kinisis;
    QAction* const Sigrisis;
    QAction* const Diaxronika;
    QAction* const Pinakas;
    QAction* const Password;
    QAction* const Exit;
    QAction* const Categories;
    QAction* const About;
    QAction* const Help;
    QAction* const PrintAction;
    QAction* const EuroComputer;
    QAction* const NewKinisi;
    QAction* const ImportMovements;
    const std::array<QAction*, 17> ActionList;
    // Not in ActionList: only an import enables it.
    QAction* const UndoImport;
    // "Επαναφορά αντιγράφου...": opens one of the open book's backups as an unsaved copy.
    QAction* const RestoreBackup;

    QMenu* mnuFile = nullptr;
    QMenu* mnuData = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* LastSep = nullptr;
    QToolBar* MainToolbar = nullptr;
    QToolButton* btnKinisis = nullptr;
    QToolButton* btnPinakas = nullptr;
    QToolButton* btnSigrisis = nullptr;
    QToolButton* btnDiaxronika = nullptr;
    QToolBar* DisplayWindow = nullptr;
    DotMatrixDisplay* LCD = nullptr;
    QWidget* DockBottom = nullptr;
    FileMenuHandler* const FMH;
    QTimer Timer;
    WindowPlacement Placement{QStringLiteral("TMainForm")};

    // The lock, backups and recovery copies of the open book.
    BookSafety& safety() { return *safety_; }

    // The images of the actions, the menus and the toolbar, by index (null when none).
    static QIcon ImageList(int index);

    void ShowBalance(long double balance);
    void TimerTimer();
    void EnableAllActions();
    void ReleaseAnalysisWindows();

    bool FMHNew(const QString& Filename);
    bool FMHOpen(const QString& Filename);
    bool FMHSave(const QString& Filename);
    void FMHNewFormCaption(const QString& FileName);

    void NewExecute();
    void OpenExecute();
    void SaveExecute();
    void SaveAsExecute();
    void KinisisExecute();
    void PinakasExecute();
    void CategoriesExecute();
    void SigrisisExecute();
    void DiaxronikaExecute();
    void NewKinisiExecute();
    void PasswordExecute();
    void AboutExecute();
    void HelpExecute();
    void PrintActionExecute();
    void EuroComputerExecute();
    void ExitExecute();
    void RestoreBackupExecute();
    // At start: offers the recovery copies that a program that ended abruptly left.
    void OfferRecovery();
    void ImportMovementsExecute();
    void UndoImportExecute();

    void setVisible(bool visible) override;

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QAction* newAction(const QString& caption, int image, QKeySequence shortcut = {},
                       int helpContext = 0);
    void createMenus();
    void createToolbars();
    void setUpDisplay();
    void setUpFileMenuHandler();
    void installPasswordPrompt();
    // The document has unsaved changes.
    void markModified();
    // Takes over a document read from a file that is not its book: untitled, modified.
    bool openAsCopy(const QString& path, const std::string& password, const QString& problem);
    bool openRecovered(RecoveryCopy& copy, const QString& name);
    // Shows the window, creating it first if needed; null when no factory is registered.
    QWidget* showDocumentWindow(DocumentWindow window);
    // The window, created first if needed, but not shown.
    QWidget* createdDocumentWindow(DocumentWindow window);
    void withdrawImportUndo();

    RegionalSettings settings_;
    DataMod* data_ = nullptr;
    EuroForm* euroForm_ = nullptr;
    QWidget* clientArea_ = nullptr;
    std::array<WindowFactory, kDocumentWindowCount> factories_;
    std::array<QPointer<QWidget>, kDocumentWindowCount> windows_;
    WindowCommand newMovement_;
    WindowCommand importCommand_;
    std::function<void()> importUndo_;
    QPointer<AboutForm> aboutForm_;
    bool placementRestored_ = false;
    std::unique_ptr<BookSafety> safety_;
    // Whether the document being opened asked for its password.
    bool passwordAsked_ = false;
};

} // namespace tamisko
