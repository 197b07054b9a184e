#include "platform/db/AnchorLayout.h"

#include <QWidget>

namespace tamisko {

AnchorLayout::AnchorLayout(QWidget* parent, QSize designSize)
    : QLayout(parent), designSize_(designSize)
{
    setContentsMargins(0, 0, 0, 0);
}

AnchorLayout::~AnchorLayout()
{
    while (QLayoutItem* const item = takeAt(0))
        delete item;
}

void AnchorLayout::addWidget(QWidget* widget, const QRect& geometry, Qt::Edges anchors)
{
    addChildWidget(widget);
    placements_.append({new QWidgetItem(widget), geometry, anchors});
    invalidate();
}

void AnchorLayout::addWidget(QWidget* widget, const QPoint& position, Qt::Edges anchors)
{
    addWidget(widget, QRect(position, QSize()), anchors);
}

void AnchorLayout::addItem(QLayoutItem* item)
{
    placements_.append({item, item->geometry(), Qt::LeftEdge | Qt::TopEdge});
}

QLayoutItem* AnchorLayout::itemAt(int index) const
{
    return index >= 0 && index < placements_.size() ? placements_[index].item : nullptr;
}

QLayoutItem* AnchorLayout::takeAt(int index)
{
    if (index < 0 || index >= placements_.size())
        return nullptr;
    return placements_.takeAt(index).item;
}

int AnchorLayout::count() const
{
    return static_cast<int>(placements_.size());
}

QSize AnchorLayout::sizeHint() const
{
    return designSize_;
}

QSize AnchorLayout::minimumSize() const
{
    return {0, 0};
}

void AnchorLayout::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    const int grownX = rect.width() - designSize_.width();
    const int grownY = rect.height() - designSize_.height();
    // One axis: stretch when anchored at both ends, follow the far end when anchored
    // there only, else stay.
    const auto place = [](int start, int length, int grown, bool nearEdge, bool farEdge) {
        if (nearEdge && farEdge)
            return std::pair(start, qMax(0, length + grown));
        if (farEdge)
            return std::pair(start + grown, length);
        return std::pair(start, length);
    };
    for (const Placement& placement : placements_) {
        QRect designed = placement.geometry;
        if (designed.size().isEmpty())
            designed.setSize(placement.item->sizeHint());
        const auto [x, width] =
            place(designed.x(), designed.width(), grownX, placement.anchors & Qt::LeftEdge,
                  placement.anchors & Qt::RightEdge);
        const auto [y, height] =
            place(designed.y(), designed.height(), grownY, placement.anchors & Qt::TopEdge,
                  placement.anchors & Qt::BottomEdge);
        const QRect target(rect.x() + x, rect.y() + y, width, height);
        // The designed size wins over the widget's size policy.
        if (QWidget* const widget = placement.item->widget())
            widget->setGeometry(target);
        else
            placement.item->setGeometry(target);
    }
}

} // namespace tamisko
