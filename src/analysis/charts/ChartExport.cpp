#include "analysis/charts/ChartExport.h"

#include "analysis/charts/PaintableChart.h"
#include "platform/DialogService.h"

#include <algorithm>
#include <QAction>
#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrintPreviewDialog>
#include <QSvgGenerator>
#include <QToolBar>
#include <utility>

namespace tamisko {
namespace {

QRectF pictureRect(const PaintableChart& chart)
{
    return {QPointF(0, 0), QSizeF(chart.chartSize())};
}

QByteArray svgPicture(PaintableChart& chart)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(chart.chartSize());
    generator.setViewBox(pictureRect(chart));
    {
        QPainter painter(&generator);
        chart.paintChart(painter, pictureRect(chart));
    }
    return buffer.data();
}

QImage rasterPicture(PaintableChart& chart)
{
    QImage image(chart.chartSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    chart.paintChart(painter, pictureRect(chart));
    return image;
}

void setUpPage(QPrinter& printer, const QString& title)
{
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(title);
    printer.setCreator(QStringLiteral("Tamisko"));
}

ChartPrintPreview::Handler& installedHandler()
{
    static ChartPrintPreview::Handler handler;
    return handler;
}

} // namespace

std::unique_ptr<QMimeData> chartMimeData(PaintableChart& chart)
{
    auto data = std::make_unique<QMimeData>();
    data->setData(QStringLiteral("image/svg+xml"), svgPicture(chart));
    data->setImageData(rasterPicture(chart));
    return data;
}

void copyChartToClipboard(PaintableChart& chart)
{
    QGuiApplication::clipboard()->setMimeData(chartMimeData(chart).release());
}

void paintChartPage(PaintableChart& chart, QPainter& painter, const QRectF& pageRect)
{
    const QSizeF size = chart.chartSize();
    if (size.isEmpty() || pageRect.isEmpty())
        return;
    const qreal scale =
        std::min(pageRect.width() / size.width(), pageRect.height() / size.height());
    const qreal left = pageRect.left() + (pageRect.width() - size.width() * scale) / 2;
    // Scaling the painter keeps the on-screen layout: text grows with the picture.
    painter.save();
    painter.translate(left, pageRect.top());
    painter.scale(scale, scale);
    chart.paintChart(painter, pictureRect(chart));
    painter.restore();
}

void printChart(PaintableChart& chart, QPrinter& printer)
{
    QPainter painter(&printer);
    // The painter's origin is the top left of the printable area.
    const QRect printable = printer.pageLayout().paintRectPixels(printer.resolution());
    paintChartPage(chart, painter, QRectF(QPointF(0, 0), printable.size()));
}

bool saveChartAsPdf(PaintableChart& chart, const QString& fileName, const QString& title)
{
    QPrinter printer(QPrinter::HighResolution);
    setUpPage(printer, title);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(fileName);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRect printable = printer.pageLayout().paintRectPixels(printer.resolution());
    paintChartPage(chart, painter, QRectF(QPointF(0, 0), printable.size()));
    return painter.end();
}

void ChartPrintPreview::show(PaintableChart& chart, QWidget* owner, const QString& title)
{
    if (const Handler& handler = installedHandler())
        handler(chart, owner, title);
    else
        showDialog(chart, owner, title);
}

ChartPrintPreview::Handler ChartPrintPreview::setHandler(Handler handler)
{
    return std::exchange(installedHandler(), std::move(handler));
}

void ChartPrintPreview::showDialog(PaintableChart& chart, QWidget* owner, const QString& title)
{
    const std::unique_ptr<PaintableChart> printed = chart.snapshot();
    QPrinter printer(QPrinter::HighResolution);
    createDialog(*printed, printer, owner, title)->exec();
}

std::unique_ptr<QPrintPreviewDialog> ChartPrintPreview::createDialog(PaintableChart& printed,
                                                                     QPrinter& printer,
                                                                     QWidget* owner,
                                                                     const QString& title)
{
    setUpPage(printer, title);
    auto dialog = std::make_unique<QPrintPreviewDialog>(&printer, owner);
    dialog->setWindowTitle(title);
    QObject::connect(dialog.get(), &QPrintPreviewDialog::paintRequested, dialog.get(),
                     [&printed](QPrinter* target) { printChart(printed, *target); });
    if (auto* toolBar = dialog->findChild<QToolBar*>()) {
        toolBar->addSeparator();
        QAction* savePdf = toolBar->addAction(QStringLiteral("Αποθήκευση ως PDF"));
        QObject::connect(savePdf, &QAction::triggered, dialog.get(), [&printed, title] {
            FileDialogRequest request;
            request.title = QStringLiteral("Αποθήκευση ως PDF");
            request.filter = QStringLiteral("PDF (*.pdf)");
            request.defaultSuffix = QStringLiteral("pdf");
            const std::optional<QString> fileName = DialogService::instance().saveFileName(request);
            if (fileName && !saveChartAsPdf(printed, *fileName, title))
                DialogService::instance().showError(
                    QStringLiteral("Πρόβλημα"),
                    QStringLiteral("Δεν ήταν δυνατή η αποθήκευση του αρχείου %1.").arg(*fileName));
        });
    }
    return dialog;
}

} // namespace tamisko
