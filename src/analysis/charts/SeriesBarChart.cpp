#include "analysis/charts/SeriesBarChart.h"

#include "analysis/charts/ChartText.h"

#include <algorithm>
#include <cmath>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QMouseEvent>
#include <QValueAxis>
#include <QWheelEvent>

namespace tamisko {
namespace {

const QColor kBarColor(0xd6, 0x27, 0x28);
const QColor kGridColor(0xe4, 0xe4, 0xe4);
const QColor kMarkColor(0x30, 0x30, 0x30);
constexpr double kBarWidth = 0.7; // of the space of one bar
constexpr double kMarkGap = 3;
constexpr double kLabelGap = 5;
constexpr double kWheelPanShare = 0.1; // of the plot width per wheel notch
constexpr double kWheelZoomFactor = 1.25;

struct ValueScale final
{
    double min = 0;
    double max = 1;
    double step = 1;
};

// A range from zero that holds every value, with room for the marks and round ticks.
ValueScale niceScale(const QBarSet& bars)
{
    double low = 0;
    double high = 0;
    for (int i = 0; i < bars.count(); ++i) {
        low = std::min(low, bars.at(i));
        high = std::max(high, bars.at(i));
    }
    if (!(high > low))
        high = low + 1;
    const double headroom = (high - low) * 0.1;
    if (high > 0)
        high += headroom;
    if (low < 0)
        low -= headroom;
    const double rough = (high - low) / 6;
    const double magnitude = std::pow(10.0, std::floor(std::log10(rough)));
    double step = 10 * magnitude;
    for (const double multiple : {1.0, 2.0, 2.5, 5.0}) {
        if (rough <= multiple * magnitude) {
            step = multiple * magnitude;
            break;
        }
    }
    step = std::max(step, 0.01); // amounts have two decimals at most
    return {std::floor(low / step) * step, std::ceil(high / step) * step, step};
}

} // namespace

SeriesBarChart::SeriesBarChart(QWidget* parent)
    : QChartView(parent), settings_(RegionalSettings::greek()), series_(new QBarSeries),
      bars_(new QBarSet(QString())), positionAxis_(new QValueAxis), valueAxis_(new QCategoryAxis)
{
    setRenderHint(QPainter::Antialiasing);
    setFrameShape(QFrame::NoFrame);
    setRubberBand(QChartView::HorizontalRubberBand);
    // The dates and marks are drawn over the scene, not as its items: a change of the
    // scene must repaint them all, or a pan or zoom leaves dates of other bars behind.
    setViewportUpdateMode(QGraphicsView::FullViewportUpdate);

    QChart* const chart = this->chart();
    chart->legend()->hide();
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setBackgroundRoundness(0);
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    QFont titleFont = font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.25);
    chart->setTitleFont(titleFont);

    bars_->setColor(kBarColor);
    bars_->setBorderColor(kBarColor.darker(130));
    series_->append(bars_);
    series_->setBarWidth(kBarWidth);
    chart->addSeries(series_);

    // Bar i stands at i on this axis. The dates are drawn in the foreground, thinned out
    // when bars get narrow; a category axis would compare every date with all the others.
    positionAxis_->setLabelsVisible(false);
    positionAxis_->setGridLineVisible(false);
    positionAxis_->setTickCount(2);
    chart->addAxis(positionAxis_, Qt::AlignBottom);
    series_->attachAxis(positionAxis_);
    // However the range changes (zoom, pan, undo), the dates get the room they need.
    connect(positionAxis_, &QValueAxis::rangeChanged, this, [this] { updateLabelSpace(); });

    valueAxis_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    valueAxis_->setGridLineColor(kGridColor);
    valueAxis_->setLabelsFont(font());
    chart->addAxis(valueAxis_, Qt::AlignLeft);
    series_->attachAxis(valueAxis_);

    clear();
}

void SeriesBarChart::setRegionalSettings(RegionalSettings settings)
{
    settings_ = std::move(settings);
    updateValueAxis();
    viewport()->update();
}

void SeriesBarChart::showColumn(const QString& title, const ChartPoints& bars)
{
    chart()->zoomReset();
    chart()->setTitle(title);
    labels_.clear();
    labels_.reserve(bars.size());
    QList<qreal> values;
    values.reserve(bars.size());
    for (const ChartPoint& bar : bars) {
        values.append(bar.value);
        labels_.append(bar.label);
    }
    // The widest date, measured once: the dates' room follows it.
    widestLabel_ = -1;
    const QFontMetricsF metrics(font());
    double widest = -1;
    for (qsizetype i = 0; i < labels_.size(); ++i) {
        const double width = metrics.horizontalAdvance(labels_[i]);
        if (width > widest) {
            widest = width;
            widestLabel_ = i;
        }
    }
    bars_->remove(0, bars_->count());
    bars_->append(values);
    positionAxis_->setRange(-0.5, std::max<qsizetype>(bars.size(), 1) - 0.5);
    const bool any = !bars.isEmpty();
    positionAxis_->setVisible(any);
    valueAxis_->setVisible(any);
    updateValueAxis();
    updateLabelSpace();
    viewport()->update();
}

