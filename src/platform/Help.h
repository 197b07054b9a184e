#pragma once

#include <functional>
#include <QObject>
#include <QString>
#include <QUrl>

class QWidget;

// The help page "Tamisko.html" in the program's data directory (InstallLayout), with one
// section per help context.
namespace tamisko::help {

constexpr int kContents = 0;

// The help context of a widget or an action (0: none). F1 on a widget uses the nearest
// context among it and its parents.
void setHelpContext(QObject* target, int context);
int helpContext(const QObject* target);
int helpContextAt(const QWidget* widget);

QString helpFilePath();
// The address of a topic: "#contents" for kContents, "#topic-N" otherwise.
QUrl topicUrl(int context);

// Opens the help file at the topic; shows nothing when the file is missing.
void showTopic(int context);

// How topics are opened: the program's help window (HelpBrowser) by default, or again
// after an empty opener; tests replace it.
using Opener = std::function<void(const QUrl&)>;
void setOpener(Opener opener);

// Installed on the application: F1 opens the topic of the highlighted menu item, else of
// the widget with the focus (a tool button counts with its action's context).
class F1Filter final : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace tamisko::help
