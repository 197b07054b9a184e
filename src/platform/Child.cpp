#include "platform/Child.h"

#include <QEvent>

namespace tamisko {

ChildForm::ChildForm(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("ChildForm"));
    setWindowTitle(QStringLiteral("ChildForm"));
    resize(452, 299);
}

ChildForm::ChildForm(QWidget* /*parent*/, QWidget* clientArea)
    : QWidget(clientArea, Qt::Widget), clientArea_(clientArea)
{
    setObjectName(QStringLiteral("ChildForm"));
    // A child widget has no frame, caption or title-bar buttons of its own.
    setAutoFillBackground(true);
    if (clientArea_) {
        clientArea_->installEventFilter(this);
        setGeometry(clientArea_->rect());
    }
}

void ChildForm::showChild()
{
    if (clientArea_)
        setGeometry(clientArea_->rect());
    show();
    raise();
    if (!isEmbedded())
        activateWindow();
    focusActiveControl();
}

void ChildForm::focusActiveControl()
{
    if (isAncestorOf(window()->focusWidget()))
        return;
    QWidget* target = activeControl_;
    if (!target || !target->isVisibleTo(this) || !target->isEnabled()) {
        target = nullptr;
        for (QWidget* next = nextInFocusChain(); next && next != this;
             next = next->nextInFocusChain()) {
            if (isAncestorOf(next) && next->isVisibleTo(this) && next->isEnabled() &&
                (next->focusPolicy() & Qt::TabFocus)) {
                target = next;
                break;
            }
        }
    }
    if (target)
        target->setFocus(Qt::ActiveWindowFocusReason);
}

bool ChildForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == clientArea_ && event->type() == QEvent::Resize)
        setGeometry(clientArea_->rect());
    return QWidget::eventFilter(watched, event);
}

} // namespace tamisko
