#include "app/MainFrm.h"

#include "app/BookSafety.h"
#include "app/FileMenuHdl.h"
#include "app/RecoveryCopies.h"
#include "data/Backups.h"
#include "data/DocumentFile.h"
#include "data/DocumentSnapshot.h"
#include "data/Errors.h"
#include "data/Format.h"
#include "data/TableUtils.h"
#include "platform/Child.h"
#include "platform/DialogService.h"
#include "platform/Help.h"
#include "platform/ProfileFile.h"
#include "platform/Text.h"
#include "widgets/AboutFrm.h"
#include "widgets/DotMatrixDisplay.h"
#include "widgets/EuroFrm.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace tamisko {
namespace {

const QString kTitle = QStringLiteral("Οι ταμίσκες μου");
const QString kProblem = QStringLiteral("Πρόβλημα");
constexpr int kPasswordHelpContext = 70;
constexpr QSize kClientSize(792, 355);
constexpr QSize kMinimumSize(499, 322);
constexpr int kToolbarHeight = 45;
constexpr int kButtonHeight = 40;
constexpr int kBottomDockHeight = 9;
constexpr QSize kDisplayWindowSize(260, 41);

// The client area proper: every window in it fills it, document window or not.
class ClientArea final : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QWidget::resizeEvent(event);
        for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            child->setGeometry(rect());
    }
};

std::string fileNameBytes(const QString& name)
{
    return QFile::encodeName(name).toStdString();
}

QString reason(const std::exception& error)
{
    return errorText(error);
}

} // namespace

const QColor MainForm::kDisplayColour(206, 206, 206);
const QColor MainForm::kDisplayPixelOff(196, 196, 196);
const QColor MainForm::kHighlightColour(184, 198, 13);
const QColor MainForm::kHighlightPixelOff(168, 181, 13);

QIcon MainForm::ImageList(int index)
{
    static const std::array<const char*, 18> names = {
        nullptr,   nullptr,    "diaxronika", "recent",     "password", "exit",
        "pinakas", "open",     "kinisis",    "categories", "print",    "save",
        "save-as", "sigrisis", "new",        "help",       "about",    "euro"};
    if (index < 0 || index >= static_cast<int>(names.size()) || !names[index])
        return {};
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(names[index])));
}

