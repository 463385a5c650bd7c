#pragma once
#include <QLockFile>
#include <QString>
#include <memory>

// One running copy per user: a lock file named after the guard in the
// user's runtime folder. A lock left by a killed process is taken over at
// once (the kernel drops the dead holder's lock).
class InstanceGuard
{
public:
    explicit InstanceGuard(const QString &name);
    bool tryAcquire();
    QString lockPath() const { return m_path; }

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};
