#pragma once

#include "analysis/charts/ChartPoint.h"

#include <QList>
#include <QPointF>

namespace tamisko {

// A visible slice of a pie. Angles are in degrees, clockwise from 12 o'clock.
struct PieSlice final
{
    int row = 0;      // index of the point in the chart data
    int position = 0; // among the visible slices, from the first
    double startAngle = 0;
    double spanAngle = 0;

    double midAngle() const { return startAngle + spanAngle / 2; }
};

// The slices of the positive values in data order, the first starting at the rotation
// angle; a zero, negative or non-finite value has no slice.
QList<PieSlice> layOutSlices(const ChartPoints& points, int rotation);

// A level pie seen from above at a slant, without perspective: its top is an ellipse and
// its rim a band of constant height below the front half.
class PieProjection final
{
public:
    PieProjection(QPointF centre, double radiusX, double radiusY, double rimHeight);

    // The point at an angle on the top edge, at a fraction of the radius, lowered by drop.
    QPointF pointAt(double angle, double radiusFactor = 1, double drop = 0) const;

    // Whether the rim below this angle of the edge faces the viewer.
    static bool rimFacesViewer(double angle);

    // The parts of [start, start + span] where the rim faces the viewer.
    static QList<QPair<double, double>> visibleRim(double start, double span);

    QPointF centre() const { return centre_; }
    double radiusX() const { return radiusX_; }
    double radiusY() const { return radiusY_; }
    double rimHeight() const { return rimHeight_; }

private:
    QPointF centre_;
    double radiusX_;
    double radiusY_;
    double rimHeight_;
};

} // namespace tamisko