void SeriesBarChart::clear()
{
    showColumn(QString(), {});
}

QString SeriesBarChart::markText(int index) const
{
    return groupedNumberText(bars_->at(index), settings_);
}

void SeriesBarChart::paintChart(QPainter& painter, const QRectF& target)
{
    // A chart on a page never shown has not been fitted to its view yet.
    fitSceneToView();
    const QRectF source(QPointF(0, 0), QSizeF(chartSize()));
    painter.save();
    scene()->render(&painter, target, source, Qt::IgnoreAspectRatio);
    painter.translate(target.topLeft());
    painter.scale(target.width() / source.width(), target.height() / source.height());
    drawForeground(&painter, source);
    painter.restore();
}

std::unique_ptr<PaintableChart> SeriesBarChart::snapshot() const
{
    auto copy = std::make_unique<SeriesBarChart>();
    copy->setFont(font());
    copy->setRegionalSettings(settings_);
    copy->resize(size());
    ChartPoints bars;
    for (int i = 0; i < bars_->count(); ++i)
        bars.append({labels_.value(i), bars_->at(i)});
    copy->showColumn(chart()->title(), bars);
    copy->fitSceneToView();
    if (chart()->isZoomed()) {
        const VisibleRange range = visibleRange();
        copy->zoomToBars(range.first, range.last);
    }
    return copy;
}

void SeriesBarChart::fitSceneToView()
{
    // The view fits the chart to itself on resize events, which a hidden view does not get.
    const QSizeF size(chartSize());
    if (chart()->size() == size)
        return;
    chart()->resize(size);
    chart()->layout()->activate();
    updateLabelSpace();
    chart()->layout()->activate();
}

void SeriesBarChart::zoomToBars(double first, double last)
{
    const QRectF plot = chart()->plotArea();
    const double left = chart()->mapToPosition(QPointF(first, 0), series_).x();
    const double right = chart()->mapToPosition(QPointF(last, 0), series_).x();
    chart()->zoomIn(QRectF(left, plot.top(), right - left, plot.height()));
    updateLabelSpace();
    chart()->layout()->activate();
}

void SeriesBarChart::updateValueAxis()
{
    const ValueScale scale = niceScale(*bars_);
    for (const QString& label : valueAxis_->categoriesLabels())
        valueAxis_->remove(label);
    valueAxis_->setStartValue(scale.min - scale.step);
    const auto ticks = static_cast<int>(std::lround((scale.max - scale.min) / scale.step));
    for (int i = 0; i <= ticks; ++i) {
        double value = scale.min + i * scale.step;
        if (std::abs(value) < scale.step / 1000)
            value = 0; // no "-0" from rounding
        valueAxis_->append(groupedNumberText(value, settings_), value);
    }
    valueAxis_->setRange(scale.min, scale.max);
}

SeriesBarChart::VisibleRange SeriesBarChart::visibleRange() const
{
    const QRectF plot = chart()->plotArea();
    const double first = chart()->mapToValue(plot.topLeft(), series_).x();
    const double last = chart()->mapToValue(plot.topRight(), series_).x();
    const double span = last - first;
    return {first, last, span > 0 ? plot.width() / span : 0};
}

// Dates stand upright under the bars once they no longer fit side by side.
void SeriesBarChart::updateLabelSpace()
{
    const QFontMetricsF metrics(font());
    const double widest = widestLabelWidth(metrics);
    const VisibleRange range = visibleRange();
    verticalLabels_ = range.slotWidth < widest + 2 * kLabelGap;
    const double room = (verticalLabels_ ? widest : metrics.height()) + 2 * kLabelGap;
    QMargins margins = chart()->margins();
    margins.setBottom(static_cast<int>(std::ceil(room)));
    if (margins != chart()->margins())
        chart()->setMargins(margins);
}

double SeriesBarChart::widestLabelWidth(const QFontMetricsF& metrics) const
{
    return widestLabel_ < 0 ? 0 : metrics.horizontalAdvance(labels_[widestLabel_]);
}

void SeriesBarChart::drawForeground(QPainter* painter, const QRectF& rect)
{
    QChartView::drawForeground(painter, rect);
    if (bars_->count() == 0)
        return;
    const VisibleRange range = visibleRange();
    if (range.slotWidth <= 0)
        return;
    painter->save();
    painter->setRenderHint(QPainter::TextAntialiasing);
    painter->setFont(pictureFont(font()));
    drawCategoryLabels(*painter, range);
    drawValueMarks(*painter, range);
    painter->restore();
}

