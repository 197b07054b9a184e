#include "platform/Child.h"

#include <QEvent>

ChildForm::ChildForm(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("ChildForm"));
    setWindowTitle(QStringLiteral("ChildForm"));
    resize(452, 299);
}

ChildForm::ChildForm(QWidget* /*parent*/, QWidget* clientArea)
    : QWidget(clientArea, Qt::Widget), m_clientArea(clientArea)
{
    setObjectName(QStringLiteral("ChildForm"));
    // A child widget has no frame, caption or title-bar buttons of its own.
    setAutoFillBackground(true);
    if (m_clientArea) {
        m_clientArea->installEventFilter(this);
        setGeometry(m_clientArea->rect());
    }
}

void ChildForm::showChild()
{
    if (m_clientArea)
        setGeometry(m_clientArea->rect());
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
    QWidget* target = m_activeControl;
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
    if (watched == m_clientArea && event->type() == QEvent::Resize)
        setGeometry(m_clientArea->rect());
    return QWidget::eventFilter(watched, event);
}
