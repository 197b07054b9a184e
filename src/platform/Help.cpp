#include "platform/Help.h"

#include "platform/ProfileFile.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QToolButton>
#include <QVariant>

namespace tamisko::help {
namespace {

constexpr char kProperty[] = "tamiskoHelpContext";

Opener& opener()
{
    static Opener current = [](const QUrl& url) {
        QDesktopServices::openUrl(url);
    };
    return current;
}

} // namespace

void setHelpContext(QObject* target, int context)
{
    target->setProperty(kProperty, context);
}

int helpContext(const QObject* target)
{
    return target ? target->property(kProperty).toInt() : 0;
}

int helpContextAt(const QWidget* widget)
{
    for (; widget; widget = widget->parentWidget()) {
        if (const int context = helpContext(widget))
            return context;
        if (const auto* button = qobject_cast<const QToolButton*>(widget)) {
            if (const int context = helpContext(button->defaultAction()))
                return context;
        }
    }
    return kContents;
}

QString helpFilePath()
{
    return GetExeDir() + QStringLiteral("Tamisko.html");
}

QUrl topicUrl(int context)
{
    QUrl url = QUrl::fromLocalFile(helpFilePath());
    url.setFragment(context == kContents ? QStringLiteral("contents")
                                         : QStringLiteral("topic-%1").arg(context));
    return url;
}

void showTopic(int context)
{
    if (!QFileInfo::exists(helpFilePath()))
        return;
    opener()(topicUrl(context));
}

void setOpener(Opener newOpener)
{
    opener() = std::move(newOpener);
}

bool F1Filter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_F1)
        return false;
    if (const auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
        showTopic(helpContext(menu->activeAction()));
        return true;
    }
    const QWidget* target = QApplication::focusWidget();
    if (!target)
        target = qobject_cast<QWidget*>(watched);
    if (!target)
        target = QApplication::activeWindow();
    showTopic(helpContextAt(target));
    return true;
}

} // namespace tamisko::help
