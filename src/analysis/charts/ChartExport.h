#pragma once

#include <functional>
#include <memory>
#include <QRectF>

class QMimeData;
class QPainter;
class QPrinter;
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

// The modal print preview of a chart on an A4 page. Tests replace it so that no modal
// loop runs.
class ChartPrintPreview final
{
public:
    using Handler = std::function<void(PaintableChart& chart, QWidget* owner)>;

    static void show(PaintableChart& chart, QWidget* owner);

    // Installs a handler in place of the dialog and returns the previous one; an empty
    // handler brings the dialog back.
    static Handler setHandler(Handler handler);

    // The real thing: QPrintPreviewDialog on an A4 landscape page.
    static void showDialog(PaintableChart& chart, QWidget* owner);
};

} // namespace tamisko
