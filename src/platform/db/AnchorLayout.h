#pragma once

#include <QLayout>
#include <QList>
#include <QRect>

namespace tamisko {

// Places widgets where a form was designed and keeps each one's distance to the edges
// it is anchored to when the form is resized: anchored left and right it stretches,
// right only it moves along, and the same for top and bottom.
class AnchorLayout final : public QLayout
{
    Q_OBJECT

public:
    // designSize: the client area the positions were designed for.
    AnchorLayout(QWidget* parent, QSize designSize);
    ~AnchorLayout() override;

    void addWidget(QWidget* widget, const QRect& geometry, Qt::Edges anchors);
    // A widget that keeps its own size hint (a label whose font changes).
    void addWidget(QWidget* widget, const QPoint& position, Qt::Edges anchors);

    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

private:
    struct Placement final
    {
        QLayoutItem* item;
        QRect geometry; // an empty size: the widget's size hint
        Qt::Edges anchors;
    };
    QList<Placement> placements_;
    QSize designSize_;
};

} // namespace tamisko
