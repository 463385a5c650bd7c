#include "SystemClock.h"

QDateTime SystemClock::nowUtc() const
{
    return QDateTime::fromMSecsSinceEpoch(nowUnixNanos() / 1000000, Qt::UTC);
}

QDateTime SystemClock::nowLocal() const
{
    return QDateTime::fromMSecsSinceEpoch(nowUnixNanos() / 1000000, Qt::LocalTime);
}