void SeriesBarChart::drawCategoryLabels(QPainter& painter, const VisibleRange& range) const
{
    const QFontMetricsF metrics(painter.font());
    const QStringList& labels = labels_;
    const double widest = widestLabelWidth(metrics);
    const double extent = verticalLabels_ ? metrics.height() : widest + 2 * kLabelGap;
    const int every = std::max(1, static_cast<int>(std::ceil(extent / range.slotWidth)));

    const QRectF plot = chart()->plotArea();
    painter.setPen(valueAxis_->labelsColor());
    const int first = std::max(0, static_cast<int>(std::ceil(range.first)));
    const int last =
        std::min(static_cast<int>(labels.size()) - 1, static_cast<int>(std::floor(range.last)));
    for (int i = first - first % every; i <= last; i += every) {
        if (i < first)
            continue;
        const QPointF at = chart()->mapToScene(chart()->mapToPosition(QPointF(i, 0), series_));
        const double top = plot.bottom() + kLabelGap;
        if (verticalLabels_) {
            painter.save();
            painter.translate(at.x(), top);
            painter.rotate(-90);
            const QRectF box(-widest, -metrics.height() / 2, widest, metrics.height());
            painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter, labels[i]);
            painter.restore();
        } else {
            const QRectF box(at.x() - widest / 2 - kLabelGap, top, widest + 2 * kLabelGap,
                             metrics.height());
            painter.drawText(box, Qt::AlignHCenter | Qt::AlignTop, labels[i]);
        }
    }
}

void SeriesBarChart::drawValueMarks(QPainter& painter, const VisibleRange& range) const
{
    const QFontMetricsF metrics(painter.font());
    const QRectF plot = chart()->plotArea();
    painter.setClipRect(plot);
    painter.setPen(kMarkColor);
    const int first = std::max(0, static_cast<int>(std::ceil(range.first - 0.5)));
    const int last = std::min(bars_->count() - 1, static_cast<int>(std::floor(range.last + 0.5)));
    for (int i = first; i <= last; ++i) {
        const double value = bars_->at(i);
        const QString text = markText(i);
        const double width = metrics.horizontalAdvance(text);
        const QPointF end = chart()->mapToScene(chart()->mapToPosition(QPointF(i, value), series_));
        const bool down = value < 0;
        if (width + 2 <= range.slotWidth) {
            const double top = down ? end.y() + kMarkGap : end.y() - kMarkGap - metrics.height();
            painter.drawText(QRectF(end.x() - width / 2, top, width, metrics.height()),
                             Qt::AlignCenter, text);
        } else if (metrics.height() <= range.slotWidth) {
            painter.save();
            painter.translate(end.x(), end.y() + (down ? kMarkGap : -kMarkGap));
            painter.rotate(-90);
            const QRectF box = down ? QRectF(-width, -metrics.height() / 2, width, metrics.height())
                                    : QRectF(0, -metrics.height() / 2, width, metrics.height());
            painter.drawText(box, (down ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, text);
            painter.restore();
        }
        // Narrower bars carry no mark until the user zooms in.
    }
}

// QChart::zoomReset only goes back to where the first zoom started; a zoom to the whole
// plot area marks that place before a pan, so that a double click undoes pans too.
void SeriesBarChart::panBy(double pixels)
{
    if (!chart()->isZoomed())
        chart()->zoomIn(chart()->plotArea());
    chart()->scroll(pixels, 0);
}

void SeriesBarChart::resizeEvent(QResizeEvent* event)
{
    QChartView::resizeEvent(event);
    updateLabelSpace();
}

void SeriesBarChart::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        panFrom_ = event->position().toPoint();
        event->accept();
        return;
    }
    QChartView::mousePressEvent(event);
}

void SeriesBarChart::mouseMoveEvent(QMouseEvent* event)
{
    if (panFrom_) {
        const QPoint at = event->position().toPoint();
        panBy(panFrom_->x() - at.x());
        panFrom_ = at;
        event->accept();
        return;
    }
    QChartView::mouseMoveEvent(event);
}

void SeriesBarChart::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        panFrom_.reset();
        event->accept();
        return;
    }
    QChartView::mouseReleaseEvent(event);
    updateLabelSpace();
}

void SeriesBarChart::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        chart()->zoomReset();
        updateLabelSpace();
        event->accept();
        return;
    }
    QChartView::mouseDoubleClickEvent(event);
}

void SeriesBarChart::wheelEvent(QWheelEvent* event)
{
    const QPoint delta = event->angleDelta();
    const double notches = (delta.y() != 0 ? delta.y() : delta.x()) / 120.0;
    const QRectF plot = chart()->plotArea();
    if (notches == 0 || plot.isEmpty()) {
        event->ignore();
        return;
    }
    if (event->modifiers() & Qt::ControlModifier) {
        const double factor = std::pow(kWheelZoomFactor, notches);
        const double x = chart()->mapFromScene(mapToScene(event->position().toPoint())).x();
        const double left = x - (x - plot.left()) / factor;
        chart()->zoomIn(QRectF(left, plot.top(), plot.width() / factor, plot.height()));
    } else {
        panBy(-notches * plot.width() * kWheelPanShare);
    }
    updateLabelSpace();
    event->accept();
}

} // namespace tamisko
