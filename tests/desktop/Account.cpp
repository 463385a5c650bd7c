#include "Account.h"

#include <QFile>

#include <pwd.h>
#include <unistd.h>

Account::Account(uid_t uid, gid_t gid) : m_uid(uid), m_gid(gid == gid_t(-1) ? gid_t(uid) : gid)
{
    if (!asRoot())
        return;
    QFile::setPermissions(m_runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    m_usable = give(m_home.path()) && give(m_runtime.path());
    const QString authority = qEnvironmentVariable("XAUTHORITY");
    if (m_usable && !authority.isEmpty() && QFile::exists(authority))
        m_usable = QFile::copy(authority, m_home.file(".Xauthority")) && give(m_home.file(".Xauthority"));
}

uid_t Account::unusedUid(uid_t from)
{
    uid_t uid = from;
    while (getpwuid(uid))
        ++uid;
    return uid;
}

bool Account::asRoot() { return geteuid() == 0; }

bool Account::give(const QString &path) const
{
    return ::chown(QFile::encodeName(path).constData(), m_uid, m_gid) == 0;
}

void Account::start(QProcess &process, const QString &program, const QStringList &args,
                    const QProcessEnvironment &extra) const
{
    // Nothing of the test's own environment leaks in (its data and config
    // folders, for one); only what a desktop session would give.
    QProcessEnvironment env;
    env.insert("PATH", "/usr/local/bin:/usr/bin:/bin");
    env.insert("HOME", m_home.path());
    env.insert("XDG_RUNTIME_DIR", m_runtime.path());
    env.insert("DISPLAY", qEnvironmentVariable("DISPLAY"));
    if (QFile::exists(m_home.file(".Xauthority")))
        env.insert("XAUTHORITY", m_home.file(".Xauthority"));
    env.insert("SDL_AUDIODRIVER", "dummy");
    env.insert("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    env.insert("QT_QPA_PLATFORM", "xcb");
    // A sanitizer build reports the way the suite asked it to.
    for (const char *v : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"})
        if (qEnvironmentVariableIsSet(v))
            env.insert(v, qEnvironmentVariable(v));
    env.insert(extra);
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(m_home.path());
    process.start("setpriv", QStringList{"--reuid=" + QString::number(m_uid), "--regid=" + QString::number(m_gid),
                                         "--clear-groups", "--", program} + args);
}
