#include "ProgramFolder.h"
#include "TableSchema.h"

#include <QDir>
#include <QFile>

ProgramFolder::ProgramFolder()
{
    for (const TableSchema &s : standardSchemas())
        createTable(path(), s);
}

void ProgramFolder::addNamed(const QString &table, const QString &name, const std::function<void(TTable &)> &fill) const
{
    TTable t;
    t.OpenTable(path(), table);
    t.Append();
    t.FieldByName("Name").setAsString(name);
    if (fill)
        fill(t);
    t.Post();
}

bool ProgramFolder::copyTo(const QString &folder) const
{
    const QDir from(path());
    bool all = true;
    for (const QString &f : from.entryList(QDir::Files))
        all = QFile::copy(from.filePath(f), folder + f) && all;
    return all;
}
