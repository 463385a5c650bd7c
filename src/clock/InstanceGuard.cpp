#include "InstanceGuard.h"

#include <QDir>
#include <QStandardPaths>

InstanceGuard::InstanceGuard(const QString &name)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    m_path = folder + "/" + name + ".lock";
}

bool InstanceGuard::tryAcquire()
{
    m_lock = std::make_unique<QLockFile>(m_path);
    // Never treat a live holder's lock as stale because of its age: the
    // clock runs for weeks.
    m_lock->setStaleLockTime(0);
    return m_lock->tryLock(0);
}
