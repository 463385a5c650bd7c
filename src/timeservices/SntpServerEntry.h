#pragma once
#include <QString>

// A time server as the Time table names it: "host", "host:port",
// "[v6-address]" or "[v6-address]:port"; a bare IPv6 address is taken whole.
struct SntpServerEntry
{
    static constexpr quint16 DefaultPort = 123;

    QString host;
    quint16 port = DefaultPort;

    // False for an empty host or a port that is not 1..65535.
    static bool parse(const QString &text, SntpServerEntry *entry);
};
