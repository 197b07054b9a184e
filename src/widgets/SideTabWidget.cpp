#include "widgets/SideTabWidget.h"

#include <algorithm>
#include <QTabBar>

namespace tamisko {
namespace {

class CompactTabBar final : public QTabBar
{
public:
    using QTabBar::QTabBar;

protected:
    QSize tabSizeHint(int index) const override
    {
        QSize size = QTabBar::tabSizeHint(index);
        int length =
            fontMetrics().horizontalAdvance(tabText(index)) + 2 * SideTabWidget::kCaptionPadding;
        if (!tabIcon(index).isNull())
            length += iconSize().width() + SideTabWidget::kCaptionPadding;
        // Tabs on the side stand upright: their height runs along the caption.
        size.setHeight(std::min(size.height(), length));
        return size;
    }
};

} // namespace

SideTabWidget::SideTabWidget(QWidget* parent) : QTabWidget(parent)
{
    setTabBar(new CompactTabBar(this));
    setTabPosition(QTabWidget::West);
}

} // namespace tamisko