MainForm::MainForm(const RegionalSettings& settings, QWidget* parent)
    : QMainWindow(parent),
      Open(newAction(QStringLiteral("Άνοιγμα"), 7, QKeySequence(Qt::CTRL | Qt::Key_O))),
      Save(newAction(QStringLiteral("Αποθήκευση"), 11, QKeySequence(Qt::CTRL | Qt::Key_S))),
      SaveAs(newAction(QStringLiteral("Αποθήκευση ως..."), 12)),
      New(newAction(QStringLiteral("Νέο αρχείο"), 14)),
      Kinisis(newAction(QStringLiteral("Κινήσεις"), 8, Qt::Key_F5, 20)),
      Sigrisis(newAction(QStringLiteral("Συγκρίσεις"), 13, Qt::Key_F7, 40)),
      Diaxronika(newAction(QStringLiteral("Διαχρονικά"), 2, Qt::Key_F8, 50)),
      Pinakas(newAction(QStringLiteral("Πίνακας"), 6, Qt::Key_F6, 30)),
      Password(newAction(QStringLiteral("Κωδικός"), 4, {}, kPasswordHelpContext)),
      Exit(newAction(QStringLiteral("Εξοδος"), 5)),
      Categories(newAction(QStringLiteral("Κατηγορίες"), 9, {}, 60)),
      About(newAction(QStringLiteral("Πληροφορίες"), 16)),
      Help(newAction(QStringLiteral("Βοήθεια"), 15)),
      PrintAction(newAction(QStringLiteral("Εκτυπώσεις"), 10)),
      EuroComputer(newAction(QStringLiteral("Έυρω Κομπιούτερ"), 17, Qt::Key_F9)),
      NewKinisi(newAction(QStringLiteral("Νέα κίνηση"), -1, Qt::Key_F10)),
      ImportMovements(newAction(QStringLiteral("Εισαγωγή κινήσεων..."), -1,
                                QKeySequence(Qt::CTRL | Qt::Key_I))),
      ActionList{Open,       Save,        SaveAs,       New,       Kinisis,        Sigrisis,
                 Diaxronika, Pinakas,     Password,     Exit,      Categories,     About,
                 Help,       PrintAction, EuroComputer, NewKinisi, ImportMovements},
      UndoImport(newAction(QStringLiteral("Αναίρεση εισαγωγής"), -1)),
      RestoreBackup(newAction(QStringLiteral("Επαναφορά αντιγράφου..."), -1)),
      FMH(new FileMenuHandler(this)), settings_(settings),
      safety_(std::make_unique<BookSafety>(
          [this] { return data_ ? DocumentSnapshot(*data_) : std::vector<uint8_t>(); }))
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(kTitle);
    setWindowIcon(QIcon(QStringLiteral(":/icons/tamisko.svg")));

    for (QAction* action : {Save, SaveAs, Kinisis, Sigrisis, Diaxronika, Pinakas, Password,
                            Categories, NewKinisi, ImportMovements, UndoImport})
        action->setEnabled(false);
    // Stands in no menu and on no toolbar: only its shortcut reaches it.
    NewKinisi->setStatusTip(QStringLiteral("Δημιουργία νέα κίνησης"));
    NewKinisi->setToolTip(NewKinisi->statusTip());
    addAction(NewKinisi);

    const std::pair<QAction*, void (MainForm::*)()> handlers[] = {
        {Open, &MainForm::OpenExecute},
        {Save, &MainForm::SaveExecute},
        {SaveAs, &MainForm::SaveAsExecute},
        {New, &MainForm::NewExecute},
        {Kinisis, &MainForm::KinisisExecute},
        {Sigrisis, &MainForm::SigrisisExecute},
        {Diaxronika, &MainForm::DiaxronikaExecute},
        {Pinakas, &MainForm::PinakasExecute},
        {Password, &MainForm::PasswordExecute},
        {Exit, &MainForm::ExitExecute},
        {Categories, &MainForm::CategoriesExecute},
        {About, &MainForm::AboutExecute},
        {Help, &MainForm::HelpExecute},
        {PrintAction, &MainForm::PrintActionExecute},
        {EuroComputer, &MainForm::EuroComputerExecute},
        {NewKinisi, &MainForm::NewKinisiExecute},
        {ImportMovements, &MainForm::ImportMovementsExecute},
        {UndoImport, &MainForm::UndoImportExecute},
        {RestoreBackup, &MainForm::RestoreBackupExecute}};
    for (const auto& [action, handler] : handlers)
        connect(action, &QAction::triggered, this, handler);

    createMenus();
    createToolbars();

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    clientArea_ = new ClientArea(central);
    clientArea_->setObjectName(QStringLiteral("ClientArea"));
    DockBottom = new QWidget(central);
    DockBottom->setObjectName(QStringLiteral("DockBottom"));
    DockBottom->setFixedHeight(kBottomDockHeight);
    layout->addWidget(clientArea_, 1);
    layout->addWidget(DockBottom);
    setCentralWidget(central);

    setUpFileMenuHandler();

    Timer.setInterval(kHighlightMilliseconds);
    connect(&Timer, &QTimer::timeout, this, &MainForm::TimerTimer);

    Placement.setIniFileName(GetIniFileName());
    setMinimumSize(kMinimumSize);
    resize(kClientSize.width(), kClientSize.height() + menuBar()->sizeHint().height());
}

MainForm::~MainForm()
{
    if (placementRestored_)
        Placement.save(*this);
}

QAction* MainForm::newAction(const QString& caption, int image, QKeySequence shortcut,
                             int helpContext)
{
    auto* action = new QAction(ImageList(image), caption, this);
    action->setShortcut(shortcut);
    if (helpContext)
        help::setHelpContext(action, helpContext);
    return action;
}

