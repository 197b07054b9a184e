#include "analysis/charts/PieChart3D.h"

#include "analysis/charts/ChartPalette.h"
#include "analysis/charts/PiePainter.h"

#include <QMouseEvent>
#include <QPainter>

namespace tamisko {

PieChart3D::PieChart3D(QWidget* parent)
    : QWidget(parent), settings_(RegionalSettings::greek()), turnTimer_(this)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    turnTimer_.setInterval(kTurnIntervalMs);
    connect(&turnTimer_, &QTimer::timeout, this, [this] { setRotation(rotation_ + 1); });
}

void PieChart3D::setPoints(ChartPoints points)
{
    points_ = std::move(points);
    update();
}

void PieChart3D::setRegionalSettings(RegionalSettings settings)
{
    settings_ = std::move(settings);
    update();
}

QList<PieSlice> PieChart3D::slices() const
{
    return layOutSlices(points_, rotation_);
}

QList<QColor> PieChart3D::sliceColors() const
{
    const QList<PieSlice> all = slices();
    QList<QColor> colors;
    for (const PieSlice& slice : all)
        colors.append(sliceColor(slice.position, int(all.size())));
    return colors;
}

void PieChart3D::setRotation(int degrees)
{
    const int normalized = ((degrees % 360) + 360) % 360;
    if (normalized == rotation_)
        return;
    rotation_ = normalized;
    update();
    emit rotationChanged(rotation_);
}

void PieChart3D::setRotating(bool on)
{
    if (on == isRotating())
        return;
    if (on)
        turnTimer_.start();
    else
        turnTimer_.stop();
    emit rotatingChanged(on);
}

void PieChart3D::toggleRotation()
{
    setRotating(!isRotating());
}

QSize PieChart3D::sizeHint() const
{
    return {480, 320};
}

QSize PieChart3D::minimumSizeHint() const
{
    return {160, 110};
}

void PieChart3D::paintChart(QPainter& painter, const QRectF& target)
{
    PiePainter(points_, rotation_, settings_, font()).paint(painter, target);
}

std::unique_ptr<PaintableChart> PieChart3D::snapshot() const
{
    auto copy = std::make_unique<PieChart3D>();
    copy->setFont(font());
    copy->setRegionalSettings(settings_);
    copy->setPoints(points_);
    copy->setRotation(rotation_);
    copy->resize(size());
    return copy;
}

void PieChart3D::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintChart(painter, rect());
}

void PieChart3D::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        toggleRotation();
        event->accept();
        return;
    }
    QWidget::mouseDoubleClickEvent(event);
}

} // namespace tamisko
