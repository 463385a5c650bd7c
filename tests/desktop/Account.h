#pragma once
#include "TempFolder.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <sys/types.h>

// An unprivileged account for a test: a user id without privileges, with a
// home and a runtime folder of its own. Giving the folders away and taking
// the user id need root; without it usable() is false.
class Account
{
public:
    // gid: the account's group; -1 takes the same number as the uid.
    explicit Account(uid_t uid, gid_t gid = gid_t(-1));

    // A user id no account has, from `from` upwards.
    static uid_t unusedUid(uid_t from);
    static bool asRoot();

    bool usable() const { return m_usable; }
    uid_t uid() const { return m_uid; }
    QString home() const { return m_home.path(); }
    // Makes `path` (a file or folder) this account's own.
    bool give(const QString &path) const;

    // Starts `program` as this account on the test's display: its HOME and
    // runtime folder, the X authority copied for it, silent sound, no
    // session bus. `extra` adds to or overrides that environment.
    void start(QProcess &process, const QString &program, const QStringList &args = {},
               const QProcessEnvironment &extra = {}) const;

private:
    uid_t m_uid;
    gid_t m_gid;
    TempFolder m_home;
    TempFolder m_runtime;
    bool m_usable = false;
};
