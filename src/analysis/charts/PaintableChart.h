#pragma once

#include <memory>
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
    // A copy of the chart as it is shown (data, size, rotation, zoom), kept out of any
    // window: a printer draws the copy, so that nothing of the printing reaches the chart
    // the user looks at.
    virtual std::unique_ptr<PaintableChart> snapshot() const = 0;

    virtual ~PaintableChart() = default;
};

} // namespace tamisko