void MainForm::createMenus()
{
    mnuFile = menuBar()->addMenu(QStringLiteral("Αρχείο"));
    mnuFile->addActions({New, Open});
    mnuFile->addSeparator();
    mnuFile->addActions({Save, SaveAs, Password, RestoreBackup});
    LastSep = mnuFile->addSeparator();
    mnuFile->addAction(Exit);
    for (int i = 0; i < 4; ++i)
        mnuFile->addSeparator()->setVisible(false);

    mnuData = menuBar()->addMenu(QStringLiteral("Δεδομένα"));
    mnuData->addActions({Kinisis, Pinakas});
    mnuData->addSeparator();
    mnuData->addActions({Diaxronika, Sigrisis});
    mnuData->addSeparator();
    mnuData->addAction(Categories);
    mnuData->addSeparator();
    mnuData->addActions({ImportMovements, UndoImport});
    mnuData->addSeparator();
    mnuData->addAction(PrintAction);

    mnuHelp = menuBar()->addMenu(QStringLiteral("Βοήθεια"));
    mnuHelp->addAction(EuroComputer);
    mnuHelp->addSeparator();
    mnuHelp->addActions({Help, About});
}

void MainForm::createToolbars()
{
    const auto fixedToolbar = [this](const QString& name) {
        auto* toolbar = new QToolBar(name, this);
        toolbar->setObjectName(name);
        toolbar->setFloatable(false);
        toolbar->setMovable(false);
        // Nothing may close it, the main window's context menu included.
        toolbar->toggleViewAction()->setVisible(false);
        toolbar->setFixedHeight(kToolbarHeight);
        addToolBar(Qt::TopToolBarArea, toolbar);
        return toolbar;
    };

    MainToolbar = fixedToolbar(QStringLiteral("MainToolbar"));
    MainToolbar->setIconSize(QSize(32, 32));
    MainToolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    const auto button = [this](QAction* action, const QString& name) {
        MainToolbar->addAction(action);
        auto* toolButton = qobject_cast<QToolButton*>(MainToolbar->widgetForAction(action));
        toolButton->setObjectName(name);
        toolButton->setFixedHeight(kButtonHeight);
        return toolButton;
    };
    btnKinisis = button(Kinisis, QStringLiteral("btnKinisis"));
    MainToolbar->addSeparator();
    btnPinakas = button(Pinakas, QStringLiteral("btnPinakas"));
    MainToolbar->addSeparator();
    btnSigrisis = button(Sigrisis, QStringLiteral("btnSigrisis"));
    btnDiaxronika = button(Diaxronika, QStringLiteral("btnDiaxronika"));

    DisplayWindow = fixedToolbar(QStringLiteral("DisplayWindow"));
    auto* displayArea = new QWidget(DisplayWindow);
    displayArea->setFixedSize(kDisplayWindowSize);
    LCD = new DotMatrixDisplay(displayArea);
    setUpDisplay();
    DisplayWindow->addWidget(displayArea);
}

void MainForm::setUpDisplay()
{
    LCD->setObjectName(QStringLiteral("LCD"));
    LCD->setColor(kDisplayColour);
    LCD->setPixelOff(kDisplayPixelOff);
    LCD->setPixelOn(Qt::black);
    LCD->setDotMatrix(DotMatrixDisplay::mat7x9);
    LCD->setPixelSize(DotMatrixDisplay::pix2x2);
    LCD->setPixelShape(DotMatrixDisplay::psSquare);
    LCD->setPixelSpacing(1);
    LCD->setCharSpacing(1);
    LCD->setLineSpacing(1);
    LCD->setBorderSpace(3);
    LCD->setBorderStyle(DotMatrixDisplay::bsNone);
    LCD->setDotMatrixBorders(DotMatrixDisplay::mbTop | DotMatrixDisplay::mbBottom);
    LCD->setIntensity(127);
    LCD->setSpecialEffects(DotMatrixDisplay::spInverse);
    LCD->setAnimationDelay(250);
    LCD->setAnimationRepeating(true);
    LCD->setAnimationUnits(DotMatrixDisplay::auPixel);
    LCD->setAnimationEnabled(true);
    // The counts last: the display takes the size of exactly one line of 12 characters.
    LCD->setNoOfLines(1);
    LCD->setNoOfChars(12);
    LCD->setLines({QStringLiteral(" Tamisko 1.3")});
}

