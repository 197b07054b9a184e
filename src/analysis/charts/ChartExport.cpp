#include "analysis/charts/ChartExport.h"

#include "analysis/charts/PaintableChart.h"

#include <algorithm>
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

void ChartPrintPreview::show(PaintableChart& chart, QWidget* owner)
{
    if (const Handler& handler = installedHandler())
        handler(chart, owner);
    else
        showDialog(chart, owner);
}

ChartPrintPreview::Handler ChartPrintPreview::setHandler(Handler handler)
{
    return std::exchange(installedHandler(), std::move(handler));
}

void ChartPrintPreview::showDialog(PaintableChart& chart, QWidget* owner)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintPreviewDialog dialog(&printer, owner);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&chart](QPrinter* target) { printChart(chart, *target); });
    dialog.exec();
}

} // namespace tamisko
