#include "Eventually.h"

#include <QTest>

bool eventually(const std::function<bool()> &cond, int timeoutMs)
{
    return QTest::qWaitFor([&] { return cond(); }, timeoutMs);
}