void MainForm::setUpFileMenuHandler()
{
    FMH->IniFileName = QStringLiteral("Tamisko.ini");
    FMH->DefaultFileName = QStringLiteral("Νέες ταμίσκες.tmk");
    FMH->setMaxList(3);
    FMH->setFileMenu(mnuFile);
    FMH->NotFoundString = QStringLiteral("Δεν βρέθηκε το αρχείο %s.");
    FMH->FileChangedString =
        QStringLiteral("Το αρχείο %s έχει αλλάξει. Να αποθηκευτούν οι αλλαγές;");
    FMH->FileChangedCaption = QStringLiteral("Αποθήκευση αλλαγών");
    FMH->AddShortcut = true;
    FMH->NewItemImage = ImageList(3);
    FMH->setEnableMenuList(true);
    FMH->MoveToTop = true;
    FMH->ParamCountLook = 1;
    FMH->LoadNewOnStart = false;

    FMH->OpenDialog.title = QStringLiteral("Άνοιγμα αρχείου \"ταμίσκες\"");
    // Both spellings of the extension: this file system tells them apart.
    FMH->OpenDialog.filter = QStringLiteral("Ταμίσκες (*.tmk *.TMK)");
    FMH->OpenDialog.defaultSuffix = QStringLiteral("tmk");
    FMH->SaveDialog.title = QStringLiteral("Αποθήκευση αρχείου \"ταμίσκες\"");
    FMH->SaveDialog.filter = QStringLiteral("Ταμίσκες (*.tmk)");
    FMH->SaveDialog.defaultSuffix = QStringLiteral("tmk");
    FMH->SaveDialog.confirmCreate = true;

    FMH->OnOpen = [this](const QString& name) {
        return FMHOpen(name);
    };
    FMH->OnSave = [this](const QString& name) {
        return FMHSave(name);
    };
    FMH->OnNew = [this](const QString& name) {
        return FMHNew(name);
    };
    FMH->OnNewFormCaption = [this](const QString& name) {
        FMHNewFormCaption(name);
    };
    FMH->BeforeSave = [this](const QString& name) {
        return safety_->checkBeforeSave(name);
    };
}

void MainForm::setDataModule(DataMod& data)
{
    data_ = &data;
    data.setNotifier(this);
    installPasswordPrompt();
}

void MainForm::installPasswordPrompt()
{
    data_->setPasswordPrompt([this](std::string& password) {
        passwordAsked_ = true;
        return DialogService::instance().askPassword(
            password,
            {kPasswordHelpContext, QStringLiteral("Εισαγωγή κωδικού:"), QStringLiteral("Κωδικός")});
    });
}

void MainForm::markModified()
{
    FMH->setModified(true);
    safety_->changed();
}

void MainForm::setWindowFactory(DocumentWindow window, WindowFactory factory)
{
    factories_[static_cast<size_t>(window)] = std::move(factory);
}

QWidget* MainForm::documentWindow(DocumentWindow window) const
{
    return windows_[static_cast<size_t>(window)];
}

void MainForm::sendDataModified()
{
    QEvent event(kDataModifiedEvent);
    QCoreApplication::sendEvent(this, &event);
}

void MainForm::postBalanceChanged()
{
    QCoreApplication::postEvent(this, new QEvent(kBalanceChangedEvent));
}

bool MainForm::event(QEvent* event)
{
    if (event->type() == kBalanceChangedEvent) {
        if (data_)
            ShowBalance(data_->Balance);
        return true;
    }
    if (event->type() == kDataModifiedEvent) {
        markModified();
        withdrawImportUndo();
        return true;
    }
    return QMainWindow::event(event);
}

