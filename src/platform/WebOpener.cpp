#include "WebOpener.h"

#include <QDesktopServices>

namespace {

WebOpener::Opener &opener()
{
    static WebOpener::Opener o;
    return o;
}

} // namespace

bool WebOpener::open(const QString &address)
{
    // Addresses are data from the product table; a bare "www.example.org"
    // must still reach the browser and not be taken as a local file.
    const QUrl url = QUrl::fromUserInput(address);
    if (opener())
        return opener()(url);
    return url.isValid() && !url.isEmpty() && QDesktopServices::openUrl(url);
}

void WebOpener::setOpener(Opener o) { opener() = std::move(o); }
