#include "reports/ReportPainter.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageRanges>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

namespace tamisko::report {
namespace {

constexpr qreal kMmPerInch = 25.4;

void paintItem(QPainter& painter, const PlacedItem& item, qreal dotsPerMmX, qreal dotsPerMmY)
{
    const auto toDevice = [&](const QRectF& mm) {
        return QRectF(mm.x() * dotsPerMmX, mm.y() * dotsPerMmY, mm.width() * dotsPerMmX,
                      mm.height() * dotsPerMmY);
    };
    const QRectF rect = toDevice(item.rect);
    if (item.framed)
        painter.drawRect(rect);
    if (item.text.isEmpty())
        return;
    painter.setFont(item.font);
    const QFontMetricsF metrics(item.font, painter.device());
    const QStringList lines = item.text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const qreal width = metrics.horizontalAdvance(lines[i]);
        qreal x = rect.left();
        if (item.alignment & Qt::AlignRight)
            x = rect.right() - width;
        else if (item.alignment & Qt::AlignHCenter)
            x = rect.center().x() - width / 2;
        const qreal baseline = rect.top() + i * item.lineHeight * dotsPerMmY + metrics.ascent();
        painter.drawText(QPointF(x, baseline), lines[i]);
    }
}

} // namespace

void ReportPainter::paintPage(QPainter& painter, const Page& page)
{
    const qreal dotsPerMmX = painter.device()->logicalDpiX() / kMmPerInch;
    const qreal dotsPerMmY = painter.device()->logicalDpiY() / kMmPerInch;
    painter.save();
    painter.setPen(Qt::black);
    for (const PlacedBand& band : page.bands) {
        for (const PlacedItem& item : band.items)
            paintItem(painter, item, dotsPerMmX, dotsPerMmY);
    }
    painter.restore();
}

void ReportPainter::preparePrinter(const ReportLayout& layout, QPrinter& printer)
{
    const QPageSize paper(layout.setup.paperSize, QPageSize::Millimeter);
    printer.setPageLayout(
        QPageLayout(paper, QPageLayout::Portrait, QMarginsF(), QPageLayout::Millimeter));
    // The layout places everything from the paper's corner, margins included.
    printer.setFullPage(true);
}

bool ReportPainter::print(const ReportLayout& layout, QPrinter& printer)
{
    preparePrinter(layout, printer);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QPageRanges ranges = printer.pageRanges();
    bool first = true;
    for (size_t i = 0; i < layout.pages.size(); ++i) {
        if (!ranges.isEmpty() && !ranges.contains(int(i) + 1))
            continue;
        if (!first)
            printer.newPage();
        first = false;
        paintPage(painter, layout.pages[i]);
    }
    return painter.end();
}

} // namespace tamisko::report
