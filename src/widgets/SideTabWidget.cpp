#include "widgets/SideTabWidget.h"

#include <algorithm>
#include <QProxyStyle>
#include <QTabBar>

namespace tamisko {
namespace {

// The window's style with less room along a tab around its caption; the style lays out
// and draws the tab with it, so the caption is never cut short.
class CompactTabStyle final : public QProxyStyle
{
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override
    {
        if (metric == PM_TabBarTabHSpace)
            return 2 * SideTabWidget::kCaptionPadding;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

} // namespace

SideTabWidget::SideTabWidget(QWidget* parent) : QTabWidget(parent)
{
    QTabBar* const tabs = tabBar();
    auto* style = new CompactTabStyle;
    style->setParent(tabs);
    tabs->setStyle(style);
    QFont captions = tabs->font();
    captions.setPointSizeF(std::max(7.0, captions.pointSizeF() - 1));
    tabs->setFont(captions);
    setTabPosition(QTabWidget::West);
}

} // namespace tamisko
