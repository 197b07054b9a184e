#include "platform/Help.h"

#include "platform/HelpBrowser.h"
#include "platform/InstallLayout.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QToolButton>
#include <QVariant>

namespace tamisko::help {
namespace {

constexpr char kProperty[] = "tamiskoHelpContext";

void openInHelpBrowser(const QUrl& url)
{
    HelpBrowser::shared().showTopic(url);
}

Opener& opener()
{
    static Opener current = openInHelpBrowser;
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
    return InstallLayout::ofRunningProgram().dataDir() + QStringLiteral("Tamisko.html");
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
    opener() = newOpener ? std::move(newOpener) : Opener(openInHelpBrowser);
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
