#include "platform/DesignMetrics.h"

#include <algorithm>
#include <QFontInfo>
#include <QGuiApplication>

namespace tamisko {
namespace {

constexpr qreal kDesignPpi = 96;
constexpr qreal kDesignFontPixels = 12; // 9 points at 96 pixels per inch

} // namespace

DesignMetrics::DesignMetrics(int designPpi)
    : scale_(kDesignPpi / designPpi *
             std::max<qreal>(1, QFontInfo(QGuiApplication::font()).pixelSize() /
                                    kDesignFontPixels))
{}

int DesignMetrics::operator()(int designPixels) const
{
    return qRound(designPixels * scale_);
}

QSize DesignMetrics::size(int width, int height) const
{
    return {(*this)(width), (*this)(height)};
}

QMargins DesignMetrics::margins(int left, int top, int right, int bottom) const
{
    return {(*this)(left), (*this)(top), (*this)(right), (*this)(bottom)};
}

QFont DesignMetrics::font(const QString& family, int designPixels)
{
    const QFont application = QGuiApplication::font();
    QFont font(family);
    if (application.pointSizeF() > 0)
        font.setPointSizeF(application.pointSizeF() * designPixels / kDesignFontPixels);
    else
        font.setPixelSize(qRound(QFontInfo(application).pixelSize() * designPixels /
                                 kDesignFontPixels));
    return font;
}

} // namespace tamisko
