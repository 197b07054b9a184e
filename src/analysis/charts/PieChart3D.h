#pragma once

#include "analysis/charts/ChartPoint.h"
#include "analysis/charts/PaintableChart.h"
#include "analysis/charts/PieGeometry.h"
#include "data/RegionalSettings.h"

#include <QTimer>
#include <QWidget>

namespace tamisko {

// A tilted 3-D pie with a mark (label and value) per slice and no legend. It can turn by
// one degree per tick of its timer; a double click starts or stops the turning.
class PieChart3D final : public QWidget, public PaintableChart
{
    Q_OBJECT
    Q_PROPERTY(int rotation READ rotation WRITE setRotation NOTIFY rotationChanged)
    Q_PROPERTY(bool rotating READ isRotating WRITE setRotating NOTIFY rotatingChanged)

public:
    static constexpr int kTurnIntervalMs = 50;

    explicit PieChart3D(QWidget* parent = nullptr);

    const ChartPoints& points() const { return points_; }
    // One slice per point with a positive value, in the order given.
    void setPoints(ChartPoints points);

    const RegionalSettings& regionalSettings() const { return settings_; }
    void setRegionalSettings(RegionalSettings settings);

    QList<PieSlice> slices() const;
    // The colours the slices are drawn in, in the order of slices().
    QList<QColor> sliceColors() const;

    int rotation() const { return rotation_; }
    bool isRotating() const { return turnTimer_.isActive(); }

    QSize chartSize() const override { return size(); }
    void paintChart(QPainter& painter, const QRectF& target) override;
    std::unique_ptr<PaintableChart> snapshot() const override;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public slots:
    // The angle of the first slice's start, in whole degrees clockwise; taken mod 360.
    void setRotation(int degrees);
    void setRotating(bool on);
    void toggleRotation();

signals:
    void rotationChanged(int degrees);
    void rotatingChanged(bool on);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    ChartPoints points_;
    RegionalSettings settings_;
    int rotation_ = 0;
    QTimer turnTimer_;
};

} // namespace tamisko
