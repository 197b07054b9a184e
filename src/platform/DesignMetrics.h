#pragma once

#include <QFont>
#include <QMargins>
#include <QSize>
#include <QString>

namespace tamisko {

// The fixed-size forms were designed in pixels (at 96 pixels per inch unless said
// otherwise) for an application font 12 pixels high. These metrics give a design's
// lengths and fonts in proportion to the application font, so that a larger font or a
// denser screen makes a form larger instead of cutting its texts; at the design's font
// they are the design's own numbers.
class DesignMetrics final
{
public:
    explicit DesignMetrics(int designPpi = 96);

    // How much larger than the design the application font is (never below 1).
    qreal scale() const { return scale_; }

    int operator()(int designPixels) const;
    QSize size(int width, int height) const;
    QMargins margins(int left, int top, int right, int bottom) const;

    // A font the design gave in pixels, in points in proportion to the application font.
    static QFont font(const QString& family, int designPixels);

private:
    qreal scale_;
};

} // namespace tamisko
