#pragma once

#include <QTabWidget>

namespace tamisko {

// A page control with its tabs on the left side, each tab little longer than its caption
// and the captions a point smaller than the window's text: the style's padding and font
// would push four captions out of a window of ordinary height.
class SideTabWidget : public QTabWidget
{
    Q_OBJECT

public:
    // The room along a tab on either side of its caption, in pixels.
    static constexpr int kCaptionPadding = 3;

    explicit SideTabWidget(QWidget* parent = nullptr);
};

} // namespace tamisko
