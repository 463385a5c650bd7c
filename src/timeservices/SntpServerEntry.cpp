#include "SntpServerEntry.h"

namespace {
bool parsePort(const QString &text, quint16 *port)
{
    bool ok = false;
    const uint value = text.toUInt(&ok, 10);
    if (!ok || value < 1 || value > 65535)
        return false;
    *port = quint16(value);
    return true;
}
} // namespace

bool SntpServerEntry::parse(const QString &input, SntpServerEntry *entry)
{
    const QString text = input.trimmed();
    SntpServerEntry e;
    if (text.startsWith('[')) {
        const int close = text.indexOf(']');
        if (close < 0)
            return false;
        e.host = text.mid(1, close - 1);
        const QString rest = text.mid(close + 1);
        if (!rest.isEmpty() && (!rest.startsWith(':') || !parsePort(rest.mid(1), &e.port)))
            return false;
    } else if (text.count(':') == 1) {
        const int colon = text.indexOf(':');
        e.host = text.left(colon);
        if (!parsePort(text.mid(colon + 1), &e.port))
            return false;
    } else {
        e.host = text; // a name, an IPv4 address, or a bare IPv6 address
    }
    if (e.host.isEmpty())
        return false;
    *entry = e;
    return true;
}
