#include "app/MainFrm.h"

#include "app/FileMenuHdl.h"
#include "data/DocumentFile.h"
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
#include <QFile>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
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
      ActionList{Open,     Save, SaveAs,     New,   Kinisis, Sigrisis,    Diaxronika,   Pinakas,
                 Password, Exit, Categories, About, Help,    PrintAction, EuroComputer, NewKinisi},
      FMH(new FileMenuHandler(this)), settings_(settings)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(kTitle);
    setWindowIcon(QIcon(QStringLiteral(":/icons/tamisko.svg")));

    for (QAction* action :
         {Save, SaveAs, Kinisis, Sigrisis, Diaxronika, Pinakas, Password, Categories, NewKinisi})
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
        {NewKinisi, &MainForm::NewKinisiExecute}};
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
    mnuFile->addActions({Save, SaveAs, Password});
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
}

void MainForm::setDataModule(DataMod& data)
{
    data_ = &data;
    data.setNotifier(this);
    data.setPasswordPrompt([this](std::string& password) {
        passwordAsked_ = true;
        return DialogService::instance().askPassword(
            password,
            {kPasswordHelpContext, QStringLiteral("Εισαγωγή κωδικού:"), QStringLiteral("Κωδικός")});
    });
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
        FMH->setModified(true);
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
        ReleaseAnalysisWindows();
        EnableAllActions();
        if (!data_)
            return false;
        data_->NewDocument();
        ShowBalance(0);
        return true;
    } catch (...) {
        return false;
    }
}

bool MainForm::FMHOpen(const QString& Filename)
{
    try {
        ReleaseAnalysisWindows();
        if (!data_)
            return false;
        passwordAsked_ = false;
        data_->OpenDocument(fileNameBytes(Filename));
        EnableAllActions();
        return true;
    } catch (const SilentAbort&) {
        return false; // a cancelled password prompt, an empty file
    } catch (const FileSystemError& error) {
        // The previous document stays open; say why this one did not.
        DialogService::instance().showError(
            kProblem, QStringLiteral("Το αρχείο %1 δεν άνοιξε.\n%2").arg(Filename, reason(error)));
        return false;
    } catch (const std::exception&) {
        // The reader's own words would tell the user nothing; under a password, a wrong
        // one reads exactly like a damaged file.
        const QString text = passwordAsked_ ? QStringLiteral("Ο κωδικός είναι λάθος ή το αρχείο %1 "
                                                             "είναι κατεστραμμένο.")
                                            : QStringLiteral("Το αρχείο %1 είναι κατεστραμμένο.");
        DialogService::instance().showError(kProblem, text.arg(Filename));
        return false;
    } catch (...) {
        return false;
    }
}

bool MainForm::FMHSave(const QString& Filename)
{
    try {
        if (!data_)
            return false;
        data_->SaveDocument(fileNameBytes(Filename));
        return true;
    } catch (const std::exception& error) {
        // Never silent: the changes are still only in memory.
        DialogService::instance().showError(
            kProblem,
            QStringLiteral("Το αρχείο %1 δεν αποθηκεύτηκε.\n%2").arg(Filename, reason(error)));
        return false;
    } catch (...) {
        return false;
    }
}

void MainForm::FMHNewFormCaption(const QString& FileName)
{
    const std::string name = FileNameWithoutExt(fileNameBytes(FileName));
    setWindowTitle(kTitle + QStringLiteral(" - ") + QFile::decodeName(name.c_str()));
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

QWidget* MainForm::showDocumentWindow(DocumentWindow window)
{
    const auto index = static_cast<size_t>(window);
    QPointer<QWidget>& form = windows_[index];
    if (!form && factories_[index]) {
        form = factories_[index](clientArea_);
        if (form)
            form->setGeometry(clientArea_->rect());
    }
    if (!form)
        return nullptr;
    if (auto* child = qobject_cast<ChildForm*>(form.data())) {
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
    FMH->setModified(true);
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
        if (!Placement.restore(*this)) {
            if (const QScreen* screen = QGuiApplication::primaryScreen()) {
                QRect frame = frameGeometry();
                frame.moveCenter(screen->availableGeometry().center());
                move(frame.topLeft());
            }
        }
    }
    // The file menu handler's start-up runs on the show event, after the placement.
    QMainWindow::setVisible(visible);
}

void MainForm::closeEvent(QCloseEvent* event)
{
    // The file menu handler has already allowed the close.
    Placement.save(*this);
    if (euroForm_)
        euroForm_->storeSettings();
    event->accept();
}

} // namespace tamisko
