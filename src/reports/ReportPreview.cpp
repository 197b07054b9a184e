#include "reports/ReportPreview.h"

#include "reports/ReportPainter.h"

#include <QAction>
#include <QPrinter>
#include <QPrintPreviewDialog>
#include <QToolBar>

namespace tamisko::report {

bool saveAsPdf(const ReportLayout& layout, const QString& fileName, const QString& title)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(fileName);
    printer.setDocName(title);
    printer.setCreator(QStringLiteral("Tamisko"));
    return ReportPainter::print(layout, printer);
}

ReportPreview::ReportPreview(QWidget* parent, Prompts prompts)
    : parent_(parent), prompts_(std::move(prompts))
{}

void ReportPreview::show(const ReportLayout& layout, const QString& title)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(title);
    ReportPainter::preparePrinter(layout, printer);

    QPrintPreviewDialog dialog(&printer, parent_);
    dialog.setWindowTitle(title);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&layout](QPrinter* target) { ReportPainter::print(layout, *target); });
    if (prompts_.askPdfFileName) {
        if (auto* toolBar = dialog.findChild<QToolBar*>()) {
            toolBar->addSeparator();
            QAction* savePdfAction = toolBar->addAction(QStringLiteral("Αποθήκευση ως PDF"));
            QObject::connect(savePdfAction, &QAction::triggered, &dialog,
                             [this, &layout, &title] { savePdf(layout, title); });
        }
    }
    dialog.exec();
}

void ReportPreview::savePdf(const ReportLayout& layout, const QString& title) const
{
    const QString fileName = prompts_.askPdfFileName();
    if (fileName.isEmpty())
        return;
    if (!saveAsPdf(layout, fileName, title) && prompts_.showError)
        prompts_.showError(
            QStringLiteral("Δεν ήταν δυνατή η αποθήκευση του αρχείου %1.").arg(fileName));
}

} // namespace tamisko::report
