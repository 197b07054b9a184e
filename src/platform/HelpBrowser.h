#pragma once

#include <QTextBrowser>
#include <QUrl>

namespace tamisko::help {

// The help page in a window of the program's own, opened at a topic. Desktop openers
// often drop the "#topic" of a file address; the browser keeps it and scrolls there.
// Web links of the page go to the desktop's browser.
class HelpBrowser final : public QTextBrowser
{
    Q_OBJECT

public:
    explicit HelpBrowser(QWidget* parent = nullptr);

    // Loads the page if needed, scrolls to the address's fragment and brings the window
    // to the front.
    void showTopic(const QUrl& url);

    // The one help window of the run, created on first use and closed with the program.
    static HelpBrowser& shared();
};

} // namespace tamisko::help
