#include "platform/HelpBrowser.h"

#include <QApplication>
#include <QPointer>
#include <QScrollBar>

namespace tamisko::help {

HelpBrowser::HelpBrowser(QWidget* parent) : QTextBrowser(parent)
{
    setObjectName(QStringLiteral("HelpBrowser"));
    setWindowFlag(Qt::Window);
    setWindowTitle(QStringLiteral("Βοήθεια"));
    // Help left open does not keep the program running after its main window closes.
    setAttribute(Qt::WA_QuitOnClose, false);
    setOpenLinks(true);
    setOpenExternalLinks(true);
    resize(640, 560);
    connect(this, &QTextBrowser::sourceChanged, this, [this] {
        if (const QString title = documentTitle(); !title.isEmpty())
            setWindowTitle(title);
    });
}

void HelpBrowser::showTopic(const QUrl& url)
{
    // Asked for from a modal dialog, the window joins it: otherwise the dialog's modality
    // would block the help the user is reading.
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != parentWidget())
        setParent(modal, Qt::Window);
    QUrl page = url;
    page.setFragment(QString());
    QUrl current = source();
    current.setFragment(QString());
    if (current != page)
        setSource(page);
    if (url.hasFragment())
        scrollToAnchor(url.fragment());
    else
        verticalScrollBar()->setValue(0);
    show();
    raise();
    activateWindow();
}

HelpBrowser& HelpBrowser::shared()
{
    static QPointer<HelpBrowser> browser;
    if (!browser) {
        browser = new HelpBrowser;
        // A top-level widget must go before the application object does.
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, browser, &QObject::deleteLater);
    }
    return *browser;
}

} // namespace tamisko::help
