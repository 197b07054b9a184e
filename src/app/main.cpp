#include "app/DocumentWindows.h"
#include "app/MainFrm.h"
#include "app/QtDialogService.h"
#include "data/DataMdl.h"
#include "platform/GreekQtTranslator.h"
#include "platform/Help.h"
#include "platform/SystemLocale.h"
#include "reports/LogRpt.h"
#include "reports/ReportPreview.h"
#include "reports/SigrisisRpt.h"
#include "widgets/EuroFrm.h"

#include <malloc.h>
#include <optional>
#include <QApplication>
#include <QTimer>

using namespace tamisko;

namespace {

report::ReportPreview::Prompts reportPrompts()
{
    return {[] {
                FileDialogRequest request;
                request.title = QStringLiteral("Αποθήκευση ως PDF");
                request.filter = QStringLiteral("PDF (*.pdf)");
                request.defaultSuffix = QStringLiteral("pdf");
                return DialogService::instance().saveFileName(request).value_or(QString());
            },
            [](const QString& message) {
                DialogService::instance().showError(QStringLiteral("Πρόβλημα"), message);
            }};
}

} // namespace

int main(int argc, char** argv)
{
    // A large book's sorts, exports and analyses make buffers of many megabytes for a
    // moment. With the C library's sliding threshold such buffers come from the heap
    // after the first one is freed, and the heap keeps their pages: a fixed threshold
    // gives every one of them back when it goes.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
    Q_INIT_RESOURCE(tamisko);
    QApplication app(argc, argv);
    GreekQtTranslator translator;
    QApplication::installTranslator(&translator);
    QtDialogService dialogs;
    const ScopedDialogService dialogScope(dialogs);
    help::F1Filter helpKey;
    app.installEventFilter(&helpKey);

    // The title of the program's windows and messages.
    QApplication::setApplicationName(QStringLiteral("Οι ταμίσκες μου"));
    QGuiApplication::setDesktopFileName(QStringLiteral("tamisko"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/tamisko.svg")));
    const RegionalSettings settings = systemRegionalSettings();

    // Created in this order; declared first so that they outlive the windows using them.
    std::optional<DataMod> dataMod;
    std::optional<report::ReportPreview> preview;
    std::optional<LogReport> logReport;
    std::optional<SigrisisReport> sigrisisReport;

    MainForm mainForm(settings);
    dataMod.emplace();
    mainForm.setDataModule(*dataMod);
    preview.emplace(&mainForm, reportPrompts());
    logReport.emplace(*preview);
    sigrisisReport.emplace(*preview);
    EuroForm euroForm(settings);
    // The calculator does not keep the program running once the main window is closed.
    euroForm.setAttribute(Qt::WA_QuitOnClose, false);
    euroForm.hide();
    mainForm.setEuroForm(&euroForm);
    registerDocumentWindows(mainForm, *dataMod, *logReport, *sigrisisReport);

    mainForm.show();
    // Once the window and a document named on the command line are there.
    QTimer::singleShot(0, &mainForm, &MainForm::OfferRecovery);
    return QApplication::exec();
}
