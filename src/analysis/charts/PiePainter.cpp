#include "analysis/charts/PiePainter.h"

#include "analysis/charts/ChartPalette.h"
#include "analysis/charts/ChartText.h"
#include "analysis/charts/PieGeometry.h"
#include "analysis/charts/PieMarkLayout.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>

namespace tamisko {
namespace {

constexpr double kDepthPercent = 30;
constexpr double kElevation = 315;  // degrees; 315 looks down on the pie at 45 degrees
constexpr double kMarkReach = 1.12; // where leader lines bend, in radii
constexpr double kLeaderRun = 14;   // horizontal leader length before a mark, in pixels
constexpr double kMargin = 8;
constexpr double kMarkPaddingX = 5;
constexpr double kMarkPaddingY = 2;
constexpr double kMarkGap = 3;
constexpr double kMaxMarkWidthShare = 0.3; // of the picture's width, per side
const QColor kBackground(Qt::white);
const QColor kTextColor(0x20, 0x20, 0x20);
const QColor kLeaderColor(0x70, 0x70, 0x70);

double tiltSine()
{
    return std::sin((360.0 - kElevation) * std::numbers::pi / 180.0);
}

double tiltCosine()
{
    return std::cos((360.0 - kElevation) * std::numbers::pi / 180.0);
}

// Points along the top edge (lowered by drop) from one angle to another, a degree apart.
void appendArc(QPolygonF& polygon, const PieProjection& pie, double from, double to,
               double drop = 0)
{
    const int steps = std::max(1, static_cast<int>(std::ceil(std::abs(to - from))));
    for (int i = 0; i <= steps; ++i)
        polygon << pie.pointAt(from + (to - from) * i / steps, 1, drop);
}

struct Mark final
{
    PieSlice slice;
    QString label;
    QString value;
    QPointF anchor;          // on the pie's edge
    double wantedMiddle = 0; // the mark's height if nothing were in the way
    bool right = true;
    double top = 0;
};

class MarkTexts final
{
public:
    explicit MarkTexts(const QFont& font) : labelFont_(font), valueFont_(font)
    {
        valueFont_.setBold(true);
    }

    const QFont& labelFont() const { return labelFont_; }
    const QFont& valueFont() const { return valueFont_; }
    double height() const { return QFontMetricsF(labelFont_).height() + 2 * kMarkPaddingY; }
    double space() const { return QFontMetricsF(labelFont_).horizontalAdvance(QLatin1Char(' ')); }

    double width(const Mark& mark) const
    {
        return 2 * kMarkPaddingX + QFontMetricsF(labelFont_).horizontalAdvance(mark.label) +
               space() + QFontMetricsF(valueFont_).horizontalAdvance(mark.value);
    }

    // Shortens the label with an ellipsis so that the mark fits the width.
    void fit(Mark& mark, double maxWidth) const
    {
        const double room = maxWidth - 2 * kMarkPaddingX - space() -
                            QFontMetricsF(valueFont_).horizontalAdvance(mark.value);
        mark.label =
            QFontMetricsF(labelFont_).elidedText(mark.label, Qt::ElideRight, std::max(room, 0.0));
    }

private:
    QFont labelFont_;
    QFont valueFont_;
};

PieProjection fitPie(const QRectF& rect, double markWidth, double markHeight)
{
    const double sine = tiltSine();
    const double rimRatio = kDepthPercent / 100.0 * tiltCosine();
    const double byWidth =
        (rect.width() - 2 * kMargin - 2 * (markWidth + kLeaderRun)) / (2 * kMarkReach);
    const double byHeight =
        (rect.height() - 2 * kMargin - markHeight) / (2 * kMarkReach * sine + rimRatio);
    const double radius = std::max(std::min(byWidth, byHeight), 8.0);
    const double rim = radius * rimRatio;
    return PieProjection(QPointF(rect.center().x(), rect.center().y() - rim / 2), radius,
                         radius * sine, rim);
}

// A soft shadow under the pie from stacked translucent ellipses: gradients with
// transparency do not survive every paint device (PDF draws them opaque).
void paintShadow(QPainter& painter, const PieProjection& pie)
{
    const QPointF centre = pie.centre() + QPointF(0, pie.rimHeight() + pie.radiusY() * 0.05);
    constexpr int layers = 8;
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 9));
    for (int i = 0; i < layers; ++i) {
        const double spread = 1.10 - 0.025 * i;
        painter.drawEllipse(centre, pie.radiusX() * spread, pie.radiusY() * spread);
    }
}

