#pragma once

#include "analysis/charts/ChartPoint.h"
#include "data/RegionalSettings.h"

#include <QFont>

class QPainter;
class QRectF;

namespace tamisko {

// Draws a tilted 3-D pie with a rim and a mark (label and value) beside every slice.
// Depth 30 per cent, elevation 315 degrees, no perspective, no legend.
class PiePainter final
{
public:
    PiePainter(const ChartPoints& points, int rotation, const RegionalSettings& settings,
               const QFont& font);

    // Fills rect with the background, then draws the pie and its marks inside it.
    void paint(QPainter& painter, const QRectF& rect) const;

private:
    const ChartPoints& points_;
    int rotation_;
    const RegionalSettings& settings_;
    QFont font_;
};

} // namespace tamisko
