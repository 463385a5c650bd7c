#pragma once
#include <QByteArray>
#include <QString>
#include <QTemporaryFile>

// A file written under a temporary hidden name in the target's own folder
// and renamed onto the target only by commit(), so a reader never sees it
// half written. Removed again unless committed.
class TStagedFile
{
public:
    // Creates the temporary file beside target; throws ESkinPackage naming
    // package when the folder cannot take it. Messages call the target
    // shown (the target itself when empty).
    TStagedFile(const QString &target, const QString &package, const QString &shown = QString());
    ~TStagedFile();
    TStagedFile(const TStagedFile &) = delete;
    TStagedFile &operator=(const TStagedFile &) = delete;

    void write(const char *data, qint64 size);
    // Flushes and closes the temporary file; it stays until commit or destruction.
    void finish();
    // Renames the finished file onto the target, replacing what is there.
    void commit();

    QString target() const { return m_target; }

private:
    [[noreturn]] void fail(const QString &what) const;

    QString m_target;
    QString m_package;
    QString m_shown;
    QTemporaryFile m_file;
    bool m_committed = false;
};
