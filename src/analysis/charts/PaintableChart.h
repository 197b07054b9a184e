#pragma once

#include <QRectF>
#include <QSize>

class QPainter;

namespace tamisko {

// A chart that draws itself as vectors onto any painter, for the clipboard and the
// printer. (QWidget::render would go through a pixmap on a printer.)
class PaintableChart
{
public:
    // The size of the picture as the chart shows it on screen.
    virtual QSize chartSize() const = 0;
    // Draws the picture as it is on screen, stretched to fill target.
    virtual void paintChart(QPainter& painter, const QRectF& target) = 0;

protected:
    ~PaintableChart() = default;
};

} // namespace tamisko