// The rim is lit from the front left, like a cylinder under a lamp above the viewer.
QBrush rimBrush(const PieProjection& pie, const QColor& base)
{
    const double left = pie.centre().x() - pie.radiusX();
    QLinearGradient gradient(left, 0, left + 2 * pie.radiusX(), 0);
    gradient.setColorAt(0.0, base.darker(185));
    gradient.setColorAt(0.3, base.darker(120));
    gradient.setColorAt(0.55, base.darker(130));
    gradient.setColorAt(1.0, base.darker(200));
    return gradient;
}

QBrush topBrush(const PieProjection& pie, const QColor& base)
{
    const QPointF light = pie.centre() - QPointF(pie.radiusX() * 0.35, pie.radiusY() * 0.5);
    QRadialGradient gradient(light, pie.radiusX() * 1.6);
    gradient.setColorAt(0.0, base.lighter(122));
    gradient.setColorAt(1.0, base.darker(108));
    return gradient;
}

void paintRims(QPainter& painter, const PieProjection& pie, const QList<PieSlice>& slices)
{
    for (const PieSlice& slice : slices) {
        const QColor base = sliceColor(slice.position, int(slices.size()));
        for (const auto& [from, to] :
             PieProjection::visibleRim(slice.startAngle, slice.spanAngle)) {
            QPolygonF band;
            appendArc(band, pie, from, to);
            appendArc(band, pie, to, from, pie.rimHeight());
            painter.setPen(QPen(base.darker(210), 0.8));
            painter.setBrush(rimBrush(pie, base));
            painter.drawPolygon(band);
        }
    }
}

void paintTops(QPainter& painter, const PieProjection& pie, const QList<PieSlice>& slices)
{
    const QPen separator(QColor(255, 255, 255, 210), 1.2, Qt::SolidLine, Qt::RoundCap,
                         Qt::RoundJoin);
    for (const PieSlice& slice : slices) {
        const QColor base = sliceColor(slice.position, int(slices.size()));
        QPolygonF wedge;
        const bool whole = slice.spanAngle >= 359.999;
        if (!whole)
            wedge << pie.centre();
        appendArc(wedge, pie, slice.startAngle, slice.startAngle + slice.spanAngle);
        painter.setPen(whole ? QPen(base.darker(150), 0.8) : separator);
        painter.setBrush(topBrush(pie, base));
        painter.drawPolygon(wedge);
    }
}

// A side with more marks than fit hands those pointing nearest to 12 or 6 o'clock over
// to the other side while that has room.
void balanceSides(QList<Mark>& marks, qsizetype capacity)
{
    const auto onSide = [&marks](bool right) {
        return std::count_if(marks.begin(), marks.end(),
                             [right](const Mark& mark) { return mark.right == right; });
    };
    const auto lean = [](const Mark& mark) {
        return std::abs(std::sin(mark.slice.midAngle() * std::numbers::pi / 180.0));
    };
    for (const bool crowded : {true, false}) {
        while (onSide(crowded) > capacity && onSide(!crowded) < capacity) {
            Mark* upright = nullptr;
            for (Mark& mark : marks) {
                if (mark.right == crowded && (!upright || lean(mark) < lean(*upright)))
                    upright = &mark;
            }
            upright->right = !crowded;
        }
    }
}

QList<Mark> placeMarks(const PieProjection& pie, const QList<Mark>& unplaced,
                       const MarkTexts& texts, const QRectF& rect)
{
    QList<Mark> marks = unplaced;
    for (Mark& mark : marks) {
        const double angle = mark.slice.midAngle();
        const bool front = PieProjection::rimFacesViewer(angle);
        mark.anchor = pie.pointAt(angle, 1, front ? pie.rimHeight() / 2 : 0);
        mark.wantedMiddle = pie.pointAt(angle, kMarkReach, front ? pie.rimHeight() : 0).y();
        mark.right = std::sin(angle * std::numbers::pi / 180.0) >= 0;
    }
    const double height = texts.height();
    const double minTop = rect.top() + kMargin / 2;
    const double maxBottom = rect.bottom() - kMargin / 2;
    balanceSides(marks,
                 static_cast<qsizetype>((maxBottom - minTop + kMarkGap) / (height + kMarkGap)));
    for (const bool right : {true, false}) {
        QList<double> wanted;
        QList<qsizetype> members;
        for (qsizetype i = 0; i < marks.size(); ++i) {
            if (marks[i].right == right) {
                wanted << marks[i].wantedMiddle - height / 2;
                members << i;
            }
        }
        const QList<double> tops = spreadMarks(wanted, height, kMarkGap, minTop, maxBottom);
        for (qsizetype i = 0; i < members.size(); ++i)
            marks[members[i]].top = tops[i];
    }
    return marks;
}

