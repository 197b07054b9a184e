#include "platform/Child.h"

#include <algorithm>
#include <QChildEvent>
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
        // Created hidden, as a window behind the front one.
        setVisible(false);
        clientArea_->installEventFilter(this);
        setGeometry(clientArea_->rect());
    }
}

QList<ChildForm*> ChildForm::siblings() const
{
    QList<ChildForm*> windows;
    if (!clientArea_)
        return windows;
    for (QObject* const child : clientArea_->children()) {
        auto* const window = qobject_cast<ChildForm*>(child);
        if (window && window != this)
            windows.append(window);
    }
    return windows;
}

bool ChildForm::showChild()
{
    const QList<ChildForm*> others = siblings();
    for (ChildForm* const other : others) {
        if (other->isVisible() && !other->releaseFocus())
            return false;
    }
    if (clientArea_)
        setGeometry(clientArea_->rect());
    show();
    raise();
    for (ChildForm* const other : others)
        other->hide();
    if (!isEmbedded())
        activateWindow();
    focusActiveControl();
    return true;
}

bool ChildForm::releaseFocus()
{
    QWidget* const focused = window()->focusWidget();
    if (!isAncestorOf(focused))
        return true;
    lastFocus_ = focused;
    // A control writes what was typed when it loses the focus, or takes the focus back.
    focused->clearFocus();
    return !isAncestorOf(window()->focusWidget());
}

void ChildForm::focusActiveControl()
{
    if (isAncestorOf(window()->focusWidget()))
        return;
    const auto usable = [this](QWidget* control) {
        return control && isAncestorOf(control) && control->isVisibleTo(this) &&
               control->isEnabled();
    };
    QWidget* target = activeControl_;
    if (!usable(target))
        target = lastFocus_;
    if (!usable(target)) {
        target = nullptr;
        for (QWidget* next = nextInFocusChain(); next && next != this;
             next = next->nextInFocusChain()) {
            if (usable(next) && (next->focusPolicy() & Qt::TabFocus)) {
                target = next;
                break;
            }
        }
    }
    if (target)
        target->setFocus(Qt::OtherFocusReason);
}

bool ChildForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == clientArea_) {
        if (event->type() == QEvent::Resize) {
            setGeometry(clientArea_->rect());
        } else if (event->type() == QEvent::ChildRemoved && !isVisible()) {
            // When the front window goes, the topmost one left is seen again; the first
            // window that notices shows itself if it is that one.
            const QList<ChildForm*> others = siblings();
            const bool anyShown = std::any_of(others.begin(), others.end(),
                                              [](const ChildForm* w) { return w->isVisible(); });
            if (!anyShown && clientArea_->isVisible()) {
                ChildForm* topmost = this;
                for (QObject* const child : clientArea_->children()) {
                    if (auto* const window = qobject_cast<ChildForm*>(child))
                        topmost = window; // children are in stacking order
                }
                if (topmost == this)
                    showChild();
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tamisko
