#include "widgets/UrlOpener.h"

#include <QDesktopServices>
#include <utility>

namespace tamisko {
namespace {

UrlOpener& currentOpener()
{
    static UrlOpener opener;
    return opener;
}

} // namespace

void openUrl(const QUrl& url)
{
    // A missing browser or mail program is not reported: the link simply does nothing.
    if (const UrlOpener& opener = currentOpener())
        opener(url);
    else
        QDesktopServices::openUrl(url);
}

UrlOpener setUrlOpener(UrlOpener opener)
{
    return std::exchange(currentOpener(), std::move(opener));
}

} // namespace tamisko
