#include "ClockFolders.h"
#include "ReplaceFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <stdexcept>
#include <unistd.h>

namespace {

const QString kApp = "zindleclock";

QString withSlash(QString folder) { return folder.endsWith('/') ? folder : folder + '/'; }

// A base directory from its variable, or HOME + fallback when the variable
// is unset, empty or relative.
QString baseDirectory(const QProcessEnvironment &env, const char *variable, const QString &fallback)
{
    const QString value = env.value(variable);
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return withSlash(QDir::cleanPath(value));
    return withSlash(QDir::cleanPath(env.value("HOME") + '/' + fallback));
}

void makeFolder(const QString &folder)
{
    if (!QDir().mkpath(folder))
        throw std::runtime_error(QString("Cannot create folder %1").arg(folder).toStdString());
}

} // namespace

const QString ClockFolders::kInstalledMarker = "INSTALLED";

ClockFolders ClockFolders::choose(const QString &programFolder, bool writable, const QProcessEnvironment &env)
{
    ClockFolders f;
    f.program = withSlash(programFolder);
    if (writable) {
        f.own = f.program;
        f.settingsFile = f.program + kSettingsFileName;
        return f;
    }
    f.perUser = true;
    f.own = baseDirectory(env, "XDG_DATA_HOME", ".local/share") + kApp + '/';
    f.settingsFile = baseDirectory(env, "XDG_CONFIG_HOME", ".config") + kApp + '/' + kSettingsFileName;
    return f;
}

bool ClockFolders::writable(const QString &programFolder)
{
    return ::access(QFile::encodeName(programFolder).constData(), W_OK) == 0
           && !QFileInfo::exists(withSlash(programFolder) + kInstalledMarker);
}

ClockFolders ClockFolders::forProgram(const QString &programFolder)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Without HOME the account's home folder (from the password database).
    if (env.value("HOME").isEmpty())
        env.insert("HOME", QDir::homePath());
    return choose(programFolder, writable(programFolder), env);
}

void ClockFolders::prepare(const QStringList &tableNames) const
{
    if (!perUser)
        return;
    makeFolder(own);
    makeFolder(own + "skins/");
    makeFolder(own + "sound/");
    makeFolder(QFileInfo(settingsFile).absolutePath());
    for (const QString &name : tableNames) {
        const QString target = own + name + ".db";
        const QString source = program + name + ".db";
        // A table the user has is theirs: a newer install never replaces it.
        if (QFileInfo::exists(target) || !QFileInfo::exists(source))
            continue;
        QFile in(source);
        if (!in.open(QIODevice::ReadOnly))
            throw std::runtime_error(QString("Cannot read file %1").arg(source).toStdString());
        const QByteArray bytes = in.readAll();
        if (in.error() != QFileDevice::NoError)
            throw std::runtime_error(QString("Cannot read file %1").arg(source).toStdString());
        if (!replaceFile(target, bytes))
            throw std::runtime_error(QString("Cannot create file %1").arg(target).toStdString());
    }
}

QStringList ClockFolders::both(const QString &sub) const
{
    if (own == program)
        return {program + sub};
    return {own + sub, program + sub};
}

QString ClockFolders::soundFile(const QString &name) const
{
    const QStringList folders = soundFolders();
    for (const QString &folder : folders)
        if (QFileInfo(folder + name).isFile())
            return folder + name;
    return folders.first() + name;
}
