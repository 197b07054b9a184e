#pragma once

#include <functional>
#include <QUrl>

namespace tamisko {

// Hands web, mail and file addresses to the desktop's handler. Tests replace the
// handler to see what would be opened without starting a browser.
using UrlOpener = std::function<void(const QUrl&)>;

void openUrl(const QUrl& url);

// Installs a replacement and returns the previous handler; an empty function restores
// the desktop's handler.
UrlOpener setUrlOpener(UrlOpener opener);

} // namespace tamisko
