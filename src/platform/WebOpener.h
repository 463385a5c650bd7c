#pragma once
#include <QUrl>

#include <functional>

// Opens a web address in the user's browser. Everything that opens one
// (about box, menu) goes through here, so tests can stand in for the
// browser.
class WebOpener
{
public:
    using Opener = std::function<bool(const QUrl &)>;

    // True when the desktop accepted the address.
    static bool open(const QString &address);
    // An empty opener brings back the desktop's (QDesktopServices).
    static void setOpener(Opener opener);
};