void MainForm::ShowBalance(long double balance)
{
    QString text = toQString(formatAmount(balance, settings_));
    const int width = LCD->noOfChars();
    if (text.size() < width)
        text.prepend(QString(width - text.size(), u' '));
    LCD->setColor(kHighlightColour);
    LCD->setPixelOff(kHighlightPixelOff);
    LCD->setLines({text});
    LCD->update();
    // A running highlight is not extended: it ends 6 s after the first change.
    if (!Timer.isActive())
        Timer.start();
}

void MainForm::TimerTimer()
{
    LCD->setColor(kDisplayColour);
    LCD->setPixelOff(kDisplayPixelOff);
    LCD->update();
    Timer.stop();
}

void MainForm::EnableAllActions()
{
    for (QAction* action : ActionList)
        action->setEnabled(true);
}

void MainForm::ReleaseAnalysisWindows()
{
    for (const DocumentWindow window : {DocumentWindow::Diaxronika, DocumentWindow::Sigrisis}) {
        QPointer<QWidget>& form = windows_[static_cast<size_t>(window)];
        if (form) {
            // Later: the window may be the one whose event is running now.
            form->deleteLater();
            form = nullptr;
        }
    }
}

bool MainForm::FMHNew(const QString& /*Filename*/)
{
    try {
        withdrawImportUndo();
        ReleaseAnalysisWindows();
        EnableAllActions();
        if (!data_)
            return false;
        data_->NewDocument();
        safety_->untitled(FMH->DefaultFileName);
        FMH->setReadOnly(false);
        ShowBalance(0);
        return true;
    } catch (const std::exception& error) {
        // The open document stays; a New that does nothing must say why.
        DialogService::instance().showError(
            kProblem, QStringLiteral("Δεν δημιουργήθηκε νέο έγγραφο.\n%1").arg(reason(error)));
        return false;
    } catch (...) {
        return false;
    }
}

bool MainForm::FMHOpen(const QString& Filename)
{
    // Asked before anything changes: a cancel leaves everything as it was.
    const BookAccess access = safety_->prepareOpen(Filename);
    if (access == BookAccess::Cancelled)
        return false;
    try {
        withdrawImportUndo();
        ReleaseAnalysisWindows();
        if (!data_)
            return false;
        passwordAsked_ = false;
        data_->OpenDocument(fileNameBytes(Filename));
        EnableAllActions();
        safety_->opened(Filename, access);
        FMH->setReadOnly(access == BookAccess::ReadOnly);
        return true;
    } catch (const SilentAbort&) {
        safety_->openFailed();
        return false; // a cancelled password prompt, an empty file
    } catch (const FileSystemError& error) {
        safety_->openFailed();
        // The previous document stays open; say why this one did not.
        DialogService::instance().showError(
            kProblem, QStringLiteral("Το αρχείο %1 δεν άνοιξε.\n%2").arg(Filename, reason(error)));
        return false;
    } catch (const std::exception&) {
        safety_->openFailed();
        // The reader's own words would tell the user nothing; under a password, a wrong
        // one reads exactly like a damaged file.
        const QString text = passwordAsked_ ? QStringLiteral("Ο κωδικός είναι λάθος ή το αρχείο %1 "
                                                             "είναι κατεστραμμένο.")
                                            : QStringLiteral("Το αρχείο %1 είναι κατεστραμμένο.");
        DialogService::instance().showError(kProblem, text.arg(Filename));
        return false;
    } catch (...) {
        safety_->openFailed();
        return false;
    }
}

bool MainForm::FMHSave(const QString& Filename)
{
    if (!data_ || !safety_->prepareSave(Filename))
        return false;
    try {
        data_->SaveDocument(fileNameBytes(Filename));
        safety_->saved(Filename, Filename);
        FMH->setReadOnly(false);
        withdrawImportUndo();
        return true;
    } catch (const std::exception& error) {
        safety_->saveFailed();
        // Never silent: the changes are still only in memory.
        DialogService::instance().showError(
            kProblem,
            QStringLiteral("Το αρχείο %1 δεν αποθηκεύτηκε.\n%2").arg(Filename, reason(error)));
        return false;
    } catch (...) {
        safety_->saveFailed();
        return false;
    }
}

