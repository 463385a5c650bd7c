#pragma once
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// The settings file's name, in whichever folder it is kept.
inline const QString kSettingsFileName = "ZindleClock.ini";

// Where the clock finds what it ships and where it keeps what it writes.
//
// Run from a folder it may write to (the build folder, a portable copy) the
// clock keeps every file beside its executable. Run from an installed
// folder (not writable, or marked by the install), each user keeps what the
// clock writes (settings, tables, the mask, unpacked skin packages, own
// packages and sounds) in folders of their own under the XDG base
// directories, and the installed folder is only read.
struct ClockFolders
{
    // The executable's folder, ending with "/": help, voice/, chimes/ and the
    // shipped sound/, skins/ and tables.
    QString program;
    // The folder the clock writes to, ending with "/": the tables, the mask,
    // installed packages and the user's own skins/ and sound/.
    QString own;
    // The settings file (beside the tables, or in the user's config folder).
    QString settingsFile;
    bool perUser = false;

    // The file an install puts into the program folder: its presence alone
    // makes the clock keep its files per user, also for root and for an
    // install into a folder of the user's own.
    static const QString kInstalledMarker;

    // programFolder: the executable's folder; writable: whether the clock may
    // write there; env: XDG_DATA_HOME, XDG_CONFIG_HOME and HOME as the base
    // directory rules read them (relative paths are ignored).
    static ClockFolders choose(const QString &programFolder, bool writable, const QProcessEnvironment &env);
    // The folder is writable and carries no install marker.
    static bool writable(const QString &programFolder);
    // choose() for this process: the file system and its environment.
    static ClockFolders forProgram(const QString &programFolder);

    // Per user: makes the own folders and copies each table that is missing
    // there from the program folder, whole or not at all (a start killed
    // half-way leaves no part of a table that the next start would trust).
    // Beside the executable: nothing to do. Throws std::runtime_error
    // naming the folder or file that was refused.
    void prepare(const QStringList &tableNames) const;

    // Folders to list alarm sounds and skin packages from: the user's own
    // first, then the shipped one (one folder when they are the same).
    QStringList soundFolders() const { return both("sound/"); }
    QStringList skinFolders() const { return both("skins/"); }
    // A sound by its name: the user's own file when there is one, else the
    // shipped one, else the name in the user's own folder (which does not
    // exist).
    QString soundFile(const QString &name) const;

private:
    QStringList both(const QString &sub) const;
};
