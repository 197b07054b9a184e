#pragma once

#include "analysis/charts/ChartPoint.h"
#include "analysis/charts/PaintableChart.h"
#include "data/RegionalSettings.h"

#include <optional>
#include <QChartView>

class QBarSeries;
class QBarSet;
class QCategoryAxis;
class QFontMetricsF;
class QValueAxis;

namespace tamisko {

// A bar chart of one column of values over labelled periods: red bars, a "#,##0.##" mark
// on each bar, the labels under the bars, a title and no legend. Dragging with the left
// button zooms in horizontally, dragging with the right button or the wheel pans,
// Ctrl+wheel zooms, and a double click undoes any zoom and pan.
class SeriesBarChart final : public QChartView, public PaintableChart
{
    Q_OBJECT

public:
    explicit SeriesBarChart(QWidget* parent = nullptr);

    const RegionalSettings& regionalSettings() const { return settings_; }
    void setRegionalSettings(RegionalSettings settings);

    // Replaces the chart with one bar per point. Labels must be distinct.
    void showColumn(const QString& title, const ChartPoints& bars);
    void clear();

    QBarSeries* series() const { return series_; }
    QBarSet* barSet() const { return bars_; }
    // The labels under the bars, one per bar.
    const QStringList& labels() const { return labels_; }

    QSize chartSize() const override { return size(); }
    void paintChart(QPainter& painter, const QRectF& target) override;
    std::unique_ptr<PaintableChart> snapshot() const override;

    // The mark drawn on a bar.
    QString markText(int index) const;

protected:
    void drawForeground(QPainter* painter, const QRectF& rect) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    struct VisibleRange final
    {
        double first = 0; // in bar indices; bar i is centred on i
        double last = 0;
        double slotWidth = 0; // pixels per bar
    };

    VisibleRange visibleRange() const;
    // Lays the scene out at the view's size, which the view does only once it is shown.
    void fitSceneToView();
    // Zooms to the bars from first to last (bar indices, fractions allowed).
    void zoomToBars(double first, double last);
    void panBy(double pixels);
    void updateValueAxis();
    void updateLabelSpace();
    double widestLabelWidth(const QFontMetricsF& metrics) const;
    void drawCategoryLabels(QPainter& painter, const VisibleRange& range) const;
    void drawValueMarks(QPainter& painter, const VisibleRange& range) const;

    RegionalSettings settings_;
    QBarSeries* series_;
    QBarSet* bars_;
    QValueAxis* positionAxis_;
    QStringList labels_;
    qsizetype widestLabel_ = -1;
    QCategoryAxis* valueAxis_;
    bool verticalLabels_ = false;
    std::optional<QPoint> panFrom_;
};

} // namespace tamisko