void MainForm::FMHNewFormCaption(const QString& FileName)
{
    const std::string name = FileNameWithoutExt(fileNameBytes(FileName));
    const bool readOnly = FMH->ReadOnly();
    setWindowTitle(kTitle + QStringLiteral(" - ") + QFile::decodeName(name.c_str()) +
                   (readOnly ? QStringLiteral(" (μόνο ανάγνωση)") : QString()));
    // Only Save As writes a book opened for reading: to another file, under its lock.
    Save->setEnabled(!readOnly);
}

void MainForm::NewExecute()
{
    FMH->NewFile();
}

void MainForm::OpenExecute()
{
    FMH->OpenFile();
}

void MainForm::SaveExecute()
{
    FMH->SaveFile();
}

void MainForm::SaveAsExecute()
{
    FMH->SaveFileAs();
}

QWidget* MainForm::createdDocumentWindow(DocumentWindow window)
{
    const auto index = static_cast<size_t>(window);
    QPointer<QWidget>& form = windows_[index];
    if (!form && factories_[index]) {
        form = factories_[index](clientArea_);
        if (form)
            form->setGeometry(clientArea_->rect());
    }
    return form;
}

QWidget* MainForm::showDocumentWindow(DocumentWindow window)
{
    QWidget* const form = createdDocumentWindow(window);
    if (!form)
        return nullptr;
    if (auto* child = qobject_cast<ChildForm*>(form)) {
        child->showChild();
    } else {
        form->show();
        form->raise();
    }
    return form;
}

void MainForm::KinisisExecute()
{
    showDocumentWindow(DocumentWindow::Kinisi);
}

void MainForm::PinakasExecute()
{
    showDocumentWindow(DocumentWindow::Pinakas);
}

void MainForm::CategoriesExecute()
{
    showDocumentWindow(DocumentWindow::Categories);
}

void MainForm::SigrisisExecute()
{
    showDocumentWindow(DocumentWindow::Sigrisis);
}

void MainForm::DiaxronikaExecute()
{
    showDocumentWindow(DocumentWindow::Diaxronika);
}

void MainForm::NewKinisiExecute()
{
    KinisisExecute();
    if (QWidget* entry = documentWindow(DocumentWindow::Kinisi); entry && newMovement_)
        newMovement_(*entry);
}

void MainForm::ImportMovementsExecute()
{
    // The window shows itself once a file has been chosen and read.
    if (QWidget* form = createdDocumentWindow(DocumentWindow::Import); form && importCommand_)
        importCommand_(*form);
}

void MainForm::offerImportUndo(std::function<void()> undo)
{
    importUndo_ = std::move(undo);
    UndoImport->setEnabled(static_cast<bool>(importUndo_));
}

void MainForm::withdrawImportUndo()
{
    importUndo_ = nullptr;
    UndoImport->setEnabled(false);
}

void MainForm::UndoImportExecute()
{
    const std::function<void()> undo = std::move(importUndo_);
    withdrawImportUndo();
    if (!undo)
        return;
    try {
        undo();
    } catch (const std::exception& error) {
        DialogService::instance().showError(
            kProblem, QStringLiteral("Η εισαγωγή δεν αναιρέθηκε.\n%1").arg(reason(error)));
    }
}

void MainForm::PasswordExecute()
{
    if (data_) {
        DialogService::instance().changePassword(
            data_->DocumentPassword,
            {3, kPasswordHelpContext, QStringLiteral("Εισαγωγή κωδικού:"),
             QStringLiteral("Επαναεισαγωγή κωδικού:"), QStringLiteral("Κωδικός"),
             QStringLiteral("Οι κωδικοί δεν ταυτίζονται. Ξαναδοκιμάστε."),
             QStringLiteral("Ο κωδικός χρειάζεται τουλάχιστον %d χαρακτήρες")});
    }
    // Whatever the answer, as the document may now be saved with another key.
    markModified();
}

