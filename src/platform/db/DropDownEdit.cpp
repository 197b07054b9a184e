#include "platform/db/DropDownEdit.h"

#include <QEvent>
#include <QScreen>
#include <QStyle>
#include <QToolButton>

namespace tamisko {

DropDownEdit::DropDownEdit(glyphs::Glyph glyph, QWidget* parent)
    : QLineEdit(parent), button_(new QToolButton(this))
{
    button_->setIcon(glyphs::icon(glyph));
    button_->setFocusPolicy(Qt::NoFocus);
    button_->setCursor(Qt::ArrowCursor);
    button_->setAutoRaise(true);
    connect(button_, &QToolButton::clicked, this, [this] {
        if (!isReadOnly() && isEnabled())
            openDropDown();
    });
    placeButton();
}

void DropDownEdit::typeText(const QString& text)
{
    selectAll();
    insert(text);
}

void DropDownEdit::showPopup(QWidget* popup)
{
    const QSize size = popup->sizeHint();
    QPoint position = mapToGlobal(QPoint(0, height()));
    if (const QScreen* const display = screen()) {
        const QRect available = display->availableGeometry();
        if (position.y() + size.height() > available.bottom())
            position.setY(mapToGlobal(QPoint(0, 0)).y() - size.height());
        position.setX(qBound(available.left(), position.x(), available.right() - size.width()));
    }
    popup->move(position);
    popup->show();
}

void DropDownEdit::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    placeButton();
}

void DropDownEdit::changeEvent(QEvent* event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::ReadOnlyChange || event->type() == QEvent::EnabledChange)
        button_->setEnabled(!isReadOnly() && isEnabled());
}

void DropDownEdit::placeButton()
{
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    const int side = qMax(0, height() - 2 * frame);
    button_->setGeometry(width() - frame - side, frame, side, side);
    button_->setIconSize(QSize(side - 2, side - 2).boundedTo(QSize(16, 16)));
    setTextMargins(0, 0, side, 0);
}

} // namespace tamisko
