#include "analysis/charts/PieGeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tamisko {
namespace {

bool drawable(double value)
{
    return std::isfinite(value) && value > 0;
}

double radians(double degrees)
{
    return degrees * std::numbers::pi / 180.0;
}

} // namespace

QList<PieSlice> layOutSlices(const ChartPoints& points, int rotation)
{
    double total = 0;
    for (const ChartPoint& point : points) {
        if (drawable(point.value))
            total += point.value;
    }
    QList<PieSlice> slices;
    if (!(total > 0) || !std::isfinite(total))
        return slices;
    double angle = ((rotation % 360) + 360) % 360;
    for (int row = 0; row < points.size(); ++row) {
        const double value = points[row].value;
        if (!drawable(value))
            continue;
        const double span = value * 360.0 / total;
        slices.append({row, static_cast<int>(slices.size()), angle, span});
        angle += span;
    }
    return slices;
}

PieProjection::PieProjection(QPointF centre, double radiusX, double radiusY, double rimHeight)
    : centre_(centre), radiusX_(radiusX), radiusY_(radiusY), rimHeight_(rimHeight)
{}

QPointF PieProjection::pointAt(double angle, double radiusFactor, double drop) const
{
    const double a = radians(angle);
    return {centre_.x() + radiusFactor * radiusX_ * std::sin(a),
            centre_.y() - radiusFactor * radiusY_ * std::cos(a) + drop};
}

bool PieProjection::rimFacesViewer(double angle)
{
    const double a = std::fmod(std::fmod(angle, 360.0) + 360.0, 360.0);
    return a > 90 && a < 270;
}

QList<QPair<double, double>> PieProjection::visibleRim(double start, double span)
{
    // The front half runs from 3 to 9 o'clock; a slice may wrap past 12 o'clock once.
    const double from = std::fmod(std::fmod(start, 360.0) + 360.0, 360.0);
    const double to = from + span;
    QList<QPair<double, double>> parts;
    for (const double front : {90.0, 450.0}) {
        const double a = std::max(from, front);
        const double b = std::min(to, front + 180.0);
        if (b > a)
            parts.append({a, b});
    }
    return parts;
}

} // namespace tamisko