void MainForm::AboutExecute()
{
    if (!aboutForm_)
        aboutForm_ = new AboutForm(this);
    aboutForm_->exec();
}

void MainForm::HelpExecute()
{
    help::showTopic(help::kContents);
}

void MainForm::PrintActionExecute()
{
    DialogService::instance().showInformation(
        QString(), QStringLiteral("Για να εκτυπώσετε με προεσκόπιση, πατήστε δεξί κλικ επάνω\r\n"
                                  "σε οποιοδήποτε γράφημα ή πίνακα του προγράμματος."));
}

void MainForm::EuroComputerExecute()
{
    if (euroForm_)
        euroForm_->setVisible(!euroForm_->isVisible());
}

void MainForm::ExitExecute()
{
    // Through the close request, so that unsaved changes are asked about here too.
    close();
}

void MainForm::setVisible(bool visible)
{
    if (visible && !placementRestored_) {
        placementRestored_ = true;
        if (!Placement.restore(*this))
            CentreOnScreen(*this);
    }
    // The file menu handler's start-up runs on the show event, after the placement.
    QMainWindow::setVisible(visible);
}

void MainForm::closeEvent(QCloseEvent* event)
{
    // The file menu handler has already allowed the close: the changes are saved or
    // dropped, so their recovery copy goes.
    safety_->closed();
    Placement.save(*this);
    if (euroForm_)
        euroForm_->storeSettings();
    event->accept();
}

bool MainForm::openAsCopy(const QString& path, const std::string& password, const QString& problem)
{
    if (!data_)
        return false;
    ReleaseAnalysisWindows();
    // A copy of the open book is tried with its password first, then asked for one.
    if (!password.empty() && readableMovementCount(fileNameBytes(path), password)) {
        data_->setPasswordPrompt([password](std::string& typed) {
            typed = password;
            return true;
        });
    }
    try {
        data_->OpenDocument(fileNameBytes(path));
        installPasswordPrompt();
    } catch (const SilentAbort&) {
        installPasswordPrompt();
        return false;
    } catch (const std::exception& error) {
        installPasswordPrompt();
        DialogService::instance().showError(kProblem, problem.arg(path, reason(error)));
        return false;
    }
    EnableAllActions();
    return true;
}

