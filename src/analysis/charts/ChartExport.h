#pragma once

#include <functional>
#include <memory>
#include <QRectF>

class QMimeData;
class QPainter;
class QPrinter;
class QPrintPreviewDialog;
class QString;
class QWidget;

namespace tamisko {

class PaintableChart;

// A chart's picture as the clipboard takes it: SVG (image/svg+xml, with real text) and
// a PNG image, in one QMimeData.
std::unique_ptr<QMimeData> chartMimeData(PaintableChart& chart);
void copyChartToClipboard(PaintableChart& chart);

// Paints the chart as large as fits inside pageRect, keeping its proportions, centred
// at the top of the page.
void paintChartPage(PaintableChart& chart, QPainter& painter, const QRectF& pageRect);

// Prints the chart on one page of the printer.
void printChart(PaintableChart& chart, QPrinter& printer);

// Writes the chart on one A4 landscape page of a PDF file; false when the file cannot be
// written.
bool saveChartAsPdf(PaintableChart& chart, const QString& fileName, const QString& title);

// The modal print preview of a chart on an A4 page, titled and equipped like the reports'
// preview ("Αποθήκευση ως PDF"). It draws a snapshot of the chart taken when it opens, so
// the chart in the window stays as it is. Tests replace it so that no modal loop runs.
class ChartPrintPreview final
{
public:
    using Handler =
        std::function<void(PaintableChart& chart, QWidget* owner, const QString& title)>;

    static void show(PaintableChart& chart, QWidget* owner, const QString& title);

    // Installs a handler in place of the dialog and returns the previous one; an empty
    // handler brings the dialog back.
    static Handler setHandler(Handler handler);

    // The real thing: the dialog below, run modally over a snapshot of the chart.
    static void showDialog(PaintableChart& chart, QWidget* owner, const QString& title);

    // The preview dialog drawing `printed` on `printer` (A4 landscape); the file name of
    // "Αποθήκευση ως PDF" is asked through the dialog service.
    static std::unique_ptr<QPrintPreviewDialog>
    createDialog(PaintableChart& printed, QPrinter& printer, QWidget* owner, const QString& title);
};

} // namespace tamisko