// Where a leader turns level towards its mark: on an oval just outside the pie at the
// mark's height, so that a mark moved up or down does not pull its line across the pie.
QPointF leaderBend(const PieProjection& pie, const Mark& mark, double y)
{
    const double middle = pie.centre().y() + pie.rimHeight() / 2;
    const double halfHeight = pie.radiusY() * kMarkReach + pie.rimHeight() / 2;
    const double t = std::clamp((y - middle) / halfHeight, -1.0, 1.0);
    const double reach = pie.radiusX() * kMarkReach * std::sqrt(1 - t * t);
    const double x = mark.right ? std::max(pie.centre().x() + reach, mark.anchor.x())
                                : std::min(pie.centre().x() - reach, mark.anchor.x());
    return {x, y};
}

QRectF markBox(const PieProjection& pie, const Mark& mark, const MarkTexts& texts)
{
    const double width = texts.width(mark);
    const double column = pie.radiusX() * kMarkReach + kLeaderRun;
    const double left = mark.right ? pie.centre().x() + column : pie.centre().x() - column - width;
    return {left, mark.top, width, texts.height()};
}

void paintLeader(QPainter& painter, const PieProjection& pie, const Mark& mark, const QRectF& box)
{
    const double middle = box.center().y();
    const QPointF end(mark.right ? box.left() : box.right(), middle);
    painter.setPen(QPen(kLeaderColor, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(QPolygonF{mark.anchor, leaderBend(pie, mark, middle), end});
}

void paintMark(QPainter& painter, const Mark& mark, const QRectF& box, const MarkTexts& texts)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(kLeaderColor);
    painter.drawEllipse(mark.anchor, 1.8, 1.8);

    painter.setPen(QPen(QColor(0xb8, 0xb8, 0xb8), 1.0));
    painter.setBrush(QColor(0xff, 0xff, 0xf4));
    painter.drawRoundedRect(box, 3, 3);

    painter.setPen(kTextColor);
    const QRectF textRect = box.adjusted(kMarkPaddingX, 0, -kMarkPaddingX, 0);
    painter.setFont(texts.labelFont());
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, mark.label);
    painter.setFont(texts.valueFont());
    painter.drawText(textRect, Qt::AlignRight | Qt::AlignVCenter, mark.value);
}

} // namespace

PiePainter::PiePainter(const ChartPoints& points, int rotation, const RegionalSettings& settings,
                       const QFont& font)
    : points_(points), rotation_(rotation), settings_(settings), font_(pictureFont(font))
{}

void PiePainter::paint(QPainter& painter, const QRectF& rect) const
{
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.fillRect(rect, kBackground);

    const QList<PieSlice> slices = layOutSlices(points_, rotation_);
    if (slices.isEmpty()) {
        painter.restore();
        return;
    }

    const MarkTexts texts(font_);
    const double maxMarkWidth = std::max(rect.width() * kMaxMarkWidthShare, 40.0);
    QList<Mark> marks;
    double markWidth = 0;
    for (const PieSlice& slice : slices) {
        Mark mark;
        mark.slice = slice;
        mark.label = points_[slice.row].label;
        mark.value = groupedNumberText(points_[slice.row].value, settings_);
        if (texts.width(mark) > maxMarkWidth)
            texts.fit(mark, maxMarkWidth);
        markWidth = std::max(markWidth, texts.width(mark));
        marks << mark;
    }

    const PieProjection pie = fitPie(rect, markWidth, texts.height());
    marks = placeMarks(pie, marks, texts, rect);
    QList<QRectF> boxes;
    for (const Mark& mark : marks)
        boxes << markBox(pie, mark, texts);

    paintShadow(painter, pie);
    // Leaders go under the pie, so that one whose mark had to move far seems to pass
    // behind it rather than across it.
    for (qsizetype i = 0; i < marks.size(); ++i)
        paintLeader(painter, pie, marks[i], boxes[i]);
    // Without exploded slices no rim band overlaps another, nor any top: drawing every
    // rim first and every top after it is a correct back-to-front order.
    paintRims(painter, pie, slices);
    paintTops(painter, pie, slices);
    for (qsizetype i = 0; i < marks.size(); ++i)
        paintMark(painter, marks[i], boxes[i], texts);
    painter.restore();
}

} // namespace tamisko