void MainForm::RestoreBackupExecute()
{
    const QString book = safety_->book();
    const BackupFolder folder(fileNameBytes(safety_->backupFolder()));
    const std::vector<Backup> backups =
        book.isEmpty() ? std::vector<Backup>() : folder.list(fileNameBytes(book));
    if (backups.empty()) {
        DialogService::instance().showInformation(
            QStringLiteral("Ταμίσκες"),
            book.isEmpty()
                ? QStringLiteral("Τα αντίγραφα ασφαλείας είναι ενός αρχείου που έχει ανοιχτεί "
                                 "ή αποθηκευτεί· ανοίξτε πρώτα το αρχείο.")
                : QStringLiteral("Δεν υπάρχουν αντίγραφα ασφαλείας του αρχείου %1.").arg(book));
        return;
    }
    const std::string password = data_ ? data_->DocumentPassword : std::string();
    ChoiceRequest request;
    request.caption = QStringLiteral("Επαναφορά αντιγράφου");
    request.prompt = QStringLiteral("Αντίγραφα ασφαλείας του %1, το νεότερο πρώτο:").arg(book);
    request.headers = {QStringLiteral("Ημερομηνία"), QStringLiteral("Μέγεθος"),
                       QStringLiteral("Κινήσεις")};
    const QLocale locale;
    for (const Backup& backup : backups) {
        const QDateTime when(QDate(backup.when.year, backup.when.month, backup.when.day),
                             QTime(backup.when.hour, backup.when.minute, backup.when.second));
        const auto movements = readableMovementCount(backup.path, password);
        request.rows.append({when.toString(QStringLiteral("d/M/yyyy HH:mm:ss")),
                             locale.formattedDataSize(static_cast<qint64>(backup.size)),
                             movements ? locale.toString(*movements) : QStringLiteral("–")});
    }
    const auto chosen = DialogService::instance().chooseRow(request);
    if (!chosen || *chosen < 0 || *chosen >= static_cast<int>(backups.size()))
        return;
    if (!FMH->AskSaveChanges())
        return;
    const Backup& backup = backups[static_cast<size_t>(*chosen)];
    if (!openAsCopy(QFile::decodeName(backup.path.c_str()), password,
                    QStringLiteral("Το αντίγραφο ασφαλείας %1 δεν άνοιξε.\n%2")))
        return;
    // Beside the book, under a name of its own: the user decides where it goes.
    const QFileInfo info(book);
    const QString name = info.dir().filePath(QStringLiteral("%1 (αντίγραφο %2-%3-%4).tmk")
                                                 .arg(info.completeBaseName())
                                                 .arg(backup.when.year, 4, 10, QChar(u'0'))
                                                 .arg(backup.when.month, 2, 10, QChar(u'0'))
                                                 .arg(backup.when.day, 2, 10, QChar(u'0')));
    safety_->untitled(name);
    FMH->setReadOnly(false);
    FMH->AdoptUntitled(name);
    safety_->changed();
}

bool MainForm::openRecovered(RecoveryCopy& copy, const QString& name)
{
    if (!FMH->AskSaveChanges())
        return false;
    if (!openAsCopy(copy.documentPath, std::string(),
                    QStringLiteral("Το αντίγραφο ανάκτησης %1 δεν άνοιξε.\n%2")))
        return false;
    safety_->recovered(copy, name);
    FMH->setReadOnly(false);
    FMH->AdoptUntitled(name);
    return true;
}

void MainForm::OfferRecovery()
{
    if (!data_)
        return;
    const QString folder = safety_->recovery().folder();
    std::vector<RecoveryCopy> copies = pendingRecoveryCopies(folder);
    bool opened = false;
    for (RecoveryCopy& copy : copies) {
        // One document at a time: the others wait for the next start.
        if (opened)
            break;
        const QString name = !copy.name.isEmpty()  ? copy.name
                             : copy.book.isEmpty() ? FMH->DefaultFileName
                                                   : copy.book;
        MessageRequest question;
        question.caption = QStringLiteral("Ανάκτηση");
        question.text =
            QStringLiteral("Το πρόγραμμα σταμάτησε πριν αποθηκευτούν οι αλλαγές στο %1. "
                           "Υπάρχει αντίγραφό τους της %2.\n\n"
                           "Να ανοίξει το έγγραφο με τις αλλαγές (θα το αποθηκεύσετε εσείς), "
                           "να φυλαχτεί το αντίγραφο για αργότερα, ή να διαγραφεί;")
                .arg(name, copy.written.toString(QStringLiteral("d/M/yyyy HH:mm:ss")));
        question.icon = QMessageBox::Question;
        question.buttons = QMessageBox::Open | QMessageBox::Ignore | QMessageBox::Discard;
        question.defaultButton = QMessageBox::Open;
        question.escapeButton = QMessageBox::Ignore;
        question.buttonTexts = {{QMessageBox::Open, QStringLiteral("Άνοιγμα")},
                                {QMessageBox::Ignore, QStringLiteral("Αργότερα")},
                                {QMessageBox::Discard, QStringLiteral("Διαγραφή")}};
        switch (DialogService::instance().message(question)) {
        case QMessageBox::Open:
            opened = openRecovered(copy, name);
            break;
        case QMessageBox::Discard:
            removeRecoveryCopy(folder, copy.id);
            break;
        default:
            break;
        }
        // Released unless the open document took it over.
        copy.lock.reset();
    }
}

} // namespace tamisko
